// The soundtrack's generator: its sections keyed to the schedule by name, the track's length, and
// the same samples on every render.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "music.h"

namespace {

using Names = std::vector<std::string>;

const Names ENTRIES = {"fade-in", "falling logos", "end screen"};

}  // namespace

TEST(MusicSections, EveryEntryHasItsSectionAndEverySectionItsEntry) {
    EXPECT_EQ(mg::check_sections(ENTRIES, ENTRIES), "");

    struct Case {
        Names sections;
        const char* says;
    };
    const Case cases[] = {
        // an entry was added to the schedule, the music not told
        {{"fade-in", "end screen"}, "the entry \"falling logos\" has no section"},
        // an entry was removed or renamed, its section left behind
        {{"fade-in", "falling logos", "walkers", "end screen"},
         "the section \"walkers\" names no schedule entry"},
        {{"fade-in", "falling-logos", "end screen"},
         "the section \"falling-logos\" names no schedule entry"},
        {{"fade-in", "falling logos", "falling logos", "end screen"},
         "two sections for the entry \"falling logos\""},
        // entries moved: the sections would play in the wrong order
        {{"falling logos", "fade-in", "end screen"}, "out of the schedule's order"},
    };
    for (const Case& c : cases) {
        const std::string why = mg::check_sections(ENTRIES, c.sections);
        EXPECT_NE(why.find(c.says), std::string::npos)
            << "got \"" << why << "\", wanted \"" << c.says << "\"";
    }
}

TEST(MusicSections, ThePieceFollowsTheShippedSchedule) {
    const Names entries = mg::schedule_entry_names();
    ASSERT_EQ(entries.size(), 17u);
    EXPECT_EQ(entries.front(), "fade-in");
    EXPECT_EQ(entries.back(), "end screen");
    EXPECT_EQ(mg::check_sections(entries, mg::music_section_names()), "");
}

TEST(MusicLength, TheTimelineAndTheEndScreensTail) {
    // 162 s of timed entries (the last one ends at 162000 ms), then the tail.
    EXPECT_EQ(mg::END_TAIL_MS, 7000);
    EXPECT_EQ(mg::track_frames(), 169LL * 44100);
}

// Two renders in one process: a seed drawn from the clock, the address space or a random device,
// or state left over from the first render, would make them differ.
TEST(MusicRender, TheSameSamplesEveryTimeAndTheFullLength) {
    const std::vector<int16_t> first = mg::render_track();
    ASSERT_EQ(first.size(), size_t(2 * mg::track_frames()));
    const std::vector<int16_t> second = mg::render_track();
    EXPECT_EQ(mg::pcm_fingerprint(first), mg::pcm_fingerprint(second));
    EXPECT_TRUE(first == second);

    // The fingerprint sees a one-sample change.
    std::vector<int16_t> changed = first;
    changed[changed.size() / 2] ^= 1;
    EXPECT_NE(mg::pcm_fingerprint(changed), mg::pcm_fingerprint(first));
}
