// zypho-icon: makes the desktop icon from the demo's own art: one frame of the bouncing smiley
// strip (Media/sm.png), cut to the square round its visible pixels and scaled to 128 × 128 by
// averaging 4 × 4 samples per pixel, alpha kept. Runs at build time.
//
//   zypho-icon STRIP.png OUT.png

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "command_line.h"
#include "output_file.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-function"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

constexpr const char* PROGRAM = "zypho-icon";
constexpr int STRIP_FRAMES = 10;  // the smiley strip's frame count
constexpr int FRAME = 5;          // the frame at the top of the bounce: the face fully round
constexpr int SIZE = 128;         // px, the icon's width and height
constexpr int SAMPLES = 4;        // per direction and icon pixel

struct Rgba {
    float r, g, b, a;
};

}  // namespace

int main(int argc, char** argv) {
    const OptionSpec options[] = {{0, nullptr, false}};
    std::vector<Argument> arguments;
    std::string error;
    if (!read_command_line(argc, argv, options, arguments, error)) return command_line_error(PROGRAM, error);
    if (arguments.size() != 2) return command_line_error(PROGRAM, "usage: zypho-icon STRIP.png OUT.png");

    SDL_Surface* loaded = IMG_Load(arguments[0].value.c_str());
    if (!loaded) {
        std::fprintf(stderr, "%s: cannot read '%s': %s\n", PROGRAM, arguments[0].value.c_str(), IMG_GetError());
        return 1;
    }
    // Straight RGBA words, whatever the file's own format.
    SDL_Surface* strip = SDL_CreateRGBSurface(SDL_SWSURFACE, loaded->w, loaded->h, 32, 0x000000FF,
                                              0x0000FF00, 0x00FF0000, 0xFF000000);
    SDL_SetAlpha(loaded, 0, 255);
    SDL_BlitSurface(loaded, nullptr, strip, nullptr);
    SDL_FreeSurface(loaded);

    const int fw = strip->w / STRIP_FRAMES, fx = FRAME * fw;
    auto pixel = [&](int x, int y) {
        const Uint8* p = static_cast<const Uint8*>(strip->pixels) + y * strip->pitch + x * 4;
        return Rgba{float(p[0]), float(p[1]), float(p[2]), float(p[3])};
    };
    // The frame's visible pixels (the shadow below the face included).
    int left = fw, right = -1, top = strip->h, bottom = -1;
    for (int y = 0; y < strip->h; ++y)
        for (int x = 0; x < fw; ++x)
            if (pixel(fx + x, y).a > 0) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    if (right < 0) {
        std::fprintf(stderr, "%s: frame %d of '%s' is empty\n", PROGRAM, FRAME, arguments[0].value.c_str());
        return 1;
    }
    const int side = std::max(right - left, bottom - top) + 1;
    const float x0 = fx + (left + right + 1) / 2.0f - side / 2.0f, y0 = (top + bottom + 1) / 2.0f - side / 2.0f;

    std::vector<unsigned char> icon(SIZE * SIZE * 4);
    for (int y = 0; y < SIZE; ++y)
        for (int x = 0; x < SIZE; ++x) {
            Rgba sum{0, 0, 0, 0};  // colour weighted by alpha, so that clear pixels add no colour
            for (int sy = 0; sy < SAMPLES; ++sy)
                for (int sx = 0; sx < SAMPLES; ++sx) {
                    const int px = int(x0 + (x + (sx + 0.5f) / SAMPLES) * side / SIZE);
                    const int py = int(y0 + (y + (sy + 0.5f) / SAMPLES) * side / SIZE);
                    if (px < fx || px >= fx + fw || py < 0 || py >= strip->h) continue;
                    const Rgba p = pixel(px, py);
                    sum = {sum.r + p.r * p.a, sum.g + p.g * p.a, sum.b + p.b * p.a, sum.a + p.a};
                }
            unsigned char* out = &icon[(y * SIZE + x) * 4];
            if (sum.a > 0) {
                out[0] = static_cast<unsigned char>(sum.r / sum.a + 0.5f);
                out[1] = static_cast<unsigned char>(sum.g / sum.a + 0.5f);
                out[2] = static_cast<unsigned char>(sum.b / sum.a + 0.5f);
            }
            out[3] = static_cast<unsigned char>(sum.a / (SAMPLES * SAMPLES) + 0.5f);
        }
    SDL_FreeSurface(strip);

    int length = 0;
    unsigned char* png = stbi_write_png_to_mem(icon.data(), SIZE * 4, SIZE, SIZE, 4, &length);
    const bool ok = png && write_file_atomically(arguments[1].value, png, static_cast<std::size_t>(length), error);
    std::free(png);
    if (!ok) {
        std::fprintf(stderr, "%s: %s\n", PROGRAM, png ? error.c_str() : "cannot encode the icon");
        return 1;
    }
    return 0;
}
