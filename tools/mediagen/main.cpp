// zypho-mediagen: draws every picture, sprite strip and glyph sheet of the demo and composes its
// soundtrack, all from code, and writes them as the files of Media/.
//
//   zypho-mediagen OUTDIR [NAME...]        write the media (or only the named files) into OUTDIR
//   zypho-mediagen --check DIR [NAME...]   regenerate in memory and compare with the files in DIR
//   zypho-mediagen --preview MEDIA OUT     write PNG views of MEDIA's strips, glyph sheets and
//   track
//
// The output is deterministic: the same build writes the same bytes every time. --check accepts a
// file whose bytes differ only when its decoded content is the same (a different zlib, libjpeg or
// libvorbis release may pack the same pixels or samples differently): PNG pixels must match
// exactly, JPEG pixels within a small tolerance; the track must keep its format and length, carry
// the fingerprint of the very samples the generator renders (kept in its comments), and decode to
// samples that differ from the generator's by no more than codec noise.

#include <SDL.h>
#include <SDL_image.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "command_line.h"
#include "media.h"
#include "music.h"
#include "output_file.h"
#include "preview.h"

namespace fs = std::filesystem;

namespace {

using mg::Bytes;

bool read_file(const std::string& path, Bytes& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
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
    SDL_Surface* s =
        SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u);
    SDL_SetAlpha(raw, 0, 255);  // copy the alpha channel as it is, no blending
    SDL_BlitSurface(raw, nullptr, s, nullptr);
    std::vector<Uint32> px(size_t(w) * h);
    for (int y = 0; y < h; ++y) {
        const Uint32* row =
            reinterpret_cast<const Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch);
        for (int x = 0; x < w; ++x)
            px[size_t(y) * w + x] = has_alpha ? row[x] : (row[x] | 0xFF000000u);
    }
    SDL_FreeSurface(s);
    SDL_FreeSurface(raw);
    return px;
}

struct TrackInfo {
    long rate = 0;
    int channels = 0;
    long long frames = 0;
    std::string fingerprint;   // the PCM_HASH_TAG comment, "" when the file has none
    std::vector<int16_t> pcm;  // decoded, interleaved
};

// Reads the track's format, its fingerprint comment and its decoded samples.
bool probe_track(const Bytes& data, TrackInfo& info) {
    struct Source {
        const Bytes* d;
        size_t pos;
    } src{&data, 0};
    ov_callbacks cb{};
    cb.read_func = [](void* ptr, size_t size, size_t n, void* ds) -> size_t {
        Source* s = static_cast<Source*>(ds);
        size_t want = size * n, left = s->d->size() - s->pos, k = want < left ? want : left;
        std::copy(s->d->begin() + long(s->pos), s->d->begin() + long(s->pos + k),
                  static_cast<uint8_t*>(ptr));
        s->pos += k;
        return size ? k / size : 0;
    };
    OggVorbis_File vf;
    if (ov_open_callbacks(&src, &vf, nullptr, 0, cb) != 0) return false;
    vorbis_info* vi = ov_info(&vf, -1);
    info.rate = vi->rate;
    info.channels = vi->channels;
    info.frames = ov_pcm_total(&vf, -1);
    if (const char* tag = vorbis_comment_query(ov_comment(&vf, -1), mg::PCM_HASH_TAG, 0))
        info.fingerprint = tag;
    char buf[1 << 15];
    int section = 0;
    long got;
    while ((got = ov_read(&vf, buf, sizeof buf, 0, 2, 1, &section)) > 0)
        info.pcm.insert(info.pcm.end(), reinterpret_cast<int16_t*>(buf),
                        reinterpret_cast<int16_t*>(buf + got));
    ov_clear(&vf);
    return got == 0;
}

// "" when two encodings of the track hold the same music: the same fingerprint of the samples
// before encoding, and decoded samples that differ by no more than codec noise (the difference
// at least 20 dB below the music).
std::string compare_tracks(const Bytes& fresh, const Bytes& kept) {
    TrackInfo a, b;
    if (!probe_track(fresh, a) || !probe_track(kept, b)) return "track does not decode";
    if (a.rate != b.rate || a.channels != b.channels || a.frames != b.frames)
        return "track format or length differs";
    if (b.fingerprint.empty()) return "track has no fingerprint of its samples";
    if (a.fingerprint != b.fingerprint)
        return "track's samples differ (fingerprint " + b.fingerprint + ", the generator's " +
               a.fingerprint + ")";
    if (a.pcm.size() != b.pcm.size()) return "track's decoded length differs";
    double signal = 0, difference = 0;
    for (size_t i = 0; i < a.pcm.size(); ++i) {
        signal += double(a.pcm[i]) * a.pcm[i];
        difference += double(a.pcm[i] - b.pcm[i]) * (a.pcm[i] - b.pcm[i]);
    }
    return difference <= 0.01 * signal ? "" : "track's decoded samples differ";
}

// "" when the regenerated file matches the committed one, else why not.
std::string compare(const std::string& name, const Bytes& fresh, const Bytes& kept) {
    if (fresh == kept) return "";
    if (ends_with(name, ".ogg")) return compare_tracks(fresh, kept);
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

constexpr const char* PROGRAM = "zypho-mediagen";

const OptionSpec OPTIONS[] = {
    {0, "check", false},
    {0, "preview", false},
    {'h', "help", false},
    {0, nullptr, false},
};

std::string usage_text() {
    return R"(Usage: zypho-mediagen OUTDIR [NAME]...
       zypho-mediagen --check DIR [NAME]...
       zypho-mediagen --preview MEDIA_DIR OUTDIR
Draws every picture, sprite strip and glyph sheet of the demo and composes its
soundtrack, all from code, and writes them as the files of Media/ into OUTDIR
(made if missing), or only the files NAMEd. The same build writes the same bytes
every time; each file is written under a temporary name and renamed when done.

      --check    regenerate in memory and compare with the files in DIR; writes
                 nothing. A file whose bytes differ passes when its decoded
                 content is the same (PNG pixels exactly, JPEG pixels within a
                 small tolerance, the track's samples by their fingerprint)
      --preview  write PNG views of the media in MEDIA_DIR into OUTDIR (made if
                 missing): the sprite strips frame by frame, the glyph sheets,
                 the keyed pictures, a spectrogram of the track
  -h, --help     show this help and exit

Exit status: 0 on success, 1 when a file could not be made, read or written or
--check found a difference, 2 for a bad command line.
)";
}

int fail(const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", PROGRAM, message.c_str());
    return 1;
}

int preview(const std::string& media, const std::string& out) {
    std::error_code ec;
    if (!fs::is_directory(media, ec))
        return fail("cannot read the media in '" + media + "': not a directory");
    std::string error;
    if (!make_directory(out, error)) return fail(error);
    const mg::PreviewResult result = mg::write_previews(media, out);
    for (const std::string& e : result.errors) std::fprintf(stderr, "%s: %s\n", PROGRAM, e.c_str());
    if (result.written == 0) return fail("no preview written");
    std::printf("%d previews written into %s\n", result.written, out.c_str());
    return result.errors.empty() ? 0 : 1;
}

// Writes (or with `check`, compares) the files named in `only`, or every file when it is empty.
int generate(const std::vector<mg::MediaFile>& media, const std::string& dir,
             const std::vector<std::string>& only, bool check) {
    std::string error;
    if (!check && !make_directory(dir, error)) return fail(error);
    int failures = 0;
    for (const mg::MediaFile& f : media) {
        if (!only.empty() && std::find(only.begin(), only.end(), f.name) == only.end()) continue;
        auto t0 = std::chrono::steady_clock::now();
        Bytes data;
        try {
            data = f.make();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s: %s: %s\n", PROGRAM, f.name.c_str(), e.what());
            ++failures;
            continue;
        }
        double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                        .count();
        std::string path = dir + "/" + f.name;
        if (check) {
            Bytes kept;
            std::string why = read_file(path, kept) ? compare(f.name, data, kept) : "missing";
            std::printf("%-9s %s\n", f.name.c_str(),
                        why.empty() ? (data == kept ? "same bytes" : "same content") : why.c_str());
            if (!why.empty()) ++failures;
        } else {
            if (!write_file_atomically(path, data.data(), data.size(), error)) {
                std::fprintf(stderr, "%s: %s\n", PROGRAM, error.c_str());
                ++failures;
                continue;
            }
            std::printf("%-9s %8zu bytes  %7.0f ms\n", f.name.c_str(), data.size(), ms);
        }
    }
    if (check)
        std::printf("%s\n",
                    failures ? "media differ from the generator's output" : "media reproduced");
    return failures ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<Argument> arguments;
    std::string error;
    if (!read_command_line(argc, argv, OPTIONS, arguments, error))
        return command_line_error(PROGRAM, error);
    if (find_argument(arguments, "help")) {
        std::fputs(usage_text().c_str(), stdout);
        return 0;
    }
    const bool check = find_argument(arguments, "check"),
               previews = find_argument(arguments, "preview");
    std::vector<std::string> operands;
    for (const Argument& a : arguments)
        if (!a.option) operands.push_back(a.value);
    if (check && previews)
        return command_line_error(PROGRAM,
                                  "--check and --preview cannot be combined: one mode at a time");
    if (previews) {
        if (operands.size() != 2)
            return command_line_error(PROGRAM, "--preview takes two directories: MEDIA_DIR OUTDIR");
        return preview(operands[0], operands[1]);
    }
    if (operands.empty())
        return command_line_error(PROGRAM, check ? "--check needs the directory to compare"
                                                 : "no output directory given");
    const std::vector<mg::MediaFile> media = mg::all_media();
    const std::vector<std::string> only(operands.begin() + 1, operands.end());
    for (const std::string& name : only)
        if (std::none_of(media.begin(), media.end(),
                         [&](const mg::MediaFile& f) { return f.name == name; }))
            return command_line_error(PROGRAM, "no media file is named '" + name + "'");
    return generate(media, operands[0], only, check);
}
