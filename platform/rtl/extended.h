#pragma once
// The 10-byte extended-precision float of the component stream (x87 layout: 64-bit mantissa with an
// explicit integer bit, 15-bit exponent biased by 16383, sign), converted by hand so that any host works.
#include <array>
#include <cstdint>

namespace float80 {
// Exact for every double, including subnormals, infinities and signed zero; a NaN stays a NaN.
std::array<uint8_t, 10> FromDouble(double value);
// Rounds to the nearest double; values beyond double's range become infinities or zero.
double ToDouble(const std::array<uint8_t, 10>& bytes);
} // namespace float80
