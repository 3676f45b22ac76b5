#include "gfx/trig.h"

#include <gtest/gtest.h>

#include "support/headless.h"

TEST(Oscillator, DegToRadIsJustBelowPiOver180) {
    EXPECT_EQ(DEG_TO_RAD, 0.0174532);
    EXPECT_LT(DEG_TO_RAD, M_PI / 180);
}

TEST(Oscillator, SitsAtItsCentreAtTickZero) {
    EXPECT_EQ(oscillator(0, 1.0f / 300, 160, 240), 240);
    EXPECT_EQ(oscillator(0, 1.0f / 630, 10, 270), 270);
}

TEST(Oscillator, TruncatesTheSwingTowardTheCentre) {
    // sin(3300 / 700) × 260 = -259.99...: -259, not -260.
    EXPECT_EQ(oscillator(3300, 1.0f / 700, 260, 240), -19);
    // sin(1100 / 700) × 260 = 259.99...: 259.
    EXPECT_EQ(oscillator(1100, 1.0f / 700, 260, 240), 499);
}

TEST(Oscillator, UsesTheSinglePrecisionRateWidened) {
    // At tick 34947 the float nearest 1/700 gives sin × 260 = -87.00005, the exact 1/700 -86.9999.
    EXPECT_EQ(oscillator(34947, 1.0f / 700, 260, 240), 153);
    EXPECT_EQ(oscillator(63058, 1.0f / 700, 260, 240), 462);
}

TEST(Oscillator, ReadsTheClockOncePerValue) {
    FakeClock clock(31000, 1);
    EXPECT_EQ(oscillate(clock, 1.0f / 300, 160, 240), 293);  // tick 31000
    EXPECT_EQ(oscillate(clock, 1.0f / 400, 140, 250), 370);  // tick 31001
    EXPECT_EQ(clock.reads, 2);
}
