#include "platform/graphics/icon.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/gdi/dib_format.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/icons.h"
#include "platform/gdi/metrics.h"
#include "platform/gdi/scoped.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/bmp_format.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/graphics_errors.h"
#include "platform/rtl/stream.h"

using pw::graphics::DibImage;

namespace {

using pw::graphics::Get16;
using pw::graphics::Get32;

[[noreturn]] void InvalidIcon() {
    throw EInvalidGraphic(graphics_text::InvalidIcon);
}

void Put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    out[at] = uint8_t(v);
    out[at + 1] = uint8_t(v >> 8);
}
void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    Put16(out, at, v);
    Put16(out, at + 2, v >> 16);
}

constexpr size_t kDirEntrySize = 16;
// The icon directory cannot name a larger image.
constexpr int kMaxIconSize = 256;

// One icon image: DIB data whose header gives twice the height, the colour rows followed by the mask.
HICON DecodeIconImage(const uint8_t* data, size_t size) {
    // Only an info header may start the image (PNG-compressed images are not read).
    if (size < 40 || Get32(data) < 40 || Get32(data) > 124) InvalidIcon();
    std::vector<uint8_t> copy(data, data + size);
    const int32_t doubled = static_cast<int32_t>(Get32(&copy[8]));
    const int32_t width = static_cast<int32_t>(Get32(&copy[4]));
    if (doubled <= 0 || doubled % 2 || width <= 0 || width > kMaxIconSize || doubled / 2 > kMaxIconSize)
        InvalidIcon();
    const int height = doubled / 2;
    Put32(copy, 8, static_cast<uint32_t>(height));
    const DibImage colour = pw::graphics::ReadDibResource(copy.data(), copy.size());
    if (colour.height != height) InvalidIcon();
    // The mask follows the colour rows.
    const size_t header = Get32(data);
    const size_t table = colour.bpp <= 8 ? colour.palette.size() * 4 : 0;
    const size_t maskAt = header + table + static_cast<size_t>(colour.Stride()) * height;
    DibImage mask;
    mask.width = colour.width;
    mask.height = height;
    mask.bpp = 1;
    mask.palette = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
    const size_t maskSize = static_cast<size_t>(mask.Stride()) * height;
    if (maskAt <= size && size - maskAt >= maskSize)
        mask.bits.assign(data + maskAt, data + maskAt + maskSize);
    else
        mask.bits.assign(maskSize, 0); // no mask stored: every pixel opaque

    // The colour image becomes 32 bits with alpha from the mask unless it carries alpha of its own: the
    // GDI draws any icon with alpha by it, and its bitmaps are opaque once drawn on.
    DibImage argb;
    argb.width = colour.width;
    argb.height = height;
    argb.bpp = 32;
    argb.bits.resize(static_cast<size_t>(argb.Stride()) * height);
    bool ownAlpha = false;
    for (int y = 0; y < height; ++y) {
        auto* out = reinterpret_cast<uint32_t*>(argb.bits.data() + static_cast<size_t>(argb.Stride()) * y);
        pw::gdi::UnpackDibRow(colour.bits.data() + static_cast<size_t>(colour.Stride()) * y, colour.width,
                              colour.bpp, colour.palette, out);
        if (colour.bpp == 32)
            for (int x = 0; x < colour.width; ++x)
                ownAlpha = ownAlpha || (out[x] >> 24) != 0;
    }
    if (!ownAlpha)
        for (int y = 0; y < height; ++y) {
            auto* px = reinterpret_cast<uint32_t*>(argb.bits.data() + static_cast<size_t>(argb.Stride()) * y);
            const uint8_t* m = mask.bits.data() + static_cast<size_t>(mask.Stride()) * y;
            for (int x = 0; x < colour.width; ++x)
                px[x] = ((m[x >> 3] >> (7 - (x & 7))) & 1) ? 0u : (px[x] | 0xFF000000u);
        }

    TBitmap colourBitmap, maskBitmap;
    TMemoryStream stream;
    pw::graphics::WriteBmpFile(argb, stream);
    stream.SetPosition(0);
    colourBitmap.LoadFromStream(stream);
    TMemoryStream maskStream;
    pw::graphics::WriteBmpFile(mask, maskStream);
    maskStream.SetPosition(0);
    maskBitmap.LoadFromStream(maskStream);
    maskBitmap.SetMonochrome(true);
    ICONINFO info;
    info.fIcon = 1;
    info.hbmColor = colourBitmap.Handle();
    info.hbmMask = maskBitmap.Handle();
    HICON icon = CreateIconIndirect(&info);
    if (!icon) InvalidIcon();
    return icon;
}

} // namespace

TIcon::~TIcon() {
    if (handle_) DestroyIcon(handle_);
}

int TIcon::Width() const {
    return handle_ ? width_ : 0;
}

int TIcon::Height() const {
    return handle_ ? height_ : 0;
}

void TIcon::SetWidth(int value) {
    if (handle_) throw EInvalidGraphicOperation(graphics_text::ChangeIconSize);
    width_ = value;
}

void TIcon::SetHeight(int value) {
    if (handle_) throw EInvalidGraphicOperation(graphics_text::ChangeIconSize);
    height_ = value;
}

void TIcon::SetHandle(HICON value) {
    if (value == handle_) return;
    if (handle_) DestroyIcon(handle_);
    handle_ = value;
    width_ = height_ = 0;
    ICONINFO info;
    if (value && GetIconInfo(value, &info)) {
        // The icon's bitmaps come as copies of ours to delete.
        const pw::gdi::OwnedObject<HBITMAP> color(info.hbmColor), mask(info.hbmMask);
        BITMAP bm;
        if (info.hbmColor && GetObject(info.hbmColor, sizeof bm, &bm)) {
            width_ = bm.bmWidth;
            height_ = bm.bmHeight;
        } else if (info.hbmMask && GetObject(info.hbmMask, sizeof bm, &bm)) {
            width_ = bm.bmWidth;
            height_ = bm.bmHeight / 2;
        }
    }
    Changed(this);
}

HICON TIcon::ReleaseHandle() {
    HICON h = handle_;
    handle_ = nullptr;
    return h;
}

void TIcon::LoadFromStream(TStream& stream) {
    const int64_t start = stream.Position();
    const int64_t available = stream.Size() - start;
    if (available < 6) InvalidIcon();
    std::vector<uint8_t> data(static_cast<size_t>(available));
    stream.ReadBuffer(data.data(), available);
    if (Get16(&data[0]) != 0 || Get16(&data[2]) != 1) InvalidIcon();
    const size_t count = Get16(&data[4]);
    if (count == 0 || 6 + count * kDirEntrySize > data.size()) InvalidIcon();
    const int want = GetSystemMetrics(SM_CXICON);
    size_t best = 0;
    int bestDistance = -1;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* e = &data[6 + i * kDirEntrySize];
        const int w = e[0] ? e[0] : 256;
        const int distance = std::abs(w - want);
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    const uint8_t* e = &data[6 + best * kDirEntrySize];
    const size_t size = Get32(e + 8), offset = Get32(e + 12);
    if (offset > data.size() || size > data.size() - offset) InvalidIcon();
    HICON icon = DecodeIconImage(&data[offset], size);
    SetHandle(icon);
}

void TIcon::SaveToStream(TStream& stream) {
    if (!handle_) return;
    ICONINFO info;
    if (!GetIconInfo(handle_, &info)) InvalidIcon();
    TBitmap colour, mask;
    mask.SetHandle(info.hbmMask);
    if (info.hbmColor) {
        colour.SetHandle(info.hbmColor);
    } else { // a monochrome icon: the lower half of the mask is the image
        colour.SetSize(width_, height_);
        colour.Canvas().CopyRect(Rect(0, 0, width_, height_), mask.Canvas(),
                                 Rect(0, height_, width_, 2 * height_));
        mask.SetHeight(height_);
    }
    colour.SetPixelFormat(pf32bit);
    mask.SetPixelFormat(pf1bit);
    const int w = width_, h = height_;
    const size_t colourStride = static_cast<size_t>(w) * 4,
                 maskStride = ((static_cast<size_t>(w) + 31) / 32) * 4;
    const size_t imageSize = 40 + colourStride * h + maskStride * h;
    std::vector<uint8_t> out(6 + kDirEntrySize + imageSize, 0);
    Put16(out, 2, 1);
    Put16(out, 4, 1);
    out[6] = static_cast<uint8_t>(w >= 256 ? 0 : w);
    out[7] = static_cast<uint8_t>(h >= 256 ? 0 : h);
    Put16(out, 10, 1);
    Put16(out, 12, 32);
    Put32(out, 14, static_cast<uint32_t>(imageSize));
    Put32(out, 18, static_cast<uint32_t>(6 + kDirEntrySize));
    const size_t at = 6 + kDirEntrySize;
    Put32(out, at, 40);
    Put32(out, at + 4, static_cast<uint32_t>(w));
    Put32(out, at + 8, static_cast<uint32_t>(2 * h));
    Put16(out, at + 12, 1);
    Put16(out, at + 14, 32);
    Put32(out, at + 20, static_cast<uint32_t>(colourStride * h + maskStride * h));
    size_t pos = at + 40;
    for (int y = h - 1; y >= 0; --y, pos += colourStride)
        std::memcpy(&out[pos], colour.ScanLine(y), colourStride);
    for (int y = h - 1; y >= 0; --y, pos += maskStride)
        std::memcpy(&out[pos], mask.ScanLine(y), maskStride);
    stream.WriteBuffer(out.data(), static_cast<int64_t>(out.size()));
}

void TIcon::Assign(TPersistent* Source) {
    if (auto* icon = dynamic_cast<TIcon*>(Source)) {
        if (icon == this) return;
        if (!icon->handle_) {
            SetHandle(nullptr);
            return;
        }
        ICONINFO info;
        if (!GetIconInfo(icon->handle_, &info)) InvalidIcon();
        const pw::gdi::OwnedObject<HBITMAP> color(info.hbmColor), mask(info.hbmMask);
        SetHandle(CreateIconIndirect(&info));
        return;
    }
    TGraphic::Assign(Source);
}

void TIcon::Draw(TCanvas& canvas, const TRect& rect) {
    if (handle_)
        DrawIconEx(canvas.Handle(), rect.left, rect.top, handle_, rect.Width(), rect.Height(), 0, nullptr,
                   DI_NORMAL);
}
