#include <gtest/gtest.h>

#include "gui_test_support.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/system.h"
#include "platform/rtl/sync.h"

using namespace gui_test;
using pw::gui::MouseAction;
using pw::gui::MouseButton;

namespace {

std::vector<std::pair<int, WPARAM>> hookLog;
bool swallowEscape = false;
HHOOK keyboardHook = nullptr;
HHOOK mouseHook = nullptr;

LRESULT KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
    hookLog.emplace_back(WH_KEYBOARD, wParam);
    if (swallowEscape && wParam == VK_ESCAPE) return 1;
    return CallNextHookEx(keyboardHook, code, wParam, lParam);
}

LRESULT MouseHook(int code, WPARAM wParam, LPARAM lParam) {
    hookLog.emplace_back(WH_MOUSE, wParam);
    return CallNextHookEx(mouseHook, code, wParam, lParam);
}

int innerHookCalls = 0;
HHOOK innerHook = nullptr;
LRESULT InnerKeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
    ++innerHookCalls;
    return CallNextHookEx(innerHook, code, wParam, lParam);
}

void PumpAndTranslate() {
    MSG msg;
    while (PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(msg);
        DispatchMessage(msg);
    }
}

// Plays the mouse steps from a timer while a window procedure's own sizing loop runs, as a person's
// hand would, and runs the queue until they are all played and handled.
void PlayWhileTheLoopRuns(std::vector<std::pair<MouseAction, POINT>> play) {
    static std::vector<std::pair<MouseAction, POINT>> steps;
    static size_t next = 0;
    steps = std::move(play);
    next = 0;
    UINT_PTR timer = SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) {
        if (next < steps.size()) {
            pw::gui::SimulateMouse(steps[next].first, steps[next].second, MouseButton::Left);
            ++next;
        }
    });
    MSG msg;
    while (next < steps.size() || PeekMessage(msg, nullptr, 0, 0, PM_NOREMOVE)) {
        if (GetMessage(msg, nullptr, 0, 0) <= 0) break;
        DispatchMessage(msg);
    }
    KillTimer(nullptr, timer);
}

} // namespace

TEST(Input, HooksSeeEachKeyOnceBeforeAnyWindowAndMaySwallowIt) {
    HWND w = MakeTopLevel(RECT{0, 0, 50, 50});
    SetFocus(w);
    Pump();
    hookLog.clear();
    innerHook = SetWindowsHookEx(WH_KEYBOARD, InnerKeyboardHook, nullptr, GetCurrentThreadId());
    keyboardHook = SetWindowsHookEx(WH_KEYBOARD, KeyboardHook, nullptr, GetCurrentThreadId());
    swallowEscape = true;
    Log().clear();
    pw::gui::SimulateKeyStroke('B');
    pw::gui::SimulateKeyStroke(VK_ESCAPE);
    // Looking at the queue without removing must not call the hooks again.
    MSG msg;
    PeekMessage(msg, nullptr, 0, 0, PM_NOREMOVE);
    PumpAndTranslate();
    std::vector<std::pair<int, WPARAM>> expected{
        {WH_KEYBOARD, 'B'}, {WH_KEYBOARD, 'B'}, {WH_KEYBOARD, VK_ESCAPE}, {WH_KEYBOARD, VK_ESCAPE}};
    EXPECT_EQ(hookLog, expected);
    EXPECT_EQ(innerHookCalls, 2); // the newest hook passed only B on
    EXPECT_EQ(MessagesOf(w, {WM_KEYDOWN, WM_CHAR, WM_KEYUP}),
              (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
    EXPECT_TRUE(UnhookWindowsHookEx(keyboardHook));
    EXPECT_TRUE(UnhookWindowsHookEx(innerHook));
    EXPECT_FALSE(UnhookWindowsHookEx(keyboardHook));
}

TEST(Input, AltMakesSystemKeysAndTheKeyStateFollowsInput) {
    HWND w = MakeTopLevel(RECT{0, 0, 50, 50});
    SetFocus(w);
    Pump();
    Log().clear();
    pw::gui::SimulateKey(VK_MENU, true);
    EXPECT_TRUE(GetAsyncKeyState(VK_MENU) & 0x8000);
    pw::gui::SimulateKey('F', true, U'f');
    pw::gui::SimulateKey('F', false);
    pw::gui::SimulateKey(VK_MENU, false);
    EXPECT_FALSE(GetAsyncKeyState(VK_MENU) & 0x8000);
    // GetKeyState answers for the message being handled: Alt was down when F arrived.
    MSG msg;
    ASSERT_TRUE(PeekMessage(msg, nullptr, 0, 0, PM_REMOVE));
    ASSERT_TRUE(PeekMessage(msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>('F'));
    EXPECT_TRUE(GetKeyState(VK_MENU) & 0x8000);
    EXPECT_FALSE(GetAsyncKeyState(VK_MENU) & 0x8000);
    TranslateMessage(msg);
    PostMessage(w, WM_USER, 0, 0); // not input: leaves the key state alone
    ASSERT_TRUE(PeekMessage(msg, w, WM_USER, WM_USER, PM_REMOVE));
    EXPECT_TRUE(GetKeyState(VK_MENU) & 0x8000);
    PumpAndTranslate();
    EXPECT_FALSE(GetKeyState(VK_MENU) & 0x8000);
    EXPECT_EQ(MessagesOf(w, {WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_CHAR, WM_SYSCHAR}),
              (std::vector<UINT>{WM_SYSCHAR, WM_SYSKEYUP, WM_SYSKEYUP}));
    const Seen sysChar = SeenOf(w, WM_SYSCHAR).at(0);
    EXPECT_EQ(sysChar.wParam, static_cast<WPARAM>('f'));
    EXPECT_TRUE(sysChar.lParam & (1 << 29));
}

TEST(Input, CaptureRoutesTheMouseAndSurvivesNestedLoops) {
    HWND a = MakeTopLevel(RECT{100, 100, 200, 200});
    HWND b = MakeTopLevel(RECT{300, 100, 400, 200});
    Pump();
    Log().clear();
    hookLog.clear();
    mouseHook = SetWindowsHookEx(WH_MOUSE, MouseHook, nullptr, GetCurrentThreadId());
    SetCapture(a);
    pw::gui::SimulateMouse(MouseAction::Move, POINT{350, 150});
    UnhookWindowsHookEx(mouseHook);
    EXPECT_EQ(hookLog, (std::vector<std::pair<int, WPARAM>>{{WH_MOUSE, WM_MOUSEMOVE}}));
    // A nested loop in between keeps the capture.
    PostMessage(a, WM_USER, 0, 0);
    MSG msg;
    while (PeekMessage(msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessage(msg);
    EXPECT_EQ(GetCapture(), a);
    const std::vector<Seen> moves = SeenOf(nullptr, WM_MOUSEMOVE);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].hwnd, a);
    EXPECT_EQ(GET_X_LPARAM(moves[0].lParam), 250); // client coordinates of a, outside it
    Log().clear();
    SetCapture(b);
    EXPECT_EQ(MessagesOf(a, {WM_CAPTURECHANGED}), (std::vector<UINT>{WM_CAPTURECHANGED}));
    // Hidden, a window keeps the mouse and still receives it; destroyed, it lets it go.
    ShowWindow(b, SW_HIDE);
    EXPECT_EQ(GetCapture(), b);
    Log().clear();
    pw::gui::SimulateMouse(MouseAction::Move, POINT{150, 150});
    Pump();
    EXPECT_EQ(MessagesOf(b, {WM_MOUSEMOVE}), (std::vector<UINT>{WM_MOUSEMOVE}));
    EXPECT_TRUE(MessagesOf(a, {WM_MOUSEMOVE}).empty());
    DestroyWindow(b);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST(Input, MouseLeaveComesOnceWhenThePointerLeavesTheTrackedClientArea) {
    HWND w = MakeTopLevel(RECT{100, 100, 200, 200}, WS_POPUP | WS_VISIBLE | WS_BORDER);
    Pump();
    pw::gui::SimulateMouse(MouseAction::Move, POINT{150, 150});
    TRACKMOUSEEVENT tme;
    tme.dwFlags = TME_LEAVE;
    tme.hwndTrack = w;
    ASSERT_TRUE(TrackMouseEvent(tme));
    TRACKMOUSEEVENT query;
    query.dwFlags = TME_QUERY;
    TrackMouseEvent(query);
    EXPECT_EQ(query.hwndTrack, w);
    EXPECT_EQ(query.dwFlags & TME_LEAVE, TME_LEAVE);
    Pump();
    Log().clear();
    pw::gui::SimulateMouse(MouseAction::Move, POINT{160, 150});
    pw::gui::SimulateMouse(MouseAction::Move, POINT{100, 150}); // on the border: no longer the client
    pw::gui::SimulateMouse(MouseAction::Move, POINT{50, 50});
    Pump();
    EXPECT_EQ(MessagesOf(w, {WM_MOUSELEAVE}), (std::vector<UINT>{WM_MOUSELEAVE}));
    EXPECT_EQ(MessagesOf(w, {WM_NCMOUSEMOVE}), (std::vector<UINT>{WM_NCMOUSEMOVE}));
    // Asking to track while already outside reports the leave at once.
    Log().clear();
    ASSERT_TRUE(TrackMouseEvent(tme));
    Pump();
    EXPECT_EQ(MessagesOf(w, {WM_MOUSELEAVE}), (std::vector<UINT>{WM_MOUSELEAVE}));
}

TEST(Input, DoubleClicksOnlyForClassesThatAskAndContextMenusOnRelease) {
    HWND plain = MakeTopLevel(RECT{100, 100, 200, 200});
    HWND dbl = MakeTopLevel(RECT{300, 100, 400, 200}, WS_POPUP | WS_VISIBLE, 0, CS_DBLCLKS);
    Pump();
    Log().clear();
    pw::gui::SimulateClick(POINT{150, 150});
    pw::gui::SimulateClick(POINT{150, 150});
    pw::gui::SimulateClick(POINT{350, 150});
    pw::gui::SimulateClick(POINT{350, 150});
    pw::gui::SimulateClick(POINT{350, 150}); // a third press starts over
    Pump();
    EXPECT_EQ(MessagesOf(plain, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDOWN}));
    EXPECT_EQ(MessagesOf(dbl, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN}));
    // A second press after the double-click time is a press of its own.
    ASSERT_TRUE(SetDoubleClickTime(20));
    EXPECT_EQ(GetDoubleClickTime(), 20u);
    Sleep(22);
    Log().clear();
    pw::gui::SimulateClick(POINT{350, 150});
    Sleep(22);
    pw::gui::SimulateClick(POINT{350, 150});
    Pump();
    EXPECT_EQ(MessagesOf(dbl, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDOWN}));
    SetDoubleClickTime(0);
    EXPECT_EQ(GetDoubleClickTime(), 500u);
    Log().clear();
    pw::gui::SimulateMouse(MouseAction::Down, POINT{150, 150}, MouseButton::Right);
    Pump();
    EXPECT_TRUE(MessagesOf(plain, {WM_CONTEXTMENU}).empty());
    pw::gui::SimulateMouse(MouseAction::Up, POINT{150, 150}, MouseButton::Right);
    Pump();
    ASSERT_EQ(MessagesOf(plain, {WM_CONTEXTMENU}), (std::vector<UINT>{WM_CONTEXTMENU}));
    EXPECT_EQ(SeenOf(plain, WM_CONTEXTMENU)[0].lParam, MAKELPARAM(150, 150)); // screen coordinates
    // From the keyboard: the menu key, and Shift+F10.
    SetFocus(plain);
    Pump();
    Log().clear();
    pw::gui::SimulateKeyStroke(VK_APPS);
    pw::gui::SimulateKey(VK_SHIFT, true);
    pw::gui::SimulateKeyStroke(VK_F10);
    pw::gui::SimulateKey(VK_SHIFT, false);
    Pump();
    const std::vector<Seen> fromKeys = SeenOf(nullptr, WM_CONTEXTMENU);
    ASSERT_EQ(fromKeys.size(), 2u);
    EXPECT_EQ(fromKeys[0].lParam, -1);
    EXPECT_EQ(fromKeys[1].lParam, -1);
}

TEST(Input, WindowsThatAnswerNoActivateNeverTakeTheActivation) {
    HWND form = MakeTopLevel(RECT{0, 0, 300, 300});
    HWND bar = MakeTopLevel(RECT{400, 0, 500, 50});
    HWND hint = MakeTopLevel(RECT{600, 0, 700, 50}, WS_POPUP, WS_EX_NOACTIVATE | WS_EX_TOPMOST);
    SetActiveWindow(form);
    EXPECT_EQ(GetActiveWindow(), form);
    EXPECT_EQ(GetFocus(), form);
    SetTestHandler(bar, [](HWND, UINT msg, WPARAM, LPARAM, LRESULT& r) {
        if (msg != WM_MOUSEACTIVATE) return false;
        r = MA_NOACTIVATE;
        return true;
    });
    Pump();
    Log().clear();
    pw::gui::SimulateClick(POINT{450, 25});
    Pump();
    EXPECT_EQ(GetActiveWindow(), form);
    EXPECT_EQ(MessagesOf(bar, {WM_MOUSEACTIVATE, WM_LBUTTONDOWN}),
              (std::vector<UINT>{WM_MOUSEACTIVATE, WM_LBUTTONDOWN}));
    ShowWindow(hint, SW_SHOWNA);
    EXPECT_TRUE(IsWindowVisible(hint));
    pw::gui::SimulateClick(POINT{650, 25});
    Pump();
    EXPECT_EQ(GetActiveWindow(), form);
    EXPECT_EQ(WindowFromPoint(POINT{650, 25}), hint);
    // An activating click moves activation and focus with their messages.
    HWND other = MakeTopLevel(RECT{0, 400, 100, 500}, WS_POPUP | WS_VISIBLE);
    SetActiveWindow(form);
    Pump();
    Log().clear();
    pw::gui::SimulateClick(POINT{50, 450});
    Pump();
    EXPECT_EQ(GetActiveWindow(), other);
    EXPECT_EQ(GetFocus(), other);
    EXPECT_EQ(MessagesOf(form, {WM_NCACTIVATE, WM_ACTIVATE, WM_KILLFOCUS}),
              (std::vector<UINT>{WM_KILLFOCUS, WM_NCACTIVATE, WM_ACTIVATE}));
    EXPECT_EQ(MessagesOf(other, {WM_MOUSEACTIVATE, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS}),
              (std::vector<UINT>{WM_MOUSEACTIVATE, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS}));
    DestroyWindow(other);
    EXPECT_NE(GetActiveWindow(), other);
}

TEST(Input, FocusMessagesNameTheOtherWindow) {
    HWND form = MakeTopLevel(RECT{0, 0, 300, 300});
    HWND a = MakeChild(form, RECT{0, 0, 50, 50});
    HWND b = MakeChild(form, RECT{60, 0, 110, 50});
    SetFocus(a);
    Log().clear();
    EXPECT_EQ(SetFocus(b), a);
    EXPECT_EQ(MessagesOf(nullptr, {WM_KILLFOCUS, WM_SETFOCUS}),
              (std::vector<UINT>{WM_KILLFOCUS, WM_SETFOCUS}));
    EXPECT_EQ(SeenOf(a, WM_KILLFOCUS).at(0).wParam, reinterpret_cast<WPARAM>(b));
    EXPECT_EQ(SeenOf(b, WM_SETFOCUS).at(0).wParam, reinterpret_cast<WPARAM>(a));
    // The wheel goes to the focus window, with the pointer in screen coordinates.
    Log().clear();
    pw::gui::SimulateMouse(MouseAction::Wheel, POINT{290, 290}, MouseButton::None, -120);
    Pump();
    const std::vector<Seen> wheel = SeenOf(b, WM_MOUSEWHEEL);
    ASSERT_EQ(wheel.size(), 1u);
    EXPECT_EQ(static_cast<int16_t>(HIWORD(wheel[0].wParam)), -120);
    EXPECT_EQ(wheel[0].lParam, MAKELPARAM(290, 290));
    DestroyWindow(b); // focus falls back to the parent
    EXPECT_EQ(GetFocus(), form);
    DestroyWindow(form);
    EXPECT_EQ(GetFocus(), nullptr);
}

// As in Win32, the keyboard goes to no window that is disabled or stands in a disabled window: the
// focus stays where it was and no other top-level window is activated for it.
TEST(Input, NoFocusForAWindowInsideADisabledOne) {
    HWND form = MakeTopLevel(RECT{0, 0, 300, 300});
    HWND inside = MakeChild(form, RECT{0, 0, 50, 50});
    HWND other = MakeTopLevel(RECT{400, 0, 500, 100});
    SetFocus(other);
    ASSERT_EQ(GetActiveWindow(), other);
    EnableWindow(form, FALSE_);
    EXPECT_EQ(SetFocus(inside), nullptr);
    EXPECT_EQ(SetFocus(form), nullptr);
    EXPECT_EQ(GetFocus(), other);
    EXPECT_EQ(GetActiveWindow(), other);
    EnableWindow(form, TRUE_);
    EnableWindow(inside, FALSE_);
    EXPECT_EQ(SetFocus(inside), nullptr);
    EXPECT_EQ(GetFocus(), other);
    EnableWindow(inside, TRUE_);
    EXPECT_NE(SetFocus(inside), nullptr);
    EXPECT_EQ(GetFocus(), inside);
    DestroyWindow(other);
    DestroyWindow(form);
}

TEST(Input, VirtualKeyTablesAreInverses) {
    for (char c = 0x20; c < 0x7F; ++c) {
        int16_t scan = VkKeyScan(c);
        ASSERT_NE(scan, -1) << c;
        EXPECT_EQ(CharFromVirtualKey(static_cast<BYTE>(scan & 0xFF), (scan & 0x100) != 0),
                  static_cast<char32_t>(static_cast<unsigned char>(c)))
            << c;
    }
    EXPECT_EQ(VkKeyScan('-'), VK_OEM_MINUS);
    EXPECT_EQ(MapVirtualKey('A', MAPVK_VK_TO_CHAR), static_cast<UINT>('A'));
    EXPECT_EQ(MapVirtualKey(MapVirtualKey('Q', MAPVK_VK_TO_VSC), MAPVK_VSC_TO_VK), static_cast<UINT>('Q'));
}

TEST(Input, HoverComesAfterThePointerRestsAndCursorsFollowTheHitTest) {
    DWORD now = 1000;
    pw::gui::SetTickSource([&] { return now; });
    WNDCLASS wc;
    wc.lpfnWndProc = DefWindowProc;
    wc.hCursor = LoadCursor(nullptr, IDC_HAND);
    wc.lpszClassName = "GuiTestHand";
    RegisterClass(wc);
    HWND w = CreateWindowEx(0, "GuiTestHand", "", WS_POPUP | WS_VISIBLE | WS_THICKFRAME, 100, 100, 100, 100,
                            nullptr, nullptr, nullptr, nullptr);
    pw::gui::SimulateMouse(MouseAction::Move, POINT{150, 150});
    Pump();
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_HAND));
    pw::gui::SimulateMouse(MouseAction::Move, POINT{101, 150});
    Pump();
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_SIZEWE));
    pw::gui::SimulateMouse(MouseAction::Move, POINT{150, 150});
    HWND hovered = nullptr;
    HWND watcher = AllocateHWnd([&](TMessage&) {});
    // Hover arrives as a posted message to the tracked window.
    TRACKMOUSEEVENT tme;
    tme.dwFlags = TME_HOVER;
    tme.hwndTrack = w;
    tme.dwHoverTime = 100;
    ASSERT_TRUE(TrackMouseEvent(tme));
    MSG msg;
    for (DWORD step : {50, 60}) {
        now += step;
        while (PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_MOUSEHOVER) hovered = msg.hwnd;
            DispatchMessage(msg);
        }
        EXPECT_EQ(hovered, step == 50 ? nullptr : w); // not before the hover time has passed
    }
    DeallocateHWnd(watcher);
    DestroyWindow(w);
    UnregisterClass("GuiTestHand", nullptr);
    pw::gui::SetTickSource(nullptr);
}

TEST(Input, DraggingASizingBorderResizesThroughTheDefaultProcedure) {
    HWND w = MakeTopLevel(RECT{100, 100, 300, 200}, WS_POPUP | WS_VISIBLE | WS_THICKFRAME);
    std::vector<RECT> sizing;
    SetTestHandler(w, [&](HWND, UINT msg, WPARAM, LPARAM lp, LRESULT&) {
        if (msg == WM_SIZING) {
            auto* r = reinterpret_cast<RECT*>(lp);
            sizing.push_back(*r);
            r->right = std::min<LONG>(r->right, r->left + 220); // a handler may limit the size
        }
        return false;
    });
    Pump();
    pw::gui::SimulateMouse(MouseAction::Move, POINT{299, 199});
    pw::gui::SimulateMouse(MouseAction::Down, POINT{299, 199}, MouseButton::Left);
    PlayWhileTheLoopRuns({{MouseAction::Move, POINT{310, 205}},
                          {MouseAction::Move, POINT{349, 239}},
                          {MouseAction::Up, POINT{349, 239}}});
    ASSERT_EQ(sizing.size(), 2u);
    EXPECT_EQ(sizing[1], (RECT{100, 100, 350, 240}));
    RECT r;
    GetWindowRect(w, r);
    EXPECT_EQ(r, (RECT{100, 100, 320, 240}));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST(Input, ActivationBringsTheWindowAndItsOwnedPopupsToTheFront) {
    HWND back = MakeTopLevel(RECT{0, 0, 200, 200});
    HWND owned = CreateWindowEx(0, RecordingClass(), "", WS_POPUP | WS_VISIBLE, 20, 20, 30, 30, back, nullptr,
                                nullptr, nullptr);
    HWND front = MakeTopLevel(RECT{0, 0, 200, 200});
    EXPECT_EQ(WindowFromPoint(POINT{25, 25}), front);
    SetActiveWindow(front);
    pw::gui::SimulateClick(POINT{150, 150});
    Pump();
    EXPECT_EQ(GetActiveWindow(), front);
    SetActiveWindow(back);
    EXPECT_EQ(WindowFromPoint(POINT{150, 150}), back);
    EXPECT_EQ(WindowFromPoint(POINT{25, 25}), owned);
    DestroyWindow(front);
    DestroyWindow(back);
    EXPECT_FALSE(IsWindow(owned));
}

// The desktop activates whatever is clicked, a window its modal dialog disabled too: the activation goes
// on, once, to the dialog (to the window of the family last active, else the frontmost one the disabled
// window owns), which keeps its focus and comes to the front; the toolkit's reports of it go no further.
TEST(Input, ADisabledOwnerTheDesktopActivatesPassesTheActivationToItsDialog) {
    HWND main = MakeTopLevel(RECT{0, 0, 300, 300});
    auto owned = [](HWND owner, DWORD flags) {
        return CreateWindowEx(0, RecordingClass(), "", WS_POPUP | flags, 50, 50, 200, 200, owner, nullptr,
                              nullptr, nullptr);
    };
    HWND dialog = owned(main, WS_VISIBLE);
    HWND edit = MakeChild(dialog, RECT{10, 10, 60, 30});
    SetFocus(edit);
    EnableWindow(main, FALSE_);
    Log().clear();
    pw::gui::InjectActivation(main, true);
    EXPECT_EQ(GetActiveWindow(), dialog);
    EXPECT_EQ(GetFocus(), edit);
    // The toolkit then tells of the window it took the activation from, and later of what it was asked.
    pw::gui::InjectActivation(dialog, false);
    pw::gui::InjectActivation(dialog, true);
    pw::gui::InjectActivation(main, false);
    EXPECT_EQ(GetFocus(), edit);
    const std::vector<Seen> activations = SeenOf(nullptr, WM_ACTIVATE);
    ASSERT_EQ(activations.size(), 4u);
    EXPECT_EQ(activations[1].hwnd, main);
    EXPECT_NE(LOWORD(activations[1].wParam), WA_INACTIVE);
    EXPECT_EQ(activations[3].hwnd, dialog);
    EXPECT_EQ(activations[3].lParam, reinterpret_cast<LPARAM>(main));
    // From another window over it, the dialog comes to the front.
    HWND other = MakeTopLevel(RECT{100, 100, 400, 400});
    SetActiveWindow(other);
    pw::gui::InjectActivation(main, true);
    EXPECT_EQ(GetActiveWindow(), dialog);
    EXPECT_EQ(WindowFromPoint(POINT{200, 200}), dialog);
    // Given back to the dialog that had it, the dialog keeps its place: behind a toolbar shown in front of
    // it since.
    HWND toolbar = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, RecordingClass(), "", WS_POPUP, 150,
                                  150, 100, 30, main, nullptr, nullptr, nullptr);
    ShowWindow(toolbar, SW_SHOWNA);
    pw::gui::InjectActivation(main, true);
    EXPECT_EQ(GetActiveWindow(), dialog);
    EXPECT_EQ(WindowFromPoint(POINT{200, 160}), toolbar);
    DestroyWindow(toolbar);
    // A dialog's own modal box: the last active of the family, whichever of them is activated, and not
    // a window of the family in front of it that never was.
    HWND box = owned(dialog, WS_VISIBLE);
    EnableWindow(dialog, FALSE_);
    HWND tool = owned(main, 0);
    SetWindowPos(tool, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    EXPECT_EQ(GetLastActivePopup(main), box);
    EXPECT_EQ(GetLastActivePopup(dialog), dialog);
    for (HWND clicked : {main, dialog, main}) {
        SetActiveWindow(other);
        pw::gui::InjectActivation(clicked, true);
        EXPECT_EQ(GetActiveWindow(), box);
    }
    // Never active yet: the frontmost window owned that can take it; with none, the window keeps it.
    DestroyWindow(tool);
    DestroyWindow(box);
    HWND late = owned(dialog, 0);
    SetWindowPos(late, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetActiveWindow(other);
    pw::gui::InjectActivation(main, true);
    EXPECT_EQ(GetActiveWindow(), late);
    DestroyWindow(late);
    pw::gui::InjectActivation(main, true);
    EXPECT_EQ(GetActiveWindow(), main);
}

TEST(Input, LosingTheApplicationActivationForgetsHeldKeys) {
    HWND w = MakeTopLevel(RECT{0, 0, 20, 20});
    SetActiveWindow(w);
    pw::gui::SimulateKey(VK_MENU, true);
    Log().clear();
    pw::gui::InjectAppActivation(false);
    // Alt's release went to another program; it must not stay down here.
    EXPECT_FALSE(GetAsyncKeyState(VK_MENU) & 0x8000);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    const std::vector<Seen> appActivations = SeenOf(w, WM_ACTIVATEAPP);
    ASSERT_EQ(appActivations.size(), 1u);
    EXPECT_EQ(appActivations[0].wParam, 0u);
    pw::gui::InjectAppActivation(true);
    SetActiveWindow(w);
    EXPECT_EQ(GetActiveWindow(), w);
}

TEST(Input, KeysReleasedWhileTheWindowWasInactiveDoNotStayDown) {
    HWND w = MakeTopLevel(RECT{0, 0, 20, 20});
    SetActiveWindow(w);
    SetFocus(w);
    Pump();
    // Alt+N opens a dialog of the toolkit, which takes the activation and sees Alt's release.
    pw::gui::SimulateKey(VK_MENU, true);
    pw::gui::SimulateKey('N', true, U'n');
    pw::gui::InjectActivation(w, false);
    EXPECT_FALSE(GetAsyncKeyState(VK_MENU) & 0x8000);
    EXPECT_FALSE(GetAsyncKeyState('N') & 0x8000);
    pw::gui::InjectActivation(w, true);
    SetFocus(w);
    PumpAndTranslate();
    Log().clear();
    pw::gui::SimulateKeyStroke('C');
    PumpAndTranslate();
    // A plain letter types, and is no Alt+C that would close the window.
    EXPECT_EQ(MessagesOf(w, {WM_KEYDOWN, WM_SYSKEYDOWN, WM_CHAR, WM_SYSCHAR}),
              (std::vector<UINT>{WM_KEYDOWN, WM_CHAR}));

    // Without a change of activation the toolkit's modifiers with the next key say what is held.
    struct Case {
        BYTE held;
        int modifiers;
        UINT expected;
    };
    for (const Case& c : {Case{VK_MENU, 0, WM_KEYDOWN}, Case{VK_MENU, pw::gui::kModifierAlt, WM_SYSKEYDOWN},
                          Case{VK_CONTROL, pw::gui::kModifierShift, WM_KEYDOWN}}) {
        pw::gui::ClearKeyState();
        pw::gui::SimulateKey(c.held, true);
        PumpAndTranslate();
        Log().clear();
        pw::gui::InjectKey(pw::gui::KeyInput{'C', true, false, U'c', nullptr, c.modifiers});
        PumpAndTranslate();
        EXPECT_EQ(MessagesOf(w, {WM_KEYDOWN, WM_SYSKEYDOWN}), std::vector<UINT>{c.expected}) << c.modifiers;
        EXPECT_EQ((GetAsyncKeyState(VK_MENU) & 0x8000) != 0, (c.modifiers & pw::gui::kModifierAlt) != 0);
        EXPECT_EQ((GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0, (c.modifiers & pw::gui::kModifierCtrl) != 0);
        EXPECT_EQ((GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0, (c.modifiers & pw::gui::kModifierShift) != 0);
        pw::gui::SimulateKey('C', false);
    }
    pw::gui::ClearKeyState();
}

TEST(Input, ResizingByTheBorderKeepsTheTrackSizesTheWindowAsksFor) {
    HWND w = MakeTopLevel(RECT{100, 100, 300, 200}, WS_POPUP | WS_VISIBLE | WS_THICKFRAME);
    std::vector<RECT> sizing;
    SetTestHandler(w, [&](HWND, UINT msg, WPARAM, LPARAM lp, LRESULT&) {
        if (msg == WM_GETMINMAXINFO) {
            auto* info = reinterpret_cast<MINMAXINFO*>(lp);
            info->ptMinTrackSize = POINT{180, 150};
            info->ptMaxTrackSize = POINT{400, 160};
        }
        if (msg == WM_SIZING) sizing.push_back(*reinterpret_cast<RECT*>(lp));
        return false;
    });
    Pump();
    pw::gui::SimulateMouse(MouseAction::Move, POINT{299, 199});
    pw::gui::SimulateMouse(MouseAction::Down, POINT{299, 199}, MouseButton::Left);
    // Smaller than the smallest, then wider and taller than the largest.
    PlayWhileTheLoopRuns({{MouseAction::Move, POINT{150, 120}},
                          {MouseAction::Move, POINT{700, 400}},
                          {MouseAction::Up, POINT{700, 400}}});
    ASSERT_EQ(sizing.size(), 2u);
    EXPECT_EQ(sizing[0], (RECT{100, 100, 280, 250}));
    EXPECT_EQ(sizing[1], (RECT{100, 100, 500, 260}));
    RECT r;
    GetWindowRect(w, r);
    EXPECT_EQ(r, (RECT{100, 100, 500, 260}));
}
