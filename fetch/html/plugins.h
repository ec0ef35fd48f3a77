#pragma once
// The plugins the page fetcher uses: character set, links and title.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "fetch/html/parser_plugin.h"

class TDIWideStringVector;

// The decoder for a character-set name, or null when the name is unknown.
const TDIReadMethod* CharSetReadMethod(const std::u16string& name);

// Switches the reader's decoder when a META element declares the page's character set.
class TDIHtmlCharSetPlugin : public TDIHtmlParserPlugin {
public:
    TDIHtmlCharSetPlugin();
    ~TDIHtmlCharSetPlugin() override;
    std::string ClassName() const override { return "TDIHtmlCharSetPlugin"; }

    // The decoder each document starts with (from the HTTP header); null for ISO-8859-1.
    const TDIReadMethod* DefaultReadMethod() const { return defaultReadMethod_; }
    void SetDefaultReadMethod(const TDIReadMethod* method) { defaultReadMethod_ = method; }

    std::function<void(TDIHtmlCharSetPlugin* sender, const std::u16string& charSet,
                       const TDIReadMethod*& readMethod, bool& allowChange)>
        OnCharSetChange;

    void HandleHtmlTag(bool& show) override;
    void Reset() override;

private:
    TDITagFilters metaFilter_;
    const TDIReadMethod* defaultReadMethod_ = nullptr;
};

// Reports the address of every link of the kinds asked for, and keeps the document's base.
class TDIHtmlLinksPlugin : public TDIHtmlParserPlugin {
public:
    TDIHtmlLinksPlugin();
    ~TDIHtmlLinksPlugin() override;
    std::string ClassName() const override { return "TDIHtmlLinksPlugin"; }

#define PW_LINK_PROPERTY(Name, Id)                                                                           \
    bool Name() const {                                                                                      \
        return links_.HasStartTagFilter(Id);                                                                 \
    }                                                                                                        \
    void Set##Name(bool on) {                                                                                \
        SetLinkKind(Id, on);                                                                                 \
    }
    PW_LINK_PROPERTY(Link_A_href, 1)
    PW_LINK_PROPERTY(Link_APPLET_code, 5)
    PW_LINK_PROPERTY(Link_AREA_href, 6)
    PW_LINK_PROPERTY(BASE_href, 8)
    PW_LINK_PROPERTY(Link_BGSOUND_src, 11)
    PW_LINK_PROPERTY(Link_BODY_background, 14)
    PW_LINK_PROPERTY(Link_FRAME_src, 41)
    PW_LINK_PROPERTY(Link_IFRAME_src, 55)
    PW_LINK_PROPERTY(Link_IMG_src, 56)
    PW_LINK_PROPERTY(Link_INPUT_src, 58)
    PW_LINK_PROPERTY(Link_LINK_href, 65)
    PW_LINK_PROPERTY(Link_OBJECT_data, 71)
    PW_LINK_PROPERTY(Link_SCRIPT_src, 82)
    PW_LINK_PROPERTY(Link_TABLE_background, 92)
    PW_LINK_PROPERTY(Link_TD_background, 94)
    PW_LINK_PROPERTY(Link_TH_background, 97)
#undef PW_LINK_PROPERTY

    const std::u16string& BaseUri() const {
        return baseUri_;
    }
    void SetBaseUri(const std::u16string& uri) {
        baseUri_ = uri;
    }
    TDIWideStringVector* LinkVector() const {
        return vector_;
    }
    void SetLinkVector(TDIWideStringVector* vector);

    using TLinkEvent =
        std::function<void(TDIHtmlLinksPlugin* sender, std::u16string& link, bool& addToVector, bool& show)>;
    const TLinkEvent& OnLink() const {
        return onLink_;
    }
    void SetOnLink(TLinkEvent handler);

    void HandleHtmlTag(bool& show) override;
    void Reset() override;

private:
    void SetLinkKind(uint32_t tagId, bool on);
    void UpdateAttachment();

    TDITagFilters links_;
    std::u16string baseUri_;
    std::u16string link_;
    TDIWideStringVector* vector_ = nullptr;
    TLinkEvent onLink_;
    bool baseSeen_ = false;
};

// Keeps the text of the first TITLE of a document.
class TDIHtmlTitlePlugin : public TDIHtmlParserPlugin {
public:
    // Longer titles are cut: an unterminated TITLE would otherwise carry the rest of the page.
    static constexpr size_t kMaxTitleLength = 512;

    TDIHtmlTitlePlugin();
    std::string ClassName() const override { return "TDIHtmlTitlePlugin"; }
    const std::u16string& Title() const { return title_; }
    std::function<void(TDIHtmlTitlePlugin* sender)> OnTitle;

    void HandleTitle(bool& show) override;
    void Reset() override;

private:
    std::u16string title_;
};

// Whether a space-separated attribute value such as rel holds a token, in any letter case.
bool HasAttributeToken(const std::u16string& value, const std::u16string& token);
