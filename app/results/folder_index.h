#pragma once
// Folder nodes of the result tree found by their folder key, each key's nodes in the order they were
// made. The keys are the folder records' own Folder texts rather than copies: a crawl that finds a
// million folders keeps each address once more in the records, not twice more.
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

class TTreeNode;

namespace results {

class FolderIndex {
public:
    // Key is the Folder of the node's record, which stays as it is until the node is removed.
    void Add(TTreeNode* Node, std::string_view Key);
    // The first node made with the key that is still there; null when none.
    TTreeNode* First(std::string_view Key) const;
    // The first node made with the key for which Take answers true; null when none.
    template <class Take> TTreeNode* Find(std::string_view Key, Take&& take) const {
        auto it = map_.find(Key);
        if (it == map_.end()) return nullptr;
        if (take(it->second.first)) return it->second.first;
        if (it->second.more)
            for (const auto& later : *it->second.more)
                if (take(later.first)) return later.first;
        return nullptr;
    }
    // Every node indexed, in no particular order.
    std::vector<TTreeNode*> All() const;
    // Takes the node out; Key is its record's Folder.
    void Remove(TTreeNode* Node, std::string_view Key);
    void Clear() { map_.clear(); }

private:
    using Later = std::vector<std::pair<TTreeNode*, std::string_view>>;
    struct Entry {
        TTreeNode* first = nullptr;
        // Nodes of the same key made later, with their records' Folder texts; rare (the same folder
        // under two parents), so an entry without them holds no more than a pointer.
        std::unique_ptr<Later> more;
    };
    std::unordered_map<std::string_view, Entry> map_;
};

} // namespace results
