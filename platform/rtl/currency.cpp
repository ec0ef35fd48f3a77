#include "platform/rtl/currency.h"

#include "platform/rtl/exception.h"

#include <cmath>

namespace {
// 2^63 ten-thousandths; the largest amount below it converts without overflow.
constexpr double Limit = 9223372036854775808.0 / 10000.0;
} // namespace

bool IsCurrencyInRange(double value) {
    return std::isfinite(value) && std::fabs(value) < Limit;
}

int64_t CurrencyUnits(double value) {
    if (!IsCurrencyInRange(value)) throw EConvertError("Invalid currency value");
    const double scaled = std::nearbyint(value * 10000.0);
    // Rounding may still land exactly on 2^63.
    if (std::fabs(scaled) >= 9223372036854775807.0) throw EConvertError("Invalid currency value");
    return static_cast<int64_t>(scaled);
}
