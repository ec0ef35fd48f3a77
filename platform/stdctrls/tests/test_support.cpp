#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/vcl/application.h"
#include "platform/vcl/form.h"

namespace stdctrls_test {
namespace {

void ClickAt(TControl* Control, int X, int Y, pw::gui::MouseButton Button, bool Double) {
    const TPoint p = Control->ClientToScreen(TPoint{X, Y});
    pw::gui::SimulateClick(POINT{p.x, p.y}, Button);
    if (Double) pw::gui::SimulateClick(POINT{p.x, p.y}, Button);
    Pump();
}

} // namespace

TForm* MakeForm(int ClientWidth, int ClientHeight) {
    auto* form = new TForm(nullptr);
    form->SetBounds(100, 100, 200, 200);
    form->SetClientWidth(ClientWidth);
    form->SetClientHeight(ClientHeight);
    return form;
}

void Click(TControl* Control, int X, int Y, bool Double) {
    ClickAt(Control, X, Y, pw::gui::MouseButton::Left, Double);
}

void ClickWith(BYTE Modifier, TControl* Control, int X, int Y) {
    pw::gui::SimulateKey(Modifier, true);
    ClickAt(Control, X, Y, pw::gui::MouseButton::Left, false);
    pw::gui::SimulateKey(Modifier, false);
    Pump();
}

void RightClick(TControl* Control, int X, int Y) {
    ClickAt(Control, X, Y, pw::gui::MouseButton::Right, false);
}

void Key(BYTE VK) {
    pw::gui::SimulateKeyStroke(VK);
    Pump();
}

void KeyWith(BYTE Modifier, BYTE VK) {
    pw::gui::SimulateKey(Modifier, true);
    pw::gui::SimulateKeyStroke(VK);
    pw::gui::SimulateKey(Modifier, false);
    Pump();
}

void Type(const std::string& Text) {
    for (char c : Text) {
        const BYTE vk = (c >= 'a' && c <= 'z') ? static_cast<BYTE>(c - 32) : static_cast<BYTE>(c);
        pw::gui::SimulateKey(vk, true, static_cast<char32_t>(c));
        pw::gui::SimulateKey(vk, false);
    }
    Pump();
}

} // namespace stdctrls_test
