#include "app/crawl/address_index.h"

#include <functional>

namespace {

constexpr size_t kFirstSlots = 1024;

uint64_t HashOf(std::string_view s) {
    return std::hash<std::string_view>{}(s);
}

uint32_t TagOf(uint64_t hash) {
    return static_cast<uint32_t>(hash >> 32);
}

} // namespace

std::string_view TAddressIndex::Entry(int Number) const {
    return std::string_view(text_).substr(starts_[Number], starts_[Number + 1] - starts_[Number]);
}

size_t TAddressIndex::SlotOf(std::string_view Address, uint64_t Hash) const {
    // Linear probing over a table at most half full: the run of slots to read is short.
    const size_t mask = slots_.size() - 1;
    const uint32_t tag = TagOf(Hash);
    for (size_t i = static_cast<size_t>(Hash) & mask;; i = (i + 1) & mask) {
        const Slot& s = slots_[i];
        if (s.entry == 0) return i;
        if (s.tag == tag && Entry(static_cast<int>(s.entry - 1)) == Address) return i;
    }
}

int TAddressIndex::Find(std::string_view Address) const {
    if (slots_.empty()) return -1;
    return static_cast<int>(slots_[SlotOf(Address, HashOf(Address))].entry) - 1;
}

int TAddressIndex::Insert(std::string_view Address) {
    if ((static_cast<size_t>(Count()) + 1) * 2 > slots_.size()) Grow();
    const uint64_t hash = HashOf(Address);
    Slot& s = slots_[SlotOf(Address, hash)];
    if (s.entry != 0) return static_cast<int>(s.entry - 1);
    text_.append(Address);
    starts_.push_back(static_cast<uint32_t>(text_.size()));
    s.tag = TagOf(hash);
    s.entry = static_cast<uint32_t>(Count());
    return Count() - 1;
}

void TAddressIndex::Grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? kFirstSlots : old.size() * 2, Slot{});
    for (const Slot& s : old) {
        if (s.entry == 0) continue;
        const std::string_view address = Entry(static_cast<int>(s.entry - 1));
        slots_[SlotOf(address, HashOf(address))] = s;
    }
}

void TAddressIndex::Clear() {
    slots_.clear();
    text_.clear();
    starts_.assign(1, 0);
}
