#include "platform/graphics/bitmap.h"

#include "platform/gdi/scoped.h"
#include "platform/rtl/exception.h"

#include <cstring>
#include <optional>

#include "platform/gdi/bitmaps.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/clipboard_formats.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/dib_format.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/palettes.h"
#include "platform/gdi/shapes.h"
#include "platform/graphics/bmp_format.h"
#include "platform/graphics/graphics_errors.h"
#include "platform/rtl/format.h"
#include "platform/rtl/resource_stream.h"
#include "platform/rtl/scope_guard.h"

using pw::graphics::DibImage;

namespace {

std::vector<RGBQUAD> TableFor(int bpp) {
    return bpp <= 8 ? pw::gdi::DefaultPalette(bpp) : std::vector<RGBQUAD>{};
}

HBITMAP MakeDib(int width, int height, int bpp, const std::vector<RGBQUAD>& table, void** bits) {
    BITMAPINFO256 info;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // bottom-up, as ScanLine expects
    info.bmiHeader.biBitCount = static_cast<WORD>(bpp);
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biClrUsed = static_cast<DWORD>(table.size());
    std::copy(table.begin(), table.end(), info.bmiColors);
    return CreateDIBSection(nullptr, info.Info(), DIB_RGB_COLORS, bits, nullptr, 0);
}

bool IsBlackAndWhite(const std::vector<RGBQUAD>& table) {
    auto same = [](const RGBQUAD& q, BYTE v) { return q.rgbRed == v && q.rgbGreen == v && q.rgbBlue == v; };
    return table.size() == 2 && same(table[0], 0) && same(table[1], 255);
}

} // namespace

// --- TBitmapCanvas

void TBitmapCanvas::CreateHandle() {
    bitmap_.HandleNeeded();
    HDC dc = CreateCompatibleDC(nullptr);
    oldBitmap_ = bitmap_.handle_ ? SelectObject(dc, bitmap_.handle_) : nullptr;
    SetHandle(dc);
}

void TBitmapCanvas::FreeContext() {
    if (!HandleAllocated()) return;
    HDC dc = Handle();
    SetHandle(nullptr);
    if (oldBitmap_) SelectObject(dc, oldBitmap_);
    oldBitmap_ = nullptr;
    DeleteDC(dc);
}

// --- TBitmap

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height) {
    SetSize(width, height);
}

TBitmap::~TBitmap() {
    canvas_.reset();
    FreeMask();
    FreePalette();
    if (handle_) DeleteObject(handle_);
}

TPixelFormat TBitmap::PixelFormat() const {
    if (mono_) return pf1bit;
    if (device_) return pfDevice;
    switch (bpp_) {
    case 1:
        return pf1bit;
    case 4:
        return pf4bit;
    case 8:
        return pf8bit;
    case 24:
        return pf24bit;
    default:
        return pf32bit;
    }
}

void TBitmap::SetPixelFormat(TPixelFormat value) {
    int bpp;
    switch (value) {
    case pfDevice:
    case pf32bit:
        bpp = 32;
        break;
    case pf1bit:
        bpp = 1;
        break;
    case pf4bit:
        bpp = 4;
        break;
    case pf8bit:
        bpp = 8;
        break;
    case pf24bit:
        bpp = 24;
        break;
    default:
        throw EInvalidGraphic(graphics_text::InvalidPixelFormat);
    }
    if (value == PixelFormat()) return;
    if (!mono_ && bpp == bpp_) { // device and 32-bit bitmaps share their layout
        device_ = value == pfDevice;
        Changed(this);
        return;
    }
    Convert(bpp, false, TableFor(bpp));
    device_ = value == pfDevice;
    Changed(this);
}

bool TBitmap::Monochrome() const {
    return mono_ || (bpp_ == 1 && IsBlackAndWhite(colorTable_));
}

void TBitmap::SetMonochrome(bool value) {
    if (value == Monochrome() && value == mono_) return;
    if (value)
        Convert(1, true, TableFor(1));
    else
        Convert(32, false, {});
    device_ = true;
    Changed(this);
}

void TBitmap::NewImage(int width, int height, int bpp, bool mono, const std::vector<RGBQUAD>& table) {
    HBITMAP handle = nullptr;
    void* bits = nullptr;
    if (width > 0 && height > 0) {
        handle =
            mono ? CreateBitmap(width, height, 1, 1, nullptr) : MakeDib(width, height, bpp, table, &bits);
        if (!handle) throw EOutOfResources(graphics_text::OutOfResources);
    }
    ReplaceHandle(handle, bits, width, height, bpp, mono, table);
}

void TBitmap::ReplaceHandle(HBITMAP handle, void* bits, int width, int height, int bpp, bool mono,
                            std::vector<RGBQUAD> table) {
    FreeContext();
    FreeMask();
    FreePalette();
    dormant_.reset();
    if (handle_ && handle_ != handle) DeleteObject(handle_);
    handle_ = handle;
    bits_ = bits;
    width_ = width;
    height_ = height;
    bpp_ = bpp;
    mono_ = mono;
    colorTable_ = std::move(table);
}

void TBitmap::HandleNeeded() {
    if (handle_ || !dormant_) return;
    std::unique_ptr<DibImage> image = std::move(dormant_);
    const bool mono = mono_, device = device_;
    LoadDib(*image);
    if (mono) Convert(1, true, TableFor(1));
    device_ = device;
}

void TBitmap::FreeContext() {
    if (canvas_) canvas_->FreeContext();
}

void TBitmap::FreeMask() {
    if (mask_) DeleteObject(mask_);
    mask_ = nullptr;
}

void TBitmap::FreePalette() const {
    if (palette_) DeleteObject(palette_);
    palette_ = nullptr;
}

void TBitmap::Convert(int bpp, bool mono, const std::vector<RGBQUAD>& table) {
    HandleNeeded();
    if (!handle_) {
        ReplaceHandle(nullptr, nullptr, width_, height_, bpp, mono, table);
        return;
    }
    FreeContext();
    HBITMAP old = handle_;
    handle_ = nullptr; // kept alive for the copy below
    {
        ScopeGuard keepOld([&] { handle_ = old; });
        NewImage(width_, height_, bpp, mono, table);
        keepOld.Dismiss();
    }
    {
        const pw::gdi::MemoryDC from(nullptr, old), to(nullptr, handle_);
        BitBlt(to.Get(), 0, 0, width_, height_, from.Get(), 0, 0, SRCCOPY);
    }
    DeleteObject(old);
}

void TBitmap::SetSize(int width, int height) {
    if (width < 0 || height < 0) throw EInvalidGraphic(graphics_text::InvalidImageSize);
    if (width == width_ && height == height_) return;
    HandleNeeded();
    FreeContext();
    HBITMAP old = handle_;
    const int oldW = width_, oldH = height_;
    handle_ = nullptr;
    {
        // A size the system refuses leaves the bitmap as it was.
        ScopeGuard keepOld([&] { handle_ = old; });
        NewImage(width, height, bpp_, mono_, colorTable_);
        keepOld.Dismiss();
    }
    if (handle_) {
        const pw::gdi::MemoryDC to(nullptr, handle_);
        PatBlt(to.Get(), 0, 0, width, height, WHITENESS);
        if (old) {
            const pw::gdi::MemoryDC from(nullptr, old);
            BitBlt(to.Get(), 0, 0, std::min(width, oldW), std::min(height, oldH), from.Get(), 0, 0, SRCCOPY);
        }
    }
    if (old) DeleteObject(old);
    Changed(this);
}

void* TBitmap::ScanLine(int row) {
    HandleNeeded();
    if (row < 0 || row >= height_ || !handle_) throw EInvalidGraphicOperation(graphics_text::ScanLine);
    if (mono_) {
        Convert(1, false, TableFor(1));
        device_ = false;
    }
    // Pending drawing reaches the bits at the end of each GDI call, so they are current here.
    const size_t stride = static_cast<size_t>(pw::gdi::DibStride(width_, bpp_));
    return static_cast<uint8_t*>(bits_) + stride * static_cast<size_t>(height_ - 1 - row);
}

TCanvas& TBitmap::Canvas() {
    if (!canvas_) {
        canvas_ = std::make_unique<TBitmapCanvas>(*this);
        canvas_->OnChange = [this](TObject*) { Changed(this); };
    }
    return *canvas_;
}

HBITMAP TBitmap::Handle() {
    HandleNeeded();
    return handle_;
}

void TBitmap::SetHandle(HBITMAP value) {
    if (value == handle_ && value) return;
    if (!value) {
        ReplaceHandle(nullptr, nullptr, 0, 0, bpp_, mono_, colorTable_);
        Changed(this);
        return;
    }
    BITMAP bm;
    if (!GetObject(value, sizeof bm, &bm)) throw EInvalidGraphic(graphics_text::InvalidBitmap);
    if (bm.bmBitsPixel == 1 && !bm.bmBits) {
        ReplaceHandle(value, nullptr, bm.bmWidth, bm.bmHeight, 1, true, TableFor(1));
        device_ = true;
    } else {
        // Copied into a bitmap of our own layout: the handle's row order and colour table are not
        // readable through the GDI. Indexed images keep their colours in 32 bits.
        const bool keepDepth = bm.bmBits && (bm.bmBitsPixel == 24 || bm.bmBitsPixel == 32);
        const int bpp = keepDepth ? bm.bmBitsPixel : 32;
        ReplaceHandle(value, nullptr, bm.bmWidth, bm.bmHeight, bpp, false, {});
        Convert(bpp, false, {});
        device_ = !keepDepth;
    }
    Changed(this);
}

void TBitmap::LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) {
    if (format != CF_BITMAP || !data) throw EInvalidGraphic(graphics_text::UnknownClipboardFormat);
    auto copy = static_cast<HBITMAP>(CopyImage(data, IMAGE_BITMAP, 0, 0, 0));
    if (!copy) throw EInvalidGraphic(graphics_text::InvalidBitmap);
    SetHandle(copy);
    if (palette) SetPalette(palette);
}

void TBitmap::SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) {
    format = CF_BITMAP;
    data = CopyImage(Handle(), IMAGE_BITMAP, 0, 0, 0);
    palette = nullptr;
    if (HPALETTE own = Palette()) {
        const std::vector<PALETTEENTRY> entries = PaletteEntries(own);
        palette = CreatePalette(entries.data(), static_cast<int>(entries.size()));
    }
}

HBITMAP TBitmap::ReleaseHandle() {
    HandleNeeded();
    FreeContext();
    HBITMAP h = handle_;
    handle_ = nullptr;
    ReplaceHandle(nullptr, nullptr, 0, 0, bpp_, mono_, colorTable_);
    return h;
}

HBITMAP TBitmap::MaskHandle() {
    if (!mask_ && !Empty()) Mask(TransparentColor());
    return mask_;
}

HBITMAP TBitmap::ReleaseMaskHandle() {
    HBITMAP m = MaskHandle();
    mask_ = nullptr;
    return m;
}

void TBitmap::Mask(TColor transparentColor) {
    FreeMask();
    if (Empty()) return;
    HandleNeeded();
    FreeContext(); // a bitmap is selected into one DC at a time
    HBITMAP mask = CreateBitmap(width_, height_, 1, 1, nullptr);
    if (!mask) throw EOutOfResources(graphics_text::OutOfResources);
    {
        const pw::gdi::MemoryDC from(nullptr, handle_), to(nullptr, mask);
        SetBkColor(from.Get(), ColorToRGB(transparentColor));
        BitBlt(to.Get(), 0, 0, width_, height_, from.Get(), 0, 0, SRCCOPY);
    }
    mask_ = mask;
    maskColor_ = transparentColor;
}

HPALETTE TBitmap::Palette() const {
    if (!palette_ && !mono_ && bpp_ <= 8 && !colorTable_.empty()) {
        std::vector<PALETTEENTRY> entries;
        for (const RGBQUAD& q : colorTable_)
            entries.push_back(PALETTEENTRY{q.rgbRed, q.rgbGreen, q.rgbBlue, 0});
        palette_ = CreatePalette(entries.data(), static_cast<int>(entries.size()));
    }
    return palette_;
}

void TBitmap::SetPalette(HPALETTE value) {
    if (mono_ || bpp_ > 8 || !value || value == palette_) return;
    const std::vector<PALETTEENTRY> entries = PaletteEntries(value);
    std::vector<RGBQUAD> table = colorTable_;
    for (size_t i = 0; i < entries.size() && i < table.size(); ++i)
        table[i] = RGBQUAD{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
    SetColorTable(table);
    SetPaletteModified(true);
}

HPALETTE TBitmap::ReleasePalette() {
    HPALETTE p = Palette();
    palette_ = nullptr;
    return p;
}

void TBitmap::SetColorTable(const std::vector<RGBQUAD>& table) {
    if (mono_ || bpp_ > 8) return;
    std::vector<RGBQUAD> full = table;
    full.resize(size_t(1) << bpp_);
    if (Empty()) {
        FreePalette();
        colorTable_ = std::move(full);
        return;
    }
    DibImage image = SaveDib();
    image.palette = std::move(full);
    const bool device = device_;
    LoadDib(image);
    device_ = device;
    Changed(this);
}

TColor TBitmap::TransparentColor() {
    if (transparentColor_ != clDefault) return transparentColor_;
    if (Monochrome()) return clWhite;
    if (Empty()) return clDefault;
    return Canvas().Pixel(0, height_ - 1);
}

void TBitmap::SetTransparentColor(TColor value) {
    if (value == transparentColor_) return;
    transparentColor_ = value;
    transparentMode_ = value == clDefault ? tmAuto : tmFixed;
    FreeMask();
    Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode value) {
    if (value == transparentMode_) return;
    if (value == tmAuto)
        SetTransparentColor(clDefault);
    else
        SetTransparentColor(TransparentColor());
}

void TBitmap::Dormant() {
    if (!handle_) return;
    auto image = std::make_unique<DibImage>(SaveDib());
    const bool mono = mono_, device = device_;
    ReplaceHandle(nullptr, nullptr, width_, height_, bpp_, mono_, colorTable_);
    mono_ = mono;
    device_ = device;
    dormant_ = std::move(image);
}

void TBitmap::FreeImage() {
    if (handle_) dormant_.reset();
}

void TBitmap::LoadDib(const DibImage& image) {
    NewImage(image.width, image.height, image.bpp, false, image.palette);
    if (handle_) std::memcpy(bits_, image.bits.data(), static_cast<size_t>(image.Stride()) * image.height);
    device_ = false;
}

DibImage TBitmap::SaveDib() {
    HandleNeeded();
    DibImage image;
    image.width = width_;
    image.height = height_;
    image.bpp = bpp_;
    image.palette = colorTable_;
    if (!handle_) return image;
    const size_t size = static_cast<size_t>(image.Stride()) * height_;
    image.bits.resize(size);
    if (mono_) {
        BITMAPINFO256 info;
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = height_;
        info.bmiHeader.biBitCount = 1;
        GetDIBits(nullptr, handle_, 0, static_cast<UINT>(height_), image.bits.data(), info.Info(),
                  DIB_RGB_COLORS);
        image.palette = TableFor(1);
    } else {
        std::memcpy(image.bits.data(), bits_, size);
    }
    return image;
}

void TBitmap::Assign(TPersistent* Source) {
    if (!Source) {
        ReplaceHandle(nullptr, nullptr, 0, 0, bpp_, mono_, colorTable_);
        Changed(this);
        return;
    }
    if (auto* src = dynamic_cast<TBitmap*>(Source)) {
        if (src == this) return;
        src->HandleNeeded();
        if (src->mono_ && src->handle_) {
            src->FreeContext();
            NewImage(src->width_, src->height_, 1, true, src->colorTable_);
            const pw::gdi::MemoryDC from(nullptr, src->handle_), to(nullptr, handle_);
            BitBlt(to.Get(), 0, 0, width_, height_, from.Get(), 0, 0, SRCCOPY);
        } else if (src->handle_) {
            LoadDib(src->SaveDib());
        } else {
            ReplaceHandle(nullptr, nullptr, src->width_, src->height_, src->bpp_, src->mono_,
                          src->colorTable_);
        }
        device_ = src->device_;
        transparentColor_ = src->transparentColor_;
        transparentMode_ = src->transparentMode_;
        TGraphic::SetTransparent(src->Transparent());
        Changed(this);
        return;
    }
    if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
        // A graphic that knows how to become a bitmap (PNG keeps its depth and key, say) copies
        // itself; any other graphic is drawn onto a white image of its size.
        try {
            TPersistent::Assign(Source);
            return;
        } catch (const EConvertError&) {
        }
        NewImage(0, 0, 32, false, {});
        device_ = true;
        SetSize(graphic->Width(), graphic->Height());
        if (!Empty()) {
            Canvas().Brush().SetColor(clWhite);
            Canvas().Brush().SetStyle(bsSolid);
            Canvas().FillRect(Rect(0, 0, width_, height_));
            Canvas().Draw(0, 0, graphic);
        }
        Changed(this);
        return;
    }
    TGraphic::Assign(Source);
}

void TBitmap::LoadFromStream(TStream& stream) {
    if (stream.Size() - stream.Position() <= 0) {
        ReplaceHandle(nullptr, nullptr, 0, 0, bpp_, false, colorTable_);
    } else {
        const DibImage image = pw::graphics::ReadBmpFile(stream);
        LoadDib(image);
    }
    Changed(this);
}

void TBitmap::SaveToStream(TStream& stream) {
    if (Empty()) return;
    pw::graphics::WriteBmpFile(SaveDib(), stream);
}

void TBitmap::LoadFromResourceName(HINSTANCE, const std::string& name) {
    const uint8_t* data = nullptr;
    size_t size = 0;
    if (!FindResourceData(name, RT_BITMAP, data, size))
        throw EResNotFound(Format(rtl_text::ResNotFound, name));
    LoadDib(pw::graphics::ReadDibResource(data, size));
    Changed(this);
}

void TBitmap::Changed(TObject* sender) {
    FreeMask();
    TGraphic::Changed(sender);
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) {
    HandleNeeded();
    if (!handle_) return;
    HBITMAP mask = Transparent() ? MaskHandle() : nullptr; // before the canvas takes the bitmap
    HDC dst = canvas.Handle();
    HDC src = Canvas().Handle();
    std::optional<pw::gdi::SavedDC> saved;
    if (mono_) {
        saved.emplace(dst);
        SetTextColor(dst, RGB(0, 0, 0));
        SetBkColor(dst, RGB(255, 255, 255));
    }
    const int w = rect.Width(), h = rect.Height();
    if (mask && w > 0 && h > 0) {
        if (w == width_ && h == height_) {
            MaskBlt(dst, rect.left, rect.top, w, h, src, 0, 0, mask, 0, 0, MAKEROP4(kDstCopy, SRCCOPY));
        } else {
            // Stretch the image and its mask first: the masked copy itself does not stretch.
            const pw::gdi::MemoryDC imageDc(nullptr,
                                            pw::gdi::OwnedObject(CreateBitmap(w, h, 1, 32, nullptr)));
            const pw::gdi::MemoryDC maskDc(nullptr, pw::gdi::OwnedObject(CreateBitmap(w, h, 1, 1, nullptr)));
            if (imageDc.Bitmap() && maskDc.Bitmap()) {
                const pw::gdi::MemoryDC maskSrc(nullptr, mask);
                SetStretchBltMode(imageDc.Get(), COLORONCOLOR);
                SetStretchBltMode(maskDc.Get(), COLORONCOLOR);
                if (mono_) {
                    SetTextColor(imageDc.Get(), RGB(0, 0, 0));
                    SetBkColor(imageDc.Get(), RGB(255, 255, 255));
                }
                StretchBlt(imageDc.Get(), 0, 0, w, h, src, 0, 0, width_, height_, SRCCOPY);
                StretchBlt(maskDc.Get(), 0, 0, w, h, maskSrc.Get(), 0, 0, width_, height_, SRCCOPY);
                MaskBlt(dst, rect.left, rect.top, w, h, imageDc.Get(), 0, 0, maskDc.Bitmap(), 0, 0,
                        MAKEROP4(kDstCopy, SRCCOPY));
            }
        }
    } else {
        StretchBlt(dst, rect.left, rect.top, w, h, src, 0, 0, width_, height_,
                   static_cast<DWORD>(canvas.CopyMode()));
    }
}
