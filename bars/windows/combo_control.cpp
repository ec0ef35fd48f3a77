#include "bars/windows/combo_control.h"

#include <string>

#include "bars/core/bar_combo.h"
#include "bars/core/bar_routines.h"
#include "bars/core/item_links.h"
#include "bars/painters/painter.h"
#include "bars/windows/bar_control.h"
#include "bars/windows/bar_hooks.h"
#include "lookandfeel/object_links.h"
#include "platform/commctrl/std_controls.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/text.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/window.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/wintypes.h"
#include "platform/vcl/control_types.h"

namespace bars {

namespace {

bool NoModifiers() {
    return GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0;
}

} // namespace

std::unique_ptr<ItemControl> CreateCustomComboControl(TdxBarItemLink* Link) {
    return std::make_unique<TCustomdxBarComboControl>(Link);
}

std::unique_ptr<ItemControl> CreateComboControl(TdxBarItemLink* Link) {
    return std::make_unique<TdxBarComboControl>(Link);
}

// The drop-down kind.

TCustomdxBarCombo* TCustomdxBarComboControl::Combo() const {
    return dynamic_cast<TCustomdxBarCombo*>(Item());
}

bool TCustomdxBarComboControl::HasEditor() const {
    TCustomdxBarCombo* combo = Combo();
    return combo == nullptr || combo->ShowEditor();
}

int TCustomdxBarComboControl::ComboButtonWidth() const {
    if (buttonWidth_ < 0 && ParentBar() != nullptr) {
        const pw::gdi::MemoryDC dc(nullptr);
        const pw::gdi::SelectedObject font(dc.Get(), ParentBar()->PaintFont());
        SIZE digit{0, 0};
        GetTextExtentPoint32(dc.Get(), std::string("0"), &digit);
        buttonWidth_ = Painter().CalcComboButtonWidth(digit.cx);
    }
    return buttonWidth_ < 0 ? 13 : buttonWidth_;
}

void TCustomdxBarComboControl::DrawBoxExtras(HDC DC, const ItemState& State, RECT& R) {
    ItemState state = State;
    state.DroppedDown = droppedDown_;
    buttonRect_ = Painter().DrawComboButton(*this, DC, state, R);
    // The column left of the button belongs to it.
    R.right = buttonRect_.left - 1;
}

void TCustomdxBarComboControl::SetFocused(bool Value) {
    // Editing ends however it ends (Enter, Escape, Tab, the focus gone) with the list closed.
    if (!Value) {
        const TcxObjectLinkPtr self = MakeObjectLink(this);
        SetDroppedDown(false);
        if (self->Ref == nullptr) return;
    }
    TdxBarEditControl::SetFocused(Value);
}

void TCustomdxBarComboControl::ControlInactivate(bool Immediately) {
    SetDroppedDown(false);
    TdxBarEditControl::ControlInactivate(Immediately);
}

void TCustomdxBarComboControl::BeforeClick(bool ByMouse) {
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    TdxBarEditControl::BeforeClick(ByMouse);
    // The bar clicks on the press and again on the release: the press alone toggles.
    if (self->Ref == nullptr || !ByMouse || ParentBar() == nullptr || GetKeyState(VK_LBUTTON) >= 0) return;
    POINT p{0, 0};
    GetCursorPos(p);
    ScreenToClient(ParentBar()->Handle(), p);
    // A combo without an editor opens from anywhere on its box.
    RECT box = buttonRect_;
    if (!HasEditor()) box.left = WindowRect().left;
    if (PtInRect(box, p)) SetDroppedDown(!droppedDown_);
}

void TCustomdxBarComboControl::SetDroppedDown(bool Value) {
    TCustomdxBarCombo* combo = Combo();
    if (Value == droppedDown_ || combo == nullptr || (Value && combo->ReadOnly())) return;
    droppedDown_ = Value;
    Repaint();
    if (!Value) {
        combo->CloseUp();
        return;
    }
    TCustomdxBarControl* bar = ParentBar();
    if (bar == nullptr || bar->Handle() == nullptr) return;
    const RECT bounds = Bounds();
    // Below the box on a horizontal toolbar, beside the control in a menu or on a vertical toolbar.
    POINT at = Parent() != nullptr && (!Parent()->IsToolbar() || IsVerticalBarControl(Parent()))
                   ? POINT{bounds.right, bounds.top}
                   : POINT{bounds.left + CaptionWidth(), bounds.bottom};
    ClientToScreen(bar->Handle(), at);
    combo->DropDown(at.x, at.y);
}

LRESULT TCustomdxBarComboControl::WndProc(TMessage& Message) {
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    TCustomdxBarCombo* combo = Combo();
    switch (Message.Msg) {
    case WM_KEYDOWN:
        if (TWMKey(Message).CharCode() == VK_F4) {
            SetDroppedDown(!droppedDown_);
            return 0;
        }
        break;
    case WM_SYSKEYDOWN:
        if (const WORD key = TWMKey(Message).CharCode(); key == VK_UP || key == VK_DOWN) {
            // Alt is no longer pressed alone: its release leaves the editing alone.
            SetAltPressedAlone(false);
            altToggled_ = true;
            SetDroppedDown(!droppedDown_);
            return 0;
        }
        break;
    case WM_SYSKEYUP:
        if (const WORD key = TWMKey(Message).CharCode(); altToggled_ && (key == VK_UP || key == VK_DOWN)) {
            altToggled_ = false;
            return 0;
        }
        break;
    default:
        break;
    }
    // The open list takes the keys it wants (characters stay the edit's).
    if (droppedDown_ && combo != nullptr && (Message.Msg == WM_KEYDOWN || Message.Msg == WM_KEYUP)) {
        const TWMKey key(Message);
        const HWND list = combo->GetDropDownWindow();
        if (list != nullptr &&
            combo->CheckKeyForDropDownWindow(key.CharCode(), KeyDataToShiftState(key.KeyData()))) {
            SendMessage(list, Message.Msg, key.CharCode(), key.KeyData());
            return 0;
        }
    }
    return TdxBarEditControl::WndProc(Message);
}

// The string-list kind.

TdxBarCustomCombo* TdxBarComboControl::CustomCombo() const {
    return dynamic_cast<TdxBarCustomCombo*>(Item());
}

void TdxBarComboControl::SetFocused(bool Value) {
    if (Value && !IsEditing())
        if (TdxBarCustomCombo* combo = CustomCombo()) curItemIndex_ = combo->ItemIndex();
    TCustomdxBarComboControl::SetFocused(Value);
}

void TdxBarComboControl::SetCurItemIndex(int Index) {
    TdxBarCustomCombo* combo = CustomCombo();
    if (combo == nullptr) return;
    curItemIndex_ = Index;
    SetEditText(Index >= 0 && Index < combo->Items()->Count() ? combo->Items()->Strings(Index)
                                                              : combo->Text());
    if (!HasEditor()) Repaint();
}

void TdxBarComboControl::Step(int Delta) {
    TdxBarCustomCombo* combo = CustomCombo();
    if (combo == nullptr) return;
    const int index = curItemIndex_ + Delta;
    if (index >= 0 && index < combo->Items()->Count()) SetCurItemIndex(index);
}

bool TdxBarComboControl::LeaveByKey(WORD Key) {
    TdxBarCustomCombo* combo = CustomCombo();
    if ((Key == VK_RETURN || Key == VK_TAB) && combo != nullptr && curItemIndex_ >= 0 &&
        curItemIndex_ < combo->Items()->Count() && combo->Items()->Strings(curItemIndex_) == EditText()) {
        const TcxObjectLinkPtr self = MakeObjectLink(this);
        combo->SetItemIndex(curItemIndex_);
        if (self->Ref == nullptr || edit_ == nullptr || !IsWindowVisible(edit_)) return true;
    }
    return TCustomdxBarComboControl::LeaveByKey(Key);
}

LRESULT TdxBarComboControl::WndProc(TMessage& Message) {
    TdxBarCustomCombo* combo = CustomCombo();
    if (combo != nullptr && Message.Msg == WM_MOUSEWHEEL) {
        const int delta = TWMMouseWheel(Message).WheelDelta();
        if (DroppedDown()) {
            if (HWND list = combo->GetDropDownWindow())
                SendMessage(list, WM_VSCROLL, delta > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
        } else {
            Step(delta > 0 ? -1 : 1);
        }
        return 0;
    }
    if (combo != nullptr && !DroppedDown() && Message.Msg == WM_KEYDOWN && NoModifiers()) {
        const WORD key = TWMKey(Message).CharCode();
        if (key == VK_UP || key == VK_DOWN) {
            Step(key == VK_UP ? -1 : 1);
            return 0;
        }
    }
    return TCustomdxBarComboControl::WndProc(Message);
}

} // namespace bars
