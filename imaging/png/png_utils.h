#pragma once
// Byte order, CRC-32 and sample arithmetic shared by the chunk classes and the image data coder.
#include <cstddef>
#include <cstdint>

// The running CRC register of ISO 3309 (no pre- or post-inversion): a chunk's stored CRC is the bitwise
// NOT of UpdateCrc32(UpdateCrc32(0xFFFFFFFF, type, 4), data, size).
uint32_t UpdateCrc32(uint32_t crc, const void* buffer, size_t count);

inline uint32_t SwapLong(uint32_t v) {
    return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}
inline uint16_t SwapWord(uint16_t v) {
    return static_cast<uint16_t>((v >> 8) | (v << 8));
}

inline uint32_t ReadBigEndian32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
inline void WriteBigEndian32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

// Bytes needed for `pixels` samples of a colour type and depth; 0 for an undefined colour type.
uint64_t SampleBytesFor(uint64_t pixels, uint8_t colorType, uint8_t bitDepth);

inline uint8_t PaethPredictor(uint8_t a, uint8_t b, uint8_t c) {
    // pa = |b - c|, pb = |a - c|, pc = |a + b - 2c|, in a form the compiler turns into selects.
    const int da = int(b) - int(c), db = int(a) - int(c);
    const int pa = da < 0 ? -da : da;
    const int pb = db < 0 ? -db : db;
    const int pc = da + db < 0 ? -(da + db) : da + db;
    const uint8_t bc = pb <= pc ? b : c;
    return pa <= pb && pa <= pc ? a : bc;
}
