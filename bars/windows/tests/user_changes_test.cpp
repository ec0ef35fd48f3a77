// The manager notes what the user does to the bars that a stored layout keeps, and nothing else: a
// layout store that could not read its layout whole writes over it only after such a change.
#include <gtest/gtest.h>

#include <functional>

#include "bar_windows_fixture.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_unit.h"
#include "bars/core/sub_item.h"
#include "bars/windows/quick_customize.h"
#include "bars/windows/sub_menu_control.h"
#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/messages.h"
#include "platform/gui/window.h"

namespace bars_windows_test {
namespace {

class UserChangesTest : public BarWindowsTest {
protected:
    UserChangesTest() {
        open = Button("&Open");
        main = Toolbar("Main", {open, Button("&Save")});
        tools = Toolbar("Tools", {Button("&Find"), Button("&Replace"), Button("&Mark")}, dsNone);
    }
    // Whether what Act does is noted as the user's change.
    bool Noted(const std::function<void()>& Act) {
        manager->ForgetUserChanges();
        Act();
        Pump();
        return manager->ChangedByUser();
    }
    // A press on the floating bar's frame at Hit, the pointer moved by Dx before the release.
    void PressFrame(UINT Hit, POINT At, int Dx) {
        pw::gui::SimulateMouse(pw::gui::MouseAction::Move, POINT{At.x + Dx, At.y});
        pw::gui::SimulateMouse(pw::gui::MouseAction::Up, POINT{At.x + Dx, At.y}, pw::gui::MouseButton::Left);
        SendMessage(Window(tools)->Handle(), WM_NCLBUTTONDOWN, Hit, MAKELPARAM(At.x, At.y));
    }
    void Click(POINT At) {
        Press(At);
        Release(At);
    }
    // The line of a caption in the newest menu or drop-down that shows it.
    POINT Line(const std::string& Caption) {
        const std::vector<bars::BarControl*>& windows = BarControls();
        for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
            if ((*window)->Handle() == nullptr || !IsWindowVisible((*window)->Handle())) continue;
            TdxBarItemLinks* links = (*window)->ItemLinks();
            for (int i = 0; i < links->Count(); ++i)
                if (auto* control = dynamic_cast<bars::TdxBarItemControl*>(links->Items(i)->Control());
                    control != nullptr && control->GetCaption() == Caption) {
                    const RECT r = control->ScreenRect();
                    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
                }
        }
        ADD_FAILURE() << "no line " << Caption;
        return POINT{0, 0};
    }
    RECT Frame(TdxBar* Bar) const {
        RECT r{};
        GetWindowRect(Window(Bar)->Handle(), r);
        return r;
    }

    TdxBarButton* open = nullptr;
    TdxBar *main = nullptr, *tools = nullptr;
};

TEST_F(UserChangesTest, EachWayTheUserChangesWhatALayoutKeepsIsNoted) {
    const RECT docked = Frame(main);
    EXPECT_TRUE(Noted([&] {
        // Dragged along its row by its grip.
        const POINT grip{docked.left + 4, docked.top + 10}, below{docked.left + 30, docked.bottom + 12};
        pw::gui::SimulateMouse(pw::gui::MouseAction::Move, grip);
        pw::gui::SimulateMouse(pw::gui::MouseAction::Down, grip, pw::gui::MouseButton::Left);
        pw::gui::SimulateMouse(pw::gui::MouseAction::Move, below);
        pw::gui::SimulateMouse(pw::gui::MouseAction::Up, below, pw::gui::MouseButton::Left);
    }));
    ASSERT_EQ(main->DockingStyle(), dsTop);
    ASSERT_GT(Frame(main).left, docked.left);
    const RECT floating = Frame(tools);
    const POINT edge{floating.right - 1, (floating.top + floating.bottom) / 2};
    ASSERT_EQ(SendMessage(Window(tools)->Handle(), WM_NCHITTEST, 0, MAKELPARAM(edge.x, edge.y)), HTRIGHT);
    // Sized by its edge into more rows.
    EXPECT_TRUE(Noted([&] { PressFrame(HTRIGHT, edge, (floating.left - floating.right) / 2); }));
    ASSERT_GT(Frame(tools).bottom - Frame(tools).top, floating.bottom - floating.top);
    const RECT close = Window(tools)->CloseButtonRect();
    const POINT closeAt{floating.left + (close.left + close.right) / 2,
                        floating.top + (close.top + close.bottom) / 2};
    EXPECT_TRUE(Noted([&] {
        SetCursorPos(closeAt.x, closeAt.y);
        PostMessage(Window(tools)->Handle(), WM_LBUTTONUP, 0, 0);
        SendMessage(Window(tools)->Handle(), WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(closeAt.x, closeAt.y));
    }));
    ASSERT_FALSE(tools->Visible());
    // Shown again from the toolbars popup, then docked by a double click on its caption.
    EXPECT_TRUE(Noted([&] { manager->ToolbarsPopupClick(tools->Index()); }));
    ASSERT_TRUE(tools->Visible());
    EXPECT_TRUE(Noted([&] {
        POINT caption{Frame(tools).left + 20, Frame(tools).top + 8};
        ScreenToClient(Window(tools)->Handle(), caption);
        SendMessage(Window(tools)->Handle(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(caption.x, caption.y));
    }));
    ASSERT_EQ(tools->DockingStyle(), dsTop);
    // A command's use, which the layout keeps outside the standard style.
    EXPECT_TRUE(Noted([&] {
        Press(Centre(open, main));
        Release(Centre(open, main));
    }));
    ASSERT_EQ(Clicks(open), 1);
    // In customizing mode: a bar renamed, a link taken off, an option.
    manager->SetIsCustomizing(true);
    EXPECT_TRUE(Noted([&] { tools->SetCaption("Search"); }));
    EXPECT_TRUE(Noted([&] { delete main->ItemLinks()->Items(1); }));
    EXPECT_TRUE(Noted([&] { manager->SetShowHint(!manager->ShowHint()); }));
    EXPECT_TRUE(Noted([&] { manager->Bars()->Add(); }));
    manager->SetIsCustomizing(false);
}

TEST_F(UserChangesTest, AMenuTornOffAndAButtonShownOrHiddenFromTheEndMarkAreNoted) {
    // The floating toolbar the menu tears off into, hidden until then.
    tools->SetVisible(false);
    auto* file = new TdxBarSubItem(&form);
    file->SetCaption("&File");
    file->ItemLinks()->Add()->SetItem(Button("&New"));
    file->SetDetachable(true);
    file->SetDetachingBar(tools->Index());
    TdxBar* menus = Toolbar("Menus", {file}, dsTop, 1);
    Click(Centre(file, menus));
    auto* menu = dynamic_cast<bars::TdxBarSubMenuControl*>(file->ItemLinks()->BarControl());
    ASSERT_NE(menu, nullptr);
    RECT window{};
    GetWindowRect(menu->Handle(), window);
    const POINT strip{(window.left + window.right) / 2, window.top + 2}, away{strip.x + 150, strip.y + 200};
    manager->OnBarVisibleChange = [&](TdxBarManager*, TdxBar* shown) {
        if (shown == tools && tools->Visible())
            pw::gui::SimulateMouse(pw::gui::MouseAction::Up, away, pw::gui::MouseButton::Left);
    };
    EXPECT_TRUE(Noted([&] {
        pw::gui::SimulateMouse(pw::gui::MouseAction::Down, strip, pw::gui::MouseButton::Left);
        pw::gui::SimulateMouse(pw::gui::MouseAction::Move, away);
    }));
    manager->OnBarVisibleChange = nullptr;
    ASSERT_TRUE(tools->Visible());

    form.SetBounds(50, 50, 200, 300);
    for (const char* caption : {"&Cut", "C&opy", "&Paste", "&Delete", "&Undo"})
        main->ItemLinks()->Add()->SetItem(Button(caption));
    Pump();
    ASSERT_TRUE(Window(main)->IsMarkVisible());
    const RECT mark = Window(main)->MarkScreenRect();
    EXPECT_FALSE(Noted([&] {
        Click(POINT{(mark.left + mark.right) / 2, (mark.top + mark.bottom) / 2});
        ASSERT_NE(bars::CurrentQuickControl(), nullptr);
        Click(Line("&Add or Remove Buttons"));
    }));
    EXPECT_TRUE(Noted([&] { Click(Line("&Open")); }));
    EXPECT_FALSE(main->ItemLinks()->Items(0)->Visible());
}

TEST_F(UserChangesTest, TouchesThatChangeNothingAndTheProgramsOwnChangesAreNotNoted) {
    const RECT floating = Frame(tools);
    const POINT edge{floating.right - 1, (floating.top + floating.bottom) / 2};
    EXPECT_FALSE(Noted([&] {
        MoveTo(Centre(open, main));
        PressFrame(HTRIGHT, edge, 0);
        manager->SetIsCustomizing(true);
        manager->SetIsCustomizing(false);
    }));
    EXPECT_FALSE(Noted([&] {
        form.SetBounds(50, 50, 300, 300);
        main->SetCaption("Renamed");
        main->ItemLinks()->Add()->SetItem(Button("&Print"));
        tools->SetVisible(false);
        manager->SetLargeIcons(true);
    }));
    // In the standard style the layout keeps no use.
    manager->SetStyle(bmsStandard);
    EXPECT_FALSE(Noted([&] {
        Press(Centre(open, main));
        Release(Centre(open, main));
    }));
    EXPECT_EQ(Clicks(open), 1);
}

} // namespace
} // namespace bars_windows_test
