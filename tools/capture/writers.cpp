#include "writers.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <zlib.h>

namespace {
// PNG's deflate stream made by zlib at level 3 instead of stb's own compressor: about three times
// faster and a tenth smaller on the demo's frames. Returns malloc'd memory, as stb expects.
unsigned char* zlib_compress(unsigned char* data, int length, int* out_length, int /*quality*/) {
    uLongf size = compressBound(static_cast<uLong>(length));
    auto* out = static_cast<unsigned char*>(std::malloc(size));
    if (!out) return nullptr;
    if (compress2(out, &size, data, static_cast<uLong>(length), 3) != Z_OK) {
        std::free(out);
        return nullptr;
    }
    *out_length = static_cast<int>(size);
    return out;
}
}  // namespace

#define STBIW_ZLIB_COMPRESS zlib_compress
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace fs = std::filesystem;

namespace {

std::string errno_text() { return std::strerror(errno); }

// One filter for every row (Sub: each byte minus the one a pixel to its left) instead of stb's
// trial of all five per row: half the encoding time, the same size on the demo's frames.
void set_png_speed() {
    static std::once_flag once;
    std::call_once(once, [] { stbi_write_force_png_filter = 1; });
}

}  // namespace

void scale_rgb(const std::uint8_t* src, int w, int h, int scale, std::uint8_t* dst) {
    place_rgb(src, w, h, scale, dst, w * scale, h * scale);
}

void place_rgb(const std::uint8_t* src, int w, int h, int scale, std::uint8_t* dst, int frame_w,
               int frame_h) {
    const std::size_t frame_row = static_cast<std::size_t>(frame_w) * 3;
    const std::size_t picture_row = static_cast<std::size_t>(w) * scale * 3;
    const int left = (frame_w - w * scale) / 2, top = (frame_h - h * scale) / 2;
    const std::size_t left_bytes = static_cast<std::size_t>(left) * 3;
    const std::size_t right_bytes = frame_row - left_bytes - picture_row;
    // The black above and below the picture, then each picture row with the bars beside it.
    std::memset(dst, 0, static_cast<std::size_t>(top) * frame_row);
    const int below = top + h * scale;
    std::memset(dst + below * frame_row, 0, static_cast<std::size_t>(frame_h - below) * frame_row);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* in = src + static_cast<std::size_t>(y) * w * 3;
        std::uint8_t* first = dst + static_cast<std::size_t>(top + y * scale) * frame_row;
        std::memset(first, 0, left_bytes);
        std::uint8_t* out = first + left_bytes;
        for (int x = 0; x < w; ++x, in += 3)
            for (int k = 0; k < scale; ++k, out += 3) {
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
            }
        std::memset(out, 0, right_bytes);
        for (int k = 1; k < scale; ++k) std::memcpy(first + k * frame_row, first, frame_row);
    }
}

bool write_png_file(const std::string& path, const std::uint8_t* rgb, int w, int h,
                    std::string& error) {
    set_png_speed();
    int length = 0;
    unsigned char* png = stbi_write_png_to_mem(rgb, w * 3, w, h, 3, &length);
    if (!png) {
        error = "cannot encode '" + path + "' as PNG";
        return false;
    }
    const bool ok = write_file_atomically(path, png, static_cast<std::size_t>(length), error);
    std::free(png);
    return ok;
}

// ---- PngFrameWriter ---------------------------------------------------------------------------

std::string frame_file_name(long long index) {
    char name[40];
    std::snprintf(name, sizeof name, "frame-%06lld.png", index);
    return name;
}

bool is_frame_file_name(const std::string& name) {
    const std::string head = "frame-", tail = ".png";
    if (name.size() < head.size() + 6 + tail.size() || name.compare(0, head.size(), head) != 0 ||
        name.compare(name.size() - tail.size(), tail.size(), tail) != 0)
        return false;
    for (std::size_t i = head.size(); i < name.size() - tail.size(); ++i)
        if (name[i] < '0' || name[i] > '9') return false;
    return true;
}

PngFrameWriter::~PngFrameWriter() { finish(); }

bool PngFrameWriter::open(const std::string& dir, int w, int h, std::string& error) {
    if (!make_directory(dir, error)) return false;
    TempFile probe;
    if (!probe.create((fs::path(dir) / frame_file_name(0)).string(), error)) return false;
    probe.remove();

    dir_ = dir;
    w_ = w;
    h_ = h;
    const int workers = std::max(1u, std::thread::hardware_concurrency());
    buffers_.assign(static_cast<std::size_t>(workers) + 2,
                    std::vector<std::uint8_t>(static_cast<std::size_t>(w) * h * 3));
    for (int i = 0; i < static_cast<int>(buffers_.size()); ++i) free_.push_back(i);
    for (int i = 0; i < workers; ++i) workers_.emplace_back([this] { work(); });
    return true;
}

std::uint8_t* PngFrameWriter::next_buffer() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !free_.empty(); });
    filling_ = free_.back();
    free_.pop_back();
    return buffers_[static_cast<std::size_t>(filling_)].data();
}

bool PngFrameWriter::submit(long long index) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (filling_ < 0) return false;
    if (!error_.empty()) {
        free_.push_back(filling_);
        filling_ = -1;
        return false;
    }
    queue_.emplace_back(filling_, index);
    filling_ = -1;
    highest_ = std::max(highest_, index);
    changed_.notify_all();
    return true;
}

void PngFrameWriter::work() {
    for (;;) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return !queue_.empty() || closing_; });
        if (queue_.empty()) return;
        const auto [buffer, index] = queue_.front();
        queue_.pop_front();
        const bool skip = !error_.empty();
        lock.unlock();

        std::string error;
        bool ok = true;
        if (!skip) {
            ok = write_png_file((fs::path(dir_) / frame_file_name(index)).string(),
                                buffers_[static_cast<std::size_t>(buffer)].data(), w_, h_, error);
        }

        lock.lock();
        if (!ok && error_.empty()) error_ = error;
        free_.push_back(buffer);
        changed_.notify_all();
    }
}

bool PngFrameWriter::finish() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
        changed_.notify_all();
    }
    for (std::thread& t : workers_) t.join();
    workers_.clear();
    std::lock_guard<std::mutex> lock(mutex_);
    return error_.empty();
}

void PngFrameWriter::discard() {
    finish();
    for (long long i = 0; i <= highest_; ++i)
        ::unlink((fs::path(dir_) / frame_file_name(i)).c_str());
    highest_ = -1;
}

std::string PngFrameWriter::error() {
    std::lock_guard<std::mutex> lock(mutex_);
    return error_;
}

// ---- FfmpegWriter -----------------------------------------------------------------------------

FfmpegWriter::~FfmpegWriter() { abort(); }

bool FfmpegWriter::open(const std::string& ffmpeg, const std::string& temp, int w, int h, int fps,
                        const VideoEncoding& encoding, const std::string& track,
                        double audio_from_s, double duration_s, std::string& error) {
    // A start before the track's first sample: that much silence first, then the track.
    const double delay_s = audio_from_s < 0 ? -audio_from_s : 0.0;
    char size[32], from[32], duration[32], delay[64];
    std::snprintf(size, sizeof size, "%dx%d", w, h);
    std::snprintf(from, sizeof from, "%.6f", audio_from_s < 0 ? 0.0 : audio_from_s);
    std::snprintf(duration, sizeof duration, "%.6f", std::max(0.001, duration_s - delay_s));
    std::snprintf(delay, sizeof delay, "adelay=delays=%lldS:all=1", std::llround(delay_s * 44100));
    std::vector<std::string> args = {ffmpeg, "-hide_banner", "-nostdin", "-nostats", "-loglevel",
                                     "error", "-y",
                                     // The frames, raw RGB on standard input.
                                     "-f", "rawvideo", "-pix_fmt", "rgb24", "-video_size", size,
                                     "-framerate", std::to_string(fps), "-i", "pipe:0",
                                     // The sound track, the same slice of it.
                                     "-ss", from, "-t", duration, "-i", track};
    // The chapters, from a metadata file: its (empty) global metadata replaces the inputs', so
    // the file carries no dates and no encoder versions, and the chapters keep their titles.
    chapters_path_.clear();
    if (!encoding.chapters.empty()) {
        chapters_path_ = temp + ".chapters";
        if (!write_file_atomically(chapters_path_,
                                   reinterpret_cast<const std::uint8_t*>(encoding.chapters.data()),
                                   encoding.chapters.size(), error)) {
            chapters_path_.clear();
            return false;
        }
        args.insert(args.end(), {"-f", "ffmetadata", "-i", chapters_path_, "-map_metadata", "2",
                                 "-map_chapters", "2"});
    } else {
        args.insert(args.end(), {"-map_metadata", "-1"});
    }
    args.insert(args.end(), {"-map", "0:v:0", "-map", "1:a:0", "-af", delay});
    if (encoding.lossless) {
        // FFV1 version 3 in its own colour space (RGB kept as it is), with checksums on its
        // slices; FLAC at the track's 16 bits.
        args.insert(args.end(), {"-c:v", "ffv1", "-level", "3", "-slicecrc", "1", "-pix_fmt",
                                 "bgr0", "-c:a", "flac", "-sample_fmt", "s16", "-f", "matroska"});
    } else {
        args.insert(args.end(), {"-c:v", "libx264", "-preset", "medium", "-crf",
                                 std::to_string(encoding.crf), "-pix_fmt", "yuv420p"});
        // High profile; lossless H.264 (0) needs High 4:4:4 Predictive, which x264 picks itself.
        if (encoding.crf > 0) args.insert(args.end(), {"-profile:v", "high"});
        args.insert(args.end(),
                    {"-c:a", "aac", "-b:a", "192k", "-movflags", "+faststart", "-f", "mp4"});
    }
    // The same frames give the same file.
    args.insert(args.end(),
                {"-fflags", "+bitexact", "-flags:v", "+bitexact", "-flags:a", "+bitexact", temp});

    int fds[2], errs[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        error = "cannot make a pipe to ffmpeg: " + errno_text();
        return false;
    }
    if (::pipe2(errs, O_CLOEXEC) != 0) {
        error = "cannot make a pipe from ffmpeg: " + errno_text();
        ::close(fds[0]);
        ::close(fds[1]);
        return false;
    }
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid < 0) {
        error = "cannot start ffmpeg: " + errno_text();
        for (int fd : {fds[0], fds[1], errs[0], errs[1]}) ::close(fd);
        return false;
    }
    if (pid == 0) {
        // A process group of its own: an interrupt at the terminal reaches this program, which
        // then stops ffmpeg itself and removes the unfinished file.
        ::setpgid(0, 0);
        ::dup2(fds[0], 0);
        ::dup2(errs[1], 2);
        ::execv(argv[0], argv.data());
        static const char message[] = "cannot run ffmpeg\n";
        if (::write(2, message, sizeof message - 1) < 0) {
        }
        ::_exit(127);
    }
    ::close(fds[0]);
    ::close(errs[1]);
    fd_ = fds[1];
    pid_ = pid;
    log_.clear();
    reader_ = std::thread([this, from = errs[0]] {
        char buffer[4096];
        for (;;) {
            const ssize_t got = ::read(from, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) break;
            log_.append(buffer, static_cast<std::size_t>(got));
            if (log_.size() > 64 * 1024) log_.erase(0, log_.size() - 32 * 1024);  // the latest
        }
        ::close(from);
    });
    return true;
}

namespace {
const volatile std::sig_atomic_t* stop_flag = nullptr;
}

void FfmpegWriter::stop_when_set(const volatile std::sig_atomic_t* flag) { stop_flag = flag; }

int FfmpegWriter::reap() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    int status = 0;
    if (pid_ > 0 && stop_flag && *stop_flag) ::kill(pid_, SIGKILL);
    if (pid_ > 0)
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR)
            if (stop_flag && *stop_flag) ::kill(pid_, SIGKILL);
    pid_ = -1;
    if (reader_.joinable()) reader_.join();
    if (!chapters_path_.empty()) {
        std::error_code ec;
        fs::remove(chapters_path_, ec);
        chapters_path_.clear();
    }
    return status;
}

std::string FfmpegWriter::failure(int status) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < log_.size()) {
        std::size_t end = log_.find('\n', start);
        if (end == std::string::npos) end = log_.size();
        std::string line = log_.substr(start, end - start);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (!line.empty()) lines.push_back(line);
        start = end + 1;
    }
    std::string reason =
        WIFEXITED(status) ? "ffmpeg failed with exit status " + std::to_string(WEXITSTATUS(status))
                          : "ffmpeg was killed by signal " + std::to_string(WTERMSIG(status));
    if (lines.empty()) return reason;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i)
        std::fprintf(stderr, "ffmpeg: %s\n", lines[i].c_str());
    return reason + ": " + lines.back();
}

bool FfmpegWriter::write(const std::uint8_t* rgb, std::size_t n, std::string& error) {
    if (fd_ < 0) {
        error = "ffmpeg is not running";
        return false;
    }
    if (write_all(fd_, rgb, n)) return true;
    // ffmpeg closed its input: it has failed, and says why on its way out.
    const std::string broken = errno_text();
    const int status = reap();
    error = WIFEXITED(status) && WEXITSTATUS(status) == 0
                ? "ffmpeg stopped reading frames (" + broken + ")"
                : failure(status);
    return false;
}

bool FfmpegWriter::finish(std::string& error) {
    if (pid_ < 0) {
        error = "ffmpeg is not running";
        return false;
    }
    const int status = reap();
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
    error = failure(status);
    return false;
}

void FfmpegWriter::abort() {
    if (pid_ > 0) ::kill(pid_, SIGKILL);
    reap();
}
