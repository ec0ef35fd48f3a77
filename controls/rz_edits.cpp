#include "controls/rz_edits.h"

#include "controls/edit_buttons.h"
#include "platform/commctrl/std_controls.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/messages.h"
#include "platform/gui/window.h"
#include "platform/vcl/hint_window.h"

void TRzMemo::SetSelStart(int Value) {
    TRzFramed<TMemo>::SetSelStart(Value);
    SendMessage(Handle(), EM_SCROLLCARET, 0, 0);
}

TRzButtonEdit::TRzButtonEdit(TComponent* AOwner)
    : TRzFramed<TEdit>(AOwner),
      buttons_(std::make_unique<rz::EditButtons>(*this, 17, std::vector{rz::EditButtonKind::Ellipsis})) {
    buttons_->OnPress = [this](int) {
        ShowButtonHint(false);
        ButtonClick();
    };
    buttons_->OnHover = [this](int index) { ShowButtonHint(index >= 0); };
}

TRzButtonEdit::~TRzButtonEdit() = default;

void TRzButtonEdit::SetButtonVisible(bool Value) {
    if (buttonVisible_ == Value) return;
    buttonVisible_ = Value;
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TRzButtonEdit::ButtonClick() {
    if (OnButtonClick) OnButtonClick(this);
}

void TRzButtonEdit::WndProc(TMessage& Message) {
    if (buttonVisible_ && buttons_->Before(Message)) return;
    TRzFramed<TEdit>::WndProc(Message);
    if (buttonVisible_) buttons_->After(Message);
    if (Message.Msg == WM_DESTROY || Message.Msg == WM_KILLFOCUS) ShowButtonHint(false);
}

void TRzButtonEdit::ShowButtonHint(bool Show) {
    if (!Show || buttonHint_.empty()) {
        if (hint_) hint_->ReleaseHandle();
        return;
    }
    if (!hint_) hint_ = std::make_unique<THintWindow>(nullptr);
    const RECT button = buttons_->ButtonRect(0);
    RECT window;
    GetWindowRect(Handle(), window);
    TRect r = hint_->CalcHintRect(300, buttonHint_);
    OffsetRect(r, window.left + button.left, window.top + button.bottom + 2);
    hint_->ActivateHint(r, buttonHint_);
}
