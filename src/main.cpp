// zypho: a 162-second audiovisual demo. Start-up, the scene timeline until the viewer presses
// Escape or closes the window, shutdown. The process ends with status 1 in every case.

#include <cstdlib>

#include "shell/demo.h"
#include "shell/main_loop.h"

int main(int, char**) {
    // sdl12-compat presents without vertical sync unless asked to: the picture tears and the
    // scenes that move a fixed step per pass race ahead. Ask for it, unless the viewer's
    // environment already says otherwise (=0 gives the uncapped loop, for measuring).
    setenv("SDL12COMPAT_SYNC_TO_VBLANK", "1", 0);
    static SdlClock clock;
    static Demo demo(clock);
    start_and_run(demo);
}
