#include "fetch/html/wide_string.h"

#include <gtest/gtest.h>

TEST(WideString, FoldingFollowsUnicode4SimpleFolding) {
    EXPECT_EQ(WideCharFold(u'A'), u'a');
    EXPECT_EQ(WideCharFold(u'z'), u'z');
    EXPECT_EQ(WideCharFold(0x03C2), 0x03C3);
    EXPECT_EQ(WideCharFold(0x1F88), 0x1F80);
    EXPECT_EQ(WideCharFold(0x212A), u'k');
    EXPECT_EQ(WideCharFold(0x00C0), 0x00E0);
    EXPECT_EQ(WideCharFold(0x00B5), 0x03BC);
    // Unchanged: Turkish dotted I, sharp s (no full folding), later additions, surrogates.
    for (char16_t c : {char16_t(0x0130), char16_t(0x00DF), char16_t(0x03FD), char16_t(0x04F6),
                       char16_t(0x1E9E), char16_t(0x2C00), char16_t(0x10A0), char16_t(0xD800)})
        EXPECT_EQ(WideCharFold(c), c) << std::hex << int(c);
    EXPECT_FALSE(SameWideStrI(u"STRASSE", u"stra\u00DFe"));
    EXPECT_TRUE(SameWideStrI(u"\u03A3\u0391\u03A3", u"\u03C3\u03B1\u03C2"));
    EXPECT_FALSE(SameWideStrI(u"ab", u"abc"));
    EXPECT_TRUE(SameWideBufI(u"HREFxyz", 4, u"href"));
    EXPECT_FALSE(SameWideBuf(u"HREF", 4, u"href"));
    EXPECT_TRUE(SameWideBuf(u"", 0, u""));
}

TEST(WideString, PositionsAreOneBasedWithZeroForNone) {
    EXPECT_EQ(PosChar(u"a/b/c", u'/', 3), 4u);
    EXPECT_EQ(PosChar(u"a/b/c", u'/', 0), 0u);
    EXPECT_EQ(PosChar(u"a/b/c", u'/', 6), 0u);
    EXPECT_EQ(PosChar(u"a/b/c", u'/', 5), 0u);
    EXPECT_EQ(LastPosChar(u"a/b/c", u'/', 0), 4u);
    EXPECT_EQ(LastPosChar(u"a/b/c", u'/', 3), 2u);
    EXPECT_EQ(LastPosChar(u"a/b/c", u'/', 1), 0u);
    EXPECT_EQ(LastPosChar(u"a/b/c", u'/', 6), 0u);
    EXPECT_EQ(LastPosChar(u"", u'/', 0), 0u);
    EXPECT_EQ(PosWideStr(u"./", u"/a/./b", 1), 4u);
    EXPECT_EQ(PosWideStr(u"B", u"aBc", 1), 2u);
    EXPECT_EQ(PosWideStr(u"b", u"aBc", 1), 0u);
    EXPECT_EQ(PosWideStr(u"bc", u"aBc", 3), 0u);
    EXPECT_EQ(PosWideStr(u"", u"aBc", 1), 0u);
    EXPECT_EQ(PosWideStrI(u"b", u"aBc", 1), 2u);
    EXPECT_EQ(PosWideStrI(u"BC", u"abcbc", 3), 4u);
    EXPECT_FALSE(AllCharsFrom(u"", IsDigit, 1));
    EXPECT_TRUE(AllCharsFrom(u"a12", IsDigit, 2));
    EXPECT_FALSE(AllCharsFrom(u"a12", IsDigit, 0));
    EXPECT_TRUE(AnyCharFrom(u"ab1", IsDigit, 3));
    EXPECT_FALSE(AnyCharFrom(u"1ab", IsDigit, 2));
    EXPECT_EQ(PosNotMatching(u"  x", IsWhiteSpace, 1), 3u);
    EXPECT_EQ(PosNotMatching(u"   ", IsWhiteSpace, 1), 0u);
}

TEST(WideString, BufferGrowthFollowsItsFormulas) {
    std::u16string s;
    size_t len = 0;
    AppendWideBuf(u"abcde", 5, s, len); // (5 + 2 + 3) & ~3 = 8
    EXPECT_EQ(s.size(), 8u);
    EXPECT_EQ(len, 5u);
    AppendWideBuf(nullptr, 3, s, len);
    AppendWideStr(u"", s, len);
    EXPECT_EQ(len, 5u);
    EXPECT_EQ(AppendWideChar(u'f', s, len), 5u);
    AppendWideChar(u'g', s, len);
    AppendWideChar(u'h', s, len);
    EXPECT_EQ(s.size(), 8u);
    AppendWideChar(u'i', s, len); // (2 * 8 + 4) & ~3 = 20
    EXPECT_EQ(s.size(), 20u);
    EXPECT_EQ(s.substr(0, len), u"abcdefghi");
}

TEST(WideString, HashesAreLookup2AndFoldAware) {
    // Values from an independent lookup2 implementation; they cover both block paths and tails.
    EXPECT_EQ(HashBuf("", 0, 0), 0xBD49D10Du);
    const char* text = "Four score and seven years ago";
    EXPECT_EQ(HashBuf(text, 30, 0), 0x50F2424Bu);
    EXPECT_EQ(HashBuf(text, 30, 1), 0x89DEAE7Eu);
    EXPECT_EQ(HashBuf("abcdefghijk", 11, 0x12345678), 0xAEAAA6A3u);
    std::u16string w = u"ab";
    const uint8_t bytes[] = {'a', 0, 'b', 0};
    EXPECT_EQ(HashWideStr(w, 7), HashBuf(bytes, 4, 7));
    // Equal under folding means equal hashes, for every tail length.
    std::u16string upper = u"HREF-\u03A3TYLESHEET";
    std::u16string lower = u"href-\u03C3tylesheet";
    for (size_t n = 0; n <= upper.size(); ++n)
        EXPECT_EQ(HashWideBufI(upper.data(), n, 3), HashWideBufI(lower.data(), n, 3)) << n;
    EXPECT_NE(HashWideStrI(u"abcdefg", 0), HashWideStrI(u"abcdefh", 0));
    EXPECT_NE(HashWideStrI(u"abcdefghijk", 0), HashWideStrI(u"abcdefghijl", 0));
}
