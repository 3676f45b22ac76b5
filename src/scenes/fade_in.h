#pragma once
// The opening scene: Media/aa.jpg fades in from black over five seconds. At start-up the screen,
// with the picture on it, is snapshotted byte for byte; every pass writes a darkened copy of the
// snapshot back over the whole screen. Every byte is treated alike, whichever channel it holds
// (the fourth, colourless byte of a 32-bit pixel included).

#include <SDL.h>

#include <memory>

#include "scenes/scene.h"

class FadeIn : public Scene {
public:
    // Draws `opening` at (0, 0) with blit_at, allocates both buffers (zeroed) and snapshots the
    // screen's pixels under SDL_LockSurface. A failed lock leaves the snapshot black. A null
    // screen gives an empty scene that draws nothing.
    FadeIn(SDL_Surface* screen, SDL_Surface* opening);

    // delta: ms since the previous pass. Writes snapshot − threshold (floored at 0) per byte into
    // `work`, using the threshold of the previous pass (so the first pass is black), lowers the
    // level, then presents `work`.
    void render(int delta) override;
    // Copies `work` onto the screen's rows; skipped when the screen cannot be locked.
    void present();

    double level = 256.0;    // darkening, 256.0 down to 0.0; falls by rate × delta per pass
    int threshold = 256;     // level truncated toward zero at the end of a pass; the next pass
                             // subtracts it from every byte (256: nothing shows)
    double rate = 0.0512;    // level units per ms: 256 / 0.0512 = 5000 ms, the scene's window
    int size = 0;            // bytes of picture: bytes per pixel × height × width
                             // (4 × 480 × 640 = 1,228,800)
    // The screen's rows as they were after the picture was drawn, packed: row r at
    // r × width × bytes per pixel, whatever the screen's pitch.
    std::unique_ptr<Uint8[]> snapshot;
    std::unique_ptr<Uint8[]> work;  // the darkened picture, same layout; starts all zero
    Uint8* copy_from = nullptr;     // cursor: source of the byte pass or of the copy in progress
    Uint8* copy_to = nullptr;       // cursor: destination of the byte pass or of the copy

private:
    SDL_Surface* screen_;
    int row_bytes_ = 0;  // bytes of picture per row: width × bytes per pixel (<= pitch)
};
