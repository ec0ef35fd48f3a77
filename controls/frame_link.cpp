#include "controls/frame_link.h"

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/graphics/graphics_objects.h"
#include "platform/graphics/graphics_types.h"
#include "platform/gui/message_views.h"
#include "platform/gui/messages.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "platform/gui/window_dc.h"
#include "platform/vcl/win_control.h"

namespace {

constexpr UINT kColorMessages[] = {CN_CTLCOLOREDIT, CN_BASE + WM_CTLCOLORLISTBOX};

void FillLine(HDC dc, int left, int top, int right, int bottom, COLORREF color) {
    const pw::gdi::OwnedObject<HBRUSH> brush(CreateSolidBrush(color));
    RECT r{left, top, right, bottom};
    FillRect(dc, &r, brush.Get());
}

// A one-pixel ring just inside r.
void Ring(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
    FillLine(dc, r.left, r.top, r.right - 1, r.top + 1, topLeft);
    FillLine(dc, r.left, r.top, r.left + 1, r.bottom - 1, topLeft);
    FillLine(dc, r.left, r.bottom - 1, r.right, r.bottom, bottomRight);
    FillLine(dc, r.right - 1, r.top, r.right, r.bottom, bottomRight);
}

} // namespace

TRzFrameLink::TRzFrameLink(TWinControl& Control, FramePlace Place) : control_(Control), place_(Place) {}

TRzFrameLink::~TRzFrameLink() {
    if (controller_) controller_->Detach(this);
}

void TRzFrameLink::SetController(TRzFrameController* Value) {
    if (controller_ == Value) return;
    if (controller_) controller_->Detach(this);
    controller_ = Value;
    if (controller_) controller_->Attach(this);
}

void TRzFrameLink::TakeFrom(const TRzFrameController& Source) {
    frameStyle_ = Source.FrameStyle();
    frameColor_ = Source.FrameColor();
    focusColor_ = Source.FocusColor();
    control_.SetColor(Source.Color());
    if (frameVisible_ != Source.FrameVisible()) {
        frameVisible_ = Source.FrameVisible();
        BorderChanged();
    }
    Redraw();
}

void TRzFrameLink::SetFrameStyle(TFrameStyle Value) {
    if (frameStyle_ == Value) return;
    frameStyle_ = Value;
    Redraw();
}

void TRzFrameLink::SetFrameVisible(bool Value) {
    if (frameVisible_ == Value) return;
    frameVisible_ = Value;
    BorderChanged();
    Redraw();
}

void TRzFrameLink::SetFrameColor(TColor Value) {
    if (frameColor_ == Value) return;
    frameColor_ = Value;
    Redraw();
}

void TRzFrameLink::SetFocusColor(TColor Value) {
    if (focusColor_ == Value) return;
    focusColor_ = Value;
    Redraw();
}

TColor TRzFrameLink::BackgroundColor() const {
    return control_.HandleAllocated() && control_.Focused() ? focusColor_ : control_.Color();
}

void TRzFrameLink::AdjustParams(TCreateParams& Params) const {
    if (place_ != FramePlace::Border) return;
    if (frameVisible_) {
        Params.Style |= WS_BORDER;
        Params.ExStyle &= ~WS_EX_CLIENTEDGE;
    } else {
        Params.Style &= ~WS_BORDER;
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    }
}

void TRzFrameLink::BorderChanged() {
    if (place_ != FramePlace::Border || !control_.HandleAllocated()) return;
    HWND h = control_.Handle();
    TCreateParams params;
    params.Style = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
    params.ExStyle = static_cast<DWORD>(GetWindowLong(h, GWL_EXSTYLE));
    AdjustParams(params);
    SetWindowLong(h, GWL_STYLE, static_cast<LONG>(params.Style));
    SetWindowLong(h, GWL_EXSTYLE, static_cast<LONG>(params.ExStyle));
    SetWindowPos(h, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TRzFrameLink::Redraw() {
    if (!control_.HandleAllocated()) return;
    RedrawWindow(control_.Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
}

HBRUSH TRzFrameLink::Brush(TColor Color) {
    if (!brush_ || brushColor_ != Color) {
        brush_.Reset(CreateSolidBrush(ColorToRGB(Color)));
        brushColor_ = Color;
    }
    return brush_.Get();
}

bool TRzFrameLink::Before(TMessage& Message) {
    for (UINT msg : kColorMessages) {
        if (Message.Msg != msg) continue;
        // A disabled control keeps the system's grey.
        if (!control_.Enabled()) return false;
        HDC dc = TWMCtlColor(Message).ChildDC();
        const TColor color = BackgroundColor();
        SetTextColor(dc, ColorToRGB(control_.Font().Color()));
        SetBkColor(dc, ColorToRGB(color));
        Message.Result = reinterpret_cast<LRESULT>(Brush(color));
        return true;
    }
    return false;
}

void TRzFrameLink::After(const TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCPAINT:
        if (place_ == FramePlace::Border) PaintFrame();
        break;
    case WM_PAINT:
        if (place_ == FramePlace::Client) PaintFrame();
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (focusColor_ != control_.Color()) Redraw();
        break;
    default:
        break;
    }
}

void TRzFrameLink::PaintFrame() {
    if (!frameVisible_ || !control_.HandleAllocated()) return;
    HWND h = control_.Handle();
    RECT w;
    if (!GetWindowRect(h, w)) return;
    RECT r{0, 0, w.right - w.left, w.bottom - w.top};
    // The client-area edge of a combo box is drawn in client coordinates, where the window's
    // rectangle starts as well since it has no border.
    using pw::gui::WindowDC;
    const WindowDC window(h, place_ == FramePlace::Border ? WindowDC::Area::Window : WindowDC::Area::Client);
    HDC dc = window.Get();
    if (!dc) return;
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF back = ColorToRGB(BackgroundColor());
    switch (frameStyle_) {
    case fsNone:
        Ring(dc, r, back, back);
        break;
    case fsFlat:
        Ring(dc, r, ColorToRGB(frameColor_), ColorToRGB(frameColor_));
        break;
    case fsLowered:
        Ring(dc, r, shadow, light);
        break;
    case fsRaised:
        Ring(dc, r, light, shadow);
        break;
    }
    if (place_ == FramePlace::Client) {
        // The second ring of the control's own sunken edge gives way to the background.
        InflateRect(r, -1, -1);
        Ring(dc, r, back, back);
    }
}
