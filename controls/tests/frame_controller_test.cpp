#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "controls/frame_controller.h"
#include "controls/rz_edits.h"
#include "controls/rz_list_controls.h"
#include "controls/rz_spin_edit.h"
#include "platform/gdi/shapes.h"
#include "platform/graphics/graphics_types.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "platform/vcl/form.h"
#include "test_support.h"

using namespace controls_test;

namespace {

// A pixel of the window's own image, border included.
COLORREF WindowPixel(TWinControl* control, int x, int y) {
    HWND h = control->Handle();
    HDC dc = GetWindowDC(h);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(h, dc);
    return c;
}

struct Framed {
    TWinControl* control;
    std::function<TRzFrameController*()> controller;
    std::function<void(TRzFrameController*)> attach;
    // Whether the frame lies over an edge drawn in the client area.
    bool inClient = false;
};

template <class T> Framed Make(TForm* form, int top, bool inClient = false) {
    auto* c = new T(form);
    c->SetParent(form);
    c->SetBounds(10, top, 150, c->Height() < 40 ? 21 : 40);
    return Framed{c, [c] { return c->FrameController(); }, [c](TRzFrameController* fc) { c->SetFrameController(fc); },
                  inClient};
}

class FrameControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.reset(MakeForm(300, 400));
        controls = {Make<TRzEdit>(form.get(), 10),        Make<TRzButtonEdit>(form.get(), 40),
                    Make<TRzSpinEdit>(form.get(), 70),    Make<TRzMemo>(form.get(), 100),
                    Make<TRzListBox>(form.get(), 150),    Make<TRzComboBox>(form.get(), 200, true)};
        controller = new TRzFrameController(form.get());
        for (Framed& f : controls)
            f.attach(controller);
        form->Show();
        Pump();
    }

    COLORREF LeftEdge(const Framed& f) {
        Pump();
        return WindowPixel(f.control, 0, f.control->Height() / 2);
    }

    std::unique_ptr<TForm> form;
    std::vector<Framed> controls;
    TRzFrameController* controller = nullptr;
};

} // namespace

TEST_F(FrameControllerTest, EveryAttachedControlTakesTheFrameColourAndStyle) {
    EXPECT_EQ(controller->ControlCount(), static_cast<int>(controls.size()));
    for (const Framed& f : controls)
        EXPECT_EQ(LeftEdge(f), ColorToRGB(clBtnShadow)) << f.control->ClassName();

    controller->SetFrameColor(clRed);
    for (const Framed& f : controls) {
        EXPECT_EQ(LeftEdge(f), RGB(255, 0, 0)) << f.control->ClassName();
        const int w = f.control->Width(), h = f.control->Height();
        EXPECT_EQ(WindowPixel(f.control, w - 1, h - 1), RGB(255, 0, 0)) << f.control->ClassName();
    }

    controller->SetFrameStyle(fsRaised);
    for (const Framed& f : controls)
        EXPECT_EQ(LeftEdge(f), ColorToRGB(clBtnHighlight)) << f.control->ClassName();

    // Without the flat frame the controls go back to the classic sunken edge, two pixels wide.
    controller->SetFrameVisible(false);
    for (const Framed& f : controls) {
        EXPECT_EQ(LeftEdge(f), ColorToRGB(clBtnShadow)) << f.control->ClassName();
        if (!f.inClient) {
            EXPECT_EQ(WindowPixel(f.control, 1, f.control->Height() / 2), ColorToRGB(cl3DDkShadow))
                << f.control->ClassName();
        }
    }
    auto* edit = static_cast<TRzEdit*>(controls[0].control);
    EXPECT_EQ(edit->ClientWidth(), edit->Width() - 4);
    controller->SetFrameVisible(true);
    EXPECT_EQ(edit->ClientWidth(), edit->Width() - 2);
    EXPECT_EQ(LeftEdge(controls[0]), ColorToRGB(clBtnHighlight));
}

TEST_F(FrameControllerTest, BackgroundFollowsColourAndFocusColour) {
    controller->SetColor(clYellow);
    controller->SetFocusColor(clAqua);
    auto* edit = static_cast<TRzEdit*>(controls[0].control);
    auto* list = static_cast<TRzListBox*>(controls[4].control);
    EXPECT_EQ(edit->Color(), clYellow);
    EXPECT_EQ(list->Color(), clYellow);
    edit->SetFocus();
    Pump();
    for (const Framed& f : controls) {
        const COLORREF inside = WindowPixel(f.control, f.control->Width() / 2 + 30, f.control->Height() - 4);
        EXPECT_EQ(inside, f.control == edit ? RGB(0, 255, 255) : RGB(255, 255, 0)) << f.control->ClassName();
    }
    list->SetFocus();
    Pump();
    EXPECT_EQ(WindowPixel(edit, 120, 17), RGB(255, 255, 0));
    EXPECT_EQ(WindowPixel(list, 120, 35), RGB(0, 255, 255));
}

TEST_F(FrameControllerTest, ControlsAndControllerMayGoInEitherOrder) {
    delete controls[0].control;
    controls.erase(controls.begin());
    EXPECT_EQ(controller->ControlCount(), static_cast<int>(controls.size()));
    controller->SetFrameColor(clBlue);
    EXPECT_EQ(LeftEdge(controls[0]), RGB(0, 0, 255));

    // A control moved to another controller leaves the first one.
    TRzFrameController other(nullptr);
    other.SetFrameColor(clLime);
    controls[0].attach(&other);
    EXPECT_EQ(controller->ControlCount(), static_cast<int>(controls.size()) - 1);
    EXPECT_EQ(LeftEdge(controls[0]), RGB(0, 255, 0));
    controls[0].attach(nullptr);
    EXPECT_EQ(other.ControlCount(), 0);

    delete controller;
    for (const Framed& f : controls)
        EXPECT_EQ(f.controller(), nullptr);
    // Their own settings remain theirs.
    auto* memo = static_cast<TRzMemo*>(controls[2].control);
    memo->SetFrameColor(clFuchsia);
    EXPECT_EQ(LeftEdge(controls[2]), RGB(255, 0, 255));
}
