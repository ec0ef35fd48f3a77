#include "platform/rtl/list.h"

#include "platform/rtl/exception.h"
#include "platform/rtl/format.h"
#include "platform/rtl/merge_sort.h"

#include <algorithm>

TList::~TList() {
    // Descendants are already gone here, so no notification could reach them.
    items_.clear();
}

void RaiseListIndexError(int index) {
    throw EListError(Format(rtl_text::ListIndexError, index));
}

void TList::IndexError(int index) {
    RaiseListIndexError(index);
}

void TList::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) IndexError(index);
}

void TList::SetCount(int count) {
    if (count < 0) IndexError(count);
    while (Count() > count)
        Delete(Count() - 1);
    items_.resize(static_cast<size_t>(count), nullptr);
}

void TList::SetCapacity(int capacity) {
    if (capacity < Count()) IndexError(capacity);
    items_.reserve(static_cast<size_t>(capacity));
}

void* TList::Items(int index) const {
    CheckIndex(index);
    return items_[static_cast<size_t>(index)];
}

void TList::SetItems(int index, void* item) {
    CheckIndex(index);
    void*& slot = items_[static_cast<size_t>(index)];
    if (slot == item) return;
    void* old = slot;
    slot = item;
    if (old != nullptr) Notify(old, lnDeleted);
    if (item != nullptr) Notify(item, lnAdded);
}

int TList::Add(void* item) {
    items_.push_back(item);
    if (item != nullptr) Notify(item, lnAdded);
    return Count() - 1;
}

void TList::Insert(int index, void* item) {
    if (index < 0 || index > Count()) IndexError(index);
    items_.insert(items_.begin() + index, item);
    if (item != nullptr) Notify(item, lnAdded);
}

void TList::Delete(int index) {
    CheckIndex(index);
    void* item = items_[static_cast<size_t>(index)];
    items_.erase(items_.begin() + index);
    if (item != nullptr) Notify(item, lnDeleted);
}

int TList::Remove(void* item) {
    const int index = IndexOf(item);
    if (index >= 0) Delete(index);
    return index;
}

void* TList::Extract(void* item) {
    const int index = IndexOf(item);
    if (index < 0) return nullptr;
    void* found = items_[static_cast<size_t>(index)];
    items_.erase(items_.begin() + index);
    Notify(found, lnExtracted);
    return found;
}

int TList::IndexOf(void* item) const {
    const auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TList::Clear() {
    // Notify from a copy: a handler that frees the item may look at the list.
    std::vector<void*> old;
    old.swap(items_);
    for (void* item : old)
        if (item != nullptr) Notify(item, lnDeleted);
}

void TList::Exchange(int index1, int index2) {
    CheckIndex(index1);
    CheckIndex(index2);
    std::swap(items_[static_cast<size_t>(index1)], items_[static_cast<size_t>(index2)]);
}

void TList::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    void* item = items_[static_cast<size_t>(curIndex)];
    items_.erase(items_.begin() + curIndex);
    items_.insert(items_.begin() + newIndex, item);
}

void TList::Pack() {
    items_.erase(std::remove(items_.begin(), items_.end(), nullptr), items_.end());
}

void TList::Sort(const TListSortCompare& compare) {
    rtl_detail::MergeSort(items_, [&](void* a, void* b) { return compare(a, b) < 0; });
}

void TList::Notify(void*, TListNotification) {}
