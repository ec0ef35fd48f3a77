#pragma once
// A whole GIF image in memory: the header with its global colour table and the frames with their
// extensions. Loads, saves, copies, converts pictures into frames and optimises.
//
// Drawing, the cached bitmap, palettes and the painter threads attach here once the platform's
// graphic classes exist; the codec below them depends only on the runtime.
#include "imaging/gif/gif_types.h"
#include "imaging/gif/header.h"
#include "imaging/gif/sub_image.h"
#include "platform/rtl/object.h"
#include "platform/rtl/wintypes.h"

#include <cstdint>
#include <memory>
#include <string>

class TStream;
struct TRaster;

// Pixel data of all frames of one image together may not exceed this.
inline constexpr int64_t kMaxImagePixels = int64_t{1} << 28;
// The class library's "no colour" value: take the header's background colour.
inline constexpr uint32_t clNoneColor = 0x1FFFFFFF;

class TGIFImage : public TObject {
public:
    TGIFImage();
    ~TGIFImage() override;
    std::string ClassName() const override { return "TGIFImage"; }

    TGIFHeader& Header() { return header_; }
    const TGIFHeader& Header() const { return header_; }
    TGIFImageList& Images() { return images_; }
    const TGIFImageList& Images() const { return images_; }

    bool Empty() const { return images_.Count() == 0; }
    bool Equals(const TGIFImage* other) const { return other == this; }
    int Width() const { return header_.Width(); }
    int Height() const { return header_.Height(); }
    // Refused when a frame would stick out.
    void SetWidth(int value);
    void SetHeight(int value);

    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream);
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);
    // The form-streaming path: optimises first when the unit says so.
    void WriteData(TStream& stream);

    // Copies another image (nullptr clears).
    void Assign(const TGIFImage* source);
    // Replaces the image by one frame converted from a bitmap.
    void Assign(const TRaster& source);
    // Appends a frame; answers its index.
    int Add(std::unique_ptr<TGIFSubImage> frame);
    int Add(const TRaster& source);
    void Clear();

    void Warning(TObject* sender, int severity, const std::string& message);
    void Progress(TGIFProgressStage stage, int percent, bool redrawNow, const std::string& message);

    int GetVersion() const;
    int GetColorResolution() const;
    int GetBitsPerPixel() const;
    COLORREF GetBackgroundColor();
    int64_t PixelCount() const;

    void Optimize(TGIFOptimizeOptions options, TColorReductionMethod method, TDitherMethod ditherMode,
                  int reductionBits);

    TGIFPaintOptions PaintOptions() const { return paintOptions_; }
    void SetPaintOptions(TGIFPaintOptions value) { paintOptions_ = value; }
    TColorReductionMethod ReductionMethod() const { return reductionMethod_; }
    void SetReductionMethod(TColorReductionMethod value) { reductionMethod_ = value; }
    int ReductionBits() const { return reductionBits_; }
    // More than 8 bits would ask for more than 256 colours.
    void SetReductionBits(int value);
    TDitherMethod DitherMode() const { return ditherMode_; }
    void SetDitherMode(TDitherMethod value) { ditherMode_ = value; }
    TGIFCompression Compression() const { return compression_; }
    void SetCompression(TGIFCompression value) { compression_ = value; }
    int AnimationSpeed() const { return animationSpeed_; }
    // A negative speed would make every delay negative.
    void SetAnimationSpeed(int value);
    int PainterPriority() const { return painterPriority_; }
    void SetPainterPriority(int value) { painterPriority_ = value; }
    uint32_t BackgroundColor() const { return backgroundColor_; }
    void SetBackgroundColor(uint32_t value) { backgroundColor_ = value; }

    TGIFWarning OnWarning;
    TGIFProgressEvent OnProgress;
    TNotifyEvent OnAnimationStart, OnFramePaint, OnFrameDone, OnAnimationLoop, OnAnimationEnd;

private:
    TGIFHeader header_;
    TGIFImageList images_;
    TGIFPaintOptions paintOptions_;
    TColorReductionMethod reductionMethod_;
    int reductionBits_;
    TDitherMethod ditherMode_;
    TGIFCompression compression_;
    int painterPriority_;
    int animationSpeed_;
    uint32_t backgroundColor_ = clNoneColor;
};
