#pragma once
// How the program starts up and runs: start-up, passes until the loop is over, then the shutdown,
// and the process ends with status 1. On the desktop a plain loop (each flip waits for the
// display). In a browser tab (an Emscripten build) the page must get control back after every
// picture: the browser runs one pass per display refresh and the shutdown follows the last one.

#include <cstdlib>

#include "shell/demo.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>

// In a tab the sound is mixed on the program's own thread, between the browser's calls into it,
// so start-up cannot wait there for the mixer's next chunk (shell/audio_latency.h). It opens and
// loads everything, then hands control back; the zero point is fixed by the first display refresh
// after the mixer has mixed a chunk, and the first pass follows at once.
inline void start_and_run(Demo& demo) {
    struct Run {
        Demo& demo;
        Uint32 chunks_at_load;  // chunks the mixer had mixed when loading was done
        double give_up_at;      // ms (performance clock): fix the zero point anyway from then on
        bool timeline_started;
    };
    if (demo.open_and_load() == StartUp::failed) std::exit(1);
    static Run run{demo, capture_buffer.chunks_captured.load(std::memory_order_acquire),
                   emscripten_get_now() + MIXER_WAIT_TIMEOUT_MS, false};
    emscripten_set_main_loop_arg(
        [](void* arg) {
            Run& r = *static_cast<Run*>(arg);
            if (!r.timeline_started) {
                const bool mixed = capture_buffer.chunks_captured.load(std::memory_order_acquire) !=
                                   r.chunks_at_load;
                if (r.demo.music_will_start() && !mixed && emscripten_get_now() < r.give_up_at)
                    return;
                // The page measures the music as heard against this moment.
                EM_ASM({ Module.zyphoZeroPointMs = $0; }, emscripten_get_now());
                r.demo.start_timeline();
                r.timeline_started = true;
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
