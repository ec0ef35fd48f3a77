// The GIF image as a graphic: drawing (directly or through painters), the cached bitmap, palettes,
// conversion to and from other graphics, and the picture-format registration.
#include "imaging/gif/animation_timing.h"
#include "imaging/gif/color_reduction.h"
#include "imaging/gif/gif_exception.h"
#include "imaging/gif/gif_image.h"
#include "imaging/gif/gif_painter.h"
#include "imaging/gif/sub_image.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/icons.h"
#include "platform/gdi/palettes.h"
#include "platform/gdi/scoped.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/icon.h"
#include "platform/graphics/metafile.h"
#include "platform/graphics/picture.h"
#include "platform/gui/paint.h"
#include "platform/gui/window_dc.h"
#include "platform/rtl/sync.h"
#include "platform/rtl/thread.h"

#include <cstring>
#include <limits>
#include <mutex>
#include <optional>

namespace {

// Rows blue, green, red, as the frame import reads them.
TRaster RasterOf(TBitmap& source) {
    TBitmap copy;
    copy.Assign(&source);
    copy.SetPixelFormat(pf24bit);
    TRaster raster;
    raster.Width = copy.Width();
    raster.Height = copy.Height();
    raster.BitsPerPixel = 24;
    raster.Bits.resize(static_cast<size_t>(raster.RowBytes()) * raster.Height);
    for (int y = 0; y < raster.Height; ++y)
        std::memcpy(raster.Bits.data() + static_cast<size_t>(y) * raster.RowBytes(), copy.ScanLine(y),
                    static_cast<size_t>(raster.RowBytes()));
    return raster;
}

// Non-zero where a transparent bitmap shows its transparent colour.
std::vector<uint8_t> TransparentMask(const TRaster& raster, COLORREF key) {
    std::vector<uint8_t> mask(static_cast<size_t>(raster.Width) * raster.Height, 0);
    for (size_t i = 0; i < mask.size(); ++i) {
        const uint8_t* p = raster.Bits.data() + i * 3;
        mask[i] = RGB(p[2], p[1], p[0]) == key ? 1 : 0;
    }
    return mask;
}

// A 24-bit bitmap of the graphic's size with the graphic drawn over the background colour.
std::unique_ptr<TBitmap> DrawnOn(TGraphic& graphic, COLORREF background) {
    auto bitmap = std::make_unique<TBitmap>(graphic.Width(), graphic.Height());
    bitmap->SetPixelFormat(pf24bit);
    bitmap->Canvas().Brush().SetColor(TColor(background));
    bitmap->Canvas().FillRect(TRect{0, 0, graphic.Width(), graphic.Height()});
    bitmap->Canvas().Draw(0, 0, &graphic);
    return bitmap;
}

// Non-zero where the icon's own mask lets the background through.
std::vector<uint8_t> IconMask(TIcon& icon) {
    ICONINFO info;
    if (!GetIconInfo(icon.Handle(), &info)) return {};
    const pw::gdi::OwnedObject<HBITMAP> maskBitmap(info.hbmMask), colorBitmap(info.hbmColor);
    const int w = icon.Width(), h = icon.Height();
    BITMAPINFO bi;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h; // from the top: a mask without colour is twice as tall, the AND half first
    bi.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
    if (GetDIBits(nullptr, maskBitmap.Get(), 0, static_cast<UINT>(h), pixels.data(), &bi, DIB_RGB_COLORS) !=
        h)
        return {};
    std::vector<uint8_t> mask(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i)
        mask[i] = (pixels[i] & 0xFFFFFF) != 0 ? 1 : 0;
    return mask;
}

// Non-zero where the two drawings differ.
std::vector<uint8_t> Differences(TBitmap& a, TBitmap& b) {
    std::vector<uint8_t> mask(static_cast<size_t>(a.Width()) * a.Height());
    for (int y = 0; y < a.Height(); ++y) {
        const auto* rowA = static_cast<const uint8_t*>(a.ScanLine(y));
        const auto* rowB = static_cast<const uint8_t*>(b.ScanLine(y));
        for (int x = 0; x < a.Width() * 3; ++x)
            if (rowA[x] ^ rowB[x]) mask[static_cast<size_t>(y) * a.Width() + x / 3] = 1;
    }
    return mask;
}

struct Registration {
    Registration() { RegisterGIFImage(); }
    ~Registration() { TPicture::UnregisterGraphicClass(&CreateGraphic<TGIFImage>); }
};

} // namespace

void RegisterGIFImage() {
    TPicture::RegisterFileFormat("gif", gif_text::FormatName, &CreateGraphic<TGIFImage>);
    TPicture::RegisterClipboardFormat(GIFClipboardFormat(), &CreateGraphic<TGIFImage>);
}

bool LowColorDisplay() {
    static const bool low = [] {
        const pw::gui::WindowDC screen(nullptr);
        if (!screen.Get()) return false;
        return GetDeviceCaps(screen.Get(), BITSPIXEL) * GetDeviceCaps(screen.Get(), PLANES) < 9;
    }();
    return low;
}

bool TGIFImage::WebPaletteApplies() const {
    return (paintOptions_ & gpWebPalette) && (!(paintOptions_ & gpWebPaletteOnLowColor) || LowColorDisplay());
}

int TGIFImage::Add(TGraphic& source) {
    auto frame = std::make_unique<TGIFSubImage>(this);
    TBitmap* bitmap = dynamic_cast<TBitmap*>(&source);
    std::unique_ptr<TBitmap> drawn;
    std::vector<uint8_t> mask;
    if (!bitmap && !source.Empty()) {
        auto* icon = dynamic_cast<TIcon*>(&source);
        if (icon != nullptr || dynamic_cast<TMetafile*>(&source) != nullptr) {
            // Drawn as on a new bitmap, which starts black.
            drawn = DrawnOn(source, RGB(0, 0, 0));
            if (icon != nullptr)
                mask = IconMask(*icon);
            else
                // What the metafile leaves undrawn shows the background: white in one pass, black in the
                // other.
                mask = Differences(*drawn, *DrawnOn(source, RGB(255, 255, 255)));
        } else {
            // Any other graphic becomes a bitmap as it knows how, keeping its depth, colour table and
            // transparency.
            drawn = std::make_unique<TBitmap>();
            drawn->Assign(&source);
        }
        bitmap = drawn.get();
    }
    if (bitmap && !bitmap->Empty()) {
        const TPixelFormat format = bitmap->PixelFormat();
        std::optional<TRaster> raster;
        if (format == pf1bit || format == pf4bit || format == pf8bit)
            frame->AssignIndexed(*bitmap);
        else
            frame->Assign(*(raster = RasterOf(*bitmap)));
        if (mask.empty() && bitmap->Transparent()) {
            if (!raster) raster = RasterOf(*bitmap);
            mask = TransparentMask(*raster, ColorToRGB(bitmap->TransparentColor()));
        }
        if (!mask.empty()) frame->ApplyMask(mask);
    }
    return Add(std::move(frame));
}

void TGIFImage::Assign(TPersistent* Source) {
    if (Source == this) return;
    if (!Source) {
        Clear();
        return;
    }
    if (auto* gif = dynamic_cast<TGIFImage*>(Source)) {
        Assign(static_cast<const TGIFImage*>(gif));
        Changed(this);
        return;
    }
    if (auto* picture = dynamic_cast<TPicture*>(Source)) {
        Assign(picture->Graphic());
        return;
    }
    if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
        Clear();
        if (!graphic->Empty()) Add(*graphic);
        return;
    }
    TGraphic::Assign(Source);
}

void TGIFImage::AssignTo(TPersistent* Dest) {
    if (auto* bitmap = dynamic_cast<TBitmap*>(Dest)) {
        bitmap->Assign(GetBitmap());
        return;
    }
    TGraphic::AssignTo(Dest);
}

TBitmap* TGIFImage::GetBitmap() {
    if (Empty()) return nullptr;
    if (bitmap_) return bitmap_.get();
    auto bitmap = std::make_unique<TBitmap>();
    TGIFSubImage& first = *images_[0];
    if (first.Width() == Width() && first.Height() == Height() && first.GetBitmap()) {
        bitmap->Assign(first.GetBitmap());
    } else {
        bitmap->SetSize(Width(), Height());
        first.Draw(bitmap->Canvas(), RECT{0, 0, Width(), Height()}, false, false);
    }
    bitmap_ = std::move(bitmap);
    return bitmap_.get();
}

HPALETTE TGIFImage::Palette() const {
    if (paletteBusy_) throw GIFException(gif_text::NoColorTable);
    paletteBusy_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{paletteBusy_};
    if (bitmap_ && bitmap_->Palette()) return bitmap_->Palette();
    if (globalPalette_) return globalPalette_;
    std::vector<PALETTEENTRY> entries;
    if (WebPaletteApplies()) {
        for (COLORREF c : BuildWebPalette())
            entries.push_back(PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), 0});
    } else if (header_.ColorMap().Count() > 0) {
        globalPalette_ = header_.ColorMap().ExportPalette();
        return globalPalette_;
    } else if (images_.Count() > 0 && images_[0]->GetBitmap()) {
        return images_[0]->GetBitmap()->Palette();
    } else {
        return nullptr;
    }
    globalPalette_ = CreatePalette(entries.data(), static_cast<int>(entries.size()));
    return globalPalette_;
}

void TGIFImage::SetPalette(HPALETTE value) {
    if (value == globalPalette_) return;
    if (globalPalette_) DeleteObject(globalPalette_);
    globalPalette_ = value;
    if (bitmap_ && bitmap_->Palette() != value) {
        FreeBitmap();
        SetPaletteModified(true);
        Changed(this);
    }
}

void TGIFImage::FreeBitmap() {
    bool painting;
    {
        std::lock_guard lock(paintersLock_);
        painting = bitmap_ && painter_ && painter_->Canvas() == &bitmap_->Canvas();
    }
    if (painting) StopPainter();
    bitmap_.reset();
}

void TGIFImage::PaintersChanged() {
    {
        std::lock_guard lock(changesMutex_);
        ++changes_;
    }
    changesCv_.notify_all();
}

uint64_t TGIFImage::PainterChanges() {
    std::lock_guard lock(changesMutex_);
    return changes_;
}

void TGIFImage::WaitForPainters(uint64_t seen) {
    // A threaded painter paints and ends only in calls it synchronises with the main thread: there,
    // the wait runs them as they come. Another thread sleeps until one of them has run.
    if (IsMainThread()) {
        CheckSynchronize(std::numeric_limits<int>::max());
        return;
    }
    std::unique_lock lock(changesMutex_);
    changesCv_.wait(lock, [&] { return changes_ != seen; });
}

void TGIFImage::StopPainter() {
    for (;;) {
        const uint64_t seen = PainterChanges();
        std::unique_lock lock(paintersLock_);
        if (!painter_) break;
        painter_->Stop();
        if (!painter_->Threaded()) break;
        lock.unlock();
        WaitForPainters(seen);
    }
    bitmap_.reset();
}

void TGIFImage::PaintStop() {
    for (;;) {
        const uint64_t seen = PainterChanges();
        int threaded = 0;
        {
            std::lock_guard lock(paintersLock_);
            for (auto it = painters_.rbegin(); it != painters_.rend(); ++it) {
                (*it)->Stop();
                if ((*it)->Threaded()) ++threaded;
            }
        }
        if (threaded == 0) break;
        WaitForPainters(seen);
    }
}

void TGIFImage::StartPainter(TCanvas& canvas, TGIFPaintOptions options, const RECT& rect) {
    painter_ = nullptr;
    if (Empty() || rect.left >= rect.right || rect.top >= rect.bottom) return;
    if (images_.Count() == 1) options &= static_cast<TGIFPaintOptions>(~(gpThreaded | gpAnimate));
    // An endless animation inside the caller would never give the paint call back.
    if (!(options & gpThreaded) && gif::PlaysForever(*this, options, false)) options |= gpThreaded;
    auto* painter = new TGIFPainter(&painter_, options, rect, canvas, *this);
    painters_.push_back(painter);
    if (painter->Threaded()) return;
    std::unique_ptr<TGIFPainter> owned(painter);
    owned->Run();
}

void TGIFImage::CopyBitmapTo(TCanvas& canvas, const RECT& rect) {
    if (!bitmap_ || bitmap_->Empty()) return;
    const int w = Width(), h = Height();
    HDC dest = canvas.Handle();
    HDC source = bitmap_->Canvas().Handle();
    if (!(paintOptions_ & gpTile) || w <= 0 || h <= 0) {
        StretchBlt(dest, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, source, 0, 0,
                   bitmap_->Width(), bitmap_->Height(), SRCCOPY);
        return;
    }
    for (int x = rect.left; x < rect.right; x += w)
        for (int y = rect.top; y < rect.bottom; y += h)
            StretchBlt(dest, x, y, w, h, source, 0, 0, bitmap_->Width(), bitmap_->Height(), SRCCOPY);
}

void TGIFImage::Draw(TCanvas& canvas, const TRect& rect) {
    if (drawing_ || Empty()) return;
    drawing_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{drawing_};
    const TGIFPaintOptions options = paintOptions_;
    if (images_.Count() == 1 || !(options & gpAnimate)) {
        images_[0]->Draw(canvas, rect, (options & gpTransparent) != 0, (options & gpTile) != 0);
        return;
    }
    const bool direct = (options & gpDirectPaint) != 0;
    if (bitmap_ && !direct) {
        CopyBitmapTo(canvas, rect);
        return;
    }
    std::lock_guard lock(paintersLock_);
    if (painter_ && painter_->Canvas() == &canvas && EqualRect(painter_->Rect(), rect)) return;
    StopPainter();
    TCanvas* target = &canvas;
    RECT targetRect = rect;
    if (!direct) {
        // What the canvas shows behind the image's transparent parts.
        bitmap_ = std::make_unique<TBitmap>(Width(), Height());
        targetRect = RECT{0, 0, Width(), Height()};
        bitmap_->Canvas().CopyRect(targetRect, canvas, rect);
        target = &bitmap_->Canvas();
    }
    StartPainter(*target, options, targetRect);
    if (painter_) painter_->Start();
    if (direct) return;
    for (;;) {
        const uint64_t seen = PainterChanges();
        if (!painter_ || painter_->Painted()) break;
        WaitForPainters(seen);
    }
    // A painter without a thread has played to the end into the bitmap by now.
    CopyBitmapTo(canvas, rect);
}

[[maybe_unused]] static const Registration registration;
