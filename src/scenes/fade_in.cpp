#include "scenes/fade_in.h"

#include <cstring>

#include "gfx/blit.h"

FadeIn::FadeIn(SDL_Surface* screen, SDL_Surface* opening) : screen_(screen) {
    blit_at(screen_, opening, 0, 0);
    if (screen_) {
        row_bytes_ = screen_->format->BytesPerPixel * screen_->w;
        size = row_bytes_ * screen_->h;
    }
    snapshot = std::make_unique<Uint8[]>(size);  // value-initialised: all zero
    work = std::make_unique<Uint8[]>(size);
    if (!screen_ || size == 0) return;
    if (SDL_LockSurface(screen_) == 0) {
        if (screen_->pixels) {
            const Uint8* row = static_cast<const Uint8*>(screen_->pixels);
            for (int y = 0; y < screen_->h; ++y, row += screen_->pitch)
                std::memcpy(snapshot.get() + y * row_bytes_, row, row_bytes_);
        }
        SDL_UnlockSurface(screen_);
    }
}

void FadeIn::render(int delta) {
    copy_from = snapshot.get();
    copy_to = work.get();
    // A byte above the threshold shows as its excess; any other byte keeps what `work` holds,
    // which is 0 as long as the threshold has only fallen. No byte exceeds 255, so a threshold
    // of 255 or more (the first pass) changes nothing.
    if (threshold < 255) {
        // Local copies: byte stores may alias the fields, which would keep the loop from being
        // vectorised.
        const Uint8* from = copy_from;
        Uint8* to = copy_to;
        const int n = size;
        const Uint8 t = static_cast<Uint8>(threshold < 0 ? 0 : threshold);
        for (int i = 0; i < n; ++i) {
            const Uint8 b = from[i];
            to[i] = b > t ? static_cast<Uint8>(b - t) : to[i];
        }
    }
    level = level - delta * rate;
    if (level < 0.0) level = 0.0;
    threshold = static_cast<int>(level);
    present();
}

void FadeIn::present() {
    if (!screen_ || size == 0) return;
    if (SDL_LockSurface(screen_) != 0) return;
    if (screen_->pixels) {
        copy_from = work.get();
        copy_to = static_cast<Uint8*>(screen_->pixels);
        if (screen_->pitch == row_bytes_) {
            std::memcpy(copy_to, copy_from, size);
        } else {
            // Rows with a gap after them: copy each row and leave the gap as it is.
            for (int y = 0; y < screen_->h; ++y, copy_from += row_bytes_, copy_to += screen_->pitch)
                std::memcpy(copy_to, copy_from, row_bytes_);
        }
    }
    SDL_UnlockSurface(screen_);
}
