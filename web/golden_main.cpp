// zypho-golden, the web build's parity program: runs the golden frames (shell/golden.h) on the
// virtual clock inside the browser, exactly as the desktop's tests do, and prints one line per
// frame, "golden <ms> 0x<checksum>", then "golden done" (or "golden error: ..."). With
// --thumbnails it then writes /golden-thumbnails.rgb: for each golden frame, in order, the frame
// reduced to 80 x 60 pixels (the mean of each 8 x 8 block), RGB bytes, for the page's tests to
// recognise the scenes in the live demo. It begins with "golden kernels blend <path> blur <kernel>":
// the pixel kernels this build runs (gfx/cpu_features.h).

#include <cinttypes>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/blur_kernel.h"
#include "gfx/byte_blend.h"
#include "shell/golden.h"
#include "shell/offline.h"

namespace {

constexpr int THUMB_BLOCK = 8;
constexpr int THUMB_W = OFFLINE_SCREEN_W / THUMB_BLOCK, THUMB_H = OFFLINE_SCREEN_H / THUMB_BLOCK;

void reduce(const std::uint8_t* rgb, std::vector<std::uint8_t>& out) {
    for (int ty = 0; ty < THUMB_H; ++ty)
        for (int tx = 0; tx < THUMB_W; ++tx)
            for (int c = 0; c < 3; ++c) {
                unsigned sum = 0;
                for (int y = 0; y < THUMB_BLOCK; ++y)
                    for (int x = 0; x < THUMB_BLOCK; ++x)
                        sum += rgb[(static_cast<std::size_t>(ty * THUMB_BLOCK + y) * OFFLINE_SCREEN_W +
                                    tx * THUMB_BLOCK + x) * 3 + c];
                out.push_back(static_cast<std::uint8_t>(sum / (THUMB_BLOCK * THUMB_BLOCK)));
            }
}

bool thumbnails() {
    OfflineRun run;
    if (!run.start_up()) {
        std::printf("golden error: %s\n", run.error().c_str());
        return false;
    }
    std::vector<std::uint8_t> out;
    if (!run.walk_to_moments(golden_times_ms.data(), GOLDEN_FRAMES, GOLDEN_FPS,
                             [&](int, int, const std::uint8_t* rgb) { reduce(rgb, out); })) {
        std::printf("golden error: %s\n", run.error().c_str());
        return false;
    }
    std::FILE* f = std::fopen("/golden-thumbnails.rgb", "wb");
    if (!f || std::fwrite(out.data(), 1, out.size(), f) != out.size() || std::fclose(f) != 0) {
        std::printf("golden error: cannot write the thumbnails\n");
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // Without threads SDL2's dummy audio driver cannot run: the browser's own sound device stands
    // in. The offline run unhooks and halts the live music right after start-up, so nothing it
    // plays reaches the frames. The display stays SDL's dummy one.
    setenv("SDL_AUDIODRIVER", "emscripten", 0);
    std::printf("golden kernels blend %s blur %s\n", blend_path_name(best_blend_path()),
                blur_kernel_name(best_blur_kernel()));
    std::vector<GoldenFrame> frames;
    std::string error;
    if (!compute_golden_frames(frames, error)) {
        std::printf("golden error: %s\n", error.c_str());
        return 1;
    }
    for (const GoldenFrame& f : frames) std::printf("golden %d 0x%016" PRIx64 "\n", f.ms, f.checksum);
    if (argc > 1 && std::strcmp(argv[1], "--thumbnails") == 0 && !thumbnails()) return 1;
    std::printf("golden done\n");
    return 0;
}
