#include "gfx/font.h"

#include <gtest/gtest.h>

#include "support/headless.h"
#include "support/text_fixtures.h"

TEST(GlyphIndex, MapsEveryByteToItsCell) {
    for (int ch = 'a'; ch <= 'v'; ++ch) EXPECT_EQ(glyph_index(ch), ch - 'a') << char(ch);
    EXPECT_EQ(glyph_index('w'), NO_GLYPH);
    EXPECT_EQ(glyph_index('x'), 22);
    EXPECT_EQ(glyph_index('y'), 23);
    EXPECT_EQ(glyph_index('z'), 24);
    EXPECT_EQ(glyph_index(229), 25);  // å
    EXPECT_EQ(glyph_index(228), 26);  // ä
    EXPECT_EQ(glyph_index(246), 27);  // ö
    for (int ch = '1'; ch <= '9'; ++ch) EXPECT_EQ(glyph_index(ch), 29 + ch - '1') << char(ch);
    EXPECT_EQ(glyph_index('0'), 38);
    const char marks[] = ".!?/\\-";
    for (int i = 0; i < 6; ++i) EXPECT_EQ(glyph_index(marks[i]), 39 + i) << marks[i];

    int with_glyph = 0;
    for (int ch = 0; ch < 256; ++ch)
        if (glyph_index(ch) != NO_GLYPH) ++with_glyph;
    EXPECT_EQ(with_glyph, 44);  // every cell but 28 belongs to exactly one byte
}

TEST(GlyphIndex, LooksAtTheLowByteOnly) {
    EXPECT_EQ(glyph_index(0x100 + 'a'), 0);
    EXPECT_EQ(glyph_index(static_cast<char>(228)), 26);  // a signed char of ä
    EXPECT_EQ(glyph_index(230), NO_GLYPH);
    EXPECT_EQ(glyph_index(' '), NO_GLYPH);
    EXPECT_EQ(glyph_index('H'), NO_GLYPH);
    EXPECT_EQ(glyph_index(','), NO_GLYPH);
    EXPECT_EQ(glyph_index('#'), NO_GLYPH);
}

class FontDrawing : public ::testing::Test {
protected:
    MediaDir media;
    HeadlessScreen screen;
    void SetUp() override {
        media.write_glyph_sheet("alpb.png", 25, 31);
        media.write_glyph_sheet("alp.png", 50, 100);
        screen.fill(0, 0, 0);
    }
    int cell_at(int x, int y) const { return ::cell_at(screen, x, y); }
};

TEST_F(FontDrawing, SmallFontDrawsHelloAtFifteenPixelSteps) {
    SmallFont font;
    font.draw_text(screen.surface(), "hello", 0, 0);
    const int cells[] = {7, 4, 11, 11, 14};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(cell_at(i * 15 + 5, 15), cells[i]) << "character " << i;
    // The last cell is whole: 25 px wide, 31 px high, from x = 60.
    EXPECT_EQ(cell_at(60 + 23, 29), 14);
    EXPECT_EQ(screen.rgb(60 + 25, 15), 0u);
    EXPECT_EQ(screen.rgb(65, 31), 0u);
}

TEST_F(FontDrawing, BigFontDrawsHelloAtThirtyFivePixelSteps) {
    BigFont font;
    font.draw_text(screen.surface(), "hello", 0, 0);
    const int cells[] = {7, 4, 11, 11, 14};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(cell_at(i * 35 + 10, 50), cells[i]) << "character " << i;
    EXPECT_EQ(cell_at(140 + 48, 98), 14);
    EXPECT_EQ(screen.rgb(140 + 50, 50), 0u);
}

TEST_F(FontDrawing, CharactersWithoutAGlyphStillDrawCell28AndAdvance) {
    SmallFont font;
    font.draw_text(screen.surface(), "Hi w!", 0, 0);
    const int cells[] = {28, 8, 28, 28, 40};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(cell_at(i * 15 + 5, 15), cells[i]) << "character " << i;
}

TEST_F(FontDrawing, LaterCellsCoverEarlierOnesButKeyedPixelsLetThemShow) {
    SmallFont font;
    font.draw_text(screen.surface(), "ab", 100, 100);
    // x = 115 is the keyed left border of "b": "a" (whose interior runs to x = 123) shows there.
    EXPECT_EQ(cell_at(115, 110), 0);
    EXPECT_EQ(cell_at(116, 110), 1);
}

TEST_F(FontDrawing, DrawCharMatchesDrawText) {
    SmallFont font;
    font.draw_char(screen.surface(), 228, 0, 0);
    font.draw_char(screen.surface(), '-', 15, 0);
    EXPECT_EQ(cell_at(5, 15), 26);
    EXPECT_EQ(cell_at(20, 15), 44);
}

TEST_F(FontDrawing, EmptyTextAndClippedTextStayInsideTheScreen) {
    BigFont font;
    font.draw_text(screen.surface(), "", 0, 0);
    for (int x = 0; x < 640; x += 7) ASSERT_EQ(screen.rgb(x, 50), 0u);
    // "psajkadelic, huh?" spans 0..609; far right and off-screen text are cut by the blit.
    font.draw_text(screen.surface(), "psajkadelic, huh?", 0, 0);
    EXPECT_EQ(cell_at(16 * 35 + 48, 50), 41);
    EXPECT_EQ(screen.rgb(610, 50), 0u);
    font.draw_text(screen.surface(), "zzzzzzzzzzzzzzzzzzzzzzzzzz", 600, 420);
    font.draw_text(screen.surface(), "zzz", -2000, -2000);
    EXPECT_EQ(cell_at(620, 470), 24);
}

TEST(FontWithoutSheet, DrawsNothing) {
    MediaDir media;  // no glyph sheets in it
    HeadlessScreen screen;
    screen.fill(1, 2, 3);
    SmallFont small;
    BigFont big;
    EXPECT_EQ(small.sheet(), nullptr);
    small.draw_text(screen.surface(), "hello", 0, 0);
    small.draw_char(screen.surface(), 'a', 0, 0);
    big.draw_text(screen.surface(), "hello", 0, 0);
    EXPECT_EQ(screen.rgb(10, 10), rgb(1, 2, 3));
}
