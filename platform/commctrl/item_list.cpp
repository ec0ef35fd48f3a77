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

LRESULT ItemList::AddString(bool sorted, LPARAM text) {
    std::string s = text ? reinterpret_cast<const char*>(text) : "";
    const int index = sorted ? SortedIndex(s) : -1;
    return Insert(index, std::move(s));
}

LRESULT ItemList::InsertString(WPARAM index, LPARAM text) {
    const int i = static_cast<int>(static_cast<intptr_t>(index));
    if (i > Count()) return -1;
    return Insert(i, text ? reinterpret_cast<const char*>(text) : "");
}

LRESULT ItemList::GetText(WPARAM index, LPARAM out) const {
    const int i = static_cast<int>(index);
    if (!Valid(i)) return -1;
    const std::string& t = At(i).text;
    if (char* p = reinterpret_cast<char*>(out)) {
        t.copy(p, t.size());
        p[t.size()] = 0;
    }
    return static_cast<LRESULT>(t.size());
}

LRESULT ItemList::GetTextLen(WPARAM index) const {
    const int i = static_cast<int>(index);
    return Valid(i) ? static_cast<LRESULT>(At(i).text.size()) : -1;
}

LRESULT ItemList::GetData(WPARAM index) const {
    const int i = static_cast<int>(index);
    return Valid(i) ? At(i).data : -1;
}

LRESULT ItemList::SetData(WPARAM index, LPARAM data) {
    const int i = static_cast<int>(index);
    if (!Valid(i)) return -1;
    At(i).data = data;
    return 0;
}

LRESULT ItemList::FindString(WPARAM start, LPARAM text, bool exact) const {
    return Find(static_cast<int>(static_cast<intptr_t>(start)),
                text ? reinterpret_cast<const char*>(text) : "", exact);
}

} // namespace pw::commctrl
