#include "imaging/gif/color_map.h"

#include "imaging/gif/gif_exception.h"
#include "imaging/gif/gif_io.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/palettes.h"
#include "platform/rtl/stream.h"

#include <algorithm>

namespace {
COLORREF ToColor(const TGIFRGB& c) {
    return RGB(c.Red, c.Green, c.Blue);
}
TGIFRGB FromColor(COLORREF c) {
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}
bool Same(const TGIFRGB& a, const TGIFRGB& b) {
    return a.Red == b.Red && a.Green == b.Green && a.Blue == b.Blue;
}
} // namespace

COLORREF TGIFColorMap::Colors(int index) {
    if (count_ == 0) throw GIFException(gif_text::EmptyColorMap);
    if (index < 0 || index >= count_) {
        Warning(1, gif_text::InvalidColorIndex);
        return 0;
    }
    return ToColor(colors_[index]);
}

TGIFRGB TGIFColorMap::Entry(int index) const {
    if (index < 0 || index >= count_) return count_ > 0 ? colors_[0] : TGIFRGB{};
    return colors_[index];
}

void TGIFColorMap::SetColors(int index, COLORREF color) {
    if (index < 0 || index >= count_) {
        Warning(1, gif_text::InvalidColorIndex);
        return;
    }
    colors_[index] = FromColor(color);
    optimized_ = false;
    Changed();
}

void TGIFColorMap::Grow(int needed) {
    if (needed > 256) throw GIFException(gif_text::ColorTableOverflow);
    if (needed <= Capacity()) return;
    int capacity = needed <= 16 ? 16 : std::min(256, (needed + 31) / 32 * 32);
    colors_.resize(capacity);
}

int TGIFColorMap::Add(COLORREF color) {
    Grow(count_ + 1);
    colors_[count_] = FromColor(color);
    optimized_ = false;
    Changed();
    return count_++;
}

int TGIFColorMap::AddUnique(COLORREF color) {
    int index = IndexOf(color);
    return index >= 0 ? index : Add(color);
}

int TGIFColorMap::IndexOf(COLORREF color) const {
    TGIFRGB c = FromColor(color);
    if (optimized_) {
        for (int i = 0; i < count_; ++i)
            if (Same(colors_[i], c)) return i;
    } else {
        for (int i = count_ - 1; i >= 0; --i)
            if (Same(colors_[i], c)) return i;
    }
    return -1;
}

void TGIFColorMap::Delete(int index) {
    if (index < 0 || index >= count_) throw GIFException(gif_text::InvalidColorIndex);
    std::copy(colors_.begin() + index + 1, colors_.begin() + count_, colors_.begin() + index);
    --count_;
    optimized_ = false;
    Changed();
}

void TGIFColorMap::Clear() {
    colors_.clear();
    colors_.shrink_to_fit();
    count_ = 0;
    optimized_ = false;
}

void TGIFColorMap::ImportColorTable(const uint8_t* table, int count) {
    count = std::clamp(count, 0, 256);
    colors_.clear();
    count_ = 0;
    Grow(count);
    for (int i = 0; i < count; ++i)
        colors_[i] = {table[i * 4 + 2], table[i * 4 + 1], table[i * 4]};
    count_ = count;
    optimized_ = false;
    Changed();
}

void TGIFColorMap::ImportPalette(HPALETTE palette) {
    const std::vector<PALETTEENTRY> entries = PaletteEntries(palette);
    std::vector<uint8_t> table;
    for (size_t i = 0; i < entries.size() && i < 256; ++i)
        table.insert(table.end(), {entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0});
    ImportColorTable(table.data(), static_cast<int>(table.size() / 4));
}

void TGIFColorMap::ImportDIBColors(HDC dc) {
    RGBQUAD colors[256];
    const UINT count = GetDIBColorTable(dc, 0, 256, colors);
    std::vector<uint8_t> table;
    for (UINT i = 0; i < count; ++i)
        table.insert(table.end(), {colors[i].rgbBlue, colors[i].rgbGreen, colors[i].rgbRed, 0});
    ImportColorTable(table.data(), static_cast<int>(count));
}

HPALETTE TGIFColorMap::ExportPalette() const {
    if (count_ == 0) return nullptr;
    std::vector<PALETTEENTRY> entries;
    for (int i = 0; i < count_; ++i)
        entries.push_back(PALETTEENTRY{colors_[i].Red, colors_[i].Green, colors_[i].Blue, PC_NOCOLLAPSE});
    return CreatePalette(entries.data(), count_);
}

int TGIFColorMap::BitsPerPixel() const {
    if (count_ == 0) return 0;
    int bits = 1;
    while ((1 << bits) < count_)
        ++bits;
    return bits;
}

void TGIFColorMap::Assign(const TGIFColorMap& source) {
    if (&source == this) return;
    colors_ = source.colors_;
    count_ = source.count_;
    optimized_ = source.optimized_;
    Changed();
}

void TGIFColorMap::LoadFromStream(TStream& stream, int count) {
    Clear();
    Grow(count);
    gif::ReadCheck(stream, colors_.data(), static_cast<int64_t>(count) * 3);
    count_ = count;
}

void TGIFColorMap::SaveToStream(TStream& stream, int bits) const {
    int total = std::max(count_, 1 << bits);
    std::vector<TGIFRGB> out(total);
    std::copy(colors_.begin(), colors_.begin() + count_, out.begin());
    stream.WriteBuffer(out.data(), static_cast<int64_t>(total) * 3);
}

void TGIFColorMap::Reorder(const std::vector<TGIFUsage>& sorted) {
    std::vector<TGIFRGB> old(colors_.begin(), colors_.begin() + count_);
    int kept = count_;
    for (int i = 0; i < count_; ++i) {
        colors_[i] = old[sorted[i].Index];
        if (sorted[i].Count == 0 && kept == count_) kept = i;
    }
    count_ = kept;
}
