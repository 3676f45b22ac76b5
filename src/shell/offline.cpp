#include "shell/offline.h"

#include <cstdlib>
#include <cstring>

#include "audio/capture.h"

int frame_ms(long long n, int fps) {
    if (fps <= 0 || n <= 0) return 0;
    return static_cast<int>(n * 1000 / fps);
}

long long chunks_due(int elapsed_ms) {
    if (elapsed_ms < 0) return 0;
    // As live, chunk i is mixed i + MUSIC_FIRST_CHUNK_AFTER_ZERO chunk lengths after the zero
    // point: chunk lengths passed by `elapsed_ms` are elapsed × 44100 / (4096 × 1000), rounded down.
    const long long lengths = static_cast<long long>(elapsed_ms) * OFFLINE_AUDIO_RATE /
                              (static_cast<long long>(OFFLINE_CHUNK_FRAMES) * 1000);
    const long long due = lengths - MUSIC_FIRST_CHUNK_AFTER_ZERO + 1;
    return due < 0 ? 0 : due;
}

std::uint64_t fnv1a64(const std::uint8_t* bytes, std::size_t n) {
    std::uint64_t hash = 14695981039346656037ull;
    for (std::size_t i = 0; i < n; ++i) {
        hash ^= bytes[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

OfflineRun::OfflineRun() : demo_(clock_), tail_(OFFLINE_CHUNK_BYTES) {}

OfflineRun::~OfflineRun() { shut_down(); }

bool OfflineRun::start_up() {
    // Headless unless the caller chose drivers (a real display then shows the passes as they go).
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);

    started_ = true;
    clock_.now = 0;
    demo_.report_stop = false;  // the reason goes into error() instead
    demo_.wait_for_mixer = nullptr;  // the music's chunks are fed on the virtual clock below
    const StartUp result = demo_.start_up();
    if (result == StartUp::failed) {
        error_ = std::string("SDL could not open the display: ") + SDL_GetError();
        return false;
    }
    if (result == StartUp::stop_before_first_pass) {
        error_ = demo_.stop_reason;
        return false;
    }
    if (!demo_.screen || demo_.screen->w != OFFLINE_SCREEN_W ||
        demo_.screen->h != OFFLINE_SCREEN_H || demo_.screen->format->BytesPerPixel != 4) {
        error_ = "the display is not 640 x 480 x 32";
        return false;
    }

    // From here on only the offline feed reaches the capture buffer. The hook is swapped under
    // the audio lock, so no live call is under way once this returns.
    Mix_SetPostMix(nullptr, nullptr);
    Mix_HaltMusic();
    reset_capture_buffer();
    chunks_fed_ = 0;

    int frequency = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&frequency, &format, &channels);
    if (frequency != OFFLINE_AUDIO_RATE || format != AUDIO_FORMAT || channels != AUDIO_CHANNELS) {
        error_ = "the audio device did not open as 44100 Hz 16-bit stereo";
        return false;
    }
    // Decoded by the mixer's own Ogg decoder, converted to the device's format: the bytes that
    // the post-mix hook sees while the music plays at full volume.
    track_ = Mix_LoadWAV(TRACK_FILE);
    if (!track_) {
        error_ = std::string("cannot decode Media/s.ogg: ") + Mix_GetError();
        return false;
    }
    return true;
}

void OfflineRun::feed_chunk(long long i) {
    const long long offset = i * OFFLINE_CHUNK_BYTES;
    const long long length = track_ ? track_->alen : 0;
    if (offset + OFFLINE_CHUNK_BYTES <= length) {
        capture_callback(nullptr, track_->abuf + offset, OFFLINE_CHUNK_BYTES);
        return;
    }
    // The last chunk ends in silence, and after the track the mixer goes on delivering silence.
    std::memset(tail_.data(), 0, tail_.size());
    if (offset < length)
        std::memcpy(tail_.data(), track_->abuf + offset, static_cast<std::size_t>(length - offset));
    capture_callback(nullptr, tail_.data(), OFFLINE_CHUNK_BYTES);
}

bool OfflineRun::pass_at(int elapsed_ms) {
    if (!track_) {
        if (error_.empty()) error_ = "the demo was not started";
        return false;
    }
    if (static_cast<Uint32>(elapsed_ms) < clock_.now || elapsed_ms < 0) {
        error_ = "the virtual clock cannot go backwards";
        return false;
    }
    clock_.now = static_cast<Uint32>(elapsed_ms);

    const long long due = chunks_due(elapsed_ms);
    // Only the last two calls decide what the two slots hold, and an even number of calls leaves
    // the current slot where it was: a long jump of the clock skips the rest two by two.
    if (due - chunks_fed_ > 2) chunks_fed_ += (due - chunks_fed_ - 2) / 2 * 2;
    while (chunks_fed_ < due) feed_chunk(chunks_fed_++);

    if (!demo_.pass()) {
        error_ = "the demo's loop ended (a stop event)";
        return false;
    }
    return true;
}

void OfflineRun::read_rgb(std::uint8_t* rgb) const {
    const SDL_Surface* screen = demo_.screen;
    if (!screen) {
        std::memset(rgb, 0, OFFLINE_RGB_BYTES);
        return;
    }
    const SDL_PixelFormat* f = screen->format;
    for (int y = 0; y < OFFLINE_SCREEN_H; ++y) {
        const Uint32* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(screen->pixels) +
                                                            static_cast<std::size_t>(y) * screen->pitch);
        std::uint8_t* out = rgb + static_cast<std::size_t>(y) * OFFLINE_SCREEN_W * 3;
        for (int x = 0; x < OFFLINE_SCREEN_W; ++x) {
            const Uint32 p = row[x];
            out[3 * x + 0] = static_cast<std::uint8_t>(((p & f->Rmask) >> f->Rshift) << f->Rloss);
            out[3 * x + 1] = static_cast<std::uint8_t>(((p & f->Gmask) >> f->Gshift) << f->Gloss);
            out[3 * x + 2] = static_cast<std::uint8_t>(((p & f->Bmask) >> f->Bshift) << f->Bloss);
        }
    }
}

bool OfflineRun::walk_to_moments(const int* moments_ms, int count, int fps,
                                 const MomentSink& at_moment,
                                 const std::function<void(long long passes)>& after_pass) {
    std::vector<std::uint8_t> rgb(OFFLINE_RGB_BYTES);
    int next = 0;
    for (long long n = 0; next < count; ++n) {
        const int ms = frame_ms(n, fps);
        if (!pass_at(ms)) return false;
        if (after_pass) after_pass(n + 1);
        for (bool read = false; next < count && ms >= moments_ms[next]; ++next) {
            if (!read) read_rgb(rgb.data());
            read = true;
            at_moment(next, ms, rgb.data());
        }
    }
    return true;
}

int OfflineRun::track_ms() const {
    if (!track_) return 0;
    const long long frames = track_->alen / 4;
    return static_cast<int>((frames * 1000 + OFFLINE_AUDIO_RATE - 1) / OFFLINE_AUDIO_RATE);
}

void OfflineRun::shut_down() {
    if (track_) {
        Mix_FreeChunk(track_);
        track_ = nullptr;
    }
    if (started_) {
        demo_.shut_down();
        started_ = false;
    }
}
