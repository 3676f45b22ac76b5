#include "gfx/trig.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/headless.h"

TEST(SineTables, PeakOneShortOfTheirAmplitude) {
    // The factor lies just below pi/180, so 90 degrees never quite reaches the top of the sine:
    // a table scaled by 1024 or by 15 and truncated peaks at 1023 or 14. With pi/180 itself the
    // quarter turn would give the full amplitude.
    EXPECT_EQ(static_cast<int>(std::sin(128 * 0.703125 * DEG_TO_RAD) * 1024), 1023);
    EXPECT_EQ(static_cast<int>(std::sin(256 * 0.3515625 * DEG_TO_RAD) * 15), 14);
    EXPECT_EQ(static_cast<int>(std::sin(-128 * 0.703125 * DEG_TO_RAD) * 1024), -1023);
    EXPECT_EQ(static_cast<int>(std::sin(128 * 0.703125 * (M_PI / 180)) * 1024), 1024);
}

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
