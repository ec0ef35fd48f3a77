// The command list on a shown form: its rows drawn by the bars' style, the selection, the focus
// rectangle the style draws (the list's own is taken away again) and the space below the last row.
#include <gtest/gtest.h>

#include "bars/core/bar_button.h"
#include "bars/core/bar_edit.h"
#include "bars/core/bar_manager.h"
#include "bars/customizing/commands_list.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/syscolors.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "platform/vcl/form.h"
#include "tests/support/gui/pump.h"

using namespace bars;
using testsupport::Pump;

namespace {

class ListForm : public TForm {
public:
    ListForm() : TForm(nullptr) {}
    std::string ClassName() const override { return "TCommandsListTestForm"; }
};

class CommandsListTest : public ::testing::Test {
protected:
    CommandsListTest() {
        form.SetBounds(40, 40, 300, 260);
        manager = new TdxBarManager(&form);
        manager->SetStyle(bmsStandard);
        list = new TCommandsListBox(&form);
        list->SetParent(&form);
        list->SetBounds(10, 10, 220, 150);
        list->SetBarManager(manager);
        for (const char* caption : {"&Open", "Save &As", "Find"}) {
            TdxBarItem* item = caption[0] == 'F' ? static_cast<TdxBarItem*>(new TdxBarEdit(&form))
                                                 : static_cast<TdxBarItem*>(new TdxBarButton(&form));
            item->SetCaption(caption);
            list->Items().AddObject(caption, item);
        }
        form.Show();
        Pump();
    }
    // A pixel of the list's client area as the screen shows it.
    COLORREF At(int x, int y) {
        POINT p{x, y};
        ClientToScreen(list->Handle(), p);
        const Surface s = pw::gui::ComposeScreen(RECT{p.x, p.y, p.x + 1, p.y + 1});
        const uint32_t argb = s.Pixel(0, 0);
        return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
    }
    int CountOnRow(int y, int from, int to, COLORREF c) {
        int n = 0;
        for (int x = from; x < to; ++x)
            n += At(x, y) == c;
        return n;
    }

    ListForm form;
    TdxBarManager* manager = nullptr;
    TCommandsListBox* list = nullptr;
};

TEST_F(CommandsListTest, RowsAre22PixelsDrawnInTheBarsStyleWithTheRowsBackgroundBelowTheLast) {
    const TRect first = list->ItemRect(0), second = list->ItemRect(1);
    EXPECT_EQ(first.bottom - first.top, 22);
    EXPECT_EQ(second.top, 22);
    EXPECT_EQ(CommandCaption("Save &As"), "Save As");
    // The form gave the list the keyboard, so its first row is chosen.
    EXPECT_EQ(list->ItemIndex(), 0);
    EXPECT_EQ(At(5, 10), GetSysColor(COLOR_HIGHLIGHT));
    // The glyph column and the caption area in the face; below the rows the face too, not the window.
    EXPECT_EQ(At(5, 32), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(At(150, 30), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(At(100, 3 * 22 + 20), GetSysColor(COLOR_BTNFACE));
    EXPECT_NE(GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_WINDOW));
    // The edit row shows its box in the window colour.
    EXPECT_EQ(At(150, 2 * 22 + 11), GetSysColor(COLOR_WINDOW));

    manager->SetStyle(bmsFlat);
    list->Invalidate();
    Pump();
    EXPECT_EQ(At(100, 3 * 22 + 20), GetSysColor(COLOR_WINDOW));
}

TEST_F(CommandsListTest, TheSelectedRowHasTheStylesFocusRectangleNotTheListsOwn) {
    list->SetFocus();
    Pump();
    // The list chose its first row as it got the keyboard.
    ASSERT_EQ(list->ItemIndex(), 0);
    list->SetItemIndex(1);
    Pump();
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_EQ(At(150, 22 + 11), highlight);
    // The row's own edge is untouched; the dotted rectangle lies two pixels in.
    EXPECT_EQ(CountOnRow(22, 30, 200, highlight), 170);
    EXPECT_LT(CountOnRow(22 + 2, 30, 200, highlight), 170);
    EXPECT_EQ(CountOnRow(22 + 1, 30, 200, highlight), 170);
}

} // namespace
