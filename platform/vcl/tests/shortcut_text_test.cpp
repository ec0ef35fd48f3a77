#include <gtest/gtest.h>

#include "platform/gui/keys.h"
#include "platform/vcl/shortcut.h"

// Shortcut texts read back as the shortcuts they name, modifiers in any order and any letter case;
// text naming no key is none.
TEST(ShortCutText, ReadsWhatShortCutToTextWrites) {
    for (TShortCut s : {ShortCut('S', TShiftState{ssCtrl, ssShift}), ShortCut(VK_F4, TShiftState{ssAlt}),
                        ShortCut(VK_DELETE, TShiftState{}), ShortCut('O', TShiftState{ssCtrl})})
        EXPECT_EQ(TextToShortCut(ShortCutToText(s)), s) << ShortCutToText(s);
    EXPECT_EQ(TextToShortCut("alt+f4"), ShortCut(VK_F4, TShiftState{ssAlt}));
    EXPECT_EQ(TextToShortCut("Shift+Ctrl+S"), TextToShortCut("Ctrl+Shift+S"));
    EXPECT_EQ(TextToShortCut(""), scNone);
    EXPECT_EQ(TextToShortCut("Ctrl+"), scNone);
    EXPECT_EQ(TextToShortCut("Ctrl+NoSuchKey"), scNone);
}
