// The customizing window's list of commands.
#include "bars/customizing/commands_list.h"

#include <algorithm>

#include "bars/core/bar_edit.h"
#include "bars/core/bar_item.h"
#include "bars/core/bar_manager.h"
#include "bars/core/popup_menu.h"
#include "bars/customizing/customizing_painters.h"
#include "bars/customizing/item_drag.h"
#include "platform/commctrl/std_controls.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/graphics_types.h"
#include "platform/gui/drag_detect.h"
#include "platform/gui/input.h"
#include "platform/gui/message_views.h"

namespace bars {

std::string CommandCaption(const std::string& Caption) {
    std::string result;
    for (char c : Caption)
        if (c != '&') result += c;
    return result;
}

TCommandsListBox::TCommandsListBox(TComponent* AOwner) : TListBox(AOwner) {
    SetStyle(lbOwnerDrawVariable);
    SetItemHeight(22);
}

void TCommandsListBox::SetBarManager(TdxBarManager* Value) {
    if (manager_ == Value) return;
    manager_ = Value;
    if (HandleAllocated()) Invalidate();
}

TdxBarItem* TCommandsListBox::ItemOf(int Index) {
    if (Index < 0 || Index >= Count()) return nullptr;
    return dynamic_cast<TdxBarItem*>(Items().Objects(Index));
}

void TCommandsListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
    TdxBarItem* item = ItemOf(Index);
    if (item == nullptr) return;
    const TdxBarCustomizingFormPainter& painter = TdxBarCustomizingFormPainter::For(manager_);
    TCanvas& canvas = Canvas();
    const TColor brush = canvas.Brush().Color(), pen = canvas.Pen().Color();
    const RECT r{Rect.left, Rect.top, Rect.right, Rect.bottom};
    const bool selected = State.Contains(odSelected);
    const std::string caption = CommandCaption(item->Caption());
    if (dynamic_cast<TdxBarEdit*>(item) != nullptr)
        painter.DrawEditCommand(canvas, r, selected, caption, item);
    else
        painter.DrawCommand(canvas, r, selected, caption, item);
    // Below the last row the list takes the rows' own background, not its colour.
    if (Index == Count() - 1 && Rect.bottom < ClientHeight()) {
        canvas.Brush().SetColor(painter.GetBackgroundColor(false, item));
        canvas.FillRect(TRect{Rect.left, Rect.bottom, Rect.right, ClientHeight()});
    }
    canvas.Brush().SetColor(brush);
    canvas.Pen().SetColor(pen);
    if (State.Contains(odFocused)) painter.DrawFocusRect(canvas, r, item);
}

void TCommandsListBox::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CN_DRAWITEM: {
        if (Count() == 0) {
            Message.Result = 1;
            return;
        }
        TListBox::WndProc(Message);
        // The list's own focus rectangle goes again (it is drawn inverted): the painter drew its own.
        const DRAWITEMSTRUCT* item = TWMDrawItem(Message).DrawItemStruct();
        if (item != nullptr && (item->itemState & ODS_FOCUS)) ::DrawFocusRect(item->hDC, &item->rcItem);
        return;
    }
    case WM_ERASEBKGND:
        EraseBelowRows(TWMEraseBkgnd(Message));
        Message.Result = 1;
        return;
    case WM_MOUSEACTIVATE:
        TListBox::WndProc(Message);
        SelectRowUnderCursor();
        return;
    case WM_SETFOCUS:
        TListBox::WndProc(Message);
        // The first command is chosen when the list gets the keyboard with none chosen.
        if (ItemIndex() < 0 && Count() > 0) {
            SetItemIndex(0);
            Click();
        }
        return;
    default:
        TListBox::WndProc(Message);
    }
}

void TCommandsListBox::EraseBelowRows(TWMEraseBkgnd Message) {
    // The rows paint themselves whole: erasing them first would only make them flicker.
    HDC dc = Message.DC();
    if (dc == nullptr) return;
    const RECT client = ClientRect();
    RECT below = client;
    if (Count() > 0) below.top = std::max(below.top, static_cast<int>(ItemRect(Count() - 1).bottom));
    if (below.top >= below.bottom) return;
    const pw::gdi::OwnedObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(Color())));
    FillRect(dc, &below, brush.Get());
}

void TCommandsListBox::SelectRowUnderCursor() {
    POINT p{0, 0};
    GetCursorPos(p);
    const TPoint client = ScreenToClient(TPoint{p.x, p.y});
    if (const int row = ItemAtPos(client, true); row >= 0) SetItemIndex(row);
}

void TCommandsListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TListBox::MouseDown(Button, Shift, X, Y);
    if (Button == mbRight) {
        // The row under the pointer is chosen first: the menu acts on it.
        if (CanFocus()) SetFocus();
        if (const int row = ItemAtPos(TPoint{X, Y}, true); row >= 0) SetItemIndex(row);
        Click();
        if (DesignPopupMenu != nullptr && manager_ != nullptr && manager_->Designing())
            DesignPopupMenu->PopupAtCursor();
        return;
    }
    if (Button != mbLeft || Count() == 0) return;
    const int row = ItemAtPos(TPoint{X, Y}, true);
    if (row < 0) return;
    // The list's own handling of the press, which chooses the row, comes after this one: it is done
    // first, so that a press on a row not yet chosen starts the drag as well.
    if (row != ItemIndex()) {
        if (CanFocus()) SetFocus();
        SetItemIndex(row);
        Click();
    }
    Click();
    // A command pulled from its row (past the system's drag distance) is dragged onto the bars; a
    // press released in place stays a click.
    TdxBarItem* item = ItemOf(row);
    const TPoint screen = ClientToScreen(TPoint{X, Y});
    const POINT press{screen.x, screen.y};
    if (item != nullptr && manager_ != nullptr && manager_->IsCustomizing() && DragDetect(Handle(), press))
        DragNewItem(manager_, item, Handle());
}

} // namespace bars
