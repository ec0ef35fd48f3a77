// Menus with their shadow and opening animation: a drop-down's shadow joined to its entry, the styles
// that cast one, a sliding menu played by the timer, stopped by a key, or closed half way, and a menu
// that fades in.
#include <gtest/gtest.h>

#include "bar_windows_fixture.h"
#include "bars/core/bar_routines.h"
#include "bars/core/sub_item.h"
#include "bars/windows/menu_animation.h"
#include "bars/windows/menu_effects.h"
#include "bars/windows/menu_shadow.h"
#include "bars/windows/sub_menu_control.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "tests/support/gui/fade_watch.h"

namespace bars_windows_test {
namespace {

using bars::TdxBarSubMenuControl;

class MenuEffectsTest : public BarWindowsTest {
protected:
    MenuEffectsTest() {
        pw::gui::SetTickSource([this] { return now; });
        manager->SetMenusShowRecentItemsFirst(false);
        open = Button("&Open");
        save = Button("&Save");
        file = new TdxBarSubItem(&form);
        file->SetCaption("&File");
        for (TdxBarItem* item : {static_cast<TdxBarItem*>(open), static_cast<TdxBarItem*>(save)})
            file->ItemLinks()->Add()->SetItem(item);
        bar = Toolbar("Menu", {file});
        bar->SetIsMainMenu(true);
        Pump();
    }
    ~MenuEffectsTest() override {
        if (bars::BarControl* active = GetActiveBarControl())
            if (auto* control = dynamic_cast<bars::TCustomdxBarControl*>(active)) control->HideAll();
        Pump();
        pw::gui::SetTickSource(nullptr);
    }
    TdxBarSubMenuControl* Menu() const {
        return dynamic_cast<TdxBarSubMenuControl*>(file->ItemLinks()->BarControl());
    }
    RECT Bounds(HWND w) const {
        RECT r{0, 0, 0, 0};
        GetWindowRect(w, r);
        return r;
    }
    void Tick() {
        now += bars::kMenuAnimationFrameMs;
        Pump();
    }
    void ClickEntry() {
        Press(Centre(file, bar));
        Release(Centre(file, bar));
    }

    DWORD now = 300000;
    TdxBarButton* open = nullptr;
    TdxBarButton* save = nullptr;
    TdxBarSubItem* file = nullptr;
    TdxBar* bar = nullptr;
};

TEST_F(MenuEffectsTest, ADropDownCastsAShadowJoinedToItsEntryThatGoesWithIt) {
    ClickEntry();
    TdxBarSubMenuControl* menu = Menu();
    ASSERT_NE(menu, nullptr);
    bars::TdxBarShadow* shadow = bars::TheMenuEffects().ShadowOf(*menu);
    ASSERT_NE(shadow, nullptr);
    EXPECT_TRUE(shadow->Visible());
    // The outline is the entry above the menu.
    const RECT entry = Control(file, bar)->ScreenRect(), window = Bounds(menu->Handle());
    EXPECT_TRUE(shadow->VerticalJoin());
    EXPECT_EQ(shadow->Rect1().top, entry.top);
    EXPECT_EQ(shadow->Rect1().bottom, entry.bottom);
    EXPECT_EQ(shadow->Rect2().top, window.top);
    EXPECT_EQ(shadow->Rect2().right, window.right);
    ASSERT_GE(shadow->PartCount(), 3);
    std::vector<HWND> strips;
    for (int i = 0; i < shadow->PartCount(); ++i) {
        strips.push_back(shadow->Parts(i)->Handle());
        EXPECT_TRUE(IsWindowVisible(strips.back()));
        // The strips never take the activation from the form.
        EXPECT_NE(GetActiveWindow(), strips.back());
    }
    // The menu's bottom strip runs along its bottom edge.
    bool bottom = false;
    for (int i = 0; i < shadow->PartCount(); ++i) {
        const RECT& b = shadow->Parts(i)->Strip().Bounds;
        bottom = bottom || (b.top == window.bottom && b.right == window.right + shadow->Size());
    }
    EXPECT_TRUE(bottom);

    SendMessage(menu->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    Pump();
    EXPECT_EQ(Menu(), nullptr);
    for (HWND h : strips)
        EXPECT_FALSE(IsWindow(h));
}

TEST_F(MenuEffectsTest, OnlyTheFlatXpAndOffice2003StylesCastMenuShadows) {
    manager->SetStyle(bmsEnhanced);
    Pump();
    ClickEntry();
    ASSERT_NE(Menu(), nullptr);
    EXPECT_EQ(bars::TheMenuEffects().ShadowOf(*Menu()), nullptr);
}

TEST_F(MenuEffectsTest, ASlidingMenuGrowsOnTheTimerAndCastsItsShadowOnceWhole) {
    manager->SetMenuAnimations(maSlide);
    MoveTo(Centre(file, bar));
    ClickEntry();
    TdxBarSubMenuControl* menu = Menu();
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(menu->Animating());
    // The first frame is 17 pixels of client area, at the menu's final top; the shadow waits.
    const RECT first = Bounds(menu->Handle());
    RECT client{};
    GetClientRect(menu->Handle(), client);
    EXPECT_EQ(client.bottom, 17);
    bars::TdxBarShadow* shadow = bars::TheMenuEffects().ShadowOf(*menu);
    EXPECT_TRUE(shadow == nullptr || !shadow->Visible());
    int frames = 1;
    while (menu->Animating() && frames < 100) {
        Tick();
        ++frames;
    }
    EXPECT_FALSE(menu->Animating());
    const RECT whole = Bounds(menu->Handle());
    EXPECT_GT(whole.bottom - whole.top, first.bottom - first.top);
    EXPECT_EQ(first.top, whole.top);
    shadow = bars::TheMenuEffects().ShadowOf(*menu);
    ASSERT_NE(shadow, nullptr);
    EXPECT_TRUE(shadow->Visible());
    EXPECT_EQ(shadow->Rect2().bottom, whole.bottom);
}

TEST_F(MenuEffectsTest, AKeyDuringTheAnimationShowsTheMenuWholeAndClosingItLeavesNothingBehind) {
    manager->SetMenuAnimations(maUnfold);
    MoveTo(Centre(file, bar));
    ClickEntry();
    TdxBarSubMenuControl* menu = Menu();
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(menu->Animating());
    Tick();
    SendMessage(menu->Handle(), WM_KEYDOWN, VK_DOWN, 0);
    Pump();
    EXPECT_FALSE(menu->Animating());
    EXPECT_FALSE(bars::IsMenuAnimating(menu->Handle()));
    bars::TdxBarShadow* shadow = bars::TheMenuEffects().ShadowOf(*menu);
    ASSERT_NE(shadow, nullptr);
    EXPECT_TRUE(shadow->Visible());
    SendMessage(menu->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    Pump();

    // Opened again and closed half way: the closed window is neither moved nor shown again.
    ClickEntry();
    menu = Menu();
    ASSERT_NE(menu, nullptr);
    const HWND handle = menu->Handle();
    Tick();
    SendMessage(handle, WM_KEYDOWN, VK_ESCAPE, 0);
    Pump();
    EXPECT_EQ(Menu(), nullptr);
    EXPECT_EQ(bars::AnimatedMenuWindow(), nullptr);
    for (int i = 0; i < 40; ++i)
        Tick();
    EXPECT_FALSE(IsWindow(handle));
}

TEST_F(MenuEffectsTest, AFadingMenuBlendsInOver150MsAndCastsItsShadowOnceOpaque) {
    manager->SetMenuAnimations(maFade);
    MoveTo(Centre(file, bar));
    testsupport::FadeWatch watch;
    ClickEntry();
    TdxBarSubMenuControl* menu = Menu();
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(menu->Animating());
    const auto& frames = watch.Frames();
    ASSERT_GE(frames.size(), 9u);
    EXPECT_EQ(frames.back().fade.window, menu->Handle());
    EXPECT_EQ(frames.front().fade.alpha, 0);
    EXPECT_GE(frames.back().fade.atMs, 150);
    EXPECT_LT(frames.back().fade.atMs, 150 + pw::gui::kFadeFrameMs);
    EXPECT_EQ(frames.back().fade.alpha, 255);
    // Each frame shows its share of the finished menu over the form: the menu paints itself whole
    // before the first.
    const Surface &form = frames.front().screen, &whole = frames.back().screen;
    for (const auto& frame : frames) {
        int off = 0;
        for (int y = 0; y < whole.Height(); ++y)
            for (int x = 0; x < whole.Width(); ++x)
                for (int s = 0; s < 24; s += 8) {
                    const int below = (form.Pixel(x, y) >> s) & 0xFF,
                              menuPixel = (whole.Pixel(x, y) >> s) & 0xFF;
                    const int shown = (frame.screen.Pixel(x, y) >> s) & 0xFF;
                    off += std::abs(shown - (below + (menuPixel - below) * frame.fade.alpha / 255)) > 2;
                }
        EXPECT_EQ(off, 0) << frame.fade.atMs;
    }
    // Once opaque, the menu casts its shadow.
    bars::TdxBarShadow* shadow = bars::TheMenuEffects().ShadowOf(*menu);
    ASSERT_NE(shadow, nullptr);
    EXPECT_TRUE(shadow->Visible());
}

} // namespace
} // namespace bars_windows_test
