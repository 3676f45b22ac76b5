#include "scenes/shaking_words.h"

#include "gfx/blit.h"
#include "gfx/sge.h"

namespace {

constexpr int JITTER = 10;  // px: each offset is a whole number in -10..10

// The words run downwards from their corner: each character 35 px below the one before, its
// 50 × 100 cell drawn over the lower 65 px of the cell above. Every character has a glyph.
constexpr int WORD_STEP = 35;  // px

struct Word {
    const char* text;
    int x, y;  // px: top-left corner of the first cell before the jitter
};
constexpr Word words[] = {{"biaaatch", 352, 140}, {"shaddapp", 392, 140}};

// Corners of the two pictures before the jitter; the left one starts 30 px off screen.
constexpr int LEFT_X = -30, LEFT_Y = 100;
constexpr int RIGHT_X = 438, RIGHT_Y = 123;

struct Jitter {
    int dx, dy;
};

// One item's jitter: y first, then x.
Jitter draw_jitter() {
    Jitter j;
    j.dy = sge_Random(-JITTER, JITTER);
    j.dx = sge_Random(-JITTER, JITTER);
    return j;
}

}  // namespace

ShakingWords::ShakingWords(SDL_Surface* screen, SDL_Surface* background,
                           SDL_Surface* left_picture, SDL_Surface* right_picture)
    : screen_(screen),
      background_(background), left_picture_(left_picture), right_picture_(right_picture) {}

void ShakingWords::render(int /*delta*/) {
    blit_at(screen_, background_, 0, 0);

    Jitter j = draw_jitter();
    blit_at(screen_, left_picture_, LEFT_X + j.dx, LEFT_Y + j.dy);
    j = draw_jitter();
    blit_at(screen_, right_picture_, RIGHT_X + j.dx, RIGHT_Y + j.dy);

    // Each word keeps one jitter for all its characters: it shakes as a whole and never bends.
    for (const Word& w : words) {
        j = draw_jitter();
        const int x = w.x + j.dx, y = w.y + j.dy;
        for (int i = 0; w.text[i] != '\0'; ++i)
            font.draw_char(screen_, static_cast<unsigned char>(w.text[i]), x, y + WORD_STEP * i);
    }
}
