#pragma once
// Builds PNG byte streams chunk by chunk for the tests, with CRCs and compression from zlib itself.
#include <cstdint>
#include <string>
#include <vector>
#include <zlib.h>

namespace png_test {

using Bytes = std::vector<uint8_t>;

inline void PutBe32(Bytes& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8)
        out.push_back(uint8_t(v >> s));
}

inline Bytes Compress(const Bytes& raw, int level = 9) {
    uLongf size = compressBound(raw.size());
    Bytes out(size);
    compress2(out.data(), &size, raw.data(), raw.size(), level);
    out.resize(size);
    return out;
}

class PngBuilder {
public:
    PngBuilder() { bytes_ = {137, 80, 78, 71, 13, 10, 26, 10}; }

    PngBuilder& Chunk(const std::string& type, const Bytes& data, bool goodCrc = true) {
        PutBe32(bytes_, uint32_t(data.size()));
        Bytes body(type.begin(), type.end());
        body.insert(body.end(), data.begin(), data.end());
        bytes_.insert(bytes_.end(), body.begin(), body.end());
        uint32_t crc = uint32_t(crc32(0, body.data(), uInt(body.size())));
        PutBe32(bytes_, goodCrc ? crc : crc ^ 1);
        return *this;
    }
    PngBuilder& Ihdr(uint32_t w, uint32_t h, uint8_t depth, uint8_t colorType, uint8_t interlace = 0) {
        Bytes d;
        PutBe32(d, w);
        PutBe32(d, h);
        d.insert(d.end(), {depth, colorType, 0, 0, interlace});
        return Chunk("IHDR", d);
    }
    // Scan lines (each with its filter byte) compressed into one IDAT chunk.
    PngBuilder& Idat(const Bytes& scanLines) { return Chunk("IDAT", Compress(scanLines)); }
    PngBuilder& Iend() { return Chunk("IEND", {}); }
    PngBuilder& Raw(const Bytes& b) {
        bytes_.insert(bytes_.end(), b.begin(), b.end());
        return *this;
    }
    const Bytes& Get() const { return bytes_; }

private:
    Bytes bytes_;
};

// Unfiltered scan lines of an image whose every row is `row`.
inline Bytes RepeatRows(const Bytes& row, int rows) {
    Bytes out;
    for (int i = 0; i < rows; ++i) {
        out.push_back(0);
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

} // namespace png_test
