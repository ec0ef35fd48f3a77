#include "platform/vcl/custom_control.h"

#include "platform/gdi/dc.h"
#include "platform/gdi/regions.h"
#include "platform/gui/paint.h"

namespace {

// A canvas lent a DC for one paint; it gives it back however the paint ends.
class LentDC {
public:
    LentDC(TControlCanvas& canvas, HDC dc) : canvas_(canvas) {
        canvas_.FreeHandle();
        canvas_.Lock();
        canvas_.SetHandle(dc);
    }
    ~LentDC() {
        canvas_.SetHandle(nullptr);
        canvas_.Unlock();
    }
    LentDC(const LentDC&) = delete;
    LentDC& operator=(const LentDC&) = delete;

private:
    TControlCanvas& canvas_;
};

} // namespace

TControlCanvas::~TControlCanvas() {
    FreeHandle();
}

void TControlCanvas::SetControl(TControl* AControl) {
    if (control_ == AControl) return;
    FreeHandle();
    control_ = AControl;
}

void TControlCanvas::FreeHandle() {
    if (!dc_) return;
    SetHandle(nullptr);
    ReleaseDC(dcWindow_, dc_);
    dc_ = nullptr;
    dcWindow_ = nullptr;
}

void TControlCanvas::CreateHandle() {
    if (!control_) return;
    auto* win = dynamic_cast<TWinControl*>(control_);
    if (win) {
        dcWindow_ = win->Handle();
        dc_ = GetDC(dcWindow_);
    } else {
        TWinControl* parent = control_->Parent();
        if (!parent || !parent->HandleAllocated()) return;
        dcWindow_ = parent->Handle();
        dc_ = GetDC(dcWindow_);
        if (!dc_) return;
        // A windowless control draws in its own coordinates, clipped to its bounds in the parent.
        SetViewportOrgEx(dc_, control_->Left(), control_->Top(), nullptr);
        IntersectClipRect(dc_, 0, 0, control_->Width(), control_->Height());
    }
    if (dc_) SetHandle(dc_);
}

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), canvas_(std::make_unique<TControlCanvas>()) {
    canvas_->SetControl(this);
}

TCustomControl::~TCustomControl() {
    canvas_->FreeHandle();
    canvas_->SetControl(nullptr);
}

void TCustomControl::PaintWindow(HDC DC) {
    const LentDC lent(*canvas_, DC);
    Paint();
}

void TCustomControl::WndProc(TMessage& Message) {
    if (Message.Msg == WM_DESTROY) canvas_->FreeHandle();
    if (Message.Msg != WM_PAINT) {
        TWinControl::WndProc(Message);
        return;
    }
    // Drawn by Paint, children or not.
    controlState_.Include(csCustomPaint);
    auto alive = AliveToken();
    TWinControl::WndProc(Message);
    if (!alive.expired()) controlState_.Exclude(csCustomPaint);
}

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), canvas_(std::make_unique<TControlCanvas>()) {
    canvas_->SetControl(this);
}

TGraphicControl::~TGraphicControl() {
    canvas_->FreeHandle();
    canvas_->SetControl(nullptr);
}

void TGraphicControl::WndProc(TMessage& Message) {
    if (Message.Msg == WM_PAINT && TWMPaint(Message).DC()) return WMPaint(TWMPaint(Message));
    TControl::WndProc(Message);
}

// A parent paints its windowless children on its own DC.
void TGraphicControl::WMPaint(TWMPaint Message) {
    const LentDC lent(*canvas_, Message.DC());
    Paint();
}
