#pragma once
// Where captured frames go: PNG files (encoded on worker threads) or ffmpeg's standard input.
// Nothing half written ever stands under a final name: every file is written under a temporary
// name in the same directory and renamed once complete.

#include <sys/types.h>

#include <condition_variable>
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

// Writes an RGB picture as a PNG: under a temporary name next to `path`, renamed on success.
bool write_png_file(const std::string& path, const std::uint8_t* rgb, int w, int h,
                    std::string& error);

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
    std::string error();

private:
    void work();

    std::string dir_;
    int w_ = 0, h_ = 0;
    std::vector<std::vector<std::uint8_t>> buffers_;
    std::vector<int> free_;                             // indexes into buffers_
    std::deque<std::pair<int, long long>> queue_;       // buffer, frame number
    int filling_ = -1;
    int busy_ = 0;                                      // frames being encoded
    bool closing_ = false;
    std::string error_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::thread> workers_;
};

// Pipes raw RGB frames into ffmpeg, which encodes them as H.264 with a slice of the sound track
// as AAC into an MP4 under a temporary name; renamed on success.
class FfmpegWriter {
public:
    FfmpegWriter() = default;
    ~FfmpegWriter();
    FfmpegWriter(const FfmpegWriter&) = delete;
    FfmpegWriter& operator=(const FfmpegWriter&) = delete;

    // `temp` must exist already (TempFile::create); ffmpeg overwrites it. The sound is
    // `track` from `audio_from_s` for `duration_s` seconds; a negative start puts that much
    // silence before the track's first sample.
    bool open(const std::string& ffmpeg, const std::string& temp, int w, int h, int fps,
              const std::string& track, double audio_from_s, double duration_s,
              std::string& error);
    bool write(const std::uint8_t* rgb, std::size_t n, std::string& error);
    // Closes ffmpeg's input and waits for it. False when ffmpeg failed.
    bool finish(std::string& error);
    // Stops ffmpeg without waiting for a complete file.
    void abort();

private:
    int fd_ = -1;
    pid_t pid_ = -1;
};
