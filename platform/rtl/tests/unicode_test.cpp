#include "platform/rtl/unicode.h"

#include <gtest/gtest.h>

TEST(Unicode, RoundTripsEveryPlane) {
    const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z"; // a é € 😀 z
    const std::u16string wide = Utf8ToUtf16(text);
    EXPECT_EQ(wide, u"a\u00E9\u20AC\U0001F600z");
    EXPECT_EQ(Utf16ToUtf8(wide), text);
}

TEST(Unicode, MalformedInputBecomesReplacementCharacters) {
    // Overlong form, lone continuation byte, truncated sequence at the end, encoded surrogate.
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("x\x80y"), u"x\uFFFDy");
    EXPECT_EQ(Utf8ToUtf16("\xE2\x82"), u"\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
    // Lone surrogates in UTF-16 do not produce invalid UTF-8.
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800)) + u"a"), "\xEF\xBF\xBD"
                                                                       "a");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xDC00))), "\xEF\xBF\xBD");
}

TEST(Unicode, EncodingLengthsChangeExactlyAtTheirBoundaries) {
    // The last code point of each length and the first of the next, plus the last of all.
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
