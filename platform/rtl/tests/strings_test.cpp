#include "platform/rtl/exception.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/unicode.h"

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
    EXPECT_EQ(StrToIntDef("0x1f", 7), 31);
    EXPECT_EQ(StrToIntDef("2147483648", 7), 7);
    EXPECT_EQ(IntToHex(0xABC, 6), "000ABC");
    EXPECT_EQ(FloatToStr(0.5), "0.5");
    EXPECT_EQ(FloatToStr(1.0), "1");
    EXPECT_EQ(FloatToStr(1e20), "1E20");
    EXPECT_EQ(FloatToStr(1e-5), "1E-5");
    EXPECT_EQ(FloatToStr(0.1 + 0.2), "0.3");
    EXPECT_DOUBLE_EQ(StrToFloat("0.25"), 0.25);
    EXPECT_THROW(StrToFloat("0,25"), EConvertError);
}

TEST(Format, DirectivesAsTheClassLibraryWritesThem) {
    EXPECT_EQ(Format("Cannot open file %s", "a b.qpw"), "Cannot open file a b.qpw");
    EXPECT_EQ(Format("List index out of bounds (%d)", -1), "List index out of bounds (-1)");
    EXPECT_EQ(Format("%x|%X", 255, 0x1FFFFFFF), "FF|1FFFFFFF");
    EXPECT_EQ(Format("%x", -1), "FFFFFFFF");
    EXPECT_EQ(Format("%5d|%-5d|%.3d", 42, 42, 7), "   42|42   |007");
    EXPECT_EQ(Format("100%% of %u", 3u), "100% of 3");
    EXPECT_EQ(Format("%.1f", 0.25), "0.2");
    EXPECT_EQ(Format("%d", INT64_MIN), "-9223372036854775808");
}

TEST(Format, BadDirectivesRaiseInsteadOfReadingPastTheArguments) {
    EXPECT_THROW(Format("%s %s", "one"), EConvertError);
    EXPECT_THROW(Format("%d", "text"), EConvertError);
    EXPECT_THROW(Format("%s", 5), EConvertError);
    EXPECT_THROW(Format("ends with %"), EConvertError);
    EXPECT_THROW(Format("%q", 1), EConvertError);
}

TEST(Unicode, MalformedInputBecomesReplacementCharacters) {
    // Overlong form, lone continuation byte, truncated sequence at the end, encoded surrogate.
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("x\x80y"), u"x\uFFFDy");
    EXPECT_EQ(Utf8ToUtf16("\xE2\x82"), u"\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
    // Lone surrogates in UTF-16 do not produce invalid UTF-8.
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800)) + u"a"), std::string("\xEF\xBF\xBD") + "a");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xDC00))), "\xEF\xBF\xBD");
}

TEST(Unicode, AsciiRunsKeepTheirPlaceBetweenOtherCharacters) {
    // Runs of ASCII of every length before, between and after wider characters and a broken pair.
    const std::u16string wide =
        u"http://x/caf\u00E9-\U0001F600/a" + std::u16string(1, char16_t(0xD800)) + u"?q=1\u20AC";
    EXPECT_EQ(Utf16ToUtf8(wide), "http://x/caf\xC3\xA9-\xF0\x9F\x98\x80/a\xEF\xBF\xBD?q=1\xE2\x82\xAC");
    EXPECT_EQ(Utf16ToUtf8(u"\u00E9x"), "\xC3\xA9x");
    EXPECT_EQ(Utf16ToUtf8(u""), "");
    std::u16string longRun(300, u'a');
    longRun += u'\u00FC';
    EXPECT_EQ(Utf16ToUtf8(longRun), std::string(300, 'a') + "\xC3\xBC");
    // And back, with a stray continuation byte and a cut sequence between the runs.
    EXPECT_EQ(Utf8ToUtf16("http://x/caf\xC3\xA9-\xF0\x9F\x98\x80/a\xEF\xBF\xBD?q=1\xE2\x82\xAC"),
              u"http://x/caf\u00E9-\U0001F600/a\uFFFD?q=1\u20AC");
    EXPECT_EQ(Utf8ToUtf16("ab\x80"
                          "cd\xE2\x82"),
              u"ab\uFFFDcd\uFFFD");
    EXPECT_EQ(Utf8ToUtf16(std::string(300, 'a') + "\xC3\xBC"), std::u16string(300, u'a') + u"\u00FC");
    EXPECT_EQ(Utf8ToUtf16(""), u"");
}

TEST(Unicode, EncodingLengthsChangeExactlyAtTheirBoundaries) {
    // The last code point of each length and the first of the next, plus the last of all: every plane.
    const std::u16string wide = u"\u007F\u0080\u07FF\u0800\uFFFF\U00010000\U0010FFFF";
    const std::string narrow = "\x7F"
                               "\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF";
    EXPECT_EQ(Utf16ToUtf8(wide), narrow);
    EXPECT_EQ(Utf8ToUtf16(narrow), wide);
    // Just past the range, and just below the shortest legal three- and four-byte forms.
    EXPECT_EQ(Utf8ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xE0\x9F\xBF"), u"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xF0\x8F\xBF\xBF"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
    std::string out;
    AppendUtf8(out, 0x110000);
    AppendUtf8(out, 0xDFFF);
    EXPECT_EQ(out, "\xEF\xBF\xBD\xEF\xBF\xBD");
}
