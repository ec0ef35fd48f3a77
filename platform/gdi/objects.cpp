#include "platform/gdi/objects.h"

#include "platform/gdi/dib_format.h"

#include <cstring>
#include <mutex>
#include <unordered_map>

namespace pw::gdi {
namespace {

struct Table {
    std::mutex mutex;
    std::unordered_map<uintptr_t, std::shared_ptr<Object>> objects;
    uintptr_t next = kFirstHandle;
};

Table& TheTable() {
    static Table* table = new Table; // never destroyed: handles may be released during static teardown
    return *table;
}

} // namespace

void* Register(std::shared_ptr<Object> object) {
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    const uintptr_t h = t.next;
    t.next += 4;
    t.objects.emplace(h, std::move(object));
    return reinterpret_cast<void*>(h);
}

std::shared_ptr<Object> Lookup(const void* handle) {
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
    return it == t.objects.end() ? nullptr : it->second;
}

bool Unregister(const void* handle) {
    std::shared_ptr<Object> dying; // released outside the lock
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
    if (it == t.objects.end()) return false;
    if (it->second->stock) return true;
    dying = std::move(it->second);
    t.objects.erase(it);
    return true;
}

void* BitmapObject::DibBitsPointer() {
    if (!dib) return nullptr;
    return dibBits.empty() ? static_cast<void*>(surface.Bits()) : static_cast<void*>(dibBits.data());
}

void BitmapObject::PullDib() {
    if (!dib || dibBits.empty()) return;
    const int w = Width(), h = Height(), stride = DibStride();
    for (int y = 0; y < h; ++y)
        UnpackDibRow(dibBits.data() + static_cast<size_t>(topDown ? y : h - 1 - y) * stride, w, dibBpp,
                     palette, surface.Bits() + static_cast<size_t>(y) * w);
}

void BitmapObject::PushDib() {
    if (!dib || dibBits.empty()) return;
    const int w = Width(), h = Height(), stride = DibStride();
    for (int y = 0; y < h; ++y)
        PackDibRow(surface.Bits() + static_cast<size_t>(y) * w, w, dibBpp, palette,
                   dibBits.data() + static_cast<size_t>(topDown ? y : h - 1 - y) * stride);
}

} // namespace pw::gdi
