// Dragging a command from the customizing window onto a toolbar adds a link where it is dropped; Esc or
// a drop beside every bar adds nothing.
#include <gtest/gtest.h>

#include <string>

#include "bars/core/bar_button.h"
#include "bars/core/bar_manager.h"
#include "bars/core/item_links.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/customizing/item_drag.h"
#include "bars/windows/dock_control.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "platform/vcl/form.h"

using namespace bars;

namespace {

class DragForm : public TForm {
public:
    DragForm() : TForm(nullptr) {}
    std::string ClassName() const override { return "TItemDragTestForm"; }
};

class ItemDragTest : public ::testing::Test {
protected:
    ItemDragTest() {
        RegisterBarWindows();
        form.SetBounds(50, 50, 500, 300);
        manager = new TdxBarManager(&form);
        open = new TdxBarButton(&form);
        open->SetCaption("Open");
        save = new TdxBarButton(&form);
        save->SetCaption("Save");
        bar = manager->Bars()->Add();
        bar->SetCaption("Main");
        bar->ItemLinks()->Add()->SetItem(open);
        bar->SetDockingStyle(dsTop);
        bar->SetVisible(true);
        form.Show();
        Pump();
    }
    ~ItemDragTest() override {
        ReleaseCapture();
        pw::gui::ClearKeyState();
        delete manager;
        Pump();
    }
    void Pump() {
        for (int i = 0; i < 5; ++i)
            ProcessMessages();
    }
    RECT OpenRect() { return bar->ItemLinks()->Items(0)->Control()->ScreenRect(); }
    // Moves to the point and, unless an Esc comes first, lets the button go there; then drags.
    bool DragTo(POINT p, bool escape = false) {
        pw::gui::SimulateMouse(pw::gui::MouseAction::Move, p);
        if (escape) pw::gui::SimulateKey(VK_ESCAPE, true);
        pw::gui::SimulateMouse(pw::gui::MouseAction::Up, p, pw::gui::MouseButton::Left);
        return DragNewItem(manager, save, form.Handle());
    }

    DragForm form;
    TdxBarManager* manager = nullptr;
    TdxBarButton* open = nullptr;
    TdxBarButton* save = nullptr;
    TdxBar* bar = nullptr;
};

TEST_F(ItemDragTest, ACommandDroppedOnAToolbarLandsBeforeOrAfterTheButtonUnderIt) {
    RECT r = OpenRect();
    ASSERT_TRUE(DragTo(POINT{r.left + 2, (r.top + r.bottom) / 2}));
    ASSERT_EQ(bar->ItemLinks()->Count(), 2);
    EXPECT_EQ(bar->ItemLinks()->Items(0)->Item(), save);
    EXPECT_FALSE(manager->DraggingItem());
    Pump();
    r = bar->ItemLinks()->Items(1)->Control()->ScreenRect();
    ASSERT_TRUE(DragTo(POINT{r.right - 2, (r.top + r.bottom) / 2}));
    ASSERT_EQ(bar->ItemLinks()->Count(), 3);
    EXPECT_EQ(bar->ItemLinks()->Items(2)->Item(), save);
}

TEST_F(ItemDragTest, EscOrADropBesideEveryBarAddsNothing) {
    const RECT r = OpenRect();
    EXPECT_FALSE(DragTo(POINT{r.left + 2, (r.top + r.bottom) / 2}, true));
    EXPECT_FALSE(DragTo(POINT{300, 250}));
    EXPECT_EQ(bar->ItemLinks()->Count(), 1);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(manager->DraggingItem());
}

} // namespace
