#include "shell/images.h"

#include "gfx/image.h"

void load_images(Images& images) {
    for (int p = 0; p < PICTURE_COUNT; ++p) {
        images.loaded[p] = load_image(pictures[p].file);
        check_image_size(images.loaded[p], pictures[p].file, pictures[p].w, pictures[p].h);
    }
    for (Picture p : keyed_pictures) set_colour_key(images[p]);
}
