#include "shell/schedule.h"

#include "gfx/blit.h"
#include "scenes/scene.h"
#include "shell/demo.h"

void run_schedule(Demo& demo, int elapsed, int delta) {
    const int n = schedule_entry(elapsed);
    if (schedule[n].background) blit_at(demo.screen, demo.images[Picture::background], 0, 0);
    for (int c = 0; c < MAX_CALLS; ++c) {
        Scene* scene = demo.call_target(n, c);
        if (!scene) continue;
        if (schedule[n].calls[c].reset)
            scene->reset();
        else
            scene->render(delta);
    }
}
