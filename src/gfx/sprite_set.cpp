#include "gfx/sprite_set.h"

#include "gfx/image.h"

SpriteSet::SpriteSet() {
    for (int i = 0; i < STRIP_COUNT; ++i) strips[i] = load_image(strip_files[i]);
}
