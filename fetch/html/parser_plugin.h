#pragma once
// A party that attaches to one parser, states the pieces it wants, and receives them.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "fetch/html/html_parser.h"
#include "fetch/html/tag_filters.h"

class TDIHtmlParserPlugin : public TObject, public TDITagFiltersListener {
public:
    TDIHtmlParserPlugin();
    ~TDIHtmlParserPlugin() override;
    std::string ClassName() const override { return "TDIHtmlParserPlugin"; }

    TDIHtmlParser* HtmlParser() const { return parser_; }
    void SetHtmlParser(TDIHtmlParser* parser);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    TDIFilter Filter(TDIPieceKind kind) const { return filters_[static_cast<size_t>(kind)]; }
    void SetFilter(TDIPieceKind kind, TDIFilter filter);
    TDITagFilter& FilterCustomTags() { return *tagFilters_[tkCustom]; }
    TDITagFilter& FilterHtmlTags() { return *tagFilters_[tkHtml]; }
    TDITagFilter& FilterSsiTags() { return *tagFilters_[tkSsi]; }
    // The per-tag-number filters of a tag kind (not owned; null for none).
    TDITagFilters* TagFilters(TDITagKind kind) const { return tagLists_[kind]; }
    void SetTagFilters(TDITagKind kind, TDITagFilters* list);

    virtual void HandleASP(bool& /*show*/) {}
    virtual void HandleCDataSection(bool& /*show*/) {}
    virtual void HandleComment(bool& /*show*/) {}
    virtual void HandleDTD(bool& /*show*/) {}
    virtual void HandleCustomTag(bool& /*show*/) {}
    virtual void HandlePHP(bool& /*show*/) {}
    virtual void HandleHtmlPI(bool& /*show*/) {}
    virtual void HandleScript(bool& /*show*/) {}
    virtual void HandleSsiTag(bool& /*show*/) {}
    virtual void HandleStyle(bool& /*show*/) {}
    virtual void HandleHtmlTag(bool& /*show*/) {}
    virtual void HandleText(bool& /*show*/) {}
    virtual void HandleTitle(bool& /*show*/) {}
    virtual void HandleXmlPI(bool& /*show*/) {}
    virtual void Reset() {}

    void TagFiltersDestroying(TDITagFilters* list) override;
    void TagFilterChanged(TDITagFilters* list, uint32_t tagId) override;

private:
    friend class TDIHtmlParser;
    void Handle(TDIPieceKind kind, bool& show);
    void FiltersChanged();

    TDIHtmlParser* parser_ = nullptr;
    bool enabled_ = true;
    std::array<TDIFilter, kPieceKindCount> filters_{};
    std::array<std::unique_ptr<TDITagFilter>, 3> tagFilters_;
    std::array<TDITagFilters*, 3> tagLists_{};
    // Set by the parser's recomputation: [kind][0 start or plain, 1 end].
    std::array<std::array<bool, 2>, kPieceKindCount> receives_{};
    std::array<std::vector<std::array<bool, 2>>, 3> idReceives_;
};
