#pragma once
// The list of files in Media/ and how each is made.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "encode.h"

namespace mg {

struct MediaFile {
    std::string name;
    std::function<Bytes()> make;
};

std::vector<MediaFile> all_media();

// The Vorbis quality the track is encoded at (-0.1 .. 1): about 160 kbit/s, the full band.
constexpr float TRACK_QUALITY = 0.5f;

// A track fingerprint (pcm_fingerprint) as the 16 hex digits kept in the file's comments.
std::string fingerprint_text(std::uint64_t fingerprint);

// Decodes `jpeg` with SDL_image, as the demo does, and checks that every pixel the picture meant
// as key (`keyed`, RGB bytes from to_rgb_keyed) comes back as exactly (129, 255, 129) and no other
// pixel does. Returns an empty string or the reason it failed.
std::string verify_keyed_jpeg(const Bytes& jpeg, const Bytes& keyed, int w, int h);

}  // namespace mg
