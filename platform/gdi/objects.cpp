#include "platform/gdi/objects.h"

#include "platform/gdi/dib_format.h"

#include <algorithm>
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

namespace {

// The columns of an area whose bits start on a byte: indexed rows of 1 or 4 bits per pixel are
// converted in whole bytes, so that a partial byte never takes stale neighbours along.
struct DibSpan {
    int left = 0, right = 0, top = 0, bottom = 0;
    bool Empty() const { return left >= right || top >= bottom; }
};

DibSpan SpanOf(const RECT& area, int width, int height, int bpp) {
    DibSpan s{std::max(0, static_cast<int>(std::min(area.left, area.right))),
              std::min(width, static_cast<int>(std::max(area.left, area.right))),
              std::max(0, static_cast<int>(std::min(area.top, area.bottom))),
              std::min(height, static_cast<int>(std::max(area.top, area.bottom)))};
    if (s.Empty()) return s;
    const int perByte = bpp < 8 ? 8 / bpp : 1;
    s.left -= s.left % perByte;
    s.right = std::min(width, (s.right + perByte - 1) / perByte * perByte);
    return s;
}

} // namespace

void BitmapObject::PullDib() {
    PullDib(RECT{0, 0, Width(), Height()});
}

void BitmapObject::PushDib() {
    PushDib(RECT{0, 0, Width(), Height()});
}

void BitmapObject::PullDib(const RECT& area) {
    if (!dib || dibBits.empty()) return;
    const int w = Width(), h = Height(), stride = DibStride();
    const DibSpan s = SpanOf(area, w, h, dibBpp);
    if (s.Empty()) return;
    const size_t firstByte = static_cast<size_t>(s.left) * dibBpp / 8;
    for (int y = s.top; y < s.bottom; ++y)
        UnpackDibRow(dibBits.data() + static_cast<size_t>(topDown ? y : h - 1 - y) * stride + firstByte,
                     s.right - s.left, dibBpp, palette, surface.Bits() + static_cast<size_t>(y) * w + s.left);
}

void BitmapObject::PushDib(const RECT& area) {
    if (!dib || dibBits.empty()) return;
    const int w = Width(), h = Height(), stride = DibStride();
    const DibSpan s = SpanOf(area, w, h, dibBpp);
    if (s.Empty()) return;
    const size_t firstByte = static_cast<size_t>(s.left) * dibBpp / 8;
    for (int y = s.top; y < s.bottom; ++y)
        PackDibRow(surface.Bits() + static_cast<size_t>(y) * w + s.left, s.right - s.left, dibBpp, palette,
                   dibBits.data() + static_cast<size_t>(topDown ? y : h - 1 - y) * stride + firstByte);
}

} // namespace pw::gdi
