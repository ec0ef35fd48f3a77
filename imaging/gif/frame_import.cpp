#include "imaging/gif/color_reduction.h"
#include "imaging/gif/gif_exception.h"
#include "imaging/gif/gif_image.h"
#include "imaging/gif/sub_image.h"
#include "platform/graphics/bitmap.h"

#include <algorithm>

void TGIFSubImage::Assign(const TRaster& source) {
    Clear();
    if (source.Empty()) return;
    if (source.BitsPerPixel == 8) {
        Import8(source);
        return;
    }
    TGIFImage* image = Image();
    TRaster reduced =
        ReduceBitmapColors(source, image ? image->ReductionMethod() : crNone,
                           image ? image->DitherMode() : dtNearest, image ? image->ReductionBits() : 8);
    if (reduced.Empty()) return;
    if (reduced.BitsPerPixel == 8)
        Import8(reduced);
    else
        Import24(reduced);
}

void TGIFSubImage::AssignIndexed(TBitmap& source) {
    Clear();
    if (source.Empty()) return;
    const TPixelFormat format = source.PixelFormat();
    const int bits = format == pf1bit ? 1 : format == pf4bit ? 4 : 8;
    SetBounds(0, 0, source.Width(), source.Height());
    Progress(TGIFProgressStage::Starting, 0);
    if (bits == 8)
        colorMap_.ImportDIBColors(source.Canvas().Handle());
    else
        colorMap_.ImportPalette(source.Palette());
    for (int y = 0; y < height_; ++y) {
        const auto* in = static_cast<const uint8_t*>(source.ScanLine(y));
        uint8_t* out = data_.data() + static_cast<size_t>(y) * width_;
        for (int x = 0; x < width_; ++x)
            // The leftmost pixel in the highest bits.
            out[x] = bits == 8   ? in[x]
                     : bits == 4 ? static_cast<uint8_t>((in[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F)
                                 : static_cast<uint8_t>((in[x / 8] >> (7 - x % 8)) & 1);
        const bool report = bits == 8 ? (y & 0xFF) % 32 == 0 : y % 32 == 0;
        if (report) Progress(TGIFProgressStage::Running, y * 100 / height_);
    }
    Progress(TGIFProgressStage::Ending, 100);
}

void TGIFSubImage::Import8(const TRaster& source) {
    SetBounds(0, 0, source.Width, source.Height);
    Progress(TGIFProgressStage::Starting, 0);
    for (COLORREF c : source.Palette)
        colorMap_.Add(c);
    for (int y = 0; y < source.Height; ++y) {
        std::copy_n(source.Bits.data() + static_cast<size_t>(y) * source.Width, source.Width,
                    data_.data() + static_cast<size_t>(y) * width_);
        if ((y & 0xFF) % 32 == 0) Progress(TGIFProgressStage::Running, y * 100 / source.Height);
    }
    Progress(TGIFProgressStage::Ending, 100);
}

void TGIFSubImage::Import24(const TRaster& source) {
    SetBounds(0, 0, source.Width, source.Height);
    Progress(TGIFProgressStage::Starting, 0);
    // The colours met most recently, searched backwards from the last hit; the map is built with
    // colours read blue first and swapped at the end.
    struct Entry {
        COLORREF Color;
        int Index;
    };
    Entry cache[8];
    int cacheCount = 0, last = 0, next = 0;
    for (int y = 0; y < source.Height; ++y) {
        const uint8_t* in = source.Bits.data() + static_cast<size_t>(y) * source.RowBytes();
        uint8_t* out = data_.data() + static_cast<size_t>(y) * width_;
        for (int x = 0; x < source.Width; ++x, in += 3) {
            COLORREF c = RGB(in[0], in[1], in[2]);
            int found = -1;
            for (int k = 0, i = last; k < cacheCount; ++k) {
                if (cache[i].Color == c) {
                    found = cache[i].Index;
                    last = i;
                    break;
                }
                i = i == 0 ? cacheCount - 1 : i - 1;
            }
            if (found < 0) {
                found = colorMap_.AddUnique(c);
                cache[next] = {c, found};
                last = next;
                next = (next + 1) % 8;
                cacheCount = std::min(cacheCount + 1, 8);
            }
            out[x] = static_cast<uint8_t>(found);
        }
        if (y % 32 == 0) Progress(TGIFProgressStage::Running, y * 100 / source.Height);
    }
    for (int i = 0; i < colorMap_.Count(); ++i) {
        COLORREF c = colorMap_.Colors(i);
        colorMap_.SetColors(i, RGB(GetBValue(c), GetGValue(c), GetRValue(c)));
    }
    Progress(TGIFProgressStage::Ending, 100);
}

void TGIFSubImage::Progress(TGIFProgressStage stage, int percent) {
    if (Image()) Image()->Progress(stage, percent, false, gif_text::Converting);
}

void TGIFSubImage::ApplyMask(const std::vector<uint8_t>& mask) {
    if (Empty() || mask.size() < data_.size()) return;
    FreeBitmap();
    colorMap_.Optimize();
    if (colorMap_.Count() == 0 || colorMap_.Count() >= 256) return;
    const int index = colorMap_.Add(RGB(0, 0, 0));
    bool any = false;
    for (size_t i = 0; i < data_.size(); ++i)
        if (mask[i]) {
            data_[i] = static_cast<uint8_t>(index);
            any = true;
        }
    if (!any) {
        colorMap_.Delete(index);
        return;
    }
    auto gce = std::make_unique<TGIFGraphicControlExtension>(this);
    gce->SetTransparentColorIndex(index);
    gce->SetTransparent(true);
    if (!gce_) gce_ = gce.get();
    extensions_.Add(std::move(gce));
}
