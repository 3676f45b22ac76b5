#pragma once
// Post-mix capture: SDL_mixer calls capture_callback on its audio thread with every mixed chunk,
// just before it is played. The callback copies the start of the chunk into whichever of two slots
// is not current and then publishes that slot; the drawing thread reads the published slot. No
// lock: the slot index is stored with release order after the copy and loaded with acquire order.

#include <SDL.h>

#include <atomic>
#include <cstdint>

constexpr int CAPTURE_SLOT_SAMPLES = 4096;  // signed 16-bit samples per slot (8192 bytes)

struct CaptureBuffer {
    // The start of the two most recent chunks, as the mixer delivered them: interleaved stereo,
    // even indexes left, odd indexes right.
    Sint16 slots[2][CAPTURE_SLOT_SAMPLES];
    // The slot filled most recently, 0 or 1.
    std::atomic<Sint32> current_slot;
    // Chunks whose copy has begun, and chunks published. A reader compares them to tell whether
    // the slot it copied may have been rewritten while it copied.
    std::atomic<Uint32> chunks_started;
    std::atomic<Uint32> chunks_captured;

    // The slot to read this pass: one acquire load of current_slot.
    const Sint16* acquire_slot() const {
        return slots[current_slot.load(std::memory_order_acquire) & 1];
    }

    // Copies the first `count` samples (at most a slot's) of the current slot to `out`, so that a
    // pass draws from one chunk even if the audio thread delivers more meanwhile. The slot being
    // read is rewritten only by the second chunk after the one that published it; should that
    // chunk have begun by the end of the copy (a reader stalled for a whole chunk), it is copied
    // again.
    void copy_current_slot(Sint16* out, int count) const;

    // Called after each copy of copy_current_slot and before it checks for an overtaking chunk,
    // when set: lets a test deliver chunks at exactly that moment, as the audio thread might.
    // Null in the program.
    void (*after_copy)() = nullptr;
};

// What an audio-driven scene reads: the buffer the post-mix hook fills and the scale from sample
// value to screen pixels. The scale is held by reference: start-up sets it only after the
// oscilloscope is built, once the device's sample size is known.
struct CaptureSource {
    const CaptureBuffer& buffer;
    const float& sample_scale;  // screen px per unit of sample value
};

// The program's one capture buffer; zero-filled at start, so readers see silence until the first
// chunk arrives.
extern CaptureBuffer capture_buffer;

// Bits per sample of the opened audio device: the low byte of the format Mix_QuerySpec reports.
extern int sample_bits;
// Screen pixels per unit of sample value: screen height × 0.5 / 2^sample_bits.
extern float sample_scale;

// The post-mix hook (Mix_SetPostMix). Copies min(len, screen width × 4, slot size) bytes of
// `stream` into the slot that is not current, then makes it current. Ignores `user_data`.
void capture_callback(void* user_data, Uint8* stream, int len);

// screen height × 0.5 / 2^bits in double precision, stored as float. Bits outside 0..62 (which
// no audio format has) give 0.
float compute_sample_scale(int screen_height, int bits);

// The program's own source: capture_buffer and sample_scale.
inline CaptureSource program_capture() { return {capture_buffer, sample_scale}; }

// Waits until `buffer` is handed a chunk that it had not been handed when called, checking every
// tenth of a millisecond: returns true just after the mixer has mixed a chunk. False if none came
// within `timeout_ms` (no audio thread runs, or the device stalls). Sleeps; reads no tick count.
bool wait_for_next_chunk(const CaptureBuffer& buffer, int timeout_ms);

// Clears both slots and makes slot 0 current (for tests and the offline capture).
void reset_capture_buffer();
