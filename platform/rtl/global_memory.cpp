#include "platform/rtl/global_memory.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

namespace {

struct Block {
    std::unique_ptr<uint8_t[]> bytes;
    size_t size = 0;
    int locks = 0;
};

struct Blocks {
    std::mutex lock;
    std::map<uintptr_t, Block> blocks;
    // Handle values are never reused, so a stale handle names nothing rather than another block.
    uintptr_t next = 0x10000;
};

Blocks& AllBlocks() {
    static auto* blocks = new Blocks; // never destroyed: the clipboard may free blocks at exit
    return *blocks;
}

} // namespace

HGLOBAL GlobalAlloc(UINT, size_t bytes) {
    Block block;
    // Zeroed in every case: a block handed to another program must not carry stale memory.
    block.bytes.reset(new (std::nothrow) uint8_t[bytes == 0 ? 1 : bytes]());
    if (!block.bytes) return nullptr;
    block.size = bytes;
    Blocks& all = AllBlocks();
    std::lock_guard guard(all.lock);
    const uintptr_t id = all.next;
    all.next += 16;
    all.blocks.emplace(id, std::move(block));
    return reinterpret_cast<HGLOBAL>(id);
}

void* GlobalLock(HGLOBAL block) {
    Blocks& all = AllBlocks();
    std::lock_guard guard(all.lock);
    auto it = all.blocks.find(reinterpret_cast<uintptr_t>(block));
    if (it == all.blocks.end()) return nullptr;
    ++it->second.locks;
    return it->second.bytes.get();
}

BOOL GlobalUnlock(HGLOBAL block) {
    Blocks& all = AllBlocks();
    std::lock_guard guard(all.lock);
    auto it = all.blocks.find(reinterpret_cast<uintptr_t>(block));
    if (it == all.blocks.end() || it->second.locks == 0) return FALSE_;
    return --it->second.locks > 0 ? TRUE_ : FALSE_;
}

size_t GlobalSize(HGLOBAL block) {
    Blocks& all = AllBlocks();
    std::lock_guard guard(all.lock);
    auto it = all.blocks.find(reinterpret_cast<uintptr_t>(block));
    return it == all.blocks.end() ? 0 : it->second.size;
}

HGLOBAL GlobalFree(HGLOBAL block) {
    Blocks& all = AllBlocks();
    std::lock_guard guard(all.lock);
    return all.blocks.erase(reinterpret_cast<uintptr_t>(block)) ? nullptr : block;
}
