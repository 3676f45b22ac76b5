#include "frame_sink.h"

#include <sys/resource.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "output_file.h"
#include "shell/audio_latency.h"
#include "shell/schedule.h"
#include "writers.h"

namespace fs = std::filesystem;

namespace {

// Whether the MP4 at `path` is whole: its top-level boxes, each announcing its own size, end
// exactly at the end of the file, with the index (moov) and the media (mdat) among them. ffmpeg
// does not always notice a write that failed, and then leaves a cut-off file and reports success.
bool mp4_is_whole(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return false;
    const unsigned long long size = static_cast<unsigned long long>(in.tellg());
    unsigned long long at = 0;
    bool moov = false, mdat = false;
    while (at + 8 <= size) {
        unsigned char head[16];
        in.seekg(static_cast<std::streamoff>(at));
        if (!in.read(reinterpret_cast<char*>(head), 8)) return false;
        unsigned long long box = (0ull + head[0]) << 24 | head[1] << 16 | head[2] << 8 | head[3];
        if (box == 1) {  // a 64-bit size follows the type
            if (!in.read(reinterpret_cast<char*>(head + 8), 8)) return false;
            box = 0;
            for (int i = 8; i < 16; ++i) box = box << 8 | head[i];
        }
        if (box < 8 || at + box > size) return false;
        moov = moov || std::memcmp(head + 4, "moov", 4) == 0;
        mdat = mdat || std::memcmp(head + 4, "mdat", 4) == 0;
        at += box;
    }
    return at == size && moov && mdat;
}

// Whether the Matroska file at `path` is whole: its EBML header and one Segment whose size,
// written once ffmpeg has finished, reaches exactly to the end of the file.
bool matroska_is_whole(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return false;
    const unsigned long long size = static_cast<unsigned long long>(in.tellg());
    in.seekg(0);
    // An element ID (kept with its length marker) or a size (without it), as EBML's variable-length
    // integers; false at the end of the file or on a malformed one.
    const auto read_vint = [&](bool keep_marker, unsigned long long& value, int& length) {
        const int first = in.get();
        if (first <= 0) return false;
        length = 1;
        while (length <= 8 && !(first & (0x80 >> (length - 1)))) ++length;
        if (length > 8) return false;
        value = keep_marker ? static_cast<unsigned long long>(first)
                            : static_cast<unsigned long long>(first & (0xFF >> length));
        for (int i = 1; i < length; ++i) {
            const int b = in.get();
            if (b < 0) return false;
            value = value << 8 | static_cast<unsigned long long>(b);
        }
        return true;
    };
    unsigned long long id = 0, length = 0;
    int id_bytes = 0, size_bytes = 0;
    if (!read_vint(true, id, id_bytes) || id != 0x1A45DFA3 || !read_vint(false, length, size_bytes))
        return false;
    const unsigned long long segment_at =
        static_cast<unsigned long long>(id_bytes + size_bytes) + length;
    in.seekg(static_cast<std::streamoff>(segment_at));
    if (!read_vint(true, id, id_bytes) || id != 0x18538067 || !read_vint(false, length, size_bytes))
        return false;
    return segment_at + id_bytes + size_bytes + length == size;
}

// The likely reason a file of `size` bytes in `dir` was cut off.
std::string cut_off_reason(const std::string& dir, unsigned long long size) {
    struct rlimit limit {};
    if (getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        size >= limit.rlim_cur)
        return std::strerror(EFBIG);
    struct statvfs disk {};
    if (statvfs(dir.c_str(), &disk) == 0 && disk.f_bavail == 0) return std::strerror(ENOSPC);
    return "the file is incomplete";
}

class PngSink final : public FrameSink {
public:
    PngSink(const std::string& dir, int w, int h) : dir_(dir), w_(w), h_(h) {}

    const char* label() const override { return "png"; }

    bool claim(std::string& error) override {
        std::error_code ec;
        made_dir_ = !fs::exists(dir_, ec);
        if (!made_dir_ && fs::is_directory(dir_, ec)) {
            for (const auto& entry : fs::directory_iterator(dir_, ec))
                if (is_frame_file_name(entry.path().filename().string())) {
                    error = "'" + dir_ + "' already holds frames (" +
                            entry.path().filename().string() +
                            "): remove them or choose another directory";
                    made_dir_ = false;
                    return false;
                }
            if (ec) {
                error = "cannot read '" + dir_ + "': " + ec.message();
                return false;
            }
        }
        if (!writer_.open(dir_, w_, h_, error)) {
            remove_dir();
            return false;
        }
        return true;
    }

    bool begin(long long, long long, std::string&) override { return true; }

    std::uint8_t* buffer() override { return writer_.next_buffer(); }

    bool write(long long index, std::string& error) override {
        if (writer_.submit(index)) return true;
        error = writer_.error();
        return false;
    }

    bool commit(std::string& error) override {
        if (writer_.finish()) return true;
        error = writer_.error();
        return false;
    }

    void discard() override {
        writer_.discard();
        remove_dir();
    }

private:
    void remove_dir() {
        std::error_code ec;
        if (made_dir_) fs::remove(dir_, ec);  // only when empty: nothing of anyone else's goes
        made_dir_ = false;
    }

    std::string dir_;
    int w_, h_;
    bool made_dir_ = false;
    PngFrameWriter writer_;
};

class VideoSink final : public FrameSink {
public:
    VideoSink(const std::string& path, const std::string& ffmpeg, int w, int h, int fps,
              const VideoEncoding& encoding, const std::string& track)
        : path_(path),
          ffmpeg_(ffmpeg),
          track_(track),
          w_(w),
          h_(h),
          fps_(fps),
          encoding_(encoding),
          frame_(static_cast<std::size_t>(w) * h * 3) {}

    const char* label() const override { return encoding_.lossless ? "mkv" : "mp4"; }

    bool claim(std::string& error) override { return temp_.create(path_, error); }

    bool begin(long long first, long long end, std::string& error) override {
        encoding_.chapters = scene_chapters(first, end, fps_);
        // The sound starts where a viewer of the live demo hears the track at the first frame.
        return encoder_.open(ffmpeg_, temp_.path(), w_, h_, fps_, encoding_, track_,
                             static_cast<double>(first) / fps_ - MUSIC_HEARD_LATE_MS / 1000.0,
                             static_cast<double>(end - first) / fps_, error);
    }

    std::uint8_t* buffer() override { return frame_.data(); }

    bool write(long long, std::string& error) override {
        return encoder_.write(frame_.data(), frame_.size(), error);
    }

    bool commit(std::string& error) override {
        if (!encoder_.finish(error)) return false;
        if (!(encoding_.lossless ? matroska_is_whole(temp_.path()) : mp4_is_whole(temp_.path()))) {
            std::error_code ec;
            const unsigned long long size = fs::file_size(temp_.path(), ec);
            const fs::path dir = fs::path(path_).parent_path();
            error = "ffmpeg left '" + path_ + "' cut off at " + std::to_string(ec ? 0 : size) +
                    " bytes: " + cut_off_reason(dir.empty() ? "." : dir.string(), ec ? 0 : size);
            return false;
        }
        return temp_.commit(error);
    }

    void discard() override {
        encoder_.abort();
        temp_.remove();
    }

private:
    std::string path_, ffmpeg_, track_;
    int w_, h_, fps_;
    VideoEncoding encoding_;
    std::vector<std::uint8_t> frame_;
    TempFile temp_;
    FfmpegWriter encoder_;
};

}  // namespace

std::string scene_chapters(long long first, long long end, int fps) {
    // Frame k shows the entry that holds frame_ms(k): the first frame of entry n is the first
    // with k × 1000 / fps >= its start, i.e. k = ceil(start × fps / 1000).
    const auto first_frame = [fps](int ms) {
        return (static_cast<long long>(ms) * fps + 999) / 1000;
    };
    std::string text = ";FFMETADATA1\n";
    for (int n = 0; n < SCHEDULE_SIZE; ++n) {
        const long long from = std::max(first, first_frame(schedule_start_ms[n]));
        const long long to =
            n + 1 < SCHEDULE_SIZE ? std::min(end, first_frame(schedule_start_ms[n + 1])) : end;
        if (from >= to) continue;
        std::string title;
        for (const char* c = schedule[n].name; *c; ++c) {
            if (std::strchr("=;#\\\n", *c)) title += '\\';
            title += *c;
        }
        text += "[CHAPTER]\nTIMEBASE=1/" + std::to_string(fps) +
                "\nSTART=" + std::to_string(from - first) + "\nEND=" + std::to_string(to - first) +
                "\ntitle=" + title + "\n";
    }
    return text;
}

std::unique_ptr<FrameSink> make_png_sink(const std::string& dir, int w, int h) {
    return std::make_unique<PngSink>(dir, w, h);
}

std::unique_ptr<FrameSink> make_video_sink(const std::string& path, const std::string& ffmpeg,
                                           int w, int h, int fps, const VideoEncoding& encoding,
                                           const std::string& track) {
    return std::make_unique<VideoSink>(path, ffmpeg, w, h, fps, encoding, track);
}
