#include "imaging/gif/dib_writer.h"

#include "imaging/gif/gif_exception.h"

#include <algorithm>
#include <cstring>

namespace gif {

namespace {
void Put32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}
void Put16(std::vector<uint8_t>& out, size_t at, uint16_t value) {
    out[at] = static_cast<uint8_t>(value);
    out[at + 1] = static_cast<uint8_t>(value >> 8);
}
} // namespace

int BytesPerScanLine(int pixels, int bitsPerPixel, int alignment) {
    const int64_t bits = static_cast<int64_t>(pixels) * bitsPerPixel + alignment - 1;
    return static_cast<int>(bits / alignment * alignment / 8);
}

std::vector<uint8_t> ComposeBitmapFile(const TRaster& picture) {
    if (picture.BitsPerPixel != 8 && picture.BitsPerPixel != 24)
        throw GIFException(gif_text::UnsupportedPixelFormat);
    if (picture.Width <= 0 || picture.Height <= 0) throw GIFException(gif_text::BadDimensions);
    const int bits = picture.BitsPerPixel;
    const int infoSize = 40 + (bits == 8 ? 256 * 4 : 0);
    const int rowBytes = BytesPerScanLine(picture.Width, bits, 32);
    const int64_t imageSize = static_cast<int64_t>(rowBytes) * picture.Height;
    std::vector<uint8_t> out(static_cast<size_t>(14 + infoSize + imageSize), 0);
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, static_cast<uint32_t>(out.size()));
    Put32(out, 10, static_cast<uint32_t>(14 + infoSize));
    Put32(out, 14, 40);
    Put32(out, 18, static_cast<uint32_t>(picture.Width));
    Put32(out, 22, static_cast<uint32_t>(picture.Height));
    Put16(out, 26, 1);
    Put16(out, 28, static_cast<uint16_t>(bits));
    if (bits == 8) {
        const int colours = static_cast<int>(std::min<size_t>(picture.Palette.size(), 256));
        Put32(out, 46, 256);
        Put32(out, 50, static_cast<uint32_t>(colours));
        for (int i = 0; i < colours; ++i) {
            const size_t at = 54 + static_cast<size_t>(i) * 4;
            out[at] = GetBValue(picture.Palette[i]);
            out[at + 1] = GetGValue(picture.Palette[i]);
            out[at + 2] = GetRValue(picture.Palette[i]);
        }
    }
    const int srcRow = picture.RowBytes();
    for (int y = 0; y < picture.Height; ++y) {
        // Rows are stored bottom-up.
        uint8_t* dst = out.data() + 14 + infoSize + static_cast<size_t>(picture.Height - 1 - y) * rowBytes;
        std::memcpy(dst, picture.Bits.data() + static_cast<size_t>(y) * srcRow, srcRow);
    }
    return out;
}

} // namespace gif
