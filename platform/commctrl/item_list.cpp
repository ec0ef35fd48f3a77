#include "platform/commctrl/item_list.h"

#include "platform/rtl/strings.h"

namespace pw::commctrl {

int ItemList::Insert(int index, std::string text) {
    if (index < 0 || index > Count()) index = Count();
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

} // namespace pw::commctrl
