#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "controls/frame_controller.h"
#include "controls/rz_edits.h"
#include "controls/rz_list_controls.h"
#include "controls/rz_spin_edit.h"
#include "platform/graphics/graphics_types.h"
#include "platform/vcl/form.h"
#include "test_support.h"

using namespace controls_test;

namespace {

struct Framed {
    TWinControl* control;
    std::function<void(TRzFrameController*)> attach;
    std::function<TRzFrameController*()> controller;
};

class FrameControllerTest : public ::testing::Test {
protected:
    template <class T> void Add(int top) {
        auto* c = new T(form.get());
        c->SetParent(form.get());
        c->SetBounds(10, top, 150, 21);
        c->SetFrameController(controller);
        controls.push_back(Framed{c, [c](TRzFrameController* fc) { c->SetFrameController(fc); },
                                  [c] { return c->FrameController(); }});
    }
    void SetUp() override {
        Add<TRzEdit>(10);
        Add<TRzButtonEdit>(40);
        Add<TRzSpinEdit>(70);
        Add<TRzMemo>(100);
        Add<TRzListBox>(130);
        Add<TRzComboBox>(160);
        form->Show();
        Pump();
    }
    COLORREF LeftEdge(TWinControl* c) { return WindowPixel(c, 0, c->Height() / 2); }

    std::unique_ptr<TForm> form{MakeForm(300, 300)};
    TRzFrameController* controller = new TRzFrameController(form.get());
    std::vector<Framed> controls;
};

} // namespace

TEST_F(FrameControllerTest, EveryAttachedControlTakesTheFrameColourAndStyle) {
    EXPECT_EQ(controller->ControlCount(), 6);
    controller->SetFrameColor(clRed);
    for (const Framed& f : controls) {
        EXPECT_EQ(LeftEdge(f.control), RGB(255, 0, 0)) << f.control->ClassName();
        EXPECT_EQ(WindowPixel(f.control, f.control->Width() - 1, 20), RGB(255, 0, 0))
            << f.control->ClassName();
    }
    controller->SetFrameStyle(fsRaised);
    for (const Framed& f : controls)
        EXPECT_EQ(LeftEdge(f.control), ColorToRGB(clBtnHighlight)) << f.control->ClassName();

    // Without the flat frame the controls go back to the classic sunken edge, two pixels wide.
    controller->SetFrameVisible(false);
    for (const Framed& f : controls) {
        EXPECT_EQ(LeftEdge(f.control), ColorToRGB(clBtnShadow)) << f.control->ClassName();
        EXPECT_EQ(WindowPixel(f.control, 1, 10), ColorToRGB(cl3DDkShadow)) << f.control->ClassName();
    }
    TWinControl* edit = controls[0].control;
    EXPECT_EQ(edit->ClientWidth(), edit->Width() - 4);
    controller->SetFrameVisible(true);
    EXPECT_EQ(edit->ClientWidth(), edit->Width() - 2);
}

TEST_F(FrameControllerTest, BackgroundFollowsColourAndFocusColour) {
    controller->SetColor(clYellow);
    controller->SetFocusColor(clAqua);
    TWinControl* edit = controls[0].control;
    TWinControl* list = controls[4].control;
    EXPECT_EQ(list->Color(), clYellow);
    edit->SetFocus();
    for (const Framed& f : controls) {
        const COLORREF inside = WindowPixel(f.control, f.control->Width() / 2 + 30, f.control->Height() - 4);
        EXPECT_EQ(inside, f.control == edit ? RGB(0, 255, 255) : RGB(255, 255, 0)) << f.control->ClassName();
    }
    list->SetFocus();
    EXPECT_EQ(WindowPixel(edit, 120, 17), RGB(255, 255, 0));
    EXPECT_EQ(WindowPixel(list, 120, 17), RGB(0, 255, 255));
}

TEST_F(FrameControllerTest, ControlsAndControllerMayGoInEitherOrder) {
    delete controls[0].control;
    controls.erase(controls.begin());
    EXPECT_EQ(controller->ControlCount(), 5);
    controller->SetFrameColor(clBlue);
    EXPECT_EQ(LeftEdge(controls[0].control), RGB(0, 0, 255));

    TRzFrameController other(nullptr);
    other.SetFrameColor(clLime);
    controls[0].attach(&other);
    EXPECT_EQ(controller->ControlCount(), 4);
    EXPECT_EQ(LeftEdge(controls[0].control), RGB(0, 255, 0));
    controls[0].attach(nullptr);
    EXPECT_EQ(other.ControlCount(), 0);

    delete controller;
    for (const Framed& f : controls)
        EXPECT_EQ(f.controller(), nullptr);
    auto* memo = static_cast<TRzMemo*>(controls[2].control);
    memo->SetFrameColor(clFuchsia);
    EXPECT_EQ(LeftEdge(memo), RGB(255, 0, 255)) << "its own settings remain";
}
