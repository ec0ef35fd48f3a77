#include "fetch/page_reader.h"

#include "fetch/address_functions.h"
#include "fetch/html/name_tables.h"
#include "fetch/html/plugins.h"
#include "fetch/html/uri.h"
#include "fetch/mime_type.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/unicode.h"

#include <cstdint>

namespace fetcher {
namespace {

// Addresses of these types are never parsed as pages.
constexpr const char* kNotParsed = "*.gif;*.jpg;*.ico;*.swf;*.bmp;*.png;*.zip;*.exe;*.pdf;*.wav;";
// Links to these types are not followed.
constexpr const char* kNotFollowed = "*.gif;*.jpg;*.ico;*.swf;*.bmp;*.png;*.zip;*.exe;*.pdf;*.wav;*.chm;";
// The known link forms kept at most, over all base folders.
constexpr size_t kKnownFormsLimit = 4096;

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

const TDIReadMethod* DefaultReadMethod() {
    // Browsers read a page that declares no encoding so, and so do they read pages labelled ISO-8859-1.
    static const TDIReadMethod* method = CharSetReadMethod(u"windows-1252");
    return method;
}

const TDIReadMethod* ReadMethodOf(const std::string& ContentType) {
    // A charset named by the server is where decoding starts; a META element may still change it.
    const std::string charSet = CharSetOf(ContentType);
    const TDIReadMethod* named = charSet.empty() ? nullptr : CharSetReadMethod(Utf8ToUtf16(charSet));
    return named ? named : DefaultReadMethod();
}

PageReader::PageReader()
    : parser_(std::make_unique<TDIHtmlParser>()), links_(std::make_unique<TDIHtmlLinksPlugin>()),
      titlePlugin_(std::make_unique<TDIHtmlTitlePlugin>()),
      charSet_(std::make_unique<TDIHtmlCharSetPlugin>()), base_(std::make_unique<TDIUri>()),
      link_(std::make_unique<TDIUri>()) {
    links_->SetHtmlParser(parser_.get());
    titlePlugin_->SetHtmlParser(parser_.get());
    charSet_->SetHtmlParser(parser_.get());
    links_->SetOnLink([this](TDIHtmlLinksPlugin*, std::u16string& link, bool&, bool&) { HandleLink(link); });
    titlePlugin_->OnTitle = [this](TDIHtmlTitlePlugin* plugin) {
        page_->title = Utf16ToUtf8(plugin->Title());
        page_->hasTitle = true;
    };
}

PageReader::~PageReader() {
    // The plugins leave the parser before it goes.
    links_.reset();
    titlePlugin_.reset();
    charSet_.reset();
    parser_.reset();
}

void PageReader::Read(const std::string& Content, const std::string& MediaType, const std::string& Address,
                      bool OffSite, const TDIReadMethod* Method, const ReadSettings& Settings, ReadPage& Page,
                      const LinkSeen& OnLink) {
    Page.parsed = false;
    Page.title.clear();
    Page.hasTitle = false;
    // The lists' strings of the last page read into Page are written over, and the rest let go at the end:
    // a page's links cost no allocation each.
    used_ = {};
    struct Trim {
        ReadPage& page;
        const Used& used;
        ~Trim() {
            page.resolved.resize(used.resolved);
            page.follow.resize(used.follow);
            page.nonFollow.resize(used.nonFollow);
        }
    } trim{Page, used_};
    if (Settings.dontParseFile) return;
    if (MimeTypeOf(MediaType) != mimeText) return;
    const std::string address = StripQueryAndFragment(Address);
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
        const bool wanted = (Settings.linkTypes & LinkBit(static_cast<TLinkType>(i))) != 0;
        if ((links_.get()->*kinds[i].get)() != wanted) (links_.get()->*kinds[i].set)(wanted);
    }
    // Forms worked out under other settings may differ: the links are worked out again.
    if (!(Settings == knownSettings_)) {
        ForgetForms();
        keepForms_ = true;
        knownSettings_ = Settings;
    }
    knownHere_ = knownSite_ = nullptr;
    page_ = &Page;
    settings_ = &Settings;
    onLink_ = OnLink ? &OnLink : nullptr;
    offSite_ = OffSite;
    struct Done {
        PageReader& r;
        ~Done() {
            // The parser read Content in place: it lets go of it with the call.
            r.parser_->SetSourceBuffer(nullptr, 0);
            r.page_ = nullptr;
            r.settings_ = nullptr;
            r.onLink_ = nullptr;
        }
    } done{*this};
    charSet_->SetDefaultReadMethod(Method);
    // Read in place rather than copied: the page is read within this call.
    parser_->SetSourceBuffer(reinterpret_cast<const uint8_t*>(Content.data()), Content.size());
    links_->SetBaseUri(Utf8ToUtf16(Address));
    if (!links_->BASE_href()) links_->SetBASE_href(true);
    parser_->Clear();
    parser_->ParseAll();
    Page.parsed = true;
}

void PageReader::HandleLink(std::u16string& link) {
    if (offSite_) return;
    if (!link.empty()) {
        if (link[0] == u'#') return;
        const size_t hash = link.find(u'#');
        if (hash != std::u16string::npos) link.resize(hash);
    }
    if (settings_->resolveUris) {
        const std::u16string& base = links_->BaseUri();
        if (base != baseText_) {
            baseText_ = base;
            baseParsed_ = base_->Parse(base);
            knownHere_ = knownSite_ = nullptr;
        }
    }
    TDIHtmlTag& tag = parser_->HtmlTag();
    if (tag.FindNumber(html_attr::rel) != nullptr &&
        HasAttributeToken(tag.AttributeValue(html_attr::rel), u"nofollow"))
        return;
    LinkForms* known = KnownForms(link);
    LinkForms& forms = known ? *known : forms_;
    if (!known) FormsOf(link, forms);
    if (onLink_) (*onLink_)(tag.TagText(), forms.resolved, forms.filed8);
    const auto put = [](std::vector<std::string>& list, size_t& used, const std::string& link) {
        if (used < list.size())
            list[used].assign(link);
        else
            list.push_back(link);
        ++used;
    };
    if (forms.follow) {
        put(page_->resolved, used_.resolved, forms.resolved8);
        put(page_->follow, used_.follow, forms.filed8);
    } else {
        put(page_->nonFollow, used_.nonFollow, forms.filed8);
    }
}

PageReader::LinkForms* PageReader::KnownForms(const std::u16string& link) {
    // An empty link or a query alone is resolved against the whole base address, not only its folder.
    if (!keepForms_ || link.empty() || link[0] == u'?') return nullptr;
    // A link with a scheme resolves to itself, and one from the root ("/a", not "//host") takes only the
    // base's scheme and authority: kept apart from the folder, they are found again on every page of the
    // site, the way menus and links across a site are written.
    const bool absolute = SchemeLength(link) != 0;
    const bool fromRoot = !absolute && link[0] == u'/' && (link.size() == 1 || link[1] != u'/');
    std::unordered_map<std::u16string, LinkForms>*& here = absolute   ? knownAbsolute_
                                                           : fromRoot ? knownSite_
                                                                      : knownHere_;
    if (!here) {
        // What of the base such a link is resolved with: its scheme, its authority and its path up to the
        // last '/', each part with its length and presence before it; nothing for an absolute link.
        std::u16string key;
        const auto part = [&key](bool present, const std::u16string& text) {
            key.push_back(present ? u'+' : u'-');
            key.push_back(static_cast<char16_t>(text.size() >> 16));
            key.push_back(static_cast<char16_t>(text.size() & 0xFFFF));
            key += text;
        };
        if (!absolute && settings_->resolveUris && baseParsed_) {
            const TDIUri& b = *base_;
            part(b.HasScheme(), b.Scheme());
            part(b.HasUsername(), b.Username());
            part(b.HasPassword(), b.Password());
            part(b.HasHost(), b.Host());
            part(b.HasPort(), b.Port());
            // Without the path's part the key cannot be a folder's, which always has one.
            if (!fromRoot) {
                const size_t slash = b.Path().rfind(u'/');
                part(true, b.Path().substr(0, slash == std::u16string::npos ? 0 : slash + 1));
            }
        }
        here = &known_[key];
    }
    ++knownLookups_;
    const auto found = here->find(link);
    if (found != here->end()) {
        ++knownHits_;
        return &found->second;
    }
    if (knownCount_ >= kKnownFormsLimit) {
        // Links that seldom come again (a large site's links to its own pages, each met a few times
        // among thousands) cost their keeping and gain nothing: they are no longer kept.
        keepForms_ = knownHits_ * 4 >= knownLookups_ * 3;
        ForgetForms();
        return nullptr;
    }
    LinkForms& forms = (*here)[link];
    ++knownCount_;
    FormsOf(link, forms);
    return &forms;
}

void PageReader::ForgetForms() {
    known_.clear();
    knownHere_ = knownSite_ = knownAbsolute_ = nullptr;
    knownCount_ = knownLookups_ = knownHits_ = 0;
}

void PageReader::FormsOf(const std::u16string& link, LinkForms& forms) {
    std::u16string& resolved = forms.resolved;
    TDIUri& uri = *link_;
    // Resolving leaves the resolved address's parts in uri: it is not parsed again. One that does not
    // parse leaves none: it is filed as the empty address, as an address that does not parse is.
    bool parsed = settings_->resolveUris && baseParsed_ && Resolve(*base_, link, resolved, uri);
    if (!parsed) {
        resolved = link;
        parsed = uri.Parse(resolved);
    }

    std::u16string& filed = forms.filed;
    filed.clear();
    bool follow = false;
    if (parsed) {
        // Schemes ignore letter case; the lower-case form keeps one address one text.
        const std::u16string& scheme = uri.Scheme();
        if (IsWebScheme(scheme) && scheme != u"http" && scheme != u"https") {
            uri.SetScheme(Utf8ToUtf16(LowerCase(Utf16ToUtf8(scheme))));
            uri.Compose(resolved);
        }
        bool hit = false;
        if (!uri.Query().empty()) {
            const std::string query = Utf16ToUtf8(uri.Query());
            for (const std::string& part : settings_->nonFollowQueryParts) {
                hit = !part.empty() && query.find(part) != std::string::npos;
                if (hit) break;
            }
        }
        uri.ClearFragment();
        if (!hit) uri.ClearQuery();
        uri.Compose(filed);
        follow = !hit && IsWebScheme(uri.Scheme());
    }
    forms.filed8 = Utf16ToUtf8(filed);
    if (settings_->showAllLinkTypes)
        follow = true;
    else if (follow && IsFileTypeInList(forms.filed8, kNotFollowed))
        follow =
            !settings_->wantedFileTypes.empty() && IsFileTypeInList(forms.filed8, settings_->wantedFileTypes);
    forms.follow = follow;
    // Most links have neither query nor fragment: filed as they resolve.
    forms.resolved8 = !follow ? std::string() : filed == resolved ? forms.filed8 : Utf16ToUtf8(resolved);
}

} // namespace fetcher
