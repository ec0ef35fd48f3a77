#pragma once
// libpng as the reference decoder of the tests (built only when libpng is installed).
#include <cstdint>
#include <string>
#include <vector>

namespace png_test {

struct OracleImage {
    bool ok = false;
    std::string error;
    uint32_t width = 0, height = 0;
    uint8_t bitDepth = 0, colorType = 0, interlace = 0;
    uint32_t gamma = 0; // gAMA x 100000, 0 when absent
    // Expanded: 4 bytes R, G, B, A per pixel, 16-bit samples cut to their high byte, no gamma applied.
    // Raw: the file's own samples, rowBytes per row.
    std::vector<uint8_t> pixels;
    size_t rowBytes = 0;
};

OracleImage DecodeWithLibpng(const std::vector<uint8_t>& file, bool expand);

} // namespace png_test
