#include "capture.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "contact_sheet.h"
#include "options.h"
#include "progress.h"
#include "shell/audio_latency.h"
#include "shell/golden.h"
#include "shell/offline.h"
#include "shell/schedule.h"
#include "writers.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* PROGRAM = "zypho-capture";
constexpr const char* TRACK = "Media/s.ogg";

volatile std::sig_atomic_t interrupted = 0;

void on_signal(int) { interrupted = 1; }

// Installed before SDL starts: SDL then leaves SIGINT and SIGTERM to this program instead of
// turning them into a window-close event.
void catch_signals() {
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);  // a dead ffmpeg shows as a failed write, not a dead capture
}

int fail(const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", PROGRAM, message.c_str());
    return 1;
}

int interrupted_exit() {
    std::fprintf(stderr, "\n%s: interrupted; no unfinished file is left\n", PROGRAM);
    return 130;
}

int print_golden(const CaptureOptions&) {
    std::vector<GoldenFrame> frames;
    std::string error;
    if (!compute_golden_frames(frames, error)) return fail(error);
    std::printf("    // %d frames of the demo run at %d fps from the zero point\n", GOLDEN_FRAMES,
                GOLDEN_FPS);
    for (const GoldenFrame& f : frames)
        std::printf("    {%d, 0x%016" PRIx64 "ull},  // %s\n", f.ms, f.checksum,
                    schedule[schedule_entry(f.ms)].name);
    return 0;
}

int capture_video(const CaptureOptions& options, const std::string& output) {
    const bool mp4 = is_mp4_path(output);
    std::string error;

    std::string ffmpeg;
    if (mp4) {
        ffmpeg = find_on_path("ffmpeg");
        if (ffmpeg.empty())
            return fail("ffmpeg not found on PATH: it is needed for MP4 output (Debian: apt-get "
                        "install ffmpeg). PNG frames need nothing else: -o DIRECTORY");
    }

    // Find an unwritable output before any work.
    TempFile temp;
    std::unique_ptr<PngFrameWriter> frames;
    std::error_code exists_error;
    const bool made_dir = !mp4 && !fs::exists(output, exists_error);
    auto clean_up = [&] {
        temp.remove();
        if (frames) frames->finish();
        std::error_code ec;
        if (made_dir) fs::remove(output, ec);  // only when still empty
    };
    const int w = OFFLINE_SCREEN_W * options.scale, h = OFFLINE_SCREEN_H * options.scale;
    if (mp4) {
        if (!temp.create(output, error)) return fail(error);
    } else {
        frames = std::make_unique<PngFrameWriter>();
        if (!frames->open(output, w, h, error)) {
            clean_up();
            return fail(error);
        }
    }

    OfflineRun run;
    if (!run.start_up()) {
        clean_up();
        return fail("the demo could not start: " + run.error());
    }
    const int to_ms = options.to_ms >= 0 ? options.to_ms : run.track_ms();
    const long long first = (static_cast<long long>(options.from_ms) * options.fps + 999) / 1000;
    const long long end = (static_cast<long long>(to_ms) * options.fps + 999) / 1000;
    if (end <= first) {
        clean_up();
        return fail("the range holds no frame (the track ends at " + std::to_string(run.track_ms()) +
                    " ms)");
    }

    FfmpegWriter encoder;
    if (mp4 && !encoder.open(ffmpeg, temp.path(), w, h, options.fps, TRACK,
                             // the sound a viewer hears at the first frame
                             static_cast<double>(first) / options.fps - MUSIC_HEARD_LATE_MS / 1000.0,
                             static_cast<double>(end - first) / options.fps, error)) {
        clean_up();
        return fail(error);
    }

    std::vector<std::uint8_t> screen(OFFLINE_RGB_BYTES);
    std::vector<std::uint8_t> scaled(mp4 && options.scale > 1 ? static_cast<std::size_t>(w) * h * 3 : 0);
    Progress progress(mp4 ? "mp4" : "png", end, options.quiet);
    for (long long n = 0; n < end; ++n) {
        if (interrupted) {
            encoder.abort();
            clean_up();
            progress.finish();
            return interrupted_exit();
        }
        if (!run.pass_at(frame_ms(n, options.fps))) {
            encoder.abort();
            clean_up();
            progress.finish();
            return fail(run.error());
        }
        if (n >= first) {
            bool ok = true;
            if (mp4) {
                run.read_rgb(screen.data());
                const std::uint8_t* out = screen.data();
                if (options.scale > 1) {
                    scale_rgb(screen.data(), OFFLINE_SCREEN_W, OFFLINE_SCREEN_H, options.scale,
                              scaled.data());
                    out = scaled.data();
                }
                ok = encoder.write(out, static_cast<std::size_t>(w) * h * 3, error);
            } else {
                std::uint8_t* buffer = frames->next_buffer();
                if (options.scale > 1) {
                    run.read_rgb(screen.data());
                    scale_rgb(screen.data(), OFFLINE_SCREEN_W, OFFLINE_SCREEN_H, options.scale, buffer);
                } else {
                    run.read_rgb(buffer);
                }
                ok = frames->submit(n - first);
                if (!ok) error = frames->error();
            }
            if (!ok) {
                encoder.abort();
                clean_up();
                progress.finish();
                return fail(error);
            }
        }
        progress.update(n + 1);
    }
    run.shut_down();

    if (mp4) {
        if (!encoder.finish(error) || !temp.commit(error)) {
            clean_up();
            progress.finish();
            return fail(error);
        }
    } else if (!frames->finish()) {
        const std::string message = frames->error();
        clean_up();
        progress.finish();
        return fail(message);
    }
    if (interrupted) {
        progress.finish();
        return interrupted_exit();
    }
    progress.finish();

    if (!options.quiet) {
        const double wall = progress.seconds();
        const double video = static_cast<double>(end - first) / options.fps;
        std::fprintf(stderr,
                     "%s: %lld frames, %.3f s at %d fps, %dx%d, written in %.1f s "
                     "(wall time / real time = %.2f) -> %s\n",
                     PROGRAM, end - first, video, options.fps, w, h, wall,
                     video > 0 ? wall / video : 0.0, output.c_str());
    }
    return 0;
}

}  // namespace

int capture_main(int argc, char** argv) {
    CaptureOptions options;
    std::string error;
    if (!parse_options(argc, argv, options, error)) {
        std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", PROGRAM,
                     error.c_str(), PROGRAM);
        return 2;
    }
    if (options.mode == CaptureMode::Help) {
        std::fputs(usage_text().c_str(), stdout);
        return 0;
    }
    catch_signals();

    // The output is named from where the tool was started, the media are read from --dir.
    std::string output = options.output.empty() ? default_output(options.mode) : options.output;
    std::error_code ec;
    const fs::path absolute = fs::absolute(output, ec);
    if (!ec) output = absolute.lexically_normal().string();
    if (!options.dir.empty() && chdir(options.dir.c_str()) != 0)
        return fail("cannot enter '" + options.dir + "': " + std::strerror(errno));
    if (access(TRACK, R_OK) != 0) {
        const std::string here = fs::current_path(ec).string();
        return fail(std::string("cannot read the sound track ") + TRACK + " in '" + here +
                    "': " + std::strerror(errno) +
                    " (run where the demo runs, or name that directory with -C)");
    }

    switch (options.mode) {
        case CaptureMode::Golden:
            return print_golden(options);
        case CaptureMode::ContactSheet: {
            TempFile probe;  // an unwritable place fails here, before the run
            if (!probe.create(output, error)) return fail(error);
            probe.remove();
            if (!make_contact_sheet(output, options.quiet, error)) return fail(error);
            if (!options.quiet) std::fprintf(stderr, "%s: wrote %s\n", PROGRAM, output.c_str());
            return 0;
        }
        default:
            return capture_video(options, output);
    }
}
