#pragma once
// The scene registry: every step of start-up's build, in order. Most steps build a scene under
// the name the schedule calls it by; a few fill a slot of the shell (the current sprite set, the
// falling logos' caption font) that the scenes built after them are handed.

#include <memory>

class Demo;
class Scene;

struct SceneMaker {
    // The name schedule rows call the scene by; null for a step that fills a shell slot.
    const char* name;
    // Builds the scene from what the demo holds (screen, clock, pictures, capture, slots), or
    // fills the slot and returns null.
    std::unique_ptr<Scene> (*make)(Demo& demo);
};

extern const SceneMaker scene_registry[];
extern const int SCENE_REGISTRY_SIZE;
