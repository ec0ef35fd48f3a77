#pragma once
// A set of addresses in one flat table, each numbered in the order it came. The crawl asks it about
// every link of every page, and most of those are known already: a look-up reads one slot array and,
// on a hit, the one text it compares, which lie together with the other texts instead of in nodes
// scattered over the heap.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TAddressIndex {
public:
    // The entry's number (0 for the first inserted, and so on), or -1.
    int Find(std::string_view Address) const;
    // Adds the address unless it is there; its number either way.
    int Insert(std::string_view Address);
    int Count() const { return static_cast<int>(starts_.size()) - 1; }
    std::string_view Entry(int Number) const;
    void Clear();

private:
    // A slot holds the entry's number plus one (0: empty) and the hash's upper half, compared first.
    struct Slot {
        uint32_t tag = 0;
        uint32_t entry = 0;
    };
    // The slot that holds the address, or the empty one where it would go.
    size_t SlotOf(std::string_view Address, uint64_t Hash) const;
    void Grow();

    std::vector<Slot> slots_;
    // All entries' texts one after another: entry i is text_[starts_[i], starts_[i + 1]).
    std::string text_;
    std::vector<uint32_t> starts_{0};
};
