#include "controls/rz_spin_edit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "controls/edit_buttons.h"
#include "platform/gui/keys.h"
#include "platform/gui/messages.h"
#include "platform/rtl/scope_guard.h"

namespace {

// The number the whole text holds; false for anything else (an empty text, "1x", "-").
bool ParseNumber(const std::string& text, long double& out) {
    if (text.empty()) return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || c == '-' || c == '.' || c == '+')) return false;
    char* end = nullptr;
    const long double v = std::strtold(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(v)) return false;
    out = v;
    return true;
}

} // namespace

TRzSpinEdit::TRzSpinEdit(TComponent* AOwner)
    : TRzFramed<TCustomEdit>(AOwner),
      buttons_(std::make_unique<rz::EditButtons>(
          *this, 15, std::vector{rz::EditButtonKind::Up, rz::EditButtonKind::Down})) {
    SetBounds(0, 0, 60, 21);
    buttons_->OnPress = [this](int index) { IncValue(index == 0 ? increment_ : -increment_); };
    ShowValue();
}

TRzSpinEdit::~TRzSpinEdit() = default;

long double TRzSpinEdit::Fit(long double Value) const {
    const long double scale = std::pow(10.0L, Places());
    Value = std::round(Value * scale) / scale;
    if (max_ >= min_) Value = std::clamp(Value, min_, max_);
    // No "-0" in the text.
    return Value == 0 ? 0 : Value;
}

std::string TRzSpinEdit::FormatValue(long double Value) const {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*Lf", Places(), Value);
    return buffer;
}

void TRzSpinEdit::ShowValue() {
    const std::string text = FormatValue(value_);
    if (Text() == text) return;
    TemporaryChange<bool> showing(showing_, true);
    SetText(text);
}

void TRzSpinEdit::SetValue(long double Value) {
    value_ = Fit(Value);
    ShowValue();
}

void TRzSpinEdit::SetMin(long double Value) {
    min_ = Value;
    SetValue(value_);
}

void TRzSpinEdit::SetMax(long double Value) {
    max_ = Value;
    SetValue(value_);
}

void TRzSpinEdit::SetDecimals(int Value) {
    decimals_ = std::clamp(Value, 0, 18);
    SetValue(value_);
}

void TRzSpinEdit::SetIntegersOnly(bool Value) {
    integersOnly_ = Value;
    SetValue(value_);
}

void TRzSpinEdit::IncValue(long double Amount) {
    SetValue(value_ + Amount);
}

void TRzSpinEdit::CreateWnd() {
    TRzFramed<TCustomEdit>::CreateWnd();
    ShowValue();
}

void TRzSpinEdit::Change() {
    // A number being typed counts at once, though the text is only tidied when the edit is left.
    long double typed;
    if (!showing_ && ParseNumber(Text(), typed)) value_ = Fit(typed);
    TRzFramed<TCustomEdit>::Change();
}

void TRzSpinEdit::DoExit() {
    ShowValue();
    TRzFramed<TCustomEdit>::DoExit();
}

void TRzSpinEdit::KeyDown(WORD& Key, TShiftState Shift) {
    TRzFramed<TCustomEdit>::KeyDown(Key, Shift);
    if (Key == VK_UP) {
        IncValue(increment_);
        Key = 0;
    } else if (Key == VK_DOWN) {
        DecValue(increment_);
        Key = 0;
    }
}

void TRzSpinEdit::KeyPress(char& Key) {
    TRzFramed<TCustomEdit>::KeyPress(Key);
    if (static_cast<unsigned char>(Key) < 32) return;
    const bool allowed = allowKeyEdit_ && ((Key >= '0' && Key <= '9') || Key == '-' || Key == '+' ||
                                           (Key == '.' && !integersOnly_ && decimals_ > 0));
    if (!allowed) Key = 0;
}

void TRzSpinEdit::WndProc(TMessage& Message) {
    if (buttons_->Before(Message)) return;
    if (!allowKeyEdit_ && (Message.Msg == WM_PASTE || Message.Msg == WM_CUT || Message.Msg == WM_CLEAR))
        return;
    TRzFramed<TCustomEdit>::WndProc(Message);
    buttons_->After(Message);
}
