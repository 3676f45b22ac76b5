#pragma once
// zypho-capture's command line: what to render, at which rate and size, and where to write it.

#include <string>

enum class CaptureMode {
    Video,         // numbered PNG frames, or an MP4 through ffmpeg
    ContactSheet,  // one PNG with a captioned thumbnail per scene
    Golden,        // print the golden-frame table of the tests
    FlashReport,   // analyse the range for flashes: a CSV, a summary, optionally a plot
    Help,
};

struct CaptureOptions {
    CaptureMode mode = CaptureMode::Video;
    int fps = 60;        // frames per second of the virtual clock, 1..240
    int from_ms = 0;     // start of the range, elapsed ms, inclusive
    int to_ms = -1;      // end of the range, elapsed ms, exclusive; -1: the end of Media/s.ogg
    int scale = 1;       // each screen pixel becomes scale × scale output pixels, 1..8
    std::string output;  // empty: the mode's default (default_output)
    std::string dir;     // directory holding Media/; empty: the working directory
    bool quiet = false;  // no progress bar, no summary

    // The flash report's files (its summary goes to standard output, quiet or not).
    std::string flash_csv;  // --flash-report: the CSV to write
    std::string plot;       // --plot: the PNG to draw; empty: none
};

// Where the mode writes when no -o is given.
std::string default_output(CaptureMode mode);

// True when `path` names an MP4 video (it ends in .mp4, any case); anything else receives PNG
// frames as a directory.
bool is_mp4_path(const std::string& path);

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
