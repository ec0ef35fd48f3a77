#include "app/core/lm_strings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(LmStrings, CountingAndCutting) {
    EXPECT_EQ(CountOccurrences("http://site", "/"), 2);
    EXPECT_EQ(CountOccurrences("aaaa", "aa"), 2);
    EXPECT_EQ(CountOccurrences("abc", ""), 0);
    EXPECT_EQ(CountOccurrences("", "a"), 0);

    std::string r;
    TextBetween("<TITLE>Hi</title>", "<title>", "</title>", r, true);
    EXPECT_EQ(r, "Hi");
    TextBetween("<TITLE>Hi</title>", "<title>", "</title>", r, false);
    EXPECT_EQ(r, "");
    // The end tag is searched from the start of the text, not after the start tag.
    TextBetween("</b> <b>x</b>", "<b>", "</b>", r, false);
    EXPECT_EQ(r, "");
    TextBetween("<b></b>", "<b>", "</b>", r, false);
    EXPECT_EQ(r, "");
    TextBetween("<t>Caf\xC3\xA9</t>", "<T>", "</T>", r, true);
    EXPECT_EQ(r, "Caf\xC3\xA9");

    SubStr("abcdef", 2, 3, r);
    EXPECT_EQ(r, "bcd");
    SubStr("abcdef", 4, 3, r);
    EXPECT_EQ(r, "def");
    SubStr("abcdef", 5, 3, r);
    EXPECT_EQ(r, "");
    SubStr("abcdef", 9, 2, r); // beyond the end counts as 1
    EXPECT_EQ(r, "ab");
    SubStr("abcdef", 0, 2, r);
    EXPECT_EQ(r, "");
    SubStr("abcdef", 1, -1, r);
    EXPECT_EQ(r, "");
    SubStr("abc", 2, 2147483647, r);
    EXPECT_EQ(r, "");

    std::string nul("ab\0cd", 5);
    TrimAtNul(nul);
    EXPECT_EQ(nul, "ab");
    StrLeft(std::string("xy\0z", 4), 4, r);
    EXPECT_EQ(r, "xy");
    StrLeft("hello", 3, r);
    EXPECT_EQ(r, "hel");
    StrLeft("hello", 30, r);
    EXPECT_EQ(r, "hello");
    StrLeft("hello", -1, r);
    EXPECT_EQ(r, "");
}

TEST(LmStrings, PosFromCountsFromTheStartOfTheTail) {
    EXPECT_EQ(PosFrom("abcabc", "c", 1), 3);
    // The second "c" is at 6 in the whole text but at 2 in "bc".
    EXPECT_EQ(PosFrom("abcabc", "c", 5), 2);
    EXPECT_EQ(PosFrom("abcabc", "c", 4), 3);
    EXPECT_EQ(PosFrom("abcabc", "a", 2), 3);
    EXPECT_EQ(PosFrom("abcabc", "c", 6), 1);
    EXPECT_EQ(PosFrom("abcabc", "c", 7), 0);
    EXPECT_EQ(PosFrom("abcabc", "x", 2), 0);
    EXPECT_EQ(PosFrom("abcabc", "", 2), 0);
}

TEST(LmStrings, UrlEncodeKeepsTheSafeSetAndEncodesEveryOtherByte) {
    EXPECT_EQ(UrlEncode("http://a.b/my page.html"), "http://a.b/my+page.html");
    EXPECT_EQ(UrlEncode("x.php?a=1&b=2#top"), "x.php?a=1&b=2#top");
    EXPECT_EQ(UrlEncode("\xE9"), "%E9");
    EXPECT_EQ(UrlEncode("caf\xC3\xA9"), "caf%C3%A9");
    EXPECT_EQ(UrlEncode("100%25 $-_@.!*'(),;~"), "100%25+$-_@.!*'(),;~");
    EXPECT_EQ(UrlEncode("a{b}c|d\\e^f`g[h]"), "a%7Bb%7Dc%7Cd%5Ce%5Ef%60g%5Bh%5D");
    EXPECT_EQ(UrlEncode(std::string("a\0b\tc\x7F", 6)), "a%00b%09c%7F");
    EXPECT_EQ(UrlEncode("AbZz09"), "AbZz09");
}

TEST(LmStrings, UrlEncodeXmlGivesWellFormedTextForHostileInput) {
    std::string r;
    UrlEncodeXml("x.php?a=1&b=2", r);
    EXPECT_EQ(r, "x.php?a=1&amp;b=2");
    // An existing reference must not survive as markup: the "&" is escaped first.
    UrlEncodeXml("&lt;script&gt;", r);
    EXPECT_EQ(r, "&amp;lt;script&amp;gt;");
    UrlEncodeXml("/a\"b'c<d>e</loc><x>", r);
    EXPECT_EQ(r, "/a&quot;b&apos;c&lt;d&gt;e&lt;/loc&gt;&lt;x&gt;");
    UrlEncodeXml(std::string("]]>\x01\0\xFF", 6), r);
    EXPECT_EQ(r, "%5D%5D&gt;%01%00%FF");
    for (const char c : r)
        EXPECT_TRUE(c >= 0x20 && c < 0x7F) << static_cast<int>(c);

    EXPECT_EQ(XmlEscape("a&b<c>'\""), "a&amp;b&lt;c&gt;&apos;&quot;");
    // Characters XML cannot hold are left out rather than written raw.
    EXPECT_EQ(XmlEscape(std::string("a\x01\x1F\tb\r\n\0", 9)), "a\tb\r\n");
}

} // namespace
