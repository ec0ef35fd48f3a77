#pragma once
// Cuts HTML text into pieces of fourteen kinds and hands each to the parties that asked for it:
// the caller of ParseNextPiece and the attached plugins.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "fetch/html/tag.h"
#include "fetch/html/tag_filters.h"
#include "fetch/html/unicode_reader.h"

class TDIHtmlParserPlugin;

enum class TDIPieceKind : uint8_t {
    None = 0,
    ASP,
    CDataSection,
    Comment,
    CustomTag,
    DTD,
    HtmlPI,
    HtmlTag,
    PHP,
    Script,
    SsiTag,
    Style,
    Text,
    Title,
    XmlPI,
};
inline constexpr size_t kPieceKindCount = 15;

// Tag kinds, for the per-tag-number filters.
enum TDITagKind : uint8_t { tkCustom, tkHtml, tkSsi };

struct TDIPiecePosition {
    uint32_t CharCount = 0, Line = 0, Column = 0;
};

class TDIHtmlParser : public TDIUnicodeReader {
public:
    TDIHtmlParser();
    ~TDIHtmlParser() override;
    std::string ClassName() const override { return "TDIHtmlParser"; }

    bool EnableASP() const { return enableASP_; }
    void SetEnableASP(bool v) { enableASP_ = v; }
    bool EnableCustomTags() const { return enableCustomTags_; }
    void SetEnableCustomTags(bool v) { enableCustomTags_ = v; }
    bool EnablePHP() const { return enablePHP_; }
    void SetEnablePHP(bool v) { enablePHP_ = v; }
    bool EnableSSI() const { return enableSSI_; }
    void SetEnableSSI(bool v) { enableSSI_ = v; }
    bool NormalizeWhiteSpace() const { return normalizeWhiteSpace_; }
    void SetNormalizeWhiteSpace(bool v) { normalizeWhiteSpace_ = v; }
    char16_t CustomTagChar() const { return customTagChar_; }
    void SetCustomTagChar(char16_t c) { customTagChar_ = c; }

    // The caller's own filter of a plain piece kind (not the tag kinds).
    TDIFilter Filter(TDIPieceKind kind) const { return callerFilters_[static_cast<size_t>(kind)]; }
    void SetFilter(TDIPieceKind kind, TDIFilter filter);
#define PW_KIND_FILTER(Name, Kind)                                                                           \
    TDIFilter Name() const {                                                                                 \
        return Filter(TDIPieceKind::Kind);                                                                   \
    }                                                                                                        \
    void Set##Name(TDIFilter filter) {                                                                       \
        SetFilter(TDIPieceKind::Kind, filter);                                                               \
    }
    PW_KIND_FILTER(FilterASPs, ASP)
    PW_KIND_FILTER(FilterCDataSections, CDataSection)
    PW_KIND_FILTER(FilterComments, Comment)
    PW_KIND_FILTER(FilterDTDs, DTD)
    PW_KIND_FILTER(FilterHtmlPIs, HtmlPI)
    PW_KIND_FILTER(FilterPHPs, PHP)
    PW_KIND_FILTER(FilterScripts, Script)
    PW_KIND_FILTER(FilterStyles, Style)
    PW_KIND_FILTER(FilterText, Text)
    PW_KIND_FILTER(FilterTitles, Title)
    PW_KIND_FILTER(FilterXmlPIs, XmlPI)
#undef PW_KIND_FILTER
    TDITagFilter& FilterCustomTags() {
        return *callerTagFilters_[tkCustom];
    }
    TDITagFilter& FilterHtmlTags() {
        return *callerTagFilters_[tkHtml];
    }
    TDITagFilter& FilterSsiTags() {
        return *callerTagFilters_[tkSsi];
    }

    uint32_t PluginCount() const {
        return static_cast<uint32_t>(plugins_.size());
    }

    void Clear();
    bool ParseNextPiece();
    void ParseAll();

    TDIPieceKind PieceKind() const {
        return pieceKind_;
    }
    const TDIPiecePosition& PieceStart() const {
        return pieceStart_;
    }
    TDIHtmlTag& HtmlTag() {
        return htmlTag_;
    }
    TDICustomTag& CustomTag() {
        return customTag_;
    }
    TDISsiTag& SsiTag() {
        return ssiTag_;
    }
    uint32_t PreDepth() const {
        return preDepth_;
    }

private:
    friend class TDIHtmlParserPlugin;

    // Who gets a piece: the caller, and whether any plugin does.
    struct Delivery {
        bool caller = false;
        bool plugins = false;
    };

    void Attach(TDIHtmlParserPlugin* plugin);
    void Detach(TDIHtmlParserPlugin* plugin);
    void Recompute();
    // After a change to the filter of one kind that is no tag kind (a title plugin's, twice a page).
    void RecomputeKind(TDIPieceKind kind);
    Delivery DeliveryFor(TDIPieceKind kind, TDITagKind tagKind, bool endTag, uint32_t tagId) const;
    bool Dispatch(TDIPieceKind kind, TDITagKind tagKind, bool endTag, uint32_t tagId, bool show);

    bool ReadPendingContent();
    // One function per kind of piece that can start with "<".
    bool DeclarationPiece();
    bool CommentPiece();
    bool CDataPiece();
    bool DoctypePiece();
    bool ProcessingInstructionPiece();
    bool EndTagPiece();
    bool StartTagPiece();
    bool CustomTagPiece();
    bool ReadStartTagName(TDITagType& type);
    bool TextPiece();
    bool SimplePiece(TDIPieceKind kind);
    bool TagPiece(TDIPieceKind kind, TDITagKind tagKind, TDITag& tag, TDITagType type, size_t nameStart);
    bool SsiTagPiece(TDITagType type);

    void ReadText(bool collect);
    void ReadScript(bool collect);
    void ReadStyle(bool collect);
    void ReadTitle(bool collect);
    void ReadUntilPair(char16_t last, bool collect);
    void ReadCData(bool collect);
    void ReadComment(bool collect);
    void ReadTagAttributes(TDITag& tag, bool collect);
    void ReadSsiAttributes(TDITag& tag, bool collect);
    bool ReadSsiName(TDITag& tag);
    void CharacterReference(bool collapsed);
    bool StartsPiece();
    bool EndTagAhead(const char16_t* name, size_t length, bool scriptEnd);
    bool DashesAndGreaterAhead(uint32_t offset);
    void Take(bool collect);

    bool enableASP_ = false, enableCustomTags_ = false, enablePHP_ = false, enableSSI_ = false;
    bool normalizeWhiteSpace_ = false;
    char16_t customTagChar_ = u'#';
    TDIPiecePosition pieceStart_;
    TDIHtmlTag htmlTag_;
    TDICustomTag customTag_;
    TDISsiTag ssiTag_;
    TDIPieceKind pieceKind_ = TDIPieceKind::None;
    TDIPieceKind pendingContent_ = TDIPieceKind::None;
    uint32_t preDepth_ = 0;
    bool callerMasked_ = false;
    // The name of the attribute being read while its value takes the text; kept for its room.
    std::u16string attributeName_;

    std::array<TDIFilter, kPieceKindCount> callerFilters_{};
    std::array<std::unique_ptr<TDITagFilter>, 3> callerTagFilters_;
    // Precomputed on every change of filters or plugins: [kind][0 start or plain, 1 end].
    std::array<std::array<Delivery, 2>, kPieceKindCount> kindDelivery_{};
    // Per tag kind, per tag number listed by some enabled plugin.
    std::array<std::vector<std::array<Delivery, 2>>, 3> idDelivery_;
    std::array<std::vector<bool>, 3> idListed_;

    std::vector<TDIHtmlParserPlugin*> plugins_;
};

// Asked once a piece: inline where the pieces are read.
inline TDIHtmlParser::Delivery TDIHtmlParser::DeliveryFor(TDIPieceKind kind, TDITagKind tagKind, bool endTag,
                                                          uint32_t tagId) const {
    const bool tag =
        kind == TDIPieceKind::CustomTag || kind == TDIPieceKind::HtmlTag || kind == TDIPieceKind::SsiTag;
    const size_t side = endTag ? 1 : 0;
    Delivery d = tag && tagId < idListed_[tagKind].size() && idListed_[tagKind][tagId]
                     ? idDelivery_[tagKind][tagId][side]
                     : kindDelivery_[static_cast<size_t>(kind)][side];
    if (callerMasked_) d.caller = false;
    return d;
}
