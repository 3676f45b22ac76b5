#pragma once
// Where a capture's frames go, all or nothing: a directory of PNG frames or a video through
// ffmpeg. A sink first claims its output (so that an unwritable place is found before any work),
// then takes the frames of the range one by one, and finally commits. Until it has committed,
// everything it wrote can be taken back with discard(); SinkGuard does that on every way out of a
// capture but success.

#include <cstdint>
#include <memory>
#include <string>

#include "writers.h"  // VideoEncoding

class FrameSink {
public:
    virtual ~FrameSink() = default;

    // "png", "mp4" or "mkv", for the progress bar.
    virtual const char* label() const = 0;
    // Makes sure the output can be written, before the demo starts. False with a one-line `error`.
    virtual bool claim(std::string& error) = 0;
    // The range is known: frames first..end-1 of the timeline at the sink's frame rate follow.
    virtual bool begin(long long first, long long end, std::string& error) = 0;
    // Where the next frame's RGB bytes go (width × height × 3, rows top to bottom).
    virtual std::uint8_t* buffer() = 0;
    // Takes the frame just put into buffer() as frame number `index` of the output (0 for the
    // first of the range). False with `error` once the output cannot take more.
    virtual bool write(long long index, std::string& error) = 0;
    // Completes the output under its final name. False with `error` when that failed; what was
    // written is then still there for discard() to remove.
    virtual bool commit(std::string& error) = 0;
    // Removes everything written so far, and a directory claim() made. Leaves what was there
    // before alone.
    virtual void discard() = 0;
};

// PNG frames frame-000000.png, ... in `dir`, made when missing. A directory that already holds
// frames is refused: new frames are never mixed with those of an earlier capture.
std::unique_ptr<FrameSink> make_png_sink(const std::string& dir, int w, int h);

// A video at `path` (an MP4, or a Matroska master when `encoding` is lossless), encoded by the
// ffmpeg at `ffmpeg` at `fps` frames a second, with the slice of the sound track `track` that the
// range covers.
std::unique_ptr<FrameSink> make_video_sink(const std::string& path, const std::string& ffmpeg,
                                           int w, int h, int fps, const VideoEncoding& encoding,
                                           const std::string& track);

// The chapters of a video of frames first..end-1 at `fps`: one per timeline entry that the
// frames show, named after it, from its first frame to the next entry's (in frames of the video),
// as ffmpeg's metadata file.
std::string scene_chapters(long long first, long long end, int fps);

// Discards the sink's output when it goes, unless commit() went through it and succeeded.
class SinkGuard {
public:
    explicit SinkGuard(FrameSink& sink) : sink_(sink) {}
    ~SinkGuard() {
        if (!committed_) sink_.discard();
    }
    SinkGuard(const SinkGuard&) = delete;
    SinkGuard& operator=(const SinkGuard&) = delete;

    bool commit(std::string& error) { return committed_ = sink_.commit(error); }

private:
    FrameSink& sink_;
    bool committed_ = false;
};
