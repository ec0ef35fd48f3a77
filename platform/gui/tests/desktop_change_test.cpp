// What the windows hear when the desktop changes under the program: its screens, their work areas and
// the non-client metrics with their fonts.
#include <gtest/gtest.h>

#include "gui_test_support.h"
#include "platform/gdi/metrics.h"
#include "platform/gdi/test_settings.h"
#include "platform/gui/system.h"

using namespace gui_test;

namespace {

class DesktopChange : public ::testing::Test {
protected:
    DesktopChange() : screens_(pw::gui::Screens()) {}
    ~DesktopChange() override {
        pw::gui::SetScreens(screens_);
        pw::gdi::SetNonClientMetrics(pw::gdi::DefaultNonClientMetrics());
    }
    // The desktop messages a window heard, in order.
    static std::vector<Seen> Heard(HWND w) {
        std::vector<Seen> out;
        for (const Seen& s : Log())
            if (s.hwnd == w && (s.msg == WM_DISPLAYCHANGE || s.msg == WM_SETTINGCHANGE)) out.push_back(s);
        return out;
    }

private:
    std::vector<pw::gui::ScreenInfo> screens_;
};

} // namespace

TEST_F(DesktopChange, ScreensTellTheTopLevelWindowsWhatChanged) {
    pw::gui::SetScreens({{RECT{0, 0, 1024, 768}, RECT{0, 0, 1024, 768}}});
    HWND top = MakeTopLevel(RECT{0, 0, 100, 100});
    HWND child = MakeChild(top, RECT{0, 0, 10, 10});
    Log().clear();
    // A new size: the depth and the primary screen's size, then the work area that came with it.
    pw::gui::ChangeScreens({{RECT{0, 0, 1280, 1024}, RECT{0, 0, 1280, 990}}});
    std::vector<Seen> heard = Heard(top);
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0].msg, WM_DISPLAYCHANGE);
    EXPECT_EQ(heard[0].wParam, 32u);
    EXPECT_EQ(heard[0].lParam, MAKELPARAM(1280, 1024));
    EXPECT_EQ(heard[1].msg, WM_SETTINGCHANGE);
    EXPECT_EQ(heard[1].wParam, SPI_SETWORKAREA);
    EXPECT_TRUE(Heard(child).empty());
    RECT area{};
    SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_EQ(area, (RECT{0, 0, 1280, 990}));
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);

    // Only a panel that moved: the work area alone.
    Log().clear();
    pw::gui::ChangeScreens({{RECT{0, 0, 1280, 1024}, RECT{0, 30, 1280, 1024}}});
    heard = Heard(top);
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].msg, WM_SETTINGCHANGE);
    // A second screen beside it counts as a change of the display.
    Log().clear();
    pw::gui::ChangeScreens({{RECT{0, 0, 1280, 1024}, RECT{0, 30, 1280, 1024}},
                            {RECT{1280, 0, 2560, 1024}, RECT{1280, 0, 2560, 1024}}});
    heard = Heard(top);
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard[0].msg, WM_DISPLAYCHANGE);
    // The same again says nothing.
    Log().clear();
    pw::gui::ChangeScreens(pw::gui::Screens());
    EXPECT_TRUE(Heard(top).empty());
}

TEST_F(DesktopChange, NewNonClientMetricsAreReadBackAndAnnounced) {
    HWND top = MakeTopLevel(RECT{0, 0, 100, 100});
    Log().clear();
    NONCLIENTMETRICS metrics = pw::gdi::DefaultNonClientMetrics();
    metrics.lfMenuFont.lfHeight = -19;
    pw::gui::ChangeNonClientMetrics(metrics);
    std::vector<Seen> heard = Heard(top);
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].msg, WM_SETTINGCHANGE);
    EXPECT_EQ(heard[0].wParam, SPI_SETNONCLIENTMETRICS);
    NONCLIENTMETRICS read{};
    ASSERT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof read, &read, 0));
    EXPECT_EQ(read.lfMenuFont.lfHeight, -19);
    Log().clear();
    pw::gui::ChangeNonClientMetrics(metrics);
    EXPECT_TRUE(Heard(top).empty());
}
