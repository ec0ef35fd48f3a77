#include "platform/stdctrls/list_controls.h"

#include <algorithm>

#include "platform/commctrl/common_controls.h"
#include "platform/commctrl/std_controls.h"
#include "platform/gdi/edges.h"
#include "platform/graphics/canvas.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/format.h"

namespace {
const TWindowStrings::Messages kListBoxMessages{LB_ADDSTRING,    LB_INSERTSTRING, LB_DELETESTRING,
                                                LB_RESETCONTENT, LB_GETCOUNT,     LB_GETTEXT,
                                                LB_GETTEXTLEN,   LB_GETITEMDATA,  LB_SETITEMDATA};
} // namespace

TListBox::TListBox(TComponent* AOwner)
    : TWinControl(AOwner), items_(std::make_unique<TWindowStrings>(*this, kListBoxMessages)),
      canvas_(std::make_unique<TCanvas>()) {
    InitCommonControls();
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetColor(clWindow);
    controlStyle_ = TControlStyle{csSetCaption, csDoubleClicks};
}

TListBox::~TListBox() {
    // The strings refer to this control; they go before it stops being one.
    if (HandleAllocated()) DestroyHandle();
}

void TListBox::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "LISTBOX");
    Params.Style |= LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER;
    if (sorted_) Params.Style |= LBS_SORT;
    if (multiSelect_) Params.Style |= extendedSelect_ ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
    // The window class draws rows of one height; a variable list keeps ItemHeight for all of them.
    if (style_ != lbStandard) Params.Style |= LBS_OWNERDRAWFIXED;
}

void TListBox::CreateWnd() {
    TWinControl::CreateWnd();
    if (style_ != lbStandard)
        SendMessage(Handle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(static_cast<WORD>(itemHeight_), 0));
    items_->WindowCreated();
    // The index was read in the old window's selection mode; keep it only while it names an item.
    if (savedIndex_ >= 0 && savedIndex_ < Count()) SetItemIndex(savedIndex_);
    SendMessage(Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(savedTop_), 0);
}

void TListBox::DestroyWnd() {
    if (HandleAllocated()) {
        savedIndex_ = ItemIndex();
        savedTop_ = TopIndex();
        items_->WindowDestroying();
    }
    TWinControl::DestroyWnd();
}

int TListBox::ItemIndex() {
    if (!HandleAllocated()) return savedIndex_;
    return static_cast<int>(SendMessage(Handle(), multiSelect_ ? LB_GETCARETINDEX : LB_GETCURSEL, 0, 0));
}

void TListBox::SetItemIndex(int Value) {
    if (!HandleAllocated()) {
        savedIndex_ = Value;
        return;
    }
    if (multiSelect_) {
        SendMessage(Handle(), LB_SETCARETINDEX, static_cast<WPARAM>(Value), 0);
        if (Value >= 0) SetSelected(Value, true);
    } else {
        SendMessage(Handle(), LB_SETCURSEL, static_cast<WPARAM>(Value), 0);
    }
}

void TListBox::SetMultiSelect(bool Value) {
    if (multiSelect_ == Value) return;
    multiSelect_ = Value;
    RecreateWnd();
}

void TListBox::SetExtendedSelect(bool Value) {
    if (extendedSelect_ == Value) return;
    extendedSelect_ = Value;
    RecreateWnd();
}

void TListBox::SetSorted(bool Value) {
    if (sorted_ == Value) return;
    sorted_ = Value;
    items_->SetSorted(Value);
    RecreateWnd();
}

bool TListBox::Selected(int Index) {
    if (Index < 0 || Index >= Count()) throw EListError(Format("List index out of bounds (%d)", Index));
    return SendMessage(Handle(), LB_GETSEL, static_cast<WPARAM>(Index), 0) > 0;
}

void TListBox::SetSelected(int Index, bool Value) {
    if (Index < 0 || Index >= Count()) throw EListError(Format("List index out of bounds (%d)", Index));
    if (multiSelect_)
        SendMessage(Handle(), LB_SETSEL, Value ? 1 : 0, static_cast<LPARAM>(Index));
    else if (Value)
        SendMessage(Handle(), LB_SETCURSEL, static_cast<WPARAM>(Index), 0);
    else if (ItemIndex() == Index)
        SendMessage(Handle(), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

int TListBox::SelCount() {
    if (!multiSelect_) return ItemIndex() >= 0 ? 1 : 0;
    return static_cast<int>(SendMessage(Handle(), LB_GETSELCOUNT, 0, 0));
}

int TListBox::TopIndex() {
    return static_cast<int>(SendMessage(Handle(), LB_GETTOPINDEX, 0, 0));
}

void TListBox::SetTopIndex(int Value) {
    SendMessage(Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(Value), 0);
}

static TRect ListItemRect(HWND h, int Index) {
    RECT r{0, 0, 0, 0};
    SendMessage(h, LB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r));
    return TRect{r.left, r.top, r.right, r.bottom};
}

TRect TListBox::ItemRect(int Index) {
    return ListItemRect(Handle(), Index);
}

int TListBox::ItemAtPos(TPoint Pos, bool Existing) {
    const int count = Count();
    const TRect client = ClientRect();
    if (Pos.x < client.left || Pos.x >= client.right || Pos.y < client.top || Pos.y >= client.bottom)
        return Existing ? -1 : count;
    for (int i = TopIndex(); i < count; ++i) {
        const TRect r = ItemRect(i);
        if (r.top > client.bottom) break;
        if (Pos.y >= r.top && Pos.y < r.bottom) return i;
    }
    return Existing ? -1 : count;
}

void TListBox::ClearSelection() {
    if (multiSelect_) {
        for (int i = 0, n = Count(); i < n; ++i)
            SetSelected(i, false);
    } else {
        SetItemIndex(-1);
    }
}

void TListBox::SelectAll() {
    if (!multiSelect_) return;
    for (int i = 0, n = Count(); i < n; ++i)
        SetSelected(i, true);
}

void TListBox::DeleteSelected() {
    if (multiSelect_) {
        for (int i = Count() - 1; i >= 0; --i)
            if (Selected(i)) items_->Delete(i);
    } else if (ItemIndex() >= 0) {
        items_->Delete(ItemIndex());
    }
}

void TListBox::WndProc(TMessage& Message) {
    if (Message.Msg == CN_COMMAND) return CNCommand(TWMCommand(Message));
    if (Message.Msg == CN_DRAWITEM) return CNDrawItem(TWMDrawItem(Message));
    TWinControl::WndProc(Message);
}

void TListBox::SetStyle(TListBoxStyle Value) {
    if (style_ == Value) return;
    style_ = Value;
    RecreateWnd();
}

void TListBox::SetItemHeight(int Value) {
    if (Value <= 0 || itemHeight_ == Value) return;
    itemHeight_ = Value;
    if (HandleAllocated() && style_ != lbStandard) {
        SendMessage(Handle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(static_cast<WORD>(Value), 0));
        Invalidate();
    }
}

void TListBox::CNDrawItem(TWMDrawItem Message) {
    const DRAWITEMSTRUCT* item = Message.DrawItemStruct();
    Message.Result = 1;
    if (item == nullptr) return;
    TOwnerDrawState state;
    if (item->itemState & ODS_SELECTED) state.Include(odSelected);
    if (item->itemState & ODS_DISABLED) state.Include(odDisabled);
    if (item->itemState & ODS_FOCUS) state.Include(odFocused);
    canvas_->SetHandle(item->hDC);
    canvas_->SetFont(Font());
    canvas_->Brush().SetColor(Color());
    if (state.Contains(odSelected)) {
        canvas_->Brush().SetColor(clHighlight);
        canvas_->Font().SetColor(clHighlightText);
    }
    const TRect r{item->rcItem.left, item->rcItem.top, item->rcItem.right, item->rcItem.bottom};
    const int index = static_cast<int>(item->itemID);
    if (index >= 0 && index < Count())
        DrawItem(index, r, state);
    else
        canvas_->FillRect(r);
    if (state.Contains(odFocused)) ::DrawFocusRect(item->hDC, &item->rcItem);
    canvas_->SetHandle(nullptr);
}

void TListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
    if (OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    canvas_->FillRect(Rect);
    canvas_->TextOut(Rect.left + 2, Rect.top, Items().Strings(Index));
}

void TListBox::CNCommand(TWMCommand Message) {
    if (Message.NotifyCode() == LBN_SELCHANGE) Click();
    if (Message.NotifyCode() == LBN_DBLCLK) DblClick();
}
