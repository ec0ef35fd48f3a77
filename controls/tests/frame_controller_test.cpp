#include <gtest/gtest.h>

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

// One control of each framed kind, all attached to one controller, on a shown form.
class FrameControllerTest : public ::testing::Test {
protected:
    template <class T> T* Add() {
        auto* c = new T(form.get());
        c->SetParent(form.get());
        c->SetBounds(10, 10 + 30 * static_cast<int>(controls.size()), 150, 21);
        c->SetFrameController(controller);
        controls.push_back(c);
        return c;
    }
    void SetUp() override {
        edit = Add<TRzEdit>();
        Add<TRzButtonEdit>();
        Add<TRzSpinEdit>();
        memo = Add<TRzMemo>();
        list = Add<TRzListBox>();
        Add<TRzComboBox>();
        form->Show();
        Pump();
    }
    COLORREF LeftEdge(TWinControl* c) { return WindowPixel(c, 0, c->Height() / 2); }

    std::unique_ptr<TForm> form{MakeForm(300, 300)};
    TRzFrameController* controller = new TRzFrameController(form.get());
    std::vector<TWinControl*> controls;
    TRzEdit* edit = nullptr;
    TRzMemo* memo = nullptr;
    TRzListBox* list = nullptr;
};

} // namespace

TEST_F(FrameControllerTest, EveryAttachedControlTakesTheFrameColourAndStyle) {
    EXPECT_EQ(controller->ControlCount(), 6);
    controller->SetFrameColor(clRed);
    for (TWinControl* c : controls) {
        EXPECT_EQ(LeftEdge(c), RGB(255, 0, 0)) << c->ClassName();
        EXPECT_EQ(WindowPixel(c, c->Width() - 1, 20), RGB(255, 0, 0)) << c->ClassName();
    }
    controller->SetFrameStyle(fsRaised);
    for (TWinControl* c : controls)
        EXPECT_EQ(LeftEdge(c), ColorToRGB(clBtnHighlight)) << c->ClassName();

    // Without the flat frame the controls go back to the classic sunken edge, two pixels wide.
    controller->SetFrameVisible(false);
    for (TWinControl* c : controls) {
        EXPECT_EQ(LeftEdge(c), ColorToRGB(clBtnShadow)) << c->ClassName();
        EXPECT_EQ(WindowPixel(c, 1, 10), ColorToRGB(cl3DDkShadow)) << c->ClassName();
    }
    EXPECT_EQ(edit->ClientWidth(), edit->Width() - 4);
    controller->SetFrameVisible(true);
    EXPECT_EQ(edit->ClientWidth(), edit->Width() - 2);
}

TEST_F(FrameControllerTest, BackgroundFollowsColourAndFocusColour) {
    controller->SetColor(clYellow);
    controller->SetFocusColor(clAqua);
    EXPECT_EQ(list->Color(), clYellow);
    edit->SetFocus();
    for (TWinControl* c : controls) {
        const COLORREF inside = WindowPixel(c, c->Width() / 2 + 30, c->Height() - 4);
        EXPECT_EQ(inside, c == edit ? RGB(0, 255, 255) : RGB(255, 255, 0)) << c->ClassName();
    }
    list->SetFocus();
    EXPECT_EQ(WindowPixel(edit, 120, 17), RGB(255, 255, 0));
    EXPECT_EQ(WindowPixel(list, 120, 17), RGB(0, 255, 255));
}

TEST_F(FrameControllerTest, ControlsAndControllerMayGoInEitherOrder) {
    delete controls[1];
    EXPECT_EQ(controller->ControlCount(), 5);
    controller->SetFrameColor(clBlue);
    EXPECT_EQ(LeftEdge(edit), RGB(0, 0, 255));

    TRzFrameController other(nullptr);
    other.SetFrameColor(clLime);
    edit->SetFrameController(&other);
    EXPECT_EQ(controller->ControlCount(), 4);
    EXPECT_EQ(LeftEdge(edit), RGB(0, 255, 0));
    edit->SetFrameController(nullptr);
    EXPECT_EQ(other.ControlCount(), 0);

    delete controller;
    EXPECT_EQ(memo->FrameController(), nullptr);
    EXPECT_EQ(list->FrameController(), nullptr);
    memo->SetFrameColor(clFuchsia);
    EXPECT_EQ(LeftEdge(memo), RGB(255, 0, 255)) << "its own settings remain";
}
