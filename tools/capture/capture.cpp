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
#include "flash_report.h"
#include "frame_sink.h"
#include "options.h"
#include "progress.h"
#include "shell/golden.h"
#include "shell/offline.h"
#include "shell/schedule.h"
#include "writers.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* PROGRAM = "zypho-capture";
constexpr const char* TRACK = TRACK_FILE;

// The signal that asked the capture to stop (SIGINT, SIGTERM), 0 while none did.
volatile std::sig_atomic_t interrupted = 0;
// Set while a capture can act on `interrupted` itself; in the other modes, which write their one
// file only at the very end, a signal ends the process at once.
volatile std::sig_atomic_t watching = 0;

void on_signal(int signal) {
    interrupted = signal;
    if (!watching) ::_exit(128 + signal);
}

// Installed before SDL starts: SDL then leaves SIGINT and SIGTERM to this program instead of
// turning them into a window-close event.
void catch_signals() {
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);  // a dead ffmpeg shows as a failed write, not a dead capture
    signal(SIGXFSZ, SIG_IGN);  // so does a file-size limit: as a write error ("File too large")
    FfmpegWriter::stop_when_set(&interrupted);
}

int fail(const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", PROGRAM, message.c_str());
    return 1;
}

// The shell's convention: 128 + the signal's number (130 for SIGINT, 143 for SIGTERM).
int interrupted_exit() {
    std::fprintf(stderr, "\n%s: interrupted; no unfinished file is left\n", PROGRAM);
    return 128 + interrupted;
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

// The frames of the range, rendered and handed to the sink, then the sink committed.
enum class Outcome { done, failed, interrupted };

// The frame a capture writes: the screen enlarged `scale` times, centred in w × h pixels.
struct Framing {
    int scale, w, h;
    bool plain() const { return scale == 1 && w == OFFLINE_SCREEN_W && h == OFFLINE_SCREEN_H; }
};

Framing framing(const CaptureOptions& options) {
    if (options.frame_w > 0)
        return {fit_scale(options.frame_w, options.frame_h), options.frame_w, options.frame_h};
    return {options.scale, OFFLINE_SCREEN_W * options.scale, OFFLINE_SCREEN_H * options.scale};
}

Outcome record(OfflineRun& run, FrameSink& sink, SinkGuard& guard, const CaptureOptions& options,
               const Framing& frame, long long first, long long end, Progress& progress,
               std::string& error) {
    std::vector<std::uint8_t> screen(frame.plain() ? 0 : OFFLINE_RGB_BYTES);
    for (long long n = 0; n < end; ++n) {
        if (interrupted) return Outcome::interrupted;
        if (!run.pass_at(frame_ms(n, options.fps))) {
            error = run.error();
            return Outcome::failed;
        }
        if (n >= first) {
            std::uint8_t* out = sink.buffer();
            if (frame.plain()) {
                run.read_rgb(out);
            } else {
                run.read_rgb(screen.data());
                place_rgb(screen.data(), OFFLINE_SCREEN_W, OFFLINE_SCREEN_H, frame.scale, out,
                          frame.w, frame.h);
            }
            if (!sink.write(n - first, error)) return Outcome::failed;
        }
        progress.update(n + 1);
    }
    run.shut_down();
    if (interrupted) return Outcome::interrupted;
    if (!guard.commit(error)) return interrupted ? Outcome::interrupted : Outcome::failed;
    return Outcome::done;
}

int capture_video(const CaptureOptions& options, const std::string& output) {
    const Framing frame = framing(options);
    const int w = frame.w, h = frame.h;
    std::unique_ptr<FrameSink> sink;
    if (const VideoKind kind = video_kind(output); kind != VideoKind::None) {
        const std::string ffmpeg = find_on_path("ffmpeg");
        if (ffmpeg.empty())
            return fail(
                "ffmpeg not found on PATH: it is needed for video output (Debian: apt-get "
                "install ffmpeg). PNG frames need nothing else: -o DIRECTORY");
        VideoEncoding encoding;
        encoding.lossless = kind == VideoKind::Matroska;
        encoding.crf = options.crf;
        sink = make_video_sink(output, ffmpeg, w, h, options.fps, encoding, TRACK);
    } else {
        sink = make_png_sink(output, w, h);
    }

    // An unwritable output is found before any work; from here on, whatever way the capture
    // ends, the guard removes what was written unless it was committed.
    std::string error;
    if (!sink->claim(error)) return fail(error);
    SinkGuard guard(*sink);

    OfflineRun run;
    if (!run.start_up()) return fail("the demo could not start: " + run.error());
    // The first frame at or after --from, and every frame before --to (the end of the track by
    // default).
    const int to_ms = options.to_ms >= 0 ? options.to_ms : run.track_ms();
    const long long first = (static_cast<long long>(options.from_ms) * options.fps + 999) / 1000;
    const long long end = (static_cast<long long>(to_ms) * options.fps + 999) / 1000;
    if (end <= first)
        return fail("the range holds no frame (the track ends at " +
                    std::to_string(run.track_ms()) + " ms)");
    if (!sink->begin(first, end, error)) return fail(error);

    Progress progress(sink->label(), end, options.quiet);
    const Outcome outcome = record(run, *sink, guard, options, frame, first, end, progress, error);
    progress.finish();
    if (outcome == Outcome::interrupted) return interrupted_exit();
    if (outcome == Outcome::failed) return fail(error);

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

// The flash report: the CSV (and the plot) written, the summary on standard output. Exit status 0
// when the range passes, 3 when it fails.
int flash_report(const CaptureOptions& options, const std::string& csv, const std::string& plot) {
    std::vector<FlashRecord> records;
    std::string error;
    if (!run_flash_report(options.fps, options.from_ms, options.to_ms, csv, plot, options.quiet,
                          records, error))
        return fail(error);
    std::fputs(flash_summary(records, options.fps).c_str(), stdout);
    std::fflush(stdout);
    if (!options.quiet) {
        std::fprintf(stderr, "%s: wrote %s", PROGRAM, csv.c_str());
        if (!plot.empty()) std::fprintf(stderr, " and %s", plot.c_str());
        std::fprintf(stderr, "\n");
    }
    return flash_records_pass(records) ? 0 : 3;
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
    const auto from_start = [](std::string path) {
        std::error_code ec;
        const fs::path absolute = fs::absolute(path, ec);
        return ec ? path : absolute.lexically_normal().string();
    };
    const std::string output =
        from_start(options.output.empty() ? default_output(options.mode) : options.output);
    const std::string flash_csv = options.flash_csv.empty() ? "" : from_start(options.flash_csv);
    const std::string plot = options.plot.empty() ? "" : from_start(options.plot);
    std::error_code ec;
    if (!options.dir.empty() && chdir(options.dir.c_str()) != 0)
        return fail("cannot enter '" + options.dir + "': " + std::strerror(errno));
    if (access(TRACK, R_OK) != 0) {
        const std::string here = fs::current_path(ec).string();
        return fail(std::string("cannot read the sound track ") + TRACK + " in '" + here +
                    "': " + std::strerror(errno) +
                    " (run where the demo runs, or name that directory with -C)");
    }

    switch (options.mode) {
        case CaptureMode::Golden: return print_golden(options);
        case CaptureMode::FlashReport: return flash_report(options, flash_csv, plot);
        case CaptureMode::ContactSheet: {
            TempFile probe;  // an unwritable place fails here, before the run
            if (!probe.create(output, error)) return fail(error);
            probe.remove();
            if (!make_contact_sheet(output, options.quiet, error)) return fail(error);
            if (!options.quiet) std::fprintf(stderr, "%s: wrote %s\n", PROGRAM, output.c_str());
            return 0;
        }
        default: watching = 1; return capture_video(options, output);
    }
}
