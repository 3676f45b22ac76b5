#include "shell/schedule.h"

#include "gfx/blit.h"
#include "scenes/bezier_web.h"
#include "scenes/block_banner.h"
#include "scenes/blur.h"
#include "scenes/credits.h"
#include "scenes/drifting_sprites.h"
#include "scenes/end_screen.h"
#include "scenes/fade_in.h"
#include "scenes/falling_logos.h"
#include "scenes/greetings_swing.h"
#include "scenes/level_bars.h"
#include "scenes/oscilloscope.h"
#include "scenes/plasma.h"
#include "scenes/reveal_worm.h"
#include "scenes/shaking_words.h"
#include "scenes/sprite_trio.h"
#include "scenes/walker.h"
#include "scenes/walkers.h"
#include "scenes/wavy_caption.h"
#include "shell/demo.h"

namespace {
// Each entry's scene calls; an absent scene is skipped, so the entry draws only its background.
template <typename Scene>
void render(const std::unique_ptr<Scene>& scene, int delta) {
    if (scene) scene->render(delta);
}
}  // namespace

const ScheduleEntry schedule[SCHEDULE_SIZE] = {
    {0, false, [](Demo& d, int dt) { render(d.fade_in, dt); }, "fade-in"},
    {5000, true, [](Demo& d, int dt) { render(d.falling_logos, dt); }, "falling logos"},
    {15000, true, [](Demo& d, int dt) { render(d.drifting_sprites, dt); }, "drifting sprites"},
    {30000, false, [](Demo& d, int dt) { render(d.bezier_web, dt); }, "bezier web"},
    {45000, true, [](Demo& d, int dt) { render(d.walkers, dt); }, "walkers"},
    {51000, false,
     [](Demo& d, int dt) {
         render(d.reveal_worm, dt);
         if (d.walkers) d.walkers->reset_walkers();  // so that the level bars' walkers start over
     },
     "reveal worm"},
    {61000, false, [](Demo& d, int dt) { render(d.blur, dt); }, "blur"},
    {66000, true, [](Demo& d, int dt) { render(d.oscilloscope, dt); }, "oscilloscope"},
    {81000, true,
     [](Demo& d, int dt) {
         render(d.walker, dt);
         render(d.oscilloscope, dt);
     },
     "walker and oscilloscope"},
    {96000, false, [](Demo& d, int dt) { render(d.plasma, dt); }, "plasma"},
    {106000, true,
     [](Demo& d, int dt) {
         if (d.level_bars) d.level_bars->render();
         render(d.walkers, dt);
     },
     "level bars and walkers"},
    {112000, false, [](Demo& d, int dt) { render(d.greetings_swing, dt); }, "greetings swing"},
    {122000, false, [](Demo& d, int dt) { render(d.credits, dt); }, "credits"},
    {132000, true, [](Demo& d, int dt) { render(d.block_banner, dt); }, "block-letter banner"},
    {137000, false, [](Demo& d, int dt) { render(d.shaking_words, dt); }, "shaking words"},
    {147000, false,
     [](Demo& d, int dt) {
         render(d.wavy_caption, dt);
         render(d.sprite_trio, dt);
     },
     "wavy caption and sprite trio"},
    {162000, false, [](Demo& d, int dt) { render(d.end_screen, dt); }, "end screen"},
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
