// A frame as a bitmap with a transparency mask, and drawn on a canvas stretched or tiled.
#include "imaging/gif/color_reduction.h"
#include "imaging/gif/dib_writer.h"
#include "imaging/gif/frame_render.h"
#include "imaging/gif/gif_exception.h"
#include "imaging/gif/gif_image.h"
#include "imaging/gif/sub_image.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/scoped.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/stream.h"

#include <memory>
#include <vector>

namespace gif {

struct FrameRendering {
    std::unique_ptr<TBitmap> Bitmap;
    pw::gdi::OwnedObject<HBITMAP> Mask;
};

namespace {

// Indices unchanged, with a full 256-entry table: values past the active map show its colour 0.
TRaster IndexedRaster(TGIFSubImage& frame) {
    TRaster raster;
    raster.Width = frame.Width();
    raster.Height = frame.Height();
    raster.BitsPerPixel = 8;
    raster.Bits.assign(frame.Data(), frame.Data() + frame.DataSize());
    raster.Palette.resize(256);
    for (int i = 0; i < 256; ++i) {
        const TGIFRGB c = frame.ColorOf(i);
        raster.Palette[i] = RGB(c.Red, c.Green, c.Blue);
    }
    return raster;
}

// Destination kept where the mask is set, the source stretched in elsewhere.
void TransparentStretch(HDC dest, const RECT& destRect, HDC source, const RECT& sourceRect, HBITMAP mask) {
    const int dw = destRect.right - destRect.left, dh = destRect.bottom - destRect.top;
    const int sw = sourceRect.right - sourceRect.left, sh = sourceRect.bottom - sourceRect.top;
    if (dw == sw && dh == sh) {
        MaskBlt(dest, destRect.left, destRect.top, dw, dh, source, sourceRect.left, sourceRect.top, mask, 0,
                0, MAKEROP4(0x00AA0029, SRCCOPY));
        return;
    }
    using pw::gdi::MemoryDC;
    using pw::gdi::OwnedObject;
    const MemoryDC maskDc(nullptr, mask);
    const MemoryDC colourDc(nullptr, OwnedObject<HBITMAP>(CreateBitmap(sw, sh, 1, 32, nullptr)));
    const MemoryDC monoDc(nullptr, OwnedObject<HBITMAP>(CreateBitmap(sw, sh, 1, 1, nullptr)));

    BitBlt(monoDc.Get(), 0, 0, sw, sh, maskDc.Get(), 0, 0, NOTSRCCOPY);
    SetTextColor(colourDc.Get(), RGB(0, 0, 0));
    SetBkColor(colourDc.Get(), RGB(255, 255, 255));
    BitBlt(colourDc.Get(), 0, 0, sw, sh, monoDc.Get(), 0, 0, SRCCOPY);
    BitBlt(colourDc.Get(), 0, 0, sw, sh, source, sourceRect.left, sourceRect.top, SRCAND);
    const pw::gdi::SavedDC saved(dest);
    SetTextColor(dest, RGB(0, 0, 0));
    SetBkColor(dest, RGB(255, 255, 255));
    StretchBlt(dest, destRect.left, destRect.top, dw, dh, maskDc.Get(), 0, 0, sw, sh, SRCAND);
    StretchBlt(dest, destRect.left, destRect.top, dw, dh, colourDc.Get(), 0, 0, sw, sh, SRCPAINT);
}

} // namespace

} // namespace gif

TBitmap* TGIFSubImage::GetBitmap() {
    if (rendering_ && rendering_->Bitmap) return rendering_->Bitmap.get();
    if (Empty()) return nullptr;
    TGIFImage* image = Image();
    if (image) image->Progress(TGIFProgressStage::Starting, 0, false, gif_text::Rendering);
    ThrowingScopeGuard failed([&] {
        if (image) image->Progress(TGIFProgressStage::Ending, 0, false, gif_text::Rendering);
    });
    auto rendering = std::make_shared<gif::FrameRendering>();
    std::vector<uint8_t> mask;
    TRaster raster;
    if (image && image->WebPaletteApplies()) {
        raster = gif::RenderWebPalette(*this, &mask);
    } else {
        raster = gif::IndexedRaster(*this);
        mask = gif::BuildMask(*this);
    }
    TMemoryStream file;
    const std::vector<uint8_t> bytes = gif::ComposeBitmapFile(raster);
    file.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    file.SetPosition(0);
    rendering->Bitmap = std::make_unique<TBitmap>();
    rendering->Bitmap->LoadFromStream(file);
    if (!mask.empty()) rendering->Mask.Reset(CreateBitmap(Width(), Height(), 1, 1, mask.data()));
    rendering_ = std::move(rendering);
    failed.Dismiss();
    if (image) image->Progress(TGIFProgressStage::Ending, 100, false, gif_text::Rendering);
    return rendering_->Bitmap.get();
}

HBITMAP TGIFSubImage::MaskHandle() {
    return GetBitmap() ? rendering_->Mask.Get() : nullptr;
}

RECT TGIFSubImage::ScaleRect(const RECT& rect) const {
    const TGIFImage* image = Image();
    return gif::ScaleRect(*this, rect, image ? image->Width() : Width(), image ? image->Height() : Height());
}

void TGIFSubImage::Draw(TCanvas& canvas, const RECT& rect, bool doTransparent, bool doTile) {
    TBitmap* bitmap = GetBitmap();
    if (!bitmap) return;
    const TGIFImage* image = Image();
    std::vector<RECT> places;
    if (doTile)
        places = gif::TileCells(*this, rect, image ? image->Width() : 0, image ? image->Height() : 0);
    else
        places.push_back(ScaleRect(rect));
    HBITMAP mask = doTransparent && Transparent() ? MaskHandle() : nullptr;
    HDC dest = canvas.Handle();
    HDC source = bitmap->Canvas().Handle();
    const RECT sourceRect{0, 0, Width(), Height()};
    for (const RECT& place : places) {
        if (mask)
            gif::TransparentStretch(dest, place, source, sourceRect, mask);
        else
            StretchBlt(dest, place.left, place.top, place.right - place.left, place.bottom - place.top,
                       source, 0, 0, Width(), Height(), SRCCOPY);
    }
}
