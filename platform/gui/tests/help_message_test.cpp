// Help asked of a window that does not answer it goes up: a child's to its parent, a top-level
// window's to its owner.
#include <gtest/gtest.h>

#include "gui_test_support.h"
#include "platform/gui/message_views.h"

using namespace gui_test;

TEST(HelpMessage, UnansweredHelpGoesToTheParentThenToTheOwner) {
    HWND owner = MakeTopLevel(RECT{0, 0, 100, 100});
    // A popup made with a parent is owned by it.
    HWND top = CreateWindowEx(0, RecordingClass(), "", WS_POPUP | WS_VISIBLE, 200, 0, 100, 100, owner,
                              nullptr, nullptr, nullptr);
    ASSERT_EQ(GetWindow(top, GW_OWNER), owner);
    HWND child = MakeChild(top, RECT{0, 0, 50, 50});
    HWND grandChild = MakeChild(child, RECT{0, 0, 20, 20});
    HELPINFO info;
    info.hItemHandle = grandChild;
    Log().clear();
    EXPECT_EQ(SendMessage(grandChild, WM_HELP, 0, reinterpret_cast<LPARAM>(&info)), TRUE_);
    std::vector<HWND> asked;
    for (const Seen& s : SeenOf(nullptr, WM_HELP)) {
        asked.push_back(s.hwnd);
        EXPECT_EQ(s.lParam, reinterpret_cast<LPARAM>(&info));
    }
    EXPECT_EQ(asked, (std::vector<HWND>{grandChild, child, top, owner}));
    DestroyWindow(top);
}
