// Hints over toolbar buttons on a fixed clock: the delay, replacing a shown hint at once, the hide
// timer, the quick re-show period, the shortcut text, and what a manager's end does to them.
#include <gtest/gtest.h>

#include "bar_windows_fixture.h"
#include "bars/core/hint_window.h"
#include "bars/core/item_registry.h"
#include "bars/windows/bar_hints.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "platform/vcl/application.h"
#include "platform/vcl/shortcut.h"

namespace bars_windows_test {
namespace {

// A button whose control names a shortcut of its own (as a line standing for another toolbar's link
// names that link's).
class F5Button : public TdxBarButton {
public:
    using TdxBarButton::TdxBarButton;
    std::string ClassName() const override { return "TF5HintTestButton"; }
};
class F5ButtonControl : public bars::TdxBarButtonControl {
public:
    using TdxBarButtonControl::TdxBarButtonControl;
    TShortCut GetShortCut() const override { return ShortCut(VK_F1 + 4, TShiftState{}); }
};

class HintsTest : public BarWindowsTest {
protected:
    HintsTest() {
        pw::gui::SetTickSource([this] { return now; });
        open = Button("&Open");
        open->SetShortCut(ShortCut('O', TShiftState{ssCtrl}));
        save = Button("&Save");
        bare = Button("&Bare");
        bare->SetHint("");
        bar = Toolbar("Tools", {open, save, bare});
    }
    ~HintsTest() override {
        bars::CancelHint();
        pw::gui::SetTickSource(nullptr);
        Application->SetHintShortCuts(true);
    }

    void Wait(DWORD ms) {
        now += ms;
        Pump();
    }
    std::string Shown() const {
        if (!bars::IsHintShown()) return "";
        return bars::BarHintWindow()->Caption();
    }
    RECT HintRect() const {
        RECT r{};
        GetWindowRect(bars::BarHintWindow()->Handle(), r);
        return r;
    }

    DWORD now = 100000;
    TdxBarButton* open = nullptr;
    TdxBarButton* save = nullptr;
    TdxBarButton* bare = nullptr;
    TdxBar* bar = nullptr;
};

TEST_F(HintsTest, AHintShowsAfterTheDelayFollowsThePointerAtOnceAndGoesByItself) {
    const POINT at = Centre(open, bar);
    MoveTo(at);
    Wait(999);
    EXPECT_EQ(Shown(), "");
    EXPECT_TRUE(bars_detail::HintTimerPending());
    Wait(1);
    // The application names shortcuts in hints unless told not to.
    EXPECT_EQ(Shown(), "Open (Ctrl+O)");
    const RECT r = HintRect();
    EXPECT_EQ(r.left, at.x);
    EXPECT_EQ(r.top, at.y + 20);
    // The hint never takes the pointer or the activation.
    EXPECT_EQ(SendMessage(bars::BarHintWindow()->Handle(), WM_NCHITTEST, 0,
                          PackPoint(POINT{r.left + 2, r.top + 2})),
              HTTRANSPARENT);
    EXPECT_NE(GetActiveWindow(), bars::BarHintWindow()->Handle());

    // The next button's hint replaces the shown one without a wait; it has no shortcut.
    MoveTo(Centre(save, bar));
    EXPECT_EQ(Shown(), "Save");
    Wait(9999);
    EXPECT_EQ(Shown(), "Save");
    Wait(1);
    EXPECT_EQ(Shown(), "");
    // Only one of the show and hide timers is ever pending; none is left now.
    EXPECT_FALSE(bars_detail::HintTimerPending());
}

TEST_F(HintsTest, AButtonWithoutHintHidesItAndAHintedOneSoonAfterShowsAtOnce) {
    MoveTo(Centre(open, bar));
    Wait(1000);
    ASSERT_EQ(Shown(), "Open (Ctrl+O)");
    MoveTo(Centre(bare, bar));
    EXPECT_EQ(Shown(), "");
    EXPECT_TRUE(bars_detail::HintRecentlyHidden());
    Wait(399);
    MoveTo(Centre(save, bar));
    EXPECT_EQ(Shown(), "Save");

    // Once the short period is over, the full delay applies again.
    MoveTo(Centre(bare, bar));
    Wait(400);
    EXPECT_FALSE(bars_detail::HintRecentlyHidden());
    MoveTo(Centre(open, bar));
    EXPECT_EQ(Shown(), "");
    Wait(1000);
    EXPECT_EQ(Shown(), "Open (Ctrl+O)");

    // A click ends the hint. The button under the pointer hot-tracks again at once, but its hint
    // comes back only after the full delay.
    Press(Centre(open, bar));
    Release(Centre(open, bar));
    EXPECT_EQ(Clicks(open), 1);
    EXPECT_EQ(Shown(), "");
    Wait(999);
    EXPECT_EQ(Shown(), "");
    Wait(1);
    EXPECT_EQ(Shown(), "Open (Ctrl+O)");
}

TEST_F(HintsTest, ShortcutsDisabledItemsShowHintAndKeyboardModeDecideWhatShows) {
    Application->SetHintShortCuts(false);
    MoveTo(Centre(open, bar));
    Wait(1000);
    EXPECT_EQ(Shown(), "Open");
    manager->SetShowShortCutInHint(true);
    MoveTo(Centre(save, bar));
    MoveTo(Centre(open, bar));
    EXPECT_EQ(Shown(), "Open (Ctrl+O)");
    bars::CancelHint();

    // A disabled button is hinted only while the manager says so.
    save->SetEnabled(false);
    manager->SetShowHintForDisabledItems(false);
    MoveTo(Centre(save, bar));
    Wait(1000);
    EXPECT_EQ(Shown(), "");
    manager->SetShowHintForDisabledItems(true);
    MoveTo(Centre(open, bar));
    MoveTo(Centre(save, bar));
    Wait(1000);
    EXPECT_EQ(Shown(), "Save");
    bars::CancelHint();

    // A bar in keyboard mode shows no item hints.
    Window(bar)->SetActive(true);
    MoveTo(Centre(open, bar));
    Wait(1000);
    EXPECT_EQ(Shown(), "");
    Window(bar)->SetActive(false);

    // Without ShowHint no timer even starts.
    manager->SetShowHint(false);
    MoveTo(Centre(save, bar));
    MoveTo(Centre(open, bar));
    EXPECT_FALSE(bars_detail::HintTimerPending());
    Wait(1000);
    EXPECT_EQ(Shown(), "");
}

TEST_F(HintsTest, TheHintIsItsTextBeforeTheBarAndTheShortcutTheControlNames) {
    open->SetHint("Open a profile|Opens a profile file from the disk|really");
    MoveTo(Centre(open, bar));
    Wait(1000);
    EXPECT_EQ(Shown(), "Open a profile (Ctrl+O)");
    // Nothing before the bar: no hint.
    save->SetHint("|Only the long part");
    MoveTo(Centre(save, bar));
    EXPECT_EQ(Shown(), "");
    bars::CancelHint();

    RegisterBarItemClass<F5Button>(
        "TF5HintTestButton",
        [](TdxBarItemLink* Link) -> std::unique_ptr<bars::ItemControl> {
            return std::make_unique<F5ButtonControl>(Link);
        },
        false);
    auto* refresh = new F5Button(&form);
    refresh->SetCaption("&Refresh");
    refresh->SetShortCut(ShortCut('R', TShiftState{ssCtrl}));
    TdxBar* other = Toolbar("Other", {refresh}, dsTop, 1);
    Pump();
    MoveTo(Centre(refresh, other));
    Wait(1000);
    const std::string shown = Shown();
    UnRegisterBarItemClass("TF5HintTestButton");
    EXPECT_EQ(shown, "Refresh (F5)");
}

TEST_F(HintsTest, AManagerThatGoesTakesItsPendingAndShownHintWithIt) {
    MoveTo(Centre(open, bar));
    EXPECT_TRUE(bars_detail::HintTimerPending());
    delete manager;
    manager = nullptr;
    EXPECT_FALSE(bars_detail::HintTimerPending());
    // Its time passes: nothing shows for a manager that is gone.
    Wait(1000);
    EXPECT_EQ(Shown(), "");
    // The last manager took the shared window with it.
    EXPECT_EQ(bars::BarHintWindow(), nullptr);

    manager = new TdxBarManager(&form);
    manager->SetStyle(bmsFlat);
    TdxBar* again = Toolbar("Again", {Button("&Print")});
    MoveTo(POINT{0, 0});
    MoveTo(Centre(again->ItemLinks()->Items(0)->Item(), again));
    Wait(1000);
    EXPECT_EQ(Shown(), "Print");
    delete manager;
    manager = nullptr;
    EXPECT_EQ(Shown(), "");
    Wait(10000);
}

TEST(HintPlacement, HintsStayInsideTheWorkArea) {
    const RECT work{0, 0, 800, 600};
    const SIZE size{100, 20};
    // Plenty of room: at the point.
    RECT r = TdxBarHintWindow::PlaceHint(POINT{300, 200}, size, work);
    EXPECT_EQ(r.left, 300);
    EXPECT_EQ(r.top, 200);
    EXPECT_EQ(r.right - r.left, 100);
    // Near the right edge it moves left to end there.
    r = TdxBarHintWindow::PlaceHint(POINT{750, 200}, size, work);
    EXPECT_EQ(r.left, 700);
    EXPECT_EQ(r.right, 800);
    // Near the bottom it goes above the point by its height and 20 more.
    r = TdxBarHintWindow::PlaceHint(POINT{300, 590}, size, work);
    EXPECT_EQ(r.top, 590 - 20 - 20);
    // Never left of or above the work area, even when wider than it.
    r = TdxBarHintWindow::PlaceHint(POINT{10, 5}, SIZE{900, 700}, work);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
}

} // namespace
} // namespace bars_windows_test
