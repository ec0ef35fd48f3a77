// The built program on an X server and under a window manager (openbox) of the test's own, driven with
// the real pointer and keys (xdotool) as a person drives it: where its windows lie on the screen, and
// which lies in front of which.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/main_texts.h"
#include "tests/support/gui/x_connection.h"
#include "tests/support/gui/x_desktop.h"
#include "tests/support/peer_process.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wait.h"

#if defined(PW_HAVE_XCB)

namespace app_test {
namespace {

using Rect = std::vector<int>; // left, top, right, bottom

class ProgramOnDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveProgram("xdotool") || !HaveProgram("openbox"))
            GTEST_SKIP() << "xdotool or openbox is missing";
        if (!server_.Problem().empty()) GTEST_SKIP() << server_.Problem();
        openbox_ = std::make_unique<testsupport::Openbox>(server_.Display());
        ASSERT_EQ(openbox_->Problem(), "");
        x_ = std::make_unique<testsupport::XConnection>(server_.Display());
    }

    // The program as a person starts it on this desktop, with the settings folder of the test.
    void Start() {
        program_ = std::make_unique<testsupport::BackgroundProgram>(
            std::vector<std::string>{"env", "DISPLAY=" + server_.Display(), "WAYLAND_DISPLAY=",
                                     "QT_QPA_PLATFORM=xcb", "XDG_CONFIG_HOME=" + config_.Path(), PW_PROGRAM},
            config_.File("program.log"));
        ASSERT_TRUE(program_->Started());
        ASSERT_TRUE(ShownActive(main_text::CaptionPrefix, false))
            << testsupport::ReadFile(config_.File("program.log"));
        main_ = x_->Managed(main_text::CaptionPrefix, false);
    }
    void Stop() { program_.reset(); }

    // Waits until the window manager shows the window with that title (or title start) active.
    bool ShownActive(const std::string& title, bool wholeTitle = true) {
        return testsupport::WaitUntil([&] {
            const uint32_t w = x_->Managed(title, wholeTitle);
            return w != 0 && x_->Active() == w;
        });
    }
    bool Gone(const std::string& title) {
        return testsupport::WaitUntil([&] { return x_->Managed(title) == 0; });
    }
    void Xdotool(const std::vector<std::string>& args) {
        std::vector<std::string> argv{"env", "DISPLAY=" + server_.Display(), "xdotool"};
        argv.insert(argv.end(), args.begin(), args.end());
        ASSERT_EQ(testsupport::RunServing(argv, config_.File("xdotool.log")), 0);
    }
    // A drag with the left button from one point to another, in steps the program sees as moves, with
    // Ctrl held: a toolbar dragged so stays floating wherever it passes.
    void CtrlDrag(int fromX, int fromY, int toX, int toY) {
        std::vector<std::string> args{
            "mousemove", std::to_string(fromX), std::to_string(fromY), "keydown", "ctrl", "mousedown", "1"};
        for (int step = 1; step <= 8; ++step)
            args.insert(args.end(), {"mousemove", std::to_string(fromX + (toX - fromX) * step / 8),
                                     std::to_string(fromY + (toY - fromY) * step / 8), "sleep", "0.05"});
        args.insert(args.end(), {"mouseup", "1", "keyup", "ctrl"});
        Xdotool(args);
    }
    // The customizing window, from the menu of the grip at the left end of the toolbar docked under the
    // menu bar; it is active when this returns.
    void OpenCustomizing() {
        const Rect inside = Inside(main_);
        Xdotool({"mousemove", std::to_string(inside[0] + 3), std::to_string(inside[1] + 42), "click", "3"});
        Rect menu;
        ASSERT_TRUE(testsupport::WaitUntil([&] {
            // The menu, not its shadow strips.
            for (const Rect& r : x_->ShownUnmanaged())
                if (r[2] - r[0] > 20 && r[3] - r[1] > 10) menu = r;
            return !menu.empty();
        }));
        Xdotool({"mousemove", std::to_string((menu[0] + menu[2]) / 2),
                 std::to_string((menu[1] + menu[3]) / 2), "click", "1"});
        ASSERT_TRUE(ShownActive("Customize"));
    }
    // The window's inside, and with the window manager's frame round it.
    Rect Inside(uint32_t window) { return x_->ScreenRect(window); }
    Rect Framed(uint32_t window) {
        const Rect r = x_->ScreenRect(window);
        const std::vector<uint32_t> f = x_->Values(window, "_NET_FRAME_EXTENTS"); // left, right, top, bottom
        if (f.size() != 4) return r;
        return Rect{r[0] - static_cast<int>(f[0]), r[1] - static_cast<int>(f[2]),
                    r[2] + static_cast<int>(f[1]), r[3] + static_cast<int>(f[3])};
    }

    testsupport::XServer server_{"1280x1024x24"};
    std::unique_ptr<testsupport::Openbox> openbox_;
    std::unique_ptr<testsupport::XConnection> x_;
    testsupport::TempDir config_{"pw-desktop"};
    std::unique_ptr<testsupport::BackgroundProgram> program_;
    uint32_t main_ = 0;
};

std::string Text(const Rect& r) {
    return std::to_string(r[0]) + "," + std::to_string(r[1]) + " - " + std::to_string(r[2]) + "," +
           std::to_string(r[3]);
}

// A place stored above and left of the screen put the title bar above the screen's top, out of reach;
// one stored past its right and bottom edges left the frame's right and bottom borders past them.
TEST_F(ProgramOnDesktop, AStoredPlaceOffTheScreenBringsTheWholeWindowWithItsTitleBarOntoTheWorkArea) {
    for (const char* stored :
         {"Top=-300\nLeft=-200\nRight=400\nBottom=300\n", "Top=5000\nLeft=5000\nRight=5600\nBottom=5600\n"}) {
        SCOPED_TRACE(stored);
        testsupport::WriteFile(config_.File("pathweaver/forminfo.ini"),
                               std::string("[frmSiteMapMainPosition]\nState=0\n") + stored);
        Start();
        ASSERT_NE(main_, 0u);
        ASSERT_EQ(x_->Values(main_, "_NET_FRAME_EXTENTS").size(), 4u);
        const std::vector<uint32_t> area = x_->Values(x_->Root(), "_NET_WORKAREA"); // x, y, width, height
        ASSERT_GE(area.size(), 4u);
        const Rect framed = Framed(main_);
        EXPECT_GE(framed[0], static_cast<int>(area[0])) << Text(framed);
        EXPECT_GE(framed[1], static_cast<int>(area[1])) << Text(framed);
        EXPECT_LE(framed[2], static_cast<int>(area[0] + area[2])) << Text(framed);
        EXPECT_LE(framed[3], static_cast<int>(area[1] + area[3])) << Text(framed);
        Stop();
    }
}

// The box a dialog that stays on top raises lies in front of that dialog; a toolbar the customizing
// window lay over, let go floating over that window, lies in front of it.
TEST_F(ProgramOnDesktop, ABoxFromTheNameDialogAndAToolbarLetGoOnTheCustomizingWindowLieInFrontOfThem) {
    Start();
    ASSERT_NE(main_, 0u);
    const Rect inside = Inside(main_);
    const int gripX = inside[0] + 3, gripY = inside[1] + 42;
    ASSERT_NO_FATAL_FAILURE(OpenCustomizing());
    const uint32_t customize = x_->Managed("Customize");

    Xdotool({"key", "alt+n"});
    ASSERT_TRUE(ShownActive("Add Toolbar"));
    const uint32_t nameDialog = x_->Managed("Add Toolbar");
    Xdotool({"key", "ctrl+a"});
    Xdotool({"type", "Main Toolbar"});
    Xdotool({"key", "Return"});
    ASSERT_TRUE(testsupport::WaitUntil([&] { return x_->Managed(main_text::AppTitle) != 0; }));
    const uint32_t box = x_->Managed(main_text::AppTitle);
    EXPECT_TRUE(testsupport::WaitUntil([&] { return x_->StackedAbove(box, nameDialog); }))
        << "the box lies behind the dialog that raised it";
    // Its OK button, in the middle of its foot, where it lies over the dialog, takes the click.
    const Rect boxInside = Inside(box);
    Xdotool({"mousemove", std::to_string((boxInside[0] + boxInside[2]) / 2),
             std::to_string(boxInside[3] - 25), "click", "1"});
    ASSERT_TRUE(Gone(main_text::AppTitle));
    ASSERT_TRUE(ShownActive("Add Toolbar"));
    Xdotool({"key", "Escape"});
    ASSERT_TRUE(Gone("Add Toolbar"));

    // The toolbar floats off the customizing window, which then comes to the front by its title bar.
    CtrlDrag(gripX, gripY, 100, 900);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return x_->Managed("Main Toolbar") != 0; }));
    const uint32_t toolbar = x_->Managed("Main Toolbar");
    const Rect window = Inside(customize);
    const int titleY = (Framed(customize)[1] + window[1]) / 2;
    Xdotool({"mousemove", std::to_string((window[0] + window[2]) / 2), std::to_string(titleY), "click", "1"});
    ASSERT_TRUE(testsupport::WaitUntil([&] { return x_->StackedAbove(customize, toolbar); }));
    // Its caption taken over the middle of the window and let go there.
    const Rect bar = Inside(toolbar);
    CtrlDrag(bar[0] + 60, bar[1] + 7, (window[0] + window[2]) / 2, (window[1] + window[3]) / 2);
    EXPECT_TRUE(testsupport::WaitUntil([&] {
        const Rect now = Inside(toolbar);
        return now[1] > window[1] && now[1] < window[3] && x_->StackedAbove(toolbar, customize);
    })) << "the toolbar at "
        << Text(Inside(toolbar)) << " lies behind the customizing window at " << Text(window);
    EXPECT_EQ(x_->Managed("Main Toolbar"), toolbar) << "it floats where it was let go";
}

// A toolbar made with "New..." in the customizing window, and one shown again by its box in the list of
// toolbars, come out in front of that window, which keeps the activation and the keyboard.
TEST_F(ProgramOnDesktop, ANewToolbarAndOneShownFromTheListComeOutInFrontOfTheCustomizingWindow) {
    Start();
    ASSERT_NE(main_, 0u);
    ASSERT_NO_FATAL_FAILURE(OpenCustomizing());
    const uint32_t customize = x_->Managed("Customize");
    // The toolbar comes out in front, and stays there until the keys that hide it (through its row, chosen
    // in the list) have reached the customizing window, after all that went before them.
    const auto inFrontUntilHidden = [&](const std::vector<std::string>& keys) {
        uint32_t toolbar = 0;
        EXPECT_TRUE(testsupport::WaitUntil([&] {
            toolbar = x_->Managed("Custom 1");
            return toolbar != 0 && x_->StackedAbove(toolbar, customize) && x_->Active() == customize;
        })) << "the toolbar lies behind the customizing window, or that window lost the activation";
        std::vector<std::string> args{"key"};
        args.insert(args.end(), keys.begin(), keys.end());
        Xdotool(args);
        bool stayed = true;
        ASSERT_TRUE(testsupport::WaitUntil([&] {
            // Bottom to top.
            const std::vector<uint32_t> order = x_->Values(x_->Root(), "_NET_CLIENT_LIST_STACKING");
            const auto bar = std::find(order.begin(), order.end(), toolbar);
            if (bar == order.end()) return true;
            if (bar < std::find(order.begin(), order.end(), customize)) stayed = false;
            return false;
        })) << "the keys did not reach the customizing window";
        EXPECT_TRUE(stayed) << "the toolbar went behind the customizing window";
    };

    Xdotool({"key", "alt+n"});
    ASSERT_TRUE(ShownActive("Add Toolbar"));
    Xdotool({"key", "Return"}); // the name proposed
    ASSERT_NO_FATAL_FAILURE(inFrontUntilHidden({"alt+a", "space"}));
    // Checked again; the keyboard is still the customizing window's.
    Xdotool({"key", "space"});
    ASSERT_NO_FATAL_FAILURE(inFrontUntilHidden({"space"}));
}

} // namespace
} // namespace app_test
#endif
