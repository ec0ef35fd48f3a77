// Popup menus shown at a point or at the cursor: their own message loop, which a person ends with
// Escape, a click elsewhere or a command, and what that loop does with the messages it meets.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "bar_windows_fixture.h"
#include "bars/core/backgrounds.h"
#include "bars/core/bar_routines.h"
#include "bars/core/popup_menu.h"
#include "bars/windows/sub_menu_control.h"
#include "lookandfeel/colors.h"
#include "platform/gdi/surface.h"
#include "platform/graphics/bitmap.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/paint.h"
#include "platform/gui/screenshot.h"
#include "platform/gui/window.h"
#include "platform/stdctrls/edit.h"

namespace bars_windows_test {
namespace {

using pw::gui::MouseButton;

// Runs one step a person takes once the menu's loop runs (from a timer, as a hand would).
std::function<void()> step;
void RunStep(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    // The step may schedule the next one.
    const std::function<void()> now = std::move(step);
    step = nullptr;
    if (now) now();
}
void Soon(std::function<void()> Step) {
    step = std::move(Step);
    SetTimer(nullptr, 0, 1, &RunStep);
}

class PopupMenuTest : public BarWindowsTest {
protected:
    PopupMenuTest() {
        cut = Button("Cu&t");
        copy = Button("&Copy");
        menu = new TdxBarPopupMenu(&form);
        menu->ItemLinks()->Add()->SetItem(cut);
        menu->ItemLinks()->Add()->SetItem(copy);
        menu->OnPopup = [this](TObject*) { ++popups; };
        menu->OnCloseUp = [this](TObject*) { ++closeUps; };
    }
    ~PopupMenuTest() override { step = nullptr; }
    // Notes where the shown menu stands, checks that a second popup while it is open changes nothing,
    // then takes the person's next step.
    void WhenShown(std::function<void()> Next) {
        Soon([this, Next] {
            if (Window() != nullptr && Window()->Handle() != nullptr)
                GetWindowRect(Window()->Handle(), shownAt);
            menu->Popup(0, 0);
            Next();
        });
    }
    bars::TdxBarSubMenuControl* Window() const {
        return dynamic_cast<bars::TdxBarSubMenuControl*>(menu->ItemLinks()->BarControl());
    }
    POINT LineCentre(TdxBarItem* item) const {
        for (int i = 0; i < menu->ItemLinks()->Count(); ++i)
            if (menu->ItemLinks()->Items(i)->Item() == item) {
                const RECT r = menu->ItemLinks()->Items(i)->Control()->ScreenRect();
                return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
            }
        return POINT{0, 0};
    }

    TdxBarButton *cut = nullptr, *copy = nullptr;
    TdxBarPopupMenu* menu = nullptr;
    int popups = 0, closeUps = 0;
    RECT shownAt{0, 0, 0, 0};
};

TEST_F(PopupMenuTest, AtTheCursorItRunsItsLoopUntilEscapeOrAClickElsewhere) {
    SetCursorPos(300, 220);
    WhenShown([] { pw::gui::SimulateKeyStroke(VK_ESCAPE); });
    menu->PopupAtCursor();
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(closeUps, 1);
    EXPECT_EQ(shownAt.left, 300);
    EXPECT_EQ(shownAt.top, 220);
    EXPECT_FALSE(menu->IsShowing());
    EXPECT_EQ(Window(), nullptr);
    EXPECT_EQ(GetActiveBarControl(), nullptr);

    // At a point; a click on the edit closes it, and the click still reaches the edit.
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    edit->SetBounds(20, 300, 150, 24);
    Pump();
    int editClicks = 0;
    edit->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++editClicks; };
    POINT onEdit{5, 5};
    ClientToScreen(edit->Handle(), onEdit);
    WhenShown([onEdit] { pw::gui::SimulateClick(onEdit); });
    menu->Popup(400, 120);
    EXPECT_EQ(shownAt.left, 400);
    EXPECT_EQ(closeUps, 2);
    Pump();
    EXPECT_EQ(editClicks, 1);
    EXPECT_EQ(Clicks(cut) + Clicks(copy), 0);
}

TEST_F(PopupMenuTest, AClickOnALineClosesTheMenuAndThenRunsTheCommand) {
    bool closedFirst = false;
    copy->SetOnClick([&](TObject*) { closedFirst = !menu->IsShowing() && closeUps == 1; });
    Soon([this] {
        const POINT p = LineCentre(copy);
        pw::gui::SimulateMouse(pw::gui::MouseAction::Move, p);
        Soon([p] { pw::gui::SimulateClick(p); });
    });
    menu->Popup(200, 150);
    EXPECT_TRUE(closedFirst);
    EXPECT_EQ(Window(), nullptr);
    // By the keyboard: Down selects the first line, Enter runs it.
    Soon([] {
        pw::gui::SimulateKeyStroke(VK_DOWN);
        pw::gui::SimulateKeyStroke(VK_RETURN);
    });
    menu->Popup(200, 150);
    EXPECT_EQ(Clicks(cut), 1);
}

TEST_F(PopupMenuTest, TheLoopDropsCommandsPostsBackWhatCameAfterAndPassesAQuitOn) {
    std::vector<UINT> seen;
    HWND target = AllocateHWnd([&](TMessage& Message) { seen.push_back(Message.Msg); });
    Soon([target] {
        PostMessage(target, WM_COMMAND, 1, 0);
        PostMessage(target, WM_USER, 0, 0);
        Soon([target] {
            PostMessage(target, WM_USER + 1, 0, 0);
            pw::gui::SimulateKeyStroke(VK_ESCAPE);
        });
    });
    menu->Popup(200, 150);
    EXPECT_EQ(seen, (std::vector<UINT>{WM_USER}));
    // What was not handled while the menu was open waits for the next loop.
    Pump();
    EXPECT_EQ(seen, (std::vector<UINT>{WM_USER, WM_USER + 1}));

    // A quit ends the loop with the menu still open and stays for the program's loop.
    Soon([] { PostQuitMessage(7); });
    menu->Popup(200, 150);
    MSG quit{};
    ASSERT_TRUE(PeekMessage(quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(QuitExitCode(quit), 7);
    EXPECT_TRUE(menu->IsShowing());
    pw::gui::SimulateKeyStroke(VK_ESCAPE);
    Pump();
    EXPECT_FALSE(menu->IsShowing());
    EXPECT_EQ(popups, 2);
    DeallocateHWnd(target);
}

TEST_F(PopupMenuTest, WhatHoldsTheMouseAndTheFormsFocusedControlLetGoBeforeItShows) {
    auto* edit = new CancelCountingEdit(&form);
    edit->SetParent(&form);
    edit->SetFocus();
    int holderCancels = 0;
    HWND holder = AllocateHWnd([&](TMessage& Message) { holderCancels += Message.Msg == CM_CANCELMODE; });
    SetCapture(holder);
    WhenShown([] { pw::gui::SimulateKeyStroke(VK_ESCAPE); });
    menu->Popup(200, 150);
    EXPECT_EQ(edit->cancels, 1);
    EXPECT_EQ(holderCancels, 1);
    EXPECT_NE(GetCapture(), holder);
    DeallocateHWnd(holder);
}

TEST_F(PopupMenuTest, AMenuFreedByItsOwnCommandEndsItsLoopSafely) {
    copy->SetOnClick([this](TObject*) {
        delete menu;
        menu = nullptr;
    });
    Soon([] {
        pw::gui::SimulateKeyStroke(VK_DOWN);
        pw::gui::SimulateKeyStroke(VK_DOWN);
        pw::gui::SimulateKeyStroke(VK_RETURN);
    });
    TdxBarPopupMenu* shown = menu;
    shown->Popup(200, 150);
    EXPECT_EQ(menu, nullptr);
    Pump();
    EXPECT_EQ(GetActiveBarControl(), nullptr);
}

// A popup menu's own picture fills its window in place of the manager's menu picture, in the flat
// lines and under the Office 2003 glyph band alike; without it the manager's shows again. With
// PW_POPUP_SHOTS set, saves popup-own-picture.png there.
TEST_F(PopupMenuTest, ItsOwnPictureShowsInPlaceOfTheManagersMenuPicture) {
    const COLORREF own = RGB(40, 90, 200), shared = RGB(0, 128, 0);
    TBitmap ownPicture(6, 6), sharedPicture(6, 6);
    FillRectByColor(ownPicture.Canvas().Handle(), RECT{0, 0, 6, 6}, static_cast<TColor>(own));
    ownPicture.Canvas().SetPixel(0, 0, clWhite);
    FillRectByColor(sharedPicture.Canvas().Handle(), RECT{0, 0, 6, 6}, static_cast<TColor>(shared));
    manager->Backgrounds()->SetSubMenu(&sharedPicture);
    menu->SetBackgroundBitmap(&ownPicture);
    menu->NoModalLoop = true;
    // The colour at a point of the second line (client coordinates of the menu, from the line's
    // right or left end), with the menu shown at a point.
    auto shown = [this](bool fromRight, const char* shot = nullptr) {
        menu->Popup(200, 150);
        Pump();
        EXPECT_NE(Window(), nullptr);
        if (Window() == nullptr) return COLORREF{0};
        const RECT line = menu->ItemLinks()->Items(1)->ItemRect();
        POINT p{fromRight ? line.right - 6 : line.left + 1, line.top + 1};
        ClientToScreen(Window()->Handle(), p);
        const uint32_t argb = pw::gui::ComposeScreen(RECT{p.x, p.y, p.x + 1, p.y + 1}).Pixel(0, 0);
        if (const char* folder = std::getenv("PW_POPUP_SHOTS"); folder != nullptr && shot != nullptr)
            pw::gui::SaveScreenImage(RECT{150, 100, 400, 260}, std::string(folder) + "/" + shot);
        Window()->FreeMenu();
        Pump();
        return static_cast<COLORREF>(RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF));
    };
    EXPECT_EQ(shown(true, "popup-own-picture.png"), own);
    menu->SetBackgroundBitmap(nullptr);
    EXPECT_EQ(shown(true), shared);
    manager->Backgrounds()->SetSubMenu(nullptr);
    menu->SetBackgroundBitmap(&ownPicture);
    manager->SetStyle(bmsOffice11);
    EXPECT_EQ(shown(false), own);
    EXPECT_FALSE(menu->IsShowing());
}

} // namespace
} // namespace bars_windows_test
