#pragma once
// One frame of a GIF image: its descriptor, local colour table, extensions and pixels (one colour
// index per byte, rows of Width bytes).
#include "imaging/gif/color_map.h"
#include "imaging/gif/extensions.h"
#include "imaging/gif/gif_item.h"
#include "imaging/gif/gif_types.h"
#include "platform/rtl/wintypes.h"

#include <cstdint>
#include <memory>
#include <vector>

struct TRaster;
class TBitmap;
class TCanvas;
namespace gif {
struct FrameRendering;
}

// Frames beyond these sizes are refused rather than allocated.
inline constexpr int64_t kMaxFramePixels = int64_t{16384} * 16384;

class TGIFSubImage : public TGIFItem {
public:
    explicit TGIFSubImage(TGIFImage* image);
    ~TGIFSubImage() override;
    std::string ClassName() const override { return "TGIFSubImage"; }

    uint16_t Left() const { return left_; }
    uint16_t Top() const { return top_; }
    uint16_t Width() const { return width_; }
    uint16_t Height() const { return height_; }
    RECT BoundsRect() const;
    // Reallocates the pixels when the size changes; grows the logical screen to hold the frame.
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int value) { SetBounds(value, top_, width_, height_); }
    void SetTop(int value) { SetBounds(left_, value, width_, height_); }
    void SetWidth(int value) { SetBounds(left_, top_, value, height_); }
    void SetHeight(int value) { SetBounds(left_, top_, width_, value); }

    uint8_t Flags() const { return flags_; }
    bool Interlaced() const { return (flags_ & 0x40) != 0; }
    void SetInterlaced(bool value) { flags_ = value ? (flags_ | 0x40) : (flags_ & ~0x40); }

    TGIFLocalColorMap& ColorMap() { return colorMap_; }
    const TGIFLocalColorMap& ColorMap() const { return colorMap_; }
    // The local map when it has colours, else the global one when it has, else the empty local one.
    TGIFColorMap& ActiveColorMap();
    int BitsPerPixel() const { return colorMap_.BitsPerPixel(); }
    int ColorResolution() const { return colorMap_.BitsPerPixel() - 1; }
    // The colour a pixel value shows; values past the active map read as its colour 0.
    TGIFRGB ColorOf(int index);

    TGIFExtensionList& Extensions() { return extensions_; }
    bool Transparent() const { return transparent_; }
    void SetTransparentFlag(bool value) { transparent_ = value; }
    TGIFGraphicControlExtension* GraphicControlExtension() const { return gce_; }
    void SetGraphicControlExtension(TGIFGraphicControlExtension* value) { gce_ = value; }

    bool Empty() const;
    uint8_t* Data() { return data_.data(); }
    const uint8_t* Data() const { return data_.data(); }
    int64_t DataSize() const { return static_cast<int64_t>(data_.size()); }
    void NewImage();
    void NeedImage();
    uint8_t* ScanLine(int row);
    uint8_t Pixels(int x, int y);
    void SetPixels(int x, int y, uint8_t value);

    int GetVersion() const override;
    void Clear();
    void LoadFromStream(TStream& stream) override;
    // Loads refusing to take the image's pixels beyond its limit, given the pixels held so far.
    void LoadFrame(TStream& stream, int64_t pixelsSoFar);
    void SaveToStream(TStream& stream) override;
    void Assign(const TGIFSubImage& source);

    // Conversion of a bitmap: 8-bit rasters keep their palette; 24-bit ones are reduced with the
    // image's reduction settings (crNone imports every distinct colour, at most 256).
    void Assign(const TRaster& source);
    // Conversion of a bitmap of 1, 4 or 8 bits per pixel: its pixel values and colour table as they are.
    void AssignIndexed(TBitmap& source);
    // Non-zero mask bytes make pixels transparent (black added to the map as transparent colour).
    void ApplyMask(const std::vector<uint8_t>& mask);

    // The frame's pixels as an 8-bit bitmap in its own colours (the web palette when the image asks
    // for it), built on first use and kept until pixels, size or colours change; nullptr when empty.
    TBitmap* GetBitmap();
    // Monochrome, set where the pixel is transparent; nullptr when no pixel is.
    HBITMAP MaskHandle();
    void FreeBitmap() { rendering_.reset(); }
    // Stretched into rect as the logical screen maps there, or tiled in cells of the screen's size.
    void Draw(TCanvas& canvas, const RECT& rect, bool doTransparent, bool doTile);
    RECT ScaleRect(const RECT& rect) const;

    // Optimisation helpers.
    void Crop();
    void MatchPrevious(TGIFSubImage& previous);
    int TransparentIndex() const;

private:
    void DecodeData(TStream& stream);
    void EncodeData(TStream& stream);
    void Import24(const TRaster& source);
    void Import8(const TRaster& source);
    void Progress(TGIFProgressStage stage, int percent);

    TGIFLocalColorMap colorMap_;
    uint16_t left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    uint8_t flags_ = 0;
    bool transparent_ = false;
    TGIFGraphicControlExtension* gce_ = nullptr;
    std::vector<uint8_t> data_;
    TGIFExtensionList extensions_;
    // Shared only so that this header needs no bitmap definitions; one owner.
    std::shared_ptr<gif::FrameRendering> rendering_;
};

// The frames of an image, in stream order.
class TGIFImageList {
public:
    explicit TGIFImageList(TGIFImage* image) : image_(image) {}
    int Count() const { return static_cast<int>(items_.size()); }
    TGIFSubImage* operator[](int index) const { return items_[index].get(); }
    int Add(std::unique_ptr<TGIFSubImage> item);
    void Delete(int index);
    void Clear();
    // The block loop: frames and their extensions up to the trailer.
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream);

private:
    TGIFImage* image_;
    std::vector<std::unique_ptr<TGIFSubImage>> items_;
};
