// The keys that put a window's menu into keyboard mode: Alt pressed and released alone, and F10.
#include <gtest/gtest.h>

#include "gui_test_support.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"

using gui_test::MakeChild;
using gui_test::MakeTopLevel;
using gui_test::Pump;

namespace {

TEST(MenuKey, AltAloneAndF10AskTheTopLevelWindowForItsMenuAndAltWithAKeyDoesNot) {
    HWND top = MakeTopLevel(RECT{100, 100, 300, 200}, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND child = MakeChild(top, RECT{10, 10, 100, 60});
    SetActiveWindow(top);
    SetFocus(child);
    Pump();
    auto menuRequests = [&] {
        int n = 0;
        for (const gui_test::Seen& s : gui_test::SeenOf(top, WM_SYSCOMMAND))
            n += (s.wParam & 0xFFF0) == SC_KEYMENU;
        return n;
    };
    gui_test::Log().clear();
    pw::gui::SimulateKey(VK_MENU, true);
    pw::gui::SimulateKey(VK_MENU, false);
    Pump();
    EXPECT_EQ(menuRequests(), 1);
    // Alt with another key is a shortcut, not the menu.
    gui_test::Log().clear();
    pw::gui::SimulateKey(VK_MENU, true);
    pw::gui::SimulateKey('X', true, U'x');
    pw::gui::SimulateKey('X', false);
    pw::gui::SimulateKey(VK_MENU, false);
    Pump();
    EXPECT_EQ(menuRequests(), 0);
    gui_test::Log().clear();
    pw::gui::SimulateKeyStroke(VK_F10);
    Pump();
    EXPECT_EQ(menuRequests(), 1);
    // Shift+F10 is the context menu instead.
    gui_test::Log().clear();
    pw::gui::SimulateKey(VK_SHIFT, true);
    pw::gui::SimulateKeyStroke(VK_F10);
    pw::gui::SimulateKey(VK_SHIFT, false);
    Pump();
    EXPECT_EQ(menuRequests(), 0);
    EXPECT_FALSE(gui_test::SeenOf(child, WM_CONTEXTMENU).empty());
}

} // namespace
