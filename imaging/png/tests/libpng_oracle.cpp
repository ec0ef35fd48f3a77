#include "libpng_oracle.h"

#include <csetjmp>
#include <cstring>
#include <png.h>

namespace png_test {
namespace {

struct Source {
    const uint8_t* data;
    size_t size;
    size_t at;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* src = static_cast<Source*>(png_get_io_ptr(png));
    if (src->at + count > src->size) png_error(png, "read past end");
    std::memcpy(out, src->data + src->at, count);
    src->at += count;
}

char g_message[256];

void OnError(png_structp png, png_const_charp message) {
    std::strncpy(g_message, message, sizeof g_message - 1);
    png_longjmp(png, 1);
}
void OnWarning(png_structp, png_const_charp) {}

// Runs libpng; kept free of objects with destructors because libpng leaves by longjmp.
bool Decode(Source* src, bool expand, OracleImage* out, std::vector<png_bytep>* rows) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, src, ReadFromMemory);
    png_read_info(png, info);
    out->width = png_get_image_width(png, info);
    out->height = png_get_image_height(png, info);
    out->bitDepth = png_get_bit_depth(png, info);
    out->colorType = png_get_color_type(png, info);
    out->interlace = png_get_interlace_type(png, info);
    png_fixed_point gamma = 0;
    if (png_get_gAMA_fixed(png, info, &gamma)) out->gamma = uint32_t(gamma);
    if (expand) {
        png_set_expand(png);
        png_set_strip_16(png);
        png_set_gray_to_rgb(png);
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    out->rowBytes = png_get_rowbytes(png, info);
    out->pixels.assign(out->rowBytes * out->height, 0);
    rows->resize(out->height);
    for (uint32_t y = 0; y < out->height; ++y)
        (*rows)[y] = out->pixels.data() + y * out->rowBytes;
    png_read_image(png, rows->data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

} // namespace

OracleImage DecodeWithLibpng(const std::vector<uint8_t>& file, bool expand) {
    OracleImage out;
    Source src{file.data(), file.size(), 0};
    std::vector<png_bytep> rows;
    g_message[0] = 0;
    out.ok = Decode(&src, expand, &out, &rows);
    if (!out.ok) out.error = g_message;
    return out;
}

} // namespace png_test
