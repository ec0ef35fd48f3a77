#include "platform/graphics/bmp_format.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/gdi/dib_format.h"
#include "platform/graphics/graphics_errors.h"
#include "platform/rtl/stream.h"

namespace pw::graphics {

namespace {

constexpr DWORD kRle8 = 1, kRle4 = 2, kBitfields = 3, kAlphaBitfields = 6;
constexpr size_t kFileHeaderSize = 14;

[[noreturn]] void Invalid() {
    throw EInvalidGraphic(graphics_text::InvalidBitmap);
}

void Put16(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

// A bounds-checked view of the input: every read past the end is a malformed file.
class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    const uint8_t* At(size_t offset, size_t count) const {
        if (offset > size_ || count > size_ - offset) Invalid();
        return data_ + offset;
    }
    size_t Size() const { return size_; }

private:
    const uint8_t* data_;
    size_t size_;
};

// Extracts one channel of a bit-field pixel scaled to 8 bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    explicit Channel(uint32_t m = 0) : mask(m) {
        if (!m) return;
        while (!((m >> shift) & 1))
            ++shift;
        while (shift + bits < 32 && ((m >> (shift + bits)) & 1))
            ++bits;
    }
    uint8_t Get(uint32_t pixel) const {
        if (!mask) return 0;
        const uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8) return uint8_t(v >> (bits - 8));
        const uint32_t max = (1u << bits) - 1;
        return uint8_t((v * 255 + max / 2) / max);
    }
};

struct Header {
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bpp = 0;
    DWORD compression = 0;
    DWORD sizeImage = 0;
    size_t colorsUsed = 0;
    size_t headerSize = 0;
    size_t paletteEntrySize = 4;
    uint32_t masks[4] = {};
    bool hasMasks = false;
};

Header ReadHeader(const Bytes& in, size_t at) {
    Header h;
    h.headerSize = Get32(in.At(at, 4));
    if (h.headerSize == 12) {
        const uint8_t* p = in.At(at, 12);
        h.width = Get16(p + 4);
        h.height = Get16(p + 6);
        h.bpp = Get16(p + 10);
        h.paletteEntrySize = 3;
    } else if (h.headerSize >= 40 && h.headerSize <= 4096) {
        const uint8_t* p = in.At(at, h.headerSize);
        const int32_t width = static_cast<int32_t>(Get32(p + 4));
        const int32_t height = static_cast<int32_t>(Get32(p + 8));
        if (width <= 0 || height == 0 || height == std::numeric_limits<int32_t>::min()) Invalid();
        h.width = width;
        h.topDown = height < 0;
        h.height = h.topDown ? -height : height;
        h.bpp = Get16(p + 14);
        h.compression = Get32(p + 16);
        h.sizeImage = Get32(p + 20);
        h.colorsUsed = Get32(p + 32);
        if (h.headerSize >= 52) {
            for (int i = 0; i < (h.headerSize >= 56 ? 4 : 3); ++i)
                h.masks[i] = Get32(p + 40 + 4 * i);
            h.hasMasks = true;
        }
    } else {
        Invalid();
    }
    if (h.width <= 0 || h.height <= 0 || h.width > kMaxDibDimension || h.height > kMaxDibDimension ||
        int64_t(h.width) * h.height > kMaxDibPixels)
        Invalid();
    switch (h.compression) {
    case BI_RGB:
        if (h.bpp != 1 && h.bpp != 4 && h.bpp != 8 && h.bpp != 16 && h.bpp != 24 && h.bpp != 32) Invalid();
        break;
    case kRle8:
        if (h.bpp != 8 || h.topDown) Invalid();
        break;
    case kRle4:
        if (h.bpp != 4 || h.topDown) Invalid();
        break;
    case kBitfields:
    case kAlphaBitfields:
        if (h.bpp != 16 && h.bpp != 32) Invalid();
        break;
    default:
        Invalid();
    }
    return h;
}

// Run-length coded rows (RLE8 or RLE4) into bottom-up rows of the same depth. Pixels the codes skip
// stay index 0; codes that reach past the image are cut off there.
void DecodeRle(const Bytes& in, size_t at, size_t end, DibImage& out, bool four) {
    const int stride = out.Stride();
    int x = 0, y = 0;
    auto put = [&](int value) {
        if (x < out.width && y < out.height) {
            uint8_t* row = out.bits.data() + static_cast<size_t>(y) * stride;
            if (four)
                row[x >> 1] = (x & 1) ? uint8_t((row[x >> 1] & 0xF0) | (value & 0xF))
                                      : uint8_t((row[x >> 1] & 0x0F) | (value << 4));
            else
                row[x] = uint8_t(value);
        }
        ++x;
    };
    size_t pos = at;
    while (pos + 2 <= end && y < out.height) {
        const uint8_t* code = in.At(pos, 2);
        pos += 2;
        const int count = code[0], value = code[1];
        if (count > 0) {
            for (int i = 0; i < count && x < out.width; ++i)
                put(four ? ((i & 1) ? value & 0xF : value >> 4) : value);
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            return;
        } else if (value == 2) { // delta
            const uint8_t* d = in.At(pos, 2);
            pos += 2;
            x += d[0];
            y += d[1];
        } else { // absolute run of `value` pixels, padded to a 16-bit boundary
            const size_t bytes = four ? (size_t(value) + 1) / 2 : size_t(value);
            const uint8_t* run = in.At(pos, bytes);
            if (pos + bytes > end) Invalid();
            for (int i = 0; i < value && x < out.width; ++i)
                put(four ? ((i & 1) ? run[i / 2] & 0xF : run[i / 2] >> 4) : run[i]);
            pos += (bytes + 1) & ~size_t(1);
        }
    }
}

// Parses DIB data whose info header is at `at`; pixels at pixelOffset when known (a file header says
// where), else right after the colour table. end receives the offset after the pixel data.
DibImage ParseDib(const Bytes& in, size_t at, size_t pixelOffset, size_t& end) {
    Header h = ReadHeader(in, at);
    size_t tableAt = at + h.headerSize;
    if ((h.compression == kBitfields || h.compression == kAlphaBitfields) && !h.hasMasks) {
        const int n = h.compression == kAlphaBitfields ? 4 : 3;
        const uint8_t* m = in.At(tableAt, 4 * n);
        for (int i = 0; i < n; ++i)
            h.masks[i] = Get32(m + 4 * i);
        tableAt += 4 * n;
    }
    DibImage img;
    img.width = h.width;
    img.height = h.height;
    img.bpp = h.bpp == 16 ? 24 : h.bpp;

    size_t entries = 0;
    if (h.bpp <= 8) {
        const size_t full = size_t(1) << h.bpp;
        entries = h.colorsUsed == 0 ? full : h.colorsUsed;
        if (entries > 256) Invalid();
        const uint8_t* table = in.At(tableAt, entries * h.paletteEntrySize);
        img.palette.resize(full);
        for (size_t i = 0; i < std::min(entries, full); ++i) {
            const uint8_t* e = table + i * h.paletteEntrySize;
            img.palette[i] = RGBQUAD{e[0], e[1], e[2], 0};
        }
    } else if (h.colorsUsed <= 256) {
        entries = h.colorsUsed; // an optional table for display on palette devices: skipped
    }
    const size_t pixelsAt = pixelOffset != SIZE_MAX ? pixelOffset : tableAt + entries * h.paletteEntrySize;

    const int stride = img.Stride();
    img.bits.assign(static_cast<size_t>(stride) * img.height, 0);
    if (h.compression == kRle8 || h.compression == kRle4) {
        if (pixelsAt > in.Size()) Invalid();
        size_t dataEnd = in.Size();
        if (h.sizeImage != 0 && h.sizeImage <= in.Size() - pixelsAt) dataEnd = pixelsAt + h.sizeImage;
        DecodeRle(in, pixelsAt, dataEnd, img, h.compression == kRle4);
        end = dataEnd;
        return img;
    }

    const size_t srcStride = ((size_t(h.width) * h.bpp + 31) / 32) * 4;
    const uint8_t* src = in.At(pixelsAt, srcStride * h.height);
    end = pixelsAt + srcStride * h.height;
    const bool fields = h.bpp == 16 || (h.bpp == 32 && h.compression != BI_RGB);
    if (h.bpp == 16 && h.compression == BI_RGB) {
        h.masks[0] = 0x7C00;
        h.masks[1] = 0x03E0;
        h.masks[2] = 0x001F;
    }
    const Channel red(h.masks[0]), green(h.masks[1]), blue(h.masks[2]), alpha(h.masks[3]);
    for (int y = 0; y < h.height; ++y) {
        const uint8_t* s = src + srcStride * static_cast<size_t>(h.topDown ? h.height - 1 - y : y);
        uint8_t* d = img.bits.data() + static_cast<size_t>(stride) * y;
        if (!fields) {
            std::memcpy(d, s, std::min<size_t>(srcStride, stride));
            continue;
        }
        for (int x = 0; x < h.width; ++x) {
            const uint32_t p = h.bpp == 16 ? Get16(s + 2 * x) : Get32(s + 4 * x);
            uint8_t* o = d + x * (img.bpp / 8);
            o[0] = blue.Get(p);
            o[1] = green.Get(p);
            o[2] = red.Get(p);
            if (img.bpp == 32) o[3] = alpha.Get(p);
        }
    }
    return img;
}

} // namespace

DibImage ReadBmpFile(TStream& stream) {
    const int64_t start = stream.Position();
    const int64_t available = stream.Size() - start;
    if (available < int64_t(kFileHeaderSize) + 12) Invalid();
    std::vector<uint8_t> data(static_cast<size_t>(available));
    stream.ReadBuffer(data.data(), available);
    const Bytes in(data.data(), data.size());
    if (data[0] != 'B' || data[1] != 'M') Invalid();
    const size_t offBits = Get32(data.data() + 10);
    size_t end = 0;
    DibImage img = ParseDib(in, kFileHeaderSize, offBits >= kFileHeaderSize + 12 ? offBits : SIZE_MAX, end);
    stream.SetPosition(start + static_cast<int64_t>(std::min(end, data.size())));
    return img;
}

DibImage ReadDibResource(const uint8_t* data, size_t size) {
    const Bytes in(data, size);
    size_t end = 0;
    if (size >= kFileHeaderSize && data[0] == 'B' && data[1] == 'M') {
        const size_t offBits = Get32(data + 10);
        return ParseDib(in, kFileHeaderSize, offBits >= kFileHeaderSize + 12 ? offBits : SIZE_MAX, end);
    }
    return ParseDib(in, 0, SIZE_MAX, end);
}

void WriteBmpFile(const DibImage& image, TStream& stream) {
    const size_t entries = image.bpp <= 8 ? image.palette.size() : 0;
    const size_t headers = kFileHeaderSize + 40 + entries * 4;
    const size_t pixels = static_cast<size_t>(image.Stride()) * image.height;
    std::vector<uint8_t> out(headers, 0);
    out[0] = 'B';
    out[1] = 'M';
    Put32(&out[2], static_cast<uint32_t>(headers + pixels));
    Put32(&out[10], static_cast<uint32_t>(headers));
    uint8_t* h = &out[kFileHeaderSize];
    Put32(h, 40);
    Put32(h + 4, static_cast<uint32_t>(image.width));
    Put32(h + 8, static_cast<uint32_t>(image.height));
    Put16(h + 12, 1);
    Put16(h + 14, static_cast<uint32_t>(image.bpp));
    Put32(h + 16, BI_RGB);
    Put32(h + 20, static_cast<uint32_t>(pixels));
    Put32(h + 32, static_cast<uint32_t>(entries));
    for (size_t i = 0; i < entries; ++i) {
        uint8_t* e = h + 40 + 4 * i;
        e[0] = image.palette[i].rgbBlue;
        e[1] = image.palette[i].rgbGreen;
        e[2] = image.palette[i].rgbRed;
    }
    stream.WriteBuffer(out.data(), static_cast<int64_t>(out.size()));
    if (pixels) stream.WriteBuffer(image.bits.data(), static_cast<int64_t>(pixels));
}

} // namespace pw::graphics
