#pragma once
// Which pieces a party receives: one filter per piece kind, per tag kind and per tag number.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/rtl/persistent.h"

enum TDIFilter : uint8_t { fiHide, fiShowHidden, fiShowShown, fiShowLocal, fiShow };

class TDITagFilter : public TPersistent {
public:
    std::string ClassName() const override { return "TDITagFilter"; }
    TDIFilter StartTags() const { return startTags_; }
    TDIFilter EndTags() const { return endTags_; }
    void SetStartTags(TDIFilter f);
    void SetEndTags(TDIFilter f);
    void Assign(TPersistent* source) override;

    // Called after either value changes.
    std::function<void()> OnChange;

private:
    TDIFilter startTags_ = fiHide;
    TDIFilter endTags_ = fiHide;
};

class TDITagFilters;

class TDITagFiltersListener {
public:
    virtual ~TDITagFiltersListener() = default;
    virtual void TagFiltersDestroying(TDITagFilters* list) = 0;
    virtual void TagFilterChanged(TDITagFilters* list, uint32_t tagId) = 0;
};

// Start-tag filters by tag number, with counted listeners told of every change.
class TDITagFilters : public TObject {
public:
    ~TDITagFilters() override;
    std::string ClassName() const override { return "TDITagFilters"; }

    void SetStartTagFilter(uint32_t tagId, TDIFilter filter);
    void RemoveTag(uint32_t tagId);
    bool HasStartTagFilter(uint32_t tagId) const { return entries_.count(tagId) != 0; }
    TDIFilter StartTagFilter(uint32_t tagId) const;
    const std::map<uint32_t, TDIFilter>& Entries() const { return entries_; }

    void AddListener(TDITagFiltersListener* listener);
    void RemoveListener(TDITagFiltersListener* listener);

private:
    void Notify(uint32_t tagId);

    std::map<uint32_t, TDIFilter> entries_;
    struct Listener {
        TDITagFiltersListener* listener;
        int count;
    };
    std::vector<Listener> listeners_;
};
