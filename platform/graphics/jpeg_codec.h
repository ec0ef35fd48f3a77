#pragma once
// JPEG coding over libjpeg, kept apart from the graphic class: libjpeg reports errors by jumping out
// of its calls, which only plain C-style frames may see.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pw::graphics {

struct JpegPixels {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bgr; // top-down rows of width * 3 bytes
};

// False with libjpeg's message when the data cannot be decoded (or the image exceeds the limits).
bool DecodeJpeg(const uint8_t* data, size_t size, int maxDimension, int64_t maxPixels, JpegPixels& out,
                std::string& error);
// quality 1..100.
bool EncodeJpeg(const JpegPixels& pixels, int quality, std::vector<uint8_t>& out, std::string& error);

} // namespace pw::graphics
