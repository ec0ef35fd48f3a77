// Floating toolbars follow their form's activation.
#include <gtest/gtest.h>

#include "bar_windows_fixture.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"

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

} // namespace
} // namespace bars_windows_test
