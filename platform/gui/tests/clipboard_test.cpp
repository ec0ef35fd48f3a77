#include <gtest/gtest.h>

#include "gui_test_support.h"
#include "platform/gui/clipboard.h"

using namespace gui_test;

TEST(Clipboard, OneWindowAtATimeChangesItAndTheEmptierOwnsIt) {
    HWND a = MakeTopLevel(RECT{0, 0, 10, 10});
    HWND b = MakeTopLevel(RECT{0, 0, 10, 10});
    EXPECT_FALSE(SetClipboardData(CF_UNICODETEXT, "not open"));
    EXPECT_FALSE(EmptyClipboard());
    EXPECT_FALSE(CloseClipboard());

    ASSERT_TRUE(OpenClipboard(a));
    EXPECT_EQ(GetOpenClipboardWindow(), a);
    EXPECT_FALSE(OpenClipboard(b));
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_EQ(GetClipboardOwner(), a);
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_FALSE(SetClipboardData(2 /* a bitmap */, "pixels"));
    // Either text format holds UTF-8.
    EXPECT_TRUE(SetClipboardData(CF_TEXT, "Stra\xC3\x9F"
                                          "e \xE6\x9D\xB1\xE4\xBA\xAC"));
    EXPECT_TRUE(CloseClipboard());
    EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), "Stra\xC3\x9F"
                                                "e \xE6\x9D\xB1\xE4\xBA\xAC");
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_EQ(GetClipboardData(2), "");

    ASSERT_TRUE(OpenClipboard(b));
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_TRUE(CloseClipboard());
    EXPECT_EQ(GetClipboardOwner(), b);
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), "");
}
