#include "fetch/html/plugins.h"

#include <utility>
#include <vector>

#include "fetch/html/container.h"
#include "fetch/html/entity_table.h"
#include "fetch/html/name_tables.h"
#include "fetch/html/typed_containers.h"
#include "fetch/html/typed_handlers.h"
#include "fetch/html/uri.h"
#include "fetch/html/wide_string.h"
#include "platform/rtl/format.h"
#include "platform/rtl/unicode.h"

// ---- character-set names

namespace {

struct AliasTable {
    std::vector<const TDIReadMethod*> methods;
    TDICardinalHash* table;
};

const AliasTable& Aliases() {
    static const AliasTable aliases = [] {
        AliasTable a{{nullptr}, new TDICardinalHash(DIWideStringCIKeyHandler())};
        auto row = [&](const TDIReadMethod* method, std::initializer_list<const char*> names) {
            a.methods.push_back(method);
            uint32_t index = static_cast<uint32_t>(a.methods.size() - 1);
            for (const char* n : names) {
                std::u16string name = Utf8ToUtf16(n);
                *static_cast<uint32_t*>(a.table->Locate(&name)) = index;
            }
        };
        auto page = [](const char* name) { return CodePageReadMethod(name); };
        row(&ReadCharUsAscii, {"US-ASCII", "ASCII", "us"});
        row(&ReadCharUtf8, {"Utf-8", "utf8"});
        row(&ReadCharUtf16BE, {"Utf-16BE"});
        row(&ReadCharUtf16LE, {"Utf-16LE"});
        // Browsers read pages labelled Latin-1 as windows-1252, whose quotes and dashes they use.
        row(page("windows-1252"), {"ISO-8859-1", "ISO_8859-1", "latin1", "l1", "ISO_8859-1:1987"});
        row(page("ISO-8859-2"), {"ISO-8859-2", "ISO_8859-2", "latin2", "l2", "ISO_8859-2:1987"});
        row(page("ISO-8859-3"), {"ISO-8859-3", "ISO_8859-3", "latin3", "l3", "ISO_8859-3:1988"});
        row(page("ISO-8859-4"), {"ISO-8859-4", "ISO_8859-4", "latin4", "l4", "ISO_8859-4:1988"});
        row(page("ISO-8859-6"), {"ISO-8859-6", "ISO_8859-6", "arabic", "ISO_8859-6:1987"});
        row(page("ISO-8859-7"), {"ISO-8859-7", "ISO_8859-7", "greek", "greek8", "ISO_8859-7:1987"});
        row(page("ISO-8859-8"), {"ISO-8859-8", "ISO_8859-8", "hebrew"});
        row(page("ISO-8859-9"), {"ISO-8859-9", "ISO_8859-9", "latin5", "l5", "ISO_8859-9:1989"});
        row(page("ISO-8859-10"), {"ISO-8859-10", "latin6", "l6", "ISO_8859-10:1992"});
        row(page("ISO-8859-13"), {"ISO-8859-13"});
        row(page("ISO-8859-14"),
            {"ISO-8859-14", "ISO_8859-14", "latin8", "l8", "ico-celtic", "ISO_8859-14:1998"});
        row(page("ISO-8859-15"), {"ISO-8859-15"});
        row(page("ISO-8859-16"), {"ISO-8859-16"});
        // GBK and GB2312 pages decode correctly as GB18030, their superset.
        row(&ReadCharGb18030, {"GB18030", "gbk", "gb2312", "x-gbk"});
        row(page("IBM424"), {"IBM424", "cp424"});
        for (const char* n :
             {"437", "850", "852", "855", "857", "860", "861", "862", "863", "864", "865", "866", "869"}) {
            std::string number = n;
            std::string ibm = "IBM" + number, cp = "cp" + number;
            row(page(ibm.c_str()), {ibm.c_str(), cp.c_str(), number.c_str()});
        }
        for (int n = 1250; n <= 1258; ++n) {
            std::string windows = "windows-" + std::to_string(n), cp = "cp" + std::to_string(n);
            row(page(windows.c_str()), {windows.c_str(), cp.c_str()});
        }
        row(page("KOI8-R"), {"KOI8-R"});
        row(page("KOI8-U"), {"KOI8-U"});
        return a;
    }();
    return aliases;
}

// The charset name in a content value: after "charset", optional white space, "=", optional
// white space and an optional quote, the run of name characters.
std::u16string CharSetOfContent(const std::u16string& content) {
    size_t at = PosWideStrI(u"charset", content, 1);
    if (at == 0) return {};
    size_t i = at - 1 + 7;
    while (i < content.size() && IsWhiteSpace(content[i]))
        ++i;
    if (i >= content.size() || content[i] != u'=') return {};
    ++i;
    while (i < content.size() && IsWhiteSpace(content[i]))
        ++i;
    if (i < content.size() && (content[i] == u'"' || content[i] == u'\'')) ++i;
    size_t start = i;
    while (i < content.size() && IsNameChar(content[i]))
        ++i;
    return content.substr(start, i - start);
}

std::u16string StripQuotesAndSpace(const std::u16string& value) {
    size_t b = 0, e = value.size();
    while (b < e && (IsWhiteSpace(value[b]) || value[b] == u'"' || value[b] == u'\''))
        ++b;
    while (e > b && (IsWhiteSpace(value[e - 1]) || value[e - 1] == u'"' || value[e - 1] == u'\''))
        --e;
    return value.substr(b, e - b);
}

} // namespace

const TDIReadMethod* CharSetReadMethod(const std::u16string& name) {
    const AliasTable& a = Aliases();
    uint32_t index = a.table->FindBufValue(name.data(), name.size());
    return index == 0 ? nullptr : a.methods[index];
}

TDIHtmlCharSetPlugin::TDIHtmlCharSetPlugin() {
    metaFilter_.SetStartTagFilter(html_id::META, fiShowLocal);
    SetTagFilters(tkHtml, &metaFilter_);
}

TDIHtmlCharSetPlugin::~TDIHtmlCharSetPlugin() {
    SetHtmlParser(nullptr);
    SetTagFilters(tkHtml, nullptr);
}

void TDIHtmlCharSetPlugin::HandleHtmlTag(bool&) {
    TDIHtmlParser* parser = HtmlParser();
    // A byte-order mark outranks any label in the page.
    if (parser == nullptr || parser->HasByteOrderMark()) return;
    TDIHtmlTag& tag = parser->HtmlTag();
    std::u16string name;
    if (tag.FindNumber(html_attr::charset) != nullptr) {
        name = StripQuotesAndSpace(tag.AttributeValue(html_attr::charset));
    } else {
        if (!SameWideStrI(tag.AttributeValue(html_attr::http_equiv), u"Content-Type")) return;
        std::u16string content = tag.AttributeValue(html_attr::content);
        if (content.empty()) return;
        name = CharSetOfContent(content);
    }
    if (name.empty()) return;
    const TDIReadMethod* method = CharSetReadMethod(name);
    bool allow = true;
    if (OnCharSetChange) OnCharSetChange(this, name, method, allow);
    // An unknown name keeps the decoder in use rather than falling back to Latin-1.
    if (!allow || method == nullptr) return;
    parser->SetReadMethod(method);
}

void TDIHtmlCharSetPlugin::Reset() {
    TDIHtmlParser* parser = HtmlParser();
    if (parser && !parser->HasByteOrderMark()) parser->SetReadMethod(defaultReadMethod_);
}

// ---- links

namespace {

uint32_t LinkAttribute(uint32_t tagId) {
    switch (tagId) {
    case html_id::A:
    case html_id::AREA:
    case html_id::LINK:
        return html_attr::href;
    case html_id::APPLET:
        return html_attr::code;
    case html_id::BGSOUND:
    case html_id::FRAME:
    case html_id::IFRAME:
    case html_id::IMG:
    case html_id::INPUT:
    case html_id::SCRIPT:
        return html_attr::src;
    case html_id::BODY:
    case html_id::TABLE:
    case html_id::TD:
    case html_id::TH:
        return html_attr::background;
    case html_id::OBJECT:
        return html_attr::data;
    default:
        return 0;
    }
}

} // namespace

TDIHtmlLinksPlugin::TDIHtmlLinksPlugin() = default;

TDIHtmlLinksPlugin::~TDIHtmlLinksPlugin() {
    SetHtmlParser(nullptr);
    SetTagFilters(tkHtml, nullptr);
}

void TDIHtmlLinksPlugin::SetLinkKind(uint32_t tagId, bool on) {
    if (on)
        links_.SetStartTagFilter(tagId, fiShowLocal);
    else
        links_.RemoveTag(tagId);
}

void TDIHtmlLinksPlugin::UpdateAttachment() {
    SetTagFilters(tkHtml, (onLink_ || vector_) ? &links_ : nullptr);
}

void TDIHtmlLinksPlugin::SetLinkVector(TDIWideStringVector* vector) {
    vector_ = vector;
    UpdateAttachment();
}

void TDIHtmlLinksPlugin::SetOnLink(TLinkEvent handler) {
    onLink_ = std::move(handler);
    UpdateAttachment();
}

void TDIHtmlLinksPlugin::HandleHtmlTag(bool& show) {
    TDIHtmlParser* parser = HtmlParser();
    if (parser == nullptr) return;
    TDIHtmlTag& tag = parser->HtmlTag();
    if (tag.TagID() == html_id::BASE) {
        // The first BASE counts, and a relative one is taken against the page's own address.
        auto* item = static_cast<TDIWideString2CardinalItem*>(tag.FindNumber(html_attr::href));
        if (item == nullptr || baseSeen_) return;
        baseSeen_ = true;
        std::u16string resolved;
        if (Resolve(baseUri_, DISlotString(item->second), resolved))
            baseUri_ = resolved;
        else
            baseUri_ = DISlotString(item->second);
        return;
    }
    uint32_t attribute = LinkAttribute(tag.TagID());
    if (attribute == 0)
        throw EDIContainerError(
            DIErrorText(ClassName(), Format(di_text::UnrequestedTag, Utf16ToUtf8(tag.TagName()).c_str())));
    auto* item = static_cast<TDIWideString2CardinalItem*>(tag.FindNumber(attribute));
    if (item == nullptr) return;
    // Taken into a buffer kept from link to link: a page's links cost no allocation each.
    std::u16string& link = link_;
    link.assign(DISlotString(item->second));
    bool addToVector = true;
    if (onLink_) {
        onLink_(this, link, addToVector, show);
        DISetSlotString(item->second, link);
    }
    if (vector_ && addToVector && vector_->IndexOfStr(link) < 0) vector_->AddStr(link);
}

void TDIHtmlLinksPlugin::Reset() {
    baseSeen_ = false;
    if (vector_) vector_->Clear();
}

// ---- title

TDIHtmlTitlePlugin::TDIHtmlTitlePlugin() {
    SetFilter(TDIPieceKind::Title, fiShowLocal);
}

void TDIHtmlTitlePlugin::HandleTitle(bool&) {
    TDIHtmlParser* parser = HtmlParser();
    if (parser == nullptr) return;
    title_.assign(parser->TextData(), std::min(parser->TextLength(), kMaxTitleLength));
    SetFilter(TDIPieceKind::Title, fiHide);
    if (OnTitle) OnTitle(this);
}

void TDIHtmlTitlePlugin::Reset() {
    title_.clear();
    SetFilter(TDIPieceKind::Title, fiShowLocal);
}

bool HasAttributeToken(const std::u16string& value, const std::u16string& token) {
    size_t i = 0;
    while (i < value.size()) {
        while (i < value.size() && IsWhiteSpace(value[i]))
            ++i;
        size_t start = i;
        while (i < value.size() && !IsWhiteSpace(value[i]))
            ++i;
        if (i > start && SameWideBufI(value.data() + start, i - start, token)) return true;
    }
    return false;
}
