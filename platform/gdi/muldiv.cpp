#include "platform/gdi/muldiv.h"

#include <climits>
#include <cstdlib>

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    const long long product = static_cast<long long>(number) * numerator;
    const long long d = denominator;
    const long long half = std::llabs(d) / 2;
    const bool negative = (product < 0) != (d < 0);
    const long long q = (std::llabs(product) + half) / std::llabs(d);
    const long long result = negative ? -q : q;
    if (result > INT_MAX || result < INT_MIN) return -1;
    return static_cast<int>(result);
}
