#pragma once
// The scene registry: every scene the demo builds, by name, in the order start-up builds them.

#include <memory>

class Demo;
class Scene;

struct SceneMaker {
    // The name schedule rows call the scene by; null for a build step that makes no scene.
    const char* name;
    // Builds the scene from what the demo holds (screen, clock, pictures, current sprite set).
    std::unique_ptr<Scene> (*make)(Demo& demo);
};

extern const SceneMaker scene_registry[];
extern const int SCENE_REGISTRY_SIZE;
