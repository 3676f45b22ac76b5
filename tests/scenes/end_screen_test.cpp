#include "scenes/end_screen.h"

#include <gtest/gtest.h>

#include "support/headless.h"
#include "support/text_fixtures.h"

class EndScreenPass : public ::testing::Test {
protected:
    MediaDir media;
    HeadlessScreen screen;
    void SetUp() override { media.write_glyph_sheet("alp.png", 50, 100); }
    int cell_at(int x, int y) const { return ::cell_at(screen, x, y); }
};

TEST_F(EndScreenPass, DrawsThreeLinesOnLightBlue) {
    screen.fill(1, 2, 3);
    EndScreen end(screen.surface());
    end.render(16);
    EXPECT_EQ(screen.rgb(0, 0), rgb(0, 215, 246));
    EXPECT_EQ(screen.rgb(639, 479), rgb(0, 215, 246));
    // Line 1, "you can ", at y = 200; sampled in its upper half, which line 2 does not cover.
    const int line1[] = {23, 14, 20, 28, 2, 0, 13, 28};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(cell_at(230 + 35 * i + 10, 220), line1[i]) << i;
    // Line 2, "press esc", at y = 250: its last cell spans x = 510..559.
    const int line2[] = {15, 17, 4, 18, 18, 28, 4, 18, 2};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(cell_at(230 + 35 * i + 10, 270), line2[i]) << i;
    EXPECT_EQ(cell_at(558, 270), 2);
    EXPECT_EQ(screen.rgb(560, 270), rgb(0, 215, 246));
    // Line 3, "novv", at y = 300, drawn whole.
    const int line3[] = {13, 14, 21, 21};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(cell_at(230 + 35 * i + 10, 390), line3[i]) << i;
    // Where line 3 has its keyed border, line 2's glyph shows through.
    EXPECT_EQ(cell_at(230 + 10, 300), 15);
}

TEST_F(EndScreenPass, EveryPassDrawsTheSamePicture) {
    EndScreen end(screen.surface());
    end.render(0);
    std::vector<Uint32> first(static_cast<Uint32*>(screen.surface()->pixels),
                              static_cast<Uint32*>(screen.surface()->pixels) + 640 * 480);
    screen.fill(9, 9, 9);
    end.render(123456);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), static_cast<Uint32*>(screen.surface()->pixels)));
}
