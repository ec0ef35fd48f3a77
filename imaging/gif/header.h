#pragma once
// The signature, logical screen descriptor and global colour table of a GIF stream.
#include "imaging/gif/color_map.h"
#include "imaging/gif/gif_item.h"

#include <cstdint>

class TGIFHeader : public TGIFItem {
public:
    explicit TGIFHeader(TGIFImage* image);
    std::string ClassName() const override { return "TGIFHeader"; }

    TGIFGlobalColorMap& ColorMap() { return colorMap_; }
    const TGIFGlobalColorMap& ColorMap() const { return colorMap_; }

    uint16_t Width() const { return width_; }
    uint16_t Height() const { return height_; }
    void SetWidth(uint16_t value) { width_ = value; }
    void SetHeight(uint16_t value) { height_ = value; }
    uint8_t Flags() const { return flags_; }
    uint8_t BackgroundColorIndex() const { return backgroundColorIndex_; }
    void SetBackgroundColorIndex(uint8_t value) { backgroundColorIndex_ = value; }
    uint8_t AspectRatio() const { return aspectRatio_; }
    void SetAspectRatio(uint8_t value) { aspectRatio_ = value; }

    int GetVersion() const override;
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    // Recomputes Flags from the global map and the image's colour depth.
    void Prepare();
    void Clear();
    void Assign(const TGIFHeader& source);
    void Assign(const TGIFColorMap& source);

private:
    TGIFGlobalColorMap colorMap_;
    uint16_t width_ = 0;
    uint16_t height_ = 0;
    uint8_t flags_ = 0;
    uint8_t backgroundColorIndex_ = 0;
    uint8_t aspectRatio_ = 0;
};
