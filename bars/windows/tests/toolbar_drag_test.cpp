// A toolbar dragged by its grip out of its dock site floats; dragged by its caption back over the site
// it docks again once the docking wait has passed.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "bar_windows_fixture.h"
#include "bars/windows/bar_hooks.h"
#include "platform/gdi/muldiv.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "platform/stdctrls/buttons.h"
#include "platform/vcl/shortcut.h"

namespace bars_windows_test {
namespace {

// Releases the button from a timer once the bar has docked (or after enough tries), as a person who
// holds the bar over the site a moment would.
struct PendingRelease {
    static inline TdxBar* bar = nullptr;
    static inline POINT at{0, 0};
    static inline int tries = 0;
    static void Fire(HWND, UINT, UINT_PTR id, DWORD) {
        if (bar->DockingStyle() == dsNone && ++tries < 500) return;
        KillTimer(nullptr, id);
        pw::gui::SimulateMouse(pw::gui::MouseAction::Up, at, pw::gui::MouseButton::Left);
    }
};

TEST_F(BarWindowsTest, AToolbarDraggedOutOfItsSiteFloatsAndDraggedBackDocksAgain) {
    manager->SetLargeIcons(true);
    TdxBarButton* open = Button("&Open");
    TdxBarButton* save = Button("&Save");
    TdxBar* bar = Toolbar("Tools", {open, save});
    RECT docked{};
    GetWindowRect(Window(bar)->Handle(), docked);
    // The grip: left of the client area, inside the docked frame.
    const POINT grip{docked.left + 4, docked.top + 10};
    const POINT away{300, 300};
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, grip);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Down, grip, pw::gui::MouseButton::Left);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, POINT{grip.x + 5, grip.y + 100});
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, away);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Up, away, pw::gui::MouseButton::Left);
    Pump();
    ASSERT_EQ(bar->DockingStyle(), dsNone);
    bars::TdxBarControl* window = Window(bar);
    EXPECT_NE(GetWindowLong(window->Handle(), GWL_STYLE) & WS_POPUP, 0);
    EXPECT_EQ(Site(dsTop)->RowCount(), 0);
    EXPECT_EQ(Site(dsTop)->TControl::Height(), 0);
    RECT floating{};
    GetWindowRect(window->Handle(), floating);
    // The point that held the grip keeps its place relative to the bar's size: 4 of 95 across and 10 of
    // 24 down on the docked bar are 3 of 82 and 18 of 44 on the floating one.
    ASSERT_EQ(docked.right - docked.left, 95);
    ASSERT_EQ(docked.bottom - docked.top, 24);
    ASSERT_EQ(floating.right - floating.left, 82);
    ASSERT_EQ(floating.bottom - floating.top, 44);
    EXPECT_EQ(floating.left, away.x - 3);
    EXPECT_EQ(floating.top, away.y - 18);
    EXPECT_EQ(bar->FloatLeft(), floating.left);
    // The buttons work on the floating bar.
    Press(Centre(open, bar));
    Release(Centre(open, bar));
    EXPECT_EQ(Clicks(open), 1);

    // Back by the caption, over the top of the form.
    const POINT caption{floating.left + 20, floating.top + 8};
    const POINT over{200, 60};
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, caption);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Down, caption, pw::gui::MouseButton::Left);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, over);
    PendingRelease::bar = bar;
    PendingRelease::at = over;
    PendingRelease::tries = 0;
    StartTimer(5, &PendingRelease::Fire);
    Pump();
    for (int i = 0; i < 200 && GetCapture() != nullptr; ++i)
        Pump();
    EXPECT_EQ(bar->DockingStyle(), dsTop);
    EXPECT_EQ(Site(dsTop)->RowCount(), 1);
    EXPECT_EQ(GetWindowLong(Window(bar)->Handle(), GWL_STYLE) & WS_POPUP, 0);
    // Docked again, it has its docked size again.
    RECT redocked{};
    GetWindowRect(Window(bar)->Handle(), redocked);
    EXPECT_EQ(redocked.bottom - redocked.top, docked.bottom - docked.top);
    EXPECT_EQ(redocked.right - redocked.left, docked.right - docked.left);
    EXPECT_EQ(Site(dsTop)->TControl::Height(), docked.bottom - docked.top);
    Press(Centre(save, bar));
    Release(Centre(save, bar));
    EXPECT_EQ(Clicks(save), 1);
}

// Dragged onto a dock site, a toolbar docks with the point that held it under the pointer, at the share
// of the toolbar's length it held on the window it was grabbed by: a floating toolbar of two short rows
// beside another toolbar on the top row, then by its grip down the left side.
TEST_F(BarWindowsTest, ADockedToolbarKeepsTheGrabPointUnderThePointerAtItsShareOfTheLength) {
    manager->SetWaitForDockingTime(10);
    TdxBar* first = Toolbar("First", {Button("&Open")});
    TdxBar* bar =
        Toolbar("Tools", {Button("&Save"), Button("&Find"), Button("&Print"), Button("&Close")}, dsNone);
    bar->SetVisible(false);
    bar->SetFloatClientWidth(60);
    bar->SetFloatLeft(250);
    bar->SetFloatTop(250);
    bar->SetVisible(true);
    Pump();
    RECT floating{}, firstRect{}, site{};
    GetWindowRect(Window(bar)->Handle(), floating);
    GetWindowRect(Window(first)->Handle(), firstRect);
    GetWindowRect(Site(dsTop)->Handle(), site);
    const POINT caption{floating.left + 40, floating.top + 8};
    const POINT over{firstRect.right + 160, site.top + 4};
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, caption);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Down, caption, pw::gui::MouseButton::Left);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, over);
    PendingRelease::bar = bar;
    PendingRelease::at = over;
    PendingRelease::tries = 0;
    StartTimer(5, &PendingRelease::Fire);
    Pump();
    for (int i = 0; i < 200 && GetCapture() != nullptr; ++i)
        Pump();
    ASSERT_EQ(bar->DockingStyle(), dsTop);
    ASSERT_EQ(Site(dsTop)->RowCount(), 1);
    ASSERT_EQ(Site(dsTop)->Rows(0)->Columns.size(), 2u);
    EXPECT_EQ(Site(dsTop)->Rows(0)->Columns[1]->BarControl, Window(bar));
    RECT docked{};
    GetWindowRect(Window(bar)->Handle(), docked);
    const int floatingWidth = floating.right - floating.left, dockedWidth = docked.right - docked.left;
    ASSERT_GT(dockedWidth, floatingWidth + 40);
    EXPECT_EQ(docked.left, over.x - MulDiv(dockedWidth, caption.x - floating.left, floatingWidth));
    EXPECT_EQ(bar->DockedLeft(), docked.left - site.left);

    // By the grip, off the top row and down the left side: the drag moved the pointer up to the top of
    // the row, which the left side, where the rows are columns, does not keep.
    const POINT grip{docked.left + 4, docked.top + 10};
    RECT left{};
    GetWindowRect(Site(dsLeft)->Handle(), left);
    const POINT down{left.left + 6, left.top + 150};
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, grip);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Down, grip, pw::gui::MouseButton::Left);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, down);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Up, down, pw::gui::MouseButton::Left);
    Pump();
    ASSERT_EQ(bar->DockingStyle(), dsLeft);
    RECT side{};
    GetWindowRect(Window(bar)->Handle(), side);
    const int dockedHeight = docked.bottom - docked.top, sideHeight = side.bottom - side.top;
    ASSERT_GT(sideHeight, dockedHeight + 40);
    EXPECT_EQ(side.top, down.y - MulDiv(sideHeight, grip.y - docked.top, dockedHeight));

    // Back onto the top row by the grip at its top end, let go over the first toolbar's left half: the
    // toolbar's leading edge, before the first one's, puts it first in the row.
    const POINT top{side.left + 10, side.top + 3};
    const POINT back{firstRect.left + 20, site.top + 4};
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, top);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Down, top, pw::gui::MouseButton::Left);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, back);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Up, back, pw::gui::MouseButton::Left);
    Pump();
    ASSERT_EQ(bar->DockingStyle(), dsTop);
    ASSERT_EQ(Site(dsTop)->Rows(0)->Columns.size(), 2u);
    EXPECT_EQ(Site(dsTop)->Rows(0)->Columns[0]->BarControl, Window(bar));
    RECT again{};
    GetWindowRect(Window(bar)->Handle(), again);
    EXPECT_EQ(again.left, site.left);
}

TEST_F(BarWindowsTest, EscapeEndsADragAndCtrlKeepsTheBarFloating) {
    TdxBarButton* open = Button("&Open");
    TdxBar* bar = Toolbar("Tools", {open});
    RECT docked{};
    GetWindowRect(Window(bar)->Handle(), docked);
    const POINT grip{docked.left + 4, docked.top + 10};
    // Ctrl held: over the site the bar stays floating.
    pw::gui::SetKeyDown(VK_CONTROL, true);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, grip);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Down, grip, pw::gui::MouseButton::Left);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, POINT{grip.x + 40, grip.y + 2});
    pw::gui::SimulateKey(VK_ESCAPE, true);
    Pump();
    pw::gui::SetKeyDown(VK_CONTROL, false);
    EXPECT_EQ(bar->DockingStyle(), dsNone);
    EXPECT_EQ(GetCapture(), nullptr);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Up, grip, pw::gui::MouseButton::Left);
    Pump();
}

TEST_F(BarWindowsTest, AClickOnTheGripMovesNothingAndADoubleClickOnAFloatingCaptionDocksTheBar) {
    TdxBarButton* open = Button("&Open");
    TdxBar* bar = Toolbar("Tools", {open});
    RECT docked{};
    GetWindowRect(Window(bar)->Handle(), docked);
    const POINT grip{docked.left + 4, docked.top + 10};
    // Queued together: the press waits for the pointer to leave the drag rectangle or come up.
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, grip);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Down, grip, pw::gui::MouseButton::Left);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Up, grip, pw::gui::MouseButton::Left);
    Pump();
    RECT after{};
    GetWindowRect(Window(bar)->Handle(), after);
    EXPECT_EQ(bar->DockingStyle(), dsTop);
    EXPECT_TRUE(EqualRect(after, docked));

    TdxBar* floating = Toolbar("Floating", {Button("&Save")}, dsNone);
    floating->SetVisible(false);
    floating->SetFloatLeft(200);
    floating->SetFloatTop(300);
    floating->SetVisible(true);
    Pump();
    RECT r{};
    GetWindowRect(Window(floating)->Handle(), r);
    // The caption's left end, clear of its mark and close button.
    const POINT caption{r.left + 6, r.top + 8};
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, caption);
    for (int i = 0; i < 2; ++i) {
        pw::gui::SimulateMouse(pw::gui::MouseAction::Down, caption, pw::gui::MouseButton::Left);
        pw::gui::SimulateMouse(pw::gui::MouseAction::Up, caption, pw::gui::MouseButton::Left);
    }
    Pump();
    EXPECT_EQ(floating->DockingStyle(), dsTop);
    EXPECT_TRUE(floating->OneOnRow());
    EXPECT_EQ(Site(dsTop)->RowCount(), 2);
}

// Steps of one drag, each taken from a timer inside the drag's own loop once its condition holds.
struct DragSteps {
    struct Step {
        std::function<bool()> ready;
        std::function<void()> take;
    };
    static inline std::vector<Step> steps;
    static inline int waited = 0;
    static void Fire(HWND, UINT, UINT_PTR, DWORD) {
        if (steps.empty()) return;
        if (!steps.front().ready() && ++waited < 500) return;
        waited = 0;
        const Step step = steps.front();
        steps.erase(steps.begin());
        step.take();
    }
    // Ready at the next tick: what the step before posted has been taken meanwhile.
    static bool NextTick() { return waited > 0; }
};

TEST_F(BarWindowsTest, ADraggedToolbarChangesBetweenItsTwoWindowsAndKeepsTheOneItEndsIn) {
    manager->SetWaitForDockingTime(10);
    TdxBar* bar = Toolbar("Tools", {Button("&Open"), Button("&Save")});
    bars::TdxBarControl* window = Window(bar);
    const HWND docked = window->Handle();
    RECT r{};
    GetWindowRect(docked, r);
    const POINT grip{r.left + 4, r.top + 10};
    const POINT away{300, 300};
    const POINT over{grip.x + 30, grip.y};
    HWND floating = nullptr;
    bool sawBoth = false, backInDocked = false, sameFloating = false;
    auto move = [](POINT p) { pw::gui::SimulateMouse(pw::gui::MouseAction::Move, p); };
    DragSteps::steps = {{[&] { return bar->DockingStyle() == dsNone; },
                         [&] {
                             floating = window->Handle();
                             // The docked window waits hidden; the floating one was made when the move began.
                             sawBoth = window->Moving() && window->DockedWnd() == docked &&
                                       window->FloatingWnd() == floating && floating != docked &&
                                       IsWindow(docked) && !IsWindowVisible(docked);
                             move(over);
                         }},
                        {[&] { return bar->DockingStyle() == dsTop; },
                         [&] {
                             backInDocked = window->Handle() == docked && IsWindowVisible(docked) &&
                                            !IsWindowVisible(floating);
                             move(away);
                         }},
                        {[&] { return bar->DockingStyle() == dsNone; },
                         [&] {
                             sameFloating = window->Handle() == floating;
                             pw::gui::SimulateMouse(pw::gui::MouseAction::Up, away,
                                                    pw::gui::MouseButton::Left);
                         }}};
    DragSteps::waited = 0;
    StartTimer(5, &DragSteps::Fire);
    move(grip);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Down, grip, pw::gui::MouseButton::Left);
    move(POINT{grip.x + 5, grip.y + 100});
    move(away);
    Pump();
    for (int i = 0; i < 200 && GetCapture() != nullptr; ++i)
        Pump();
    EXPECT_TRUE(DragSteps::steps.empty());
    EXPECT_TRUE(sawBoth);
    EXPECT_TRUE(backInDocked);
    EXPECT_TRUE(sameFloating);
    // It ends floating in the window it floated in all along; the docked one is gone.
    ASSERT_EQ(Window(bar), window);
    EXPECT_EQ(window->Handle(), floating);
    EXPECT_FALSE(window->Moving());
    EXPECT_EQ(window->DockedWnd(), nullptr);
    EXPECT_FALSE(IsWindow(docked));
    EXPECT_TRUE(IsWindowVisible(floating));
    EXPECT_EQ(Site(dsTop)->RowCount(), 0);
    DragSteps::steps.clear();
}

TEST_F(BarWindowsTest, ADockedToolbarsGripZoneLiesBeforeItsClientAreaAndItsFormIsItsSitesForm) {
    TdxBar* bar = Toolbar("Tools", {Button("&Open")});
    bars::TdxBarControl* window = Window(bar);
    EXPECT_TRUE(EqualRect(window->GetGripZone(), RECT{-100, -100, 0, 100}));
    EXPECT_EQ(window->GetDockingForm(), &form);
    // Over the grip the pointer shows that the bar moves.
    RECT r{};
    GetWindowRect(window->Handle(), r);
    MoveTo(POINT{r.left + 4, r.top + 10});
    Pump();
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_SIZEALL));
    TdxBar* side = Toolbar("Side", {Button("&Save")}, dsLeft);
    EXPECT_TRUE(EqualRect(Window(side)->GetGripZone(), RECT{-100, -100, 100, 0}));
    // Without a border there is nothing to grip; floating neither.
    bar->SetBorderStyle(bbsNone);
    EXPECT_TRUE(IsRectEmpty(Window(bar)->GetGripZone()));
    TdxBar* floating = Toolbar("Floating", {Button("&Find")}, dsNone);
    EXPECT_TRUE(IsRectEmpty(Window(floating)->GetGripZone()));
    EXPECT_EQ(Window(floating)->GetDockingForm(), &form);
}

// Keys typed while a toolbar moves or is sized reach no control, no button's letter and no shortcut:
// the loop alone hears them. Afterwards they work again.
class MovingKeysTest : public BarWindowsTest {
protected:
    MovingKeysTest() {
        open->SetShortCut(ShortCut('O', TShiftState{ssCtrl}));
        edit->SetParent(&form);
        edit->SetBounds(20, 200, 200, 24);
        go->SetParent(&form);
        go->SetBounds(240, 200, 80, 24);
        go->SetCaption("&Go");
        go->OnClick = [this](TObject*) { ++goClicks; };
        Pump();
        SetActiveWindow(form.Handle());
        edit->SetFocus();
        DragSteps::steps.clear();
        DragSteps::waited = 0;
    }
    ~MovingKeysTest() override { DragSteps::steps.clear(); }
    static void Type() {
        pw::gui::SimulateKeyStroke('X');
        for (BYTE held : {VK_MENU, VK_CONTROL}) {
            pw::gui::SimulateKey(held, true);
            pw::gui::SimulateKeyStroke(held == VK_MENU ? 'G' : 'O');
            pw::gui::SimulateKey(held, false);
        }
    }
    void ExpectKeysHeldBackThenWork() {
        EXPECT_FALSE(bars::KeysBlocked());
        EXPECT_EQ(edit->Text(), "");
        EXPECT_EQ(goClicks + Clicks(open), 0);
        Type();
        Pump();
        EXPECT_EQ(edit->Text(), "x");
        EXPECT_EQ(goClicks, 1);
        EXPECT_EQ(Clicks(open), 1);
    }
    // Presses At, moves to Then and runs the loop the press starts; a step left in the end is dropped.
    // Returns the steps taken.
    size_t RunLoop(POINT At, POINT Then) {
        const size_t all = DragSteps::steps.size();
        pw::gui::SimulateMouse(pw::gui::MouseAction::Move, At);
        pw::gui::SimulateMouse(pw::gui::MouseAction::Down, At, pw::gui::MouseButton::Left);
        pw::gui::SimulateMouse(pw::gui::MouseAction::Move, Then);
        StartTimer(5, &DragSteps::Fire);
        Pump();
        for (int i = 0; i < 200 && GetCapture() != nullptr; ++i)
            Pump();
        const size_t taken = all - DragSteps::steps.size();
        DragSteps::steps.clear();
        pw::gui::SimulateMouse(pw::gui::MouseAction::Up, Then, pw::gui::MouseButton::Left);
        Pump();
        return taken;
    }
    // Taken only in a loop that did not hear Escape: the button's release ends it. A loop that ended
    // unblocked the keys; waiting for that keeps a slow machine's later tick from taking this step after
    // the loop, while the test still pumps.
    DragSteps::Step Unheard(POINT At) {
        return {[] { return DragSteps::NextTick() && bars::KeysBlocked(); },
                [this, At] {
                    escapeUnheard = true;
                    pw::gui::SimulateMouse(pw::gui::MouseAction::Up, At, pw::gui::MouseButton::Left);
                }};
    }

    TdxBarButton* open = Button("&Open");
    TEdit* edit = new TEdit(&form);
    TButton* go = new TButton(&form);
    int goClicks = 0;
    bool escapeUnheard = false;
};

// Ctrl still keeps the moved bar floating (and letting it go docks it at once); Escape still ends the
// move.
TEST_F(MovingKeysTest, KeysWhileAToolbarMovesReachOnlyTheMove) {
    manager->SetWaitForDockingTime(10);
    TdxBar* bar = Toolbar("Tools", {open});
    RECT r{};
    GetWindowRect(Window(bar)->Handle(), r);
    const POINT grip{r.left + 4, r.top + 10}, over{grip.x + 30, grip.y};
    bool floatingWithCtrl = false;
    auto move = [](POINT p) { pw::gui::SimulateMouse(pw::gui::MouseAction::Move, p); };
    DragSteps::steps = {
        {[&] { return bar->DockingStyle() == dsNone; },
         [&] {
             Type();
             pw::gui::SimulateKey(VK_CONTROL, true);
             move(over);
         }},
        {&DragSteps::NextTick,
         [&] {
             floatingWithCtrl = bar->DockingStyle() == dsNone;
             pw::gui::SimulateKey(VK_CONTROL, false);
         }},
        {[&] { return bar->DockingStyle() == dsTop; }, [] { pw::gui::SimulateKeyStroke(VK_ESCAPE); }},
        Unheard(over)};
    EXPECT_EQ(RunLoop(grip, POINT{300, 330}), 3u);
    EXPECT_TRUE(floatingWithCtrl);
    EXPECT_EQ(bar->DockingStyle(), dsTop);
    EXPECT_FALSE(escapeUnheard);
    ExpectKeysHeldBackThenWork();
}

// Escape still puts the size back. A toolbar that takes a new window while it is sized leaves its loop
// without a word: the keys are free all the same.
TEST_F(MovingKeysTest, KeysWhileAToolbarIsSizedReachOnlyTheSizing) {
    TdxBar* bar = Toolbar("Floating", {open, Button("F&ind next")}, dsNone);
    const HWND window = Window(bar)->Handle();
    RECT before{}, narrowed{}, after{};
    GetWindowRect(window, before);
    const POINT edge{before.right - 1, (before.top + before.bottom) / 2};
    ASSERT_EQ(SendMessage(window, WM_NCHITTEST, 0, MAKELPARAM(edge.x, edge.y)), HTRIGHT);
    DragSteps::steps = {{[] { return bars::KeysBlocked(); },
                         [&] {
                             pw::gui::SimulateMouse(pw::gui::MouseAction::Move, POINT{edge.x - 40, edge.y});
                             Type();
                         }},
                        {&DragSteps::NextTick,
                         [&] {
                             GetWindowRect(window, narrowed);
                             pw::gui::SimulateKeyStroke(VK_ESCAPE);
                         }},
                        Unheard(edge)};
    RECT client{};
    GetClientRect(window, client);
    EXPECT_EQ(RunLoop(edge, edge), 2u);
    GetWindowRect(window, after);
    EXPECT_LT(narrowed.right, before.right);
    EXPECT_EQ(after.right, before.right);
    // The size put back is the user's too: the width stored is the one before.
    EXPECT_EQ(bar->FloatClientWidth(), client.right);
    EXPECT_FALSE(escapeUnheard);
    ExpectKeysHeldBackThenWork();

    // Pressed a little lower: not a double click.
    const POINT lower{edge.x, edge.y + 5};
    ASSERT_EQ(SendMessage(window, WM_NCHITTEST, 0, MAKELPARAM(lower.x, lower.y)), HTRIGHT);
    DragSteps::steps = {
        {[] { return bars::KeysBlocked(); }, [&] { Window(bar)->ChangeDockingStyle(dsTop, Site(dsTop)); }},
        Unheard(lower)};
    EXPECT_EQ(RunLoop(lower, lower), 1u);
    ReleaseCapture(); // the new window kept the mouse of the loop that went with the old one
    EXPECT_FALSE(escapeUnheard);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(bars::KeysBlocked());
}

} // namespace
} // namespace bars_windows_test
