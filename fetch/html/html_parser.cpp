#include "fetch/html/html_parser.h"

#include <algorithm>

#include "fetch/html/container.h"
#include "fetch/html/parser_plugin.h"
#include "platform/rtl/scope_guard.h"

namespace {

constexpr uint32_t kMaxTagId = 255;

bool Receives(TDIFilter f, bool shown) {
    switch (f) {
    case fiHide:
        return false;
    case fiShowHidden:
        return !shown;
    case fiShowShown:
        return shown;
    case fiShowLocal:
    case fiShow:
        return true;
    }
    return false;
}

bool IsTagKind(TDIPieceKind kind) {
    return kind == TDIPieceKind::CustomTag || kind == TDIPieceKind::HtmlTag || kind == TDIPieceKind::SsiTag;
}

TDITagKind TagKindOf(TDIPieceKind kind) {
    return kind == TDIPieceKind::CustomTag ? tkCustom : kind == TDIPieceKind::SsiTag ? tkSsi : tkHtml;
}

} // namespace

TDIHtmlParser::TDIHtmlParser() {
    for (auto& f : callerTagFilters_) {
        f = std::make_unique<TDITagFilter>();
        f->OnChange = [this] { Recompute(); };
    }
    Recompute();
}

TDIHtmlParser::~TDIHtmlParser() {
    std::vector<TDIHtmlParserPlugin*> plugins = plugins_;
    for (TDIHtmlParserPlugin* p : plugins)
        p->SetHtmlParser(nullptr);
}

void TDIHtmlParser::SetFilter(TDIPieceKind kind, TDIFilter filter) {
    auto& slot = callerFilters_[static_cast<size_t>(kind)];
    if (slot == filter) return;
    slot = filter;
    Recompute();
}

void TDIHtmlParser::Attach(TDIHtmlParserPlugin* plugin) {
    if (plugin->parser_) plugin->parser_->Detach(plugin);
    plugins_.push_back(plugin);
    plugin->parser_ = this;
    plugin->Reset();
    Recompute();
}

void TDIHtmlParser::Detach(TDIHtmlParserPlugin* plugin) {
    if (plugin->parser_ != this)
        throw EDIContainerError(DIErrorText(plugin->ClassName(), di_text::PluginNotOwned));
    plugins_.erase(std::find(plugins_.begin(), plugins_.end(), plugin));
    plugin->parser_ = nullptr;
    for (auto& ids : plugin->idReceives_)
        ids.clear();
    Recompute();
}

void TDIHtmlParser::Recompute() {
    std::vector<TDIHtmlParserPlugin*> enabled;
    for (TDIHtmlParserPlugin* p : plugins_)
        if (p->enabled_) enabled.push_back(p);

    auto combine = [&](TDIFilter caller, auto pluginFilter, std::array<Delivery, 2>& out, int side,
                       auto setPluginReceive) {
        bool shown = caller == fiShow;
        for (TDIHtmlParserPlugin* p : enabled)
            shown = shown || pluginFilter(p) == fiShow;
        Delivery d;
        d.caller = Receives(caller, shown);
        for (TDIHtmlParserPlugin* p : enabled) {
            bool r = Receives(pluginFilter(p), shown);
            setPluginReceive(p, r);
            d.plugins = d.plugins || r;
        }
        out[side] = d;
    };

    for (TDIHtmlParserPlugin* p : plugins_)
        for (auto& r : p->receives_)
            r = {false, false};

    for (size_t k = 1; k < kPieceKindCount; ++k) {
        auto kind = static_cast<TDIPieceKind>(k);
        if (IsTagKind(kind)) {
            TDITagKind tk = TagKindOf(kind);
            combine(
                callerTagFilters_[tk]->StartTags(),
                [&](TDIHtmlParserPlugin* p) { return p->tagFilters_[tk]->StartTags(); }, kindDelivery_[k], 0,
                [&](TDIHtmlParserPlugin* p, bool r) { p->receives_[k][0] = r; });
            combine(
                callerTagFilters_[tk]->EndTags(),
                [&](TDIHtmlParserPlugin* p) { return p->tagFilters_[tk]->EndTags(); }, kindDelivery_[k], 1,
                [&](TDIHtmlParserPlugin* p, bool r) { p->receives_[k][1] = r; });
        } else {
            combine(
                callerFilters_[k], [&](TDIHtmlParserPlugin* p) { return p->filters_[k]; }, kindDelivery_[k],
                0, [&](TDIHtmlParserPlugin* p, bool r) { p->receives_[k][0] = r; });
        }
    }

    // Per tag number: a party without its own setting for the number uses its kind filter.
    for (int tk = 0; tk < 3; ++tk) {
        // Numbers beyond the name table never come out of a lookup, so they need no entry.
        uint32_t maxId = 0;
        for (TDIHtmlParserPlugin* p : enabled)
            if (p->tagLists_[tk])
                for (const auto& entry : p->tagLists_[tk]->Entries())
                    if (entry.first <= kMaxTagId) maxId = std::max(maxId, entry.first);
        idListed_[tk].assign(maxId + 1, false);
        idDelivery_[tk].assign(maxId + 1, {});
        for (TDIHtmlParserPlugin* p : plugins_)
            p->idReceives_[tk].assign(p->enabled_ ? maxId + 1 : 0, {false, false});
        for (TDIHtmlParserPlugin* p : enabled)
            if (p->tagLists_[tk])
                for (const auto& entry : p->tagLists_[tk]->Entries())
                    if (entry.first <= maxId) idListed_[tk][entry.first] = true;
        for (uint32_t id = 1; id <= maxId; ++id) {
            if (!idListed_[tk][id]) continue;
            auto own = [&](TDIHtmlParserPlugin* p, bool end) -> TDIFilter {
                TDITagFilters* list = p->tagLists_[tk];
                if (list && list->HasStartTagFilter(id)) return end ? fiHide : list->StartTagFilter(id);
                return end ? p->tagFilters_[tk]->EndTags() : p->tagFilters_[tk]->StartTags();
            };
            combine(
                callerTagFilters_[tk]->StartTags(), [&](TDIHtmlParserPlugin* p) { return own(p, false); },
                idDelivery_[tk][id], 0,
                [&](TDIHtmlParserPlugin* p, bool r) { p->idReceives_[tk][id][0] = r; });
            combine(
                callerTagFilters_[tk]->EndTags(), [&](TDIHtmlParserPlugin* p) { return own(p, true); },
                idDelivery_[tk][id], 1,
                [&](TDIHtmlParserPlugin* p, bool r) { p->idReceives_[tk][id][1] = r; });
        }
    }
}

void TDIHtmlParser::RecomputeKind(TDIPieceKind kind) {
    const auto k = static_cast<size_t>(kind);
    if (k == 0 || IsTagKind(kind)) {
        Recompute();
        return;
    }
    // As Recompute does it for this kind alone.
    bool shown = callerFilters_[k] == fiShow;
    for (TDIHtmlParserPlugin* p : plugins_) {
        p->receives_[k] = {false, false};
        if (p->enabled_) shown = shown || p->filters_[k] == fiShow;
    }
    Delivery d;
    d.caller = Receives(callerFilters_[k], shown);
    for (TDIHtmlParserPlugin* p : plugins_) {
        if (!p->enabled_) continue;
        const bool r = Receives(p->filters_[k], shown);
        p->receives_[k][0] = r;
        d.plugins = d.plugins || r;
    }
    kindDelivery_[k][0] = d;
}

bool TDIHtmlParser::Dispatch(TDIPieceKind kind, TDITagKind tagKind, bool endTag, uint32_t tagId, bool show) {
    pieceKind_ = kind;
    const int side = endTag ? 1 : 0;
    const bool tag = IsTagKind(kind);
    const bool perId = tag && tagId < idListed_[tagKind].size() && idListed_[tagKind][tagId];
    // A handler may attach or detach plugins; walk the list as it was, without allocating for
    // the usual handful.
    TDIHtmlParserPlugin* few[16];
    std::vector<TDIHtmlParserPlugin*> many;
    TDIHtmlParserPlugin** list = few;
    const size_t count = plugins_.size();
    if (count <= 16) {
        std::copy(plugins_.begin(), plugins_.end(), few);
    } else {
        many = plugins_;
        list = many.data();
    }
    for (size_t i = 0; i < count; ++i) {
        TDIHtmlParserPlugin* p = list[i];
        // Compared by value only: an earlier handler may have detached and freed it.
        if (std::find(plugins_.begin(), plugins_.end(), p) == plugins_.end() || !p->enabled_) continue;
        bool receives = perId
                            ? (tagId < p->idReceives_[tagKind].size() && p->idReceives_[tagKind][tagId][side])
                            : p->receives_[static_cast<size_t>(kind)][side];
        if (receives) p->Handle(kind, show);
    }
    return show;
}

void TDIHtmlParser::Clear() {
    SetTextLength(0);
    htmlTag_.Clear();
    customTag_.Clear();
    ssiTag_.Clear();
    pieceKind_ = TDIPieceKind::None;
    pendingContent_ = TDIPieceKind::None;
    preDepth_ = 0;
    std::vector<TDIHtmlParserPlugin*> plugins = plugins_;
    for (TDIHtmlParserPlugin* p : plugins)
        p->Reset();
}

void TDIHtmlParser::ParseAll() {
    TemporaryChange<bool> masked(callerMasked_, true);
    // ParseNextPiece answers whether the caller is shown the piece, which it never is here.
    do {
        ParseNextPiece();
    } while (HasChar());
}
