#include "gfx/image.h"

#include <SDL_image.h>

#include <cstdio>
#include <cstring>
#include <fstream>

namespace {

bool reporting = true;

bool is_jpeg_name(const char* path) {
    const std::size_t n = std::strlen(path);
    return n >= 4 && std::strcmp(path + n - 4, ".jpg") == 0;
}

// False for a JPEG file (it starts with FF D8) that does not end with its end-of-image marker
// (FF D9): SDL_image decodes a truncated file without a word, the missing rows made up by the
// decoder. Files of other kinds are not judged.
bool jpeg_is_complete(const char* path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in || in.tellg() < 4) return true;
    char start[2], end[2];
    in.seekg(0);
    in.read(start, 2);
    if (static_cast<unsigned char>(start[0]) != 0xFF || static_cast<unsigned char>(start[1]) != 0xD8)
        return true;
    in.seekg(-2, std::ios::end);
    return in.read(end, 2) && static_cast<unsigned char>(end[0]) == 0xFF &&
           static_cast<unsigned char>(end[1]) == 0xD9;
}

}  // namespace

void report_image_failures(bool on) { reporting = on; }

SDL_Surface* load_image(const char* path) {
    SDL_Surface* image = IMG_Load(path);
    if (!reporting) return image;
    if (!image)
        std::fprintf(stderr, "zypho: cannot load %s: %s\n", path, IMG_GetError());
    else if (is_jpeg_name(path) && !jpeg_is_complete(path))
        std::fprintf(stderr, "zypho: %s is cut short: part of the picture is missing\n", path);
    return image;
}

bool check_image_size(const SDL_Surface* image, const char* path, int w, int h) {
    if (!image || (image->w == w && image->h == h)) return true;
    if (reporting)
        std::fprintf(stderr, "zypho: %s is %d x %d px, not %d x %d: parts of it may not show\n",
                     path, image->w, image->h, w, h);
    return false;
}

void set_colour_key(SDL_Surface* image) {
    if (!image) return;
    SDL_SetColorKey(image, SDL_SRCCOLORKEY, SDL_MapRGB(image->format, KEY_R, KEY_G, KEY_B));
}
