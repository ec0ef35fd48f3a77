// DragDetect tells a drag from a click; GetWindowPlacement reports the shown state and the restored
// rectangle of top-level and child windows.
#include <gtest/gtest.h>

#include "gui_test_support.h"
#include "platform/gdi/metrics.h"
#include "platform/gui/drag_detect.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/placement.h"

using gui_test::MakeChild;
using gui_test::MakeTopLevel;
using gui_test::Pump;
using pw::gui::MouseAction;
using pw::gui::MouseButton;
using pw::gui::SimulateMouse;

namespace {

TEST(DragDetect, LeavingTheDragRectangleIsADragAndAReleaseInsideItIsAClick) {
    HWND hwnd = MakeTopLevel(RECT{100, 100, 300, 200});
    Pump();
    const POINT start{150, 150};
    const int half = GetSystemMetrics(SM_CXDRAG) / 2;
    // Within the rectangle, then up: a click.
    SimulateMouse(MouseAction::Move, POINT{start.x + half, start.y});
    SimulateMouse(MouseAction::Up, POINT{start.x + half, start.y}, MouseButton::Left);
    EXPECT_EQ(DragDetect(hwnd, start), FALSE_);
    EXPECT_EQ(GetCapture(), nullptr);
    // One pixel past it: a drag, and the release is still to come.
    SimulateMouse(MouseAction::Move, POINT{start.x + half + 1, start.y});
    SimulateMouse(MouseAction::Up, POINT{start.x + 40, start.y}, MouseButton::Left);
    EXPECT_EQ(DragDetect(hwnd, start), TRUE_);
    EXPECT_EQ(GetCapture(), nullptr);
    MSG msg;
    EXPECT_TRUE(PeekMessage(msg, nullptr, WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE));
    // Escape gives up before any move.
    pw::gui::SimulateKey(VK_ESCAPE, true);
    SimulateMouse(MouseAction::Move, POINT{start.x + 40, start.y});
    EXPECT_EQ(DragDetect(hwnd, start), FALSE_);
    // Later tests read the key state: the Escape pressed above is let go.
    pw::gui::SimulateKey(VK_ESCAPE, false);
    Pump();
    EXPECT_EQ(DragDetect(nullptr, start), FALSE_);
}

TEST(Placement, TheRestoredRectangleStaysWhileTheWindowIsMaximizedOrMinimized) {
    HWND hwnd = MakeTopLevel(RECT{40, 50, 340, 250}, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Pump();
    WINDOWPLACEMENT placement;
    ASSERT_TRUE(GetWindowPlacement(hwnd, placement));
    EXPECT_EQ(placement.showCmd, static_cast<UINT>(SW_SHOWNORMAL));
    RECT window{};
    GetWindowRect(hwnd, window);
    EXPECT_TRUE(EqualRect(placement.rcNormalPosition, window));
    ShowWindow(hwnd, SW_MAXIMIZE);
    Pump();
    ASSERT_TRUE(GetWindowPlacement(hwnd, placement));
    EXPECT_EQ(placement.showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
    EXPECT_TRUE(EqualRect(placement.rcNormalPosition, window));
    ShowWindow(hwnd, SW_MINIMIZE);
    ASSERT_TRUE(GetWindowPlacement(hwnd, placement));
    EXPECT_EQ(placement.showCmd, static_cast<UINT>(SW_SHOWMINIMIZED));
    EXPECT_TRUE(EqualRect(placement.rcNormalPosition, window));
    ShowWindow(hwnd, SW_RESTORE);
    Pump();
    ASSERT_TRUE(GetWindowPlacement(hwnd, placement));
    EXPECT_EQ(placement.showCmd, static_cast<UINT>(SW_SHOWNORMAL));

    HWND child = MakeChild(hwnd, RECT{5, 6, 25, 36}, WS_CHILD);
    ASSERT_TRUE(GetWindowPlacement(child, placement));
    EXPECT_EQ(placement.showCmd, static_cast<UINT>(SW_HIDE));
    EXPECT_TRUE(EqualRect(placement.rcNormalPosition, RECT{5, 6, 25, 36}));
    // A caller that did not fill in the length gets nothing.
    WINDOWPLACEMENT wrong;
    wrong.length = 0;
    EXPECT_FALSE(GetWindowPlacement(hwnd, wrong));
    EXPECT_FALSE(GetWindowPlacement(nullptr, placement));
}

} // namespace
