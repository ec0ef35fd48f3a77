#include "platform/graphics/palette.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <mutex>

namespace {

struct PaletteTable {
    std::mutex lock;
    std::map<uintptr_t, std::vector<PALETTEENTRY>> entries;
    uintptr_t next = 0x50000; // handle values are never reused
};

PaletteTable& Table() {
    static PaletteTable table;
    return table;
}

} // namespace

HPALETTE CreatePalette(const PALETTEENTRY* entries, int count) {
    if (!entries || count < 1 || count > 256) return nullptr;
    PaletteTable& t = Table();
    std::lock_guard guard(t.lock);
    const uintptr_t id = t.next;
    t.next += 4;
    t.entries[id].assign(entries, entries + count);
    return reinterpret_cast<HPALETTE>(id);
}

HPALETTE CreatePalette(const LOGPALETTE* palette) {
    if (!palette) return nullptr;
    return CreatePalette(palette->palPalEntry, palette->palNumEntries);
}

UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries) {
    PaletteTable& t = Table();
    std::lock_guard guard(t.lock);
    auto it = t.entries.find(reinterpret_cast<uintptr_t>(palette));
    if (it == t.entries.end()) return 0;
    const auto& list = it->second;
    if (!entries) return static_cast<UINT>(list.size());
    if (start >= list.size()) return 0;
    const UINT n = std::min<UINT>(count, static_cast<UINT>(list.size()) - start);
    std::copy_n(list.begin() + start, n, entries);
    return n;
}

std::vector<PALETTEENTRY> PaletteEntries(HPALETTE palette) {
    PaletteTable& t = Table();
    std::lock_guard guard(t.lock);
    auto it = t.entries.find(reinterpret_cast<uintptr_t>(palette));
    return it == t.entries.end() ? std::vector<PALETTEENTRY>{} : it->second;
}

bool DeletePalette(HPALETTE palette) {
    PaletteTable& t = Table();
    std::lock_guard guard(t.lock);
    return t.entries.erase(reinterpret_cast<uintptr_t>(palette)) != 0;
}

HPALETTE CopyPalette(HPALETTE palette) {
    const std::vector<PALETTEENTRY> entries = PaletteEntries(palette);
    return CreatePalette(entries.data(), static_cast<int>(entries.size()));
}
