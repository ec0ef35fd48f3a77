// The toolbars popup that a right click on a toolbar or a dock site opens: a check line per toolbar the
// user may show or hide, the customize entry, and what a click on a line does.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "bar_windows_fixture.h"
#include "bars/core/bar_unit.h"
#include "bars/windows/bar_control.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"

namespace bars_windows_test {
namespace {

std::function<void()> step;
void RunStep(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    const std::function<void()> now = std::move(step);
    step = nullptr;
    if (now) now();
}
// Runs once the popup's own loop turns, as a person would act on the open menu.
void Soon(std::function<void()> Step) {
    step = std::move(Step);
    SetTimer(nullptr, 0, 1, &RunStep);
}

// A menu window shows (the popup, since no other menu is open in these tests).
bool MenuShows() {
    for (bars::BarControl* control : BarControls())
        if (!control->IsToolbar() && control->Handle() != nullptr && IsWindowVisible(control->Handle()))
            return true;
    return false;
}

struct Line {
    std::string caption;
    bool down;
    bool enabled;
    bool beginGroup;
};

class ToolbarsPopupTest : public BarWindowsTest {
protected:
    ToolbarsPopupTest() {
        open = Button("Open");
        menuBar = Toolbar("Menu", {open});
        menuBar->SetIsMainMenu(true);
        main = Toolbar("Main", {open}, dsTop, 1);
        tools = Toolbar("Tools", {open}, dsTop, 2);
        fixed = Toolbar("Fixed", {open}, dsTop, 3);
        fixed->SetAllowClose(false);
        manager->OnShowToolbarsPopup = [this](TdxBarManager*, TdxBarItemLinks* links) {
            ++shown;
            lines.clear();
            for (int i = 0; i < links->Count(); ++i) {
                auto* button = dynamic_cast<TdxBarButton*>(links->Items(i)->Item());
                lines.push_back(Line{button->Caption(), button->Down(), button->Enabled(),
                                     links->Items(i)->BeginGroup()});
            }
            popupLinks = links;
        };
        Pump();
    }
    ~ToolbarsPopupTest() override { step = nullptr; }

    // Clicks the popup line of a caption.
    void ClickLine(const std::string& caption) {
        for (int i = 0; i < popupLinks->Count(); ++i)
            if (popupLinks->Items(i)->Item()->Caption() == caption) {
                auto* control = dynamic_cast<bars::TdxBarItemControl*>(popupLinks->Items(i)->Control());
                ASSERT_NE(control, nullptr);
                const RECT r = control->ScreenRect();
                pw::gui::SimulateClick(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
                return;
            }
        ADD_FAILURE() << "no line " << caption;
    }

    TdxBarButton* open = nullptr;
    TdxBar *menuBar = nullptr, *main = nullptr, *tools = nullptr, *fixed = nullptr;
    int shown = 0;
    std::vector<Line> lines;
    TdxBarItemLinks* popupLinks = nullptr;
};

TEST_F(ToolbarsPopupTest, RightClickOnAToolbarListsTheToolbarsAndALineTogglesOne) {
    bool menuOpen = false;
    Soon([&] {
        menuOpen = MenuShows();
        ClickLine("Tools");
    });
    // The click on the toolbar's window opens the popup once its own handler is done.
    pw::gui::SimulateClick(Centre(open, main), pw::gui::MouseButton::Right);
    Pump();
    ASSERT_EQ(shown, 1);
    EXPECT_TRUE(menuOpen);
    // Neither the main menu nor a bar that may not close; the customize entry last, after a group line,
    // greyed while there is no customizing window to open.
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].caption, "Main");
    EXPECT_TRUE(lines[0].down);
    EXPECT_EQ(lines[1].caption, "Tools");
    EXPECT_TRUE(lines[1].down);
    EXPECT_EQ(lines[2].caption, "&Customize...");
    EXPECT_FALSE(lines[2].enabled);
    EXPECT_TRUE(lines[2].beginGroup);
    EXPECT_FALSE(tools->Visible());
    EXPECT_TRUE(main->Visible());
    EXPECT_FALSE(manager->IsCustomizing());

    // Hiding the clicked toolbar itself from its own popup frees its window only after the click's
    // handler has returned; the line shows it unchecked, and checking it brings it back.
    Soon([&] { ClickLine("Main"); });
    pw::gui::SimulateClick(Centre(open, main), pw::gui::MouseButton::Right);
    Pump();
    EXPECT_FALSE(main->Visible());
    Soon([&] {
        EXPECT_FALSE(lines[1].down);
        ClickLine("Tools");
    });
    RECT site{};
    GetWindowRect(Site(dsTop)->Handle(), site);
    pw::gui::SimulateClick(POINT{site.right - 5, site.top + 5}, pw::gui::MouseButton::Right);
    Pump();
    EXPECT_EQ(shown, 3);
    EXPECT_TRUE(tools->Visible());
}

TEST_F(ToolbarsPopupTest, NoToolbarToOfferOpensTheCustomizeEntryOrNothing) {
    delete main;
    delete tools;
    Pump();
    // The customize entry alone still makes a menu.
    bool customizeOnly = false;
    Soon([&] {
        customizeOnly = MenuShows() && lines.size() == 1;
        pw::gui::SimulateKeyStroke(VK_ESCAPE);
    });
    pw::gui::SimulateClick(Centre(open, menuBar), pw::gui::MouseButton::Right);
    Pump();
    Pump();
    EXPECT_TRUE(customizeOnly);
    EXPECT_FALSE(MenuShows());
    // Without it, nothing opens.
    manager->SetCanCustomize(false);
    shown = 0;
    bool opened = false;
    Soon([&] {
        opened = MenuShows();
        if (opened) pw::gui::SimulateKeyStroke(VK_ESCAPE);
    });
    RECT site{};
    GetWindowRect(Site(dsTop)->Handle(), site);
    pw::gui::SimulateClick(POINT{site.right - 5, site.top + 5}, pw::gui::MouseButton::Right);
    Pump();
    Pump();
    EXPECT_EQ(shown, 1); // asked, but nothing to show
    EXPECT_FALSE(opened);
}

} // namespace
} // namespace bars_windows_test
