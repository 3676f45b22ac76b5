#include "encode.h"

#include <jpeglib.h>
#include <png.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace mg {

namespace {
uint8_t to8(float v) { return uint8_t(std::lround(std::max(0.0f, std::min(255.0f, v)))); }
}  // namespace

Bytes to_rgb(const Image& img) {
    Bytes out(size_t(img.w) * img.h * 3);
    for (size_t i = 0, n = size_t(img.w) * img.h; i < n; ++i) {
        out[i * 3] = to8(img.px[i * 4]);
        out[i * 3 + 1] = to8(img.px[i * 4 + 1]);
        out[i * 3 + 2] = to8(img.px[i * 4 + 2]);
    }
    return out;
}

Bytes to_rgb_keyed(const Image& img) {
    Bytes out(size_t(img.w) * img.h * 3);
    for (int y = 0; y < img.h; ++y) {
        for (int x = 0; x < img.w; ++x) {
            size_t i = size_t(y) * img.w + x;
            Rgba c = img.get(x, y);
            if (c.a >= 0.5f) {
                out[i * 3] = to8(c.r);
                out[i * 3 + 1] = to8(c.g);
                out[i * 3 + 2] = to8(c.b);
            } else {
                out[i * 3] = KEY_R;
                out[i * 3 + 1] = KEY_G;
                out[i * 3 + 2] = KEY_B;
            }
        }
    }
    return out;
}

Bytes to_rgba(const Image& img) {
    Bytes out(size_t(img.w) * img.h * 4);
    for (int y = 0; y < img.h; ++y) {
        for (int x = 0; x < img.w; ++x) {
            size_t i = size_t(y) * img.w + x;
            Rgba c = img.get(x, y);
            uint8_t a = to8(c.a * 255.0f);
            out[i * 4] = a ? to8(c.r) : 0;
            out[i * 4 + 1] = a ? to8(c.g) : 0;
            out[i * 4 + 2] = a ? to8(c.b) : 0;
            out[i * 4 + 3] = a;
        }
    }
    return out;
}

// ---- PNG ----

namespace {
void png_append(png_structp png, png_bytep data, png_size_t n) {
    Bytes* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}
void png_no_flush(png_structp) {}
}  // namespace

Bytes encode_png(const Bytes& pixels, int w, int h, int channels) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("PNG encoding failed");
    }
    png_set_write_fn(png, &out, png_append, png_no_flush);
    png_set_compression_level(png, 9);
    // No row filters: unfiltering is half of the decoder's work, and most of these pictures load
    // after the timeline's zero point, where their load time runs the picture ahead of the music.
    // The files grow a little; they decode about twice as fast.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8,
                 channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y)
        png_write_row(png, const_cast<png_bytep>(&pixels[size_t(y) * w * channels]));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// ---- JPEG ----

Bytes encode_jpeg(const Bytes& rgb, int w, int h, int quality) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* mem = nullptr;
    unsigned long mem_size = 0;
    jpeg_mem_dest(&cinfo, &mem, &mem_size);
    cinfo.image_width = JDIMENSION(w);
    cinfo.image_height = JDIMENSION(h);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    // A DC step of 1 keeps the mean of every block exact; flat key-coloured blocks then decode to
    // the key colour itself.
    for (int t = 0; t < 2; ++t) cinfo.quant_tbl_ptrs[t]->quantval[0] = 1;
    for (int c = 0; c < cinfo.num_components; ++c) {
        cinfo.comp_info[c].h_samp_factor = 1;  // 4:4:4, no chroma subsampling
        cinfo.comp_info[c].v_samp_factor = 1;
    }
    cinfo.dct_method = JDCT_ISLOW;
    cinfo.optimize_coding = TRUE;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&rgb[size_t(cinfo.next_scanline) * w * 3]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    Bytes out(mem, mem + mem_size);
    jpeg_destroy_compress(&cinfo);
    free(mem);
    return out;
}

// ---- Ogg Vorbis ----

Bytes encode_ogg(const std::vector<int16_t>& stereo, float quality, const Tags& tags) {
    Bytes out;
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, 2, SAMPLE_RATE, quality))
        throw std::runtime_error("vorbis setup failed");
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_comment_add_tag(&vc, "TITLE", "zypho");
    vorbis_comment_add_tag(&vc, "ARTIST", "morvik / qrv");
    for (const auto& [name, value] : tags) vorbis_comment_add_tag(&vc, name.c_str(), value.c_str());
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 0x7a797068);  // a fixed stream serial number keeps the file reproducible
    ogg_page og;
    ogg_packet op;
    auto put_page = [&]() {
        out.insert(out.end(), og.header, og.header + og.header_len);
        out.insert(out.end(), og.body, og.body + og.body_len);
    };
    {
        ogg_packet header, comm, code;
        vorbis_analysis_headerout(&vd, &vc, &header, &comm, &code);
        ogg_stream_packetin(&os, &header);
        ogg_stream_packetin(&os, &comm);
        ogg_stream_packetin(&os, &code);
        while (ogg_stream_flush(&os, &og)) put_page();
    }
    const size_t frames = stereo.size() / 2, chunk = 1024;
    size_t pos = 0;
    bool eos = false;
    while (!eos) {
        size_t n = std::min(chunk, frames - pos);
        if (n == 0) {
            vorbis_analysis_wrote(&vd, 0);
        } else {
            float** buf = vorbis_analysis_buffer(&vd, int(n));
            for (size_t i = 0; i < n; ++i) {
                buf[0][i] = stereo[(pos + i) * 2] / 32768.0f;
                buf[1][i] = stereo[(pos + i) * 2 + 1] / 32768.0f;
            }
            vorbis_analysis_wrote(&vd, int(n));
            pos += n;
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            while (vorbis_bitrate_flushpacket(&vd, &op)) {
                ogg_stream_packetin(&os, &op);
                while (!eos && ogg_stream_pageout(&os, &og)) {
                    put_page();
                    if (ogg_page_eos(&og)) eos = true;
                }
            }
        }
    }
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}

}  // namespace mg
