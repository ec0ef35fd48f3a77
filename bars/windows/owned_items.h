#pragma once
// Items a popup of the toolbar library makes for itself, and owns, for the time it is open.
#include <memory>
#include <vector>

class TdxBarItem;
class TdxBarManager;

template <class T> T* AddOwnedItem(std::vector<std::unique_ptr<TdxBarItem>>& Items, TdxBarManager* Manager) {
    auto item = std::make_unique<T>(nullptr);
    item->SetBarManager(Manager);
    T* result = item.get();
    Items.push_back(std::move(item));
    return result;
}
