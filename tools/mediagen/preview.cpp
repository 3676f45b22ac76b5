// Views of the media that only the generator makes: each sprite strip frame by frame, the glyph
// sheets, the keyed TV picture, the hidden half of the background, and the track as a
// spectrogram with the timeline's bounds marked. The scenes themselves are the demo's to show:
// zypho-capture records them (--contact-sheet for one frame of each).

#include "preview.h"

#include <SDL.h>
#include <SDL_image.h>
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "encode.h"
#include "output_file.h"
#include "gfx/media_facts.h"
#include "shell/schedule.h"

namespace {

std::string g_media, g_out;
SDL_Surface* g_screen = nullptr;
mg::PreviewResult g_result;

SDL_Surface* load(const char* name, bool keyed) {
    SDL_Surface* s = IMG_Load((g_media + "/" + name).c_str());
    if (!s) {
        g_result.errors.push_back("cannot read '" + g_media + "/" + name + "': " + IMG_GetError());
        return nullptr;
    }
    if (keyed) SDL_SetColorKey(s, SDL_SRCCOLORKEY, SDL_MapRGB(s->format, KEY_R, KEY_G, KEY_B));
    return s;
}

void blit_at(SDL_Surface* img, int x, int y) {
    if (!img) return;
    SDL_Rect d{Sint16(x), Sint16(y), 0, 0};
    SDL_BlitSurface(img, nullptr, g_screen, &d);
}

void blit_cell(SDL_Surface* img, int x, int y, int w, int h, int sx, int sy) {
    if (!img) return;
    SDL_Rect s{Sint16(sx), Sint16(sy), Uint16(w), Uint16(h)};
    SDL_Rect d{Sint16(x), Sint16(y), 0, 0};
    SDL_BlitSurface(img, &s, g_screen, &d);
}

void put_png(const std::string& name, const mg::Bytes& png) {
    std::string error;
    if (write_file_atomically(g_out + "/" + name, png.data(), png.size(), error))
        ++g_result.written;
    else
        g_result.errors.push_back(error);
}

void save(const char* name) {
    mg::Bytes rgb(640 * 480 * 3);
    for (int y = 0; y < 480; ++y) {
        const Uint32* row = reinterpret_cast<const Uint32*>(static_cast<Uint8*>(g_screen->pixels) + y * g_screen->pitch);
        for (int x = 0; x < 640; ++x) {
            rgb[(y * 640 + x) * 3] = Uint8(row[x] >> 16);
            rgb[(y * 640 + x) * 3 + 1] = Uint8(row[x] >> 8);
            rgb[(y * 640 + x) * 3 + 2] = Uint8(row[x]);
        }
    }
    put_png(name, mg::encode_png(rgb, 640, 480, 3));
}

void clear(Uint8 r, Uint8 g, Uint8 b) { SDL_FillRect(g_screen, nullptr, SDL_MapRGB(g_screen->format, r, g, b)); }

// The track as a picture: a spectrogram (time across, 40 Hz to 12 kHz upwards on a log scale,
// one column per 16th note) over the left and right levels, with the timeline's bounds marked.
void track_picture(const std::string& path) {
    OggVorbis_File vf;
    if (ov_fopen(path.c_str(), &vf) != 0) {
        g_result.errors.push_back("cannot read '" + path + "' as Ogg Vorbis");
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
            put(c, rows - 1 - r, int(255 * std::min(1.0, v * 1.6)), int(255 * v * v), int(120 * (1 - v) * v * 3));
        }
        for (int ch = 0; ch < 2; ++ch) {
            const std::vector<float>& src = ch ? right : left;
            double sum = 0;
            for (int k = 0; k < hop && s0 + size_t(k) < src.size(); ++k) sum += double(src[s0 + size_t(k)]) * src[s0 + size_t(k)];
            int h = int(std::sqrt(sum / hop) * 2.5 * level_h);
            for (int y = 0; y < std::min(h, level_h); ++y) put(c, rows + 2 + ch * (level_h + 2) + level_h - 1 - y, 255, 255, 255);
        }
    }
    for (int n = 1; n < SCHEDULE_SIZE; ++n)  // 8 columns per second
        for (int y = 0; y < H; y += 2) put(schedule_start_ms[n] * 8 / 1000, y, 0, 215, 246);
    put_png("track.png", mg::encode_png(rgb, W, H, 3));
}

}  // namespace

mg::PreviewResult mg::write_previews(const std::string& media_dir, const std::string& out_dir) {
    g_media = media_dir;
    g_out = out_dir;
    g_result = PreviewResult{};
    g_screen = SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    if (!g_screen) {
        g_result.errors.push_back(std::string("cannot make the drawing surface: ") + SDL_GetError());
        return g_result;
    }
    SDL_Surface* fd = load("fd.jpg", false);
    SDL_Surface* tv = load("tv.jpg", true);
    SDL_Surface* strips[STRIP_COUNT];
    for (int i = 0; i < STRIP_COUNT; ++i) strips[i] = load(media::file_name(strip_files[i]), false);
    SDL_Surface* small = load(media::file_name(SMALL_FONT.file), true);
    SDL_Surface* big = load(media::file_name(BIG_FONT.file), true);

    // The strips frame by frame, doubled, on a checker board; and the glyph sheets.
    for (int i = 0; i < 8; ++i) {
        SDL_Surface* s = strips[i];
        if (!s) continue;
        for (int y = 0; y < 480; y += 16)
            for (int x = 0; x < 640; x += 16) {
                SDL_Rect r{Sint16(x), Sint16(y), 16, 16};
                SDL_FillRect(g_screen, &r, ((x + y) / 16) % 2 ? 0x606070 : 0x9090a0);
            }
        int fw = s->w / frames_in[i];
        int scale = 3;
        while (scale > 1) {
            int per_row = 632 / (fw * scale + 8);
            if (per_row > 0 && ((frames_in[i] + per_row - 1) / per_row) * (s->h * scale + 8) <= 472) break;
            --scale;
        }
        int cols = 632 / (fw * scale + 8);
        for (int f = 0; f < frames_in[i]; ++f) {
            int ox = (f % cols) * (fw * scale + 8) + 8, oy = (f / cols) * (s->h * scale + 8) + 8;
            SDL_LockSurface(s);
            for (int y = 0; y < s->h; ++y)
                for (int x = 0; x < fw; ++x) {
                    Uint32 p = *reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch + (f * fw + x) * 4);
                    Uint8 r, g, b, a;
                    SDL_GetRGBA(p, s->format, &r, &g, &b, &a);
                    if (a < 8) continue;
                    for (int yy = 0; yy < scale; ++yy)
                        for (int xx = 0; xx < scale; ++xx) {
                            int px = ox + x * scale + xx, py = oy + y * scale + yy;
                            if (px >= 640 || py >= 480) continue;
                            Uint32* d = reinterpret_cast<Uint32*>(static_cast<Uint8*>(g_screen->pixels) + py * g_screen->pitch) + px;
                            Uint8 dr = Uint8(*d >> 16), dg = Uint8(*d >> 8), db = Uint8(*d);
                            *d = (Uint32((r * a + dr * (255 - a)) / 255) << 16) | (Uint32((g * a + dg * (255 - a)) / 255) << 8) |
                                 Uint32((b * a + db * (255 - a)) / 255);
                        }
                }
            SDL_UnlockSurface(s);
        }
        save((std::string("strip-") + media::file_name(strip_files[i])).c_str());
    }
    clear(40, 40, 60);
    for (int row = 0; row < 2; ++row) blit_cell(small, 0, row * 36, 640, 31, row * 640, 0);
    for (int row = 0; row < 4; ++row) blit_cell(big, 0, 76 + row * 101, 640, 100, row * 640, 0);
    save("sheets.png");
    // The small sheet magnified three times, cells 0..16 and 17..33 and 34..44.
    clear(40, 40, 60);
    if (small) {
        SDL_LockSurface(small);
        for (int y = 0; y < 31 * 3; ++y)
            for (int band = 0; band < 3; ++band)
                for (int x = 0; x < 17 * 25 * 3 && x < 640 * 2; ++x) {
                    int sx = band * 17 * 25 + x / 3, sy = y / 3;
                    if (sx >= small->w || x >= 1275) continue;
                    const Uint8* p = static_cast<Uint8*>(small->pixels) + sy * small->pitch + sx * small->format->BytesPerPixel;
                    Uint32 v = p[0] | (p[1] << 8) | (p[2] << 16);
                    Uint8 r, g, b;
                    SDL_GetRGB(v, small->format, &r, &g, &b);
                    int dx = x, dy = band * 100 + y;
                    if (dx >= 640) { dx -= 640; dy += 300; }
                    if (dy >= 480 || dx >= 640) continue;
                    Uint32* d = reinterpret_cast<Uint32*>(static_cast<Uint8*>(g_screen->pixels) + dy * g_screen->pitch) + dx;
                    *d = (Uint32(r) << 16) | (Uint32(g) << 8) | b;
                }
        SDL_UnlockSurface(small);
    }
    save("sheet-small-zoom.png");
    clear(120, 60, 140);
    blit_at(tv, 0, 0);
    save("tv-keyed.png");
    blit_cell(fd, 0, 0, 640, 480, 640, 0);
    save("fd-hidden.png");
    track_picture(g_media + "/" + media::file_name(TRACK_FILE));
    for (SDL_Surface* image : {fd, tv, small, big}) SDL_FreeSurface(image);
    for (SDL_Surface* strip : strips) SDL_FreeSurface(strip);
    SDL_FreeSurface(g_screen);
    g_screen = nullptr;
    return g_result;
}
