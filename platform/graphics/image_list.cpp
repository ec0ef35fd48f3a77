#include "platform/graphics/image_list.h"

#include <algorithm>

#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/graphics_errors.h"

namespace {

// Where the source is white, the destination stays; elsewhere the brush (P xor D) and S) xor D.
constexpr DWORD kDSPDxax = 0x00E20746;

} // namespace

struct TCustomImageList::Entry {
    TBitmap image;
    TBitmap mask; // empty when the list is not masked
};

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::TCustomImageList(int width, int height, TComponent* AOwner)
    : TComponent(AOwner), width_(std::max(width, 1)), height_(std::max(height, 1)) {}

TChangeLink::~TChangeLink() {
    if (sender_ != nullptr) sender_->UnRegisterChanges(this);
}

void TChangeLink::Change() {
    if (OnChange) OnChange(sender_);
}

TCustomImageList::~TCustomImageList() {
    for (TChangeLink* link : links_)
        link->SetSender(nullptr);
}

void TCustomImageList::RegisterChanges(TChangeLink* Value) {
    if (Value == nullptr || std::find(links_.begin(), links_.end(), Value) != links_.end()) return;
    if (Value->Sender() != nullptr) Value->Sender()->UnRegisterChanges(Value);
    Value->SetSender(this);
    links_.push_back(Value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value) {
    auto it = std::find(links_.begin(), links_.end(), Value);
    if (it == links_.end()) return;
    links_.erase(it);
    Value->SetSender(nullptr);
}

void TCustomImageList::SetWidth(int value) {
    if (value < 1 || value == width_) return;
    width_ = value;
    Clear();
}

void TCustomImageList::SetHeight(int value) {
    if (value < 1 || value == height_) return;
    height_ = value;
    Clear();
}

void TCustomImageList::SetBkColor(TColor value) {
    if (value == bkColor_) return;
    bkColor_ = value;
    Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle value) {
    if (value == drawingStyle_) return;
    drawingStyle_ = value;
    Change();
}

void TCustomImageList::SetImageType(TImageType value) {
    if (value == imageType_) return;
    imageType_ = value;
    Change();
}

void TCustomImageList::SetMasked(bool value) {
    if (value == masked_) return;
    masked_ = value;
    Clear();
}

void TCustomImageList::Change() {
    contentStamp_ = NewContentStamp();
    // A listener may unregister itself, or another, while it hears the change.
    for (TChangeLink* link : std::vector<TChangeLink*>(links_))
        if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->Change();
    if (OnChange) OnChange(this);
}

TCustomImageList::Entry& TCustomImageList::At(int index) {
    if (index < 0 || index >= Count()) throw EInvalidOperation(graphics_text::ImageIndexError);
    return *images_[static_cast<size_t>(index)];
}

std::unique_ptr<TCustomImageList::Entry>
TCustomImageList::MakeEntry(TBitmap* image, TBitmap* mask, int column, TColor maskColor, bool byColor) {
    auto e = std::make_unique<Entry>();
    const TRect tile = Rect(0, 0, width_, height_);
    const TRect source = Rect(column * width_, 0, (column + 1) * width_, height_);
    e->image.SetSize(width_, height_);
    e->image.Canvas().CopyRect(tile, image->Canvas(), source);
    if (!masked_) return e;
    e->mask.SetMonochrome(true);
    e->mask.SetSize(width_, height_);
    HDC maskDc = e->mask.Canvas().Handle();
    PatBlt(maskDc, 0, 0, width_, height_, BLACKNESS); // opaque unless the mask says otherwise
    if (byColor) {
        // Colour to monochrome: pixels of the source's background colour become white.
        HDC src = e->image.Canvas().Handle();
        const COLORREF old = ::SetBkColor(src, ColorToRGB(maskColor));
        BitBlt(maskDc, 0, 0, width_, height_, src, 0, 0, SRCCOPY);
        ::SetBkColor(src, old);
    } else if (mask && !mask->Empty()) {
        HDC src = mask->Canvas().Handle();
        const COLORREF old = ::SetBkColor(src, RGB(255, 255, 255));
        BitBlt(maskDc, 0, 0, width_, height_, src, source.left, source.top, SRCCOPY);
        ::SetBkColor(src, old);
    }
    return e;
}

int TCustomImageList::Add(TBitmap* image, TBitmap* mask) {
    if (!image || image->Empty()) throw EInvalidOperation(graphics_text::InvalidImageSize);
    const int first = Count();
    const int columns = std::max(1, image->Width() / width_);
    for (int c = 0; c < columns; ++c)
        images_.push_back(MakeEntry(image, mask, c, clNone, false));
    Change();
    return first;
}

int TCustomImageList::AddMasked(TBitmap* image, TColor maskColor) {
    if (!image || image->Empty()) throw EInvalidOperation(graphics_text::InvalidImageSize);
    const int first = Count();
    const int columns = std::max(1, image->Width() / width_);
    for (int c = 0; c < columns; ++c)
        images_.push_back(MakeEntry(image, nullptr, c, maskColor, true));
    Change();
    return first;
}

void TCustomImageList::Replace(int index, TBitmap* image, TBitmap* mask) {
    At(index);
    if (!image || image->Empty()) throw EInvalidOperation(graphics_text::ReplaceImage);
    images_[static_cast<size_t>(index)] = MakeEntry(image, mask, 0, clNone, false);
    Change();
}

void TCustomImageList::Delete(int index) {
    At(index);
    images_.erase(images_.begin() + index);
    Change();
}

void TCustomImageList::Clear() {
    images_.clear();
    Change();
}

void TCustomImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) {
    Draw(canvas, x, y, index, drawingStyle_, imageType_, enabled);
}

void TCustomImageList::Draw(TCanvas& canvas, int x, int y, int index, TDrawingStyle style, TImageType type,
                            bool enabled) {
    if (index < 0 || index >= Count()) return;
    Entry& e = *images_[static_cast<size_t>(index)];
    HDC dc = canvas.Handle();
    if (enabled)
        DrawEnabled(dc, x, y, e, style, type);
    else
        DrawDisabled(dc, x, y, e);
}

void TCustomImageList::DrawEnabled(HDC dc, int x, int y, Entry& e, TDrawingStyle style, TImageType type) {
    const bool hasMask = masked_ && !e.mask.Empty();
    if (type == itMask) {
        if (!hasMask) {
            PatBlt(dc, x, y, width_, height_, BLACKNESS);
            return;
        }
        const pw::gdi::SavedDC saved(dc);
        ::SetTextColor(dc, RGB(0, 0, 0));
        ::SetBkColor(dc, RGB(255, 255, 255));
        BitBlt(dc, x, y, width_, height_, e.mask.Canvas().Handle(), 0, 0, SRCCOPY);
        return;
    }
    HBITMAP mask = hasMask ? e.mask.Handle() : nullptr;
    HDC src = e.image.Canvas().Handle();
    if (!mask) {
        BitBlt(dc, x, y, width_, height_, src, 0, 0, SRCCOPY);
        return;
    }
    if (bkColor_ != clNone && style != dsTransparent) {
        const pw::gdi::OwnedObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(bkColor_)));
        const RECT r = Rect(x, y, x + width_, y + height_);
        FillRect(dc, &r, brush.Get());
    }
    MaskBlt(dc, x, y, width_, height_, src, 0, 0, mask, 0, 0, MAKEROP4(kDstCopy, SRCCOPY));
}

// The image's shape embossed in the button colours: every pixel that is not white (or transparent)
// painted in the highlight colour one pixel down and right, then in the shadow colour in place.
void TCustomImageList::DrawDisabled(HDC dc, int x, int y, Entry& e) {
    TBitmap shape;
    shape.SetMonochrome(true);
    shape.SetSize(width_, height_); // white
    HDC shapeDc = shape.Canvas().Handle();
    HDC src = e.image.Canvas().Handle();
    {
        const COLORREF old = ::SetBkColor(src, RGB(255, 255, 255));
        if (masked_ && !e.mask.Empty())
            MaskBlt(shapeDc, 0, 0, width_, height_, src, 0, 0, e.mask.Handle(), 0, 0,
                    MAKEROP4(kDstCopy, SRCCOPY));
        else
            BitBlt(shapeDc, 0, 0, width_, height_, src, 0, 0, SRCCOPY);
        ::SetBkColor(src, old);
    }
    const pw::gdi::SavedDC saved(dc);
    ::SetTextColor(dc, RGB(255, 255, 255));
    ::SetBkColor(dc, RGB(0, 0, 0));
    const struct {
        int color;
        int offset;
    } passes[] = {{COLOR_BTNHIGHLIGHT, 1}, {COLOR_BTNSHADOW, 0}};
    for (const auto& pass : passes) {
        const pw::gdi::OwnedObject<HBRUSH> brush(CreateSolidBrush(GetSysColor(pass.color)));
        const pw::gdi::SelectedObject selected(dc, brush.Get());
        BitBlt(dc, x + pass.offset, y + pass.offset, width_, height_, shapeDc, 0, 0, kDSPDxax);
    }
}

void TCustomImageList::GetBitmap(int index, TBitmap* image) {
    if (!image || index < 0 || index >= Count()) return;
    image->SetSize(width_, height_);
    image->Canvas().Brush().SetColor(clWhite);
    image->Canvas().FillRect(Rect(0, 0, width_, height_));
    Draw(image->Canvas(), 0, 0, index, true);
}
