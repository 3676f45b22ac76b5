#include "audio/capture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "support/headless.h"

namespace {
// A mixed chunk of `len` bytes whose sample i is `first + i`.
std::vector<Sint16> chunk(int len, Sint16 first) {
    std::vector<Sint16> samples((len + 1) / 2);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<Sint16>(first + i);
    return samples;
}

void deliver(std::vector<Sint16>& samples, int len) {
    capture_callback(nullptr, reinterpret_cast<Uint8*>(samples.data()), len);
}
}  // namespace

class Capture : public ::testing::Test {
protected:
    HeadlessScreen screen;
    void SetUp() override { reset_capture_buffer(); }
};

TEST_F(Capture, FullChunksFillTheSlotsInTurnFromSlotOne) {
    auto first = chunk(16384, 100);
    deliver(first, 16384);
    EXPECT_EQ(capture_buffer.current_slot.load(), 1);
    const Sint16* slot = capture_buffer.acquire_slot();
    EXPECT_EQ(slot, capture_buffer.slots[1]);
    EXPECT_EQ(slot[0], 100);
    EXPECT_EQ(slot[1279], 100 + 1279);
    EXPECT_EQ(slot[1280], 0);  // 2560 bytes: one stereo frame per screen column, no more
    EXPECT_EQ(capture_buffer.slots[0][0], 0);

    auto second = chunk(16384, -500);
    deliver(second, 16384);
    EXPECT_EQ(capture_buffer.current_slot.load(), 0);
    EXPECT_EQ(capture_buffer.slots[0][0], -500);
    EXPECT_EQ(capture_buffer.slots[1][0], 100);  // the older slot keeps its chunk

    deliver(first, 16384);
    EXPECT_EQ(capture_buffer.current_slot.load(), 1);
}

TEST_F(Capture, AShortChunkLeavesTheRestOfItsSlotAlone) {
    auto old_chunk = chunk(16384, 7);
    deliver(old_chunk, 16384);  // slot 1
    deliver(old_chunk, 16384);  // slot 0
    auto short_chunk = chunk(1000, -1);
    deliver(short_chunk, 1000);  // slot 1 again: 500 samples
    EXPECT_EQ(capture_buffer.slots[1][499], -1 + 499);
    EXPECT_EQ(capture_buffer.slots[1][500], 7 + 500);
}

TEST_F(Capture, TheBoundIsScreenWidthTimesFourBytes) {
    auto samples = chunk(4000, 1);
    deliver(samples, 2560);
    EXPECT_EQ(capture_buffer.slots[1][1279], 1280);
    deliver(samples, 2561);  // into slot 0: the odd byte past the bound is dropped
    EXPECT_EQ(capture_buffer.slots[0][1279], 1280);
    EXPECT_EQ(capture_buffer.slots[0][1280], 0);
}

TEST_F(Capture, NothingArrivesWithoutData) {
    std::vector<Sint16> none;
    deliver(none, 0);
    capture_callback(nullptr, nullptr, 100);
    EXPECT_EQ(capture_buffer.current_slot.load(), 0);
}

TEST(CaptureOnAWideScreen, NeverWritesPastTheSlot) {
    SDL_Init(SDL_INIT_VIDEO);
    ASSERT_NE(SDL_SetVideoMode(3000, 8, 32, SDL_SWSURFACE), nullptr);
    reset_capture_buffer();
    std::vector<Sint16> samples(8192, 3);  // 16384 bytes, more than the 12000-byte bound
    capture_callback(nullptr, reinterpret_cast<Uint8*>(samples.data()), 16384);
    EXPECT_EQ(capture_buffer.slots[1][CAPTURE_SLOT_SAMPLES - 1], 3);
    EXPECT_EQ(capture_buffer.slots[0][0], 0);
    SDL_Quit();
}

TEST_F(Capture, AReaderCopiesAtMostOneSlot) {
    std::vector<Sint16> a = chunk(16384, 100);
    deliver(a, 16384);  // 2560 bytes of it into slot 1, the last of the two, now current
    std::vector<Sint16> out(5000, 0x7777);
    capture_buffer.copy_current_slot(out.data(), 5000);
    EXPECT_EQ(out[0], 100);
    EXPECT_EQ(out[1279], 100 + 1279);
    EXPECT_EQ(out[CAPTURE_SLOT_SAMPLES - 1], 0);  // the slot's untouched end, still silence
    for (size_t i = CAPTURE_SLOT_SAMPLES; i < out.size(); ++i) ASSERT_EQ(out[i], 0x7777) << i;
    capture_buffer.copy_current_slot(out.data(), 0);
    capture_buffer.copy_current_slot(out.data(), -1);
    EXPECT_EQ(out[0], 100);  // nothing copied for no samples
}

namespace {
// Chunks delivered from inside a reader's copy: the hook hands over `chunks_per_copy` chunks
// after each copy, each one a run of samples starting 1000 above the last.
int chunks_per_copy = 0;
int copies_seen = 0;
Sint16 next_first = 0;
void deliver_during_copy() {
    ++copies_seen;
    for (int i = 0; i < chunks_per_copy; ++i) {
        next_first = static_cast<Sint16>(next_first + 1000);
        std::vector<Sint16> c = chunk(2560, next_first);
        deliver(c, 2560);
    }
}

class Overtaking : public Capture {
protected:
    void SetUp() override {
        Capture::SetUp();
        next_first = 1000;
        std::vector<Sint16> first = chunk(2560, next_first);
        deliver(first, 2560);  // chunk 1, published in slot 1: what the reader starts on
        copies_seen = 0;
        capture_buffer.after_copy = deliver_during_copy;
    }
    void TearDown() override { capture_buffer.after_copy = nullptr; }
    std::vector<Sint16> out = std::vector<Sint16>(1280, 0);
};
}  // namespace

TEST_F(Overtaking, OneNewChunkFillsTheOtherSlotAndTheCopyStands) {
    chunks_per_copy = 1;
    capture_buffer.copy_current_slot(out.data(), 1280);
    EXPECT_EQ(copies_seen, 1);
    EXPECT_EQ(out[0], 1000);  // still the chunk it started on: nothing rewrote that slot
    EXPECT_EQ(out[1279], 1000 + 1279);
}

TEST_F(Overtaking, TwoNewChunksRewroteTheSlotSoItIsCopiedAgain) {
    chunks_per_copy = 2;
    capture_buffer.after_copy = [] {
        deliver_during_copy();
        chunks_per_copy = 0;  // only during the first copy
    };
    capture_buffer.copy_current_slot(out.data(), 1280);
    EXPECT_EQ(copies_seen, 2);
    EXPECT_EQ(out[0], 3000);  // the newest chunk, copied whole
    EXPECT_EQ(out[1279], 3000 + 1279);
}

TEST_F(Overtaking, AReaderOvertakenOnEveryCopyGivesUpAfterThree) {
    chunks_per_copy = 2;
    capture_buffer.copy_current_slot(out.data(), 1280);
    EXPECT_EQ(copies_seen, 3);
    EXPECT_EQ(out[0], 5000);  // what the third copy read: chunk 5, published by the second round
}

// Start-up's wait for the mixer: it ends with the first chunk delivered after it began, on the
// audio thread, and gives up after its time-out when none comes.
TEST_F(Capture, TheWaitForTheNextChunkEndsWhenTheHookIsCalled) {
    auto samples = chunk(16384, 1);
    deliver(samples, 16384);  // delivered before the wait: does not end it
    // Read before the audio thread starts its 30 ms: a busy machine may run that thread for a
    // while before this one goes on to wait.
    const auto began = std::chrono::steady_clock::now();
    std::thread audio([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        deliver(samples, 16384);
    });
    EXPECT_TRUE(wait_for_next_chunk(capture_buffer, 10000));
    EXPECT_GE(std::chrono::steady_clock::now() - began, std::chrono::milliseconds(30));
    EXPECT_EQ(capture_buffer.chunks_captured.load(), 2u);
    audio.join();
}

TEST_F(Capture, TheWaitForTheNextChunkGivesUpAfterItsTimeOut) {
    auto samples = chunk(16384, 1);
    deliver(samples, 16384);
    const auto began = std::chrono::steady_clock::now();
    EXPECT_FALSE(wait_for_next_chunk(capture_buffer, 25));
    EXPECT_GE(std::chrono::steady_clock::now() - began, std::chrono::milliseconds(25));
    EXPECT_FALSE(wait_for_next_chunk(capture_buffer, 0));
}

TEST(SampleScale, MapsFullScaleSixteenBitSamplesToAQuarterOfTheScreen) {
    const float scale = compute_sample_scale(480, 16);
    EXPECT_EQ(scale, 0.003662109375f);
    EXPECT_EQ(static_cast<int>(-32768 * scale), -120);
    EXPECT_EQ(static_cast<int>(32767 * scale), 119);
    EXPECT_NEAR(32767 * scale, 119.996, 0.001);
    EXPECT_EQ(compute_sample_scale(480, 8), 240.0f / 256);
    // No device: no format, no bits. Out-of-range bit counts never shift out of range.
    EXPECT_EQ(compute_sample_scale(480, 0), 240.0f);
    EXPECT_EQ(compute_sample_scale(480, 255), 0.0f);
    EXPECT_EQ(compute_sample_scale(480, -1), 0.0f);
}
