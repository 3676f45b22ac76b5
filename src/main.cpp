// zypho: a 162-second audiovisual demo. Start-up, the scene timeline until the viewer presses
// Escape or closes the window, shutdown. The process ends with status 1 in every case.

#include <cstdlib>

#include "shell/demo.h"

int main(int, char**) {
    static SdlClock clock;
    static Demo demo(clock);
    if (!demo.start_up()) std::exit(1);
    demo.run();
    demo.shut_down();
    std::exit(1);
}
