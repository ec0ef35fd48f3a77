#include "test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/gdi/shapes.h"
#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "platform/vcl/application.h"
#include "platform/vcl/form.h"

namespace controls_test {
namespace {} // namespace

TForm* MakeForm(int ClientWidth, int ClientHeight) {
    auto* form = new TForm(nullptr);
    form->SetBounds(100, 100, 200, 200);
    form->SetClientWidth(ClientWidth);
    form->SetClientHeight(ClientHeight);
    return form;
}

COLORREF WindowPixel(TWinControl* Control, int X, int Y) {
    Pump();
    HWND h = Control->Handle();
    HDC dc = GetWindowDC(h);
    const COLORREF c = GetPixel(dc, X, Y);
    ReleaseDC(h, dc);
    return c;
}

COLORREF ClientPixel(TWinControl* Control, int X, int Y) {
    Pump();
    HDC dc = GetDC(Control->Handle());
    const COLORREF c = GetPixel(dc, X, Y);
    ReleaseDC(Control->Handle(), dc);
    return c;
}

void ClickWindow(TWinControl* Control, int X, int Y) {
    RECT r;
    GetWindowRect(Control->Handle(), r);
    pw::gui::SimulateClick(POINT{r.left + X, r.top + Y}, pw::gui::MouseButton::Left);
    Pump();
}

void Key(BYTE VK) {
    pw::gui::SimulateKeyStroke(VK);
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

} // namespace controls_test
