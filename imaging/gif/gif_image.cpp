#include "imaging/gif/gif_image.h"

#include "imaging/gif/color_reduction.h"
#include "imaging/gif/gif_exception.h"
#include "imaging/gif/gif_painter.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/palettes.h"
#include "platform/graphics/bitmap.h"
#include "platform/rtl/resource_stream.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/stream.h"

#include <algorithm>
#include <mutex>

TGIFImage::TGIFImage()
    : header_(this), images_(this), paintOptions_(DefaultPaintOptions),
      reductionMethod_(DefaultReductionMethod), reductionBits_(std::clamp(DefaultReductionBits, 1, 8)),
      ditherMode_(DefaultDitherMode), compression_(DefaultCompression),
      painterPriority_(DefaultPainterPriority), animationSpeed_(std::max(0, DefaultAnimationSpeed)) {
    Clear();
}

TGIFImage::~TGIFImage() {
    PaintStop();
    {
        // Painters without a thread are running further up this thread's stack; they end when
        // they see the image gone.
        std::lock_guard lock(paintersLock_);
        for (TGIFPainter* painter : painters_)
            painter->ImageGone();
        painters_.clear();
        painter_ = nullptr;
    }
    bitmap_.reset();
    images_.Clear();
    if (globalPalette_) DeleteObject(globalPalette_);
}

void TGIFImage::SetWidth(int value) {
    for (int i = 0; i < images_.Count(); ++i)
        if (images_[i]->Left() + images_[i]->Width() > value) throw GIFException(gif_text::WidthTooSmall);
    if (value == header_.Width()) return;
    header_.SetWidth(static_cast<uint16_t>(std::clamp(value, 0, 0xFFFF)));
    FreeBitmap();
    Changed(this);
}

void TGIFImage::SetHeight(int value) {
    for (int i = 0; i < images_.Count(); ++i)
        if (images_[i]->Top() + images_[i]->Height() > value) throw GIFException(gif_text::HeightTooSmall);
    if (value == header_.Height()) return;
    header_.SetHeight(static_cast<uint16_t>(std::clamp(value, 0, 0xFFFF)));
    FreeBitmap();
    Changed(this);
}

void TGIFImage::SetReductionBits(int value) {
    reductionBits_ = std::clamp(value, 1, 8);
}

void TGIFImage::SetAnimationSpeed(int value) {
    animationSpeed_ = std::max(0, value);
}

void TGIFImage::Warning(TObject* sender, int severity, const std::string& message) {
    if (OnWarning) OnWarning(sender, severity, message);
}

void TGIFImage::Progress(TGIFProgressStage stage, int percent, bool redrawNow, const std::string& message) {
    if (OnProgress) OnProgress(this, stage, percent, redrawNow, message);
}

void TGIFImage::Clear() {
    PaintStop();
    FreeBitmap();
    images_.Clear();
    header_.ColorMap().Clear();
    header_.SetWidth(0);
    header_.SetHeight(0);
    header_.Prepare();
    SetPalette(nullptr);
}

void TGIFImage::LoadFromStream(TStream& stream) {
    Progress(TGIFProgressStage::Starting, 0, false, gif_text::Loading);
    Clear();
    int64_t start = stream.Position();
    ThrowingScopeGuard failed([&] {
        stream.SetPosition(start);
        Progress(TGIFProgressStage::Ending, 0, true, gif_text::Loading);
    });
    header_.LoadFromStream(stream);
    images_.LoadFromStream(stream);
    TGIFTrailer trailer(this);
    trailer.LoadFromStream(stream);
    failed.Dismiss();
    Progress(TGIFProgressStage::Ending, 100, true, gif_text::Loading);
    Changed(this);
}

void TGIFImage::SaveToStream(TStream& stream) {
    Progress(TGIFProgressStage::Starting, 0, false, gif_text::Saving);
    ThrowingScopeGuard failed([&] { Progress(TGIFProgressStage::Ending, 0, false, gif_text::Saving); });
    header_.SaveToStream(stream);
    images_.SaveToStream(stream);
    TGIFTrailer trailer(this);
    trailer.SaveToStream(stream);
    failed.Dismiss();
    Progress(TGIFProgressStage::Ending, 100, false, gif_text::Saving);
}

void TGIFImage::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
    TResourceStream stream(instance, name, "GIF");
    LoadFromStream(stream);
}

void TGIFImage::WriteData(TStream& stream) {
    if (OptimizeOnSave) Optimize(ooAll, crNone, dtNearest, 8);
    SaveToStream(stream);
}

void TGIFImage::Assign(const TGIFImage* source) {
    if (source == this) return;
    if (!source) {
        Clear();
        return;
    }
    Clear();
    // The source's handlers report the copy; the copy ends without them.
    OnProgress = source->OnProgress;
    OnWarning = source->OnWarning;
    Progress(TGIFProgressStage::Starting, 0, false, gif_text::Copying);
    ThrowingScopeGuard failed([&] {
        Progress(TGIFProgressStage::Ending, 0, false, gif_text::Copying);
        OnProgress = nullptr;
        OnWarning = nullptr;
    });
    header_.Assign(source->header_);
    painterPriority_ = source->painterPriority_;
    backgroundColor_ = source->backgroundColor_;
    paintOptions_ = source->paintOptions_;
    reductionMethod_ = source->reductionMethod_;
    ditherMode_ = source->ditherMode_;
    OnAnimationStart = source->OnAnimationStart;
    OnFramePaint = source->OnFramePaint;
    OnFrameDone = source->OnFrameDone;
    OnAnimationLoop = source->OnAnimationLoop;
    OnAnimationEnd = source->OnAnimationEnd;
    const int count = source->images_.Count();
    for (int i = 0; i < count; ++i) {
        auto frame = std::make_unique<TGIFSubImage>(this);
        frame->Assign(*source->images_[i]);
        Add(std::move(frame));
        Progress(TGIFProgressStage::Running, (i + 1) * 100 / count, false, gif_text::Copying);
    }
    failed.Dismiss();
    Progress(TGIFProgressStage::Ending, 100, false, gif_text::Copying);
    OnProgress = nullptr;
    OnWarning = nullptr;
}

void TGIFImage::Assign(const TRaster& source) {
    Clear();
    Add(source);
}

int TGIFImage::Add(std::unique_ptr<TGIFSubImage> frame) {
    if (!frame) throw GIFException(gif_text::UnsupportedObject);
    const int index = images_.Add(std::move(frame));
    FreeBitmap();
    Changed(this);
    return index;
}

int TGIFImage::Add(const TRaster& source) {
    auto frame = std::make_unique<TGIFSubImage>(this);
    frame->Assign(source);
    return Add(std::move(frame));
}

int TGIFImage::GetVersion() const {
    int version = 1;
    for (int i = 0; i < images_.Count() && version < 2; ++i)
        version = std::max(version, images_[i]->GetVersion());
    return version;
}

int TGIFImage::GetColorResolution() const {
    int result = header_.ColorMap().BitsPerPixel() - 1;
    for (int i = 0; i < images_.Count(); ++i)
        result = std::max(result, images_[i]->ColorResolution());
    return result;
}

int TGIFImage::GetBitsPerPixel() const {
    int result = header_.ColorMap().BitsPerPixel();
    for (int i = 0; i < images_.Count(); ++i)
        result = std::max(result, images_[i]->BitsPerPixel());
    return result;
}

COLORREF TGIFImage::GetBackgroundColor() {
    return header_.ColorMap().Colors(header_.BackgroundColorIndex());
}

int64_t TGIFImage::PixelCount() const {
    int64_t total = 0;
    for (int i = 0; i < images_.Count(); ++i)
        total += images_[i]->DataSize();
    return total;
}
