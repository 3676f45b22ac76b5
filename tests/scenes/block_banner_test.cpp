#include "scenes/block_banner.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/headless.h"
#include "support/text_fixtures.h"

namespace {

constexpr Uint32 BACKGROUND = rgb(50, 50, 50);

// Where each row is drawn: x of its first character, y of its top.
constexpr int ROW_X[BlockBanner::ROWS] = {5, 5, 5, 5, 5, 5, 5, 5, 5, 35, 35, 35, 35, 35};
constexpr int ROW_Y[BlockBanner::ROWS] = {0,   31,  62,  93,  124, 155, 186,
                                          217, 258, 299, 330, 361, 392, 423};

class BlockBannerPass : public ::testing::Test {
protected:
    MediaDir media;
    HeadlessScreen screen;
    void SetUp() override {
        media.write_glyph_sheet("alpb.png", 25, 31);
        screen.fill(50, 50, 50);
    }
    std::vector<Uint32> pixels() const {
        const Uint32* p = static_cast<const Uint32*>(screen.surface()->pixels);
        return std::vector<Uint32>(p, p + 640 * 480);
    }
};

TEST(BlockBannerArt, RowsHaveTheirExactWidths) {
    for (int r = 0; r < 8; ++r) EXPECT_EQ(std::strlen(BlockBanner::row(r)), 43u) << r;
    EXPECT_STREQ(BlockBanner::row(8), "...............p.r.e.s.e.n.t.s..............");
    EXPECT_EQ(std::strlen(BlockBanner::row(8)), 44u);
    for (int r = 9; r < 14; ++r) {
        EXPECT_EQ(std::strlen(BlockBanner::row(r)), 39u) << r;
        EXPECT_EQ(BlockBanner::row(r)[0], ' ') << r;  // the title's first column is blank
    }
    EXPECT_STREQ(BlockBanner::row(14), "");
    EXPECT_STREQ(BlockBanner::row(-1), "");
}

TEST(BlockBannerArt, EachBlockUsesOnlyItsOwnCharacters) {
    // Group tag: 8s for strokes; a b d i p y . , ' / \ for curves and diagonals; blanks.
    for (int r = 0; r < 8; ++r)
        for (const char* c = BlockBanner::row(r); *c; ++c)
            EXPECT_NE(std::strchr("8abdipy.,'/\\ ", *c), nullptr) << "row " << r << ": " << *c;
    // Title: each of z, y, p, h, o drawn with its own character (0 for the o's curves); each
    // letter appears, in word order, in the top row.
    for (int r = 9; r < 14; ++r)
        for (const char* c = BlockBanner::row(r); *c; ++c)
            EXPECT_NE(std::strchr("zypho0 ", *c), nullptr) << "row " << r << ": " << *c;
    const std::string top = BlockBanner::row(9);
    EXPECT_LT(top.find('z'), top.find('y'));
    EXPECT_LT(top.find('y'), top.find('p'));
    EXPECT_LT(top.find('p'), top.find('h'));
    EXPECT_LT(top.find('h'), top.find('0'));
}

TEST_F(BlockBannerPass, EveryCharacterDrawsItsCellInPlace) {
    BlockBanner banner(screen.surface());
    banner.render(16);
    // Every character, blank or not, draws a cell 15 px after the one before; the probe sits in
    // the columns the next cell does not cover. Characters past the screen's edge are cut.
    for (int r = 0; r < BlockBanner::ROWS; ++r)
        EXPECT_EQ(text_mismatches(screen, BlockBanner::row(r), ROW_X[r], ROW_Y[r], 15, 0, 2, 15), "")
            << "row " << r + 1;
    // Blanks and apostrophes draw the blank cell.
    EXPECT_EQ(cell_at(screen, 5 + 2, 15), NO_GLYPH);                // row 1, character 0: blank
    EXPECT_EQ(cell_at(screen, 5 + 15 * 4 + 2, 31 + 15), NO_GLYPH);  // row 2, character 4: '
    ASSERT_EQ(BlockBanner::row(1)[4], '\'');

    // Row 1's last character (index 42) starts at x = 635 and is cut at 639.
    EXPECT_EQ(cell_at(screen, 639, 15), NO_GLYPH);
    // Row 9 from x = 5: its left key column shows the background, its glyph from x = 6.
    EXPECT_EQ(screen.rgb(5, 270), BACKGROUND);
    EXPECT_EQ(cell_at(screen, 6, 270), 39);
    // Row 10 from (35, 299).
    EXPECT_EQ(screen.rgb(36, 299), BACKGROUND);
    EXPECT_EQ(cell_at(screen, 36, 300), NO_GLYPH);
    EXPECT_EQ(screen.rgb(35, 300), BACKGROUND);
    // The title rows end at x = 629 (the last cell's key column): nothing beyond.
    for (int y = 299; y < 454; ++y)
        for (int x = 629; x < 640; ++x) ASSERT_EQ(screen.rgb(x, y), BACKGROUND) << x << "," << y;
    // 10 px gaps around the dotted row (rows 8 and 9 end on their key rows, 247 and 288), and
    // nothing under the last row, which ends at y = 453.
    for (int x = 0; x < 640; x += 7) {
        for (int y = 247; y <= 258; ++y) ASSERT_EQ(screen.rgb(x, y), BACKGROUND) << x << "," << y;
        for (int y = 288; y <= 299; ++y) ASSERT_EQ(screen.rgb(x, y), BACKGROUND) << x << "," << y;
        for (int y = 453; y < 480; ++y) ASSERT_EQ(screen.rgb(x, y), BACKGROUND) << x << "," << y;
    }
}

TEST_F(BlockBannerPass, EveryPassDrawsTheSamePicture) {
    BlockBanner banner(screen.surface());
    banner.render(0);
    const std::vector<Uint32> first = pixels();
    screen.fill(50, 50, 50);
    banner.render(123456);
    EXPECT_TRUE(first == pixels());
    screen.fill(50, 50, 50);
    banner.render(-5);
    EXPECT_TRUE(first == pixels());
}

TEST(BlockBannerOddSheet, ASheetSmallerThanOneCellDrawsOnlyWhatItHas) {
    MediaDir media;
    HeadlessScreen screen;
    media.write_solid("alpb.png", 20, 10, rgb(200, 0, 200));  // less than one cell
    screen.fill(50, 50, 50);
    BlockBanner banner(screen.surface());
    banner.render(16);
    // Only cell 0 (a) lies even partly inside the sheet, and the art has no a.
    for (int y = 0; y < 480; y += 3)
        for (int x = 0; x < 640; x += 3) ASSERT_EQ(screen.rgb(x, y), BACKGROUND) << x << "," << y;
}

}  // namespace
