// The shipped media, loaded the way the demo loads them (SDL_image for pictures, SDL_mixer and
// libvorbisfile for the track), against what the scenes need of each file: sizes, frame and cell
// grids, the exact key colour wherever an image is keyed, the hidden half of the background, the
// track's format, length and level, the size budget and the start-up load time.

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <stdlib.h>

#include "shell/audio_latency.h"
#include "shell/schedule.h"

namespace {

const std::string MEDIA = std::string(ZYPHO_SOURCE_DIR) + "/Media/";
constexpr Uint32 KEY = 0x81FF81;  // RGB (129, 255, 129)

// A decoded image as 0xAARRGGBB words (alpha 0xFF when the file has none), plus what SDL_image
// reported about its format.
struct Decoded {
    int w = 0, h = 0;
    bool has_alpha = false;
    int bytes_per_pixel = 0;
    std::vector<Uint32> px;

    Uint32 rgb(int x, int y) const { return px[size_t(y) * w + x] & 0xFFFFFF; }
    int alpha(int x, int y) const { return int(px[size_t(y) * w + x] >> 24); }
    bool key(int x, int y) const { return rgb(x, y) == KEY; }
};

Decoded load(const std::string& name) {
    Decoded p;
    SDL_Surface* raw = IMG_Load((MEDIA + name).c_str());
    if (!raw) {
        ADD_FAILURE() << name << " does not load: " << IMG_GetError();
        return p;
    }
    p.w = raw->w;
    p.h = raw->h;
    p.has_alpha = raw->format->Amask != 0;
    p.bytes_per_pixel = raw->format->BytesPerPixel;
    SDL_Surface* argb = SDL_CreateRGBSurface(SDL_SWSURFACE, p.w, p.h, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u);
    SDL_SetAlpha(raw, 0, 255);  // copy, do not blend
    SDL_BlitSurface(raw, nullptr, argb, nullptr);
    p.px.resize(size_t(p.w) * p.h);
    for (int y = 0; y < p.h; ++y) {
        const Uint32* row = reinterpret_cast<const Uint32*>(static_cast<Uint8*>(argb->pixels) + y * argb->pitch);
        for (int x = 0; x < p.w; ++x) p.px[size_t(y) * p.w + x] = p.has_alpha ? row[x] : (row[x] | 0xFF000000u);
    }
    SDL_FreeSurface(argb);
    SDL_FreeSurface(raw);
    return p;
}

int distance_to_key(Uint32 rgb) {
    int dr = std::abs(int(rgb >> 16 & 0xFF) - 129), dg = std::abs(int(rgb >> 8 & 0xFF) - 255),
        db = std::abs(int(rgb & 0xFF) - 129);
    return std::max(dr, std::max(dg, db));
}

// What every keyed image must be: plain RGB (per-pixel alpha would make SDL ignore the key), some
// pixels exactly the key, and no pixel merely close to it: a near-key colour would show as a
// greenish fringe where the key was meant.
void expect_keyed(const Decoded& p, const std::string& name, double min_key_share) {
    EXPECT_FALSE(p.has_alpha) << name << " must have no alpha channel";
    size_t keyed = 0, fringe = 0;
    for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x) {
            if (p.key(x, y)) ++keyed;
            else if (distance_to_key(p.rgb(x, y)) < 48) ++fringe;
        }
    EXPECT_GE(double(keyed), min_key_share * p.w * p.h) << name << ": too little is keyed out";
    EXPECT_LT(keyed, size_t(p.w) * p.h) << name << ": nothing but key";
    EXPECT_EQ(fringe, 0u) << name << ": pixels close to, but not exactly, the key colour";
}

size_t count_opaque(const Decoded& p, int x0, int y0, int x1, int y1) {
    size_t n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += p.alpha(x, y) >= 128;
    return n;
}


// The true peak of interleaved stereo `pcm`, in dBFS: the largest magnitude of the signal between
// its samples as well as at them, found by interpolating three points between each pair of
// samples (4x oversampling) with a Hann-windowed sinc over 24 neighbours. Only the stretches where
// a sample comes within 6 dB of the largest one are interpolated: a band-limited signal does not
// overshoot its samples by more than that.
double true_peak_db(const std::vector<int16_t>& pcm) {
    constexpr int HALF = 12;  // taps on each side
    double taps[3][2 * HALF];
    for (int p = 1; p <= 3; ++p)
        for (int k = -HALF + 1; k <= HALF; ++k) {
            const double x = p / 4.0 - k, pi = 3.14159265358979323846;
            const double w = 0.5 + 0.5 * std::cos(pi * x / (HALF + 0.5));
            taps[p - 1][k + HALF - 1] = w * std::sin(pi * x) / (pi * x);
        }
    int sample_peak = 0;
    for (int16_t v : pcm) sample_peak = std::max(sample_peak, std::abs(int(v)));
    const size_t frames = pcm.size() / 2;
    double peak = sample_peak;
    for (int c = 0; c < 2; ++c)
        for (size_t i = HALF; i + HALF < frames; ++i) {
            if (std::max(std::abs(int(pcm[2 * i + c])), std::abs(int(pcm[2 * i + 2 + c]))) * 2 < sample_peak)
                continue;
            for (const double* h : taps) {
                double y = 0;
                for (int k = -HALF + 1; k <= HALF; ++k) y += h[k + HALF - 1] * pcm[2 * (i + k) + c];
                peak = std::max(peak, std::abs(y));
            }
        }
    return 20 * std::log10(peak / 32768.0);
}
}  // namespace

TEST(Media, FullScreenPicturesAre640By480) {
    for (const char* name : {"aa.jpg", "fa.jpg", "fc.jpg", "fg.jpg", "tv.jpg"}) {
        Decoded p = load(name);
        EXPECT_EQ(p.w, 640) << name;
        EXPECT_EQ(p.h, 480) << name;
    }
    Decoded tile = load("fg.png");  // tiled 2 × 2 over the screen
    EXPECT_EQ(tile.w, 320);
    EXPECT_EQ(tile.h, 240);
}

TEST(Media, BackgroundHoldsAHiddenPictureWhereTheWormReadsIt) {
    Decoded fd = load("fd.jpg");
    ASSERT_GE(fd.w, 1225);  // the worm reads columns 694-1224 ...
    ASSERT_GE(fd.h, 408);   // ... and rows 71-407
    // The hidden picture is a different picture: its colours differ from the visible part's
    // and it is not flat.
    double vis[3] = {0, 0, 0}, hid[3] = {0, 0, 0}, hid_sq[3] = {0, 0, 0};
    size_t n = 0;
    for (int y = 71; y <= 407; ++y)
        for (int x = 694; x <= 1224; ++x, ++n) {
            Uint32 h = fd.rgb(x, y), v = fd.rgb(x - 640, y);
            for (int c = 0; c < 3; ++c) {
                double hv = double(h >> (16 - 8 * c) & 0xFF);
                hid[c] += hv;
                hid_sq[c] += hv * hv;
                vis[c] += double(v >> (16 - 8 * c) & 0xFF);
            }
        }
    double diff = 0, spread = 0;
    for (int c = 0; c < 3; ++c) {
        diff += std::fabs(hid[c] - vis[c]) / double(n);
        spread += std::sqrt(hid_sq[c] / double(n) - (hid[c] / double(n)) * (hid[c] / double(n)));
    }
    EXPECT_GT(diff, 90.0) << "hidden and visible parts look alike";
    EXPECT_GT(spread, 40.0) << "hidden picture is nearly flat";
}

TEST(Media, LogosAreKeyedAndSizedForTheirSlides) {
    Decoded upper = load("bb.png");  // slides from y = -130 down to rest at y = 0
    EXPECT_EQ(upper.w, 640);
    EXPECT_EQ(upper.h, 131);
    expect_keyed(upper, "bb.png", 0.4);
    Decoded lower = load("ba.png");  // rests at y = 326, later at y = 306
    EXPECT_EQ(lower.w, 640);
    EXPECT_LE(lower.h, 154);
    EXPECT_GE(lower.h, 100);
    expect_keyed(lower, "ba.png", 0.4);
}

TEST(Media, SignIsKeyedWithRoomForAGreetingUnderIt) {
    Decoded sign = load("ca.png");
    EXPECT_GE(sign.w, 100);
    EXPECT_LE(sign.w, 140);
    EXPECT_GE(sign.h, 50);
    EXPECT_LE(sign.h, 70);
    expect_keyed(sign, "ca.png", 0.05);
    EXPECT_FALSE(sign.key(10, 5)) << "the hanging line ends at (10, 5): something should be there";
}

TEST(Media, OscilloscopeCanvasIsOpaqueWhereTheSceneDraws) {
    Decoded ab = load("ab.png");
    ASSERT_GT(ab.w, 20);
    EXPECT_LE(ab.w, 240) << "the canvas swings up to x = 400 and must stay on the screen";
    EXPECT_LE(ab.h, 190) << "the canvas swings down to y = 290";
    ASSERT_GE(ab.h, 116);
    expect_keyed(ab, "ab.png", 0.01);
    // Trace rows 85-114 from column 9 to W - 10, discs up to radius 34 round (50, 50) and
    // (100, 50): drawing there on key-coloured pixels would show green.
    for (int y = 16; y <= 114; ++y)
        for (int x = 9; x <= ab.w - 10; ++x) ASSERT_FALSE(ab.key(x, y)) << "key at (" << x << ", " << y << ")";
}

TEST(Media, TvScreenDecodesToTheExactKeyInWholeBlocks) {
    Decoded tv = load("tv.jpg");
    ASSERT_EQ(tv.w, 640);
    ASSERT_EQ(tv.h, 480);
    expect_keyed(tv, "tv.jpg", 0.3);
    // Every 8 × 8 JPEG block is either the key throughout or holds no key pixel at all.
    for (int by = 0; by < 60; ++by)
        for (int bx = 0; bx < 80; ++bx) {
            int keyed = 0;
            for (int y = by * 8; y < by * 8 + 8; ++y)
                for (int x = bx * 8; x < bx * 8 + 8; ++x) keyed += tv.key(x, y);
            ASSERT_TRUE(keyed == 0 || keyed == 64) << "block (" << bx << ", " << by << ") is partly keyed";
        }
}

TEST(Media, ShakingWordsPicturesLeaveTheWordsTheirColumns) {
    Decoded ea = load("ea.png");  // drawn at (-30, 100)
    Decoded fh = load("fh.png");  // drawn at (438, 123)
    EXPECT_LE(ea.w - 30, 352) << "left picture runs into the first word's column";
    EXPECT_LE(100 + ea.h, 480);
    EXPECT_LE(fh.w, 640 - 438);
    EXPECT_LE(123 + fh.h, 480);
    EXPECT_GT(ea.w, 100);
    EXPECT_GT(fh.w, 100);
}

TEST(Media, SpriteStripsHoldTheirFramesWithAlpha) {
    struct Strip {
        const char* name;
        int frames;
        int max_w;  // frame width the scene has room for
    };
    const Strip strips[] = {{"sm.png", 10, 100}, {"bi.png", 9, 120}, {"bl.png", 6, 100}, {"cra.png", 4, 120},
                            {"crb.png", 6, 120}, {"dm.png", 5, 100}, {"st.png", 8, 64},  {"wm.png", 5, 100}};
    for (const Strip& s : strips) {
        Decoded p = load(s.name);
        ASSERT_TRUE(p.has_alpha) << s.name << " needs an alpha channel";
        ASSERT_EQ(p.w % s.frames, 0) << s.name << ": width not a multiple of " << s.frames;
        const int fw = p.w / s.frames;
        EXPECT_GE(fw, 24) << s.name;
        EXPECT_LE(fw, s.max_w) << s.name;
        EXPECT_GE(p.h, 24) << s.name;
        EXPECT_LE(p.h, 120) << s.name;
        std::set<std::vector<Uint32>> distinct;
        for (int f = 0; f < s.frames; ++f) {
            // a figure in every frame, clear of the frame's edges so neighbours never bleed in
            EXPECT_GT(count_opaque(p, f * fw, 0, (f + 1) * fw, p.h), size_t(fw * p.h / 10)) << s.name << " frame " << f;
            EXPECT_EQ(count_opaque(p, f * fw, 0, f * fw + 1, p.h), 0u) << s.name << " frame " << f << " left edge";
            EXPECT_EQ(count_opaque(p, (f + 1) * fw - 1, 0, (f + 1) * fw, p.h), 0u) << s.name << " frame " << f << " right edge";
            std::vector<Uint32> frame;
            for (int y = 0; y < p.h; ++y)
                for (int x = f * fw; x < (f + 1) * fw; ++x) frame.push_back(p.px[size_t(y) * p.w + x]);
            distinct.insert(frame);
        }
        EXPECT_EQ(distinct.size(), size_t(s.frames)) << s.name << ": some frames repeat";
    }
}

TEST(Media, GlyphSheetsHold45CellsOnTheirGrid) {
    struct Sheet {
        const char* name;
        int cell_w, cell_h, advance;
    };
    for (const Sheet& s : {Sheet{"alpb.png", 25, 31, 15}, Sheet{"alp.png", 50, 100, 35}}) {
        Decoded p = load(s.name);
        ASSERT_EQ(p.w, 45 * s.cell_w) << s.name;
        ASSERT_EQ(p.h, s.cell_h) << s.name;
        expect_keyed(p, s.name, 0.5);
        std::set<std::vector<bool>> shapes;
        for (int cell = 0; cell < 45; ++cell) {
            int ink = 0, right = -1, bottom = -1;
            std::vector<bool> shape;
            for (int y = 0; y < s.cell_h; ++y)
                for (int x = 0; x < s.cell_w; ++x) {
                    bool on = !p.key(cell * s.cell_w + x, y);
                    shape.push_back(on);
                    if (on) {
                        ++ink;
                        right = std::max(right, x);
                        bottom = std::max(bottom, y);
                    }
                }
            if (cell == 28) {  // characters without a glyph draw this cell: it must draw nothing
                EXPECT_EQ(ink, 0) << s.name << ": the no-glyph cell is not blank";
                continue;
            }
            EXPECT_GT(ink, s.cell_w * s.cell_h / 40) << s.name << " cell " << cell << " is (nearly) empty";
            // Text advances by less than a cell: the glyph must keep to the first `advance`
            // columns (and a shadow pixel or two), or the next character would cut it.
            EXPECT_LE(right, s.advance + 1) << s.name << " cell " << cell << " is too wide";
            EXPECT_LT(bottom, s.cell_h - 1) << s.name << " cell " << cell << " touches the bottom";
            shapes.insert(shape);
        }
        EXPECT_EQ(shapes.size(), 44u) << s.name << ": two cells hold the same glyph";
    }
}

TEST(Media, TrackIsLongLoudStereoVorbis) {
    // SDL_mixer must take it as music, as the demo does (on the silent driver unless the
    // environment names another).
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
    ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 4096), 0) << Mix_GetError();
    Mix_Music* music = Mix_LoadMUS((MEDIA + "s.ogg").c_str());
    EXPECT_NE(music, nullptr) << Mix_GetError();
    if (music) Mix_FreeMusic(music);
    Mix_CloseAudio();
    SDL_Quit();

    OggVorbis_File vf;
    ASSERT_EQ(ov_fopen((MEDIA + "s.ogg").c_str(), &vf), 0);
    vorbis_info* vi = ov_info(&vf, -1);
    EXPECT_EQ(vi->rate, 44100);
    ASSERT_EQ(vi->channels, 2);
    std::vector<int16_t> pcm;
    char buf[1 << 16];
    int section = 0;
    long got;
    while ((got = ov_read(&vf, buf, sizeof buf, 0, 2, 1, &section)) > 0)
        pcm.insert(pcm.end(), reinterpret_cast<int16_t*>(buf), reinterpret_cast<int16_t*>(buf + got));
    ov_clear(&vf);
    const size_t frames = pcm.size() / 2;
    // The whole timeline as heard, and at least two seconds of the end screen.
    const double timeline_s = TIMELINE_MS / 1000.0, late_s = MUSIC_HEARD_LATE_MS / 1000.0;
    ASSERT_GE(frames, size_t((timeline_s + 2.0) * 44100));

    int peak = 0;
    double side = 0, mid = 0;
    for (size_t i = 0; i < frames; ++i) {
        int l = pcm[2 * i], r = pcm[2 * i + 1];
        peak = std::max(peak, std::max(std::abs(l), std::abs(r)));
        side += double(l - r) * (l - r);
        mid += double(l + r) * (l + r);
    }
    // Peaks between -4 and -1 dBFS: loud, with the headroom a player's resampling needs.
    EXPECT_GE(peak, 20675) << "peaks below -4 dBFS";
    EXPECT_LE(peak, 29204) << "peaks above -1 dBFS";
    // The true peak, between the samples too, stays under -1 dBTP as decoded (a tenth of a dB to
    // spare for the difference from a meter's own interpolation filter).
    EXPECT_LE(true_peak_db(pcm), -1.1);
    // (L - R) carries over 3 % of the energy of (L + R): the two halves of the level bars and
    // neighbouring columns of the trace differ visibly, not just by codec noise.
    EXPECT_GT(side, 0.03 * mid) << "left and right are nearly the same";

    // Stretches of the track by when they are heard: elapsed ms on the timeline.
    auto frame_at = [&](double elapsed_s) {
        const double t = std::max(0.0, elapsed_s - late_s);
        return std::min(frames, size_t(t * 44100));
    };
    auto rms = [&](double from, double to) {
        const size_t a = frame_at(from), b = frame_at(to);
        double s = 0;
        for (size_t i = a; i < b; ++i) s += double(pcm[2 * i]) * pcm[2 * i] + double(pcm[2 * i + 1]) * pcm[2 * i + 1];
        return b > a ? std::sqrt(s / double(2 * (b - a))) / 32768.0 : 0.0;
    };
    auto dc = [&](double from, double to) {  // the larger channel mean, in full scales
        const size_t a = frame_at(from), b = frame_at(to);
        double l = 0, r = 0;
        for (size_t i = a; i < b; ++i) l += pcm[2 * i], r += pcm[2 * i + 1];
        return std::max(std::fabs(l), std::fabs(r)) / double(b - a) / 32768.0;
    };
    auto start_s = [](int n) { return schedule_start_ms[n] / 1000.0; };
    auto end_s = [&](int n) { return n + 1 < SCHEDULE_SIZE ? start_s(n + 1) : timeline_s + 2.0; };

    // Every entry is loud enough to move the level bars and the trace and carries no offset.
    for (int n = 0; n < SCHEDULE_SIZE; ++n) {
        const char* name = schedule[n].name;
        EXPECT_GT(rms(start_s(n), end_s(n)), 0.05) << "quiet: " << name;
        EXPECT_LT(dc(start_s(n), end_s(n)), 0.001) << "an offset above -60 dBFS: " << name;
    }
    const int scope = schedule_index("oscilloscope"), bars = schedule_index("level bars and walkers");
    EXPECT_GT(rms(start_s(scope), end_s(scope + 1)), 0.12) << "the oscilloscope needs a strong signal";
    EXPECT_GT(rms(start_s(bars), end_s(bars)), 0.12) << "the level bars need a strong signal";
    // The end screen's chord rings out: heard for seconds, fading all along, not cut off.
    const double end = start_s(SCHEDULE_SIZE - 1);
    const double ring[4] = {rms(end, end + 1), rms(end + 1, end + 2), rms(end + 2, end + 3), rms(end + 3, end + 4)};
    EXPECT_GT(ring[2], 0.01) << "the last chord is gone within two seconds";
    for (int k = 1; k < 4; ++k) EXPECT_LT(ring[k], ring[k - 1]) << "the last chord swells again " << k << " s in";
}

TEST(Media, DirectoryStaysUnderFiveMebibytes) {
    std::uintmax_t total = 0;
    for (const auto& entry : std::filesystem::directory_iterator(MEDIA))
        if (entry.is_regular_file()) total += entry.file_size();
    EXPECT_LT(total, std::uintmax_t(5) * 1024 * 1024);
}
