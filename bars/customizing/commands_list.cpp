// The customizing window's list of commands.
#include "bars/customizing/commands_list.h"

#include <cstdlib>

#include "bars/core/bar_edit.h"
#include "bars/core/bar_item.h"
#include "bars/core/bar_manager.h"
#include "bars/core/popup_menu.h"
#include "bars/customizing/customizing_painters.h"
#include "bars/customizing/item_drag.h"
#include "platform/commctrl/std_controls.h"
#include "platform/gdi/edges.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/graphics_types.h"
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

void TCommandsListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TListBox::MouseDown(Button, Shift, X, Y);
    if (Button == mbRight) {
        // The row under the pointer is chosen first: the menu acts on it.
        if (CanFocus()) SetFocus();
        if (const int row = ItemAtPos(TPoint{X, Y}, true); row >= 0) SetItemIndex(row);
        Click();
        if (DesignPopupMenu != nullptr && manager_ != nullptr && manager_->Designing())
            DesignPopupMenu->PopupAtCursor();
        dragRow_ = -1;
        return;
    }
    dragRow_ = Button == mbLeft ? ItemAtPos(TPoint{X, Y}, true) : -1;
    dragFrom_ = POINT{X, Y};
}

void TCommandsListBox::MouseMove(TShiftState Shift, int X, int Y) {
    TListBox::MouseMove(Shift, X, Y);
    if (!Shift.Contains(ssLeft)) dragRow_ = -1;
    if (dragRow_ < 0 || manager_ == nullptr || !manager_->IsCustomizing()) return;
    // A few pixels of slack keep a click from turning into a drag.
    if (std::abs(X - dragFrom_.x) < 5 && std::abs(Y - dragFrom_.y) < 5) return;
    TdxBarItem* item = dragRow_ < Count() ? ItemOf(dragRow_) : nullptr;
    dragRow_ = -1;
    if (item != nullptr) DragNewItem(manager_, item, Handle());
}

} // namespace bars
