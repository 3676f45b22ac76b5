#include "gfx/trig.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/headless.h"

TEST(Oscillator, SitsAtItsCentreAtTickZero) {
    EXPECT_EQ((Oscillator{1.0f / 300, 160, 240}.at(0)), 240);
    EXPECT_EQ((Oscillator{1.0f / 630, 10, 270}.at(0)), 270);
}

TEST(Oscillator, TruncatesTheSwingTowardTheCentre) {
    const Oscillator o{1.0f / 700, 260, 240};
    // sin(3300 / 700) × 260 = -259.99...: -259, not -260.
    EXPECT_EQ(o.at(3300), -19);
    // sin(1100 / 700) × 260 = 259.99...: 259.
    EXPECT_EQ(o.at(1100), 499);
}

TEST(Oscillator, UsesTheSinglePrecisionRateWidened) {
    const Oscillator o{1.0f / 700, 260, 240};
    // At tick 34947 the float nearest 1/700 gives sin × 260 = -87.00005, the exact 1/700 -86.9999.
    EXPECT_EQ(o.at(34947), 153);
    EXPECT_EQ(o.at(63058), 462);
}

TEST(Oscillator, ReadsTheClockOncePerValue) {
    FakeClock clock(31000, 1);
    EXPECT_EQ((Oscillator{1.0f / 300, 160, 240}.read(clock)), 293);  // tick 31000
    EXPECT_EQ((Oscillator{1.0f / 400, 140, 250}.read(clock)), 370);  // tick 31001
    EXPECT_EQ(clock.reads, 2);
}

TEST(Oscillator, KeepsWithinOneShortOfItsAmplitude) {
    // Over 200 s of ticks the truncated swing peaks one short of the amplitude on both sides:
    // the sine never comes out as exactly 1 or -1 at these ticks.
    struct Case {
        Oscillator o;
        int lowest, highest;
    };
    const Case cases[] = {{{1.0f / 300, 160, 240}, 81, 399}, {{1.0f / 700, 260, 240}, -19, 499}};
    for (const Case& c : cases) {
        int lowest = c.o.at(0), highest = lowest;
        for (Uint32 t = 1; t < 200000; ++t) {
            lowest = std::min(lowest, c.o.at(t));
            highest = std::max(highest, c.o.at(t));
        }
        EXPECT_EQ(lowest, c.lowest) << c.o.centre << " ± " << c.o.amplitude;
        EXPECT_EQ(highest, c.highest) << c.o.centre << " ± " << c.o.amplitude;
    }
}

TEST(Oscillator, TakesTicksPastTwoToTheThirtyFirstAsTheyAre) {
    // The tick count is unsigned: after 24.8 days of run time it goes on counting up, and so does
    // the angle (sin(2147483648 / 700) × 260 = -144.93, sin(3e9 / 700) × 260 = -160.57,
    // sin(4294967295 / 700) × 260 = -240.79; with the float nearest 1/700).
    const Oscillator o{1.0f / 700, 260, 240};
    EXPECT_EQ(o.at(2147483647u), 95);
    EXPECT_EQ(o.at(2147483648u), 96);
    EXPECT_EQ(o.at(3000000000u), 80);
    EXPECT_EQ(o.at(4294967295u), 0);
    const Oscillator p{1.0f / 300, 160, 240};
    EXPECT_EQ(p.at(3000000000u), 270);  // sin(1e7) × 160 = 30.52
    EXPECT_EQ(p.at(4294967295u), 214);  // -26.78
}
