// What the thread hooks see of the keys that drive menus (Alt alone, F10, the menu key, Shift+F10) and of
// a click elsewhere while a menu that never activates is shown: toolbars and menus hear the keyboard and
// outside clicks only through them.
#include <array>

#include <gtest/gtest.h>

#include "gui_test_support.h"
#include "platform/gdi/metrics.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_views.h"

using gui_test::MakeChild;
using gui_test::MakeTopLevel;
using gui_test::Pump;
using pw::gui::MouseAction;
using pw::gui::MouseButton;

namespace {

// One call of the keyboard hook, with the key state the hook procedure reads.
struct KeyCall {
    WPARAM key;
    LPARAM data;
    bool menuDown;
    bool shiftDown;
    bool anyKeyDown;
};

std::vector<KeyCall> keyCalls;
HHOOK keyHook = nullptr;
bool swallowKeys = false;

LRESULT RecordKey(int code, WPARAM wParam, LPARAM lParam) {
    std::array<BYTE, 256> keys{};
    GetKeyboardState(keys.data());
    bool any = false;
    for (BYTE k : keys)
        any = any || (k & 0x80) != 0;
    keyCalls.push_back({wParam, lParam, GetKeyState(VK_MENU) < 0, GetKeyState(VK_SHIFT) < 0, any});
    const LRESULT next = CallNextHookEx(keyHook, code, wParam, lParam);
    return swallowKeys ? 1 : next;
}

struct MouseCall {
    WPARAM msg;
    POINT pt;
    HWND hwnd;
    UINT hit;
};

std::vector<MouseCall> mouseCalls;
HHOOK mouseHook = nullptr;
bool swallowMouse = false;

LRESULT RecordMouse(int code, WPARAM wParam, LPARAM lParam) {
    const auto* info = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    if (wParam != WM_MOUSEMOVE && wParam != WM_NCMOUSEMOVE)
        mouseCalls.push_back({wParam, info->pt, info->hwnd, info->wHitTestCode});
    const LRESULT next = CallNextHookEx(mouseHook, code, wParam, lParam);
    return swallowMouse ? 1 : next;
}

bool KeyUp(const KeyCall& c) {
    return (static_cast<uint32_t>(c.data) & (1u << 31)) != 0;
}

bool AltBit(const KeyCall& c) {
    return (static_cast<uint32_t>(c.data) & (1u << 29)) != 0;
}

class HookDelivery : public ::testing::Test {
protected:
    void SetUp() override {
        // Keys another test left held would count as down.
        pw::gui::ClearKeyState();
        form_ = MakeTopLevel(RECT{100, 100, 400, 300}, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        edit_ = MakeChild(form_, RECT{10, 10, 110, 40});
        SetActiveWindow(form_);
        SetFocus(edit_);
        Pump();
        keyCalls.clear();
        mouseCalls.clear();
        swallowKeys = false;
        swallowMouse = false;
        keyHook = SetWindowsHookEx(WH_KEYBOARD, RecordKey, nullptr, GetCurrentThreadId());
        mouseHook = SetWindowsHookEx(WH_MOUSE, RecordMouse, nullptr, GetCurrentThreadId());
    }
    void TearDown() override {
        UnhookWindowsHookEx(keyHook);
        UnhookWindowsHookEx(mouseHook);
    }
    HWND form_ = nullptr;
    HWND edit_ = nullptr;
};

TEST_F(HookDelivery, MenuKeysReachTheKeyboardHookWithTheKeyStateOfTheirMoment) {
    // Alt alone: its release finds no key down any more, which is how a menu tells Alt alone from Alt
    // with a letter.
    pw::gui::SimulateKey(VK_MENU, true);
    pw::gui::SimulateKey(VK_MENU, false);
    ASSERT_EQ(keyCalls.size(), 2u);
    EXPECT_EQ(keyCalls[0].key, static_cast<WPARAM>(VK_MENU));
    EXPECT_FALSE(KeyUp(keyCalls[0]));
    EXPECT_TRUE(AltBit(keyCalls[0]));
    EXPECT_TRUE(keyCalls[0].menuDown);
    EXPECT_TRUE(KeyUp(keyCalls[1]));
    EXPECT_FALSE(keyCalls[1].menuDown);
    EXPECT_FALSE(keyCalls[1].anyKeyDown);
    // The hook sees these before any window has taken the earlier keys from the queue.
    keyCalls.clear();
    pw::gui::SimulateKey(VK_MENU, true);
    pw::gui::SimulateKey('F', true, U'f');
    ASSERT_EQ(keyCalls.size(), 2u);
    EXPECT_TRUE(AltBit(keyCalls[1]));
    EXPECT_TRUE(keyCalls[1].menuDown);
    pw::gui::SimulateKey('F', false);
    pw::gui::SimulateKey(VK_MENU, false);
    Pump();

    // F10 alone and with Shift: both edges reach the hook, Shift read as held.
    keyCalls.clear();
    pw::gui::SimulateKeyStroke(VK_F10);
    pw::gui::SimulateKey(VK_SHIFT, true);
    pw::gui::SimulateKeyStroke(VK_F10);
    pw::gui::SimulateKey(VK_SHIFT, false);
    ASSERT_EQ(keyCalls.size(), 6u);
    EXPECT_EQ(keyCalls[0].key, static_cast<WPARAM>(VK_F10));
    EXPECT_FALSE(keyCalls[0].shiftDown);
    EXPECT_TRUE(KeyUp(keyCalls[1]));
    EXPECT_EQ(keyCalls[3].key, static_cast<WPARAM>(VK_F10));
    EXPECT_TRUE(keyCalls[3].shiftDown);
    EXPECT_FALSE(KeyUp(keyCalls[3]));
    Pump();

    // The menu key: an extended key whose release the hook sees too.
    keyCalls.clear();
    gui_test::Log().clear();
    pw::gui::SimulateKeyStroke(VK_APPS);
    ASSERT_EQ(keyCalls.size(), 2u);
    EXPECT_EQ(keyCalls[1].key, static_cast<WPARAM>(VK_APPS));
    EXPECT_TRUE(KeyUp(keyCalls[1]));
    EXPECT_TRUE(static_cast<uint32_t>(keyCalls[1].data) & (1u << 24));
    Pump();
    EXPECT_EQ(gui_test::SeenOf(edit_, WM_CONTEXTMENU).size(), 1u);
}

TEST_F(HookDelivery, ASwallowedKeyReachesNoWindowNorItsDefaultHandling) {
    swallowKeys = true;
    gui_test::Log().clear();
    pw::gui::SimulateKey(VK_MENU, true);
    pw::gui::SimulateKey(VK_MENU, false);
    pw::gui::SimulateKeyStroke(VK_APPS);
    Pump();
    EXPECT_EQ(keyCalls.size(), 4u);
    EXPECT_TRUE(gui_test::MessagesOf(edit_, {WM_SYSKEYDOWN, WM_SYSKEYUP, WM_KEYDOWN, WM_KEYUP}).empty());
    EXPECT_TRUE(gui_test::SeenOf(nullptr, WM_CONTEXTMENU).empty());
    EXPECT_TRUE(gui_test::SeenOf(form_, WM_SYSCOMMAND).empty());
}

TEST_F(HookDelivery, AClickElsewhereWhileAMenuIsShownReachesTheMouseHookWithItsWindowAndHitTest) {
    // A menu: topmost, shown without activation, refusing activation by the mouse.
    HWND menu = MakeTopLevel(RECT{150, 150, 250, 250}, WS_POPUP, WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    gui_test::SetTestHandler(menu, [](HWND, UINT msg, WPARAM, LPARAM, LRESULT& result) {
        if (msg != WM_MOUSEACTIVATE) return false;
        result = MA_NOACTIVATE;
        return true;
    });
    ShowWindow(menu, SW_SHOWNA);
    Pump();
    ASSERT_EQ(GetActiveWindow(), form_);

    // On the menu: the menu's client area, and the form stays active.
    pw::gui::SimulateClick(POINT{160, 160});
    Pump();
    EXPECT_EQ(GetActiveWindow(), form_);
    // On the form's client area, beside the menu.
    pw::gui::SimulateClick(POINT{300, 280}, MouseButton::Right);
    // On the caption of a captioned child of the form: a non-client click.
    HWND panel = MakeChild(form_, RECT{200, 20, 290, 80}, WS_CHILD | WS_VISIBLE | WS_CAPTION);
    Pump();
    RECT window{0, 0, 0, 0};
    GetWindowRect(panel, window);
    const POINT caption{window.left + 40, window.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 2};
    ASSERT_EQ(SendMessage(panel, WM_NCHITTEST, 0, PackPoint(caption)), HTCAPTION);
    pw::gui::SimulateClick(caption);
    Pump();
    ASSERT_EQ(mouseCalls.size(), 6u);
    EXPECT_EQ(mouseCalls[0].msg, static_cast<WPARAM>(WM_LBUTTONDOWN));
    EXPECT_EQ(mouseCalls[0].hwnd, menu);
    EXPECT_EQ(mouseCalls[0].hit, static_cast<UINT>(HTCLIENT));
    EXPECT_EQ(mouseCalls[0].pt.x, 160);
    EXPECT_EQ(mouseCalls[2].msg, static_cast<WPARAM>(WM_RBUTTONDOWN));
    EXPECT_EQ(mouseCalls[3].msg, static_cast<WPARAM>(WM_RBUTTONUP));
    EXPECT_EQ(mouseCalls[3].hwnd, form_);
    EXPECT_EQ(mouseCalls[3].hit, static_cast<UINT>(HTCLIENT));
    EXPECT_EQ(mouseCalls[3].pt.x, 300);
    EXPECT_EQ(mouseCalls[3].pt.y, 280);
    EXPECT_EQ(mouseCalls[4].msg, static_cast<WPARAM>(WM_NCLBUTTONDOWN));
    EXPECT_EQ(mouseCalls[4].hwnd, panel);
    EXPECT_EQ(mouseCalls[4].hit, static_cast<UINT>(HTCAPTION));
    EXPECT_EQ(mouseCalls[4].pt.x, caption.x);
    EXPECT_EQ(mouseCalls[5].msg, static_cast<WPARAM>(WM_NCLBUTTONUP));

    // With the menu holding the capture, a click anywhere is the menu's, in its client terms.
    mouseCalls.clear();
    SetCapture(menu);
    pw::gui::SimulateClick(POINT{120, 280});
    ReleaseCapture();
    ASSERT_EQ(mouseCalls.size(), 2u);
    EXPECT_EQ(mouseCalls[0].hwnd, menu);
    EXPECT_EQ(mouseCalls[0].hit, static_cast<UINT>(HTCLIENT));
    EXPECT_EQ(mouseCalls[0].pt.x, 120);
    EXPECT_EQ(mouseCalls[0].pt.y, 280);
    DestroyWindow(menu);
}

TEST_F(HookDelivery, APressOverADisabledFormReachesOnlyTheMouseHookAsAnErrorHitOnTheForm) {
    HWND other = MakeTopLevel(RECT{500, 100, 600, 200}, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    SetActiveWindow(other);
    EnableWindow(form_, FALSE_);
    Pump();
    gui_test::Log().clear();
    RECT r{0, 0, 0, 0};
    GetWindowRect(edit_, r);
    // Over its enabled child too; the second press is a double click.
    pw::gui::SimulateClick(POINT{r.left + 5, r.top + 5});
    pw::gui::SimulateClick(POINT{r.left + 5, r.top + 5});
    Pump();
    ASSERT_EQ(mouseCalls.size(), 4u);
    EXPECT_EQ(mouseCalls[0].msg, static_cast<WPARAM>(WM_NCLBUTTONDOWN));
    EXPECT_EQ(mouseCalls[0].hwnd, form_);
    EXPECT_EQ(mouseCalls[0].hit, static_cast<UINT>(HTERROR));
    EXPECT_EQ(mouseCalls[2].msg, static_cast<WPARAM>(WM_NCLBUTTONDBLCLK));
    // Left to the windows, it reaches neither the form nor the child, nor activates the form.
    for (UINT msg : {WM_LBUTTONDOWN, WM_NCLBUTTONDOWN, WM_MOUSEACTIVATE, WM_ACTIVATE})
        EXPECT_TRUE(gui_test::SeenOf(edit_, msg).empty() && gui_test::SeenOf(form_, msg).empty()) << msg;
    EXPECT_FALSE(gui_test::SeenOf(form_, WM_SETCURSOR).empty());
    EXPECT_EQ(GetActiveWindow(), other);

    // Taken by the hook, it is the hook's alone.
    gui_test::Log().clear();
    swallowMouse = true;
    pw::gui::SimulateClick(POINT{300, 250});
    EXPECT_TRUE(gui_test::SeenOf(form_, WM_SETCURSOR).empty());
    EnableWindow(form_, TRUE_);
}

} // namespace
