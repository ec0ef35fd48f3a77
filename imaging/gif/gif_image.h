#pragma once
// A whole GIF image in memory: the header with its global colour table and the frames with their
// extensions. Loads, saves, copies, converts pictures into frames and optimises; as a graphic it
// draws on canvases, animating several frames through painters (one thread each).
#include "imaging/gif/gif_types.h"
#include "imaging/gif/header.h"
#include "imaging/gif/sub_image.h"
#include "platform/graphics/graphic.h"
#include "platform/rtl/wintypes.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class TBitmap;
class TCanvas;
class TGIFPainter;
class TStream;
struct TRaster;

// Pixel data of all frames of one image together may not exceed this.
inline constexpr int64_t kMaxImagePixels = int64_t{1} << 28;
// The class library's "no colour" value: take the header's background colour.
inline constexpr uint32_t clNoneColor = 0x1FFFFFFF;

class TGIFImage : public TGraphic {
public:
    TGIFImage();
    ~TGIFImage() override;
    std::string ClassName() const override { return "TGIFImage"; }

    TGIFHeader& Header() { return header_; }
    const TGIFHeader& Header() const { return header_; }
    TGIFImageList& Images() { return images_; }
    const TGIFImageList& Images() const { return images_; }

    bool Empty() const override { return images_.Count() == 0; }
    bool Equals(const TGIFImage* other) const { return other == this; }
    bool Equals(TGraphic* graphic) override { return graphic == this; }
    int Width() const override { return header_.Width(); }
    int Height() const override { return header_.Height(); }
    // Refused when a frame would stick out.
    void SetWidth(int value) override;
    void SetHeight(int value) override;

    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    // A resource of type "GIF"; EResNotFound when there is none of that name.
    void LoadFromResourceName(HINSTANCE instance, const std::string& name);
    // The form-streaming path: optimises first when the unit says so.
    void WriteData(TStream& stream);

    // The whole GIF stream in the registered "GIF Image" format, or a bitmap (CF_BITMAP) converted into one
    // frame; with no data given, the clipboard's own for the format. GIFException "Unsupported clipboard
    // format" for any other format, or when there is no data.
    void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) override;
    // Nothing for an empty image. Otherwise the rendering fills the three as the bitmap format, and the
    // whole GIF stream is placed on the (open) clipboard in the "GIF Image" format; GIFException "Failed
    // to store GIF on clipboard" when the clipboard does not take it.
    void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) override;

    // Copies another image (nullptr clears).
    void Assign(const TGIFImage* source);
    void Assign(std::nullptr_t) { Assign(static_cast<const TGIFImage*>(nullptr)); }
    // Another GIF image, a picture, or any graphic converted into one frame.
    void Assign(TPersistent* Source) override;
    // Replaces the image by one frame converted from a bitmap.
    void Assign(const TRaster& source);
    // Appends a frame; answers its index.
    int Add(std::unique_ptr<TGIFSubImage> frame);
    int Add(const TRaster& source);
    // A graphic converted into a new frame.
    int Add(TGraphic& source);
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

    // The image drawn in the current frame; by one painter in the current frame of an animation.
    void Draw(TCanvas& canvas, const TRect& rect) override;
    // The logical screen with the first frame, built on first use; nullptr when empty. While an
    // animation draws into it (no gpDirectPaint) it shows the current frame.
    TBitmap* GetBitmap();
    HPALETTE Palette() const override;
    void SetPalette(HPALETTE value) override;
    // Stops every painter and waits for those on threads.
    void PaintStop();
    // Drops the cached rendering, stopping the painter that draws into it.
    void FreeBitmap();
    // The painters drawing this image now, guarded by PaintersLock().
    std::recursive_mutex& PaintersLock() { return paintersLock_; }
    const std::vector<TGIFPainter*>& Painters() const { return painters_; }
    // The painter started by the last Draw (nullptr once it ended).
    TGIFPainter* Painter() const { return painter_; }
    // Whether frames are rendered on the 216-colour web palette.
    bool WebPaletteApplies() const;

    TGIFWarning OnWarning;
    TGIFProgressEvent OnProgress;
    TNotifyEvent OnAnimationStart, OnFramePaint, OnFrameDone, OnAnimationLoop, OnAnimationEnd;

protected:
    void AssignTo(TPersistent* Dest) override;

private:
    friend class TGIFPainter;
    void StopPainter();
    void StartPainter(TCanvas& canvas, TGIFPaintOptions options, const RECT& rect);
    void CopyBitmapTo(TCanvas& canvas, const RECT& rect);
    // A painter ended or painted a frame. Waiters read the count of changes before they look at the
    // painters, and sleep until it moves.
    void PaintersChanged();
    uint64_t PainterChanges();
    void WaitForPainters(uint64_t seen);

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
    bool drawing_ = false;
    mutable bool paletteBusy_ = false;
    mutable HPALETTE globalPalette_ = nullptr;
    std::unique_ptr<TBitmap> bitmap_;
    std::recursive_mutex paintersLock_;
    std::vector<TGIFPainter*> painters_;
    TGIFPainter* painter_ = nullptr;
    std::mutex changesMutex_;
    std::condition_variable changesCv_;
    uint64_t changes_ = 0;
};

// Registers GIF images for the extension "gif" and the clipboard format "GIF Image" with pictures; done
// once at start-up, and harmless again.
void RegisterGIFImage();
// The clipboard format "GIF Image", registered on first use.
UINT GIFClipboardFormat();
// Whether the screen shows at most 256 colours.
bool LowColorDisplay();
