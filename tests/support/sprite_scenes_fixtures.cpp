#include "support/sprite_scenes_fixtures.h"

int frame_at(const HeadlessScreen& screen, int x, int y) {
    for (int i = 0; i < 16; ++i)
        if (screen.rgb(x, y) == frame_colour(i)) return i;
    return -1;
}
