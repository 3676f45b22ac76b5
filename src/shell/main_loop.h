#pragma once
// How the program's loop runs: passes until the loop is over, then the shutdown, and the process
// ends with status 1. On the desktop a plain loop (each flip waits for the display). In a browser
// tab (an Emscripten build) the page must get control back after every picture: the browser runs
// one pass per display refresh and the shutdown follows the last one.

#include <cstdlib>

#include "shell/demo.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>

inline void run_until_over(Demo& demo) {
    emscripten_set_main_loop_arg(
        [](void* arg) {
            Demo& d = *static_cast<Demo*>(arg);
            if (d.pass()) return;
            emscripten_cancel_main_loop();
            d.shut_down();
            std::exit(1);
        },
        &demo, 0, 1);
}
#else
inline void run_until_over(Demo& demo) {
    demo.run();
    demo.shut_down();
    std::exit(1);
}
#endif
