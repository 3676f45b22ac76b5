#pragma once
// What every scene is to the shell: an object built once at start-up (shell/registry.cpp) that
// draws one pass at a time when the schedule (shell/schedule.h) names it. A scene never calls
// another scene; what it needs (pictures, the current sprite set, the clock, colours) is handed
// to its constructor.

class Scene {
public:
    virtual ~Scene() = default;

    // One pass onto the screen. delta: ms since the previous pass (this pass's elapsed minus the
    // previous pass's), the same for every scene of the pass; several scenes ignore it.
    virtual void render(int delta) = 0;

    // The entry hook, for a schedule entry that names reset("scene"): puts the scene back to its
    // start values, so that its next run starts over. Scenes without such values do nothing.
    virtual void reset() {}
};
