#include "support/headless.h"

#include "gfx/media_facts.h"

#include <stb_image_write.h>
#include <unistd.h>
#include <vorbis/vorbisenc.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;

HeadlessScreen::HeadlessScreen(Uint32 subsystems) {
    if (SDL_Init(subsystems) < 0) throw std::runtime_error(SDL_GetError());
    screen_ = SDL_SetVideoMode(SCREEN_W, SCREEN_H, SCREEN_BPP, SDL_FULLSCREEN);
    if (!screen_) throw std::runtime_error(SDL_GetError());
}

HeadlessScreen::~HeadlessScreen() { SDL_Quit(); }

Uint32 HeadlessScreen::rgb(int x, int y) const { return rgb_at(screen_, x, y); }

Uint32 rgb_at(const SDL_Surface* surface, int x, int y) {
    const int bytes = surface->format->BytesPerPixel;
    const Uint8* p = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch + x * bytes;
    Uint32 word = 0;
    std::memcpy(&word, p, static_cast<size_t>(bytes));  // little-endian host
    Uint8 r, g, b;
    SDL_GetRGB(word, surface->format, &r, &g, &b);
    return rgb(r, g, b);
}

void HeadlessScreen::fill(Uint8 r, Uint8 g, Uint8 b) {
    SDL_FillRect(screen_, nullptr, SDL_MapRGB(screen_->format, r, g, b));
}

Uint32 FakeClock::ticks() {
    const Uint32 t = now;
    now += step;
    ++reads;
    if (on_read) on_read(t);
    return t;
}

MediaDir::MediaDir() {
    // Under TMPDIR when it is set, as every scratch file of the tests.
    const char* tmpdir = std::getenv("TMPDIR");
    std::string templ = std::string(tmpdir && *tmpdir ? tmpdir : "/tmp") + "/zypho-media-XXXXXX";
    if (!mkdtemp(templ.data())) throw std::runtime_error("mkdtemp in " + templ + ": " + std::strerror(errno));
    root_ = templ;
    fs::create_directory(root_ + "/Media");
    previous_cwd_ = fs::current_path().string();
    fs::current_path(root_);
}

MediaDir::~MediaDir() {
    std::error_code ignored;
    fs::current_path(previous_cwd_, ignored);
    fs::remove_all(root_, ignored);
}

std::string MediaDir::path(const std::string& name) const { return root_ + "/Media/" + name; }

void MediaDir::write_png(const std::string& name, int w, int h, const std::vector<Uint32>& argb,
                         bool alpha) const {
    const int channels = alpha ? 4 : 3;
    std::vector<unsigned char> bytes(static_cast<size_t>(w) * h * channels);
    for (size_t i = 0; i < argb.size() && i < static_cast<size_t>(w) * h; ++i) {
        const Uint32 p = argb[i];
        unsigned char* out = &bytes[i * channels];
        out[0] = (p >> 16) & 0xFF;
        out[1] = (p >> 8) & 0xFF;
        out[2] = p & 0xFF;
        if (alpha) out[3] = (p >> 24) & 0xFF;
    }
    if (!stbi_write_png(path(name).c_str(), w, h, channels, bytes.data(), w * channels))
        throw std::runtime_error("cannot write " + name);
}

void MediaDir::write_solid(const std::string& name, int w, int h, Uint32 colour) const {
    write_png(name, w, h, std::vector<Uint32>(static_cast<size_t>(w) * h, colour));
}

void MediaDir::write_strip(const std::string& name, int frame_w, int h, int k) const {
    std::vector<Uint32> px(static_cast<size_t>(frame_w) * k * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < frame_w * k; ++x) px[y * frame_w * k + x] = 0xFF000000 | frame_colour(x / frame_w);
    write_png(name, frame_w * k, h, px, true);
}

void MediaDir::write_glyph_sheet(const std::string& name, int cell_w, int cell_h) const {
    const int w = cell_w * 45;
    std::vector<Uint32> px(static_cast<size_t>(w) * cell_h);
    for (int y = 0; y < cell_h; ++y)
        for (int x = 0; x < w; ++x) {
            const int cx = x % cell_w;
            const bool border = cx == 0 || cx == cell_w - 1 || y == 0 || y == cell_h - 1;
            px[y * w + x] = border ? rgb(129, 255, 129) : cell_colour(x / cell_w);
        }
    write_png(name, w, cell_h, px);
}

void MediaDir::write_track(const std::string& name, double seconds) const {
    FILE* out = std::fopen(path(name).c_str(), "wb");
    if (!out) throw std::runtime_error("cannot write " + name);

    vorbis_info vi;
    vorbis_info_init(&vi);
    vorbis_encode_init_vbr(&vi, 2, 44100, 0.1f);
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block vb;
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 244243);

    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &codebooks);
    ogg_page page;
    auto write_pages = [&](bool flush) {
        while (flush ? ogg_stream_flush(&os, &page) : ogg_stream_pageout(&os, &page)) {
            std::fwrite(page.header, 1, page.header_len, out);
            std::fwrite(page.body, 1, page.body_len, out);
        }
    };
    write_pages(true);

    const long frames = static_cast<long>(seconds * 44100);
    const long chunk = 1024;
    for (long done = 0; done <= frames; done += chunk) {
        const long n = std::min(chunk, frames - done);
        if (n <= 0) {
            vorbis_analysis_wrote(&vd, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(n));
            for (long i = 0; i < n; ++i) {
                const double t = static_cast<double>(done + i) / 44100;
                buffer[0][i] = static_cast<float>(0.8 * std::sin(2 * M_PI * 440 * t));
                buffer[1][i] = static_cast<float>(0.5 * std::sin(2 * M_PI * 660 * t));
            }
            vorbis_analysis_wrote(&vd, static_cast<int>(n));
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                write_pages(false);
            }
        }
    }
    write_pages(true);

    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    std::fclose(out);
}

void MediaDir::write_all() const {
    // The shared pictures at their shipped sizes, each one colour the tests know it by (the keyed
    // scope canvas and TV frame wholly key colour); the background grey on its screen half and a
    // pattern of its coordinates on the hidden half.
    constexpr Uint32 colour[PICTURE_COUNT] = {
        rgb(200, 100, 50), rgb(KEY_R, KEY_G, KEY_B), rgb(10, 20, 200),  rgb(200, 20, 10),
        rgb(90, 60, 30),   rgb(30, 160, 90),         rgb(40, 40, 90),   rgb(90, 40, 40),
        rgb(50, 50, 50),   rgb(60, 120, 180),        rgb(180, 120, 60), rgb(KEY_R, KEY_G, KEY_B),
        rgb(20, 90, 20)};
    for (int p = 0; p < PICTURE_COUNT; ++p) {
        const PictureFacts& f = pictures[p];
        const std::string name = media::file_name(f.file);
        if (static_cast<Picture>(p) != Picture::background) {
            write_solid(name, f.w, f.h, colour[p]);
            continue;
        }
        std::vector<Uint32> fd(static_cast<std::size_t>(f.w) * f.h);
        for (int y = 0; y < f.h; ++y)
            for (int x = 0; x < f.w; ++x)
                fd[static_cast<std::size_t>(y) * f.w + x] =
                    x < SCREEN_W ? colour[p] : rgb(x & 0xFF, y & 0xFF, 77);
        write_png(name, f.w, f.h, fd);
    }
    for (int i = 0; i < STRIP_COUNT; ++i) write_strip(media::file_name(strip_files[i]), 32, 40, frames_in[i]);
    for (const FontKind* font : {&SMALL_FONT, &BIG_FONT})
        write_glyph_sheet(media::file_name(font->file), font->cell_w, font->cell_h);
    write_track(media::file_name(TRACK_FILE), 1.0);
}

Uint32 frame_colour(int frame) { return rgb(static_cast<Uint8>(20 + 20 * frame), 10, static_cast<Uint8>(250 - 20 * frame)); }

Uint32 cell_colour(int cell) { return rgb(static_cast<Uint8>(5 * cell + 1), static_cast<Uint8>(200 - 4 * cell), 7); }

SDL_Surface* make_rgb_surface(int w, int h, Uint32 fill_rgb) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
    if (s) SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, (fill_rgb >> 16) & 0xFF, (fill_rgb >> 8) & 0xFF, fill_rgb & 0xFF));
    return s;
}
