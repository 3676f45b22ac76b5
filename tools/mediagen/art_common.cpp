#include "art.h"

namespace mg {

const OutlineFont& mono_font() {
    static OutlineFont font(MEDIAGEN_MONO_FONT);
    return font;
}

const OutlineFont& sans_font() {
    static OutlineFont font(MEDIAGEN_SANS_FONT);
    return font;
}

}  // namespace mg
