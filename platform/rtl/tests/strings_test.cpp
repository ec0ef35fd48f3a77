#include "platform/rtl/exception.h"
#include "platform/rtl/strings.h"

#include <gtest/gtest.h>

TEST(Strings, CaseFoldingIsAsciiOnly) {
    EXPECT_EQ(UpperCase("abc\xC3\xA9"), "ABC\xC3\xA9");
    EXPECT_TRUE(SameText("Index.HTML", "index.html"));
    EXPECT_FALSE(SameText("\xC3\xA9", "\xC3\x89"));
    EXPECT_LT(CompareText("apple", "Banana"), 0);
    EXPECT_LT(CompareText("ab", "ABC"), 0);
}

TEST(Strings, PosCountsFromOneAndReplaceHonoursFlags) {
    EXPECT_EQ(Pos("b", "abc"), 2);
    EXPECT_EQ(Pos("x", "abc"), 0);
    EXPECT_EQ(Pos("", "abc"), 0);
    EXPECT_EQ(StringReplace("a\\b\\c", "\\", "/", rfReplaceAll), "a/b/c");
    EXPECT_EQ(StringReplace("a\\b\\c", "\\", "/", 0), "a/b\\c");
    EXPECT_EQ(StringReplace("Hello HELLO", "hello", "x", rfReplaceAll | rfIgnoreCase), "x x");
    EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
}

TEST(Strings, NumbersConvertStrictly) {
    EXPECT_EQ(StrToInt(" 42 "), 42);
    EXPECT_EQ(StrToInt("$FF"), 255);
    EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1); // colour patterns
    EXPECT_THROW(StrToInt("2147483648"), EConvertError);
    EXPECT_THROW(StrToInt("12abc"), EConvertError);
    EXPECT_EQ(StrToIntDef("", 7), 7);
    EXPECT_EQ(IntToHex(0xABC, 6), "000ABC");
    EXPECT_EQ(FloatToStr(0.5), "0.5");
    EXPECT_EQ(FloatToStr(1.0), "1");
    EXPECT_EQ(FloatToStr(1e20), "1E20");
    EXPECT_EQ(FloatToStr(1e-5), "1E-5");
    EXPECT_EQ(FloatToStr(0.1 + 0.2), "0.3");
    EXPECT_DOUBLE_EQ(StrToFloat("0.25"), 0.25);
    EXPECT_THROW(StrToFloat("0,25"), EConvertError);
}
