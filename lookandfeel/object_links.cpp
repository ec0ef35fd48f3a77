#include "lookandfeel/object_links.h"

#include <unordered_map>

namespace {

using LinkTable = std::unordered_multimap<const void*, TcxObjectLink*>;

// Lives for the whole run: objects freed during static destruction still clear their links.
LinkTable& Links() {
    static auto* table = new LinkTable;
    return *table;
}

} // namespace

TcxObjectLink* AddObjectLink(void* Object) {
    auto* link = new TcxObjectLink;
    link->Ref = Object;
    if (Object != nullptr) Links().emplace(Object, link);
    return link;
}

void RemoveObjectLink(TcxObjectLink* Link) {
    if (Link == nullptr) return;
    if (Link->Ref != nullptr) {
        auto [first, last] = Links().equal_range(Link->Ref);
        for (auto it = first; it != last; ++it)
            if (it->second == Link) {
                Links().erase(it);
                break;
            }
    }
    delete Link;
}

void ClearObjectLinks(void* Object) {
    auto [first, last] = Links().equal_range(Object);
    for (auto it = first; it != last; ++it)
        it->second->Ref = nullptr;
    Links().erase(first, last);
}
