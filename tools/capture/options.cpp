#include "options.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "command_line.h"

namespace {

constexpr int MAX_FPS = 240;
constexpr int MAX_SCALE = 8;
constexpr long long MAX_TIME_MS = 24LL * 3600 * 1000;
constexpr int MAX_FRAME_SIDE = 16384;            // px: more than any video format takes
constexpr int MAX_CRF = 51;                      // H.264's worst quality
constexpr int PICTURE_W = 640, PICTURE_H = 480;  // the demo's screen
// The party preset's frame and rate: an event's 1080p60 screen.
constexpr int PARTY_W = 1920, PARTY_H = 1080, PARTY_FPS = 60;

bool parse_int(const std::string& text, int low, int high, int& value) {
    if (text.empty() || text.size() > 9) return false;
    long long v = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        v = v * 10 + (c - '0');
    }
    if (v < low || v > high) return false;
    value = static_cast<int>(v);
    return true;
}

// Digits, optionally '.' and at most three more digits, as thousandths.
bool parse_decimal_ms(const std::string& text, long long& ms) {
    const std::size_t dot = text.find('.');
    const std::string whole = text.substr(0, dot);
    const std::string fraction = dot == std::string::npos ? "" : text.substr(dot + 1);
    if (whole.empty() || whole.size() > 6 || fraction.size() > 3) return false;
    if (dot != std::string::npos && fraction.empty()) return false;
    long long w = 0, f = 0;
    for (char c : whole) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        w = w * 10 + (c - '0');
    }
    for (std::size_t i = 0; i < 3; ++i) {
        const char c = i < fraction.size() ? fraction[i] : '0';
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        f = f * 10 + (c - '0');
    }
    ms = w * 1000 + f;
    return true;
}

const OptionSpec OPTIONS[] = {
    {'o', "output", true},     {'r', "fps", true},          {'s', "from", true},
    {'t', "to", true},         {'x', "scale", true},        {'C', "dir", true},
    {'q', "quiet", false},     {0, "contact-sheet", false}, {0, "golden", false},
    {0, "flash-report", true}, {0, "plot", true},           {0, "fit", true},
    {0, "crf", true},          {0, "preset", true},         {'h', "help", false},
    {0, nullptr, false},
};

// "WxH", both whole numbers from 1 to MAX_FRAME_SIDE.
bool parse_size(const std::string& text, int& w, int& h) {
    const std::size_t x = text.find('x');
    return x != std::string::npos && parse_int(text.substr(0, x), 1, MAX_FRAME_SIDE, w) &&
           parse_int(text.substr(x + 1), 1, MAX_FRAME_SIDE, h);
}

// The options each mode reads; any other is refused rather than silently ignored.
bool mode_reads(CaptureMode mode, const std::string& option) {
    if (option == "golden" || option == "contact-sheet" || option == "flash-report")
        return true;  // the mode switches
    switch (mode) {
        case CaptureMode::Video: return option != "plot";
        case CaptureMode::ContactSheet:
            return option == "output" || option == "dir" || option == "quiet";
        case CaptureMode::Golden: return option == "dir";
        // Always at 60 frames a second, on the whole screen: no -r, no -x, no -o.
        case CaptureMode::FlashReport:
            return option == "from" || option == "to" || option == "dir" || option == "quiet" ||
                   option == "plot";
        case CaptureMode::Help: return true;
    }
    return false;
}

const char* mode_option(CaptureMode mode) {
    switch (mode) {
        case CaptureMode::ContactSheet: return "--contact-sheet";
        case CaptureMode::Golden: return "--golden";
        case CaptureMode::FlashReport: return "--flash-report";
        default: return "recording";
    }
}

bool apply(const OptionSpec& o, const std::string& value, CaptureOptions& options,
           std::string& error) {
    const std::string name = o.long_name;
    if (name == "output") {
        if (value.empty()) {
            error = "the output path is empty";
            return false;
        }
        options.output = value;
    } else if (name == "fps") {
        if (!parse_int(value, 1, MAX_FPS, options.fps)) {
            error = "frame rate '" + value + "' is not a whole number from 1 to 240";
            return false;
        }
    } else if (name == "from" || name == "to") {
        int ms = 0;
        if (!parse_time(value, ms)) {
            error = "time '" + value + "' for --" + name +
                    " is not seconds (66, 66.5) or minutes:seconds (1:06)";
            return false;
        }
        (name == "from" ? options.from_ms : options.to_ms) = ms;
    } else if (name == "scale") {
        if (!parse_int(value, 1, MAX_SCALE, options.scale)) {
            error = "scale '" + value + "' is not a whole number from 1 to 8";
            return false;
        }
    } else if (name == "dir") {
        if (value.empty()) {
            error = "the directory for --dir is empty";
            return false;
        }
        options.dir = value;
    } else if (name == "quiet") {
        options.quiet = true;
    } else if (name == "contact-sheet") {
        options.mode = CaptureMode::ContactSheet;
    } else if (name == "golden") {
        options.mode = CaptureMode::Golden;
    } else if (name == "flash-report") {
        if (value.empty()) {
            error = "the path for --flash-report is empty";
            return false;
        }
        options.mode = CaptureMode::FlashReport;
        options.flash_csv = value;
    } else if (name == "plot") {
        if (value.empty()) {
            error = "the path for --plot is empty";
            return false;
        }
        options.plot = value;
    } else if (name == "fit") {
        int w = 0, h = 0;
        if (!parse_size(value, w, h)) {
            error = "frame size '" + value + "' for --fit is not WIDTHxHEIGHT (1920x1080)";
            return false;
        }
        if (fit_scale(w, h) == 0) {
            error = "--fit " + value + " is smaller than the 640x480 picture";
            return false;
        }
        options.frame_w = w;
        options.frame_h = h;
    } else if (name == "crf") {
        if (!parse_int(value, 0, MAX_CRF, options.crf)) {
            error = "quality '" + value + "' for --crf is not a whole number from 0 to 51";
            return false;
        }
    } else if (name == "preset") {
        if (value == "party") {
            options.preset = Preset::Party;
        } else if (value == "archive") {
            options.preset = Preset::Archive;
        } else {
            error = "preset '" + value + "' is not party or archive";
            return false;
        }
    } else if (name == "help") {
        options.mode = CaptureMode::Help;
    }
    return true;
}

// What the video options say together, once all are read: a preset's settings, and the
// combinations that cannot mean anything. False with a one-line `error`.
bool settle_video(const std::vector<Argument>& arguments, CaptureOptions& options,
                  std::string& error) {
    const auto given = [&](const char* name) { return find_argument(arguments, name) != nullptr; };
    if (given("fit") && given("scale")) {
        error = "--fit picks the scale itself: it cannot be combined with -x";
        return false;
    }
    const std::string output =
        options.output.empty() ? default_output(options.mode, options.preset) : options.output;
    if (options.preset == Preset::Party) {
        for (const auto& [name, flag] : {std::pair{"fit", "--fit"}, {"scale", "-x"}, {"fps", "-r"}})
            if (given(name)) {
                error = std::string(
                            "--preset party sets the frame (1920x1080) and the rate (60 "
                            "fps): it cannot be combined with ") +
                        flag;
                return false;
            }
        if (video_kind(output) != VideoKind::Mp4) {
            error = "--preset party writes an MP4: the output must end in .mp4";
            return false;
        }
        options.frame_w = PARTY_W;
        options.frame_h = PARTY_H;
        options.fps = PARTY_FPS;
    }
    if (options.preset == Preset::Archive && video_kind(output) != VideoKind::Matroska) {
        error = "--preset archive writes a Matroska master: the output must end in .mkv";
        return false;
    }
    if (given("crf") && video_kind(output) != VideoKind::Mp4) {
        error = "--crf sets the H.264 quality of an MP4: " +
                std::string(video_kind(output) == VideoKind::Matroska
                                ? "the Matroska master is lossless"
                                : "PNG frames are lossless");
        return false;
    }
    return true;
}

}  // namespace

std::string default_output(CaptureMode mode, Preset preset) {
    if (mode == CaptureMode::ContactSheet) return "contact-sheet.png";
    switch (preset) {
        case Preset::Party: return "zypho-party.mp4";
        case Preset::Archive: return "zypho-archive.mkv";
        case Preset::None: break;
    }
    return "zypho.mp4";
}

VideoKind video_kind(const std::string& path) {
    if (path.size() < 4) return VideoKind::None;
    std::string end = path.substr(path.size() - 4);
    for (char& c : end) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return end == ".mp4" ? VideoKind::Mp4 : end == ".mkv" ? VideoKind::Matroska : VideoKind::None;
}

int fit_scale(int w, int h) {
    const int scale = std::min(w / PICTURE_W, h / PICTURE_H);
    return scale < 0 ? 0 : scale;
}

bool parse_time(const std::string& text, int& ms) {
    long long total = 0;
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) {
        if (!parse_decimal_ms(text, total)) return false;
    } else {
        int minutes = 0;
        long long seconds = 0;
        const std::string sec = text.substr(colon + 1);
        // Minutes and seconds: the seconds have two digits before any decimals.
        if (!parse_int(text.substr(0, colon), 0, 1440, minutes)) return false;
        if (sec.size() < 2 || !std::isdigit(static_cast<unsigned char>(sec[0])) ||
            !std::isdigit(static_cast<unsigned char>(sec[1])) || (sec.size() > 2 && sec[2] != '.'))
            return false;
        if (!parse_decimal_ms(sec, seconds) || seconds >= 60000) return false;
        total = minutes * 60000LL + seconds;
    }
    if (total > MAX_TIME_MS) return false;
    ms = static_cast<int>(total);
    return true;
}

bool parse_options(int argc, const char* const* argv, CaptureOptions& options, std::string& error) {
    options = CaptureOptions{};
    std::vector<Argument> arguments;
    if (!read_command_line(argc, argv, OPTIONS, arguments, error)) return false;
    for (const Argument& a : arguments) {
        if (!a.option) {
            error = "unexpected argument '" + a.value + "' (the output goes after -o)";
            return false;
        }
        if (!apply(*a.option, a.value, options, error)) return false;
    }
    if (options.mode == CaptureMode::Help) return true;
    std::vector<std::string> modes;
    for (const Argument& a : arguments) {
        const std::string name = a.option->long_name;
        if ((name == "golden" || name == "contact-sheet" || name == "flash-report") &&
            std::find(modes.begin(), modes.end(), "--" + name) == modes.end())
            modes.push_back("--" + name);
    }
    if (modes.size() > 1) {
        error = modes[0] + " and " + modes[1] + " cannot be combined: one mode at a time";
        return false;
    }
    if (find_argument(arguments, "plot") && options.mode != CaptureMode::FlashReport) {
        error = "--plot draws a flash report: it needs --flash-report";
        return false;
    }
    for (const Argument& a : arguments)
        if (!mode_reads(options.mode, a.option->long_name)) {
            error =
                std::string(mode_option(options.mode)) + " does not use " + option_name(*a.option);
            return false;
        }
    if (options.to_ms >= 0 && options.to_ms <= options.from_ms) {
        error = "the range is empty: --to must be later than --from";
        return false;
    }
    return options.mode != CaptureMode::Video || settle_video(arguments, options, error);
}

std::string usage_text() {
    return R"(Usage: zypho-capture [OPTION]...
Runs the demo offline, on a virtual clock at a fixed frame rate, and records it:
as numbered PNG frames, or as an H.264 MP4 video with Media/s.ogg as its sound
track (through ffmpeg, which must be on PATH; PNG frames need nothing else).
The output is the same bytes on every run. Run it where the demo runs: the
directory must hold Media/ (or name it with -C).

  -o, --output PATH    where to write (default: zypho.mp4). A PATH ending in .mp4
                       is an H.264 video with AAC sound; one ending in .mkv is a
                       lossless master, FFV1 video and FLAC sound in Matroska; any
                       other PATH is a directory (made if missing) that receives
                       frame-000000.png, frame-000001.png, ..., numbered from the
                       start of the range; a directory that already holds frames
                       is refused. Videos carry a chapter for each scene
  -r, --fps N          frames per second, 1 to 240 (default: 60)
  -s, --from TIME      start of the range (default: 0)
  -t, --to TIME        end of the range, exclusive (default: the end of the track,
                       169 s with the shipped Media/s.ogg; the timeline's last
                       scene, the end screen, begins at 162 s)
                       TIME is seconds (66, 66.5) or minutes:seconds (1:06)
  -x, --scale N        enlarge every pixel to N x N, nearest neighbour, 1 to 8
                       (default: 1): 2 gives 1280x960, 3 gives 1920x1440
      --fit WxH        frames of W x H pixels: the picture enlarged by the largest
                       whole number that fits, centred on black (1920x1080: 2x,
                       pillarboxed; 3840x2160: 4x, 2560x1920 inside)
      --crf N          the MP4's H.264 quality, 0 (lossless) to 51 (default: 18,
                       which looks as the picture is; each 6 halves the size)
      --preset NAME    party: an event's big screen, 1920x1080 at 60 fps,
                       pillarboxed, H.264 High, AAC 192 kbit/s (default output:
                       zypho-party.mp4); archive: a lossless master to re-encode
                       from, FFV1 and FLAC in Matroska (zypho-archive.mkv)
  -C, --dir DIR        the directory that holds Media/ (default: the working one);
                       a relative -o is still taken from the working directory
  -q, --quiet          no progress bar and no summary on standard error
      --contact-sheet  write one PNG with a captioned thumbnail of every scene
                       instead (-o, default: contact-sheet.png)
      --golden         print the golden-frame table of the tests (for
                       scripts/update-golden) instead
      --flash-report FILE
                       analyse the range for flashing instead, at 60 frames a
                       second: general and red flashes as WCAG 2.x (2.3.1) and
                       Ofcom define them; more than three in one second over
                       25% of the screen or more fails. Writes one CSV row per
                       frame to FILE and prints a summary on standard output:
                       pass or fail, the worst second, the failing stretches
      --plot FILE      with --flash-report: also draw the flashes per second
                       over the range, with the scenes marked, as a PNG
  -h, --help           show this help and exit

SDL runs on its dummy video and audio drivers unless SDL_VIDEODRIVER or
SDL_AUDIODRIVER are set. Exit status: 0 on success, 1 when the capture failed
(the last line says why), 2 for a bad command line, 130 or 143 when interrupted
by SIGINT or SIGTERM; 3 when a flash report is written and the range fails.
A failed or interrupted capture removes what it wrote.

Examples:
  zypho-capture -o zypho.mp4 -x 2            the whole demo, 1280x960
  zypho-capture --fit 3840x2160 -o zypho-4k.mp4
                                             for video sites: 2560x1920 on 2160 lines
  zypho-capture --preset party               zypho-party.mp4, for a big screen
  zypho-capture --preset archive             zypho-archive.mkv, lossless
  zypho-capture -o frames -s 66 -t 81 -r 30  the oscilloscope as PNG frames
  zypho-capture --flash-report flashes.csv --plot flashes.png
                                             the whole demo checked for flashing
)";
}
