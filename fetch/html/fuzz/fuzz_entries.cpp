#include "fetch/html/fuzz/fuzz_entries.h"

#include <string>

#include "fetch/html/binary_filer.h"
#include "fetch/html/code_page_tables.h"
#include "fetch/html/html_parser.h"
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

namespace {

void Note(std::string& out, const char16_t* units, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const char16_t c = units[i];
        if (c >= 0x20 && c < 0x7F) {
            out.push_back(static_cast<char>(c));
        } else {
            out += "\\u" + std::to_string(c) + ";";
        }
    }
}

void Note(std::string& out, const std::u16string& s) {
    Note(out, s.data(), s.size());
}

std::string Position(const TDIUnicodeReader& r) {
    return std::to_string(r.CharCount()) + ":" + std::to_string(r.Line()) + ":" + std::to_string(r.Column());
}

} // namespace

std::string ReaderTrace(const uint8_t* data, size_t size, bool charByChar) {
    std::string out;
    if (size == 0) return out;
    TDIUnicodeReader r;
    html_detail::ReaderSwitch::CharByChar(r, charByChar);
    r.SetSourceBuffer(data + 1, size - 1);
    r.SetReadMethod(Decoder(data[0]));
    r.ReadChar();
    uint32_t steps = 0;
    while (r.HasChar()) {
        switch ((r.Char() + steps++) % 8) {
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
        case 5:
            r.SkipUntilChar(u'>');
            break;
        case 6:
            r.AppendUntilChars3(u'"', u'&', u'\\');
            r.AppendAndReadChar();
            break;
        default:
            r.AppendAndReadChar();
            break;
        }
        if (r.Char() >= 0xD800 && r.Char() <= 0xDFFF) __builtin_trap(); // no decoder may deliver a surrogate
        out += Position(r) + " ";
        const char16_t around[2] = {r.PrevChar(), r.Char()};
        Note(out, around, 2);
        out += "\n";
    }
    // Where the input ran out, and the character read last.
    out += Position(r) + " ";
    const char16_t last = r.PrevChar();
    Note(out, &last, 1);
    out += "\n";
    Note(out, r.TextData(), r.TextLength());
    return out;
}

void ReaderInput(const uint8_t* data, size_t size) {
    if (ReaderTrace(data, size, false) != ReaderTrace(data, size, true)) __builtin_trap();
}

std::string TokenizerTrace(const uint8_t* data, size_t size, TraceWay way) {
    std::string out;
    if (size == 0) return out;
    const bool charByChar = way == TraceWay::CharByChar;
    const uint8_t options = data[0];
    TDIHtmlParser parser;
    html_detail::ReaderSwitch::CharByChar(parser, charByChar);
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
    TMemoryStream stream;
    if (way == TraceWay::BlocksFromStream) {
        stream.WriteBuffer(data + 1, static_cast<int64_t>(size - 1));
        stream.SetPosition(0);
        parser.SetSourceStream(&stream);
    } else {
        parser.SetSourceString(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    }
    parser.Clear();
    // Every piece to the caller, so that the trace holds each one with its text and position.
    for (size_t k = 1; k < kPieceKindCount; ++k)
        parser.SetFilter(static_cast<TDIPieceKind>(k), fiShow);
    for (TDITagFilter* f : {&parser.FilterHtmlTags(), &parser.FilterCustomTags(), &parser.FilterSsiTags()}) {
        f->SetStartTags(fiShow);
        f->SetEndTags(fiShow);
    }
    while (parser.ParseNextPiece() || parser.HasChar()) {
        const TDIPiecePosition& at = parser.PieceStart();
        out += std::to_string(static_cast<int>(parser.PieceKind())) + "@" + std::to_string(at.CharCount) +
               ":" + std::to_string(at.Line) + ":" + std::to_string(at.Column) + " ";
        const TDIPieceKind k = parser.PieceKind();
        TDITag* tag = k == TDIPieceKind::HtmlTag     ? static_cast<TDITag*>(&parser.HtmlTag())
                      : k == TDIPieceKind::CustomTag ? static_cast<TDITag*>(&parser.CustomTag())
                      : k == TDIPieceKind::SsiTag    ? static_cast<TDITag*>(&parser.SsiTag())
                                                     : nullptr;
        if (tag) {
            out += std::to_string(tag->TagType()) + "#" + std::to_string(tag->TagID()) + " ";
            Note(out, tag->TagName());
            for (int32_t i = 0; i < tag->Count(); ++i) {
                out += " " + std::to_string(tag->Number(i)) + ":";
                Note(out, tag->Str(i));
                out += "=";
                Note(out, tag->Str2(i));
            }
        } else {
            Note(out, parser.TextData(), parser.TextLength());
        }
        out += "\n";
    }
    out += "title ";
    Note(out, title.Title());
    if (title.Title().size() > TDIHtmlTitlePlugin::kMaxTitleLength) __builtin_trap();
    for (int32_t i = 0; i < found.Count(); ++i) {
        std::u16string resolved;
        Resolve(links.BaseUri(), found.Str(i), resolved);
        out += "\nlink ";
        Note(out, resolved);
    }
    return out;
}

void TokenizerInput(const uint8_t* data, size_t size) {
    const std::string expected = TokenizerTrace(data, size, TraceWay::CharByChar);
    if (TokenizerTrace(data, size, TraceWay::Blocks) != expected) __builtin_trap();
    if (TokenizerTrace(data, size, TraceWay::BlocksFromStream) != expected) __builtin_trap();
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
