// The list of toolbars in the customizing window: its check boxes show and hide the bars, the menu bar
// only beeps, a double click on a box toggles twice and one on the caption once, Space toggles.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bars/core/bar_manager.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/customizing/bars_list.h"
#include "platform/gdi/surface.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "platform/vcl/form.h"
#include "tests/support/gui/pump.h"

using namespace bars;
using testsupport::Pump;

namespace {

class BarsListForm : public TForm {
public:
    BarsListForm() : TForm(nullptr) {}
    std::string ClassName() const override { return "TBarsListTestForm"; }
};

class BarsListTest : public ::testing::Test {
protected:
    BarsListTest() {
        form.SetBounds(40, 40, 300, 260);
        manager = new TdxBarManager(&form);
        menuBar = Bar("Menu");
        menuBar->SetIsMainMenu(true);
        tools = Bar("Tools");
        list = new TCheckListBox(&form);
        list->SetParent(&form);
        list->SetBounds(10, 10, 200, 150);
        list->SetBarManager(manager);
        for (TdxBar* bar : {menuBar, tools})
            list->Items().AddObject(bar->Caption(), bar);
        form.Show();
        Pump();
        pw::gui::SetSoundSink([this](const std::string& s) { sounds.push_back(s); });
    }
    ~BarsListTest() override { pw::gui::SetSoundSink(nullptr); }
    TdxBar* Bar(const std::string& caption) {
        TdxBar* bar = manager->Bars()->Add();
        bar->SetCaption(caption);
        bar->SetVisible(true);
        return bar;
    }
    POINT Screen(int x, int y) {
        POINT p{x, y};
        ClientToScreen(list->Handle(), p);
        return p;
    }
    void ClickAt(int x, int row, bool twice = false) {
        const TRect r = list->ItemRect(row);
        const POINT p = Screen(x, (r.top + r.bottom) / 2);
        pw::gui::SimulateClick(p);
        if (twice) pw::gui::SimulateClick(p);
        Pump();
    }

    BarsListForm form;
    TdxBarManager* manager = nullptr;
    TdxBar* menuBar = nullptr;
    TdxBar* tools = nullptr;
    TCheckListBox* list = nullptr;
    std::vector<std::string> sounds;
};

TEST_F(BarsListTest, AClickOnTheBoxTogglesTheBarButTheMenuBarOnlyBeeps) {
    EXPECT_EQ(list->CheckWidth(), list->ItemRect(0).bottom - list->ItemRect(0).top);
    ClickAt(4, 1);
    EXPECT_FALSE(tools->Visible());
    ClickAt(4, 1);
    EXPECT_TRUE(tools->Visible());
    ClickAt(4, 0);
    EXPECT_TRUE(menuBar->Visible());
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_EQ(sounds[0], "Beep");
    // A click on the caption only selects the row.
    ClickAt(80, 1);
    EXPECT_TRUE(tools->Visible());
    EXPECT_EQ(list->ItemIndex(), 1);
}

TEST_F(BarsListTest, ADoubleClickOnTheBoxTogglesTwiceAndOneOnTheCaptionOnceAndSpaceToggles) {
    ClickAt(4, 1, true);
    EXPECT_TRUE(tools->Visible());
    ClickAt(80, 1, true);
    EXPECT_FALSE(tools->Visible());
    list->SetFocus();
    list->SetItemIndex(1);
    pw::gui::SimulateKeyStroke(VK_SPACE);
    Pump();
    EXPECT_TRUE(tools->Visible());
}

TEST_F(BarsListTest, TheBoxShowsWhetherTheBarIsVisible) {
    auto dark = [&](int row) {
        const TRect r = list->ItemRect(row);
        const POINT p = Screen(0, r.top);
        const Surface s =
            pw::gui::ComposeScreen(RECT{p.x, p.y, p.x + list->CheckWidth(), p.y + (r.bottom - r.top)});
        int n = 0;
        for (int y = 0; y < s.Height(); ++y)
            for (int x = 0; x < s.Width(); ++x)
                n += (s.Pixel(x, y) & 0xFFFFFF) == 0;
        return n;
    };
    const int checked = dark(1);
    tools->SetVisible(false);
    list->Invalidate();
    Pump();
    // The check mark's dark pixels go with it.
    EXPECT_LT(dark(1), checked - 5);
}

} // namespace
