// The golden frames: chosen frames of the demo with the shipped media, run offline the way
// zypho-capture runs it, against checksums recorded here. Any change to what a viewer sees changes
// a checksum. After an intended change, rewrite the table with
//     scripts/update-golden
// (it builds zypho-capture and replaces the lines between the markers below with the output of
// `zypho-capture --golden`).

#include "shell/golden.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

#include "shell/schedule.h"

namespace {

const GoldenFrame recorded[] = {
    // BEGIN GOLDEN
    // 20 frames of the demo run at 5 fps from the zero point
    {2400, 0xeec83881a6ba360eull},  // fade-in
    {7000, 0x7e3422b474961629ull},  // falling logos
    {14000, 0xf359fa924f56a163ull},  // falling logos
    {22000, 0x5ef2457dbf4261e7ull},  // drifting sprites
    {37000, 0xc45cfd81c397354cull},  // bezier web
    {48000, 0x968255966e881832ull},  // walkers
    {53000, 0x282f01b63637374dull},  // reveal worm
    {60800, 0xd3fdec25f0aa2253ull},  // reveal worm
    {63400, 0x32fd49a15e06aa31ull},  // blur
    {70000, 0x8518587e553fd3fbull},  // oscilloscope
    {75000, 0xcc1ce9ac80b89c19ull},  // oscilloscope
    {88000, 0xc8e0687e34999ed9ull},  // walker and oscilloscope
    {100000, 0x179c5962b01e74cfull},  // plasma
    {109000, 0xb7d04ff07e1b60e0ull},  // level bars and walkers
    {117000, 0x452590cceae36f8bull},  // greetings swing
    {127000, 0x8ee9fdc6ffbb7521ull},  // credits
    {134400, 0x930816f228edcb11ull},  // block-letter banner
    {142000, 0xeb49471b1bdfc723ull},  // shaking words
    {154000, 0x3bb7b3ebe5d499abull},  // wavy caption and sprite trio
    {162000, 0xb3c610dac160380dull},  // end screen
    // END GOLDEN
};

std::string hex(std::uint64_t v) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%016" PRIx64, v);
    return text;
}

}  // namespace

TEST(GoldenFrames, TheTableCoversEveryScheduleEntry) {
    bool seen[SCHEDULE_SIZE] = {};
    for (int i = 0; i < GOLDEN_FRAMES; ++i) {
        EXPECT_EQ(golden_times_ms[i] % (1000 / GOLDEN_FPS), 0) << golden_times_ms[i];
        if (i > 0) {
            EXPECT_LT(golden_times_ms[i - 1], golden_times_ms[i]);
        }
        seen[schedule_entry(golden_times_ms[i])] = true;
    }
    for (int n = 0; n < SCHEDULE_SIZE; ++n) EXPECT_TRUE(seen[n]) << schedule[n].name;
}

TEST(GoldenFrames, TheShippedDemoDrawsTheRecordedFrames) {
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(ZYPHO_SOURCE_DIR), 0);
    std::vector<GoldenFrame> frames;
    std::string error;
    const bool ran = compute_golden_frames(frames, error);
    ASSERT_EQ(chdir(previous), 0);
    ASSERT_TRUE(ran) << error;

    constexpr int recorded_count = sizeof recorded / sizeof recorded[0];
    ASSERT_EQ(recorded_count, GOLDEN_FRAMES)
        << "the table does not match the golden frame times: run scripts/update-golden";
    std::string changed;
    for (int i = 0; i < GOLDEN_FRAMES; ++i) {
        EXPECT_EQ(frames[i].ms, recorded[i].ms);
        if (frames[i].checksum != recorded[i].checksum)
            changed += "  at " + std::to_string(frames[i].ms) + " ms (" +
                       schedule[schedule_entry(frames[i].ms)].name + "): " + hex(frames[i].checksum) +
                       ", recorded " + hex(recorded[i].checksum) + "\n";
    }
    EXPECT_TRUE(changed.empty())
        << "frames differ from the recorded ones:\n"
        << changed << "If the change is intended, rewrite the table: scripts/update-golden";
}
