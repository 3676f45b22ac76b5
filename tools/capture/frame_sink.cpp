#include "frame_sink.h"

#include <filesystem>
#include <vector>

#include "output_file.h"
#include "writers.h"

namespace fs = std::filesystem;

namespace {

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

class Mp4Sink final : public FrameSink {
public:
    Mp4Sink(const std::string& path, const std::string& ffmpeg, int w, int h, int fps,
            const std::string& track)
        : path_(path), ffmpeg_(ffmpeg), track_(track), w_(w), h_(h), fps_(fps),
          frame_(static_cast<std::size_t>(w) * h * 3) {}

    const char* label() const override { return "mp4"; }

    bool claim(std::string& error) override { return temp_.create(path_, error); }

    bool begin(long long first, long long end, std::string& error) override {
        return encoder_.open(ffmpeg_, temp_.path(), w_, h_, fps_, track_,
                             static_cast<double>(first) / fps_,
                             static_cast<double>(end - first) / fps_, error);
    }

    std::uint8_t* buffer() override { return frame_.data(); }

    bool write(long long, std::string& error) override {
        return encoder_.write(frame_.data(), frame_.size(), error);
    }

    bool commit(std::string& error) override {
        return encoder_.finish(error) && temp_.commit(error);
    }

    void discard() override {
        encoder_.abort();
        temp_.remove();
    }

private:
    std::string path_, ffmpeg_, track_;
    int w_, h_, fps_;
    std::vector<std::uint8_t> frame_;
    TempFile temp_;
    FfmpegWriter encoder_;
};

}  // namespace

std::unique_ptr<FrameSink> make_png_sink(const std::string& dir, int w, int h) {
    return std::make_unique<PngSink>(dir, w, h);
}

std::unique_ptr<FrameSink> make_mp4_sink(const std::string& path, const std::string& ffmpeg, int w,
                                         int h, int fps, const std::string& track) {
    return std::make_unique<Mp4Sink>(path, ffmpeg, w, h, fps, track);
}
