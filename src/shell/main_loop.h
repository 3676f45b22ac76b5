#pragma once
// How the program starts up and runs: start-up, passes until the loop is over, then the shutdown,
// and the process ends with status 1. On the desktop a plain loop (each flip waits for the
// display). In a browser tab (an Emscripten build) the page must get control back after every
// picture: the browser runs one pass per display refresh and the shutdown follows the last one.

#include <cstdlib>

#include "shell/demo.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>

// In a tab the page must get control back between passes, and the sound is the page's to place
// (web/page/sound.js): the mixer's chunks are mixed ahead of time and each is played from the
// frame of the sound's own clock at which it is to be heard. Start-up opens and loads everything
// and hands control back until that clock runs (a few ms after the click that started it), then
// fixes the zero point, builds the scenes, starts the music and tells the page which moment of
// the timeline the music's first sample belongs to: MUSIC_HEARD_LATE_MS after the zero point, as
// on the desktop. The first pass follows at once; from then on one pass per display refresh.

// How long start-up waits for the sound's clock to run before it fixes the zero point anyway (the
// music then comes in where the timeline is once the sound runs), ms.
constexpr double WEB_SOUND_WAIT_MS = 1000;

// The elapsed time of the last pass, for the page's tests: which picture belongs to which scene.
inline const Demo* web_demo = nullptr;
extern "C" EMSCRIPTEN_KEEPALIVE inline int zypho_web_elapsed() {
    return web_demo ? web_demo->elapsed : -1;
}

inline void start_and_run(Demo& demo) {
    struct Run {
        Demo& demo;
        double give_up_at;  // ms (page clock): fix the zero point anyway from then on
        bool timeline_started;
        bool polling;  // control comes back as soon as the browser has run its other tasks
    };
    if (demo.open_and_load() == StartUp::failed) std::exit(1);
    web_demo = &demo;
    static Run run{demo, emscripten_get_now() + WEB_SOUND_WAIT_MS, false, false};
    emscripten_set_main_loop_arg(
        [](void* arg) {
            Run& r = *static_cast<Run*>(arg);
            if (!r.timeline_started) {
                if (!r.polling) emscripten_set_main_loop_timing(EM_TIMING_SETIMMEDIATE, 0);
                r.polling = true;
                const double now = emscripten_get_now();
                const bool sound_ready = EM_ASM_INT({
                    return !Module.zyphoSound || Module.zyphoSound.ready() ? 1 : 0;
                });
                if (r.demo.music_will_start() && !sound_ready && now < r.give_up_at) return;
                EM_ASM({ Module.zyphoZeroPointMs = $0; }, now);
                r.demo.start_timeline();
                if (r.demo.music_will_start())
                    EM_ASM({ if (Module.zyphoSound) Module.zyphoSound.startMusic($0, $1); }, now,
                           MUSIC_HEARD_LATE_MS);
                r.timeline_started = true;
                emscripten_set_main_loop_timing(EM_TIMING_RAF, 1);
            }
            if (r.demo.pass()) return;
            emscripten_cancel_main_loop();
            r.demo.shut_down();
            std::exit(1);
        },
        &run, 0, 1);
}
#else
inline void start_and_run(Demo& demo) {
    if (demo.start_up() == StartUp::failed) std::exit(1);
    demo.run();
    demo.shut_down();
    std::exit(1);
}
#endif
