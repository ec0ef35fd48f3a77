// TPNGObject as a graphic: palettes, conversion to and from bitmaps, and the picture-format registration.
#include "imaging/png/chunk_ihdr.h"
#include "imaging/png/chunk_palette.h"
#include "imaging/png/png_object.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/palettes.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/picture.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

struct Registration {
    Registration() { RegisterPNGObject(); }
    ~Registration() { TPicture::UnregisterGraphicClass(&CreateGraphic<TPNGObject>); }
};

[[maybe_unused]] const Registration registration;

bool HasColorTable(const TChunkIHDR& header) {
    return header.ColorType() == 0 || header.ColorType() == 3;
}

} // namespace

void RegisterPNGObject() {
    TPicture::RegisterFileFormat("png", "Portable Network Graphics", &CreateGraphic<TPNGObject>);
}

void TPNGObject::ReleaseCachedPalette() {
    if (cachedPalette_) DeleteObject(cachedPalette_);
    cachedPalette_ = nullptr;
}

HPALETTE TPNGObject::Palette() const {
    if (!cachedPalette_ && HasHeader() && HasColorTable(RequireHeader())) {
        std::vector<PALETTEENTRY> entries(256);
        const auto& table = RequireHeader().ColorTable();
        for (size_t i = 0; i < entries.size(); ++i)
            entries[i] = PALETTEENTRY{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
        cachedPalette_ = CreatePalette(entries.data(), 256);
    }
    return cachedPalette_;
}

void TPNGObject::SetPalette(HPALETTE value) {
    if (!HasHeader() || !HasColorTable(RequireHeader())) return;
    auto& table = RequireHeader().ColorTable();
    const std::vector<PALETTEENTRY> entries = PaletteEntries(value);
    for (size_t i = 0; i < std::min<size_t>(entries.size(), 256); ++i)
        table[i] = PngRgbQuad{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
    ReleaseCachedPalette();
    Changed(this);
}

void TPNGObject::Assign(TPersistent* Source) {
    if (auto* png = dynamic_cast<TPNGObject*>(Source)) {
        CopyFromPng(*png);
        Changed(this);
    } else if (auto* bitmap = dynamic_cast<TBitmap*>(Source)) {
        const bool transparent = bitmap->Transparent() && !bitmap->Empty();
        CopyFromBitmap(*bitmap, transparent, transparent ? ColorToRGB(bitmap->TransparentColor()) : 0);
        Changed(this);
    } else {
        TGraphic::Assign(Source);
    }
}

void TPNGObject::AssignTo(TPersistent* Dest) {
    if (auto* png = dynamic_cast<TPNGObject*>(Dest)) {
        png->CopyFromPng(*this);
    } else if (auto* bitmap = dynamic_cast<TBitmap*>(Dest); bitmap && HasHeader()) {
        CopyToBitmap(*bitmap);
    } else {
        TGraphic::AssignTo(Dest);
    }
}

void TPNGObject::CopyToBitmap(TBitmap& bitmap) const {
    const TChunkIHDR& header = RequireHeader();
    TPixelFormat format = pf24bit;
    switch (header.BitCount()) {
    case 1:
        format = pf1bit;
        break;
    case 4:
        format = pf4bit;
        break;
    case 8:
        format = pf8bit;
        break;
    default:
        break;
    }
    bitmap.SetSize(0, 0);
    bitmap.SetPixelFormat(format);
    bitmap.SetSize(static_cast<int>(header.Width()), static_cast<int>(header.Height()));
    if (header.UsesColorTable()) {
        std::vector<RGBQUAD> table(size_t(1) << header.BitCount());
        for (size_t i = 0; i < table.size(); ++i) {
            const PngRgbQuad& c = header.ColorTable()[i];
            table[i] = RGBQUAD{c.rgbBlue, c.rgbGreen, c.rgbRed, 0};
        }
        bitmap.SetColorTable(table);
    }
    const size_t rowBytes = (size_t(header.Width()) * header.BitCount() + 7) / 8;
    for (uint32_t y = 0; y < header.Height(); ++y)
        std::memcpy(bitmap.ScanLine(static_cast<int>(y)), header.RowAddress(y), rowBytes);
    const bool keyed = AlphaKind() == pakColorKey;
    if (keyed) bitmap.SetTransparentColor(static_cast<TColor>(ColorKey()));
    bitmap.SetTransparent(keyed);
}

void TPNGObject::LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) {
    TBitmap bitmap;
    bitmap.LoadFromClipboardFormat(format, data, palette);
    CopyFromBitmapHandle(bitmap.Handle(), false, 0);
}

void TPNGObject::SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) {
    TBitmap bitmap(Width(), Height());
    Draw(bitmap.Canvas(), TRect{0, 0, Width(), Height()});
    bitmap.SaveToClipboardFormat(format, data, palette);
}

void TPNGObject::CopyFromBitmapHandle(HBITMAP handle, bool transparent, COLORREF transparentColor) {
    TBitmap bitmap;
    bitmap.SetHandle(static_cast<HBITMAP>(CopyImage(handle, IMAGE_BITMAP, 0, 0, 0)));
    CopyFromBitmap(bitmap, transparent, transparentColor);
}

void TPNGObject::CopyFromBitmap(TBitmap& bitmap, bool transparent, COLORREF transparentColor) {
    ClearChunkItems();
    ReleaseCachedPalette();
    if (bitmap.Empty()) return;
    int bits = 24;
    switch (bitmap.PixelFormat()) {
    case pf1bit:
        bits = 1;
        break;
    case pf4bit:
        bits = 4;
        break;
    case pf8bit:
        bits = 8;
        break;
    default:
        break;
    }
    const bool indexed = bits < 16;
    TBitmap converted;
    TBitmap* source = &bitmap;
    if (!indexed && bitmap.PixelFormat() != pf24bit) {
        converted.Assign(&bitmap);
        converted.SetPixelFormat(pf24bit);
        source = &converted;
    }

    auto header = std::make_unique<TChunkIHDR>(this);
    TChunkIHDR& ihdr = *header;
    chunkItems_.Add(std::move(header));
    ihdr.SetHeader(static_cast<uint32_t>(source->Width()), static_cast<uint32_t>(source->Height()),
                   static_cast<uint8_t>(indexed ? bits : 8), indexed ? 3 : 2, interlaceKind_);
    if (indexed) {
        // A monochrome device bitmap has no table of its own: black and white.
        std::vector<RGBQUAD> table = source->ColorTable();
        if (table.empty() && bits == 1) table = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
        for (size_t i = 0; i < std::min<size_t>(table.size(), 256); ++i)
            ihdr.ColorTable()[i] = PngRgbQuad{table[i].rgbBlue, table[i].rgbGreen, table[i].rgbRed, 0};
        auto palette = std::make_unique<TChunkPLTE>(this);
        palette->SetEntryCount(1 << bits);
        chunkItems_.Add(std::move(palette));
    }
    const size_t rowBytes = (size_t(ihdr.Width()) * ihdr.BitCount() + 7) / 8;
    for (uint32_t y = 0; y < ihdr.Height(); ++y)
        std::memcpy(ihdr.RowAddress(y), source->ScanLine(static_cast<int>(y)), rowBytes);
    // A key colour that is not in the colour table would make entry 0 transparent instead.
    if (transparent && indexed) {
        const auto& colors = ihdr.ColorTable();
        transparent = std::any_of(colors.begin(), colors.begin() + (1 << bits), [&](const PngRgbQuad& c) {
            return RGB(c.rgbRed, c.rgbGreen, c.rgbBlue) == (transparentColor & 0xFFFFFF);
        });
    }
    if (transparent) {
        auto trns = std::make_unique<TChunktRNS>(this);
        TChunktRNS& key = *trns;
        chunkItems_.Add(std::move(trns));
        key.MakeColorTransparent(transparentColor);
    }
    chunkItems_.Add(CreateChunkByName(this, "IDAT"));
    chunkItems_.Add(CreateChunkByName(this, "IEND"));
}
