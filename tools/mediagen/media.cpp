#include "media.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <stdexcept>

#include "art.h"
#include "music.h"

namespace mg {

namespace {

Bytes keyed_png(const Image& img) { return encode_png(to_rgb_keyed(img), img.w, img.h, 3); }
Bytes opaque_png(const Image& img) { return encode_png(to_rgb(img), img.w, img.h, 3); }
Bytes alpha_png(const Image& img) { return encode_png(to_rgba(img), img.w, img.h, 4); }
Bytes jpeg(const Image& img, int quality) {
    return encode_jpeg(to_rgb(img), img.w, img.h, quality);
}

Bytes keyed_jpeg(const Image& img, int quality) {
    Bytes rgb = to_rgb_keyed(img);
    Bytes out = encode_jpeg(rgb, img.w, img.h, quality);
    std::string why = verify_keyed_jpeg(out, rgb, img.w, img.h);
    if (!why.empty()) throw std::runtime_error(why);
    return out;
}

bool ends_with(const std::string& s, const char* tail) {
    const std::string t(tail);
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

// A shared picture: drawn by `draw`, which must give the size the demo is laid out for, and
// encoded as its file name and key say (keyed pictures keep the key colour exact).
MediaFile picture(Picture p, Image (*draw)()) {
    const PictureFacts& f = facts(p);
    return {media::file_name(f.file), [p, draw, f] {
                const Image img = draw();
                if (img.w != f.w || img.h != f.h)
                    throw std::runtime_error(std::string(f.file) + " is drawn " +
                                             std::to_string(img.w) + " x " + std::to_string(img.h) +
                                             ", not " + std::to_string(f.w) + " x " +
                                             std::to_string(f.h));
                const bool png = ends_with(f.file, ".png");
                if (is_keyed(p)) return png ? keyed_png(img) : keyed_jpeg(img, 90);
                return png ? opaque_png(img) : jpeg(img, 88);
            }};
}

}  // namespace

std::string fingerprint_text(std::uint64_t fingerprint) {
    char text[20];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(fingerprint));
    return text;
}

std::string verify_keyed_jpeg(const Bytes& jpeg, const Bytes& keyed, int w, int h) {
    SDL_RWops* rw = SDL_RWFromConstMem(jpeg.data(), int(jpeg.size()));
    SDL_Surface* raw = IMG_Load_RW(rw, 1);
    if (!raw) return std::string("SDL_image cannot decode the JPEG: ") + IMG_GetError();
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_BlitSurface(raw, nullptr, s, nullptr);
    std::string why;
    if (raw->w != w || raw->h != h) why = "decoded size differs";
    for (int y = 0; y < h && why.empty(); ++y) {
        const Uint32* row =
            reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(s->pixels) + y * s->pitch);
        for (int x = 0; x < w; ++x) {
            size_t i = (size_t(y) * w + x) * 3;
            bool meant = keyed[i] == KEY_R && keyed[i + 1] == KEY_G && keyed[i + 2] == KEY_B;
            bool got =
                (row[x] & 0xFFFFFF) == ((Uint32(KEY_R) << 16) | (Uint32(KEY_G) << 8) | KEY_B);
            if (meant != got) {
                why = "key colour not exact at (" + std::to_string(x) + ", " + std::to_string(y) +
                      ")";
                break;
            }
        }
    }
    SDL_FreeSurface(s);
    SDL_FreeSurface(raw);
    return why;
}

std::vector<MediaFile> all_media() {
    return {
        picture(Picture::opening, picture_aa),
        picture(Picture::scope_canvas, scope_canvas),
        picture(Picture::lower_logo, logo_lower),
        picture(Picture::upper_logo, logo_upper),
        picture(Picture::sign, greet_sign),
        picture(Picture::shaking_left, speaker_left),
        picture(Picture::greetings_bg, picture_fa),
        picture(Picture::credits_bg, picture_fc),
        picture(Picture::background, picture_fd),
        picture(Picture::caption_tile, tile_fg),
        picture(Picture::shaking_right, speaker_right),
        picture(Picture::tv_frame, picture_tv),
        picture(Picture::shaking_bg, picture_fgj),
        {media::file_name(strip_files[Strip::sm]), [] { return alpha_png(strip_sm()); }},
        {media::file_name(strip_files[Strip::bi]), [] { return alpha_png(strip_bi()); }},
        {media::file_name(strip_files[Strip::bl]), [] { return alpha_png(strip_bl()); }},
        {media::file_name(strip_files[Strip::cra]), [] { return alpha_png(strip_cra()); }},
        {media::file_name(strip_files[Strip::crb]), [] { return alpha_png(strip_crb()); }},
        {media::file_name(strip_files[Strip::dm]), [] { return alpha_png(strip_dm()); }},
        {media::file_name(strip_files[Strip::st]), [] { return alpha_png(strip_st()); }},
        {media::file_name(strip_files[Strip::wm]), [] { return alpha_png(strip_wm()); }},
        {media::file_name(SMALL_FONT.file), [] { return keyed_png(glyph_sheet(false)); }},
        {media::file_name(BIG_FONT.file), [] { return keyed_png(glyph_sheet(true)); }},
        {media::file_name(TRACK_FILE),
         [] {
             const std::vector<int16_t> pcm = render_track();
             return encode_ogg(pcm, TRACK_QUALITY,
                               {{PCM_HASH_TAG, fingerprint_text(pcm_fingerprint(pcm))}});
         }},
    };
}

}  // namespace mg
