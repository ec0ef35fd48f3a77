#include "fetch/html/fuzz/fuzz_entries.h"

#include <string>

#include "fetch/html/binary_filer.h"
#include "fetch/html/code_page_tables.h"
#include "fetch/html/plugins.h"
#include "fetch/html/tag.h"
#include "fetch/html/typed_containers.h"
#include "fetch/html/typed_handlers.h"
#include "fetch/html/unicode_reader.h"
#include "fetch/html/uri.h"
#include "fetch/html/wide_string.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/stream.h"

namespace html_fuzz {

namespace {

std::u16string Units(const uint8_t* data, size_t size) {
    std::u16string s;
    s.reserve(size);
    for (size_t i = 0; i < size; ++i)
        s.push_back(data[i] == 0xFF ? char16_t(0xD800) : char16_t(data[i]));
    return s;
}

const TDIReadMethod* Decoder(uint8_t pick) {
    static const TDIReadMethod* fixed[] = {&ReadCharLatin1,  &ReadCharUsAscii, &ReadCharUtf8,
                                           &ReadCharUtf16BE, &ReadCharUtf16LE, &ReadCharGb18030};
    size_t n = pick % (6 + html_tables::kCodePageCount);
    return n < 6 ? fixed[n] : CodePageReadMethod(html_tables::kCodePages[n - 6].name);
}

} // namespace

// The first 0x00 byte splits the input into a base and a reference.
void UriInput(const uint8_t* data, size_t size) {
    std::u16string text = Units(data, size);
    size_t cut = text.find(u'\0');
    std::u16string base = cut == std::u16string::npos ? text : text.substr(0, cut);
    std::u16string ref = cut == std::u16string::npos ? std::u16string() : text.substr(cut + 1);
    TDIUri u;
    if (u.Parse(base)) {
        std::u16string composed;
        u.Compose(composed);
        TDIUri again;
        if (!again.Parse(composed)) __builtin_trap();
    }
    std::u16string out;
    Resolve(base, ref, out);
    RemoveDotSegments(ref);
}

void ReaderInput(const uint8_t* data, size_t size) {
    if (size == 0) return;
    TDIUnicodeReader r;
    r.SetSourceBuffer(data + 1, size - 1);
    r.SetReadMethod(Decoder(data[0]));
    r.ReadChar();
    uint32_t steps = 0;
    while (r.HasChar()) {
        switch ((r.Char() + steps++) % 6) {
        case 0:
            r.FillLookAhead(1 + r.Char() % 9);
            r.ReadChar();
            break;
        case 1:
            r.AppendUntilChars2(u'<', u'&');
            break;
        case 2:
            r.SkipWhiteSpace();
            r.AppendAndReadChar();
            break;
        case 3:
            r.AppendCharCollapsed(r.Char());
            r.ReadChar();
            break;
        case 4:
            r.SkipUntil(IsWhiteSpace);
            break;
        default:
            r.AppendAndReadChar();
            break;
        }
        if (r.Char() >= 0xD800 && r.Char() <= 0xDFFF) __builtin_trap(); // no decoder may deliver a surrogate
    }
}

void TokenizerInput(const uint8_t* data, size_t size) {
    if (size == 0) return;
    const uint8_t options = data[0];
    TDIHtmlParser parser;
    parser.SetEnableASP(options & 1);
    parser.SetEnablePHP(options & 2);
    parser.SetEnableSSI(options & 4);
    parser.SetEnableCustomTags(options & 8);
    parser.SetNormalizeWhiteSpace(options & 16);
    TDIHtmlCharSetPlugin charset;
    TDIHtmlLinksPlugin links;
    TDIHtmlTitlePlugin title;
    TDIWideStringVector found;
    charset.SetHtmlParser(&parser);
    links.SetHtmlParser(&parser);
    title.SetHtmlParser(&parser);
    links.SetLink_A_href(true);
    links.SetLink_IMG_src(true);
    links.SetBASE_href(true);
    links.SetLinkVector(&found);
    links.SetBaseUri(u"http://h/a/b.html");
    charset.SetDefaultReadMethod(Decoder(options >> 5));
    parser.SetSourceString(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    parser.Clear();
    if (options & 32) {
        parser.SetFilter(TDIPieceKind::Text, fiShow);
        parser.FilterHtmlTags().SetStartTags(fiShow);
        while (parser.ParseNextPiece() || parser.HasChar()) {
        }
    } else {
        parser.ParseAll();
    }
    if (title.Title().size() > TDIHtmlTitlePlugin::kMaxTitleLength) __builtin_trap();
    for (int32_t i = 0; i < found.Count(); ++i) {
        std::u16string resolved;
        Resolve(links.BaseUri(), found.Str(i), resolved);
    }
}

void BinaryReaderInput(const uint8_t* data, size_t size) {
    TMemoryStream m;
    m.WriteBuffer(data, static_cast<int64_t>(size));
    for (int kind = 0; kind < 4; ++kind) {
        m.SetPosition(0);
        TDIBinaryReader r(m, 16);
        try {
            switch (kind) {
            case 0: {
                TDIWideStringHash h(DIWideStringCIKeyHandler());
                h.ReadData(r, 7, nullptr);
                break;
            }
            case 1: {
                TDIHtmlTag tag;
                tag.ReadData(r, 7, nullptr);
                tag.TagText();
                break;
            }
            case 2: {
                TDITree tree(DIWideString2ItemHandler());
                tree.ReadData(r, 7, nullptr);
                break;
            }
            default:
                while (true) {
                    r.ReadWideString();
                    r.ReadInteger();
                }
            }
        } catch (const Exception&) {
            // Corrupt input ends in the library's own errors, and nothing else.
        }
    }
}

} // namespace html_fuzz
