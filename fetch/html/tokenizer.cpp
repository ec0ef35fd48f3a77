// The piece reader of the HTML parser: recognition after "<" and the content of each piece kind.
#include "fetch/html/entity_table.h"
#include "fetch/html/html_parser.h"
#include "fetch/html/name_tables.h"
#include "fetch/html/wide_string.h"

namespace {

bool IsSpaceAmpOrLess(char16_t c) {
    return c <= 0x20 || c == u'&' || c == u'<';
}
bool IsSpaceAmpOrGreater(char16_t c) {
    return c <= 0x20 || c == u'&' || c == u'>';
}
bool IsSpaceAmpOrDash(char16_t c) {
    return c <= 0x20 || c == u'&' || c == u'-';
}
char16_t AsciiLower(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
}

int DigitValue(char16_t c, bool hex) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (hex && c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (hex && c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

bool IsContentKind(TDIPieceKind k) {
    return k == TDIPieceKind::Script || k == TDIPieceKind::Style || k == TDIPieceKind::Text ||
           k == TDIPieceKind::Title;
}

} // namespace

void TDIHtmlParser::Take(bool collect) {
    if (collect)
        AppendAndReadChar();
    else if (HasChar())
        ReadChar();
}

bool TDIHtmlParser::ParseNextPiece() {
    if (HasChar() && !IsContentKind(pieceKind_)) ReadChar();
    if (!HasChar()) ReadChar();
    if (!HasChar()) return false;
    pieceStart_ = {CharCount(), Line(), Column()};
    if (pendingContent_ != TDIPieceKind::None) return ReadPendingContent();

    SetTextLength(0);
    if (Char() != u'<') return TextPiece();
    AppendAndReadChar();
    if (!HasChar()) return TextPiece();
    const char16_t c = Char();
    if (c == u'!') return DeclarationPiece();
    if (c == u'?') return ProcessingInstructionPiece();
    if (c == u'%' && enableASP_) {
        ReadChar();
        SetTextLength(0);
        return SimplePiece(TDIPieceKind::ASP);
    }
    if (c == u'/') return EndTagPiece();
    if (IsAsciiLetter(c)) return StartTagPiece();
    if (enableCustomTags_ && c == customTagChar_) return CustomTagPiece();
    return TextPiece();
}

// After "<!": a comment (or a server-side include in one), a CDATA section or a document type.
bool TDIHtmlParser::DeclarationPiece() {
    AppendAndReadChar();
    if (!HasChar()) return TextPiece();
    if (Char() == u'-') return CommentPiece();
    if (Char() == u'[') return CDataPiece();
    if (Char() == u'D' || Char() == u'd') return DoctypePiece();
    return TextPiece();
}

bool TDIHtmlParser::CommentPiece() {
    AppendAndReadChar();
    if (!HasChar() || Char() != u'-') return TextPiece();
    AppendAndReadChar();
    SetTextLength(0);
    if (enableSSI_ && HasChar() && Char() == u'#') {
        AppendAndReadChar();
        if (HasChar() && Char() == u'/') {
            AppendAndReadChar();
            if (HasChar() && IsAsciiLetter(Char())) return SsiTagPiece(ttEnd);
        } else if (HasChar() && IsAsciiLetter(Char())) {
            return SsiTagPiece(ttStart);
        }
    }
    return SimplePiece(TDIPieceKind::Comment);
}

bool TDIHtmlParser::CDataPiece() {
    AppendAndReadChar();
    for (char16_t want : {u'C', u'D', u'A', u'T', u'A'}) {
        if (!HasChar() || (Char() & ~0x20) != want) return TextPiece();
        AppendAndReadChar();
    }
    if (!HasChar() || Char() != u'[') return TextPiece();
    ReadChar();
    SetTextLength(0);
    return SimplePiece(TDIPieceKind::CDataSection);
}

bool TDIHtmlParser::DoctypePiece() {
    AppendAndReadChar();
    const char16_t rest[] = u"octype";
    for (int i = 0; i < 6; ++i) {
        if (!HasChar() || AsciiLower(Char()) != rest[i]) return TextPiece();
        if (i < 5)
            AppendAndReadChar();
        else
            ReadChar();
    }
    SetTextLength(0);
    return SimplePiece(TDIPieceKind::DTD);
}

// After "<?": an XML declaration, PHP code, or any other processing instruction.
bool TDIHtmlParser::ProcessingInstructionPiece() {
    SetTextLength(0);
    ReadChar();
    auto word = [&](const char16_t* w) {
        for (int i = 0; i < 3; ++i) {
            if (!HasChar() || AsciiLower(Char()) != w[i]) return false;
            if (i < 2)
                AppendAndReadChar();
            else
                ReadChar();
        }
        return true;
    };
    if (word(u"xml")) {
        SetTextLength(0);
        return SimplePiece(TDIPieceKind::XmlPI);
    }
    if (enablePHP_ && TextLength() == 0 && word(u"php")) {
        SetTextLength(0);
        return SimplePiece(TDIPieceKind::PHP);
    }
    return SimplePiece(TDIPieceKind::HtmlPI);
}

bool TDIHtmlParser::EndTagPiece() {
    AppendAndReadChar();
    if (!HasChar() || !IsAsciiLetter(Char())) return TextPiece();
    ScanClass<true, IsNameChar>();
    if (HasChar() && !IsSpaceOrGreater(Char())) return TextPiece();
    return TagPiece(TDIPieceKind::HtmlTag, tkHtml, htmlTag_, ttEnd, 2);
}

// The name is read; a "/" right before ">" makes the tag empty.
bool TDIHtmlParser::ReadStartTagName(TDITagType& type) {
    ScanClass<true, IsNameChar>();
    if (HasChar() && !IsSpaceOrGreater(Char())) {
        if (Char() != u'/' || type == ttEnd) return false;
        const int32_t next = Ahead(0);
        if (next >= 0 && next != u'>') return false;
        ReadChar(); // the ">" of "/>" is now current, or the input has ended
        type = ttEmpty;
    }
    return true;
}

bool TDIHtmlParser::StartTagPiece() {
    TDITagType type = ttStart;
    if (!ReadStartTagName(type)) return TextPiece();
    return TagPiece(TDIPieceKind::HtmlTag, tkHtml, htmlTag_, type, 1);
}

// After "<" and the custom tag character: the tag's name, after a "/" for an end tag.
bool TDIHtmlParser::CustomTagPiece() {
    size_t nameStart = 2;
    TDITagType type = ttStart;
    AppendAndReadChar();
    if (HasChar() && Char() == u'/') {
        AppendAndReadChar();
        nameStart = 3;
        type = ttEnd;
    }
    if (!HasChar() || !IsAsciiLetter(Char())) return TextPiece();
    if (!ReadStartTagName(type)) return TextPiece();
    return TagPiece(TDIPieceKind::CustomTag, tkCustom, customTag_, type, nameStart);
}

bool TDIHtmlParser::ReadPendingContent() {
    const TDIPieceKind kind = pendingContent_;
    pendingContent_ = TDIPieceKind::None;
    SetTextLength(0);
    Delivery d = DeliveryFor(kind, tkHtml, false, 0);
    const bool collect = d.caller || d.plugins;
    if (kind == TDIPieceKind::Script)
        ReadScript(collect);
    else if (kind == TDIPieceKind::Style)
        ReadStyle(collect);
    else
        ReadTitle(collect);
    pieceKind_ = kind;
    return d.plugins ? Dispatch(kind, tkHtml, false, 0, d.caller) : d.caller;
}

bool TDIHtmlParser::TextPiece() {
    Delivery d = DeliveryFor(TDIPieceKind::Text, tkHtml, false, 0);
    ReadText(d.caller || d.plugins);
    pieceKind_ = TDIPieceKind::Text;
    return d.plugins ? Dispatch(TDIPieceKind::Text, tkHtml, false, 0, d.caller) : d.caller;
}

bool TDIHtmlParser::SimplePiece(TDIPieceKind kind) {
    Delivery d = DeliveryFor(kind, tkHtml, false, 0);
    const bool collect = d.caller || d.plugins;
    switch (kind) {
    case TDIPieceKind::ASP:
        ReadUntilPair(u'%', collect);
        break;
    case TDIPieceKind::PHP:
    case TDIPieceKind::XmlPI:
        ReadUntilPair(u'?', collect);
        break;
    case TDIPieceKind::CDataSection:
        ReadCData(collect);
        break;
    case TDIPieceKind::Comment:
        ReadComment(collect);
        break;
    default:
        if (collect)
            AppendUntilChar(u'>');
        else
            SkipUntilChar(u'>');
        break;
    }
    pieceKind_ = kind;
    return d.plugins ? Dispatch(kind, tkHtml, false, 0, d.caller) : d.caller;
}

bool TDIHtmlParser::TagPiece(TDIPieceKind kind, TDITagKind tagKind, TDITag& tag, TDITagType type,
                             size_t nameStart) {
    tag.Clear();
    tag.SetTagName(TextData() + nameStart, TextLength() - nameStart);
    const uint32_t id = HtmlTagId(TextData() + nameStart, TextLength() - nameStart);
    tag.SetTagID(id);
    tag.SetTagType(type);
    Delivery d = DeliveryFor(kind, tagKind, type == ttEnd, id);
    if (type != ttEmpty) ReadTagAttributes(tag, (d.caller || d.plugins) && type == ttStart);
    pieceKind_ = kind;
    bool show = d.plugins ? Dispatch(kind, tagKind, type == ttEnd, id, d.caller) : d.caller;
    if (kind == TDIPieceKind::HtmlTag) {
        if (tag.TagType() == ttStart) {
            if (id == html_id::PRE)
                ++preDepth_;
            else if (id == html_id::SCRIPT)
                pendingContent_ = TDIPieceKind::Script;
            else if (id == html_id::STYLE)
                pendingContent_ = TDIPieceKind::Style;
            else if (id == html_id::TITLE)
                pendingContent_ = TDIPieceKind::Title;
        } else if (tag.TagType() == ttEnd && id == html_id::PRE && preDepth_ > 0) {
            --preDepth_;
        }
    }
    return show;
}

bool TDIHtmlParser::SsiTagPiece(TDITagType type) {
    SetTextLength(0);
    TDISsiTag& tag = ssiTag_;
    tag.Clear();
    tag.SetTagType(type);
    const bool ended = ReadSsiName(tag);
    Delivery d = DeliveryFor(TDIPieceKind::SsiTag, tkSsi, type == ttEnd, tag.TagID());
    if (!ended) ReadSsiAttributes(tag, d.caller || d.plugins);
    pieceKind_ = TDIPieceKind::SsiTag;
    return d.plugins ? Dispatch(TDIPieceKind::SsiTag, tkSsi, type == ttEnd, tag.TagID(), d.caller) : d.caller;
}

namespace {
bool IsLetterAhead(int32_t c) {
    return c >= 0 && IsAsciiLetter(static_cast<char16_t>(c));
}
} // namespace

bool TDIHtmlParser::StartsPiece() {
    const int32_t next = Ahead(0);
    if (next < 0) return false;
    if (next == u'?' || next == u'!' || next == u'%' || IsLetterAhead(next)) return true;
    if (next == u'/') return IsLetterAhead(Ahead(1));
    if (enableCustomTags_ && next == customTagChar_) {
        const int32_t second = Ahead(1);
        if (IsLetterAhead(second)) return true;
        return second == u'/' && IsLetterAhead(Ahead(2));
    }
    return false;
}

bool TDIHtmlParser::EndTagAhead(const char16_t* name, size_t length, bool scriptEnd) {
    for (uint32_t i = 0; i < length; ++i) {
        const int32_t c = Ahead(i);
        if (c < 0 || AsciiLower(static_cast<char16_t>(c)) != name[i]) return false;
    }
    if (scriptEnd) {
        const int32_t c = Ahead(static_cast<uint32_t>(length));
        return c >= 0 && (c <= 0x20 || c == u'/' || c == u'>');
    }
    for (uint32_t i = static_cast<uint32_t>(length);; ++i) {
        const int32_t c = Ahead(i);
        if (c < 0) return false;
        if (c > 0x20) return c == u'>';
    }
}

void TDIHtmlParser::ReadText(bool collect) {
    if (!collect) {
        while (HasChar()) {
            SkipUntilChar(u'<');
            if (!HasChar() || StartsPiece()) return;
            ReadChar();
        }
        return;
    }
    const bool raw = !normalizeWhiteSpace_ || preDepth_ > 0;
    while (HasChar()) {
        if (raw)
            AppendUntilChars2(u'<', u'&');
        else
            AppendUntil(IsSpaceAmpOrLess);
        if (!HasChar()) return;
        const char16_t c = Char();
        if (c == u'&') {
            CharacterReference(!raw);
        } else if (c == u'<') {
            if (StartsPiece()) return;
            AppendAndReadChar();
        } else {
            AppendSpace();
            SkipWhiteSpace();
        }
    }
}

// A script ends at "</script" followed by white space, "/" or ">", whatever its contents: quotes
// and comments are not tracked, so one stray quote cannot swallow the rest of the page.
void TDIHtmlParser::ReadScript(bool collect) {
    while (HasChar()) {
        if (collect)
            AppendUntilChar(u'<');
        else
            SkipUntilChar(u'<');
        if (!HasChar() || EndTagAhead(u"/script", 7, true)) return;
        Take(collect);
    }
}

void TDIHtmlParser::ReadStyle(bool collect) {
    while (HasChar()) {
        if (collect)
            AppendUntilChar(u'<');
        else
            SkipUntilChar(u'<');
        if (!HasChar() || EndTagAhead(u"/style", 6, false)) return;
        Take(collect);
    }
}

void TDIHtmlParser::ReadTitle(bool collect) {
    while (HasChar()) {
        if (collect)
            AppendUntil(IsSpaceAmpOrLess);
        else
            SkipUntilChar(u'<');
        if (!HasChar()) return;
        const char16_t c = Char();
        if (c == u'<') {
            if (EndTagAhead(u"/title", 6, false)) return;
            Take(collect);
        } else if (c == u'&') {
            CharacterReference(true);
        } else {
            AppendSpace();
            SkipWhiteSpace();
        }
    }
}

void TDIHtmlParser::ReadUntilPair(char16_t last, bool collect) {
    while (HasChar()) {
        if (collect)
            AppendUntilChar(last);
        else
            SkipUntilChar(last);
        if (!HasChar()) return;
        Take(collect);
        if (HasChar() && Char() == u'>') {
            if (collect) SetTextLength(TextLength() - 1);
            return;
        }
    }
}

void TDIHtmlParser::ReadCData(bool collect) {
    while (HasChar()) {
        if (collect)
            AppendUntilChar(u']');
        else
            SkipUntilChar(u']');
        if (!HasChar()) return;
        Take(collect);
        while (HasChar() && Char() == u']') {
            Take(collect);
            if (HasChar() && Char() == u'>') {
                if (collect) SetTextLength(TextLength() - 2);
                return;
            }
        }
    }
}

void TDIHtmlParser::ReadComment(bool collect) {
    while (HasChar()) {
        if (collect)
            AppendUntilChar(u'-');
        else
            SkipUntilChar(u'-');
        if (!HasChar()) return;
        const size_t length = TextLength();
        Take(collect);
        if (HasChar() && Char() == u'-') {
            if (collect)
                AppendWhileChar(u'-');
            else
                SkipWhileChar(u'-');
            if (HasChar() && Char() == u'>') {
                if (collect) SetTextLength(length);
                return;
            }
        }
    }
}

void TDIHtmlParser::CharacterReference(bool collapsed) {
    AppendChar(u'&');
    const size_t start = TextLength();
    ReadChar();
    if (!HasChar()) return;
    auto emit = [&](char16_t ch) {
        SetTextLength(start - 1);
        if (collapsed)
            AppendCharCollapsed(ch);
        else
            AppendChar(ch);
        ReadChar(); // the ";"
    };
    if (Char() == u'#') {
        AppendAndReadChar();
        bool hex = false;
        if (HasChar() && (Char() == u'x' || Char() == u'X')) {
            hex = true;
            AppendAndReadChar();
        }
        uint32_t value = 0;
        size_t digits = 0;
        while (HasChar()) {
            int d = DigitValue(Char(), hex);
            if (d < 0) break;
            uint32_t next = value * (hex ? 16 : 10) + static_cast<uint32_t>(d);
            if (next > 0xFFFF) break;
            value = next;
            ++digits;
            AppendAndReadChar();
        }
        // Without digits it is no reference; NUL and surrogates would corrupt the text.
        if (digits > 0 && HasChar() && Char() == u';')
            emit((value == 0 || (value >= 0xD800 && value <= 0xDFFF)) ? char16_t(0xFFFD) : char16_t(value));
        return;
    }
    if (IsNameChar(Char())) {
        ScanClass<true, IsNameChar>();
        if (HasChar() && Char() == u';') {
            char16_t ch = HtmlEntityChar(TextData() + start, TextLength() - start);
            if (ch != 0) emit(ch);
        }
    }
}

void TDIHtmlParser::ReadTagAttributes(TDITag& tag, bool collect) {
    while (HasChar()) {
        SkipWhiteSpace();
        if (!HasChar()) return;
        const char16_t c = Char();
        if (c == u'>') return;
        if (c == u'/') {
            ReadChar();
            if (HasChar() && Char() == u'>') {
                if (collect && tag.TagType() == ttStart) tag.SetTagType(ttEmpty);
                return;
            }
            continue;
        }
        if (!IsAsciiLetter(c)) {
            ReadChar();
            continue;
        }
        uint32_t id = 0;
        if (collect) {
            SetTextLength(0);
            AppendAndReadChar();
            ScanClass<true, IsNameChar>();
            attributeName_.clear();
            attributeName_.append(TextData(), TextLength());
            id = HtmlAttributeId(TextData(), TextLength());
        } else {
            ReadChar();
            ScanClass<false, IsNameChar>();
        }
        SkipWhiteSpace();
        // The value is the text once read.
        bool valued = false;
        if (HasChar() && Char() == u'=') {
            ReadChar();
            SkipWhiteSpace();
            if (HasChar() && (Char() == u'"' || Char() == u'\'')) {
                const char16_t quote = Char();
                ReadChar();
                if (collect) {
                    SkipWhiteSpace();
                    SetTextLength(0);
                    while (HasChar()) {
                        AppendUntilChars2(quote, u'&');
                        if (!HasChar() || Char() == quote) break;
                        CharacterReference(false);
                    }
                    size_t n = TextLength();
                    while (n > 0 && TextData()[n - 1] <= 0x20)
                        --n;
                    SetTextLength(n);
                    valued = true;
                } else {
                    SkipUntilChar(quote);
                }
                if (HasChar()) ReadChar();
            } else if (HasChar()) {
                if (collect) {
                    SetTextLength(0);
                    while (HasChar()) {
                        AppendUntil(IsSpaceAmpOrGreater);
                        if (!HasChar() || Char() != u'&') break;
                        CharacterReference(false);
                    }
                    valued = true;
                } else {
                    SkipUntil(IsSpaceOrGreater);
                }
            }
        }
        if (collect)
            tag.AddAttribute(attributeName_.data(), attributeName_.size(), TextData(),
                             valued ? TextLength() : 0, id);
    }
}

// After a "-" that is current: true when more dashes and ">" follow.
bool TDIHtmlParser::DashesAndGreaterAhead(uint32_t offset) {
    if (!FillLookAhead(offset + 1) || LookAhead()[offset] != u'-') return false;
    for (uint32_t i = offset + 1;; ++i) {
        if (!FillLookAhead(i + 1)) return false;
        if (LookAhead()[i] != u'-') return LookAhead()[i] == u'>';
    }
}

// Cuts a trailing "--" run that a ">" follows; true when it ended the tag there.
static bool CutTagEnd(TDIHtmlParser& p) {
    size_t n = p.TextLength();
    size_t dashes = 0;
    while (dashes < n && p.TextData()[n - 1 - dashes] == u'-')
        ++dashes;
    if (dashes < 2 || !p.HasChar() || p.Char() != u'>') return false;
    p.SetTextLength(n - dashes);
    return true;
}

bool TDIHtmlParser::ReadSsiName(TDITag& tag) {
    ScanClass<true, IsNameChar>();
    const bool ended = CutTagEnd(*this);
    tag.SetTagName(GetText());
    tag.SetTagID(HtmlTagId(TextData(), TextLength()));
    return ended;
}

void TDIHtmlParser::ReadSsiAttributes(TDITag& tag, bool collect) {
    SkipWhiteSpace();
    while (HasChar()) {
        const char16_t c = Char();
        if (c == u'-' && DashesAndGreaterAhead(0)) {
            SkipUntilChar(u'>');
            return;
        }
        if (c == u'/' && FillLookAhead(1) && LookAhead()[0] == u'-' && DashesAndGreaterAhead(1)) {
            SkipUntilChar(u'>');
            if (collect && tag.TagType() == ttStart) tag.SetTagType(ttEmpty);
            return;
        }
        if (!IsNameChar(c)) {
            ReadChar();
            continue;
        }
        SetTextLength(0);
        ScanClass<true, IsNameChar>();
        const bool ended = CutTagEnd(*this);
        std::u16string name = GetText();
        const uint32_t id = HtmlAttributeId(TextData(), TextLength());
        std::u16string value;
        if (!ended) {
            SkipWhiteSpace();
            if (HasChar() && Char() == u'=') {
                ReadChar();
                SkipWhiteSpace();
                SetTextLength(0);
                if (HasChar() && (Char() == u'"' || Char() == u'\'' || Char() == u'`')) {
                    const char16_t quote = Char();
                    ReadChar();
                    while (HasChar()) {
                        AppendUntilChars3(quote, u'&', u'\\');
                        if (!HasChar() || Char() == quote) break;
                        if (Char() == u'&') {
                            CharacterReference(false);
                        } else {
                            ReadChar(); // a backslash: keep what it escapes
                            if (HasChar() && Char() != quote) AppendChar(u'\\');
                            AppendAndReadChar();
                        }
                    }
                    size_t n = TextLength();
                    while (n > 0 && TextData()[n - 1] <= 0x20)
                        --n;
                    SetTextLength(n);
                    value = GetText();
                    if (HasChar()) ReadChar();
                } else {
                    bool valueEnded = false;
                    while (HasChar()) {
                        AppendUntil(IsSpaceAmpOrDash);
                        if (!HasChar()) break;
                        if (Char() == u'&') {
                            CharacterReference(false);
                        } else if (Char() == u'-') {
                            if (DashesAndGreaterAhead(0)) {
                                valueEnded = true;
                                break;
                            }
                            AppendAndReadChar();
                        } else {
                            break;
                        }
                    }
                    value = GetText();
                    if (valueEnded) {
                        if (collect) tag.AddStr2Number(name, value, id);
                        SkipUntilChar(u'>');
                        return;
                    }
                }
            }
        }
        if (collect) tag.AddStr2Number(name, value, id);
        if (ended) return;
        SkipWhiteSpace();
    }
}
