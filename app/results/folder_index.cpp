#include "app/results/folder_index.h"

#include <algorithm>
#include <utility>

namespace results {

void FolderIndex::Add(TTreeNode* Node, std::string_view Key) {
    auto [it, added] = map_.try_emplace(Key);
    if (added) {
        it->second.first = Node;
        return;
    }
    if (!it->second.more) it->second.more = std::make_unique<Later>();
    it->second.more->emplace_back(Node, Key);
}

TTreeNode* FolderIndex::First(std::string_view Key) const {
    auto it = map_.find(Key);
    return it == map_.end() ? nullptr : it->second.first;
}

std::vector<TTreeNode*> FolderIndex::All() const {
    std::vector<TTreeNode*> nodes;
    nodes.reserve(map_.size());
    for (const auto& [key, entry] : map_) {
        nodes.push_back(entry.first);
        if (entry.more)
            for (const auto& later : *entry.more)
                nodes.push_back(later.first);
    }
    return nodes;
}

void FolderIndex::Remove(TTreeNode* Node, std::string_view Key) {
    auto it = map_.find(Key);
    if (it == map_.end()) return;
    Entry& entry = it->second;
    if (entry.first != Node) {
        if (entry.more) std::erase_if(*entry.more, [Node](const auto& later) { return later.first == Node; });
        return;
    }
    if (!entry.more || entry.more->empty()) {
        map_.erase(it);
        return;
    }
    // The next node takes the first place, and the key becomes its record's text: the text the key
    // viewed goes with the removed node.
    auto handle = map_.extract(it);
    Entry& moved = handle.mapped();
    const auto [next, key] = moved.more->front();
    moved.more->erase(moved.more->begin());
    moved.first = next;
    handle.key() = key;
    map_.insert(std::move(handle));
}

} // namespace results
