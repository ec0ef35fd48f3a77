#include "platform/stdctrls/list_controls.h"

#include "platform/commctrl/common_controls.h"
#include "platform/commctrl/std_controls.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"

namespace {
const TWindowStrings::Messages kComboMessages{CB_ADDSTRING,    CB_INSERTSTRING, CB_DELETESTRING,
                                              CB_RESETCONTENT, CB_GETCOUNT,     CB_GETLBTEXT,
                                              CB_GETLBTEXTLEN, CB_GETITEMDATA,  CB_SETITEMDATA};
} // namespace

TComboBox::TComboBox(TComponent* AOwner)
    : TWinControl(AOwner), items_(std::make_unique<TWindowStrings>(*this, kComboMessages)) {
    InitCommonControls();
    SetBounds(0, 0, 145, 21);
    SetTabStop(true);
    SetColor(clWindow);
    controlStyle_ = TControlStyle{csSetCaption, csDoubleClicks};
}

TComboBox::~TComboBox() {
    if (HandleAllocated()) DestroyHandle();
}

void TComboBox::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "COMBOBOX");
    Params.Style |= CBS_AUTOHSCROLL;
    switch (style_) {
    case csSimple:
        Params.Style |= CBS_SIMPLE;
        break;
    case csDropDownList:
    case csOwnerDrawFixed:
    case csOwnerDrawVariable:
        Params.Style |= CBS_DROPDOWNLIST;
        break;
    default:
        Params.Style |= CBS_DROPDOWN;
        break;
    }
    if (sorted_) Params.Style |= CBS_SORT;
}

void TComboBox::CreateWnd() {
    // The text the window is made with goes after the items, when there is an edit to hold it.
    const std::string text = TControl::GetText();
    TWinControl::CreateWnd();
    items_->WindowCreated();
    if (maxLength_) SendMessage(Handle(), CB_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
    if (savedIndex_ >= 0)
        SendMessage(Handle(), CB_SETCURSEL, static_cast<WPARAM>(savedIndex_), 0);
    else if (style_ == csDropDown || style_ == csSimple) {
        ++settingText_;
        SetWindowText(Handle(), text);
        --settingText_;
    }
}

void TComboBox::DestroyWnd() {
    if (HandleAllocated()) {
        savedIndex_ = ItemIndex();
        items_->WindowDestroying();
    }
    TWinControl::DestroyWnd();
}

void TComboBox::SetTextValue(const std::string& Value) {
    // A written text is no edit of the user's: OnChange stays silent.
    ++settingText_;
    TWinControl::SetTextValue(Value);
    --settingText_;
}

void TComboBox::SetStyle(TComboBoxStyle Value) {
    if (style_ == Value) return;
    style_ = Value;
    RecreateWnd();
}

int TComboBox::ItemIndex() {
    if (!HandleAllocated()) return savedIndex_;
    return static_cast<int>(SendMessage(Handle(), CB_GETCURSEL, 0, 0));
}

void TComboBox::SetItemIndex(int Value) {
    if (!HandleAllocated()) {
        savedIndex_ = Value;
        return;
    }
    SendMessage(Handle(), CB_SETCURSEL, static_cast<WPARAM>(Value), 0);
}

void TComboBox::SetSorted(bool Value) {
    if (sorted_ == Value) return;
    sorted_ = Value;
    items_->SetSorted(Value);
    RecreateWnd();
}

bool TComboBox::DroppedDown() {
    return HandleAllocated() && SendMessage(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TComboBox::SetDroppedDown(bool Value) {
    SendMessage(Handle(), CB_SHOWDROPDOWN, Value ? 1 : 0, 0);
}

void TComboBox::SetMaxLength(int Value) {
    maxLength_ = Value < 0 ? 0 : Value;
    if (HandleAllocated()) SendMessage(Handle(), CB_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TComboBox::Clear() {
    items_->Clear();
    SetText("");
}

void TComboBox::Change() {
    if (OnChange) OnChange(this);
}

void TComboBox::Select() {
    // With no OnSelect, choosing an item is a change of the text.
    if (OnSelect)
        OnSelect(this);
    else
        Change();
}

void TComboBox::WndProc(TMessage& Message) {
    if (Message.Msg == CN_COMMAND) return CNCommand(TWMCommand(Message));
    TWinControl::WndProc(Message);
}

void TComboBox::CNCommand(TWMCommand Message) {
    switch (Message.NotifyCode()) {
    case CBN_EDITCHANGE:
        if (settingText_ == 0) Change();
        return;
    case CBN_SELCHANGE:
        return SelectionChanged();
    case CBN_DBLCLK:
        return DblClick();
    case CBN_DROPDOWN:
        if (OnDropDown) OnDropDown(this);
        return;
    case CBN_CLOSEUP:
        if (OnCloseUp) OnCloseUp(this);
        return;
    default:
        return;
    }
}

void TComboBox::SelectionChanged() {
    auto alive = AliveToken();
    Click();
    if (!alive.expired()) Select();
}
