#pragma once
// What the files of Media/ are, as far as the program relies on it: the facts the demo reads them
// by and the media generator (tools/mediagen) makes them to. Plain constants, no SDL, so that
// both include this one header.

namespace media {

constexpr const char* DIR = "Media/";

// The file name within Media/ of a path the demo reads ("Media/sm.png" -> "sm.png").
constexpr const char* file_name(const char* path) {
    for (const char* d = DIR; *d; ++d, ++path)
        if (*path != *d) return path;
    return path;
}

}  // namespace media

// The display the demo opens, and the media are drawn for: 640 × 480 px, 32 bits per pixel.
constexpr int SCREEN_W = 640, SCREEN_H = 480, SCREEN_BPP = 32;

// The thirteen pictures start-up loads for the scenes to share, in the order it loads them.
enum class Picture {
    opening,        // the picture the fade-in brings up
    scope_canvas,   // keyed: the oscilloscope draws on it
    lower_logo,     // keyed
    upper_logo,     // keyed
    sign,           // keyed: the greetings' swinging sign
    shaking_left,   // beside the shaking words
    greetings_bg,   // behind the greetings
    credits_bg,     // behind the credits
    background,     // the common background (columns 0-639) and the hidden picture (640 on)
    caption_tile,   // tiled behind the wavy caption
    shaking_right,  // beside the shaking words
    tv_frame,       // keyed: framed over the plasma
    shaking_bg,     // behind the shaking words
};
constexpr int PICTURE_COUNT = 13;

struct PictureFacts {
    const char* file;  // the path the demo opens
    int w, h;          // px: the size the generator makes and the scenes are laid out for
};

// By Picture. The scenes cope with any size (they clip, or skip what a picture lacks), but these
// are the sizes the shipped media have.
constexpr PictureFacts pictures[PICTURE_COUNT] = {
    {"Media/aa.jpg", SCREEN_W, SCREEN_H},
    {"Media/ab.png", 240, 150},
    {"Media/ba.png", SCREEN_W, 150},
    {"Media/bb.png", SCREEN_W, 131},
    {"Media/ca.png", 128, 62},
    {"Media/ea.png", 330, 320},
    {"Media/fa.jpg", SCREEN_W, SCREEN_H},
    {"Media/fc.jpg", SCREEN_W, SCREEN_H},
    {"Media/fd.jpg", 2 * SCREEN_W, SCREEN_H},  // the worm reads at least 1225 × 408 of it
    {"Media/fg.png", SCREEN_W / 2, SCREEN_H / 2},  // four tiles cover the screen
    {"Media/fh.png", 190, 340},
    {"Media/tv.jpg", SCREEN_W, SCREEN_H},
    {"Media/fg.jpg", SCREEN_W, SCREEN_H},
};

constexpr const PictureFacts& facts(Picture p) { return pictures[static_cast<int>(p)]; }

// The pictures that get the colour key, in the order start-up keys them (after all thirteen
// have loaded).
constexpr Picture keyed_pictures[] = {Picture::scope_canvas, Picture::upper_logo,
                                      Picture::lower_logo, Picture::sign, Picture::tv_frame};

constexpr bool is_keyed(Picture p) {
    for (Picture k : keyed_pictures)
        if (k == p) return true;
    return false;
}

// The colour that keyed images treat as transparent: RGB (129, 255, 129).
constexpr unsigned char KEY_R = 129, KEY_G = 255, KEY_B = 129;

// Glyph sheets: GLYPH_CELLS equal cells in one row. GLYPH_ORDER[i] is the character cell i shows,
// an ISO 8859-1 byte: a..v (0-21), x y z (22-24), å ä ö (25-27), the cell for characters without a
// glyph (28, written 0 here), 1..9 (29-37), 0 (38), then . ! ? / \ - (39-44).
constexpr int GLYPH_CELLS = 45;
constexpr int NO_GLYPH = 28;
constexpr unsigned char GLYPH_ORDER[GLYPH_CELLS] = {
    'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n', 'o',
    'p', 'q', 'r', 's', 't', 'u', 'v', 'x', 'y', 'z', 229, 228, 246,
    0,
    '1', '2', '3', '4', '5', '6', '7', '8', '9', '0', '.', '!', '?', '/', '\\', '-'};
static_assert(GLYPH_ORDER[NO_GLYPH] == 0, "cell 28 is the one without a glyph");

// What fixes a font: its sheet and its metrics.
struct FontKind {
    const char* file;
    int cell_w;   // px
    int cell_h;   // px
    int advance;  // px from one character to the next; less than cell_w, so cells overlap
};

constexpr FontKind SMALL_FONT{"Media/alpb.png", 25, 31, 15};
constexpr FontKind BIG_FONT{"Media/alp.png", 50, 100, 35};

// The eight sprite strips, frames side by side in one row, frame 0 at the left.
enum Strip { sm, bi, bl, cra, crb, dm, st, wm, STRIP_COUNT };

constexpr const char* strip_files[STRIP_COUNT] = {
    "Media/sm.png", "Media/bi.png", "Media/bl.png", "Media/cra.png",
    "Media/crb.png", "Media/dm.png", "Media/st.png", "Media/wm.png",
};

// Frames in each strip, by Strip index.
constexpr int frames_in[STRIP_COUNT] = {10, 9, 6, 4, 6, 5, 8, 5};

// The soundtrack, Media/s.ogg: interleaved stereo at this many sample frames per second, the
// rate the demo opens the audio device at.
constexpr const char* TRACK_FILE = "Media/s.ogg";
constexpr int SAMPLE_RATE = 44100;
