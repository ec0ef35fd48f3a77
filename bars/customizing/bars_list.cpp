// The customizing window's list of toolbars.
#include "bars/customizing/bars_list.h"

#include "bars/core/toolbar.h"
#include "lookandfeel/colors.h"
#include "platform/commctrl/std_controls.h"
#include "platform/gdi/edges.h"
#include "platform/graphics/canvas.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/paint.h"
#include "platform/gui/system.h"

namespace bars {

TCheckListBox::TCheckListBox(TComponent* AOwner) : TListBox(AOwner) {
    SetStyle(lbOwnerDrawFixed);
}

TdxBar* TCheckListBox::BarOf(int Row) {
    if (Row < 0 || Row >= Count()) return nullptr;
    return dynamic_cast<TdxBar*>(Items().Objects(Row));
}

void TCheckListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
    checkWidth_ = Rect.bottom - Rect.top;
    // The text stands right of the box.
    TListBox::DrawItem(Index, TRect{Rect.left + checkWidth_, Rect.top, Rect.right, Rect.bottom}, State);
    TdxBar* bar = BarOf(Index);
    if (bar == nullptr) return;
    const int side = checkWidth_ - 2, top = Rect.top + (Rect.bottom - Rect.top - side) / 2;
    RECT box{Rect.left + 1, top, Rect.left + 1 + side, top + side};
    // The row's own part left of the text is the list's.
    RECT column{Rect.left, Rect.top, Rect.left + checkWidth_, Rect.bottom};
    FillRectByColor(Canvas().Handle(), column, Color());
    DrawFrameControl(Canvas().Handle(), &box, DFC_BUTTON,
                     DFCS_BUTTONCHECK | (bar->CanClose() ? 0 : DFCS_INACTIVE) |
                         (bar->Visible() ? DFCS_CHECKED : 0));
}

void TCheckListBox::ToggleBar(int Row) {
    TdxBar* bar = BarOf(Row);
    if (bar == nullptr) return;
    if (!bar->CanClose()) {
        MessageBeep(0);
        return;
    }
    bar->SetVisible(!bar->Visible());
    if (!HandleAllocated()) return;
    const TRect r = ItemRect(Row);
    const RECT box{r.left, r.top, r.left + checkWidth_, r.bottom};
    InvalidateRect(Handle(), &box, FALSE_);
    UpdateWindow(Handle());
}

int TCheckListBox::CheckAt(POINT P) {
    if (Count() == 0 || P.x >= checkWidth_) return -1;
    return ItemAtPos(TPoint{P.x, P.y}, true);
}

void TCheckListBox::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        const POINT p = TWMMouse(Message).Pos();
        TListBox::WndProc(Message);
        if (const int row = CheckAt(p); row >= 0) ToggleBar(row);
        return;
    }
    case WM_LBUTTONDBLCLK: {
        const POINT p = TWMMouse(Message).Pos();
        // A quick second click on the box is a click of its own: the box toggles twice.
        if (p.x < checkWidth_) {
            TMessage down{WM_LBUTTONDOWN, Message.WParam, Message.LParam, 0};
            WndProc(down);
            Message.Result = down.Result;
            return;
        }
        TListBox::WndProc(Message);
        ToggleBar(ItemAtPos(TPoint{p.x, p.y}, true));
        return;
    }
    case WM_CHAR:
        TListBox::WndProc(Message);
        if (TWMChar(Message).CharCode() == ' ') ToggleBar(ItemIndex());
        return;
    default:
        TListBox::WndProc(Message);
    }
}

} // namespace bars
