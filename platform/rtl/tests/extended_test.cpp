#include "platform/rtl/extended.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>

namespace {

using Bytes10 = std::array<uint8_t, 10>;

Bytes10 Make(uint64_t mantissa, unsigned signExponent) {
    Bytes10 b{};
    for (int i = 0; i < 8; ++i)
        b[static_cast<size_t>(i)] = static_cast<uint8_t>(mantissa >> (8 * i));
    b[8] = static_cast<uint8_t>(signExponent);
    b[9] = static_cast<uint8_t>(signExponent >> 8);
    return b;
}

TEST(Float80, KnownEncodings) {
    const uint64_t one = uint64_t{1} << 63;
    EXPECT_EQ(float80::FromDouble(0.5), Make(one, 0x3FFE));
    EXPECT_EQ(float80::FromDouble(1.0), Make(one, 0x3FFF));
    EXPECT_EQ(float80::FromDouble(-2.0), Make(one, 0xC000));
    EXPECT_EQ(float80::FromDouble(0.1), Make(0xCCCCCCCCCCCCD000u, 0x3FFB));
    EXPECT_EQ(float80::FromDouble(0.0), Make(0, 0));
    EXPECT_EQ(float80::FromDouble(-0.0), Make(0, 0x8000));
    EXPECT_EQ(float80::FromDouble(std::numeric_limits<double>::infinity()), Make(one, 0x7FFF));
    EXPECT_EQ(float80::FromDouble(-std::numeric_limits<double>::infinity()), Make(one, 0xFFFF));
    // The smallest subnormal double, 2^-1074, is a normal extended number.
    EXPECT_EQ(float80::FromDouble(std::numeric_limits<double>::denorm_min()), Make(one, 16383 - 1074));
    EXPECT_EQ(float80::FromDouble(std::numeric_limits<double>::max()), Make(0xFFFFFFFFFFFFF800u, 0x43FE));

    EXPECT_EQ(float80::ToDouble(Make(one, 0x3FFE)), 0.5);
    EXPECT_TRUE(std::signbit(float80::ToDouble(Make(0, 0x8000))));
    EXPECT_TRUE(std::isnan(float80::ToDouble(Make(0xC000000000000000u, 0x7FFF))));
    EXPECT_EQ(float80::ToDouble(Make(one, 0xFFFF)), -std::numeric_limits<double>::infinity());
}

TEST(Float80, EveryDoubleRoundTripsExactly) {
    std::mt19937_64 random(12345);
    for (int i = 0; i < 200000; ++i) {
        const uint64_t bits = random();
        const double value = std::bit_cast<double>(bits);
        const double back = float80::ToDouble(float80::FromDouble(value));
        if (std::isnan(value))
            ASSERT_TRUE(std::isnan(back)) << std::hex << bits;
        else
            ASSERT_EQ(std::bit_cast<uint64_t>(back), bits) << std::hex << bits;
    }
    for (uint64_t fraction :
         {uint64_t{1}, uint64_t{2}, uint64_t{0xFFFFFFFFFFFFF}, uint64_t{0x8000000000000}}) {
        const double subnormal = std::bit_cast<double>(fraction);
        EXPECT_EQ(float80::ToDouble(float80::FromDouble(subnormal)), subnormal);
    }
}

TEST(Float80, ValuesBeyondDoubleAreRoundedOrClamped) {
    const uint64_t one = uint64_t{1} << 63;
    // Past double's exponent range: infinity; far below it: zero.
    EXPECT_EQ(float80::ToDouble(Make(one, 0x3FFF + 1024)), std::numeric_limits<double>::infinity());
    EXPECT_EQ(float80::ToDouble(Make(one, 0x3FFF - 1100)), 0.0);
    // 1 + 2^-53 is a tie and goes to the even neighbour 1; 1 + 2^-53 + 2^-63 rounds up.
    EXPECT_EQ(float80::ToDouble(Make(one | (uint64_t{1} << 10), 0x3FFF)), 1.0);
    EXPECT_EQ(float80::ToDouble(Make(one | (uint64_t{1} << 10) | 1, 0x3FFF)), 1.0 + std::ldexp(1.0, -52));
    // An all-ones mantissa rounds up into the next binade.
    EXPECT_EQ(float80::ToDouble(Make(~uint64_t{0}, 0x3FFF)), 2.0);
    // An extended denormal (exponent field 0) is far below double's range.
    EXPECT_EQ(float80::ToDouble(Make(one, 0)), 0.0);
}

} // namespace
