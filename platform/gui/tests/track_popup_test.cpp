// A popup menu tracked by TrackPopupMenu: chosen with the arrows and Enter, by an entry's letter or by
// a click, never on a disabled entry or a separator, left with Escape or a click elsewhere, and kept
// on the screen near its corner.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "gui_test_support.h"
#include "platform/gdi/metrics.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/menus.h"
#include "platform/gui/window.h"

using namespace gui_test;
using pw::gui::MouseAction;
using pw::gui::MouseButton;

namespace {

constexpr UINT kOpen = 11, kTrash = 12, kProperties = 13;
constexpr UINT kWhileShown = WM_APP + 7;

// Open, a separator, Trash (disabled), Properties (the default); its owner has the focus.
class TrackPopup : public ::testing::Test {
protected:
    void SetUp() override {
        owner_ = MakeTopLevel(RECT{100, 100, 400, 300});
        SetActiveWindow(owner_);
        SetFocus(owner_);
        Pump();
        menu_ = CreatePopupMenu();
        AppendMenu(menu_, MF_STRING, kOpen, "&Open");
        AppendMenu(menu_, MF_SEPARATOR, 0, nullptr);
        AppendMenu(menu_, MF_STRING | MF_GRAYED, kTrash, "Move to &Trash\tDel");
        AppendMenu(menu_, MF_STRING, kProperties, "&Properties");
        SetMenuDefaultItem(menu_, kProperties, FALSE_);
        SetTestHandler(owner_, [this](HWND, UINT msg, WPARAM, LPARAM, LRESULT& result) {
            if (msg != kWhileShown) return false;
            if (whileShown_) whileShown_();
            result = 0;
            return true;
        });
    }
    void TearDown() override { DestroyMenu(menu_); }

    // Keys queued before the menu shows reach its loop in order.
    UINT ChooseWithKeys(const std::vector<BYTE>& keys) {
        for (BYTE vk : keys)
            pw::gui::SimulateKeyStroke(vk);
        return Track();
    }
    UINT Track(int x = 150, int y = 150) {
        return static_cast<UINT>(TrackPopupMenu(menu_, TPM_RETURNCMD, x, y, 0, owner_, nullptr));
    }
    // Runs action from inside the menu's loop, once it shows.
    void WhileShown(std::function<void()> action) {
        whileShown_ = std::move(action);
        PostMessage(owner_, kWhileShown, 0, 0);
    }
    POINT Middle(UINT position) {
        RECT r{};
        EXPECT_TRUE(GetMenuItemRect(owner_, menu_, position, r));
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    HWND owner_ = nullptr;
    HMENU menu_ = nullptr;
    std::function<void()> whileShown_;
};

TEST_F(TrackPopup, ArrowsSkipTheSeparatorAndEnterTakesOnlyAnEnabledEntry) {
    // Open, Trash (Enter does nothing there), Properties.
    EXPECT_EQ(ChooseWithKeys({VK_DOWN, VK_DOWN, VK_RETURN, VK_DOWN, VK_RETURN}), kProperties);
    EXPECT_EQ(ChooseWithKeys({VK_DOWN, VK_RETURN}), kOpen);
    // Up from nothing starts at the bottom and goes round past the top.
    EXPECT_EQ(ChooseWithKeys({VK_UP, VK_UP, VK_UP, VK_UP, VK_RETURN}), kProperties);
    EXPECT_EQ(ChooseWithKeys({VK_END, VK_HOME, VK_RETURN}), kOpen);
    EXPECT_EQ(ChooseWithKeys({VK_DOWN, VK_ESCAPE, VK_RETURN}), 0u);
    EXPECT_EQ(GetCapture(), nullptr);
    Pump(); // the Enter after Escape was the owner's again
}

TEST_F(TrackPopup, AnEntrysLetterChoosesItUnlessItIsDisabled) {
    pw::gui::SimulateKey('P', true, U'p');
    pw::gui::SimulateKey('P', false);
    EXPECT_EQ(Track(), kProperties);
    pw::gui::SimulateKey('T', true, U't');
    pw::gui::SimulateKey('T', false);
    EXPECT_EQ(ChooseWithKeys({VK_ESCAPE}), 0u);
}

TEST_F(TrackPopup, AClickChoosesTheEntryUnderItAndAClickElsewhereLeaves) {
    WhileShown([this] {
        const POINT trash = Middle(2);
        pw::gui::SimulateMouse(MouseAction::Move, trash);
        pw::gui::SimulateClick(trash); // disabled: the menu stays
        const POINT properties = Middle(3);
        pw::gui::SimulateMouse(MouseAction::Move, properties);
        pw::gui::SimulateClick(properties);
    });
    EXPECT_EQ(Track(), kProperties);

    WhileShown([this] {
        pw::gui::SimulateMouse(MouseAction::Move, Middle(1)); // the separator
        pw::gui::SimulateClick(Middle(1));
        pw::gui::SimulateClick(POINT{390, 290}); // on the owner, outside the menu
    });
    EXPECT_EQ(Track(), 0u);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(TrackPopup, TheReleaseOfTheOpeningClickChoosesNothing) {
    WhileShown([this] {
        const POINT open = Middle(0);
        pw::gui::SimulateMouse(MouseAction::Up, open, MouseButton::Right);
        pw::gui::SimulateKeyStroke(VK_ESCAPE);
    });
    EXPECT_EQ(Track(), 0u);
}

TEST_F(TrackPopup, WithoutReturnCmdTheChoiceIsPostedToTheOwner) {
    pw::gui::SimulateKeyStroke(VK_DOWN);
    pw::gui::SimulateKeyStroke(VK_RETURN);
    Log().clear();
    EXPECT_TRUE(TrackPopupMenu(menu_, 0, 150, 150, 0, owner_, nullptr));
    Pump();
    const std::vector<Seen> commands = SeenOf(owner_, WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, kOpen);
}

TEST_F(TrackPopup, NearTheScreensCornerTheMenuOpensUpAndLeft) {
    const int right = GetSystemMetrics(SM_CXSCREEN), bottom = GetSystemMetrics(SM_CYSCREEN);
    RECT first{}, last{};
    WhileShown([&] {
        GetMenuItemRect(owner_, menu_, 0, first);
        GetMenuItemRect(owner_, menu_, 3, last);
        pw::gui::SimulateKeyStroke(VK_ESCAPE);
    });
    EXPECT_EQ(Track(right - 5, bottom - 5), 0u);
    EXPECT_LE(last.right, right - 5);
    EXPECT_LE(last.bottom, bottom - 5);
    EXPECT_GT(first.right - first.left, 40);
    EXPECT_LT(first.top, last.top);
}

} // namespace
