#include "imaging/png/row_coding.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#define PW_PNG_SSSE3 1
#endif

namespace {

// Sample k of a packed row of `Depth`-bit samples (the high byte for 16-bit samples).
template <int Depth> inline uint8_t PackedSample(const uint8_t* row, uint32_t k) {
    if constexpr (Depth == 16)
        return row[2 * k];
    else if constexpr (Depth == 8)
        return row[k];
    else {
        const uint32_t bit = k * Depth;
        return uint8_t((row[bit >> 3] >> (8 - Depth - (bit & 7))) & ((1u << Depth) - 1));
    }
}

template <int BitCount> inline uint8_t StoredPixel(const uint8_t* bits, uint32_t x) {
    if constexpr (BitCount == 8)
        return bits[x];
    else if constexpr (BitCount == 4)
        return uint8_t((bits[x >> 1] >> ((x & 1) ? 0 : 4)) & 15);
    else
        return uint8_t((bits[x >> 3] >> (7 - (x & 7))) & 1);
}

template <int BitCount> inline void OrPixel(uint8_t* bits, uint32_t x, uint8_t v) {
    if constexpr (BitCount == 8)
        bits[x] = v;
    else if constexpr (BitCount == 4)
        bits[x >> 1] |= uint8_t(v << ((x & 1) ? 0 : 4));
    else
        bits[x >> 3] |= uint8_t(v << (7 - (x & 7)));
}

// Grey and palette samples into 1-, 4- or 8-bit pixels. Scale multiplies 2-bit grey up to the 4-bit levels
// 0, 5, 10, 15, which the 16-entry grey ramp shows as 0, 85, 170, 255.
template <int Depth, int BitCount, int Scale>
void DecodePacked(const uint8_t* samples, uint32_t count, uint32_t x0, uint32_t dx, uint8_t* bits, uint8_t*,
                  const uint8_t*) {
    if constexpr (Depth == BitCount) {
        if (dx == 1 && x0 == 0) {
            std::memcpy(bits, samples, (size_t(count) * Depth + 7) / 8);
            return;
        }
    }
    for (uint32_t k = 0, x = x0; k < count; ++k, x += dx)
        OrPixel<BitCount>(bits, x, uint8_t(PackedSample<Depth>(samples, k) * Scale));
}

// Identity: the gamma table is known to change nothing, and is skipped.
template <int Depth, bool Alpha, bool Identity>
void DecodeRgb(const uint8_t* samples, uint32_t count, uint32_t x0, uint32_t dx, uint8_t* bits,
               uint8_t* alpha, const uint8_t* gamma) {
    constexpr int step = (Alpha ? 4 : 3) * (Depth / 8);
    constexpr int channel = Depth / 8;
    const uint8_t* s = samples;
    uint32_t k = 0;
    if constexpr (Identity && Depth == 8) {
        // Whole rows, all pixels but the last: one 4-byte load and store each (the store's fourth byte is the
        // next pixel's, rewritten next; the load's fourth byte may be the row buffer's slack).
        if (dx == 1 && count > 1) {
            uint8_t* p = bits + 3 * size_t(x0);
            for (; k + 1 < count; ++k, s += step, p += 3) {
                uint32_t v;
                std::memcpy(&v, s, 4);
                if constexpr (Alpha) alpha[x0 + k] = uint8_t(v >> 24);
                v = __builtin_bswap32(v) >> 8; // R G B x -> B G R 0
                std::memcpy(p, &v, 4);
            }
        }
    }
    for (uint32_t x = x0 + k * dx; k < count; ++k, x += dx, s += step) {
        uint8_t* p = bits + 3 * size_t(x);
        if constexpr (Identity) {
            p[0] = s[2 * channel];
            p[1] = s[channel];
            p[2] = s[0];
        } else {
            p[0] = gamma[s[2 * channel]];
            p[1] = gamma[s[channel]];
            p[2] = gamma[s[0]];
        }
        if constexpr (Alpha) alpha[x] = s[3 * channel];
    }
}

#ifdef PW_PNG_SSSE3
// Whole 8-bit rows without gamma, four pixels per shuffle, on processors that have one (chosen at run time).
template <bool Alpha>
__attribute__((target("ssse3"))) void DecodeRgbShuffled(const uint8_t* samples, uint32_t count, uint32_t x0,
                                                        uint32_t dx, uint8_t* bits, uint8_t* alpha,
                                                        const uint8_t* gamma) {
    if (dx != 1) return DecodeRgb<8, Alpha, true>(samples, count, x0, dx, bits, alpha, gamma);
    constexpr int step = Alpha ? 4 : 3;
    // R G B (A) of four pixels to B G R of each, then the four alphas.
    const __m128i order = Alpha ? _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, 3, 7, 11, 15)
                                : _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, -1, -1, -1, -1);
    uint32_t k = 0;
    uint8_t* p = bits + 3 * size_t(x0);
    // Each store writes 4 bytes past the 4 pixels, into pixels that come next.
    for (; k + 8 <= count; k += 4, samples += 4 * step, p += 12) {
        const __m128i v = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(samples)), order);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
        if constexpr (Alpha) {
            const uint32_t a = uint32_t(_mm_cvtsi128_si32(_mm_srli_si128(v, 12)));
            std::memcpy(alpha + x0 + k, &a, 4);
        }
    }
    DecodeRgb<8, Alpha, true>(samples, count - k, x0 + k, 1, bits, alpha, gamma);
}
#endif

template <bool Alpha, bool Identity> DecodeCopier RgbCopier(uint8_t bitDepth) {
#ifdef PW_PNG_SSSE3
    if (Identity && bitDepth == 8 && __builtin_cpu_supports("ssse3")) return DecodeRgbShuffled<Alpha>;
#endif
    return bitDepth == 8    ? DecodeRgb<8, Alpha, Identity>
           : bitDepth == 16 ? DecodeRgb<16, Alpha, Identity>
                            : nullptr;
}

template <int Depth>
void DecodeGreyAlpha(const uint8_t* samples, uint32_t count, uint32_t x0, uint32_t dx, uint8_t* bits,
                     uint8_t* alpha, const uint8_t*) {
    constexpr int channel = Depth / 8;
    const uint8_t* s = samples;
    for (uint32_t k = 0, x = x0; k < count; ++k, x += dx, s += 2 * channel) {
        bits[x] = s[0];
        alpha[x] = s[channel];
    }
}

template <int Depth, int BitCount>
void EncodePacked(const uint8_t* bits, const uint8_t*, uint32_t count, uint32_t x0, uint32_t dx,
                  uint8_t* samples, const uint8_t*) {
    if constexpr (Depth == 16) {
        for (uint32_t k = 0, x = x0; k < count; ++k, x += dx) {
            samples[2 * k] = StoredPixel<BitCount>(bits, x);
            samples[2 * k + 1] = 0;
        }
    } else {
        const size_t bytes = (size_t(count) * Depth + 7) / 8;
        if (dx == 1 && x0 == 0) {
            std::memcpy(samples, bits, bytes);
            if (count * Depth % 8) // the unused low bits of the last byte are written as zero
                samples[bytes - 1] &= uint8_t(0xFF << (8 - count * Depth % 8));
            return;
        }
        std::memset(samples, 0, bytes);
        for (uint32_t k = 0, x = x0; k < count; ++k, x += dx)
            OrPixel<Depth>(samples, k, StoredPixel<BitCount>(bits, x));
    }
}

template <int Depth, bool Alpha>
void EncodeRgb(const uint8_t* bits, const uint8_t* alpha, uint32_t count, uint32_t x0, uint32_t dx,
               uint8_t* samples, const uint8_t* inverse) {
    constexpr int channel = Depth / 8;
    uint8_t* s = samples;
    for (uint32_t k = 0, x = x0; k < count; ++k, x += dx) {
        const uint8_t* p = bits + 3 * size_t(x);
        const uint8_t values[4] = {inverse[p[2]], inverse[p[1]], inverse[p[0]],
                                   Alpha ? alpha[x] : uint8_t(0)};
        for (int c = 0; c < (Alpha ? 4 : 3); ++c) {
            *s++ = values[c];
            if constexpr (channel == 2) *s++ = 0;
        }
    }
}

template <int Depth>
void EncodeGreyAlpha(const uint8_t* bits, const uint8_t* alpha, uint32_t count, uint32_t x0, uint32_t dx,
                     uint8_t* samples, const uint8_t*) {
    uint8_t* s = samples;
    for (uint32_t k = 0, x = x0; k < count; ++k, x += dx) {
        *s++ = bits[x];
        if constexpr (Depth == 16) *s++ = 0;
        *s++ = alpha[x];
        if constexpr (Depth == 16) *s++ = 0;
    }
}

} // namespace

DecodeCopier SelectDecodeCopier(uint8_t colorType, uint8_t bitDepth, bool identityGamma) {
    switch (colorType) {
    case 0:
    case 3:
        switch (bitDepth) {
        case 1:
            return DecodePacked<1, 1, 1>;
        case 2:
            return colorType == 0 ? DecodePacked<2, 4, 5> : DecodePacked<2, 4, 1>;
        case 4:
            return DecodePacked<4, 4, 1>;
        case 8:
            return DecodePacked<8, 8, 1>;
        case 16:
            return colorType == 0 ? DecodePacked<16, 8, 1> : nullptr;
        default:
            return nullptr;
        }
    case 2:
        return identityGamma ? RgbCopier<false, true>(bitDepth) : RgbCopier<false, false>(bitDepth);
    case 4:
        return bitDepth == 8 ? DecodeGreyAlpha<8> : bitDepth == 16 ? DecodeGreyAlpha<16> : nullptr;
    case 6:
        return identityGamma ? RgbCopier<true, true>(bitDepth) : RgbCopier<true, false>(bitDepth);
    default:
        return nullptr;
    }
}

EncodeCopier SelectEncodeCopier(uint8_t colorType, uint8_t bitDepth) {
    switch (colorType) {
    case 0:
    case 3:
        switch (bitDepth) {
        case 1:
            return EncodePacked<1, 1>;
        case 2:
        case 4:
            return EncodePacked<4, 4>; // 2-bit images are held, and written, as 4-bit ones
        case 8:
            return EncodePacked<8, 8>;
        case 16:
            return colorType == 0 ? EncodePacked<16, 8> : nullptr;
        default:
            return nullptr;
        }
    case 2:
        return bitDepth == 8 ? EncodeRgb<8, false> : bitDepth == 16 ? EncodeRgb<16, false> : nullptr;
    case 4:
        return bitDepth == 8 ? EncodeGreyAlpha<8> : bitDepth == 16 ? EncodeGreyAlpha<16> : nullptr;
    case 6:
        return bitDepth == 8 ? EncodeRgb<8, true> : bitDepth == 16 ? EncodeRgb<16, true> : nullptr;
    default:
        return nullptr;
    }
}
