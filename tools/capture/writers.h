#pragma once
// Where captured frames go: PNG files (encoded on worker threads) or ffmpeg's standard input.
// Nothing half written ever stands under a final name: every file is written under a temporary
// name in the same directory and renamed once complete.

#include <sys/types.h>

#include <condition_variable>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "output_file.h"

// Enlarges a w × h RGB picture `scale` times in both directions, nearest neighbour, into `dst`
// ((w × scale) × (h × scale) × 3 bytes).
void scale_rgb(const std::uint8_t* src, int w, int h, int scale, std::uint8_t* dst);

// The same, centred in a frame_w × frame_h RGB frame at `dst` (at least (w × scale) ×
// (h × scale)), the rest of it black: half the spare columns left of the picture and half the
// spare rows above it, rounded down.
void place_rgb(const std::uint8_t* src, int w, int h, int scale, std::uint8_t* dst, int frame_w,
               int frame_h);

// Writes an RGB picture as a PNG: under a temporary name next to `path`, renamed on success.
bool write_png_file(const std::string& path, const std::uint8_t* rgb, int w, int h,
                    std::string& error);

// The name of frame number `index` in a directory of PNG frames: "frame-000042.png".
std::string frame_file_name(long long index);

// True when `name` is such a name (frame-, at least six digits, .png).
bool is_frame_file_name(const std::string& name);

// Writes frame-NNNNNN.png files into a directory, encoding on worker threads while the caller
// renders the next frames.
class PngFrameWriter {
public:
    PngFrameWriter() = default;
    ~PngFrameWriter();
    PngFrameWriter(const PngFrameWriter&) = delete;
    PngFrameWriter& operator=(const PngFrameWriter&) = delete;

    // Makes the directory if missing and checks that files can be written in it.
    bool open(const std::string& dir, int w, int h, std::string& error);
    // A buffer of w × h × 3 bytes to fill with the next frame; waits while every buffer is busy.
    std::uint8_t* next_buffer();
    // Queues the buffer last returned by next_buffer as frame number `index`. False once a write
    // has failed (error() then says why).
    bool submit(long long index);
    // Waits for every queued frame. False when any write failed.
    bool finish();
    // Waits for every queued frame, then removes every frame file this writer was given.
    void discard();
    std::string error();

private:
    void work();

    std::string dir_;
    int w_ = 0, h_ = 0;
    std::vector<std::vector<std::uint8_t>> buffers_;
    std::vector<int> free_;                        // indexes into buffers_
    std::deque<std::pair<int, long long>> queue_;  // buffer, frame number
    int filling_ = -1;
    long long highest_ = -1;  // the highest frame number submitted
    int busy_ = 0;            // frames being encoded
    bool closing_ = false;
    std::string error_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::thread> workers_;
};

// How FfmpegWriter encodes.
struct VideoEncoding {
    // A lossless master, FFV1 and FLAC in Matroska; otherwise H.264 (High profile) and AAC at
    // 192 kbit/s in MP4.
    bool lossless = false;
    int crf = 18;  // H.264's constant rate factor, 0 (lossless) to 51
    // Chapters as ffmpeg's metadata file (";FFMETADATA1", [CHAPTER] sections); empty: none.
    std::string chapters;
};

// Pipes raw RGB frames into ffmpeg, which encodes them with a slice of the sound track into a
// video (VideoEncoding) under a temporary name; renamed on success. What ffmpeg says on its
// standard error is kept: when it fails, its earlier lines are passed on to standard error and its
// last one ends the error message, so the reason (a full disk, say) is the last thing the user
// reads.
class FfmpegWriter {
public:
    // A flag that a signal handler sets: while any writer waits for ffmpeg to finish, a set flag
    // stops ffmpeg at once instead (finish() then fails).
    static void stop_when_set(const volatile std::sig_atomic_t* flag);

    FfmpegWriter() = default;
    ~FfmpegWriter();
    FfmpegWriter(const FfmpegWriter&) = delete;
    FfmpegWriter& operator=(const FfmpegWriter&) = delete;

    // `temp` must exist already (TempFile::create); ffmpeg overwrites it. The sound is
    // `track` from `audio_from_s` for `duration_s` seconds; a negative start puts that much
    // silence before the track's first sample. The chapters go through a file next to `temp`,
    // removed once ffmpeg is done.
    bool open(const std::string& ffmpeg, const std::string& temp, int w, int h, int fps,
              const VideoEncoding& encoding, const std::string& track, double audio_from_s,
              double duration_s, std::string& error);
    // False when ffmpeg no longer reads: it is then waited for, and `error` says why it stopped.
    bool write(const std::uint8_t* rgb, std::size_t n, std::string& error);
    // Closes ffmpeg's input and waits for it. False when ffmpeg failed.
    bool finish(std::string& error);
    // Stops ffmpeg without waiting for a complete file.
    void abort();

private:
    // Closes the frames' pipe, waits for ffmpeg and for the end of its messages. The wait status.
    int reap();
    // Why ffmpeg ended with wait status `status`, with its last message; earlier ones go to
    // standard error.
    std::string failure(int status);

    int fd_ = -1;
    pid_t pid_ = -1;
    std::string chapters_path_;  // the chapters' file while ffmpeg may read it
    std::thread reader_;         // collects ffmpeg's standard error into log_ until it closes
    std::string log_;
};
