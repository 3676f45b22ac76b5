#pragma once
// Picture views of the media for people (see preview.cpp).

#include <string>

// Writes the PNG views of the files in `media_dir` into `out_dir`: strip-NAME.png for each sprite
// strip, sheets.png and sheet-small-zoom.png, tv-keyed.png, fd-hidden.png and track.png. A file
// that is missing is skipped (with a line on standard error). Returns the number of files written.
int write_previews(const std::string& media_dir, const std::string& out_dir);
