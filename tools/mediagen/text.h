#pragma once
// Lettering from an outline font (FreeType): a text becomes a Shape, so it can be filled with any
// paint, outlined by growing it, and combined with other shapes.

#include <string>

#include "canvas.h"

namespace mg {

class OutlineFont {
public:
    explicit OutlineFont(const char* path);
    ~OutlineFont();
    OutlineFont(const OutlineFont&) = delete;
    OutlineFont& operator=(const OutlineFont&) = delete;

    // The text set from the pen position (x, baseline). size_y is the em height in px; size_x the
    // em width (0: the same, larger values widen the letters); `tracking` px are added after each
    // character.
    Shape text(const std::u32string& s, float x, float baseline, float size_y, float size_x = 0,
               float tracking = 0) const;
    // Width of the text as `text` sets it, from the pen start to the last pen position.
    float measure(const std::u32string& s, float size_y, float size_x = 0,
                  float tracking = 0) const;
    // Ink box of the text set at pen (0, 0): left, top (negative: above the baseline), right,
    // bottom.
    void ink_box(const std::u32string& s, float size_y, float size_x, float tracking,
                 float box[4]) const;

private:
    struct Impl;
    Impl* impl_;
};

std::u32string u32(const std::string& utf8);

}  // namespace mg
