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
// Pixels are moved as 4 bytes; for 3-byte pixels the fourth lane is kept at zero in every predictor, so
// the fourth byte (the next pixel's first) is stored back as it was. The last pixel of a row moves exactly
// Bpp bytes, so nothing past the row is touched.
template <int Bpp, bool Last> inline __m128i LoadPixel(const uint8_t* p) {
    uint32_t v = 0;
    std::memcpy(&v, p, Last ? Bpp : 4);
    return _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(v)), _mm_setzero_si128());
}

template <int Bpp, bool Last> inline void StorePixel(uint8_t* p, __m128i v) {
    const uint32_t packed = uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(v, v)));
    std::memcpy(p, &packed, Last ? Bpp : 4);
}

inline __m128i Abs16(__m128i v) {
    return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v));
}

// One pixel's raw bytes x (already loaded) and the pixel above give the pixel's value, which becomes the
// next pixel's left neighbour.
template <int Bpp> struct PixelUnfilter {
    const __m128i low = _mm_set1_epi16(0xFF);
    const __m128i lanes =
        Bpp == 4 ? _mm_set_epi16(0, 0, 0, 0, -1, -1, -1, -1) : _mm_set_epi16(0, 0, 0, 0, 0, -1, -1, -1);
    __m128i a = _mm_setzero_si128(), c = _mm_setzero_si128();

    __m128i Finish(__m128i x, __m128i predictor) {
        const __m128i value = _mm_and_si128(_mm_add_epi16(x, predictor), low);
        a = _mm_and_si128(value, lanes);
        return value;
    }
    __m128i Sub(__m128i x, __m128i) { return Finish(x, a); }
    __m128i Average(__m128i x, __m128i b) { return Finish(x, _mm_srli_epi16(_mm_add_epi16(a, b), 1)); }
    __m128i Paeth(__m128i x, __m128i b) {
        const __m128i bc = _mm_sub_epi16(b, c), ac = _mm_sub_epi16(a, c);
        const __m128i pa = Abs16(bc), pb = Abs16(ac), pc = Abs16(_mm_add_epi16(bc, ac));
        const __m128i smallest = _mm_min_epi16(pc, _mm_min_epi16(pa, pb));
        // c where pc is smallest, b where pb is, a where pa is: later choices win ties.
        const __m128i isB = _mm_cmpeq_epi16(pb, smallest), isA = _mm_cmpeq_epi16(pa, smallest);
        __m128i nearest = _mm_or_si128(_mm_and_si128(isB, b), _mm_andnot_si128(isB, c));
        nearest = _mm_or_si128(_mm_and_si128(isA, a), _mm_andnot_si128(isA, nearest));
        c = b;
        return Finish(x, nearest);
    }
};

// Each pixel's raw bytes are loaded before the previous pixel is stored: a load that overlapped the store
// just made (3-byte pixels moved as 4) would wait for it.
template <int Bpp, class Step>
void ForEachPixel(uint8_t* row, const uint8_t* previous, size_t pixels, PixelUnfilter<Bpp>& f, Step step) {
    const __m128i lanes = f.lanes;
    __m128i x = pixels > 1 ? LoadPixel<Bpp, false>(row) : LoadPixel<Bpp, true>(row);
    for (size_t i = 0; i + 1 < pixels; ++i) {
        const __m128i b = _mm_and_si128(LoadPixel<Bpp, false>(previous + i * Bpp), lanes);
        const __m128i next = i + 2 < pixels ? LoadPixel<Bpp, false>(row + (i + 1) * Bpp)
                                            : LoadPixel<Bpp, true>(row + (i + 1) * Bpp);
        StorePixel<Bpp, false>(row + i * Bpp, step(x, b));
        x = next;
    }
    const size_t last = (pixels - 1) * Bpp;
    StorePixel<Bpp, true>(row + last, step(x, _mm_and_si128(LoadPixel<Bpp, true>(previous + last), lanes)));
}

template <int Bpp>
void UnfilterPixels(uint8_t filterType, uint8_t* row, const uint8_t* previous, size_t count) {
    const size_t pixels = count / Bpp;
    if (pixels == 0) return;
    PixelUnfilter<Bpp> f;
    switch (filterType) {
    case prfSub:
        ForEachPixel<Bpp>(row, previous, pixels, f, [&](__m128i x, __m128i b) { return f.Sub(x, b); });
        break;
    case prfAverage:
        ForEachPixel<Bpp>(row, previous, pixels, f, [&](__m128i x, __m128i b) { return f.Average(x, b); });
        break;
    case prfPaeth:
        ForEachPixel<Bpp>(row, previous, pixels, f, [&](__m128i x, __m128i b) { return f.Paeth(x, b); });
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
    if (filterType == prfUp) {
        size_t i = 0;
        for (; i + 16 <= count; i += 16) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(previous + i));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), _mm_add_epi8(x, b));
        }
        for (; i < count; ++i)
            row[i] = uint8_t(row[i] + previous[i]);
        return;
    }
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
    size_t i = lead;
#ifdef __SSE2__
    // Filtering reads only raw bytes, so 16 (Paeth: 8) positions go at once.
    const auto load = [](const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
    const auto store = [&](size_t at, __m128i v) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at), v);
    };
    switch (filter) {
    case prfSub:
        for (; i + 16 <= count; i += 16)
            store(i, _mm_sub_epi8(load(raw + i), load(raw + i - pixelStep)));
        break;
    case prfUp:
        for (i = 0; i + 16 <= count; i += 16)
            store(i, _mm_sub_epi8(load(raw + i), load(previous + i)));
        break;
    case prfAverage:
        for (; i + 16 <= count; i += 16) {
            const __m128i a = load(raw + i - pixelStep), b = load(previous + i);
            // pavgb rounds up; take the odd bit back off.
            const __m128i floorAvg =
                _mm_sub_epi8(_mm_avg_epu8(a, b), _mm_and_si128(_mm_xor_si128(a, b), _mm_set1_epi8(1)));
            store(i, _mm_sub_epi8(load(raw + i), floorAvg));
        }
        break;
    case prfPaeth: {
        const __m128i zero = _mm_setzero_si128();
        const auto load8 = [&](const uint8_t* p) {
            return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), zero);
        };
        for (; i + 8 <= count; i += 8) {
            const __m128i a = load8(raw + i - pixelStep), b = load8(previous + i),
                          c = load8(previous + i - pixelStep);
            const __m128i bc = _mm_sub_epi16(b, c), ac = _mm_sub_epi16(a, c);
            const __m128i pa = Abs16(bc), pb = Abs16(ac), pc = Abs16(_mm_add_epi16(bc, ac));
            const __m128i smallest = _mm_min_epi16(pc, _mm_min_epi16(pa, pb));
            const __m128i isB = _mm_cmpeq_epi16(pb, smallest), isA = _mm_cmpeq_epi16(pa, smallest);
            __m128i nearest = _mm_or_si128(_mm_and_si128(isB, b), _mm_andnot_si128(isB, c));
            nearest = _mm_or_si128(_mm_and_si128(isA, a), _mm_andnot_si128(isA, nearest));
            const __m128i result = _mm_sub_epi16(load8(raw + i), nearest);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i),
                             _mm_packus_epi16(_mm_and_si128(result, _mm_set1_epi16(0xFF)), zero));
        }
        break;
    }
    default:
        break;
    }
#endif
    switch (filter) {
    case prfSub:
        for (size_t k = 0; k < lead; ++k)
            out[k] = raw[k];
        for (; i < count; ++i)
            out[i] = uint8_t(raw[i] - raw[i - pixelStep]);
        break;
    case prfUp:
        for (; i < count; ++i)
            out[i] = uint8_t(raw[i] - previous[i]);
        for (size_t k = 0; k < lead && k < count; ++k)
            out[k] = uint8_t(raw[k] - previous[k]);
        break;
    case prfAverage:
        for (size_t k = 0; k < lead; ++k)
            out[k] = uint8_t(raw[k] - (previous[k] >> 1));
        for (; i < count; ++i)
            out[i] = uint8_t(raw[i] - ((unsigned(raw[i - pixelStep]) + previous[i]) >> 1));
        break;
    case prfPaeth:
        for (size_t k = 0; k < lead; ++k)
            out[k] = uint8_t(raw[k] - previous[k]);
        for (; i < count; ++i)
            out[i] =
                uint8_t(raw[i] - PaethPredictor(raw[i - pixelStep], previous[i], previous[i - pixelStep]));
        break;
    default:
        for (size_t k = 0; k < count; ++k)
            out[k] = raw[k];
        break;
    }
}

size_t FilterScore(const uint8_t* row, size_t count) {
    size_t score = 0, i = 2;
#ifdef __SSE2__
    for (; i + 16 <= count; i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
        const __m128i left = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i - 1));
        const __m128i left2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i - 2));
        const int hits = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(x, left), _mm_cmpeq_epi8(x, left2)));
        score += size_t(__builtin_popcount(unsigned(hits)));
    }
#endif
    for (; i < count; ++i)
        score += row[i] == row[i - 1] || row[i] == row[i - 2];
    return score;
}
