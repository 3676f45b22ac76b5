#include "shell/images.h"

#include "gfx/image.h"

void load_images(Images& images) {
    images.opening = load_image("Media/aa.jpg");
    images.scope_canvas = load_image("Media/ab.png");
    images.lower_logo = load_image("Media/ba.png");
    images.upper_logo = load_image("Media/bb.png");
    images.sign = load_image("Media/ca.png");
    images.shaking_left = load_image("Media/ea.png");
    images.greetings_bg = load_image("Media/fa.jpg");
    images.credits_bg = load_image("Media/fc.jpg");
    images.background = load_image("Media/fd.jpg");
    images.caption_tile = load_image("Media/fg.png");
    images.shaking_right = load_image("Media/fh.png");
    images.tv_frame = load_image("Media/tv.jpg");
    images.shaking_bg = load_image("Media/fg.jpg");

    set_colour_key(images.scope_canvas);
    set_colour_key(images.upper_logo);
    set_colour_key(images.lower_logo);
    set_colour_key(images.sign);
    set_colour_key(images.tv_frame);
}
