#include "fetch/html/parser_plugin.h"

TDIHtmlParserPlugin::TDIHtmlParserPlugin() {
    for (auto& f : tagFilters_) {
        f = std::make_unique<TDITagFilter>();
        f->OnChange = [this] { FiltersChanged(); };
    }
}

TDIHtmlParserPlugin::~TDIHtmlParserPlugin() {
    SetHtmlParser(nullptr);
    for (TDITagFilters* list : tagLists_)
        if (list) list->RemoveListener(this);
}

void TDIHtmlParserPlugin::FiltersChanged() {
    if (parser_) parser_->Recompute();
}

void TDIHtmlParserPlugin::SetHtmlParser(TDIHtmlParser* parser) {
    if (parser == parser_) return;
    if (parser_) parser_->Detach(this);
    if (parser) parser->Attach(this);
}

void TDIHtmlParserPlugin::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    FiltersChanged();
}

void TDIHtmlParserPlugin::SetFilter(TDIPieceKind kind, TDIFilter filter) {
    auto& slot = filters_[static_cast<size_t>(kind)];
    if (slot == filter) return;
    slot = filter;
    if (parser_) parser_->RecomputeKind(kind);
}

void TDIHtmlParserPlugin::SetTagFilters(TDITagKind kind, TDITagFilters* list) {
    if (tagLists_[kind] == list) return;
    if (tagLists_[kind]) tagLists_[kind]->RemoveListener(this);
    tagLists_[kind] = list;
    if (list) list->AddListener(this);
    FiltersChanged();
}

void TDIHtmlParserPlugin::TagFiltersDestroying(TDITagFilters* list) {
    for (auto& l : tagLists_)
        if (l == list) {
            list->RemoveListener(this);
            l = nullptr;
        }
    FiltersChanged();
}

void TDIHtmlParserPlugin::TagFilterChanged(TDITagFilters*, uint32_t) {
    FiltersChanged();
}

void TDIHtmlParserPlugin::Handle(TDIPieceKind kind, bool& show) {
    switch (kind) {
    case TDIPieceKind::ASP:
        HandleASP(show);
        break;
    case TDIPieceKind::CDataSection:
        HandleCDataSection(show);
        break;
    case TDIPieceKind::Comment:
        HandleComment(show);
        break;
    case TDIPieceKind::CustomTag:
        HandleCustomTag(show);
        break;
    case TDIPieceKind::DTD:
        HandleDTD(show);
        break;
    case TDIPieceKind::HtmlPI:
        HandleHtmlPI(show);
        break;
    case TDIPieceKind::HtmlTag:
        HandleHtmlTag(show);
        break;
    case TDIPieceKind::PHP:
        HandlePHP(show);
        break;
    case TDIPieceKind::Script:
        HandleScript(show);
        break;
    case TDIPieceKind::SsiTag:
        HandleSsiTag(show);
        break;
    case TDIPieceKind::Style:
        HandleStyle(show);
        break;
    case TDIPieceKind::Text:
        HandleText(show);
        break;
    case TDIPieceKind::Title:
        HandleTitle(show);
        break;
    case TDIPieceKind::XmlPI:
        HandleXmlPI(show);
        break;
    case TDIPieceKind::None:
        break;
    }
}
