#include "platform/rtl/extended.h"

#include <bit>
#include <cmath>
#include <limits>

namespace float80 {

std::array<uint8_t, 10> FromDouble(double value) {
    const uint64_t bits = std::bit_cast<uint64_t>(value);
    const bool negative = (bits >> 63) != 0;
    const int exponent = static_cast<int>((bits >> 52) & 0x7FF);
    const uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);

    uint64_t mantissa = 0;
    int exponent80 = 0;
    if (exponent == 0x7FF) {
        exponent80 = 0x7FFF;
        mantissa = uint64_t{1} << 63;
        if (fraction != 0) mantissa |= (uint64_t{1} << 62) | (fraction << 11);
    } else if (exponent == 0) {
        if (fraction != 0) {
            // Subnormal double: normal in the wider exponent range.
            const int top = 63 - std::countl_zero(fraction);
            mantissa = fraction << (63 - top);
            exponent80 = top - 1074 + 16383;
        }
    } else {
        mantissa = (uint64_t{1} << 63) | (fraction << 11);
        exponent80 = exponent - 1023 + 16383;
    }

    std::array<uint8_t, 10> out{};
    for (int i = 0; i < 8; ++i)
        out[static_cast<size_t>(i)] = static_cast<uint8_t>(mantissa >> (8 * i));
    const unsigned signExponent = (negative ? 0x8000u : 0u) | static_cast<unsigned>(exponent80);
    out[8] = static_cast<uint8_t>(signExponent);
    out[9] = static_cast<uint8_t>(signExponent >> 8);
    return out;
}

double ToDouble(const std::array<uint8_t, 10>& bytes) {
    uint64_t mantissa = 0;
    for (int i = 7; i >= 0; --i)
        mantissa = (mantissa << 8) | bytes[static_cast<size_t>(i)];
    const unsigned signExponent = bytes[8] | (static_cast<unsigned>(bytes[9]) << 8);
    const bool negative = (signExponent & 0x8000u) != 0;
    const int exponent = static_cast<int>(signExponent & 0x7FFFu);

    double magnitude;
    if (exponent == 0x7FFF) {
        magnitude = (mantissa << 1) == 0 ? std::numeric_limits<double>::infinity()
                                         : std::numeric_limits<double>::quiet_NaN();
    } else if (mantissa == 0) {
        magnitude = 0.0;
    } else {
        // Keep the top 53 significant bits rounded to nearest-even, then scale once, so a result in
        // double's normal range is rounded only once.
        const int lead = 63 - std::countl_zero(mantissa);
        int scale = (exponent == 0 ? 1 : exponent) - 16383 - 63;
        if (lead > 52) {
            const int drop = lead - 52;
            const uint64_t kept = mantissa >> drop;
            const uint64_t rest = mantissa & ((uint64_t{1} << drop) - 1);
            const uint64_t half = uint64_t{1} << (drop - 1);
            uint64_t rounded = kept;
            if (rest > half || (rest == half && (kept & 1) != 0)) ++rounded;
            mantissa = rounded;
            scale += drop;
        }
        magnitude = std::ldexp(static_cast<double>(mantissa), scale);
    }
    return negative ? -magnitude : magnitude;
}

} // namespace float80
