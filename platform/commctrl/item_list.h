#pragma once
// The strings of a list box or combo box with their data and selection marks, and the searches the
// Win32 messages ask for.
#include <optional>
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
    void Erase(int index) { items_.erase(items_.begin() + index); }
    void Clear() { items_.clear(); }
    // Searches after `start` (-1: from the top), wrapping around; prefix or whole text, any case. -1 when
    // nothing matches.
    int Find(int start, const std::string& text, bool exact) const;

    // Both return the index the string went in at; Insert's index is at most Count().
    int Add(bool sorted, std::string text);
    int Insert(int index, std::string text);

    // The item messages a list box and a combo box answer alike (their _ERR codes are -1, _OKAY 0).
    // Copies the text with its terminating zero into `out` (when given); returns the length.
    LRESULT GetText(std::optional<int> item, char* out) const;
    LRESULT GetTextLen(std::optional<int> item) const;
    LRESULT GetData(std::optional<int> item) const;
    LRESULT SetData(std::optional<int> item, LPARAM data);

private:
    // Where a sorted list puts the text (case-insensitive, after equal ones).
    int SortedIndex(const std::string& text) const;

    std::vector<ListItem> items_;
};

} // namespace pw::commctrl
