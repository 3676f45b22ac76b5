#include "shell/schedule.h"

#include "gfx/blit.h"
#include "scenes/end_screen.h"
#include "shell/demo.h"

namespace {
// Each entry's scene calls; an absent scene is skipped, so the entry draws only its background.
template <typename Scene>
void render(const std::unique_ptr<Scene>& scene, int delta) {
    if (scene) scene->render(delta);
}
}  // namespace

const ScheduleEntry schedule[SCHEDULE_SIZE] = {
    {0, false, [](Demo&, int) {}, "fade-in"},
    {5000, true, [](Demo&, int) {}, "falling logos"},
    {15000, true, [](Demo&, int) {}, "drifting sprites"},
    {30000, false, [](Demo&, int) {}, "bezier web"},
    {45000, true, [](Demo&, int) {}, "walkers"},
    {51000, false, [](Demo&, int) {}, "reveal worm"},
    {61000, false, [](Demo&, int) {}, "blur"},
    {66000, true, [](Demo&, int) {}, "oscilloscope"},
    {81000, true, [](Demo&, int) {}, "walker and oscilloscope"},
    {96000, false, [](Demo&, int) {}, "plasma"},
    {106000, true, [](Demo&, int) {}, "level bars and walkers"},
    {112000, false, [](Demo&, int) {}, "greetings swing"},
    {122000, false, [](Demo&, int) {}, "credits"},
    {132000, true, [](Demo&, int) {}, "block-letter banner"},
    {137000, false, [](Demo&, int) {}, "shaking words"},
    {147000, false, [](Demo&, int) {}, "wavy caption and sprite trio"},
    {162000, false, [](Demo& d, int delta) { render(d.end_screen, delta); }, "end screen"},
};

int schedule_entry(int elapsed) {
    for (int n = 1; n < SCHEDULE_SIZE; ++n)
        if (elapsed < schedule[n].from_ms) return n - 1;
    return SCHEDULE_SIZE - 1;
}

void run_schedule(Demo& demo, int elapsed, int delta) {
    const ScheduleEntry& entry = schedule[schedule_entry(elapsed)];
    if (entry.background) blit_at(demo.images.background, 0, 0);
    entry.run(demo, delta);
}
