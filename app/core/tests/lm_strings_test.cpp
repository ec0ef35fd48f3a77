#include "app/core/lm_strings.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

TEST(LmStrings, CountingAndCutting) {
    EXPECT_EQ(CountOccurrences("aaaa", "aa"), 2);
    EXPECT_EQ(CountOccurrences("abc", ""), 0);

    std::string r;
    TextBetween("<TITLE>Hi</title>", "<title>", "</title>", r, true);
    EXPECT_EQ(r, "Hi");
    TextBetween("<TITLE>Hi</title>", "<title>", "</title>", r, false);
    EXPECT_EQ(r, "");
    // The end tag is searched from the start of the text, not after the start tag.
    TextBetween("</b> <b>x</b>", "<b>", "</b>", r, false);
    EXPECT_EQ(r, "");
    TextBetween("<t>Caf\xC3\xA9</t>", "<T>", "</T>", r, true);
    EXPECT_EQ(r, "Caf\xC3\xA9");

    // {start, count, result}: a start beyond the end counts as 1.
    const std::tuple<int, int, const char*> cuts[] = {
        {2, 3, "bcd"}, {4, 3, "def"}, {5, 3, ""}, {9, 2, "ab"}, {0, 2, ""}, {1, -1, ""}, {2, 2147483647, ""}};
    for (const auto& [start, count, result] : cuts) {
        SubStr("abcdef", start, count, r);
        EXPECT_EQ(r, result) << start << "," << count;
    }
    std::string nul("ab\0cd", 5);
    TrimAtNul(nul);
    EXPECT_EQ(nul, "ab");
    StrLeft(std::string("xy\0z", 4), 4, r);
    EXPECT_EQ(r, "xy");
    StrLeft("hello", 30, r);
    EXPECT_EQ(r, "hello");
    StrLeft("hello", -1, r);
    EXPECT_EQ(r, "");

    // The position counts from the start of the tail: the second "c" is at 2 in "bc".
    const std::tuple<int, const char*, int> positions[] = {
        {1, "c", 3}, {5, "c", 2}, {6, "c", 1}, {7, "c", 0}, {2, "", 0}};
    for (const auto& [from, sub, at] : positions)
        EXPECT_EQ(PosFrom("abcabc", sub, from), at) << from << " " << sub;
}

TEST(LmStrings, UrlEncodeKeepsTheSafeSetAndXmlEscapingMakesItWellFormed) {
    EXPECT_EQ(UrlEncode("http://a.b/my page.html"), "http://a.b/my+page.html");
    EXPECT_EQ(UrlEncode("caf\xC3\xA9"), "caf%C3%A9");
    EXPECT_EQ(UrlEncode("100%25 $-_@.!*'(),;~?=&#"), "100%25+$-_@.!*'(),;~?=&#");
    EXPECT_EQ(UrlEncode("a{b}c|d\\e^f`g[h]"), "a%7Bb%7Dc%7Cd%5Ce%5Ef%60g%5Bh%5D");
    EXPECT_EQ(UrlEncode(std::string("a\0b\tc\x7F", 6)), "a%00b%09c%7F");

    std::string r;
    // An existing reference must not survive as markup: the "&" is escaped first.
    UrlEncodeXml("&lt;script&gt;", r);
    EXPECT_EQ(r, "&amp;lt;script&amp;gt;");
    UrlEncodeXml("/a\"b'c<d>e</loc><x>", r);
    EXPECT_EQ(r, "/a&quot;b&apos;c&lt;d&gt;e&lt;/loc&gt;&lt;x&gt;");
    UrlEncodeXml(std::string("]]>\x01\0\xFF", 6), r);
    EXPECT_EQ(r, "%5D%5D&gt;%01%00%FF");
    // Characters XML cannot hold are left out rather than written raw.
    EXPECT_EQ(XmlEscape(std::string("a\x01\x1F\tb\r\n\0", 9)), "a\tb\r\n");
}

} // namespace
