#pragma once
// The strings of a list box or combo box with their data and selection marks, and the searches the
// Win32 messages ask for.
#include <string>
#include <vector>

#include "platform/gui/window_defs.h"

namespace pw::commctrl {

struct ListItem {
    std::string text;
    LPARAM data = 0;
    bool selected = false;
};

class ItemList {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    bool Valid(int index) const { return index >= 0 && index < Count(); }
    ListItem& At(int index) { return items_[static_cast<size_t>(index)]; }
    const ListItem& At(int index) const { return items_[static_cast<size_t>(index)]; }
    // -1 (or past the end) appends; returns the index used.
    int Insert(int index, std::string text);
    // Where a sorted list puts the text (case-insensitive, after equal ones).
    int SortedIndex(const std::string& text) const;
    void Erase(int index) { items_.erase(items_.begin() + index); }
    void Clear() { items_.clear(); }
    // Searches after `start` (-1: from the top), wrapping around; prefix or whole text, any case. -1 when
    // nothing matches.
    int Find(int start, const std::string& text, bool exact) const;

private:
    std::vector<ListItem> items_;
};

} // namespace pw::commctrl
