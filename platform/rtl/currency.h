#pragma once
// Currency: a 64-bit integer counting ten-thousandths, as the stream stores it.
#include <cstdint>

// False for NaN, infinities and amounts beyond the 64-bit range.
bool IsCurrencyInRange(double value);
// The amount in ten-thousandths, rounded to nearest; EConvertError when out of range.
int64_t CurrencyUnits(double value);
