#pragma once
// The contact sheet: one captioned thumbnail of every scene on one PNG, made from the demo run
// offline at 60 frames per second, captions drawn with the demo's own small font.

#include <string>

struct SheetShot {
    int ms;               // elapsed ms of the shot: the first 60 fps frame at or after it
    const char* caption;  // plain lower-case text; w is drawn as vv, as the demo's texts do
};

constexpr int SHEET_SHOTS = 17;  // one per schedule entry, in timeline order
extern const SheetShot sheet_shots[SHEET_SHOTS];

// Runs the demo from the working directory's Media/ and writes the sheet to `path` (temporary
// name, renamed when complete). False with `error` set when anything failed.
bool make_contact_sheet(const std::string& path, bool quiet, std::string& error);
