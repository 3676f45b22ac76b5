// Mock-ups of the scenes, for looking at the art the way a viewer sees it: every file is loaded
// with SDL_image from the media directory, keyed and blitted the way the demo does, onto a
// 640 × 480 picture that is written as PNG.

#include <SDL.h>
#include <SDL_image.h>
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "encode.h"
#include "output_file.h"
#include "preview.h"

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
    if (keyed) SDL_SetColorKey(s, SDL_SRCCOLORKEY, SDL_MapRGB(s->format, 129, 255, 129));
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

void draw_frame(int n, SDL_Surface* strip, int k, int x, int y) {
    if (!strip) return;
    int fw = strip->w / k;
    blit_cell(strip, x, y, fw, strip->h, n * fw, 0);
}

int glyph_index(int ch) {
    ch &= 0xFF;
    if (ch >= 'a' && ch <= 'v') return ch - 'a';
    if (ch >= 'x' && ch <= 'z') return 22 + ch - 'x';
    if (ch == 229) return 25;
    if (ch == 228) return 26;
    if (ch == 246) return 27;
    if (ch >= '1' && ch <= '9') return 29 + ch - '1';
    const char* marks = "0.!?/\\-";
    for (int i = 0; marks[i]; ++i)
        if (ch == marks[i]) return 38 + i;
    return 28;
}

void text(SDL_Surface* sheet, bool big, const char* s, int x, int y) {
    int cw = big ? 50 : 25, ch = big ? 100 : 31, adv = big ? 35 : 15;
    for (int i = 0; s[i]; ++i)
        blit_cell(sheet, x + i * adv, y, cw, ch, glyph_index(static_cast<unsigned char>(s[i])) * cw, 0);
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
    for (int b : {5, 15, 30, 45, 51, 61, 66, 81, 96, 106, 112, 122, 132, 137, 147, 162})
        for (int y = 0; y < H; y += 2) put(b * 8, y, 0, 215, 246);
    put_png("track.png", mg::encode_png(rgb, W, H, 3));
}

}  // namespace

mg::PreviewResult mg::write_previews(const std::string& media, const std::string& out) {
    g_media = media;
    g_out = out;
    g_result = PreviewResult{};
    g_screen = SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_Surface* aa = load("aa.jpg", false);
    SDL_Surface* ab = load("ab.png", true);
    SDL_Surface* ba = load("ba.png", true);
    SDL_Surface* bb = load("bb.png", true);
    SDL_Surface* ca = load("ca.png", true);
    SDL_Surface* ea = load("ea.png", false);
    SDL_Surface* fa = load("fa.jpg", false);
    SDL_Surface* fc = load("fc.jpg", false);
    SDL_Surface* fd = load("fd.jpg", false);
    SDL_Surface* fgp = load("fg.png", false);
    SDL_Surface* fh = load("fh.png", false);
    SDL_Surface* tv = load("tv.jpg", true);
    SDL_Surface* fgj = load("fg.jpg", false);
    const char* strip_names[8] = {"sm.png", "bi.png", "bl.png", "cra.png", "crb.png", "dm.png", "st.png", "wm.png"};
    const int frames[8] = {10, 9, 6, 4, 6, 5, 8, 5};
    SDL_Surface* strips[8];
    for (int i = 0; i < 8; ++i) strips[i] = load(strip_names[i], false);
    SDL_Surface* small = load("alpb.png", true);
    SDL_Surface* big = load("alp.png", true);

    // Opening picture, fully faded in.
    blit_at(aa, 0, 0);
    save("1-fade.png");

    // Falling logos at rest, with the captions.
    blit_at(fd, 0, 0);
    text(small, false, "everybody likes qrv", 25, 150);
    text(small, false, "from god and his angles", 55, 170);
    text(small, false, "to satan and his chords", 75, 190);
    blit_at(bb, 0, 0);
    blit_at(ba, 0, 326);
    save("2-logos.png");

    // Drifting stars under the logos.
    blit_at(fd, 0, 0);
    for (int i = 0; i < 40; ++i) {
        unsigned h = unsigned(i) * 2654435761u;
        draw_frame(int(h >> 5) % 8, strips[6], 8, int((h >> 8) % 690) - 50, int((h >> 17) % 401));
    }
    blit_at(bb, 0, 0);
    blit_at(ba, 0, 306);
    save("3-stars.png");

    // Bezier web: a few cream curves between the logos.
    blit_at(fd, 0, 0);
    for (int c = 0; c < 8; ++c) {
        for (int i = 0; i <= 400; ++i) {
            double t = i / 400.0, u = 1 - t;
            double x0 = 80 + 60 * c, y0 = 140, x3 = 560 - 50 * c, y3 = 420 - 30 * c;
            double x1 = 300, y1 = 40 + 40 * c, x2 = 100 + 50 * c, y2 = 460;
            double x = u * u * u * x0 + 3 * u * u * t * x1 + 3 * u * t * t * x2 + t * t * t * x3;
            double y = u * u * u * y0 + 3 * u * u * t * y1 + 3 * u * t * t * y2 + t * t * t * y3;
            SDL_Rect r{Sint16(x), Sint16(y), 1, 1};
            SDL_FillRect(g_screen, &r, SDL_MapRGB(g_screen->format, 248, 225, 170));
        }
    }
    blit_at(bb, 0, 0);
    blit_at(ba, 0, 306);
    save("4-web.png");

    // Walkers, mid-stride.
    blit_at(fd, 0, 0);
    draw_frame(1, strips[3], 4, 200, 150);
    draw_frame(3, strips[4], 6, 60, 200);
    draw_frame(2, strips[3], 4, 420, 150);
    draw_frame(5, strips[4], 6, 330, 200);
    save("5-walkers.png");

    // Reveal worm after two laps: the hidden picture along the figure eight.
    if (fd) {
        blit_at(fd, 0, 0);
        for (int p = 0; p < 1024; ++p) {
            double a = (p & 511) * 0.703125 * 0.0174532;
            int bx = int(std::sin(2 * a) * 245 + 312) + int(std::sin((p & 1023) * 0.3515625 * 0.0174532) * 15);
            int by = int(std::sin(a) * 150 + 232) + int(std::sin((p & 1023) * 0.3515625 * 0.0174532) * 15);
            blit_cell(fd, bx, by, 16, 16, bx + 640, by);
        }
        save("6-worm.png");
    }

    // Oscilloscope over the walker.
    blit_at(fd, 0, 0);
    draw_frame(2, strips[7], 5, 240, 150);
    if (ab) {
        SDL_Surface* canvas = SDL_ConvertSurface(ab, ab->format, ab->flags);
        SDL_SetColorKey(canvas, SDL_SRCCOLORKEY, SDL_MapRGB(canvas->format, 129, 255, 129));
        for (int i = 10; i < canvas->w - 10; ++i) {
            int v = int(14 * std::sin(i * 0.21) * std::cos(i * 0.033));
            for (int dx = -1; dx <= 1; ++dx) {
                SDL_Rect r{Sint16(i + dx), Sint16(100 + v), 1, 1};
                SDL_FillRect(canvas, &r, SDL_MapRGB(canvas->format, 248, 225, 170));
            }
        }
        for (int c = 0; c < 2; ++c) {
            int cx = c ? 100 : 50, rad = c ? 22 : 30;
            for (int y = -rad; y <= rad; ++y)
                for (int x = -rad; x <= rad; ++x)
                    if (x * x + y * y <= rad * rad) {
                        SDL_Rect r{Sint16(cx + x), Sint16(50 + y), 1, 1};
                        SDL_FillRect(canvas, &r, SDL_MapRGB(canvas->format, 200, 184, 146));
                    }
        }
        blit_at(canvas, 240, 150);
        SDL_FreeSurface(canvas);
    }
    save("7-scope.png");

    // Plasma behind the TV, first frame.
    {
        int table[512];
        for (int i = 0; i < 512; ++i) table[i] = int(std::sin(i * 0.703125 * 0.0174532) * 1024);
        for (int y = 0; y < 480; ++y) {
            Uint32* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(g_screen->pixels) + y * g_screen->pitch);
            for (int x = 0; x < 640; ++x) {
                int sum = table[y & 511] + table[(3 + 3 * x) & 511] + table[(5 + 5 * x) & 511] + table[(3 * y) & 511];
                row[x] = Uint32((sum >> 3) + 128);
            }
        }
        blit_at(tv, 0, 0);
        save("8-plasma.png");
    }

    // Level bars under the walkers.
    blit_at(fd, 0, 0);
    for (int x = 0; x < 640; ++x) {
        int l = int(100 * std::sin(x * 0.07) * std::sin(x * 0.011)), r = int(90 * std::sin(x * 0.05 + 1));
        SDL_Rect a{Sint16(x), Sint16(l < 0 ? 120 + l : 120), 1, Uint16(std::abs(l))};
        SDL_Rect b{Sint16(x), Sint16(r < 0 ? 360 + r : 360), 1, Uint16(std::abs(r))};
        SDL_FillRect(g_screen, &a, SDL_MapRGB(g_screen->format, 255, 255, 255));
        SDL_FillRect(g_screen, &b, SDL_MapRGB(g_screen->format, 255, 255, 255));
    }
    draw_frame(2, strips[3], 4, 300, 150);
    draw_frame(4, strips[4], 6, 200, 200);
    save("9-bars.png");

    // Greetings.
    blit_at(fa, 0, 0);
    {
        const char* names[4] = {"n1ghtc4p", "brodda", "#quietnightswitholdtoads", "#mooncraterclub"};
        const int base[4] = {10, 30, 30, 30}, ax[4] = {100, 200, 250, 300}, sy[4] = {100, 200, 100, 300};
        const double sw[4] = {0.5, -0.3, 0.9, -0.8};
        for (int i = 0; i < 4; ++i) {
            int swing = base[i] + int(30 * sw[i]);
            int x1 = ax[i] + swing + 10, y1 = sy[i] + 5;
            for (int k = 0; k <= 400; ++k) {
                SDL_Rect r{Sint16(ax[i] + (x1 - ax[i]) * k / 400), Sint16(y1 * k / 400), 1, 1};
                SDL_FillRect(g_screen, &r, 0);
            }
            blit_at(ca, ax[i] + swing, sy[i]);
            text(small, false, names[i], ax[i] + swing, sy[i] + (ca ? ca->h : 0));
        }
    }
    save("10-greets.png");

    // Credits.
    blit_at(fc, 0, 0);
    {
        const int xs[6] = {120, 300, 420, 200, 360, 250}, ys[6] = {150, 120, 300, 330, 200, 250};
        for (int i = 0; i < 6; ++i) draw_frame((i * 2) % 9, strips[1], 9, xs[i], ys[i]);
        const char* lines[6] = {"morvik - programming", "morvik - sound", "morvik - graphics",
                                "morvik - 3d", "morvik - ascii", "morvik = me"};
        const int ly[6] = {268, 150, 215, 330, 380, 300};
        for (int i = 0; i < 6; ++i) text(small, false, lines[i], 0, ly[i]);
    }
    save("11-credits.png");

    // Banner rows in the small font (the block art itself is the scene's).
    blit_at(fd, 0, 0);
    text(small, false, "  88888b.   888888b.  88b     d88", 5, 0);
    text(small, false, " 88'   '88  88   '88  '88b   d88'", 5, 31);
    text(small, false, "...............p.r.e.s.e.n.t.s..............", 5, 258);
    text(small, false, " zzzzz y   y ppppp h   h  000", 35, 299);
    text(small, false, "   zz   y y  p   p hhhhh 0   0", 35, 330);
    text(small, false, "abcdefghijklmnopqrstuvxyz\xe5\xe4\xf6", 35, 392);
    text(small, false, "1234567890.!?/\\- w#,", 35, 423);
    save("12-banner.png");

    // Shaking words.
    blit_at(fgj, 0, 0);
    blit_at(ea, -30 + 4, 100 - 3);
    blit_at(fh, 438 - 5, 123 + 6);
    {
        const char* w1 = "biaaatch";
        const char* w2 = "shaddapp";
        for (int i = 0; w1[i]; ++i) blit_cell(big, 352 + 3, 140 - 2 + 35 * i, 50, 100, glyph_index(w1[i]) * 50, 0);
        for (int i = 0; w2[i]; ++i) blit_cell(big, 392 - 4, 140 + 5 + 35 * i, 50, 100, glyph_index(w2[i]) * 50, 0);
    }
    save("13-shake.png");

    // Wavy caption over the tiles, with the sprite trio.
    if (fgp) {
        blit_at(fgp, 0, 0);
        blit_at(fgp, 0, fgp->h);
        blit_at(fgp, fgp->w, 0);
        blit_at(fgp, fgp->w, fgp->h);
    }
    text(big, true, "psajkadelic, huh?", 25, 140);
    draw_frame(3, strips[0], 10, 250, 250);
    draw_frame(2, strips[2], 6, 350, 250);
    draw_frame(1, strips[5], 5, 150, 250);
    save("14-wavy.png");

    // End screen.
    clear(0, 215, 246);
    text(big, true, "you can ", 230, 200);
    text(big, true, "press esc", 230, 250);
    text(big, true, "novv", 230, 300);
    save("15-end.png");

    // The strips frame by frame, doubled, on a checker board; and the glyph sheets.
    for (int i = 0; i < 8; ++i) {
        SDL_Surface* s = strips[i];
        if (!s) continue;
        for (int y = 0; y < 480; y += 16)
            for (int x = 0; x < 640; x += 16) {
                SDL_Rect r{Sint16(x), Sint16(y), 16, 16};
                SDL_FillRect(g_screen, &r, ((x + y) / 16) % 2 ? 0x606070 : 0x9090a0);
            }
        int fw = s->w / frames[i];
        int scale = 3;
        while (scale > 1) {
            int per_row = 632 / (fw * scale + 8);
            if (per_row > 0 && ((frames[i] + per_row - 1) / per_row) * (s->h * scale + 8) <= 472) break;
            --scale;
        }
        int cols = 632 / (fw * scale + 8);
        for (int f = 0; f < frames[i]; ++f) {
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
        save((std::string("strip-") + strip_names[i]).c_str());
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
    track_picture(g_media + "/s.ogg");
    return g_result;
}
