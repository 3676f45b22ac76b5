#include "shell/offline.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "audio/capture.h"
#include "shell/schedule.h"
#include "support/headless.h"
#include "support/output_capture.h"

namespace {

// The first 2560 bytes of chunk i of the decoded track (zeros past its end): what a slot holds
// after capture_callback saw that chunk.
std::vector<Uint8> chunk_start(const Mix_Chunk* track, long long i) {
    std::vector<Uint8> bytes(2560, 0);
    const long long offset = i * OFFLINE_CHUNK_BYTES;
    for (long long k = 0; k < 2560; ++k)
        if (offset + k < track->alen) bytes[static_cast<size_t>(k)] = track->abuf[offset + k];
    return bytes;
}

bool slot_holds(int slot, const std::vector<Uint8>& bytes) {
    return std::memcmp(capture_buffer.slots[slot], bytes.data(), bytes.size()) == 0;
}

class Offline : public ::testing::Test {
protected:
    MediaDir media;
    void SetUp() override { media.write_all(); }
};

}  // namespace

TEST(OfflineTiming, FramesFallOnTruncatedMillisecondsAndChunksEvery4096Frames) {
    EXPECT_EQ(frame_ms(0, 60), 0);
    EXPECT_EQ(frame_ms(1, 60), 16);
    EXPECT_EQ(frame_ms(2, 60), 33);
    EXPECT_EQ(frame_ms(3, 60), 50);
    EXPECT_EQ(frame_ms(60, 60), 1000);
    EXPECT_EQ(frame_ms(9720, 60), 162000);
    EXPECT_EQ(frame_ms(7, 10), 700);
    EXPECT_EQ(frame_ms(-3, 60), 0);

    // Chunk i is mixed at (i + 1) × 92.879... ms, as live: chunk 0 from 93 ms on, chunk 1 from
    // 186 ms on.
    EXPECT_EQ(chunks_due(-1), 0);
    EXPECT_EQ(chunks_due(0), 0);
    EXPECT_EQ(chunks_due(92), 0);
    EXPECT_EQ(chunks_due(93), 1);
    EXPECT_EQ(chunks_due(185), 1);
    EXPECT_EQ(chunks_due(186), 2);
    EXPECT_EQ(chunks_due(1000), 10);             // 10.77 chunk lengths
    EXPECT_EQ(chunks_due(162000), 1744);         // 1744.2 chunk lengths
    EXPECT_EQ(chunks_due(2147483647), 23121100); // no overflow at the far end
}

TEST(OfflineChecksum, IsFnv1a64) {
    EXPECT_EQ(fnv1a64(nullptr, 0), 0xcbf29ce484222325ull);
    const std::uint8_t a = 'a';
    EXPECT_EQ(fnv1a64(&a, 1), 0xaf63dc4c8601ec8cull);
    const std::uint8_t foobar[] = {'f', 'o', 'o', 'b', 'a', 'r'};
    EXPECT_EQ(fnv1a64(foobar, 6), 0x85944171f73967e8ull);
}

TEST_F(Offline, StartUpIsTheDemosWithTheClockAtZeroAndTheLiveFeedUnhooked) {
    OfflineRun run;
    ASSERT_TRUE(run.start_up()) << run.error();
    EXPECT_EQ(run.demo().start_ticks, 0u);
    EXPECT_EQ(run.demo().quit_requested, 0);
    EXPECT_FALSE(Mix_PlayingMusic());
    EXPECT_NEAR(run.track_ms(), 1000, 100);  // the fixture track: about a second
    // Nothing live reaches the buffer: it stays clear however long the device runs.
    SDL_Delay(250);
    EXPECT_EQ(capture_buffer.current_slot.load(), 0);
    EXPECT_TRUE(slot_holds(0, std::vector<Uint8>(8192, 0)));
    EXPECT_TRUE(slot_holds(1, std::vector<Uint8>(8192, 0)));
}

TEST_F(Offline, EachPassGetsTheChunksDueByItsTimeThroughTheCaptureHook) {
    OfflineRun run;
    ASSERT_TRUE(run.start_up()) << run.error();
    Mix_Chunk* track = Mix_LoadWAV("Media/s.ogg");
    ASSERT_NE(track, nullptr);
    ASSERT_GT(track->alen, 3 * OFFLINE_CHUNK_BYTES);

    ASSERT_TRUE(run.pass_at(0));  // the music's first chunk is not mixed yet
    EXPECT_EQ(run.demo().elapsed, 0);
    EXPECT_EQ(capture_buffer.current_slot.load(), 0);
    EXPECT_TRUE(slot_holds(0, std::vector<Uint8>(8192, 0)));
    EXPECT_TRUE(slot_holds(1, std::vector<Uint8>(8192, 0)));

    ASSERT_TRUE(run.pass_at(93));  // chunk 0: the first call fills slot 1
    EXPECT_EQ(capture_buffer.current_slot.load(), 1);
    EXPECT_TRUE(slot_holds(1, chunk_start(track, 0)));
    EXPECT_FALSE(slot_holds(1, chunk_start(track, 1)));  // the tone's chunks differ

    ASSERT_TRUE(run.pass_at(185));  // nothing new due
    EXPECT_EQ(capture_buffer.current_slot.load(), 1);
    ASSERT_TRUE(run.pass_at(186));  // chunk 1
    EXPECT_EQ(run.demo().elapsed, 186);
    EXPECT_EQ(run.demo().previous_elapsed, 185);
    EXPECT_EQ(capture_buffer.current_slot.load(), 0);
    EXPECT_TRUE(slot_holds(0, chunk_start(track, 1)));
    EXPECT_TRUE(slot_holds(1, chunk_start(track, 0)));

    ASSERT_TRUE(run.pass_at(500));  // chunks 2, 3 and 4 in one go: the fifth call, slot 1
    EXPECT_EQ(capture_buffer.current_slot.load(), 1);
    EXPECT_TRUE(slot_holds(1, chunk_start(track, 4)));
    EXPECT_TRUE(slot_holds(0, chunk_start(track, 3)));

    // The track (about a second) ends inside chunk 10; after it the mixer delivers silence.
    ASSERT_LT(track->alen, 11 * OFFLINE_CHUNK_BYTES);
    ASSERT_TRUE(run.pass_at(1100));  // chunks up to 10: the eleventh call, slot 1
    EXPECT_TRUE(slot_holds(1, chunk_start(track, 10)));
    ASSERT_TRUE(run.pass_at(1200));  // chunk 11: silence, slot 0
    EXPECT_EQ(capture_buffer.current_slot.load(), 0);
    EXPECT_TRUE(slot_holds(0, std::vector<Uint8>(2560, 0)));
    Mix_FreeChunk(track);
}

TEST_F(Offline, AJumpOfTheClockLeavesTheSlotsAsEveryChunkWould) {
    media.write_track("s.ogg", 12.0);
    OfflineRun run;
    ASSERT_TRUE(run.start_up()) << run.error();
    Mix_Chunk* track = Mix_LoadWAV("Media/s.ogg");
    ASSERT_NE(track, nullptr);
    ASSERT_TRUE(run.pass_at(93));     // chunk 0
    ASSERT_TRUE(run.pass_at(10100));  // chunks 1 to 107: 108 calls in all, the last in slot 0
    EXPECT_EQ(chunks_due(10100), 108);
    EXPECT_EQ(capture_buffer.current_slot.load(), 0);
    EXPECT_TRUE(slot_holds(0, chunk_start(track, 107)));
    EXPECT_TRUE(slot_holds(1, chunk_start(track, 106)));
    EXPECT_FALSE(slot_holds(0, chunk_start(track, 106)));
    EXPECT_EQ(run.demo().elapsed, 10100);
    EXPECT_STREQ(schedule[schedule_entry(run.demo().elapsed)].name, "falling logos");

    ASSERT_TRUE(run.pass_at(10200));  // one more: slot 1
    EXPECT_EQ(capture_buffer.current_slot.load(), 1);
    EXPECT_TRUE(slot_holds(1, chunk_start(track, 108)));
    Mix_FreeChunk(track);
}

TEST_F(Offline, TheClockDoesNotGoBackwards) {
    OfflineRun run;
    ASSERT_TRUE(run.start_up()) << run.error();
    ASSERT_TRUE(run.pass_at(500));
    EXPECT_FALSE(run.pass_at(499));
    EXPECT_NE(run.error().find("backwards"), std::string::npos);
    EXPECT_FALSE(run.pass_at(-1));
    EXPECT_TRUE(run.pass_at(500));
}

TEST_F(Offline, ReadsTheScreenAsRgbRowsTopDown) {
    OfflineRun run;
    ASSERT_TRUE(run.start_up()) << run.error();
    SDL_Surface* screen = run.demo().screen;
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 1, 2, 3));
    SDL_Rect spot{639, 479, 1, 1};
    SDL_FillRect(screen, &spot, SDL_MapRGB(screen->format, 250, 128, 7));
    std::vector<std::uint8_t> rgb(OFFLINE_RGB_BYTES);
    run.read_rgb(rgb.data());
    EXPECT_EQ(rgb[0], 1);
    EXPECT_EQ(rgb[1], 2);
    EXPECT_EQ(rgb[2], 3);
    EXPECT_EQ(rgb[OFFLINE_RGB_BYTES - 3], 250);
    EXPECT_EQ(rgb[OFFLINE_RGB_BYTES - 2], 128);
    EXPECT_EQ(rgb[OFFLINE_RGB_BYTES - 1], 7);
}

TEST_F(Offline, TwoRunsGiveTheSameFrames) {
    auto checksums = [] {
        std::vector<std::uint64_t> sums;
        OfflineRun run;
        EXPECT_TRUE(run.start_up()) << run.error();
        std::vector<std::uint8_t> rgb(OFFLINE_RGB_BYTES);
        for (int n = 0; n < SCHEDULE_SIZE; ++n) {  // one second into every entry
            EXPECT_TRUE(run.pass_at(schedule_start_ms[n] + 1000));
            run.read_rgb(rgb.data());
            sums.push_back(fnv1a64(rgb.data(), rgb.size()));
        }
        return sums;
    };
    const std::vector<std::uint64_t> first = checksums();
    EXPECT_EQ(checksums(), first);
}

TEST_F(Offline, WithoutTheTrackStartUpFailsAndSaysWhy) {
    std::remove(media.path("s.ogg").c_str());
    capture_stderr();
    OfflineRun run;
    EXPECT_FALSE(run.start_up());
    captured_stderr();
    EXPECT_NE(run.error().find("Media/s.ogg"), std::string::npos) << run.error();
    EXPECT_FALSE(run.pass_at(0));
}

TEST_F(Offline, AnUndecodableTrackIsReported) {
    FILE* f = std::fopen(media.path("s.ogg").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("not a track", f);
    std::fclose(f);
    capture_stderr();
    OfflineRun run;
    EXPECT_FALSE(run.start_up());
    captured_stderr();
    EXPECT_NE(run.error().find("Media/s.ogg"), std::string::npos) << run.error();
}

// The walk to chosen moments: every frame is played from frame 0, each moment gets the first
// frame at or after it (two moments inside one frame get the same frame), and the walk stops at
// the frame of the last moment.
TEST_F(Offline, AWalkHandsEachMomentTheFirstFrameAtOrAfterIt) {
    OfflineRun run;
    ASSERT_TRUE(run.start_up()) << run.error();
    const int moments[] = {0, 150, 190, 200, 410};
    std::vector<std::pair<int, int>> seen;  // (moment index, frame ms)
    std::vector<std::uint8_t> own(OFFLINE_RGB_BYTES);
    long long passes = 0;
    ASSERT_TRUE(run.walk_to_moments(
        moments, 5, 10,
        [&](int i, int ms, const std::uint8_t* rgb) {
            seen.emplace_back(i, ms);
            run.read_rgb(own.data());  // the frame handed over is the screen of that pass
            EXPECT_EQ(std::memcmp(own.data(), rgb, OFFLINE_RGB_BYTES), 0) << i;
        },
        [&](long long n) { passes = n; }))
        << run.error();
    const std::vector<std::pair<int, int>> expected = {{0, 0}, {1, 200}, {2, 200}, {3, 200}, {4, 500}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(passes, 6);  // frames 0, 100, ..., 500
    EXPECT_EQ(run.demo().elapsed, 500);
}

// The track's length in whole milliseconds is rounded up: the last, partial millisecond of sound
// still gets its frame.
TEST_F(Offline, TheTrackLengthIsRoundedUpToTheMillisecond) {
    media.write_track("s.ogg", 1.2345);
    capture_stderr();
    OfflineRun run;
    ASSERT_TRUE(run.start_up());
    captured_stderr();
    // The same file decoded again, on the device the run opened: its length in sample frames.
    Mix_Chunk* copy = Mix_LoadWAV("Media/s.ogg");
    ASSERT_NE(copy, nullptr);
    const long long frames = copy->alen / 4;
    Mix_FreeChunk(copy);
    ASSERT_NE(frames * 1000 % OFFLINE_AUDIO_RATE, 0) << "a whole number of ms proves nothing";
    const long long ms = run.track_ms();
    EXPECT_GE(ms * OFFLINE_AUDIO_RATE, frames * 1000);
    EXPECT_LT((ms - 1) * OFFLINE_AUDIO_RATE, frames * 1000);
}
