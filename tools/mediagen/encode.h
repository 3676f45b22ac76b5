#pragma once
// Turning drawn images and rendered sound into file bytes: PNG (libpng), JPEG (libjpeg) and
// Ogg Vorbis (libvorbisenc). The same input gives the same bytes.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "canvas.h"
#include "gfx/media_facts.h"  // KEY_R, KEY_G, KEY_B: the colour key of the demo

namespace mg {

using Bytes = std::vector<uint8_t>;

// 8-bit RGB of an opaque picture (any transparency is laid over black).
Bytes to_rgb(const Image& img);
// 8-bit RGB for a keyed picture: pixels at least half covered keep their colour at full
// strength, the rest become the key colour. Hard edges: no pixel mixes art and key.
Bytes to_rgb_keyed(const Image& img);
// 8-bit RGBA with straight (not premultiplied) colour.
Bytes to_rgba(const Image& img);

// PNG at zlib level 9, every row unfiltered (filter type None), which decodes fastest.
Bytes encode_png(const Bytes& pixels, int w, int h, int channels);
// Baseline JPEG without chroma subsampling (4:4:4). The DC step of every quantisation table is 1,
// so an 8 × 8 block of one flat colour keeps its YCbCr values exactly; the conversion to and from
// RGB rounds, so the colour comes back within 1 per channel (the key colour, RGB 129, 255, 129,
// comes back exactly).
Bytes encode_jpeg(const Bytes& rgb, int w, int h, int quality);
// Interleaved stereo, 16-bit signed samples, 44100 Hz, VBR quality (-0.1 .. 1.0), with the
// comments `tags` (name, value) after the title and artist.
using Tags = std::vector<std::pair<std::string, std::string>>;
Bytes encode_ogg(const std::vector<int16_t>& stereo, float quality, const Tags& tags = {});

}  // namespace mg
