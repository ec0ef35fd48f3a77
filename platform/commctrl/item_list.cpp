#include "platform/commctrl/item_list.h"

#include "platform/rtl/strings.h"

namespace pw::commctrl {

int ItemList::Insert(int index, std::string text) {
    items_.insert(items_.begin() + index, ListItem{std::move(text), 0, false});
    return index;
}

int ItemList::SortedIndex(const std::string& text) const {
    int lo = 0, hi = Count();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (CompareText(At(mid).text, text) <= 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

int ItemList::Find(int start, const std::string& text, bool exact) const {
    const int n = Count();
    if (n == 0) return -1;
    if (start < -1 || start >= n) start = -1;
    for (int k = 1; k <= n; ++k) {
        const int i = (start + k) % n;
        const std::string& t = At(i).text;
        if (exact ? SameText(t, text) : (t.size() >= text.size() && SameText(t.substr(0, text.size()), text)))
            return i;
    }
    return -1;
}

int ItemList::Add(bool sorted, std::string text) {
    const int index = sorted ? SortedIndex(text) : Count();
    return Insert(index, std::move(text));
}

LRESULT ItemList::GetText(std::optional<int> item, char* out) const {
    if (!item) return -1;
    const std::string& t = At(*item).text;
    if (out) {
        t.copy(out, t.size());
        out[t.size()] = 0;
    }
    return static_cast<LRESULT>(t.size());
}

LRESULT ItemList::GetTextLen(std::optional<int> item) const {
    return item ? static_cast<LRESULT>(At(*item).text.size()) : -1;
}

LRESULT ItemList::GetData(std::optional<int> item) const {
    return item ? At(*item).data : -1;
}

LRESULT ItemList::SetData(std::optional<int> item, LPARAM data) {
    if (!item) return -1;
    At(*item).data = data;
    return 0;
}

} // namespace pw::commctrl
