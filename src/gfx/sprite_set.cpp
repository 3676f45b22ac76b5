#include "gfx/sprite_set.h"

#include "gfx/image.h"

namespace {
constexpr const char* strip_files[STRIP_COUNT] = {
    "Media/sm.png", "Media/bi.png", "Media/bl.png", "Media/cra.png",
    "Media/crb.png", "Media/dm.png", "Media/st.png", "Media/wm.png",
};
}  // namespace

SpriteSet::SpriteSet() {
    for (int i = 0; i < STRIP_COUNT; ++i) strips[i] = load_image(strip_files[i]);
}
