#include "platform/stdctrls/image.h"

#include "platform/graphics/graphic.h"
#include "platform/graphics/picture.h"

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), picture_(std::make_unique<TPicture>()) {
    controlStyle_ = TControlStyle{csCaptureMouse, csClickEvents, csReplicatable, csDoubleClicks};
    SetBounds(0, 0, 105, 105);
    picture_->OnChange = [this](TObject*) { PictureChanged(); };
}

TImage::~TImage() {
    picture_->OnChange = nullptr;
}

void TImage::SetPicture(TPicture* Value) {
    picture_->Assign(Value);
}

void TImage::SetStretch(bool Value) {
    if (stretch_ == Value) return;
    stretch_ = Value;
    Invalidate();
}

void TImage::SetCenter(bool Value) {
    if (center_ == Value) return;
    center_ = Value;
    Invalidate();
}

void TImage::SetProportional(bool Value) {
    if (proportional_ == Value) return;
    proportional_ = Value;
    Invalidate();
}

void TImage::SetTransparent(bool Value) {
    if (transparent_ == Value) return;
    transparent_ = Value;
    PictureChanged();
}

void TImage::SetAutoSize(bool Value) {
    autoSize_ = Value;
    PictureChanged();
}

void TImage::PictureChanged() {
    TGraphic* g = picture_->Graphic();
    if (g && !g->Empty()) {
        if (g->Transparent() != transparent_) g->SetTransparent(transparent_);
        if (autoSize_) SetBounds(Left(), Top(), g->Width(), g->Height());
    }
    // An opaque picture that covers the control leaves nothing of the parent to draw.
    if (g && !transparent_ && (stretch_ || (g->Width() >= Width() && g->Height() >= Height())))
        controlStyle_.Include(csOpaque);
    else
        controlStyle_.Exclude(csOpaque);
    Invalidate();
}

TRect TImage::DestRect() const {
    const TGraphic* g = picture_->Graphic();
    int w = g ? g->Width() : 0, h = g ? g->Height() : 0;
    const int cw = Width(), ch = Height();
    if (stretch_ || (proportional_ && (w > cw || h > ch))) {
        if (proportional_ && w > 0 && h > 0) {
            // Scale to fit whole, keeping the picture's shape.
            if (static_cast<long long>(cw) * h > static_cast<long long>(ch) * w) {
                w = ch * w / h;
                h = ch;
            } else {
                h = cw * h / w;
                w = cw;
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    TRect r{0, 0, w, h};
    if (center_) {
        r.left = (cw - w) / 2;
        r.top = (ch - h) / 2;
        r.right = r.left + w;
        r.bottom = r.top + h;
    }
    return r;
}

void TImage::Paint() {
    TGraphic* g = picture_->Graphic();
    if (!g || g->Empty()) return;
    Canvas().StretchDraw(DestRect(), g);
}
