#pragma once
// PNG views of the art, for looking at it the way a viewer sees it.

#include <string>
#include <vector>

namespace mg {

struct PreviewResult {
    int written = 0;                  // files written into the output directory
    std::vector<std::string> errors;  // one line per picture that could not be read or written
};

// Loads the files of `media_dir` and writes the previews into `out_dir`, which must exist.
PreviewResult write_previews(const std::string& media_dir, const std::string& out_dir);

}  // namespace mg
