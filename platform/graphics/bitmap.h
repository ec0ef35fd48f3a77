#pragma once
// Bitmaps: a GDI bitmap (a DIB section, or a monochrome device bitmap) with a canvas, BMP streams,
// pixel formats with colour tables, scan-line access and transparent drawing through a mask.
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/gdi_structs.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/graphic.h"
#include "platform/graphics/graphics_types.h"

namespace pw::graphics {
struct DibImage;
}
class TBitmapCanvas;

class TBitmap : public TGraphic {
public:
    TBitmap();
    TBitmap(int width, int height);
    ~TBitmap() override;
    std::string ClassName() const override { return "TBitmap"; }

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // The overlapping part of the image is kept; new pixels are white.
    void SetWidth(int value) override { SetSize(value, height_); }
    void SetHeight(int value) override { SetSize(width_, value); }
    void SetSize(int width, int height);
    bool Empty() const override { return width_ == 0 || height_ == 0; }

    // pfDevice is 32 bits per pixel; pf15bit, pf16bit and pfCustom raise EInvalidGraphic.
    TPixelFormat PixelFormat() const;
    // Converts the image; colours become the nearest of the new format's colour table.
    void SetPixelFormat(TPixelFormat value);
    // A monochrome bitmap is a device bitmap of black and white, as masks need; a 1-bit image with a
    // black-and-white colour table also counts as monochrome.
    bool Monochrome() const;
    void SetMonochrome(bool value);

    // Row 0 is the top row; the rows lie bottom-up in memory, as in a DIB. Monochrome and device bitmaps
    // become DIBs first. EInvalidGraphicOperation "Scan line index out of range" outside 0..Height-1.
    void* ScanLine(int row);

    TCanvas& Canvas();
    // Null while the bitmap is empty.
    HBITMAP Handle();
    // Takes ownership of a bitmap handle (null empties the bitmap).
    void SetHandle(HBITMAP value);
    // Hands the handle to the caller, who then deletes it; the bitmap is empty afterwards.
    HBITMAP ReleaseHandle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    // A monochrome mask, white where the pixels are TransparentColor; owned by the bitmap.
    HBITMAP MaskHandle();
    HBITMAP ReleaseMaskHandle();
    // Makes the mask from one colour (and keeps it until the image changes).
    void Mask(TColor transparentColor);

    // A palette for the indexed formats (made on first use, owned by the bitmap); null otherwise.
    HPALETTE Palette() const override;
    // Replaces the colour table of an indexed image, keeping the pixel indices; a copy is kept.
    void SetPalette(HPALETTE value) override;
    HPALETTE ReleasePalette();
    // The colour table of the indexed formats.
    const std::vector<RGBQUAD>& ColorTable() const { return colorTable_; }
    void SetColorTable(const std::vector<RGBQUAD>& table);

    // tmAuto: the bottom-left pixel (white for a monochrome bitmap); tmFixed: the colour set.
    TColor TransparentColor();
    void SetTransparentColor(TColor value);
    TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode value);

    // Keeps the image as DIB data and frees the GDI bitmap until it is used again.
    void Dormant();
    // Drops the kept DIB data of a dormant-then-revived image.
    void FreeImage();

    void Assign(TPersistent* Source) override;
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    // CF_BITMAP only: a copy of the clipboard's bitmap, taking the palette's colours when it is indexed.
    void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) override;
    // CF_BITMAP, a copy of the image and a copy of its palette (null for a true-colour image).
    void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) override;
    // A resource of type BITMAP: DIB data, with or without a file header. EResNotFound when missing.
    void LoadFromResourceName(HINSTANCE instance, const std::string& name);

protected:
    void Draw(TCanvas& canvas, const TRect& rect) override;
    void Changed(TObject* sender) override;

private:
    friend class TBitmapCanvas;
    // Allocates a fresh image; pixels are zero (index 0 for indexed formats).
    void NewImage(int width, int height, int bpp, bool mono, const std::vector<RGBQUAD>& table);
    void ReplaceHandle(HBITMAP handle, void* bits, int width, int height, int bpp, bool mono,
                       std::vector<RGBQUAD> table);
    void HandleNeeded();
    void FreeContext();
    void FreeMask();
    void FreePalette() const;
    void LoadDib(const pw::graphics::DibImage& image);
    pw::graphics::DibImage SaveDib();
    // Copies the image into a new one of another depth.
    void Convert(int bpp, bool mono, const std::vector<RGBQUAD>& table);

    int width_ = 0;
    int height_ = 0;
    int bpp_ = 32;
    bool device_ = true; // reported as pfDevice
    bool mono_ = false;
    HBITMAP handle_ = nullptr;
    void* bits_ = nullptr;
    std::vector<RGBQUAD> colorTable_;
    mutable HPALETTE palette_ = nullptr;
    HBITMAP mask_ = nullptr;
    TColor maskColor_ = clNone;
    TColor transparentColor_ = clDefault;
    TTransparentMode transparentMode_ = tmAuto;
    std::unique_ptr<TBitmapCanvas> canvas_;
    std::unique_ptr<pw::graphics::DibImage> dormant_;
};

class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap& bitmap) : bitmap_(bitmap) {}
    ~TBitmapCanvas() override { FreeContext(); }
    std::string ClassName() const override { return "TBitmapCanvas"; }
    // Releases the DC; the next drawing makes a new one.
    void FreeContext();

protected:
    void CreateHandle() override;

private:
    TBitmap& bitmap_;
    HGDIOBJ oldBitmap_ = nullptr;
};
