// Floating toolbars follow their form's activation.
#include <gtest/gtest.h>

#include "bar_windows_fixture.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_unit.h"
#include "bars/core/customizing_notify.h"
#include "bars/core/sub_item.h"
#include "bars/windows/bar_control.h"
#include "platform/gdi/metrics.h"
#include "platform/gdi/test_settings.h"
#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/message_form.h"
#include "platform/vcl/screen.h"

namespace bars_windows_test {
namespace {

class FloatingBarsTest : public BarWindowsTest {
protected:
    FloatingBarsTest() {
        floating = Toolbar("Floating", {Button("Open")}, dsNone);
        docked = Toolbar("Docked", {Button("Save")});
    }
    bool Shows() const { return IsWindowVisible(Window(floating)->Handle()) != 0; }
    void Activate(bool active, HWND other) {
        SendMessage(form.Handle(), WM_ACTIVATE, active ? WA_ACTIVE : WA_INACTIVE,
                    reinterpret_cast<LPARAM>(other));
        Pump();
    }
    TdxBar* floating = nullptr;
    TdxBar* docked = nullptr;
};

TEST_F(FloatingBarsTest, TheyHideForAnotherFormOrProgramAndComeBack) {
    ASSERT_NE(Window(floating), nullptr);
    ASSERT_TRUE(Shows());
    Activate(false, nullptr); // another program
    EXPECT_FALSE(Shows());
    EXPECT_TRUE(IsWindowVisible(Window(docked)->Handle())); // docked bars stay with the form
    Activate(true, nullptr);
    EXPECT_TRUE(Shows());

    BarsForm other;
    other.Show();
    Pump();
    Activate(false, other.Handle());
    EXPECT_FALSE(Shows());
    Activate(true, other.Handle());
    EXPECT_TRUE(Shows());
}

TEST_F(FloatingBarsTest, AWindowOfThisProgramThatIsNoFormKeepsThem) {
    WNDCLASS wc;
    wc.lpfnWndProc = &DefWindowProc;
    wc.lpszClassName = "FloatingBarsTestList";
    RegisterClass(wc);
    HWND list = CreateWindowEx(0, "FloatingBarsTestList", "", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, nullptr,
                               nullptr, nullptr, nullptr);
    ASSERT_NE(list, nullptr);
    Activate(false, list);
    EXPECT_TRUE(Shows());
    DestroyWindow(list);
}

TEST_F(FloatingBarsTest, TheSettingKeepsThemUntilTheFormHides) {
    manager->SetHideFloatingBarsWhenInactive(false);
    Activate(false, nullptr);
    EXPECT_TRUE(Shows());
    // Turned on while the form is inactive: they go at once.
    manager->SetHideFloatingBarsWhenInactive(true);
    Pump();
    EXPECT_FALSE(Shows());
    manager->SetHideFloatingBarsWhenInactive(false);
    Pump();
    EXPECT_TRUE(Shows());
    // A form that hides takes them along whatever the setting.
    form.Hide();
    Pump();
    EXPECT_FALSE(Shows());
}

// The program loses the activation to another program, or the form is about to hide: the floating
// bars go, and the form no longer counts as active.
TEST_F(FloatingBarsTest, LeavingTheProgramOrHidingTheFormHidesThemAndTheFormIsNoLongerActive) {
    manager->SetParentFormActive(true);
    SendMessage(form.Handle(), WM_ACTIVATEAPP, FALSE_, 0);
    Pump();
    EXPECT_FALSE(Shows());
    EXPECT_FALSE(manager->ParentFormActive());
    Activate(true, nullptr);
    ASSERT_TRUE(Shows());
    ASSERT_TRUE(manager->ParentFormActive());
    WINDOWPOS pos{};
    pos.hwnd = form.Handle();
    pos.flags = SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE;
    SendMessage(form.Handle(), WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    Pump();
    EXPECT_FALSE(Shows());
    EXPECT_FALSE(manager->ParentFormActive());
}

// The customizing window is a form, but turning to it while it customizes this manager keeps them.
TEST_F(FloatingBarsTest, TheCustomizingWindowKeepsThemWhileItCustomizes) {
    static HWND customizing = nullptr;
    BarsForm window;
    window.Show();
    Pump();
    customizing = window.Handle();
    struct CustomizingWindow : bars::CustomizingReceiver {
        HWND FormWindow() const override { return customizing; }
    };
    const CustomizingWindow receiver;
    bars::SetCustomizingReceiver(&receiver);
    Activate(false, customizing);
    EXPECT_FALSE(Shows()) << "another form while nobody customizes";
    Activate(true, nullptr);
    manager->SetIsCustomizing(true);
    Pump();
    Activate(false, customizing);
    EXPECT_TRUE(Shows());
    manager->SetIsCustomizing(false);
    bars::SetCustomizingReceiver(nullptr);
}

// The window system may report an earlier size of a floating toolbar's window (the toolkit's default
// before the first, one measured before the buttons were) after the toolbar gave it its own: the bar
// keeps the width and height the layout store writes.
TEST_F(FloatingBarsTest, ASizeTheWindowSystemReportsLateIsNotStored) {
    floating->SetVisible(false);
    floating->SetFloatClientWidth(160);
    floating->SetVisible(true);
    Pump();
    const HWND window = Window(floating)->Handle();
    RECT client{};
    GetClientRect(window, client);
    ASSERT_EQ(floating->FloatClientHeight(), client.bottom);
    // As the toolkit's window hands a size on to ours.
    auto reported = [window](int w, int h) {
        SetWindowPos(window, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        Pump();
    };
    RECT own{};
    GetWindowRect(window, own);
    reported(640, 480);
    reported(own.right - own.left, own.bottom - own.top);
    reported(102, 60);
    EXPECT_EQ(floating->FloatClientWidth(), 160);
    EXPECT_EQ(floating->FloatClientHeight(), client.bottom);
    floating->SetVisible(false);
    EXPECT_EQ(floating->FloatClientWidth(), 160);
    EXPECT_EQ(floating->FloatClientHeight(), client.bottom);
}

// A message box that rises while a menu of the docked toolbar is open (an error reported from the
// loop, as a failed opening of the help is) disables the floating toolbar with the rest, and gives it
// back when it is closed: the floating toolbar's buttons work again.
struct BoxWhileMenuOpen {
    static inline pw::stdctrls::TMessageForm* box = nullptr;
    static inline bool closed = false;
    static inline bool floatingDisabled = false;
    static inline HWND floatingWindow = nullptr;
    static void Show(HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        pw::vcl::PromptRequest request;
        request.caption = "Error";
        request.text = "No program opens the help.";
        request.buttons = {{"OK", IDOK}};
        request.cancelResult = IDOK;
        SetTimer(nullptr, 0, 5, &Close);
        pw::stdctrls::AskMessageForm(request);
        closed = true;
    }
    static void Close(HWND, UINT, UINT_PTR id, DWORD) {
        box = dynamic_cast<pw::stdctrls::TMessageForm*>(Screen->ActiveForm());
        if (box == nullptr || !box->Visible()) return;
        KillTimer(nullptr, id);
        floatingDisabled = !IsWindowEnabled(floatingWindow);
        TButton* ok = box->Buttons.at(0);
        pw::gui::SimulateClick(ok->ClientToScreen(TPoint{ok->Width() / 2, ok->Height() / 2}));
    }
};

TEST_F(FloatingBarsTest, AMessageBoxFromAnOpenMenuGivesTheFloatingToolbarBack) {
    auto* help = new TdxBarSubItem(&form);
    help->SetCaption("&Help");
    help->ItemLinks()->Add()->SetItem(Button("&Contents"));
    docked->ItemLinks()->Add()->SetItem(help);
    Pump();
    BoxWhileMenuOpen::floatingWindow = Window(floating)->Handle();
    BoxWhileMenuOpen::closed = BoxWhileMenuOpen::floatingDisabled = false;
    Press(Centre(help, docked));
    Release(Centre(help, docked));
    ASSERT_NE(help->ItemLinks()->BarControl(), nullptr) << "the menu is open";
    StartTimer(5, &BoxWhileMenuOpen::Show);
    ASSERT_TRUE(testsupport::PumpUntil([] { return BoxWhileMenuOpen::closed; }));
    Pump();
    EXPECT_TRUE(BoxWhileMenuOpen::floatingDisabled);
    EXPECT_TRUE(IsWindowEnabled(Window(floating)->Handle()));
    EXPECT_TRUE(IsWindowEnabled(form.Handle()));
    TdxBarItem* open = floating->ItemLinks()->Items(0)->Item();
    if (auto* menu = dynamic_cast<bars::TCustomdxBarControl*>(GetActiveBarControl())) menu->HideAll();
    Pump();
    Press(Centre(open, floating));
    Release(Centre(open, floating));
    EXPECT_EQ(Clicks(open), 1);
}

class RefitTest : public FloatingBarsTest {
protected:
    RefitTest() : screens(pw::gui::Screens()) {
        pw::gui::ChangeScreens({{RECT{0, 0, 1024, 768}, RECT{0, 0, 1024, 768}}});
        Pump();
    }
    ~RefitTest() override {
        pw::gui::SetScreens(screens);
        pw::gdi::SetNonClientMetrics(pw::gdi::DefaultNonClientMetrics());
    }
    RECT Placed(TdxBar* bar) const {
        RECT r{0, 0, 0, 0};
        GetWindowRect(Window(bar)->Handle(), r);
        return r;
    }
    void MoveBar(TdxBar* bar, int x, int y) {
        SetWindowPos(Window(bar)->Handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        Pump();
    }
    std::vector<pw::gui::ScreenInfo> screens;
};

TEST_F(RefitTest, ASmallerScreenOrWorkAreaBringsFloatingBarsBackInside) {
    const RECT before = Placed(floating);
    const int w = before.right - before.left, h = before.bottom - before.top;
    MoveBar(floating, 900, 700);
    // A panel takes the screen's bottom: the bar moves up to end where the work area ends.
    pw::gui::ChangeScreens({{RECT{0, 0, 1024, 768}, RECT{0, 0, 1024, 740}}});
    Pump();
    EXPECT_EQ(Placed(floating), (RECT{900, 740 - h, 900 + w, 740}));
    // A smaller screen: up and left, to its edges.
    pw::gui::ChangeScreens({{RECT{0, 0, 800, 600}, RECT{0, 0, 800, 600}}});
    Pump();
    EXPECT_EQ(Placed(floating), (RECT{800 - w, 600 - h, 800, 600}));
    // Above and left of the area: down and right onto it.
    MoveBar(floating, -50, -40);
    pw::gui::ChangeScreens({{RECT{0, 0, 800, 600}, RECT{30, 20, 800, 600}}});
    Pump();
    EXPECT_EQ(Placed(floating), (RECT{30, 20, 30 + w, 20 + h}));
    // A bar inside stays where it is; a docked one is the dock's.
    MoveBar(floating, 100, 100);
    pw::gui::ChangeScreens({{RECT{0, 0, 1024, 768}, RECT{0, 0, 1024, 768}}});
    Pump();
    EXPECT_EQ(Placed(floating), (RECT{100, 100, 100 + w, 100 + h}));
}

TEST_F(RefitTest, ABarLargerThanTheAreaKeepsItsTopLeftInside) {
    const RECT before = Placed(floating);
    const int w = before.right - before.left, h = before.bottom - before.top;
    MoveBar(floating, 500, 400);
    pw::gui::ChangeScreens({{RECT{0, 0, 1024, 768}, RECT{10, 12, 10 + w - 4, 12 + h - 3}}});
    Pump();
    EXPECT_EQ(Placed(floating), (RECT{10, 12, 10 + w, 12 + h}));
    // The display's own message refits the same way, without any work-area message.
    pw::gui::SetScreens({{RECT{0, 0, 1024, 768}, RECT{0, 0, 300, 200}}});
    MoveBar(floating, 400, 300);
    SendMessage(form.Handle(), WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
    Pump();
    EXPECT_EQ(Placed(floating), (RECT{300 - w, 200 - h, 300, 200}));
}

// A bar at the work area's corner that grows (a longer caption, another row of buttons) stays whole
// inside it, its close box on the screen.
TEST_F(RefitTest, AFloatingBarThatGrowsAtTheEdgeStaysInside) {
    RECT r = Placed(floating);
    MoveBar(floating, 1024 - (r.right - r.left), 768 - (r.bottom - r.top));
    floating->SetCaption("Floating tools for the whole site map");
    Pump();
    r = Placed(floating);
    EXPECT_EQ(r.right, 1024);
    floating->ItemLinks()->Add()->SetItem(Button("Save the site map"));
    Pump();
    const RECT grown = Placed(floating);
    EXPECT_GT(grown.bottom - grown.top, r.bottom - r.top);
    EXPECT_EQ(grown.right, 1024);
    EXPECT_EQ(grown.bottom, 768);
}

TEST_F(RefitTest, ANewDesktopMenuFontIsTheSystemFontBarsShow) {
    manager->SetUseSystemFont(true);
    NONCLIENTMETRICS metrics = pw::gdi::DefaultNonClientMetrics();
    metrics.lfMenuFont.lfHeight = -21;
    pw::gui::ChangeNonClientMetrics(metrics);
    Pump();
    EXPECT_EQ(manager->Font()->Height(), -21);
    // A scaled font of its own takes the new height; an unscaled one stays as it is.
    manager->SetUseSystemFont(false);
    metrics.lfMenuFont.lfHeight = -17;
    pw::gui::ChangeNonClientMetrics(metrics);
    Pump();
    EXPECT_EQ(manager->Font()->Height(), manager->Scaled() ? -17 : -21);
    manager->SetScaled(false);
    metrics.lfMenuFont.lfHeight = -15;
    pw::gui::ChangeNonClientMetrics(metrics);
    Pump();
    EXPECT_EQ(manager->Font()->Height(), -17);
}

} // namespace
} // namespace bars_windows_test
