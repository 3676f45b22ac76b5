// zypho-mediagen: draws every picture, sprite strip and glyph sheet of the demo and composes its
// soundtrack, all from code, and writes them as the files of Media/.
//
//   zypho-mediagen OUTDIR [NAME...]      write the media (or only the named files) into OUTDIR
//   zypho-mediagen --check DIR           regenerate in memory and compare with the files in DIR
//   zypho-mediagen --preview MEDIA OUT   write PNG views of MEDIA's strips, glyph sheets and track
//
// The output is deterministic: the same build writes the same bytes every time. --check accepts a
// file whose bytes differ only when its decoded content is the same (a different zlib, libjpeg or
// libvorbis release may pack the same pixels or samples differently): PNG pixels must match
// exactly, JPEG pixels within a small tolerance, and the track must keep its format and length.

#include <SDL.h>
#include <SDL_image.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "media.h"
#include "preview.h"

namespace {

using mg::Bytes;

bool read_file(const std::string& path, Bytes& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool write_file(const std::string& path, const Bytes& data) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    return bool(out);
}

bool ends_with(const std::string& s, const char* tail) {
    std::string t(tail);
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

// The image as 32-bit 0xAARRGGBB words (alpha 255 for images without alpha), or empty.
std::vector<Uint32> decode_image(const Bytes& data, int& w, int& h, bool& has_alpha) {
    SDL_Surface* raw = IMG_Load_RW(SDL_RWFromConstMem(data.data(), int(data.size())), 1);
    if (!raw) return {};
    w = raw->w;
    h = raw->h;
    has_alpha = raw->format->Amask != 0;
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u);
    SDL_SetAlpha(raw, 0, 255);  // copy the alpha channel as it is, no blending
    SDL_BlitSurface(raw, nullptr, s, nullptr);
    std::vector<Uint32> px(size_t(w) * h);
    for (int y = 0; y < h; ++y) {
        const Uint32* row = reinterpret_cast<const Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch);
        for (int x = 0; x < w; ++x) px[size_t(y) * w + x] = has_alpha ? row[x] : (row[x] | 0xFF000000u);
    }
    SDL_FreeSurface(s);
    SDL_FreeSurface(raw);
    return px;
}

struct TrackInfo {
    long rate = 0;
    int channels = 0;
    long long frames = 0;
};

bool probe_track(const Bytes& data, TrackInfo& info) {
    struct Source {
        const Bytes* d;
        size_t pos;
    } src{&data, 0};
    ov_callbacks cb{};
    cb.read_func = [](void* ptr, size_t size, size_t n, void* ds) -> size_t {
        Source* s = static_cast<Source*>(ds);
        size_t want = size * n, left = s->d->size() - s->pos, k = want < left ? want : left;
        std::copy(s->d->begin() + long(s->pos), s->d->begin() + long(s->pos + k), static_cast<uint8_t*>(ptr));
        s->pos += k;
        return size ? k / size : 0;
    };
    OggVorbis_File vf;
    if (ov_open_callbacks(&src, &vf, nullptr, 0, cb) != 0) return false;
    vorbis_info* vi = ov_info(&vf, -1);
    info.rate = vi->rate;
    info.channels = vi->channels;
    info.frames = ov_pcm_total(&vf, -1);
    ov_clear(&vf);
    return true;
}

// "" when the regenerated file matches the committed one, else why not.
std::string compare(const std::string& name, const Bytes& fresh, const Bytes& kept) {
    if (fresh == kept) return "";
    if (ends_with(name, ".ogg")) {
        TrackInfo a, b;
        if (!probe_track(fresh, a) || !probe_track(kept, b)) return "track does not decode";
        if (a.rate != b.rate || a.channels != b.channels || a.frames != b.frames)
            return "track format or length differs";
        return "";
    }
    int wa, ha, wb, hb;
    bool aa, ab;
    std::vector<Uint32> pa = decode_image(fresh, wa, ha, aa), pb = decode_image(kept, wb, hb, ab);
    if (pa.empty() || pb.empty()) return "image does not decode";
    if (wa != wb || ha != hb || aa != ab) return "image size or format differs";
    long long total = 0;
    int worst = 0;
    for (size_t i = 0; i < pa.size(); ++i) {
        for (int shift = 0; shift < 32; shift += 8) {
            int d = std::abs(int((pa[i] >> shift) & 0xFF) - int((pb[i] >> shift) & 0xFF));
            total += d;
            if (d > worst) worst = d;
        }
    }
    if (ends_with(name, ".png")) return worst == 0 ? "" : "pixels differ";
    double mean = double(total) / double(pa.size() * 3);
    return (worst <= 24 && mean <= 1.0) ? "" : "decoded pictures differ";
}

int usage() {
    std::fprintf(stderr,
                 "usage: zypho-mediagen OUTDIR [NAME...]\n"
                 "       zypho-mediagen --check DIR\n"
                 "       zypho-mediagen --preview MEDIA_DIR OUT_DIR\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    std::string first = argv[1];
    if (first == "--preview") return argc == 4 ? (write_previews(argv[2], argv[3]) > 0 ? 0 : 1) : usage();
    bool check = first == "--check";
    if (check && argc != 3) return usage();
    std::string dir = check ? argv[2] : first;
    std::vector<std::string> only(argv + (check ? 3 : 2), argv + argc);

    int failures = 0;
    for (const mg::MediaFile& f : mg::all_media()) {
        if (!only.empty() && std::find(only.begin(), only.end(), f.name) == only.end()) continue;
        auto t0 = std::chrono::steady_clock::now();
        Bytes data;
        try {
            data = f.make();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s: %s\n", f.name.c_str(), e.what());
            ++failures;
            continue;
        }
        double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        std::string path = dir + "/" + f.name;
        if (check) {
            Bytes kept;
            std::string why = read_file(path, kept) ? compare(f.name, data, kept) : "missing";
            std::printf("%-9s %s\n", f.name.c_str(),
                        why.empty() ? (data == kept ? "same bytes" : "same content") : why.c_str());
            if (!why.empty()) ++failures;
        } else {
            if (!write_file(path, data)) {
                std::fprintf(stderr, "cannot write %s\n", path.c_str());
                ++failures;
                continue;
            }
            std::printf("%-9s %8zu bytes  %7.0f ms\n", f.name.c_str(), data.size(), ms);
        }
    }
    if (check) std::printf("%s\n", failures ? "media differ from the generator's output" : "media reproduced");
    return failures ? 1 : 0;
}
