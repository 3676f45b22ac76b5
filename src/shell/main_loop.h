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
// loads everything and hands control back; the loop then asks for control as often as the
// browser allows and fixes the zero point, and runs the first pass, a set time after the mixer
// has mixed a chunk: the browser's own sound latency, which a desktop device does not add. The
// music, started just after the zero point, goes out with the next chunk as on the desktop, and
// is heard MUSIC_HEARD_LATE_MS after the zero point. From then on the loop runs one pass per
// display refresh.

// The browser's latency from a mixed chunk's turn to the speakers beyond the one chunk a desktop
// device holds (its own processing and the output's), in ms, kept short enough that the music
// still starts before the next chunk: at most a chunk less 30 ms, which leaves the building of
// the scenes about three times the time it takes.
inline double web_sound_latency_ms() {
    const double latency = EM_ASM_DOUBLE({
        const c = Module.SDL2 && Module.SDL2.audioContext;
        return c ? 1000 * ((c.baseLatency || 0) + (c.outputLatency || 0)) : 0;
    });
    return latency < 0 ? 0 : latency > AUDIO_CHUNK_MS - 30 ? AUDIO_CHUNK_MS - 30 : latency;
}

inline void start_and_run(Demo& demo) {
    struct Run {
        Demo& demo;
        Uint32 chunks_at_load;  // chunks the mixer had mixed when loading was done
        double give_up_at;      // ms (performance clock): fix the zero point anyway from then on
        double chunk_seen_at;   // when the first chunk after loading was seen (0: not yet)
        bool timeline_started;
        bool polling;  // control comes back as soon as the browser has run its other tasks
    };
    if (demo.open_and_load() == StartUp::failed) std::exit(1);
    static Run run{demo, capture_buffer.chunks_captured.load(std::memory_order_acquire),
                   emscripten_get_now() + MIXER_WAIT_TIMEOUT_MS, 0, false, false};
    emscripten_set_main_loop_arg(
        [](void* arg) {
            Run& r = *static_cast<Run*>(arg);
            if (!r.timeline_started) {
                // Until the zero point, control comes back as soon as the browser has run its
                // other tasks (the sound among them), not only once per display refresh.
                if (!r.polling) emscripten_set_main_loop_timing(EM_TIMING_SETIMMEDIATE, 0);
                r.polling = true;
                const double now = emscripten_get_now();
                if (r.demo.music_will_start() && now < r.give_up_at) {
                    if (r.chunk_seen_at == 0 &&
                        capture_buffer.chunks_captured.load(std::memory_order_acquire) !=
                            r.chunks_at_load)
                        r.chunk_seen_at = now;
                    if (r.chunk_seen_at == 0 || now < r.chunk_seen_at + web_sound_latency_ms())
                        return;
                }
                // The page measures the music as heard against this moment.
                EM_ASM({ Module.zyphoZeroPointMs = $0; }, now);
                r.demo.start_timeline();
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
