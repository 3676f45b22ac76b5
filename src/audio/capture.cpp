#include "audio/capture.h"

#include <chrono>
#include <cstring>
#include <thread>

CaptureBuffer capture_buffer{};
int sample_bits = 0;
float sample_scale = 0.0f;

void capture_callback(void* /*user_data*/, Uint8* stream, int len) {
    const SDL_Surface* screen = SDL_GetVideoSurface();
    if (!stream || !screen || len <= 0) return;

    // One 4-byte stereo frame per screen column, and never more than a slot holds.
    int n = len;
    if (n > screen->w * 4) n = screen->w * 4;
    if (n > static_cast<int>(sizeof capture_buffer.slots[0])) n = sizeof capture_buffer.slots[0];

    // Only this thread writes current_slot, so a relaxed load of our own last store suffices.
    const Sint32 target = (capture_buffer.current_slot.load(std::memory_order_relaxed) + 1) % 2;
    capture_buffer.chunks_started.fetch_add(1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);  // the count is seen before any new byte
    std::memcpy(capture_buffer.slots[target], stream, static_cast<size_t>(n));
    capture_buffer.current_slot.store(target, std::memory_order_release);
    capture_buffer.chunks_captured.fetch_add(1, std::memory_order_release);
}

void CaptureBuffer::copy_current_slot(Sint16* out, int count) const {
    if (count <= 0) return;
    if (count > CAPTURE_SLOT_SAMPLES) count = CAPTURE_SLOT_SAMPLES;
    // A chunk needs tens of milliseconds to arrive: a retry is already rare, a third try
    // would need the reader stalled twice in a row, and then it takes what it has.
    for (int attempt = 0; attempt < 3; ++attempt) {
        // The current slot was published by chunk `published` or a later one, so it is safe
        // until chunk published + 2 begins.
        const Uint32 published = chunks_captured.load(std::memory_order_acquire);
        std::memcpy(out, acquire_slot(), static_cast<size_t>(count) * sizeof(Sint16));
        if (after_copy) after_copy();
        std::atomic_thread_fence(std::memory_order_acquire);
        if (chunks_started.load(std::memory_order_relaxed) - published < 2) return;
    }
}

float compute_sample_scale(int screen_height, int bits) {
    if (bits < 0 || bits > 62) return 0.0f;
    const long long levels = 1LL << bits;
    return static_cast<float>(screen_height * 0.5 / static_cast<double>(levels));
}

bool wait_for_next_chunk(const CaptureBuffer& buffer, int timeout_ms) {
    using std::chrono::steady_clock;
    const Uint32 before = buffer.chunks_captured.load(std::memory_order_acquire);
    const steady_clock::time_point give_up =
        steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (buffer.chunks_captured.load(std::memory_order_acquire) == before) {
        if (steady_clock::now() >= give_up) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return true;
}

void reset_capture_buffer() {
    std::memset(capture_buffer.slots, 0, sizeof capture_buffer.slots);
    capture_buffer.current_slot.store(0, std::memory_order_release);
    capture_buffer.chunks_started.store(0, std::memory_order_relaxed);
    capture_buffer.chunks_captured.store(0, std::memory_order_release);
}
