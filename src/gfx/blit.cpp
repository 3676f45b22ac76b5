#include "gfx/blit.h"

void blit_at(SDL_Surface* screen, SDL_Surface* image, int x, int y) {
    if (!image || !screen) return;
    SDL_Rect to{static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
    SDL_UpperBlit(image, nullptr, screen, &to);
}

void blit_cell(SDL_Surface* screen, SDL_Surface* image, int x, int y, int w, int h, int sx, int sy) {
    if (!image || !screen || w <= 0 || h <= 0) return;
    SDL_Rect from{static_cast<Sint16>(sx), static_cast<Sint16>(sy), static_cast<Uint16>(w),
                  static_cast<Uint16>(h)};
    SDL_Rect to{static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
    SDL_UpperBlit(image, &from, screen, &to);
}

void draw_frame(SDL_Surface* screen, int n, SDL_Surface* strip, int k, int x, int y) {
    if (!strip || k <= 0) return;
    const int frame_w = strip->w / k;  // 0 for a strip narrower than k: blit_cell draws nothing
    blit_cell(screen, strip, x, y, frame_w, strip->h, n * frame_w, 0);
}
