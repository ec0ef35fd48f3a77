// A list box whose rows its owner draws: rows of the height asked for, each drawn once per paint on
// the list's canvas with its state, in the highlight colours when selected, and with the list's focus
// rectangle on the row with the keyboard.
#include <gtest/gtest.h>

#include <map>

#include "platform/gdi/surface.h"
#include "platform/gdi/syscolors.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/graphics_types.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "platform/stdctrls/list_controls.h"
#include "platform/vcl/form.h"
#include "test_support.h"

using namespace stdctrls_test;

TEST(OwnerDrawListBox, RowsOfTheAskedHeightAreDrawnByTheOwnerWithTheirState) {
    TForm* form = MakeForm();
    auto* list = new TListBox(form);
    list->SetParent(form);
    list->SetBounds(10, 10, 150, 200);
    list->SetStyle(lbOwnerDrawFixed);
    list->SetItemHeight(24);
    for (const char* s : {"alpha", "beta", "gamma"})
        list->Items().Add(s);
    std::map<int, TOwnerDrawState> drawn;
    std::map<int, TColor> brushes;
    list->OnDrawItem = [&](TWinControl*, int Index, const TRect& Rect, TOwnerDrawState State) {
        drawn[Index] = State;
        brushes[Index] = list->Canvas().Brush().Color();
        list->Canvas().FillRect(Rect);
    };
    form->Show();
    list->SetItemIndex(1);
    list->Invalidate();
    Pump();
    const TRect second = list->ItemRect(1);
    EXPECT_EQ(second.top, 24);
    EXPECT_EQ(second.bottom, 48);
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_TRUE(drawn[1].Contains(odSelected));
    EXPECT_FALSE(drawn[0].Contains(odSelected));
    EXPECT_EQ(brushes[1], clHighlight);
    EXPECT_EQ(brushes[0], clWindow);

    // What the owner drew is what the screen shows.
    POINT p{20, 30};
    ClientToScreen(list->Handle(), p);
    const Surface s = pw::gui::ComposeScreen(RECT{p.x, p.y, p.x + 1, p.y + 1});
    const uint32_t argb = s.Pixel(0, 0);
    EXPECT_EQ(RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF), GetSysColor(COLOR_HIGHLIGHT));

    // A re-created window keeps its owner drawing and its row height.
    list->SetMultiSelect(true);
    Pump();
    EXPECT_EQ(list->ItemRect(2).top, 48);
    delete form;
}
