#include "platform/graphics/jpeg_codec.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <jpeglib.h>

namespace pw::graphics {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

extern "C" void OnJpegError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings (such as data that ends early) leave a usable, partly grey image; they are not failures.
extern "C" void OnJpegMessage(j_common_ptr, int) {}

// Plain data only between setjmp and the last libjpeg call: a jump must skip no destructor.
struct DecodeState {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    unsigned char* pixels = nullptr;
    unsigned char* row = nullptr;
};

bool RunDecode(DecodeState& s, const uint8_t* data, size_t size, int maxDimension, int64_t maxPixels,
               int& width, int& height, bool& tooLarge) {
    s.cinfo.err = jpeg_std_error(&s.err.base);
    s.err.base.error_exit = OnJpegError;
    s.err.base.emit_message = OnJpegMessage;
    if (setjmp(s.err.jump)) {
        jpeg_destroy_decompress(&s.cinfo);
        return false;
    }
    jpeg_create_decompress(&s.cinfo);
    s.cinfo.mem->max_memory_to_use = 512L * 1024 * 1024;
    jpeg_mem_src(&s.cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&s.cinfo, TRUE);
    const bool cmyk = s.cinfo.jpeg_color_space == JCS_CMYK || s.cinfo.jpeg_color_space == JCS_YCCK;
    s.cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    jpeg_start_decompress(&s.cinfo);
    const int64_t w = s.cinfo.output_width, h = s.cinfo.output_height;
    if (w <= 0 || h <= 0 || w > maxDimension || h > maxDimension || w * h > maxPixels) {
        tooLarge = true;
        jpeg_destroy_decompress(&s.cinfo);
        return false;
    }
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    s.pixels = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(w * h * 3)));
    s.row = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(w * 4)));
    if (!s.pixels || !s.row) {
        jpeg_destroy_decompress(&s.cinfo);
        return false;
    }
    while (s.cinfo.output_scanline < s.cinfo.output_height) {
        const size_t y = s.cinfo.output_scanline;
        unsigned char* target = s.pixels + y * static_cast<size_t>(w) * 3;
        JSAMPROW rows[1] = {cmyk ? s.row : target};
        jpeg_read_scanlines(&s.cinfo, rows, 1);
        if (cmyk) {
            // Adobe writes CMYK inverted: each stored value is 255 minus the ink.
            for (int64_t x = 0; x < w; ++x) {
                const unsigned k = s.row[x * 4 + 3];
                target[x * 3 + 0] = static_cast<unsigned char>(s.row[x * 4 + 2] * k / 255);
                target[x * 3 + 1] = static_cast<unsigned char>(s.row[x * 4 + 1] * k / 255);
                target[x * 3 + 2] = static_cast<unsigned char>(s.row[x * 4 + 0] * k / 255);
            }
        }
    }
    jpeg_finish_decompress(&s.cinfo);
    jpeg_destroy_decompress(&s.cinfo);
    return true;
}

struct EncodeState {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
};

bool RunEncode(EncodeState& s, const uint8_t* bgr, int width, int height, int quality) {
    s.cinfo.err = jpeg_std_error(&s.err.base);
    s.err.base.error_exit = OnJpegError;
    s.err.base.emit_message = OnJpegMessage;
    if (setjmp(s.err.jump)) {
        jpeg_destroy_compress(&s.cinfo);
        return false;
    }
    jpeg_create_compress(&s.cinfo);
    jpeg_mem_dest(&s.cinfo, &s.buffer, &s.size);
    s.cinfo.image_width = static_cast<JDIMENSION>(width);
    s.cinfo.image_height = static_cast<JDIMENSION>(height);
    s.cinfo.input_components = 3;
    s.cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&s.cinfo);
    jpeg_set_quality(&s.cinfo, quality, TRUE);
    jpeg_start_compress(&s.cinfo, TRUE);
    while (s.cinfo.next_scanline < s.cinfo.image_height) {
        JSAMPROW row[1] = {
            const_cast<unsigned char*>(bgr + static_cast<size_t>(s.cinfo.next_scanline) * width * 3)};
        jpeg_write_scanlines(&s.cinfo, row, 1);
    }
    jpeg_finish_compress(&s.cinfo);
    jpeg_destroy_compress(&s.cinfo);
    return true;
}

} // namespace

bool DecodeJpeg(const uint8_t* data, size_t size, int maxDimension, int64_t maxPixels, JpegPixels& out,
                std::string& error) {
    auto state = std::make_unique<DecodeState>();
    int width = 0, height = 0;
    bool tooLarge = false;
    state->err.message[0] = '\0';
    const bool ok =
        size > 0 && RunDecode(*state, data, size, maxDimension, maxPixels, width, height, tooLarge);
    if (ok) {
        out.width = width;
        out.height = height;
        out.bgr.assign(state->pixels, state->pixels + static_cast<size_t>(width) * height * 3);
    } else {
        error = tooLarge                ? "JPEG image is too large"
                : state->err.message[0] ? state->err.message
                                        : "Empty input file";
    }
    std::free(state->pixels);
    std::free(state->row);
    return ok;
}

bool EncodeJpeg(const JpegPixels& pixels, int quality, std::vector<uint8_t>& out, std::string& error) {
    auto state = std::make_unique<EncodeState>();
    state->err.message[0] = '\0';
    const bool ok = RunEncode(*state, pixels.bgr.data(), pixels.width, pixels.height, quality);
    if (ok)
        out.assign(state->buffer, state->buffer + state->size);
    else
        error = state->err.message;
    std::free(state->buffer);
    return ok;
}

} // namespace pw::graphics
