#pragma once
// zypho-capture's command line: what to render, at which rate and size, and where to write it.

#include <string>

constexpr int DEFAULT_CRF = 18;  // H.264 quality: the picture looks as it is

enum class CaptureMode {
    Video,         // numbered PNG frames, or an MP4 through ffmpeg
    ContactSheet,  // one PNG with a captioned thumbnail per scene
    Golden,        // print the golden-frame table of the tests
    FlashReport,   // analyse the range for flashes: a CSV, a summary, optionally a plot
    Help,
};

// What a video is encoded as; the output's name says which (video_kind).
enum class VideoKind {
    None,      // not a video: a directory of PNG frames
    Mp4,       // H.264 (High profile) and AAC at 192 kbit/s in MP4
    Matroska,  // a lossless master: FFV1 and FLAC in Matroska (.mkv)
};

// Settings for a purpose, chosen with --preset.
enum class Preset {
    None,
    Party,    // an event's big screen: 1920 x 1080 at 60 fps, pillarboxed, H.264 High, AAC
    Archive,  // a lossless master to re-encode from later: FFV1 and FLAC in Matroska
};

struct CaptureOptions {
    CaptureMode mode = CaptureMode::Video;
    int fps = 60;     // frames per second of the virtual clock, 1..240
    int from_ms = 0;  // start of the range, elapsed ms, inclusive
    int to_ms = -1;   // end of the range, elapsed ms, exclusive; -1: the end of Media/s.ogg
    int scale = 1;    // each screen pixel becomes scale × scale output pixels, 1..8
    // --fit: the frame's size in px, the picture scaled by the largest whole number that fits
    // and centred on black; 0 x 0: the scaled picture is the frame.
    int frame_w = 0, frame_h = 0;
    int crf = DEFAULT_CRF;  // H.264's constant rate factor, 0 (lossless) to 51
    Preset preset = Preset::None;
    std::string output;  // empty: the mode's default (default_output)
    std::string dir;     // directory holding Media/; empty: the working directory
    bool quiet = false;  // no progress bar, no summary

    // The flash report's files (its summary goes to standard output, quiet or not).
    std::string flash_csv;  // --flash-report: the CSV to write
    std::string plot;       // --plot: the PNG to draw; empty: none
};

// Where the mode writes when no -o is given (a preset names its own file).
std::string default_output(CaptureMode mode, Preset preset = Preset::None);

// The video `path` names: an MP4 when it ends in .mp4, Matroska when in .mkv (any case); anything
// else receives PNG frames as a directory.
VideoKind video_kind(const std::string& path);

// The largest whole-number scale at which the 640 x 480 picture fits a frame of w x h px, 0 when
// not even the picture itself does.
int fit_scale(int w, int h);

// A time as seconds ("66", "66.25") or minutes and seconds ("1:06", "1:06.5"), at most three
// decimals and at most 24 hours, into ms. False for anything else.
bool parse_time(const std::string& text, int& ms);

// Reads argv[1..argc-1]. Long options take their value as --name=VALUE or --name VALUE, short ones
// as -xVALUE or -x VALUE; short flags combine (-qh). False with a one-line `error` for an unknown
// option, a missing or malformed value, an out-of-range number, an empty range or an argument that
// is not an option.
bool parse_options(int argc, const char* const* argv, CaptureOptions& options, std::string& error);

// The --help text.
std::string usage_text();
