#include "fetch/html/tag_filters.h"

#include <algorithm>

void TDITagFilter::SetStartTags(TDIFilter f) {
    if (f == startTags_) return;
    startTags_ = f;
    if (OnChange) OnChange();
}

void TDITagFilter::SetEndTags(TDIFilter f) {
    if (f == endTags_) return;
    endTags_ = f;
    if (OnChange) OnChange();
}

void TDITagFilter::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TDITagFilter*>(source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    startTags_ = other->startTags_;
    endTags_ = other->endTags_;
    if (OnChange) OnChange();
}

TDITagFilters::~TDITagFilters() {
    // Listeners detach themselves while being told, so walk a copy.
    std::vector<Listener> listeners = listeners_;
    for (const Listener& l : listeners)
        l.listener->TagFiltersDestroying(this);
}

void TDITagFilters::SetStartTagFilter(uint32_t tagId, TDIFilter filter) {
    if (tagId == 0) return;
    entries_[tagId] = filter;
    Notify(tagId);
}

void TDITagFilters::RemoveTag(uint32_t tagId) {
    if (tagId == 0) return;
    entries_.erase(tagId);
    Notify(tagId);
}

TDIFilter TDITagFilters::StartTagFilter(uint32_t tagId) const {
    auto it = entries_.find(tagId);
    return it == entries_.end() ? fiHide : it->second;
}

void TDITagFilters::AddListener(TDITagFiltersListener* listener) {
    for (Listener& l : listeners_)
        if (l.listener == listener) {
            ++l.count;
            return;
        }
    listeners_.push_back({listener, 1});
}

void TDITagFilters::RemoveListener(TDITagFiltersListener* listener) {
    for (auto it = listeners_.begin(); it != listeners_.end(); ++it)
        if (it->listener == listener) {
            if (--it->count == 0) listeners_.erase(it);
            return;
        }
}

void TDITagFilters::Notify(uint32_t tagId) {
    std::vector<Listener> listeners = listeners_;
    for (const Listener& l : listeners)
        l.listener->TagFilterChanged(this, tagId);
}
