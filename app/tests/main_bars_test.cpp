// The main window's menu bar and toolbar as the person sees them: docked along the top above the
// wizard, hot and pressed under the pointer, and floating when dragged away. Saves the screenshots
// main-bars-*.png beside the program.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/main_form.h"
#include "app/site_map_options_form.h"
#include "bars/core/bar_button.h"
#include "bars/core/bar_manager.h"
#include "bars/core/hint_window.h"
#include "bars/core/item_links.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/windows/bar_hints.h"
#include "bars/windows/dock_control.h"
#include "bars/windows/item_control.h"
#include "bars/windows/toolbar_control.h"
#include "controls/rz_buttons.h"
#include "controls/rz_page_control.h"
#include "dialog_hook.h"
#include "main_form_fixture.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/syscolors.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/image_list.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/screenshot.h"
#include "platform/gui/window.h"
#include "platform/rtl/paths.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/image.h"

namespace app_test {
namespace {

fs::path Shots() {
    const fs::path shots = fs::path(ProgramDir()) / "screenshots";
    fs::create_directories(shots);
    return shots;
}

// A pixel of the window as composed for the screen, at a screen point, as 0xRRGGBB.
COLORREF ScreenPixel(HWND root, POINT p) {
    const Surface image = pw::gui::ComposeWindow(root);
    RECT r{};
    GetWindowRect(root, r);
    const uint32_t argb = image.Pixel(p.x - r.left, p.y - r.top);
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

// The most ink in one row of R (screen coordinates) of the composed window, within the columns
// [Left, Right): a full row is a line drawn across them.
int MostInkInARow(HWND root, const RECT& R, int Left, int Right) {
    const Surface image = pw::gui::ComposeWindow(root);
    RECT window{};
    GetWindowRect(root, window);
    int most = 0;
    for (int y = R.top; y < R.bottom; ++y) {
        int dark = 0;
        for (int x = Left; x < Right; ++x) {
            const uint32_t argb = image.Pixel(x - window.left, y - window.top);
            if (((argb >> 16) & 0xFF) + ((argb >> 8) & 0xFF) + (argb & 0xFF) < 240) ++dark;
        }
        most = std::max(most, dark);
    }
    return most;
}

class MainBarsTest : public MainFormTest {
protected:
    bars::TdxBarControl* Toolbar() const {
        return dynamic_cast<bars::TdxBarControl*>(form_->barMainToolbar->Control());
    }
    bars::TdxBarItemControl* ControlOf(TdxBarItem* item) const {
        for (int i = 0; i < form_->barMainToolbar->ItemLinks()->Count(); ++i)
            if (TdxBarItemLink* link = form_->barMainToolbar->ItemLinks()->Items(i); link->Item() == item)
                return dynamic_cast<bars::TdxBarItemControl*>(link->Control());
        return nullptr;
    }
    POINT Centre(TdxBarItem* item) const {
        const RECT r = ControlOf(item)->ScreenRect();
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void Save(const char* name) {
        pw::gui::PaintPendingWindows();
        EXPECT_TRUE(pw::gui::SaveWindowImage(form_->Handle(), (Shots() / name).string()));
    }
};

TEST_F(MainBarsTest, TheMenuBarAndToolbarDockAboveTheWizardAndFollowThePointer) {
    Start();
    auto* menu = dynamic_cast<bars::TdxBarControl*>(form_->barMainMenu->Control());
    ASSERT_NE(menu, nullptr);
    ASSERT_NE(Toolbar(), nullptr);
    auto* site = dynamic_cast<bars::TdxDockControl*>(form_->dxBarManager1->Bars()->DockControls(dsTop));
    ASSERT_EQ(site->RowCount(), 2);
    RECT menuRect{}, toolbarRect{}, logo{};
    GetWindowRect(menu->Handle(), menuRect);
    GetWindowRect(Toolbar()->Handle(), toolbarRect);
    GetWindowRect(form_->imgLogo->Parent()->Handle(), logo);
    // The menu bar spans the window; the toolbar is the row below it; the wizard begins below both.
    EXPECT_EQ(menuRect.right - menuRect.left, form_->ClientWidth());
    EXPECT_EQ(toolbarRect.top, menuRect.bottom);
    const TPoint logoTop = form_->ClientToScreen(TPoint{form_->imgLogo->Left(), form_->imgLogo->Top()});
    EXPECT_GE(logoTop.y, toolbarRect.bottom);
    // The menu bar keeps the button face, the toolbar takes the lighter flat face.
    const POINT menuEmpty{menuRect.right - 20, (menuRect.top + menuRect.bottom) / 2};
    EXPECT_EQ(ScreenPixel(form_->Handle(), menuEmpty), GetSysColor(COLOR_BTNFACE));
    const COLORREF flatFace = ScreenPixel(form_->Handle(), POINT{toolbarRect.left + 1, toolbarRect.top + 3});
    (void)flatFace;
    Save("main-bars-normal.png");

    // Hot: a highlight frame around the button.
    const POINT save = Centre(form_->miSave);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, save);
    Pump();
    const RECT r = ControlOf(form_->miSave)->ScreenRect();
    EXPECT_TRUE(ControlOf(form_->miSave)->IsSelected());
    EXPECT_EQ(ScreenPixel(form_->Handle(), POINT{r.left, r.top + 5}), GetSysColor(COLOR_HIGHLIGHT));
    const COLORREF hot = ScreenPixel(form_->Handle(), POINT{r.left + 2, r.top + 2});
    Save("main-bars-hot.png");

    // Pressed: a darker face while held.
    const POINT options = Centre(form_->miOptions);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, options);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Down, options, pw::gui::MouseButton::Left);
    Pump();
    const RECT o = ControlOf(form_->miOptions)->ScreenRect();
    const COLORREF pressed = ScreenPixel(form_->Handle(), POINT{o.left + 2, o.top + 2});
    EXPECT_NE(pressed, hot);
    EXPECT_LT(GetRValue(pressed) + GetGValue(pressed) + GetBValue(pressed),
              GetRValue(hot) + GetGValue(hot) + GetBValue(hot));
    Save("main-bars-pressed.png");
    // Released away from it: nothing runs.
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, POINT{o.left + 5, o.bottom + 80});
    pw::gui::SimulateMouse(pw::gui::MouseAction::Up, POINT{o.left + 5, o.bottom + 80},
                           pw::gui::MouseButton::Left);
    Pump();
    EXPECT_TRUE(prompter_->Asked.empty());

    // Dragged by its grip over the wizard, away from the dock sites, the toolbar floats with its caption.
    // (The events are queued at once: the release is dropped by nobody only over a window.)
    const POINT grip{toolbarRect.left + 4, toolbarRect.top + 10};
    RECT window{};
    GetWindowRect(form_->Handle(), window);
    const POINT away{(window.left + window.right) / 2, (window.top + window.bottom) / 2};
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, grip);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Down, grip, pw::gui::MouseButton::Left);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, POINT{grip.x, grip.y + 150});
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, away);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Up, away, pw::gui::MouseButton::Left);
    Pump();
    ASSERT_EQ(form_->barMainToolbar->DockingStyle(), dsNone);
    pw::gui::PaintPendingWindows();
    EXPECT_TRUE(pw::gui::SaveWindowImage(Toolbar()->Handle(), (Shots() / "main-bars-floating.png").string()));
    EXPECT_EQ(site->RowCount(), 1);
}

// Resting on "Help", the pointer jumps out of the window in one move: the toolkit tells of the leave and of
// where the pointer is now, and of no move. The keyboard then takes the menu bar (Alt, F10, Alt+F) and
// gives it back with Escape: no title is left hot, though the pointer last moved over "Help".
TEST_F(MainBarsTest, AMenuTitleThePointerJumpedAwayFromIsNotHotAfterKeyboardMenuMode) {
    Start();
    auto* menu = dynamic_cast<bars::TdxBarControl*>(form_->barMainMenu->Control());
    ASSERT_NE(menu, nullptr);
    bars::TdxBarItemControl* help = nullptr;
    for (int i = 0; i < form_->barMainMenu->ItemLinks()->Count(); ++i)
        if (TdxBarItemLink* link = form_->barMainMenu->ItemLinks()->Items(i); link->Item() == form_->mnuHelp)
            help = dynamic_cast<bars::TdxBarItemControl*>(link->Control());
    ASSERT_NE(help, nullptr);
    const RECT r = help->ScreenRect();
    RECT window{};
    GetWindowRect(form_->Handle(), window);
    const auto stroke = [](BYTE vk, bool alt) {
        if (alt) pw::gui::SimulateKey(VK_MENU, true);
        pw::gui::SimulateKeyStroke(vk);
        if (alt) pw::gui::SimulateKey(VK_MENU, false);
        Pump();
    };
    const struct {
        const char* name;
        BYTE vk;
        bool alt;
    } entries[] = {{"Alt", VK_MENU, false}, {"F10", VK_F10, false}, {"Alt+F", 'F', true}};
    for (const auto& entry : entries) {
        SCOPED_TRACE(entry.name);
        pw::gui::SimulateMouse(pw::gui::MouseAction::Move,
                               POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        Pump();
        ASSERT_TRUE(help->IsSelected());
        pw::gui::InjectMouseExit(POINT{window.right + 40, window.bottom + 40});
        Pump();
        EXPECT_FALSE(help->IsSelected());
        stroke(entry.vk, entry.alt);
        ASSERT_TRUE(menu->InKeyboardMode());
        for (int escapes = 0; escapes < 2 && menu->InKeyboardMode(); ++escapes)
            stroke(VK_ESCAPE, false);
        ASSERT_FALSE(menu->InKeyboardMode());
        EXPECT_FALSE(help->IsSelected());
        EXPECT_EQ(menu->Selected(), nullptr);
    }
}

TEST_F(MainBarsTest, TheToolbarsCaptionsUnderlineTheirLettersButAltWithOneIsNotTheToolbars) {
    Start();
    ASSERT_NE(Toolbar(), nullptr);
    const RECT r = ControlOf(form_->miOpen)->ScreenRect();
    // The caption begins right of the picture's cell; under its first letter runs the underline.
    const int left = r.left + form_->dxBarManager1->ButtonWidth();
    SIZE o{0, 0};
    {
        const pw::gdi::MemoryDC dc(nullptr);
        const pw::gdi::SelectedObject font(dc.Get(), Toolbar()->GetFontHandle());
        GetTextExtentPoint32(dc.Get(), "O", &o);
    }
    ASSERT_GT(o.cx, 4);
    EXPECT_GE(MostInkInARow(form_->Handle(), r, left + 1, left + o.cx - 1), o.cx - 2);
    // The underlined letters are the menu's: Alt with one goes to the menu bar and the page.
    EXPECT_EQ(form_->barMainToolbar->ItemLinks()->FindAccelLink('V', TShiftState{}, nullptr), nullptr);
    EXPECT_EQ(form_->mnuFile->ItemLinks()->FindAccelLink('V', TShiftState{}, nullptr)->Item(),
              form_->miSaveAs);
}

TEST_F(MainBarsTest, AToolbarButtonsHintNamesItsCommandAndShortcutAfterTheDelay) {
    DWORD now = 200000;
    pw::gui::SetTickSource([&] { return now; });
    Start();
    const POINT open = Centre(form_->miOpen);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, open);
    Pump();
    now += 999;
    Pump();
    EXPECT_FALSE(bars::IsHintShown());
    now += 1;
    Pump();
    ASSERT_TRUE(bars::IsHintShown());
    EXPECT_EQ(bars::BarHintWindow()->Caption(), "Open (Ctrl+O)");
    RECT hint{}, window{};
    GetWindowRect(bars::BarHintWindow()->Handle(), hint);
    EXPECT_EQ(hint.top, open.y + 20);
    GetWindowRect(form_->Handle(), window);
    pw::gui::PaintPendingWindows();
    EXPECT_TRUE(pw::gui::SaveScreenImage(window, (Shots() / "main-bars-hint.png").string()));
    // The next button: at once, and a command without a shortcut is named alone.
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, Centre(form_->miHelp));
    Pump();
    EXPECT_EQ(bars::BarHintWindow()->Caption(), "Help");
    now += 10000;
    Pump();
    EXPECT_FALSE(bars::IsHintShown());
    pw::gui::SetTickSource(nullptr);
}

RECT WindowRect(HWND Window) {
    RECT r{};
    GetWindowRect(Window, r);
    return r;
}

void DoubleClick(POINT At) {
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, At);
    for (int i = 0; i < 2; ++i) {
        pw::gui::SimulateMouse(pw::gui::MouseAction::Down, At, pw::gui::MouseButton::Left);
        pw::gui::SimulateMouse(pw::gui::MouseAction::Up, At, pw::gui::MouseButton::Left);
    }
    Pump();
}

TEST_F(MainBarsTest, ADoubleClickOnTheMenuRowFloatsTheMenuBarInPlaceAndAnotherDocksItBackOnTop) {
    Start();
    auto* site = dynamic_cast<bars::TdxDockControl*>(form_->dxBarManager1->Bars()->DockControls(dsTop));
    auto menu = [&] { return dynamic_cast<bars::TdxBarControl*>(form_->barMainMenu->Control()); };
    const RECT menuRect = WindowRect(menu()->Handle());
    const RECT toolbarRect = WindowRect(Toolbar()->Handle());
    // The empty end of the menu-bar row.
    DoubleClick(POINT{menuRect.right - 30, (menuRect.top + menuRect.bottom) / 2});
    ASSERT_EQ(form_->barMainMenu->DockingStyle(), dsNone);
    const RECT floating = WindowRect(menu()->Handle());
    EXPECT_EQ(floating.left, menuRect.left);
    EXPECT_EQ(floating.top, menuRect.top);
    // The toolbar keeps its place along its row, now the dock's only one.
    const RECT alone = WindowRect(Toolbar()->Handle());
    EXPECT_EQ(alone.left, toolbarRect.left);
    EXPECT_EQ(alone.top, menuRect.top);
    EXPECT_EQ(site->RowCount(), 1);

    // A double click on the floating menu bar's caption docks it above the toolbar again.
    DoubleClick(POINT{floating.left + 8, floating.top + 8});
    ASSERT_EQ(form_->barMainMenu->DockingStyle(), dsTop);
    ASSERT_EQ(site->RowCount(), 2);
    EXPECT_TRUE(EqualRect(WindowRect(menu()->Handle()), menuRect));
    EXPECT_TRUE(EqualRect(WindowRect(Toolbar()->Handle()), toolbarRect));
}

TEST_F(MainBarsTest, TheWizardFollowsTheDockWhenTheToolbarFloatsAndDocksAgain) {
    Start();
    auto* site = dynamic_cast<bars::TdxDockControl*>(form_->dxBarManager1->Bars()->DockControls(dsTop));
    const RECT menuRect = WindowRect(form_->barMainMenu->Control()->Handle());
    const int menuHeight = menuRect.bottom - menuRect.top;
    const int dockHeight = site->TControl::Height();
    const TRect logo = form_->imgLogo->BoundsRect(), page = form_->pcMain->BoundsRect();
    const TRect next = form_->btnNext->BoundsRect();
    const RECT docked = WindowRect(Toolbar()->Handle());
    const POINT grip{docked.left + 4, docked.top + 10};
    const RECT window = WindowRect(form_->Handle());
    const POINT away{(window.left + window.right) / 2, (window.top + window.bottom) / 2};
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, grip);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Down, grip, pw::gui::MouseButton::Left);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, POINT{grip.x, grip.y + 150});
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, away);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Up, away, pw::gui::MouseButton::Left);
    Pump();
    ASSERT_EQ(form_->barMainToolbar->DockingStyle(), dsNone);
    // The dock keeps only the menu row; the wizard moves up under it, its page taking the room, and the
    // buttons stay at the bottom.
    const int room = dockHeight - menuHeight;
    EXPECT_EQ(site->TControl::Height(), menuHeight);
    EXPECT_GT(room, 0);
    EXPECT_EQ(form_->imgLogo->Top(), logo.top - room);
    EXPECT_EQ(form_->pcMain->Top(), page.top - room);
    EXPECT_EQ(form_->pcMain->BoundsRect().bottom, page.bottom);
    EXPECT_TRUE(form_->btnNext->BoundsRect() == next);
    Save("main-bars-toolbar-floating.png");

    // Docked again by its caption: everything is back where it was.
    const RECT floating = WindowRect(Toolbar()->Handle());
    DoubleClick(POINT{floating.left + 8, floating.top + 8});
    ASSERT_EQ(form_->barMainToolbar->DockingStyle(), dsTop);
    EXPECT_EQ(site->TControl::Height(), dockHeight);
    EXPECT_TRUE(form_->imgLogo->BoundsRect() == logo);
    EXPECT_TRUE(form_->pcMain->BoundsRect() == page);
    EXPECT_TRUE(form_->btnNext->BoundsRect() == next);
}

// Drags the toolbar by its grip to a screen point, the events queued at once as a quick hand makes them.
void DragTo(POINT Grip, POINT To) {
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, Grip);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Down, Grip, pw::gui::MouseButton::Left);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, POINT{(Grip.x + To.x) / 2, (Grip.y + To.y) / 2 + 1});
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, To);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Up, To, pw::gui::MouseButton::Left);
    Pump();
}

TEST_F(MainBarsTest, AtASideTheToolbarTurnsItsCaptionsAndTheWizardStandsBesideItUncovered) {
    Start();
    const TRect logo = form_->imgLogo->BoundsRect(), page = form_->pcMain->BoundsRect();
    const TRect next = form_->btnNext->BoundsRect();
    const int width = form_->Width();
    const RECT docked = WindowRect(Toolbar()->Handle());
    // Down along the form's left edge: the left dock takes it.
    DragTo(POINT{docked.left + 4, docked.top + 10}, POINT{docked.left + 4, docked.top + 160});
    ASSERT_EQ(form_->barMainToolbar->DockingStyle(), dsLeft);
    auto* left = dynamic_cast<TControl*>(form_->dxBarManager1->Bars()->DockControls(dsLeft)->Component());
    const RECT column = WindowRect(Toolbar()->Handle());
    EXPECT_GT(column.bottom - column.top, column.right - column.left);
    // A column of buttons, each its picture above its caption, is as wide as their row was high (give or
    // take the docked bar's unequal borders).
    EXPECT_NEAR(column.right - column.left, docked.bottom - docked.top, 1);
    // The wizard moves aside whole and the window widens by the dock.
    const int dock = left->Width();
    EXPECT_GT(dock, 0);
    EXPECT_EQ(form_->Width(), width + dock);
    EXPECT_EQ(form_->pcMain->Left(), page.left + dock);
    EXPECT_EQ(form_->pcMain->Width(), page.Width());
    EXPECT_EQ(form_->imgLogo->Left(), logo.left + dock);
    EXPECT_EQ(form_->btnNext->Left(), next.left + dock);
    const TPoint pageOnScreen = form_->ClientToScreen(TPoint{form_->pcMain->Left(), form_->pcMain->Top()});
    EXPECT_GE(pageOnScreen.x, column.right);
    Save("main-bars-toolbar-left.png");

    // Over to the right edge: the left dock empties, the right one takes the column.
    const RECT window = WindowRect(form_->Handle());
    DragTo(POINT{column.left + 10, column.top + 4}, POINT{window.right - 6, column.top + 4});
    ASSERT_EQ(form_->barMainToolbar->DockingStyle(), dsRight);
    auto* right = dynamic_cast<TControl*>(form_->dxBarManager1->Bars()->DockControls(dsRight)->Component());
    EXPECT_EQ(left->Width(), 0);
    EXPECT_EQ(form_->pcMain->Left(), page.left);
    const RECT onRight = WindowRect(Toolbar()->Handle());
    const TPoint pageEnd = form_->ClientToScreen(TPoint{form_->pcMain->BoundsRect().right, 0});
    EXPECT_LE(pageEnd.x, onRight.left);
    EXPECT_GT(right->Width(), 0);
    Save("main-bars-toolbar-right.png");

    // Down to the bottom edge: a row under the wizard, whose buttons stay whole above it.
    const RECT before = WindowRect(form_->Handle());
    const TRect buttons = form_->btnNext->BoundsRect();
    DragTo(POINT{onRight.left + 10, onRight.top + 4},
           POINT{(before.left + before.right) / 2, before.bottom - 6});
    ASSERT_EQ(form_->barMainToolbar->DockingStyle(), dsBottom);
    auto* bottom = dynamic_cast<TControl*>(form_->dxBarManager1->Bars()->DockControls(dsBottom)->Component());
    EXPECT_GT(bottom->Height(), 0);
    EXPECT_EQ(right->Width(), 0);
    const RECT row = WindowRect(Toolbar()->Handle());
    EXPECT_GT(row.right - row.left, row.bottom - row.top);
    // Nothing aligned to the bottom (the status line, the dock) covers the wizard's buttons.
    const TRect above = form_->btnNext->BoundsRect();
    EXPECT_EQ(above.Height(), buttons.Height());
    for (int i = 0; i < form_->ControlCount(); ++i) {
        TControl* c = form_->Controls(i);
        if (c->Align() == alBottom && c->Visible() && c->Height() > 0) {
            EXPECT_LE(above.bottom, c->Top()) << c->Name();
        }
    }
    EXPECT_LE(form_->pcMain->BoundsRect().bottom, above.top);
    Save("main-bars-toolbar-bottom.png");
}

bool SameImage(const Surface& A, const Surface& B) {
    return A.Width() == B.Width() && A.Height() == B.Height() &&
           std::equal(A.Bits(), A.Bits() + static_cast<size_t>(A.Width()) * A.Height(), B.Bits());
}

TEST_F(MainBarsTest, AFloatingToolbarWaitsWhileAModalDialogIsUpAndLooksAsItDid) {
    StartAsMainForm();
    const RECT docked = WindowRect(Toolbar()->Handle());
    const RECT window = WindowRect(form_->Handle());
    DragTo(POINT{docked.left + 4, docked.top + 10},
           POINT{(window.left + window.right) / 2, (window.top + window.bottom) / 2});
    ASSERT_EQ(form_->barMainToolbar->DockingStyle(), dsNone);
    // Put above the window, where the dialog will not cover it.
    const HWND bar = Toolbar()->Handle();
    const RECT floating = WindowRect(bar);
    SetWindowPos(bar, nullptr, window.left, window.top - (floating.bottom - floating.top) - 4, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, POINT{window.left + 5, window.bottom - 5});
    Pump();
    pw::gui::PaintPendingWindows();
    const Surface before = pw::gui::ComposeWindow(bar);
    prompter_->Asked.clear();
    // Even a manager that lets other forms call its shortcuts keeps them from a modal dialog.
    form_->dxBarManager1->SetAllowCallFromAnotherForm(true);

    DialogHook hook;
    hook.On<TfrmSiteMapOptions>([&](TfrmSiteMapOptions& f) {
        EXPECT_FALSE(IsWindowEnabled(bar));
        // Neither the pointer nor the keys reach the floating bar's commands.
        pw::gui::SimulateMouse(pw::gui::MouseAction::Move, Centre(form_->miOpen));
        Pump();
        EXPECT_FALSE(ControlOf(form_->miOpen)->IsSelected()) << "no hot tracking";
        for (TdxBarItem* item : {form_->miOpen, form_->miOptions, form_->miHelp})
            pw::gui::SimulateClick(Centre(item));
        pw::gui::SimulateKey(VK_CONTROL, true);
        pw::gui::SimulateKeyStroke('O');
        pw::gui::SimulateKey(VK_CONTROL, false);
        Pump();
        pw::gui::PaintPendingWindows();
        EXPECT_EQ(prompter_->Asked.size(), 0u) << "nothing opened, no error box";
        EXPECT_TRUE(SameImage(pw::gui::ComposeWindow(bar), before)) << "not greyed, nothing hot";
        f.btnCancel->Click();
    });
    form_->miOptionsClick(nullptr);
    EXPECT_EQ(hook.Count(), 1);
    ASSERT_TRUE(IsWindow(bar));
    EXPECT_TRUE(IsWindowEnabled(bar));

    // Once the dialog is gone the bar's buttons work again.
    prompter_->Asked.clear();
    prompter_->File("");
    pw::gui::SimulateClick(Centre(form_->miOpen));
    Pump();
    EXPECT_EQ(prompter_->Asked.size(), 1u);
}

// Where, inside Button, the picture at Index of the toolbar's strip is drawn (every pixel of it that is not
// clear), in its own colours or, Faded, in the lighter look of a flat bar's inactive pictures; {-1, -1}
// when nowhere.
COLORREF Lighter(COLORREF C) {
    auto up = [](int c) { return c + (255 - c) * 3 / 10; };
    return RGB(up(GetRValue(C)), up(GetGValue(C)), up(GetBValue(C)));
}

POINT FindPicture(HWND Root, const RECT& Button, int Index, bool Faded = false) {
    TBitmap strip;
    strip.LoadFromResourceName(nullptr, "QMPWTOOLBAR");
    std::vector<std::pair<POINT, COLORREF>> ink;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (const TColor c = strip.Canvas().Pixel(Index * 32 + x, y); c != static_cast<TColor>(0xFF00FF))
                ink.push_back(
                    {POINT{x, y}, Faded ? Lighter(static_cast<COLORREF>(c)) : static_cast<COLORREF>(c)});
    const Surface image = pw::gui::ComposeWindow(Root);
    RECT window{};
    GetWindowRect(Root, window);
    for (int top = Button.top; top + 32 <= Button.bottom; ++top)
        for (int left = Button.left; left + 32 <= Button.right; ++left)
            if (std::all_of(ink.begin(), ink.end(), [&](const auto& dot) {
                    const uint32_t argb =
                        image.Pixel(left + dot.first.x - window.left, top + dot.first.y - window.top);
                    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF) == dot.second;
                }))
                return POINT{left - Button.left, top - Button.top};
    return POINT{-1, -1};
}

TEST_F(MainBarsTest, TheToolbarShowsItsLargePicturesAndGreysTheDisabledOne) {
    Start();
    const HWND root = form_->Handle();
    // One row of buttons as high as a picture with the button's margins, the wizard below it.
    const RECT row = WindowRect(Toolbar()->Handle()), open = ControlOf(form_->miOpen)->ScreenRect();
    EXPECT_EQ(form_->dxBarManager1->LargeImages()->Count(), 6);
    EXPECT_GE(open.bottom - open.top, 32 + 4);
    EXPECT_LE(row.bottom - row.top, open.bottom - open.top + 12);
    const TPoint logoTop = form_->ClientToScreen(TPoint{form_->imgLogo->Left(), form_->imgLogo->Top()});
    EXPECT_GE(logoTop.y, row.bottom);
    // Each enabled button shows its own picture whole, lightened while the pointer is elsewhere, at one
    // place in its button.
    const POINT at = FindPicture(root, open, 0, true);
    ASSERT_GE(at.x, 0);
    for (auto [item, index] :
         {std::pair{form_->miSave, 1}, std::pair{form_->miOptions, 3}, std::pair{form_->miHelp, 5}}) {
        const POINT p = FindPicture(root, ControlOf(item)->ScreenRect(), index, true);
        EXPECT_EQ(p.x, at.x) << index;
        EXPECT_EQ(p.y, at.y) << index;
    }
    // FTP Upload, disabled until an output is written, shows its picture's shape in greys only.
    ASSERT_FALSE(form_->FtpEnabled());
    const RECT ftp = ControlOf(form_->miFTP)->ScreenRect();
    EXPECT_EQ(FindPicture(root, ftp, 4).x, -1);
    const Surface image = pw::gui::ComposeWindow(root);
    const RECT window = WindowRect(root);
    int shaded = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const uint32_t argb =
                image.Pixel(ftp.left + at.x + x - window.left, ftp.top + at.y + y - window.top);
            const int r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
            EXPECT_LE(std::max({r, g, b}) - std::min({r, g, b}), 16) << x << "," << y;
            if (RGB(r, g, b) == GetSysColor(COLOR_BTNSHADOW)) ++shaded;
        }
    EXPECT_GT(shaded, 100);
    Save("main-bars-images.png");
    // Once enabled it shows its picture in colour, where the others show theirs; under the pointer in its
    // full colours.
    form_->miFTP->SetEnabled(true);
    pw::gui::PaintPendingWindows();
    const POINT enabled = FindPicture(root, ControlOf(form_->miFTP)->ScreenRect(), 4, true);
    EXPECT_EQ(enabled.x, at.x);
    EXPECT_EQ(enabled.y, at.y);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, Centre(form_->miFTP));
    Pump();
    const POINT hot = FindPicture(root, ControlOf(form_->miFTP)->ScreenRect(), 4);
    EXPECT_EQ(hot.x, at.x);
    EXPECT_EQ(hot.y, at.y);
}

} // namespace
} // namespace app_test
