// What a window tells the window manager, read back from a real X server the test starts as a window
// manager reads it: a main window offers its minimize and maximize boxes; an owned window without them
// is a dialog transient for its owner, keeps the size the program gives it and offers neither function;
// and under openbox, which draws both buttons on any dialog, the window manager itself allows neither.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/gui_state.h"
#include "platform/gui/qt/host_widget.h"
#include "platform/gui/qt/tests/x_connection.h"
#include "platform/gui/window.h"
#include "tests/support/child_test.h"
#include "tests/support/gui/pump.h"
#include "tests/support/gui/x_desktop.h"
#include "tests/support/peer_process.h"
#include "tests/support/temp_dir.h"

#if defined(PW_HAVE_XCB)
#include <xcb/xcb.h>

namespace {

// Motif hints: flags, functions, decorations (the bits the toolkit and window managers use).
constexpr uint32_t kMwmFunctionMinimize = 1u << 3;
constexpr uint32_t kMwmFunctionMaximize = 1u << 4;
constexpr uint32_t kMwmFunctionClose = 1u << 5;
constexpr uint32_t kMwmDecorMinimize = 1u << 5;
constexpr uint32_t kMwmDecorMaximize = 1u << 6;
// WM_NORMAL_HINTS: flags, then x, y, width, height, min width, min height, max width, max height...
constexpr uint32_t kMinSizeFlag = 1u << 4;
constexpr uint32_t kMaxSizeFlag = 1u << 5;

using Properties = gui_qt_test::XConnection;
using gui_qt_test::XWindowOf;

// The type a window manager takes: the first one listed.
std::string TypeOf(Properties& x, uint32_t window) {
    const std::vector<std::string> types = x.Names(window, "_NET_WM_WINDOW_TYPE");
    return types.empty() ? std::string() : types.front();
}

bool Has(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

HWND Make(DWORD style, HWND owner, int width, int height) {
    return CreateWindowEx(0, "WindowManagerHintsTest", "hints", style, 40, 40, width, height, owner, nullptr,
                          nullptr, nullptr);
}

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;

TEST(WindowManagerHints, ADialogOffersNoMinimizeOrMaximizeAndAMainWindowBoth) {
    if (testsupport::RanApart()) return;
    ASSERT_EQ(QCoreApplication::instance(), nullptr) << "the toolkit already runs in this process";
    testsupport::XDesktop desktop;
    if (!desktop.Problem().empty()) GTEST_SKIP() << desktop.Problem();
    WNDCLASS wc;
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = "WindowManagerHintsTest";
    RegisterClass(wc);
    Properties x;

    HWND main = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 300, 200);
    HWND dialog = Make(kDialogStyle, main, 200, 100);
    testsupport::Pump();
    const uint32_t mainId = XWindowOf(main), dialogId = XWindowOf(dialog);
    ASSERT_NE(mainId, 0u);
    ASSERT_NE(dialogId, 0u);

    EXPECT_EQ(TypeOf(x, mainId), "_NET_WM_WINDOW_TYPE_NORMAL");
    EXPECT_TRUE(x.Values(mainId, "WM_TRANSIENT_FOR").empty());
    const std::vector<uint32_t> mainMotif = x.Values(mainId, "_MOTIF_WM_HINTS");
    ASSERT_GE(mainMotif.size(), 3u);
    EXPECT_EQ(mainMotif[1] & (kMwmFunctionMinimize | kMwmFunctionMaximize),
              kMwmFunctionMinimize | kMwmFunctionMaximize);
    EXPECT_EQ(mainMotif[2] & (kMwmDecorMinimize | kMwmDecorMaximize), kMwmDecorMinimize | kMwmDecorMaximize);
    const std::vector<uint32_t> mainSize = x.Values(mainId, "WM_NORMAL_HINTS");
    ASSERT_GE(mainSize.size(), 9u);
    EXPECT_EQ(mainSize[0] & kMaxSizeFlag, 0u) << "a sizing frame: no largest size";

    EXPECT_EQ(TypeOf(x, dialogId), "_NET_WM_WINDOW_TYPE_DIALOG");
    EXPECT_EQ(x.Values(dialogId, "WM_TRANSIENT_FOR"), std::vector<uint32_t>{mainId});
    const std::vector<uint32_t> motif = x.Values(dialogId, "_MOTIF_WM_HINTS");
    ASSERT_GE(motif.size(), 3u);
    EXPECT_EQ(motif[1] & (kMwmFunctionMinimize | kMwmFunctionMaximize | kMwmFunctionClose),
              kMwmFunctionClose);
    EXPECT_EQ(motif[2] & (kMwmDecorMinimize | kMwmDecorMaximize), 0u);
    // Without a sizing frame its smallest and largest sizes are its own, and follow it when it changes.
    RECT client;
    GetClientRect(dialog, client);
    std::vector<uint32_t> size = x.Values(dialogId, "WM_NORMAL_HINTS");
    ASSERT_GE(size.size(), 9u);
    EXPECT_EQ(size[0] & (kMinSizeFlag | kMaxSizeFlag), kMinSizeFlag | kMaxSizeFlag);
    EXPECT_EQ((std::vector<uint32_t>{size[5], size[6], size[7], size[8]}),
              (std::vector<uint32_t>{200, 100, 200, 100}));
    SetWindowPos(dialog, nullptr, 0, 0, 260, 150, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    testsupport::Pump();
    size = x.Values(dialogId, "WM_NORMAL_HINTS");
    ASSERT_GE(size.size(), 9u);
    EXPECT_EQ((std::vector<uint32_t>{size[5], size[6], size[7], size[8]}),
              (std::vector<uint32_t>{260, 150, 260, 150}));

    // Openbox draws both buttons on every dialog whatever its hints say, and only what it allows works.
    if (!HaveProgram("openbox")) GTEST_SKIP() << "openbox is not installed";
    testsupport::TempDir dir;
    testsupport::BackgroundProgram openbox({"openbox", "--sm-disable"}, dir.File("openbox.log"));
    ASSERT_TRUE(openbox.Started());
    const uint32_t root = x.Root();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !x.Values(root, "_NET_SUPPORTING_WM_CHECK").empty(); }));
    HWND managedMain = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 300, 200);
    HWND managedDialog = Make(kDialogStyle, managedMain, 200, 100);
    // A window that may be minimized but keeps its size: no maximizing.
    HWND fixed = Make(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE, nullptr, 200, 100);
    std::vector<std::string> mainAllowed, dialogAllowed, fixedAllowed;
    ASSERT_TRUE(testsupport::PumpUntil([&] {
        mainAllowed = x.Names(XWindowOf(managedMain), "_NET_WM_ALLOWED_ACTIONS");
        dialogAllowed = x.Names(XWindowOf(managedDialog), "_NET_WM_ALLOWED_ACTIONS");
        fixedAllowed = x.Names(XWindowOf(fixed), "_NET_WM_ALLOWED_ACTIONS");
        return !mainAllowed.empty() && !dialogAllowed.empty() && !fixedAllowed.empty();
    }));
    EXPECT_TRUE(Has(mainAllowed, "_NET_WM_ACTION_MINIMIZE"));
    EXPECT_TRUE(Has(mainAllowed, "_NET_WM_ACTION_MAXIMIZE_HORZ"));
    EXPECT_TRUE(Has(mainAllowed, "_NET_WM_ACTION_RESIZE"));
    EXPECT_TRUE(Has(dialogAllowed, "_NET_WM_ACTION_CLOSE"));
    EXPECT_TRUE(Has(dialogAllowed, "_NET_WM_ACTION_MOVE"));
    EXPECT_FALSE(Has(dialogAllowed, "_NET_WM_ACTION_MINIMIZE"));
    EXPECT_FALSE(Has(dialogAllowed, "_NET_WM_ACTION_MAXIMIZE_HORZ"));
    EXPECT_FALSE(Has(dialogAllowed, "_NET_WM_ACTION_MAXIMIZE_VERT"));
    EXPECT_FALSE(Has(dialogAllowed, "_NET_WM_ACTION_RESIZE"));
    EXPECT_EQ(x.Values(XWindowOf(managedDialog), "WM_TRANSIENT_FOR"),
              std::vector<uint32_t>{XWindowOf(managedMain)});
    EXPECT_TRUE(Has(fixedAllowed, "_NET_WM_ACTION_MINIMIZE"));
    EXPECT_FALSE(Has(fixedAllowed, "_NET_WM_ACTION_MAXIMIZE_HORZ"));
    EXPECT_EQ(TypeOf(x, XWindowOf(fixed)), "_NET_WM_WINDOW_TYPE_NORMAL");
    for (HWND w : {fixed, managedDialog, managedMain, dialog, main})
        DestroyWindow(w);
}

} // namespace
#endif
