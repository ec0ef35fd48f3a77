// The parsing half of the page fetcher: which pages are parsed, and how each link is filed.
#include "fetch/address_functions.h"
#include "fetch/file_fetcher.h"
#include "fetch/html/name_tables.h"
#include "fetch/html/plugins.h"
#include "fetch/html/typed_containers.h"
#include "fetch/html/uri.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/unicode.h"

namespace {

// Addresses of these types are never parsed as pages.
constexpr const char* kNotParsed = "*.gif;*.jpg;*.ico;*.swf;*.bmp;*.png;*.zip;*.exe;*.pdf;*.wav;";
// Links to these types are not followed.
constexpr const char* kNotFollowed = "*.gif;*.jpg;*.ico;*.swf;*.bmp;*.png;*.zip;*.exe;*.pdf;*.wav;*.chm;";

// "http" or "https" in any ASCII letter case.
bool IsWebScheme(const std::u16string& scheme) {
    static constexpr char16_t https[] = u"https";
    if (scheme.size() != 4 && scheme.size() != 5) return false;
    for (size_t i = 0; i < scheme.size(); ++i) {
        char16_t c = scheme[i];
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        if (c != https[i]) return false;
    }
    return true;
}

} // namespace

void TFileFetcher::ParsePage() {
    if (dontParseFile_) return;
    if (mimeType_ != mimeText) return;
    const std::string address = StripQueryAndFragment(EffectiveUrl());
    if (!address.empty() && address.back() != '/' && IsFileTypeInList(address, kNotParsed)) return;
    using Getter = bool (TDIHtmlLinksPlugin::*)() const;
    using Setter = void (TDIHtmlLinksPlugin::*)(bool);
    struct LinkKind {
        Getter get;
        Setter set;
    };
    static constexpr LinkKind kinds[kLinkTypeCount] = {
        {&TDIHtmlLinksPlugin::Link_A_href, &TDIHtmlLinksPlugin::SetLink_A_href},
        {&TDIHtmlLinksPlugin::Link_APPLET_code, &TDIHtmlLinksPlugin::SetLink_APPLET_code},
        {&TDIHtmlLinksPlugin::Link_AREA_href, &TDIHtmlLinksPlugin::SetLink_AREA_href},
        {&TDIHtmlLinksPlugin::Link_BGSOUND_src, &TDIHtmlLinksPlugin::SetLink_BGSOUND_src},
        {&TDIHtmlLinksPlugin::Link_BODY_background, &TDIHtmlLinksPlugin::SetLink_BODY_background},
        {&TDIHtmlLinksPlugin::Link_FRAME_src, &TDIHtmlLinksPlugin::SetLink_FRAME_src},
        {&TDIHtmlLinksPlugin::Link_IFRAME_src, &TDIHtmlLinksPlugin::SetLink_IFRAME_src},
        {&TDIHtmlLinksPlugin::Link_INPUT_src, &TDIHtmlLinksPlugin::SetLink_INPUT_src},
        {&TDIHtmlLinksPlugin::Link_IMG_src, &TDIHtmlLinksPlugin::SetLink_IMG_src},
        {&TDIHtmlLinksPlugin::Link_LINK_href, &TDIHtmlLinksPlugin::SetLink_LINK_href},
        {&TDIHtmlLinksPlugin::Link_OBJECT_data, &TDIHtmlLinksPlugin::SetLink_OBJECT_data},
        {&TDIHtmlLinksPlugin::Link_SCRIPT_src, &TDIHtmlLinksPlugin::SetLink_SCRIPT_src},
        {&TDIHtmlLinksPlugin::Link_TABLE_background, &TDIHtmlLinksPlugin::SetLink_TABLE_background},
        {&TDIHtmlLinksPlugin::Link_TD_background, &TDIHtmlLinksPlugin::SetLink_TD_background},
        {&TDIHtmlLinksPlugin::Link_TH_background, &TDIHtmlLinksPlugin::SetLink_TH_background}};
    // Every change makes the parser recompute its routing; most pages change nothing.
    for (int i = 0; i < kLinkTypeCount; ++i) {
        const bool wanted = (linkTypes_ & LinkBit(static_cast<TLinkType>(i))) != 0;
        if ((links_.get()->*kinds[i].get)() != wanted) (links_.get()->*kinds[i].set)(wanted);
    }
    parser_->SetSourceString(pageContent_);
    links_->SetBaseUri(Utf8ToUtf16(EffectiveUrl()));
    links_->SetBASE_href(true);
    parser_->Clear();
    parser_->ParseAll();
    parsed_ = true;
}

void TFileFetcher::HandleLink(std::u16string& link) {
    if (offSite_) return;
    if (!link.empty()) {
        if (link[0] == u'#') return;
        const size_t hash = link.find(u'#');
        if (hash != std::u16string::npos) link.resize(hash);
    }
    std::u16string& resolved = resolved_;
    if (resolveUris_) {
        const std::u16string& base = links_->BaseUri();
        if (base != baseText_) {
            baseText_ = base;
            baseParsed_ = base_->Parse(base);
        }
        if (!baseParsed_ || !Resolve(*base_, link, resolved)) resolved = link;
    } else {
        resolved = link;
    }
    TDIHtmlTag& tag = parser_->HtmlTag();
    if (tag.FindNumber(html_attr::rel) != nullptr &&
        HasAttributeToken(tag.AttributeValue(html_attr::rel), u"nofollow"))
        return;

    TDIUri& uri = *link_;
    std::u16string& filed = filed_;
    filed.clear();
    bool follow = false;
    if (uri.Parse(resolved)) {
        // Schemes ignore letter case; the lower-case form keeps one address one text.
        const std::u16string& scheme = uri.Scheme();
        if (IsWebScheme(scheme) && scheme != u"http" && scheme != u"https") {
            uri.SetScheme(Utf8ToUtf16(LowerCase(Utf16ToUtf8(scheme))));
            uri.Compose(resolved);
        }
        bool hit = false;
        if (!uri.Query().empty()) {
            const std::string query = Utf16ToUtf8(uri.Query());
            for (int i = 0; i < nonFollowQueryParts_->Count() && !hit; ++i) {
                const std::string part = nonFollowQueryParts_->Strings(i);
                hit = !part.empty() && query.find(part) != std::string::npos;
            }
        }
        uri.ClearFragment();
        if (!hit) uri.ClearQuery();
        uri.Compose(filed);
        follow = !hit && IsWebScheme(uri.Scheme());
    }
    const std::string filed8 = Utf16ToUtf8(filed);
    if (showAllLinkTypes_)
        follow = true;
    else if (follow && IsFileTypeInList(filed8, kNotFollowed))
        follow = !wantedFileTypes_.empty() && IsFileTypeInList(filed8, wantedFileTypes_);

    if (follow) {
        followList_->Add(filed8);
        linkVector_->AddStr2(resolved, filed);
    } else {
        nonFollowList_->Add(filed8);
    }
    if (OnLink) OnLink(this, Utf16ToUtf8(tag.TagText()), Utf16ToUtf8(resolved), filed8);
}
