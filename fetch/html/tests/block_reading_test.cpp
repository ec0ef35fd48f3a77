// Reading ASCII bytes in blocks must give exactly what reading one character at a time gives: the
// same pieces, texts, tags, positions, links and title, in every decoder and from a stream.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "fetch/html/code_page_tables.h"
#include "fetch/html/fuzz/fuzz_entries.h"
#include "fetch/html/name_table_data.h"
#include "fetch/html/name_tables.h"
#include "fetch/html/typed_containers.h"
#include "fetch/html/unicode_reader.h"

namespace {

using html_fuzz::TraceWay;

// A page of every piece kind, with line breaks of all three kinds, runs longer and shorter than a
// block, characters outside ASCII and references, in random order.
std::string GeneratedPage(uint32_t seed, bool nonAscii) {
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const char* breaks[] = {"\n", "\r\n", "\r", "\n\r", "\r\r\n"};
    const char* words[] = {"word",   "a",      "longer-than-sixteen-bytes-of-text",
                           "x",      "&amp;",  "&#X41;",
                           "&#233;", "&nbsp;", "&bogus",
                           "<",      ">",      "\"",
                           "'",      "-",      "--",
                           "]",      "]]",     "?",
                           "%",      "\\",     "="};
    const char* wide[] = {"\xC3\xA9", "\xE2\x82\xAC", "\xD0\x9F\xD1\x80", "\xF0\x9F\x98\x80", "\xC3", "\x80"};
    auto text = [&] {
        std::string t;
        for (int i = pick(12); i >= 0; --i) {
            const int k = pick(10);
            if (k < 5)
                t += words[pick(std::size(words))];
            else if (k < 7)
                t += breaks[pick(std::size(breaks))];
            else if (k < 8 && nonAscii)
                t += wide[pick(std::size(wide))];
            else
                t += std::string(static_cast<size_t>(pick(40)), " \t"[pick(2)]);
        }
        return t;
    };
    auto attrs = [&] {
        std::string a;
        for (int i = pick(4); i > 0; --i) {
            a += breaks[pick(std::size(breaks))];
            a += (pick(2) ? " HREF" : " data-x") + std::string(pick(2) ? "" : "1");
            switch (pick(5)) {
            case 0:
                break;
            case 1:
                a += "=\"" + text() + "\"";
                break;
            case 2:
                a += " = '" + text() + "'";
                break;
            case 3:
                a += "=unquoted&lt;" + std::string(pick(2) ? "\xC3\xA9" : "v");
                break;
            default:
                a += "=`" + text() + "`";
            }
        }
        return a;
    };
    const char* tags[] = {"a", "P", "div", "Title", "script", "style", "pre", "br", "img", "meta", "base"};
    std::string page;
    for (int i = 0; i < 60; ++i) {
        switch (pick(14)) {
        case 0:
        case 1:
        case 2:
            page += text();
            break;
        case 3:
        case 4:
        case 5: {
            const char* tag = tags[pick(std::size(tags))];
            page += std::string("<") + tag + attrs() + (pick(4) ? ">" : "/>") + text() + "</" + tag + ">";
            break;
        }
        case 6:
            page += "<!-- " + text() + (pick(2) ? " -->" : " --->");
            break;
        case 7:
            page += "<!--#include virtual=\"" + text() + "\" -->";
            break;
        case 8:
            page += "<![CDATA[" + text() + "]]>";
            break;
        case 9:
            page += "<% " + text() + " %><?php " + text() + " ?><?xml " + text() + "?>";
            break;
        case 10:
            page += "<#custom " + attrs() + ">" + "</#custom>";
            break;
        case 11:
            page += "<!DOCTYPE html " + text() + ">";
            break;
        case 12:
            page += "</" + std::string(tags[pick(std::size(tags))]) + breaks[pick(std::size(breaks))] + ">";
            break;
        default:
            page += "<" + text() + "< /a>";
        }
    }
    return page;
}

void ExpectSameWays(const std::string& page, uint8_t options, const std::string& what) {
    std::string input(1, static_cast<char>(options));
    input += page;
    const auto* data = reinterpret_cast<const uint8_t*>(input.data());
    const std::string expected = html_fuzz::TokenizerTrace(data, input.size(), TraceWay::CharByChar);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(html_fuzz::TokenizerTrace(data, input.size(), TraceWay::Blocks), expected) << what;
    EXPECT_EQ(html_fuzz::TokenizerTrace(data, input.size(), TraceWay::BlocksFromStream), expected) << what;
}

// Reads Page as GB18030, in blocks or a character at a time, from its first character; Walk moves
// through it and says what it met.
template <class Walk> std::string ReadGb18030(const std::string& Page, bool CharByChar, const Walk& walk) {
    TDIUnicodeReader r;
    html_detail::ReaderSwitch::CharByChar(r, CharByChar);
    r.SetSourceString(Page);
    r.SetReadMethod(&ReadCharGb18030);
    r.ReadChar();
    return walk(r);
}

} // namespace

TEST(BlockReading, GeneratedPagesReadAlikeInEveryDecoderAndParserMode) {
    // The option byte: the low five bits switch the parser's options, the top three pick the decoder
    // a page without a charset of its own is read with (Latin-1, US-ASCII, UTF-8, UTF-16, GB18030,
    // and the first code pages).
    for (uint32_t seed = 1; seed <= 48; ++seed) {
        const uint8_t options = static_cast<uint8_t>(seed * 37 % 256);
        const std::string page = GeneratedPage(seed, seed % 3 != 0);
        ExpectSameWays(page, options, "seed " + std::to_string(seed));
        // A page that names its own encoding halfway through its head.
        for (const char* charset : {"windows-1252", "koi8-r", "gb18030", "utf-8", "ibm424"})
            ExpectSameWays("<meta charset=" + std::string(charset) + ">" + page, options,
                           "seed " + std::to_string(seed) + " " + charset);
    }
}

TEST(BlockReading, RealPagesReadAlike) {
    std::vector<std::filesystem::path> files;
    for (const char* dir : {"/usr/share/doc/postgresql-doc-15/html", PW_TEST_DATA_DIR "/data"}) {
        if (!std::filesystem::is_directory(dir)) continue;
        for (const auto& e : std::filesystem::directory_iterator(dir))
            if (e.path().extension() == ".html") files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty());
    // Every eighth page of a large folder keeps the test short; all of a small one.
    for (size_t i = 0; i<files.size(); i += files.size()> 100 ? 8 : 1) {
        std::ifstream in(files[i], std::ios::binary);
        const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ExpectSameWays(page, 0, files[i].string());
        ExpectSameWays(page, 16 | 64, files[i].string() + " normalized");
    }
}

TEST(BlockReading, ReaderScansStopAtTheSameCharacters) {
    for (uint32_t seed = 1; seed <= 64; ++seed) {
        std::string input(1, static_cast<char>(seed % 8 == 0 ? 3 : seed));
        input += GeneratedPage(seed + 1000, true);
        const auto* data = reinterpret_cast<const uint8_t*>(input.data());
        EXPECT_EQ(html_fuzz::ReaderTrace(data, input.size(), false),
                  html_fuzz::ReaderTrace(data, input.size(), true))
            << "seed " << seed;
    }
}

TEST(BlockReading, NamesAreFoundInAnyLetterCaseAndByUnicodeFolding) {
    EXPECT_EQ(HtmlTagId(u"a", 1), html_id::A);
    EXPECT_EQ(HtmlTagId(u"TiTlE", 5), html_id::TITLE);
    EXPECT_EQ(HtmlTagId(u"IFRAME", 6), html_id::IFRAME);
    EXPECT_EQ(HtmlAttributeId(u"Http-Equiv", 10), html_attr::http_equiv);
    EXPECT_EQ(HtmlAttributeId(u"HREF", 4), html_attr::href);
    // Unknown, too long, empty, or only a prefix of a known name.
    EXPECT_EQ(HtmlTagId(u"titles", 6), 0u);
    EXPECT_EQ(HtmlTagId(u"tit", 3), 0u);
    EXPECT_EQ(HtmlTagId(u"", 0), 0u);
    EXPECT_EQ(HtmlTagId(u"averyveryverylongtagname", 24), 0u);
    // A name with a character outside ASCII still folds as Unicode says: the Kelvin sign is a "k".
    EXPECT_EQ(HtmlTagId(u"lin\u212A", 4), HtmlTagNameTable().FindBufValue(u"lin\u212A", 4));
    EXPECT_EQ(HtmlTagId(u"lin\u212A", 4), HtmlTagId(u"link", 4));
    EXPECT_EQ(HtmlTagId(u"\u00E1", 1), 0u);
    // Every known name, as written and in capitals.
    auto check = [](const html_tables::NameId* names, size_t count,
                    uint32_t (*find)(const char16_t*, size_t)) {
        for (size_t i = 0; i < count; ++i) {
            std::u16string name = names[i].name;
            EXPECT_EQ(find(name.data(), name.size()), names[i].id);
            for (char16_t& c : name)
                if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
            EXPECT_EQ(find(name.data(), name.size()), names[i].id);
        }
    };
    check(html_tables::kTagNames, std::size(html_tables::kTagNames), HtmlTagId);
    check(html_tables::kAttributeNames, std::size(html_tables::kAttributeNames), HtmlAttributeId);
}

// The quick index of ASCII names must agree with the case-folding table on every ASCII name, also those
// one character away from a known name: the punctuation beside the letters, control characters, and
// names a character longer or shorter (across the eight-letter words the index packs them in).
TEST(BlockReading, TheAsciiNameIndexAgreesWithTheTableNearKnownNames) {
    const char16_t odd[] = {u'@', u'[', u'\\', u']', u'^', u'_', u'`', u'{', u'|', u'}', u'~', 0x7F,
                            0x00, 0x01, 0x0D,  0x10, 0x11, 0x19, u' ', u'-', u'1', u'Z', u'z'};
    auto check = [&](const html_tables::NameId* names, size_t count,
                     uint32_t (*find)(const char16_t*, size_t), TDICardinalHash& table) {
        for (size_t i = 0; i < count; ++i) {
            const std::u16string name = names[i].name;
            std::vector<std::u16string> near = {name + u"s", name.substr(0, name.size() - 1), u"x" + name};
            for (size_t k = 0; k < name.size(); ++k)
                for (char16_t c : odd) {
                    std::u16string changed = name;
                    changed[k] = c;
                    near.push_back(changed);
                }
            for (const std::u16string& n : near)
                EXPECT_EQ(find(n.data(), n.size()), table.FindBufValue(n.data(), n.size()))
                    << std::string(n.begin(), n.end());
        }
    };
    check(html_tables::kTagNames, std::size(html_tables::kTagNames), HtmlTagId, HtmlTagNameTable());
    check(html_tables::kAttributeNames, std::size(html_tables::kAttributeNames), HtmlAttributeId,
          HtmlAttributeNameTable());
}

// A byte-order mark picks the decoder of a page read from a stream as it does of one read from a string,
// whatever decoder the page was to be read with (the fuzz target found a stream that ignored it).
TEST(BlockReading, AStreamsByteOrderMarkChoosesItsDecoderAsAStringsDoes) {
    ExpectSameWays(std::string("\xfe\xff\xff\xff\x2b\xdb\xff\xfd\xfd\xfc\x53\x02", 12), 0x94, "big-endian");
    ExpectSameWays(std::string("\xff\xfe<\0a\0>\0", 8), 0x00, "little-endian");
    ExpectSameWays("\xef\xbb\xbf<p>\xc3\xa9</p>", 0x00, "UTF-8");
}

// Two-byte GB18030 characters, names and control characters inside runs, placed at every offset around
// the end of a stream's 4096-byte buffer and of the page: a pair cut by the end of a buffer, a name
// whose next character is not ASCII, and a run stopped early by a control character read alike.
TEST(BlockReading, PairsNamesAndControlsAtBufferEndsReadAlike) {
    const std::string piece = "<TiTlE a\x01-b=\"\xC3\xA9\x0B\xC3\" c=d\xD6\xD0>\xD6\xD0\xCE\xC4 text\x0C\t"
                              "\xC3</title><a\xC3\xA9 href=x\xC3\xA9y>\xC3\xA9\xC3<p\x0B></a\xA1>";
    for (const char* charset : {"gb18030", "utf-8", "koi8-r"}) {
        const std::string head = "<meta charset=" + std::string(charset) + ">";
        for (size_t shift = 0; shift < 48; ++shift) {
            const std::string page = head + std::string(4096 - 1 - head.size() - 24 + shift, 'x') + piece;
            ExpectSameWays(page, 0, std::string(charset) + " shift " + std::to_string(shift));
            ExpectSameWays(page.substr(0, page.size() - shift % 7), 16 | 64,
                           std::string(charset) + " cut shift " + std::to_string(shift));
            // The reader alone, its scans ending anywhere, also where the input does; the option byte 5
            // reads the page as GB18030 from its start.
            const std::string input = "\x05" + page.substr(page.size() - 120, 120 - shift % 40);
            const auto* data = reinterpret_cast<const uint8_t*>(input.data());
            EXPECT_EQ(html_fuzz::ReaderTrace(data, input.size(), false),
                      html_fuzz::ReaderTrace(data, input.size(), true))
                << charset << " shift " << shift;
        }
    }
}

// A skipped run of GB18030 text leaves the character read last as the one before the stop, or before the
// end of the input, as reading one character at a time does.
TEST(BlockReading, ASkippedGb18030RunEndsOnItsLastCharacter) {
    for (const std::string text :
         {"ab \xD6\xD0>c", "ab \xD6\xD0", "\xD6\xD0\xCE\xC4 x\xB0\xA1", "x\xB0\xA1y>"}) {
        for (const std::string& pad : {std::string(), std::string(40, 'p')}) {
            const std::string page = pad + std::string(text);
            std::string ways[2];
            for (int charByChar = 0; charByChar < 2; ++charByChar)
                ways[charByChar] = ReadGb18030(page, charByChar == 1, [](TDIUnicodeReader& r) {
                    r.SkipUntilChar(u'>');
                    return std::to_string(r.PrevChar()) + " " + std::to_string(r.Char()) + " " +
                           std::to_string(r.CharCount()) + " " + std::to_string(r.Column());
                });
            EXPECT_EQ(ways[0], ways[1]) << page;
        }
    }
}

// Skipped runs of GB18030 text whose bytes from 0x80 are taken whole where each is in a pair of two: runs
// of pairs of every length across 16- and 64-byte blocks, mixed with what must be read a character at a
// time (a lone first byte, 0x80 and 0xFF, a pair whose second byte is ASCII and may be a stop, a
// character of four bytes) read alike, with the same positions and characters around each stop.
TEST(BlockReading, SkippedGb18030RunsOfPairsReadAlike) {
    // No pair stands for an ASCII character, so no pair can be a stop.
    for (char16_t c : html_tables::kGb18030TwoByte)
        ASSERT_GE(c, 0x80);
    const char* pieces[] = {"a",
                            " ",
                            "\xC1\xA1",
                            "\xFE\xFE",
                            "\xB0\xA1\xD6\xD0",
                            "\x81\x40",
                            "\x81\x5D",
                            "\x81\x30\x81\x30",
                            "\x80",
                            "\xFF",
                            "\xC1",
                            "\xC1\x80",
                            "\n",
                            ">",
                            "]"};
    for (uint32_t seed = 1; seed <= 400; ++seed) {
        std::mt19937 rng(seed);
        std::string page(rng() % 70, 'p');
        // Mostly plain bytes and pairs, as in a page; now and then something else.
        const int odd = seed % 4 == 0 ? 0 : 3 + static_cast<int>(rng() % 10);
        while (page.size() < 300) {
            const auto k = rng() % 100;
            if (k < 40)
                page += std::string(rng() % 24, 'x');
            else if (k < 75)
                for (auto n = rng() % 40; n > 0; --n)
                    page += pieces[2 + rng() % 2];
            else if (odd > 0 && static_cast<int>(rng() % odd) == 0)
                page += pieces[rng() % std::size(pieces)];
            else
                page += pieces[12 + rng() % 3];
        }
        for (const char16_t stop : {u'>', u']'}) {
            std::string ways[2];
            for (int charByChar = 0; charByChar < 2; ++charByChar)
                ways[charByChar] = ReadGb18030(page, charByChar == 1, [stop](TDIUnicodeReader& r) {
                    std::string met;
                    while (r.HasChar()) {
                        r.SkipUntilChar(stop);
                        met += std::to_string(r.PrevChar()) + " " + std::to_string(r.Char()) + " " +
                               std::to_string(r.CharCount()) + " " + std::to_string(r.Line()) + ":" +
                               std::to_string(r.Column()) + "\n";
                        r.ReadChar();
                    }
                    return met;
                });
            EXPECT_EQ(ways[0], ways[1]) << "seed " << seed << " stop " << static_cast<char>(stop);
        }
    }
}
