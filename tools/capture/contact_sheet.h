#pragma once
// The contact sheet: one captioned thumbnail of every scene on one PNG, made from the demo run
// offline at 60 frames per second, captions drawn with the demo's own small font.

#include <array>
#include <string>

#include "shell/schedule.h"

struct SheetShot {
    int ms;               // elapsed ms of the shot: the first 60 fps frame at or after it
    const char* caption;  // plain lower-case text; w is drawn as vv, as the demo's texts do
};

constexpr int SHEET_SHOTS = SCHEDULE_SIZE;  // one per schedule entry, in timeline order

// Each entry's shot and caption, from the schedule.
constexpr std::array<SheetShot, SHEET_SHOTS> make_sheet_shots() {
    std::array<SheetShot, SHEET_SHOTS> shots{};
    for (int n = 0; n < SHEET_SHOTS; ++n)
        shots[n] = {schedule_start_ms[n] + schedule[n].shot_ms, schedule[n].caption};
    return shots;
}
inline constexpr std::array<SheetShot, SHEET_SHOTS> sheet_shots = make_sheet_shots();

// Runs the demo from the working directory's Media/ and writes the sheet to `path` (temporary
// name, renamed when complete). False with `error` set when anything failed.
bool make_contact_sheet(const std::string& path, bool quiet, std::string& error);
