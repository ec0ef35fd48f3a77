#include "fetch/html/unicode_reader.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "fetch/html/code_page_tables.h"
#include "fetch/html/wide_string.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/stream.h"
#include "tests/support/thrown_message.h"

namespace {

std::u16string DecodeAll(const std::string& bytes, const TDIReadMethod* method) {
    TDIUnicodeReader r;
    r.SetReadMethod(method);
    r.SetSourceString(bytes);
    std::u16string out;
    while (r.ReadChar())
        out += r.Char();
    return out;
}

std::string Bytes(std::initializer_list<int> b) {
    std::string s;
    for (int v : b)
        s.push_back(static_cast<char>(v));
    return s;
}

} // namespace

TEST(UnicodeReader, CountsLinesColumnsAndCharacters) {
    TDIUnicodeReader r;
    r.SetSourceString("");
    EXPECT_FALSE(r.ReadChar());
    EXPECT_FALSE(r.HasChar());
    EXPECT_EQ(r.CharCount(), 0u);
    EXPECT_EQ(r.Line(), 1u);
    EXPECT_EQ(r.Column(), 0u);
    for (const char* text : {"a\r\nb", "a\rb", "a\nb"}) {
        r.SetSourceString(text);
        while (r.ReadChar() && r.Char() != u'b') {
        }
        EXPECT_EQ(r.Line(), 2u) << text;
        EXPECT_EQ(r.Column(), 1u) << text;
        EXPECT_EQ(r.CharCount(), std::string(text).size()) << text;
    }
    r.SetSourceString("ab\n\ncd");
    r.ReadChar();
    EXPECT_EQ(r.Column(), 1u);
    r.SkipUntilChar(u'c');
    EXPECT_EQ(r.Line(), 3u);
    EXPECT_EQ(r.Column(), 1u);
}

TEST(UnicodeReader, LookAheadWaitsAndKeepsItsDecoding) {
    TDIUnicodeReader r;
    r.SetSourceString("xy");
    ASSERT_TRUE(r.ReadChar());
    EXPECT_FALSE(r.FillLookAhead(3));
    EXPECT_EQ(r.LookAheadCount(), 1u);
    EXPECT_EQ(r.CharCount(), 1u);
    EXPECT_TRUE(r.ReadChar());
    EXPECT_EQ(r.Char(), u'y');
    EXPECT_FALSE(r.ReadChar());

    r.SetSourceString("\xC3\xA9\xC3\xA9");
    ASSERT_TRUE(r.ReadChar());
    EXPECT_EQ(r.Char(), 0xC3); // Latin-1
    ASSERT_TRUE(r.FillLookAhead(1));
    r.SetReadMethod(&ReadCharUtf8);
    r.ReadChar();
    EXPECT_EQ(r.Char(), 0xA9); // decoded before the switch
    r.ReadChar();
    EXPECT_EQ(r.Char(), 0xE9);
    r.SetReadMethod(nullptr);
    EXPECT_EQ(r.ReadMethod(), &ReadCharLatin1);

    // Appending at the end of input is a no-op, so loops on it terminate.
    r.SetSourceString("ab");
    r.ReadChar();
    for (int i = 0; i < 5; ++i)
        r.AppendAndReadChar();
    EXPECT_EQ(r.GetText(), u"ab");
}

TEST(UnicodeReader, ScansAndCollapsesText) {
    TDIUnicodeReader r;
    r.SetSourceString("  abc-def>rest");
    r.ReadChar();
    r.SkipWhiteSpace();
    r.AppendUntilChars2(u'-', u'>');
    EXPECT_EQ(r.GetText(), u"abc");
    r.AppendUntilChar(u'>');
    EXPECT_EQ(r.GetText(), u"abc-def");
    r.ReadChar();
    r.AppendUntil(IsWhiteSpace);
    EXPECT_FALSE(r.HasChar());
    EXPECT_EQ(r.GetText(), u"abc-defrest");
    r.ClearText();
    r.AppendStringCollapsed(u" a \t\r\n b ");
    EXPECT_EQ(r.GetText(), u" a b ");
    r.AppendStringCollapsed(u" a \t\r\n b ");
    EXPECT_EQ(r.GetText(), u" a b a b ");
    r.AppendCharCollapsed(u'\t');
    EXPECT_EQ(r.GetText(), u" a b a b ");
    r.ClearText();
    r.AppendSpace();
    r.AppendSpace();
    EXPECT_EQ(r.GetText(), u" ");
}

TEST(UnicodeReader, Utf8ReplacesMalformedBytes) {
    const TDIReadMethod* m = &ReadCharUtf8;
    EXPECT_EQ(DecodeAll("\xC3\xA9", m), u"\u00E9");
    EXPECT_EQ(DecodeAll("\xC0\x80", m), u"\uFFFD");
    EXPECT_EQ(DecodeAll("\xE2\x82\xAC", m), u"\u20AC");
    EXPECT_EQ(DecodeAll("\xF0\x9F\x98\x80", m), u"\uFFFD");
    EXPECT_EQ(DecodeAll("\xC3"
                        "A",
                        m),
              u"\uFFFDA");
    EXPECT_EQ(DecodeAll("x\xC3", m), u"x");
    EXPECT_EQ(DecodeAll("\xED\xA0\x80", m), u"\uFFFD");
    EXPECT_EQ(DecodeAll("\xF8\x88\x80\x80\x80", m), u"\uFFFD");
    EXPECT_EQ(DecodeAll("\x80\xBF<", m), u"\uFFFD\uFFFD<");
    EXPECT_EQ(DecodeAll("\xE0\x80\xAF", m), u"\uFFFD");
}

TEST(UnicodeReader, Utf16ReplacesLoneSurrogatesAndReadsOn) {
    EXPECT_EQ(DecodeAll(Bytes({0x41, 0x00}), &ReadCharUtf16LE), u"A");
    EXPECT_EQ(DecodeAll(Bytes({0x00, 0x41}), &ReadCharUtf16BE), u"A");
    EXPECT_EQ(DecodeAll(Bytes({0x3D, 0xD8, 0x00, 0xDE, 0x42, 0x00}), &ReadCharUtf16LE), u"\uFFFDB");
    EXPECT_EQ(DecodeAll(Bytes({0x41, 0x00, 0x41}), &ReadCharUtf16LE), u"A");
    EXPECT_EQ(DecodeAll(Bytes({0x00, 0xDC, 0x41, 0x00}), &ReadCharUtf16LE), u"\uFFFDA");
    EXPECT_EQ(DecodeAll(Bytes({0x00, 0xD8, 0x41, 0x00, 0x42, 0x00}), &ReadCharUtf16LE), u"\uFFFDAB");
    EXPECT_EQ(DecodeAll(Bytes({0xD8, 0x00}), &ReadCharUtf16BE), u"\uFFFD");
}

TEST(UnicodeReader, ByteOrderMarksChooseTheDecoder) {
    TDIUnicodeReader r;
    r.SetSourceString("\xEF\xBB\xBF\xC3\xA9");
    EXPECT_TRUE(r.HasByteOrderMark());
    EXPECT_EQ(r.ReadMethod(), &ReadCharUtf8);
    ASSERT_TRUE(r.ReadChar());
    EXPECT_EQ(r.Char(), 0xE9);
    EXPECT_EQ(r.Column(), 1u);
    EXPECT_EQ(DecodeAll(Bytes({0xFF, 0xFE, 0x41, 0x00}), nullptr), u"A");
    EXPECT_EQ(DecodeAll(Bytes({0xFE, 0xFF, 0x00, 0x41}), nullptr), u"A");
    r.SetSourceString("plain");
    EXPECT_FALSE(r.HasByteOrderMark());
    EXPECT_EQ(r.ReadMethod(), &ReadCharLatin1);
}

TEST(UnicodeReader, SingleByteDecodersMatchTheirPublishedTables) {
    EXPECT_EQ(DecodeAll("\xE9", &ReadCharUsAscii), u"\uFFFD");
    EXPECT_EQ(DecodeAll("\xE9", &ReadCharLatin1), u"\u00E9");
    EXPECT_EQ(DecodeAll("\x80\x81", CodePageReadMethod("windows-1252")), u"\u20AC\uFFFD");
    EXPECT_EQ(DecodeAll("\xB4", CodePageReadMethod("KOI8-U")), u"\u0404");
    EXPECT_EQ(DecodeAll("\xC1", CodePageReadMethod("KOI8-R")), u"\u0430");
    EXPECT_EQ(DecodeAll("\xA4", CodePageReadMethod("ISO-8859-15")), u"\u20AC");
    EXPECT_EQ(DecodeAll("\x25", CodePageReadMethod("IBM864")), u"\u066A");
    EXPECT_EQ(DecodeAll("\xC1\x41", CodePageReadMethod("IBM424")), u"A\u05D0");
    EXPECT_EQ(DecodeAll("\x78", CodePageReadMethod("IBM424")), u"\u2017");
    EXPECT_EQ(DecodeAll("\xE0", CodePageReadMethod("windows-1255")), u"\u05D0");
    EXPECT_EQ(CodePageReadMethod("ISO-8859-5"), nullptr);
    EXPECT_EQ(CodePageReadMethod("windows-1252")->asciiTransparent, true);
    EXPECT_EQ(CodePageReadMethod("IBM864")->asciiTransparent, false);
    EXPECT_EQ(CodePageReadMethod("IBM424")->asciiTransparent, false);

    // The undefined positions of every page, as ranges of byte values.
    const std::vector<std::pair<const char*, std::vector<std::pair<int, int>>>> undefined = {
        {"ISO-8859-3",
         {{0xA5, 0xA5}, {0xAE, 0xAE}, {0xBE, 0xBE}, {0xC3, 0xC3}, {0xD0, 0xD0}, {0xE3, 0xE3}, {0xF0, 0xF0}}},
        {"ISO-8859-6",
         {{0xA1, 0xA3}, {0xA5, 0xAB}, {0xAE, 0xBA}, {0xBC, 0xBE}, {0xC0, 0xC0}, {0xDB, 0xDF}, {0xF3, 0xFF}}},
        {"ISO-8859-7", {{0xAE, 0xAE}, {0xD2, 0xD2}, {0xFF, 0xFF}}},
        {"ISO-8859-8", {{0xA1, 0xA1}, {0xBF, 0xDE}, {0xFB, 0xFC}, {0xFF, 0xFF}}},
        {"IBM424",
         {{0x70, 0x70},
          {0x72, 0x73},
          {0x75, 0x77},
          {0x80, 0x80},
          {0x8C, 0x8E},
          {0x9A, 0x9C},
          {0x9E, 0x9E},
          {0xAA, 0xAE},
          {0xCB, 0xCF},
          {0xDB, 0xDF},
          {0xEB, 0xEF},
          {0xFB, 0xFE}}},
        {"IBM857", {{0xD5, 0xD5}, {0xE7, 0xE7}, {0xF2, 0xF2}}},
        {"IBM864", {{0x9B, 0x9C}, {0x9F, 0x9F}, {0xA6, 0xA7}, {0xFF, 0xFF}}},
        {"IBM869", {{0x80, 0x85}, {0x87, 0x87}, {0x93, 0x94}}},
        {"windows-1250", {{0x81, 0x81}, {0x83, 0x83}, {0x88, 0x88}, {0x90, 0x90}, {0x98, 0x98}}},
        {"windows-1251", {{0x98, 0x98}}},
        {"windows-1252", {{0x81, 0x81}, {0x8D, 0x8D}, {0x8F, 0x90}, {0x9D, 0x9D}}},
        {"windows-1253",
         {{0x81, 0x81},
          {0x88, 0x88},
          {0x8A, 0x8A},
          {0x8C, 0x90},
          {0x98, 0x98},
          {0x9A, 0x9A},
          {0x9C, 0x9F},
          {0xAA, 0xAA},
          {0xD2, 0xD2},
          {0xFF, 0xFF}}},
        {"windows-1254", {{0x81, 0x81}, {0x8D, 0x90}, {0x9D, 0x9E}}},
        {"windows-1255",
         {{0x81, 0x81},
          {0x8A, 0x8A},
          {0x8C, 0x90},
          {0x9A, 0x9A},
          {0x9C, 0x9F},
          {0xCA, 0xCA},
          {0xD9, 0xDF},
          {0xFB, 0xFC},
          {0xFF, 0xFF}}},
        {"windows-1257",
         {{0x81, 0x81},
          {0x83, 0x83},
          {0x88, 0x88},
          {0x8A, 0x8A},
          {0x8C, 0x8C},
          {0x90, 0x90},
          {0x98, 0x98},
          {0x9A, 0x9A},
          {0x9C, 0x9C},
          {0x9F, 0x9F},
          {0xA1, 0xA1},
          {0xA5, 0xA5}}},
        {"windows-1258", {{0x81, 0x81}, {0x8A, 0x8A}, {0x8D, 0x90}, {0x9A, 0x9A}, {0x9D, 0x9E}}},
    };
    ASSERT_EQ(html_tables::kCodePageCount, 37u);
    for (size_t p = 0; p < html_tables::kCodePageCount; ++p) {
        const auto& page = html_tables::kCodePages[p];
        std::set<int> expected;
        for (const auto& [name, ranges] : undefined)
            if (std::string(name) == page.name)
                for (auto [lo, hi] : ranges)
                    for (int b = lo; b <= hi; ++b)
                        expected.insert(b);
        std::set<int> actual;
        for (int b = 0; b < 256; ++b)
            if (page.units[b] == 0xFFFD) actual.insert(b);
        EXPECT_EQ(actual, expected) << page.name;
    }
}

TEST(UnicodeReader, Gb18030FollowsThe2005EditionAndKeepsAsciiBytes) {
    const TDIReadMethod* m = &ReadCharGb18030;
    EXPECT_EQ(DecodeAll("\x81\x40", m), u"\u4E02");
    EXPECT_EQ(DecodeAll("\x81\x30\x81\x30", m), u"\u0080");
    EXPECT_EQ(DecodeAll("\x84\x31\xA4\x39", m), u"\uFFFF");
    // The next four-byte code is past the last one of the basic plane.
    EXPECT_EQ(DecodeAll("\x84\x31\xA5\x30", m), u"\uFFFD");
    EXPECT_EQ(DecodeAll("\xA8\xBC", m), u"\u1E3F");
    EXPECT_EQ(DecodeAll("\x81\x35\xF4\x37", m), u"\uE7C7");
    EXPECT_EQ(DecodeAll("\x90\x30\x81\x30", m), u"\uFFFD");
    EXPECT_EQ(DecodeAll("\xB0\xA1", m), u"\u554A");
    EXPECT_EQ(DecodeAll("\x80\xFF", m), u"\uFFFD\uFFFD");
    EXPECT_EQ(DecodeAll("\x81\x7F", m), u"\uFFFD\u007F");
    EXPECT_EQ(DecodeAll("\x81<a>", m), u"\uFFFD<a>");
    EXPECT_EQ(DecodeAll("\x81\x30<", m), u"\uFFFD<");
    EXPECT_EQ(DecodeAll("\x81\x30\x81<", m), u"\uFFFD<");
    EXPECT_EQ(DecodeAll("a\x81\x30\x81", m), u"a");
}

TEST(UnicodeReader, StreamModeReadsAcrossRefillsAndForbidsBuffers) {
    std::string text;
    for (int i = 0; i < 3000; ++i)
        text += "\xE2\x82\xAC"; // straddles every 4096-byte refill
    TMemoryStream m;
    m.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
    m.SetPosition(0);
    TDIUnicodeReader r;
    r.SetReadMethod(&ReadCharUtf8);
    r.SetSourceStream(&m);
    size_t n = 0;
    while (r.ReadChar()) {
        ASSERT_EQ(r.Char(), 0x20AC);
        ++n;
    }
    EXPECT_EQ(n, 3000u);
    EXPECT_EQ(testsupport::ThrownMessage<Exception>([&] { r.SetSourceString("x"); }),
              "Class TDIUnicodeReader: Operation not allowed in Source Stream Mode");
    r.SetSourceStream(nullptr);
    r.SetSourceString("x");
    EXPECT_TRUE(r.ReadChar());
}

TEST(UnicodeReader, OwnsACopyOfItsSourceString) {
    TDIUnicodeReader r;
    {
        std::string page = "<p>hello</p>";
        r.SetSourceString(page);
        page.assign(100, 'x');
    }
    std::u16string out;
    while (r.ReadChar())
        out += r.Char();
    EXPECT_EQ(out, u"<p>hello</p>");
    // The next pages' copies reuse the room of the last one, or let a far larger one go; none shows
    // through in a shorter page, and a page read from a buffer is read from there.
    for (size_t size : {size_t{3} << 20, size_t{5}, size_t{2}, size_t{0}}) {
        const std::string page(size, 'a' + static_cast<char>(size % 26));
        r.SetSourceString(page);
        size_t count = 0;
        while (r.ReadChar() && r.Char() == page[0])
            ++count;
        EXPECT_EQ(count, size);
        EXPECT_FALSE(r.HasChar());
    }
    const uint8_t bytes[] = {'q', 'r'};
    r.SetSourceBuffer(bytes, 2);
    ASSERT_TRUE(r.ReadChar());
    EXPECT_EQ(r.Char(), u'q');
}

TEST(UnicodeReader, SpotBytesOfEveryPage) {
    const struct {
        const char* page;
        uint8_t byte;
        char16_t expected;
    } spots[] = {
        {"ISO-8859-2", 0xA1, 0x0104},   {"ISO-8859-3", 0xA1, 0x0126},   {"ISO-8859-4", 0xA1, 0x0104},
        {"ISO-8859-6", 0xC7, 0x0627},   {"ISO-8859-7", 0xC1, 0x0391},   {"ISO-8859-8", 0xE0, 0x05D0},
        {"ISO-8859-9", 0xD0, 0x011E},   {"ISO-8859-10", 0xA1, 0x0104},  {"ISO-8859-13", 0xA1, 0x201D},
        {"ISO-8859-14", 0xA1, 0x1E02},  {"ISO-8859-15", 0xA4, 0x20AC},  {"ISO-8859-16", 0xA4, 0x20AC},
        {"IBM424", 0x41, 0x05D0},       {"IBM437", 0x80, 0x00C7},       {"IBM850", 0x80, 0x00C7},
        {"IBM852", 0x80, 0x00C7},       {"IBM855", 0x80, 0x0452},       {"IBM857", 0x80, 0x00C7},
        {"IBM860", 0x80, 0x00C7},       {"IBM861", 0x80, 0x00C7},       {"IBM862", 0x80, 0x05D0},
        {"IBM863", 0x80, 0x00C7},       {"IBM864", 0x80, 0x00B0},       {"IBM865", 0x80, 0x00C7},
        {"IBM866", 0x80, 0x0410},       {"IBM869", 0x86, 0x0386},       {"windows-1250", 0x8A, 0x0160},
        {"windows-1251", 0xC0, 0x0410}, {"windows-1252", 0x80, 0x20AC}, {"windows-1253", 0xC1, 0x0391},
        {"windows-1254", 0xD0, 0x011E}, {"windows-1255", 0xE0, 0x05D0}, {"windows-1256", 0xC7, 0x0627},
        {"windows-1257", 0xC0, 0x0104}, {"windows-1258", 0xC3, 0x0102}, {"KOI8-R", 0xC1, 0x0430},
        {"KOI8-U", 0xB4, 0x0404},
    };
    for (const auto& s : spots) {
        const TDIReadMethod* m = CodePageReadMethod(s.page);
        ASSERT_NE(m, nullptr) << s.page;
        EXPECT_EQ(DecodeAll(std::string(1, static_cast<char>(s.byte)), m), std::u16string{s.expected})
            << s.page;
    }
}
