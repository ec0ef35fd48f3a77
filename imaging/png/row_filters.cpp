#include "imaging/png/png_utils.h"
#include "imaging/png/row_coding.h"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

void UnfilterBytes(uint8_t filterType, uint8_t* row, const uint8_t* previous, size_t count,
                   size_t pixelStep) {
    const size_t lead = pixelStep < count ? pixelStep : count;
    switch (filterType) {
    case prfSub:
        for (size_t i = pixelStep; i < count; ++i)
            row[i] = uint8_t(row[i] + row[i - pixelStep]);
        break;
    case prfUp:
        for (size_t i = 0; i < count; ++i)
            row[i] = uint8_t(row[i] + previous[i]);
        break;
    case prfAverage:
        for (size_t i = 0; i < lead; ++i)
            row[i] = uint8_t(row[i] + (previous[i] >> 1));
        for (size_t i = lead; i < count; ++i)
            row[i] = uint8_t(row[i] + ((unsigned(row[i - pixelStep]) + previous[i]) >> 1));
        break;
    case prfPaeth:
        for (size_t i = 0; i < lead; ++i)
            row[i] = uint8_t(row[i] + previous[i]);
        for (size_t i = lead; i < count; ++i)
            row[i] =
                uint8_t(row[i] + PaethPredictor(row[i - pixelStep], previous[i], previous[i - pixelStep]));
        break;
    default:
        break;
    }
}

#ifdef __SSE2__
// Sub, Average and Paeth carry a dependency from pixel to pixel; for 3- and 4-byte pixels one pixel at a time
// in 16-bit lanes keeps that chain in registers instead of in memory.
template <int Bpp> inline __m128i LoadPixel(const uint8_t* p) {
    uint32_t v = 0;
    std::memcpy(&v, p, Bpp);
    return _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(v)), _mm_setzero_si128());
}

template <int Bpp> inline void StorePixel(uint8_t* p, __m128i v) {
    const uint32_t packed = uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(v, v)));
    std::memcpy(p, &packed, Bpp);
}

inline __m128i Abs16(__m128i v) {
    return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v));
}

template <int Bpp>
void UnfilterPixels(uint8_t filterType, uint8_t* row, const uint8_t* previous, size_t count) {
    const __m128i low = _mm_set1_epi16(0xFF);
    __m128i a = _mm_setzero_si128(), c = _mm_setzero_si128();
    const size_t pixels = count / Bpp;
    switch (filterType) {
    case prfSub:
        for (size_t i = 0; i < pixels; ++i) {
            a = _mm_and_si128(_mm_add_epi16(LoadPixel<Bpp>(row + i * Bpp), a), low);
            StorePixel<Bpp>(row + i * Bpp, a);
        }
        break;
    case prfAverage:
        for (size_t i = 0; i < pixels; ++i) {
            const __m128i b = LoadPixel<Bpp>(previous + i * Bpp);
            const __m128i avg = _mm_srli_epi16(_mm_add_epi16(a, b), 1);
            a = _mm_and_si128(_mm_add_epi16(LoadPixel<Bpp>(row + i * Bpp), avg), low);
            StorePixel<Bpp>(row + i * Bpp, a);
        }
        break;
    case prfPaeth:
        for (size_t i = 0; i < pixels; ++i) {
            const __m128i b = LoadPixel<Bpp>(previous + i * Bpp);
            const __m128i bc = _mm_sub_epi16(b, c), ac = _mm_sub_epi16(a, c);
            const __m128i pa = Abs16(bc), pb = Abs16(ac), pc = Abs16(_mm_add_epi16(bc, ac));
            const __m128i smallest = _mm_min_epi16(pc, _mm_min_epi16(pa, pb));
            // c where pc is smallest, b where pb is, a where pa is: later choices win ties.
            const __m128i isB = _mm_cmpeq_epi16(pb, smallest), isA = _mm_cmpeq_epi16(pa, smallest);
            __m128i nearest = _mm_or_si128(_mm_and_si128(isB, b), _mm_andnot_si128(isB, c));
            nearest = _mm_or_si128(_mm_and_si128(isA, a), _mm_andnot_si128(isA, nearest));
            a = _mm_and_si128(_mm_add_epi16(LoadPixel<Bpp>(row + i * Bpp), nearest), low);
            StorePixel<Bpp>(row + i * Bpp, a);
            c = b;
        }
        break;
    default:
        UnfilterBytes(filterType, row, previous, count, Bpp);
        break;
    }
}
#endif

} // namespace

void UnfilterRow(uint8_t filterType, uint8_t* row, const uint8_t* previous, size_t count, size_t pixelStep) {
#ifdef __SSE2__
    if (count % pixelStep == 0 && filterType != prfUp) {
        if (pixelStep == 4) return UnfilterPixels<4>(filterType, row, previous, count);
        if (pixelStep == 3) return UnfilterPixels<3>(filterType, row, previous, count);
    }
#endif
    UnfilterBytes(filterType, row, previous, count, pixelStep);
}

void FilterRow(TPngRowFilter filter, const uint8_t* raw, const uint8_t* previous, uint8_t* out, size_t count,
               size_t pixelStep) {
    const size_t lead = pixelStep < count ? pixelStep : count;
    switch (filter) {
    case prfSub:
        for (size_t i = 0; i < lead; ++i)
            out[i] = raw[i];
        for (size_t i = lead; i < count; ++i)
            out[i] = uint8_t(raw[i] - raw[i - pixelStep]);
        break;
    case prfUp:
        for (size_t i = 0; i < count; ++i)
            out[i] = uint8_t(raw[i] - previous[i]);
        break;
    case prfAverage:
        for (size_t i = 0; i < lead; ++i)
            out[i] = uint8_t(raw[i] - (previous[i] >> 1));
        for (size_t i = lead; i < count; ++i)
            out[i] = uint8_t(raw[i] - ((unsigned(raw[i - pixelStep]) + previous[i]) >> 1));
        break;
    case prfPaeth:
        for (size_t i = 0; i < lead; ++i)
            out[i] = uint8_t(raw[i] - previous[i]);
        for (size_t i = lead; i < count; ++i)
            out[i] =
                uint8_t(raw[i] - PaethPredictor(raw[i - pixelStep], previous[i], previous[i - pixelStep]));
        break;
    default:
        for (size_t i = 0; i < count; ++i)
            out[i] = raw[i];
        break;
    }
}
