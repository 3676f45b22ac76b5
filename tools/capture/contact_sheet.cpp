#include "contact_sheet.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <vector>

#include "gfx/font.h"
#include "progress.h"
#include "shell/offline.h"
#include "writers.h"

namespace {

constexpr int SHEET_FPS = 60;
constexpr int SHRINK = 4;                           // thumbnails are a quarter of the screen across
constexpr int THUMB_W = OFFLINE_SCREEN_W / SHRINK;  // 160 px
constexpr int THUMB_H = OFFLINE_SCREEN_H / SHRINK;  // 120 px
constexpr int COLUMNS = 6;
constexpr int GAP = 8;         // px around and between the cells
constexpr int CAPTION_H = 20;  // px below each thumbnail for its caption
constexpr int ROWS = (SHEET_SHOTS + COLUMNS - 1) / COLUMNS;
constexpr int SHEET_W = COLUMNS * THUMB_W + (COLUMNS + 1) * GAP;
constexpr int SHEET_H = ROWS * (THUMB_H + CAPTION_H) + (ROWS + 1) * GAP;
constexpr std::uint8_t BG[3] = {18, 18, 24};  // the sheet's background

struct Rgb {
    std::vector<std::uint8_t> px;
    int w, h;
    Rgb(int w_, int h_) : px(static_cast<std::size_t>(w_) * h_ * 3), w(w_), h(h_) {}
    std::uint8_t* at(int x, int y) { return &px[(static_cast<std::size_t>(y) * w + x) * 3]; }
    const std::uint8_t* at(int x, int y) const {
        return &px[(static_cast<std::size_t>(y) * w + x) * 3];
    }
};

// The `f` × `f` box average of src's region from (sx, sy), out_w × out_h output pixels, pasted
// into dst at (dx, dy).
void shrink_into(const Rgb& src, int sx, int sy, int out_w, int out_h, int f, Rgb& dst, int dx,
                 int dy) {
    for (int y = 0; y < out_h; ++y)
        for (int x = 0; x < out_w; ++x) {
            int sum[3] = {0, 0, 0};
            for (int j = 0; j < f; ++j)
                for (int i = 0; i < f; ++i) {
                    const std::uint8_t* p = src.at(sx + x * f + i, sy + y * f + j);
                    for (int c = 0; c < 3; ++c) sum[c] += p[c];
                }
            std::uint8_t* q = dst.at(dx + x, dy + y);
            for (int c = 0; c < 3; ++c)
                q[c] = static_cast<std::uint8_t>((sum[c] + f * f / 2) / (f * f));
        }
}

// The demo's fonts have no w and no capitals.
std::string font_text(const char* caption) {
    std::string text;
    for (const char* c = caption; *c; ++c) {
        const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
        if (lower == 'w')
            text += "vv";
        else
            text += lower;
    }
    return text;
}

}  // namespace

bool make_contact_sheet(const std::string& path, bool quiet, std::string& error) {
    OfflineRun run;
    if (!run.start_up()) {
        error = run.error();
        return false;
    }
    Rgb sheet(SHEET_W, SHEET_H);
    for (int y = 0; y < SHEET_H; ++y)
        for (int x = 0; x < SHEET_W; ++x)
            for (int c = 0; c < 3; ++c) sheet.at(x, y)[c] = BG[c];
    Rgb screen(OFFLINE_SCREEN_W, OFFLINE_SCREEN_H);

    const long long passes =
        (static_cast<long long>(sheet_shots[SHEET_SHOTS - 1].ms) * SHEET_FPS + 999) / 1000 + 1;
    Progress progress("contact sheet", passes, quiet);
    int moments[SHEET_SHOTS];
    for (int i = 0; i < SHEET_SHOTS; ++i) moments[i] = sheet_shots[i].ms;
    const auto thumbnail = [&](int shot, int, const std::uint8_t* rgb) {
        std::copy(rgb, rgb + OFFLINE_RGB_BYTES, screen.px.begin());
        const int col = shot % COLUMNS, row = shot / COLUMNS;
        shrink_into(screen, 0, 0, THUMB_W, THUMB_H, SHRINK, sheet, GAP + col * (THUMB_W + GAP),
                    GAP + row * (THUMB_H + CAPTION_H + GAP));
    };
    if (!run.walk_to_moments(moments, SHEET_SHOTS, SHEET_FPS, thumbnail,
                             [&](long long n) { progress.update(n); })) {
        error = run.error();
        return false;
    }
    progress.finish();

    // Captions: each drawn with the small font on the (now finished) screen over the sheet's
    // background, read back and shrunk to half size under its thumbnail.
    SDL_Surface* display = run.demo().screen;
    const SmallFont font;
    const Uint32 bg = SDL_MapRGB(display->format, BG[0], BG[1], BG[2]);
    const int cell_h = SMALL_FONT.cell_h + SMALL_FONT.cell_h % 2;  // 32: an even number of rows
    for (int i = 0; i < SHEET_SHOTS; ++i) {
        SDL_Rect strip{0, 0, static_cast<Uint16>(OFFLINE_SCREEN_W), static_cast<Uint16>(cell_h)};
        SDL_FillRect(display, &strip, bg);
        const std::string text = font_text(sheet_shots[i].caption);
        font.draw_text(display, text.c_str(), 0, 0);
        run.read_rgb(screen.px.data());
        int width = static_cast<int>(text.size()) * SMALL_FONT.advance +
                    (SMALL_FONT.cell_w - SMALL_FONT.advance);
        if (width > 2 * THUMB_W) width = 2 * THUMB_W;
        const int col = i % COLUMNS, row = i / COLUMNS;
        const int x = GAP + col * (THUMB_W + GAP) + (THUMB_W - width / 2) / 2;
        const int y =
            GAP + row * (THUMB_H + CAPTION_H + GAP) + THUMB_H + (CAPTION_H - cell_h / 2) / 2 + 1;
        shrink_into(screen, 0, 0, width / 2, cell_h / 2, 2, sheet, x, y);
    }
    run.shut_down();
    return write_png_file(path, sheet.px.data(), SHEET_W, SHEET_H, error);
}
