// Views of the media that only the generator makes: each sprite strip frame by frame, the glyph
// sheets, the keyed TV picture, the hidden half of the background, and the track as a
// spectrogram with the timeline's bounds marked. The scenes themselves are the demo's to show:
// zypho-capture records them (--contact-sheet for one frame of each).

#include "preview.h"

#include <SDL.h>
#include <SDL_image.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "encode.h"
#include "gfx/media_facts.h"
#include "output_file.h"
#include "shell/schedule.h"

namespace {

constexpr int VIEW_W = 640, VIEW_H = 480;  // px: every view but the track's is one screen
constexpr int MARGIN = 8;                  // px around and between the frames of a strip view

Uint32& pixel(SDL_Surface* s, int x, int y) {
    return reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch)[x];
}

// Writes the views into one folder, drawing each on one 32-bit surface and saving it as a PNG.
// Files that cannot be read or written are skipped and reported in the result.
class Previewer {
public:
    Previewer(const std::string& media_dir, const std::string& out_dir)
        : media_(media_dir), out_(out_dir) {}
    ~Previewer() { SDL_FreeSurface(view_); }
    Previewer(const Previewer&) = delete;
    Previewer& operator=(const Previewer&) = delete;

    mg::PreviewResult run();

private:
    SDL_Surface* load(const char* name, bool keyed);
    void put_png(const std::string& name, const mg::Bytes& png);
    void save(const std::string& name);
    void clear(Uint8 r, Uint8 g, Uint8 b);
    void paste(SDL_Surface* image, int x, int y);
    void paste_cell(SDL_Surface* image, int x, int y, int w, int h, int sx, int sy);
    void strip_view(SDL_Surface* strip, int frames);
    void small_sheet_zoom(SDL_Surface* small);
    void track_picture(const std::string& path);

    std::string media_, out_;
    SDL_Surface* view_ = nullptr;
    mg::PreviewResult result_;
};

SDL_Surface* Previewer::load(const char* name, bool keyed) {
    SDL_Surface* s = IMG_Load((media_ + "/" + name).c_str());
    if (!s) {
        result_.errors.push_back("cannot read '" + media_ + "/" + name + "': " + IMG_GetError());
        return nullptr;
    }
    if (keyed) SDL_SetColorKey(s, SDL_SRCCOLORKEY, SDL_MapRGB(s->format, KEY_R, KEY_G, KEY_B));
    return s;
}

void Previewer::put_png(const std::string& name, const mg::Bytes& png) {
    std::string error;
    if (write_file_atomically(out_ + "/" + name, png.data(), png.size(), error))
        ++result_.written;
    else
        result_.errors.push_back(error);
}

void Previewer::save(const std::string& name) {
    mg::Bytes rgb(size_t(VIEW_W) * VIEW_H * 3);
    for (int y = 0; y < VIEW_H; ++y)
        for (int x = 0; x < VIEW_W; ++x) {
            const Uint32 p = pixel(view_, x, y);
            Uint8* out = &rgb[(size_t(y) * VIEW_W + x) * 3];
            out[0] = Uint8(p >> 16);
            out[1] = Uint8(p >> 8);
            out[2] = Uint8(p);
        }
    put_png(name, mg::encode_png(rgb, VIEW_W, VIEW_H, 3));
}

void Previewer::clear(Uint8 r, Uint8 g, Uint8 b) {
    SDL_FillRect(view_, nullptr, SDL_MapRGB(view_->format, r, g, b));
}

void Previewer::paste(SDL_Surface* image, int x, int y) {
    if (!image) return;
    SDL_Rect d{Sint16(x), Sint16(y), 0, 0};
    SDL_BlitSurface(image, nullptr, view_, &d);
}

void Previewer::paste_cell(SDL_Surface* image, int x, int y, int w, int h, int sx, int sy) {
    if (!image) return;
    SDL_Rect s{Sint16(sx), Sint16(sy), Uint16(w), Uint16(h)};
    SDL_Rect d{Sint16(x), Sint16(y), 0, 0};
    SDL_BlitSurface(image, &s, view_, &d);
}

// A strip's frames side by side on a checker board, each enlarged by the largest factor up to 3
// at which they all fit, blended by their alpha. The strips are 32-bit RGBA.
void Previewer::strip_view(SDL_Surface* strip, int frames) {
    for (int y = 0; y < VIEW_H; y += 16)
        for (int x = 0; x < VIEW_W; x += 16) {
            SDL_Rect square{Sint16(x), Sint16(y), 16, 16};
            SDL_FillRect(view_, &square, ((x + y) / 16) % 2 ? 0x606070 : 0x9090a0);
        }
    const int fw = strip->w / frames;
    const int room_w = VIEW_W - MARGIN, room_h = VIEW_H - MARGIN;
    int scale = 3;
    for (; scale > 1; --scale) {
        const int per_row = room_w / (fw * scale + MARGIN);
        if (per_row > 0 &&
            ((frames + per_row - 1) / per_row) * (strip->h * scale + MARGIN) <= room_h)
            break;
    }
    const int per_row = room_w / (fw * scale + MARGIN);
    if (per_row <= 0 || strip->format->BytesPerPixel != 4) return;

    SDL_LockSurface(strip);
    for (int f = 0; f < frames; ++f) {
        const int ox = (f % per_row) * (fw * scale + MARGIN) + MARGIN;
        const int oy = (f / per_row) * (strip->h * scale + MARGIN) + MARGIN;
        for (int y = 0; y < strip->h; ++y)
            for (int x = 0; x < fw; ++x) {
                Uint8 r, g, b, a;
                SDL_GetRGBA(pixel(strip, f * fw + x, y), strip->format, &r, &g, &b, &a);
                if (a < 8) continue;
                const auto over = [a](Uint8 src, Uint32 dst) {
                    return Uint32((src * a + (dst & 0xFF) * (255 - a)) / 255);
                };
                for (int yy = 0; yy < scale; ++yy)
                    for (int xx = 0; xx < scale; ++xx) {
                        const int px = ox + x * scale + xx, py = oy + y * scale + yy;
                        if (px >= VIEW_W || py >= VIEW_H) continue;
                        Uint32& d = pixel(view_, px, py);
                        d = (over(r, d >> 16) << 16) | (over(g, d >> 8) << 8) | over(b, d);
                    }
            }
    }
    SDL_UnlockSurface(strip);
}

// The small glyph sheet magnified three times in three bands of cells (0-16, 17-33, 34-44); the
// part of a band past the right edge goes on below, 300 px down.
void Previewer::small_sheet_zoom(SDL_Surface* small) {
    constexpr int ZOOM = 3, CELLS_PER_BAND = 17, BAND_H = 100;
    const int band_w = CELLS_PER_BAND * SMALL_FONT.cell_w * ZOOM;  // 1275 px
    const int bpp = small->format->BytesPerPixel;
    SDL_LockSurface(small);
    for (int y = 0; y < SMALL_FONT.cell_h * ZOOM; ++y)
        for (int band = 0; band < 3; ++band)
            for (int x = 0; x < band_w; ++x) {
                const int sx = band * CELLS_PER_BAND * SMALL_FONT.cell_w + x / ZOOM, sy = y / ZOOM;
                if (sx >= small->w || sy >= small->h) continue;
                const Uint8* p = static_cast<Uint8*>(small->pixels) + sy * small->pitch + sx * bpp;
                Uint32 v = 0;
                for (int k = 0; k < bpp && k < 3; ++k) v |= Uint32(p[k]) << (8 * k);
                Uint8 r, g, b;
                SDL_GetRGB(v, small->format, &r, &g, &b);
                int dx = x, dy = band * BAND_H + y;
                if (dx >= VIEW_W) {
                    dx -= VIEW_W;
                    dy += 3 * BAND_H;
                }
                if (dy >= VIEW_H || dx >= VIEW_W) continue;
                pixel(view_, dx, dy) = (Uint32(r) << 16) | (Uint32(g) << 8) | b;
            }
    SDL_UnlockSurface(small);
}

// The track as a picture: a spectrogram (time across, 40 Hz to 12 kHz upwards on a log scale,
// one column per 16th note) over the left and right levels, with the timeline's bounds marked.
void Previewer::track_picture(const std::string& path) {
    OggVorbis_File vf;
    if (ov_fopen(path.c_str(), &vf) != 0) {
        result_.errors.push_back("cannot read '" + path + "' as Ogg Vorbis");
        return;
    }
    std::vector<float> mono, left, right;
    char buf[1 << 16];
    int section = 0;
    long got;
    while ((got = ov_read(&vf, buf, sizeof buf, 0, 2, 1, &section)) > 0) {
        const short* p = reinterpret_cast<const short*>(buf);
        for (long i = 0; i + 1 < got / 2; i += 2) {
            left.push_back(p[i] / 32768.0f);
            right.push_back(p[i + 1] / 32768.0f);
            mono.push_back((p[i] + p[i + 1]) / 65536.0f);
        }
    }
    ov_clear(&vf);
    const int hop = 44100 / 8, win = 2048, rows = 240, level_h = 60;
    const int cols = int(mono.size()) / hop;
    const int W = cols, H = rows + 2 * level_h + 4;
    mg::Bytes rgb(size_t(W) * H * 3, 0);
    auto put = [&](int x, int y, int r, int g, int b) {
        if (x < 0 || y < 0 || x >= W || y >= H) return;
        size_t i = (size_t(y) * W + x) * 3;
        rgb[i] = Uint8(r);
        rgb[i + 1] = Uint8(g);
        rgb[i + 2] = Uint8(b);
    };
    std::vector<double> coef(rows);
    for (int r = 0; r < rows; ++r) {
        double f = 40.0 * std::pow(12000.0 / 40.0, double(r) / (rows - 1));
        coef[r] = 2 * std::cos(2 * M_PI * f / 44100);
    }
    for (int c = 0; c < cols; ++c) {
        size_t s0 = size_t(c) * hop;
        for (int r = 0; r < rows; ++r) {  // Goertzel, Hann window
            double q1 = 0, q2 = 0;
            for (int k = 0; k < win && s0 + size_t(k) < mono.size(); ++k) {
                double w = 0.5 - 0.5 * std::cos(2 * M_PI * k / win);
                double q0 = coef[r] * q1 - q2 + mono[s0 + size_t(k)] * w;
                q2 = q1;
                q1 = q0;
            }
            double power = q1 * q1 + q2 * q2 - coef[r] * q1 * q2;
            double db = 10 * std::log10(power + 1e-12);
            double v = std::max(0.0, std::min(1.0, (db + 10) / 60));
            put(c, rows - 1 - r, int(255 * std::min(1.0, v * 1.6)), int(255 * v * v),
                int(120 * (1 - v) * v * 3));
        }
        for (int ch = 0; ch < 2; ++ch) {
            const std::vector<float>& src = ch ? right : left;
            double sum = 0;
            for (int k = 0; k < hop && s0 + size_t(k) < src.size(); ++k)
                sum += double(src[s0 + size_t(k)]) * src[s0 + size_t(k)];
            int h = int(std::sqrt(sum / hop) * 2.5 * level_h);
            for (int y = 0; y < std::min(h, level_h); ++y)
                put(c, rows + 2 + ch * (level_h + 2) + level_h - 1 - y, 255, 255, 255);
        }
    }
    for (int n = 1; n < SCHEDULE_SIZE; ++n)  // 8 columns per second
        for (int y = 0; y < H; y += 2) put(schedule_start_ms[n] * 8 / 1000, y, 0, 215, 246);
    put_png("track.png", mg::encode_png(rgb, W, H, 3));
}

mg::PreviewResult Previewer::run() {
    view_ = SDL_CreateRGBSurface(SDL_SWSURFACE, VIEW_W, VIEW_H, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    if (!view_) {
        result_.errors.push_back(std::string("cannot make the drawing surface: ") + SDL_GetError());
        return result_;
    }
    SDL_Surface* fd = load(media::file_name(facts(Picture::background).file), false);
    SDL_Surface* tv = load(media::file_name(facts(Picture::tv_frame).file), true);
    SDL_Surface* strips[STRIP_COUNT];
    for (int i = 0; i < STRIP_COUNT; ++i) strips[i] = load(media::file_name(strip_files[i]), false);
    SDL_Surface* small = load(media::file_name(SMALL_FONT.file), true);
    SDL_Surface* big = load(media::file_name(BIG_FONT.file), true);

    for (int i = 0; i < STRIP_COUNT; ++i) {
        if (!strips[i]) continue;
        strip_view(strips[i], frames_in[i]);
        save(std::string("strip-") + media::file_name(strip_files[i]));
    }
    // Both glyph sheets cut into screen-wide rows.
    clear(40, 40, 60);
    for (int row = 0; row < 2; ++row)
        paste_cell(small, 0, row * 36, VIEW_W, SMALL_FONT.cell_h, row * VIEW_W, 0);
    for (int row = 0; row < 4; ++row)
        paste_cell(big, 0, 76 + row * 101, VIEW_W, BIG_FONT.cell_h, row * VIEW_W, 0);
    save("sheets.png");
    clear(40, 40, 60);
    if (small) small_sheet_zoom(small);
    save("sheet-small-zoom.png");
    // The TV set keyed over violet, then the background's hidden half.
    clear(120, 60, 140);
    paste(tv, 0, 0);
    save("tv-keyed.png");
    paste_cell(fd, 0, 0, VIEW_W, VIEW_H, VIEW_W, 0);
    save("fd-hidden.png");
    track_picture(media_ + "/" + media::file_name(TRACK_FILE));

    for (SDL_Surface* image : {fd, tv, small, big}) SDL_FreeSurface(image);
    for (SDL_Surface* strip : strips) SDL_FreeSurface(strip);
    return result_;
}

}  // namespace

mg::PreviewResult mg::write_previews(const std::string& media_dir, const std::string& out_dir) {
    return Previewer(media_dir, out_dir).run();
}
