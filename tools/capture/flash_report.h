#pragma once
// zypho-capture --flash-report: a range of the timeline played on the virtual clock and every
// frame put through FlashAnalyser (flash_analysis.h, which describes the method and its
// thresholds). Writes one CSV row per frame, prints a summary, and with --plot draws flashes per
// second over the range as a PNG with the scenes marked.

#include <string>
#include <vector>

#include "flash_analysis.h"

// One analysed frame of the timeline.
struct FlashRecord {
    long long frame;  // frame number on the timeline at the report's frame rate (0: the zero point)
    int ms;           // its elapsed ms after the zero point
    FlashFrame result;
};

// The CSV's header line and one row per record, each ending in a newline. Columns: time_s,
// scene, transition_area, general_flashes_1s, general_area_over_3, red_flashes_1s,
// red_area_over_3, fails (areas are fractions of the screen, 0 to 1).
std::string flash_csv_header();
void append_flash_csv_row(std::string& csv, const FlashRecord& record);

// The summary printed on standard output: the range, then for general and red flashes whether
// they pass and their worst second (time, scene, flash count over 25 % of the screen, area with
// more than three flashes), then every failing stretch with its scenes, and last "result: PASS"
// or "result: FAIL".
std::string flash_summary(const std::vector<FlashRecord>& records, int fps);

// True when no record fails.
bool flash_records_pass(const std::vector<FlashRecord>& records);

// The picture of the records: flashes per second over 25 % of the screen, and the area with
// more than three flashes, over time; failing frames shaded, the thresholds drawn, every scene's
// start marked with its name. Written as a PNG (temporary name, renamed when complete).
bool write_flash_plot(const std::string& path, const std::vector<FlashRecord>& records, int fps,
                      std::string& error);

// Plays the timeline from frame 0 at `fps` from the working directory's Media/, analyses the
// frames from the first at or after `from_ms` up to (not including) `to_ms` (-1: the end of the
// track), writes the CSV to `csv_path` and, unless empty, the plot to `plot_path`. `records`
// receives every analysed frame. False with a one-line `error` when anything failed; nothing is
// then left under either name.
bool run_flash_report(int fps, int from_ms, int to_ms, const std::string& csv_path,
                      const std::string& plot_path, bool quiet, std::vector<FlashRecord>& records,
                      std::string& error);
