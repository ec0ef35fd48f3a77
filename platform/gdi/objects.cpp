#include "platform/gdi/objects.h"

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
uint32_t PaletteArgb(const std::vector<RGBQUAD>& pal, size_t i) {
    if (i >= pal.size()) return 0xFF000000u;
    const RGBQUAD& q = pal[i];
    return 0xFF000000u | (uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
}
int NearestIndex(const std::vector<RGBQUAD>& pal, uint32_t argb) {
    int best = 0;
    long bestDist = -1;
    for (size_t i = 0; i < pal.size(); ++i) {
        const long dr = long((argb >> 16) & 0xFF) - pal[i].rgbRed,
                   dg = long((argb >> 8) & 0xFF) - pal[i].rgbGreen, db = long(argb & 0xFF) - pal[i].rgbBlue;
        const long d = dr * dr + dg * dg + db * db;
        if (bestDist < 0 || d < bestDist) {
            bestDist = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}
} // namespace

void BitmapObject::PullDib() {
    if (!dib || dibBits.empty()) return;
    const int w = Width(), h = Height(), stride = DibStride();
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = dibBits.data() + static_cast<size_t>(topDown ? y : h - 1 - y) * stride;
        uint32_t* out = surface.Bits() + static_cast<size_t>(y) * w;
        for (int x = 0; x < w; ++x) {
            switch (dibBpp) {
            case 1:
                out[x] = PaletteArgb(palette, (row[x >> 3] >> (7 - (x & 7))) & 1);
                break;
            case 4:
                out[x] = PaletteArgb(palette, (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF);
                break;
            case 8:
                out[x] = PaletteArgb(palette, row[x]);
                break;
            case 24:
                out[x] = 0xFF000000u | (uint32_t(row[x * 3 + 2]) << 16) | (uint32_t(row[x * 3 + 1]) << 8) |
                         row[x * 3];
                break;
            default:
                std::memcpy(&out[x], row + x * 4, 4);
                break;
            }
        }
    }
}

void BitmapObject::PushDib() {
    if (!dib || dibBits.empty()) return;
    const int w = Width(), h = Height(), stride = DibStride();
    for (int y = 0; y < h; ++y) {
        uint8_t* row = dibBits.data() + static_cast<size_t>(topDown ? y : h - 1 - y) * stride;
        const uint32_t* in = surface.Bits() + static_cast<size_t>(y) * w;
        for (int x = 0; x < w; ++x) {
            switch (dibBpp) {
            case 1: {
                const uint8_t bit = uint8_t(0x80 >> (x & 7));
                if (NearestIndex(palette, in[x]) & 1)
                    row[x >> 3] |= bit;
                else
                    row[x >> 3] &= uint8_t(~bit);
                break;
            }
            case 4: {
                const int v = NearestIndex(palette, in[x]) & 0xF;
                row[x >> 1] =
                    (x & 1) ? uint8_t((row[x >> 1] & 0xF0) | v) : uint8_t((row[x >> 1] & 0x0F) | (v << 4));
                break;
            }
            case 8:
                row[x] = static_cast<uint8_t>(NearestIndex(palette, in[x]));
                break;
            case 24:
                row[x * 3] = static_cast<uint8_t>(in[x]);
                row[x * 3 + 1] = static_cast<uint8_t>(in[x] >> 8);
                row[x * 3 + 2] = static_cast<uint8_t>(in[x] >> 16);
                break;
            default:
                std::memcpy(row + x * 4, &in[x], 4);
                break;
            }
        }
    }
}

} // namespace pw::gdi
