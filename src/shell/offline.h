#pragma once
// The demo run offline: the real start-up and the real passes, on a virtual clock that moves only
// when told to, with the music's mixed chunks handed to capture_callback at the moments the mixer
// would have delivered them. Nothing reads the wall clock, so every run gives the same pictures.
// Used by the capture tool and by the golden-frame tests.

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gfx/clock.h"
#include "shell/demo.h"

// A tick count that stands still until set. The timeline's zero point is read at tick 0, so
// during a pass the scenes read the pass's elapsed milliseconds as their tick count.
class VirtualClock final : public Clock {
public:
    Uint32 ticks() override { return now; }
    Uint32 now = 0;  // ms
};

// The screen and the audio device are the demo's own (shell/demo.h).
constexpr int OFFLINE_SCREEN_W = SCREEN_W;  // px
constexpr int OFFLINE_SCREEN_H = SCREEN_H;  // px
constexpr std::size_t OFFLINE_RGB_BYTES = std::size_t(OFFLINE_SCREEN_W) * OFFLINE_SCREEN_H * 3;

// The audio device as the demo opens it: 44100 Hz, 16-bit stereo, chunks of 4096 sample frames
// (16384 bytes, 92.88 ms each).
constexpr int OFFLINE_AUDIO_RATE = AUDIO_RATE;
constexpr int OFFLINE_CHUNK_FRAMES = AUDIO_CHUNK_FRAMES;
constexpr int OFFLINE_CHUNK_BYTES = AUDIO_CHUNK_BYTES;

// The elapsed milliseconds of frame n at `fps` frames per second: n × 1000 / fps, truncated.
int frame_ms(long long n, int fps);

// The number of the music's chunks mixed by `elapsed_ms` after the zero point, as live
// (shell/audio_latency.h): chunk i is mixed at (i + 1) × 4096 / 44100 s, so chunk 0 at 92.88 ms.
// 0 before then (and for negative times).
long long chunks_due(int elapsed_ms);

// FNV-1a, 64 bits, over `n` bytes: the checksum of a frame's RGB bytes.
std::uint64_t fnv1a64(const std::uint8_t* bytes, std::size_t n);

class OfflineRun {
public:
    OfflineRun();
    // Shuts the demo down when it was started.
    ~OfflineRun();
    OfflineRun(const OfflineRun&) = delete;
    OfflineRun& operator=(const OfflineRun&) = delete;

    // Puts SDL on its dummy video and audio drivers unless the environment already names drivers,
    // runs the demo's own start-up from the working directory (which must hold Media/), then
    // replaces the live sound with the offline feed: the post-mix hook is unhooked, the music
    // halted, the capture buffer cleared, and Media/s.ogg decoded whole into the device's format.
    // False when anything failed; error() then says what, in one line.
    bool start_up();

    // One pass of the demo's loop at `elapsed_ms` after the zero point: the clock is set, every
    // chunk due by then goes through capture_callback in order, then Demo::pass runs. Times must
    // not go backwards. False (with error() set) when the loop is over, which only a stop event
    // from a real display can cause.
    bool pass_at(int elapsed_ms);

    // The screen as RGB bytes, 3 per pixel, rows top to bottom: OFFLINE_RGB_BYTES bytes.
    void read_rgb(std::uint8_t* rgb) const;

    // Plays every frame at `fps` from frame 0 (several scenes build on the passes before) until
    // each of the `count` ascending moments has been reached, and hands `at_moment` the index of
    // the moment, the elapsed ms of the first frame at or after it (the moment itself when it lies
    // on the frame grid) and that frame's RGB bytes. `after_pass`, when set, is told the number of
    // passes run so far after every pass. False, with error() set, when the run could not go on.
    using MomentSink = std::function<void(int index, int ms, const std::uint8_t* rgb)>;
    bool walk_to_moments(const int* moments_ms, int count, int fps, const MomentSink& at_moment,
                         const std::function<void(long long passes)>& after_pass = {});

    // Length of the decoded track in ms (rounded up); 0 before start-up.
    int track_ms() const;

    // Frees the decoded track and shuts the demo down (SDL_Quit). Called by the destructor too.
    void shut_down();

    Demo& demo() { return demo_; }
    const std::string& error() const { return error_; }

private:
    void feed_chunk(long long i);

    VirtualClock clock_;
    Demo demo_;
    Mix_Chunk* track_ = nullptr;      // Media/s.ogg, 44100 Hz S16 stereo
    long long chunks_fed_ = 0;        // chunks already handed to capture_callback
    std::vector<Uint8> tail_;         // 16384 bytes: the last, partial chunk and the silence after
    bool started_ = false;
    std::string error_;
};
