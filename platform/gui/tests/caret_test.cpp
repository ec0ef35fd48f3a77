// The system caret: one at a time, owned by a window, hidden and shown in pairs, and gone with its
// owner.
#include <gtest/gtest.h>

#include "gui_test_support.h"
#include "platform/gui/caret.h"
#include "platform/gui/paint.h"

using namespace gui_test;

TEST(Caret, OneCaretOwnedByOneWindowHiddenAndShownInPairs) {
    HWND a = MakeTopLevel(RECT{0, 0, 100, 100});
    HWND b = MakeTopLevel(RECT{200, 0, 300, 100});
    POINT p{-5, -5};
    EXPECT_FALSE(GetCaretPos(p));
    EXPECT_FALSE(HideCaret(a));
    EXPECT_FALSE(SetCaretPos(1, 1));

    ASSERT_TRUE(CreateCaret(a, nullptr, 1, 14));
    // A new caret starts hidden: showing it once makes it seen.
    EXPECT_FALSE(pw::gui::CaretShown(a));
    EXPECT_TRUE(ShowCaret(a));
    EXPECT_TRUE(pw::gui::CaretShown(a));
    EXPECT_TRUE(SetCaretPos(12, 3));
    ASSERT_TRUE(GetCaretPos(p));
    EXPECT_EQ(p, (POINT{12, 3}));
    // Only its owner (or nobody in particular) may hide it; hidden twice, it takes two shows.
    EXPECT_FALSE(HideCaret(b));
    EXPECT_TRUE(HideCaret(a));
    EXPECT_TRUE(HideCaret(nullptr));
    EXPECT_TRUE(ShowCaret(a));
    EXPECT_FALSE(pw::gui::CaretShown(a));
    EXPECT_TRUE(ShowCaret(a));
    EXPECT_TRUE(pw::gui::CaretShown(a));
    // A show too many keeps it shown and the count at zero: one hide hides it.
    EXPECT_TRUE(ShowCaret(a));
    EXPECT_TRUE(HideCaret(a));
    EXPECT_FALSE(pw::gui::CaretShown(a));
    EXPECT_FALSE(pw::gui::CaretShown(b));

    // Another window's caret replaces it.
    ASSERT_TRUE(CreateCaret(b, nullptr, 2, 10));
    EXPECT_FALSE(HideCaret(a));
    ASSERT_TRUE(GetCaretPos(p));
    EXPECT_EQ(p, (POINT{0, 0}));
    EXPECT_TRUE(DestroyCaret());
    EXPECT_FALSE(DestroyCaret());
    EXPECT_FALSE(GetCaretPos(p));

    // It goes with its owner.
    ASSERT_TRUE(CreateCaret(a, nullptr, 1, 14));
    DestroyWindow(a);
    EXPECT_FALSE(GetCaretPos(p));
    EXPECT_FALSE(ShowCaret(nullptr));
    EXPECT_FALSE(CreateCaret(a, nullptr, 1, 14));
}

TEST(Caret, ShowingHidingAndMovingRedrawWhereItStands) {
    HWND w = MakeTopLevel(RECT{0, 0, 100, 100});
    Pump();
    ASSERT_TRUE(CreateCaret(w, nullptr, 2, 10));
    SetCaretPos(20, 30);
    RECT dirty{};
    // Hidden, a move draws nothing.
    EXPECT_FALSE(GetUpdateRect(w, &dirty, FALSE_));
    ShowCaret(w);
    ASSERT_TRUE(GetUpdateRect(w, &dirty, FALSE_));
    EXPECT_EQ(dirty, (RECT{20, 30, 22, 40}));
    Pump();
    SetCaretPos(40, 30);
    ASSERT_TRUE(GetUpdateRect(w, &dirty, FALSE_));
    EXPECT_EQ(dirty, (RECT{20, 30, 42, 40}));
    Pump();
    HideCaret(w);
    ASSERT_TRUE(GetUpdateRect(w, &dirty, FALSE_));
    EXPECT_EQ(dirty, (RECT{40, 30, 42, 40}));
    DestroyCaret();
}
