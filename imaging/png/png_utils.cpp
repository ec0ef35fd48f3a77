#include "imaging/png/png_utils.h"

#include <zlib.h>

uint32_t UpdateCrc32(uint32_t crc, const void* buffer, size_t count) {
    // zlib's crc32 inverts on entry and exit; undo both to expose the bare register.
    uLong c = ~crc & 0xFFFFFFFFu;
    const auto* p = static_cast<const Bytef*>(buffer);
    while (count > 0) {
        const uInt n = count > 0x40000000u ? 0x40000000u : static_cast<uInt>(count);
        c = crc32(c, p, n);
        p += n;
        count -= n;
    }
    return ~static_cast<uint32_t>(c);
}

uint64_t SampleBytesFor(uint64_t pixels, uint8_t colorType, uint8_t bitDepth) {
    switch (colorType) {
    case 0:
    case 3:
        return (pixels * bitDepth + 7) / 8;
    case 2:
        return (pixels * bitDepth * 3 + 7) / 8;
    case 4:
        return (pixels * bitDepth * 2 + 7) / 8;
    case 6:
        return (pixels * bitDepth * 4 + 7) / 8;
    default:
        return 0;
    }
}
