// The customizing window's drop-down button.
#include "bars/customizing/checkable_button.h"

#include <optional>

#include "bars/core/bar_routines.h"
#include "bars/core/popup_menu.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/text.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/graphics_types.h"
#include "platform/gui/input.h"
#include "platform/gui/messages.h"
#include "platform/vcl/form.h"

namespace bars {

TCheckableButton::TCheckableButton(TComponent* AOwner) : TGraphicControl(AOwner) {
    TControlStyle style = ControlStyle();
    style.Exclude(csCaptureMouse);
    SetControlStyle(style);
}

void TCheckableButton::SetPopupMenu(TdxBarPopupMenu* Value) {
    menu_ = Value;
    if (menu_ != nullptr) menu_->OnCloseUp = [this](TObject*) { MenuCloseUp(); };
}

void TCheckableButton::SetDown(bool Value) {
    if (down_ == Value) return;
    down_ = Value;
    Invalidate();
    if (!Value || menu_ == nullptr) return;
    TPoint corner = ClientToScreen(TPoint{0, Height()});
    menu_->PopupEx(corner.x, corner.y, std::nullopt, true, 0, Height());
}

void TCheckableButton::MenuCloseUp() {
    if (!down_) return;
    // The click that closed the menu was on this button: it must not open it again.
    POINT cursor{0, 0};
    GetCursorPos(cursor);
    const TPoint p = ScreenToClient(TPoint{cursor.x, cursor.y});
    if (IsLeftButtonDown() && p.x >= 0 && p.y >= 0 && p.x < Width() && p.y < Height())
        ignoreNextMouseDown_ = true;
    SetDown(false);
}

void TCheckableButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (ignoreNextMouseDown_) {
        ignoreNextMouseDown_ = false;
        return;
    }
    if (Button == mbLeft) SetDown(true);
}

void TCheckableButton::WndProc(TMessage& Message) {
    if (Message.Msg == CM_MOUSEENTER || Message.Msg == CM_MOUSELEAVE) {
        mouseInside_ = Message.Msg == CM_MOUSEENTER;
        Invalidate();
    }
    TGraphicControl::WndProc(Message);
}

void TCheckableButton::Paint() {
    TCanvas& canvas = Canvas();
    const HDC dc = canvas.Handle();
    RECT r{0, 0, Width(), Height()};
    TCustomForm* form = GetParentForm(this);
    const bool hot = mouseInside_ && form != nullptr && form->Active();
    if (hot || down_) {
        DrawEdge(dc, &r, down_ ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        InflateRect(r, -1, -1);
        if (down_) OffsetRect(r, 1, 1);
    }
    canvas.SetFont(Font());
    canvas.Font().SetColor(clBtnText);
    const pw::gdi::SelectedObject font(dc, canvas.Font().Handle());
    const int mode = SetBkMode(dc, TRANSPARENT);
    const std::string caption = Caption();
    const COLORREF old = SetTextColor(dc, ColorToRGB(clBtnText));
    DrawText(dc, caption.c_str(), static_cast<int>(caption.size()), &r,
             DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
    SetTextColor(dc, old);
    SetBkMode(dc, mode);
}

} // namespace bars
