#pragma once
// Picture views of the media that only the generator makes (see preview.cpp).

#include <string>
#include <vector>

namespace mg {

struct PreviewResult {
    int written = 0;                  // files written into the output directory
    std::vector<std::string> errors;  // one line per file that could not be read or written
};

// Writes the PNG views of the files in `media_dir` into `out_dir`, which must exist:
// strip-NAME.png for each sprite strip, sheets.png and sheet-small-zoom.png, tv-keyed.png,
// fd-hidden.png and track.png. A file that cannot be read is skipped and reported in `errors`.
PreviewResult write_previews(const std::string& media_dir, const std::string& out_dir);

}  // namespace mg
