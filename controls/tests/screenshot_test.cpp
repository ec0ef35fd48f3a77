#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "controls/frame_controller.h"
#include "controls/rz_animator.h"
#include "controls/rz_buttons.h"
#include "controls/rz_edits.h"
#include "controls/rz_list_controls.h"
#include "controls/rz_page_control.h"
#include "controls/rz_progress_bar.h"
#include "controls/rz_spin_edit.h"
#include "controls/rz_status_bar.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/graphics_objects.h"
#include "platform/graphics/image_list.h"
#include "platform/gui/screenshot.h"
#include "platform/gui/window.h"
#include "platform/stdctrls/label.h"
#include "platform/vcl/form.h"
#include "test_support.h"

using namespace controls_test;

namespace {

TRzFrameController* frames = nullptr;

template <class T> T* Place(TWinControl* parent, int x, int y, int w, int h, const char* text = nullptr) {
    auto* c = new T(parent);
    c->SetParent(parent);
    c->SetBounds(x, y, w, h);
    if (text) c->SetText(text);
    if constexpr (requires { c->SetFrameController(frames); }) c->SetFrameController(frames);
    return c;
}

} // namespace

TEST(Screenshot, AWindowOfFramedControls) {
    std::unique_ptr<TForm> owned(MakeForm(480, 360));
    TForm* form = owned.get();
    form->SetCaption("Framed controls");
    frames = new TRzFrameController(form);
    frames->SetFrameColor(clNavy);
    auto* pages = Place<TRzPageControl>(form, 0, 0, 480, 300);
    auto* sheet = new TRzTabSheet(form);
    sheet->SetPageControl(pages);
    sheet->SetTabVisible(false);
    pages->SetActivePageIndex(0);

    Place<TLabel>(sheet, 10, 12, 0, 0, "Site address:");
    auto* edit = Place<TRzEdit>(sheet, 100, 8, 200, 21, "http://127.0.0.1/");
    Place<TRzButtonEdit>(sheet, 100, 36, 200, 21, "docs/index.html");
    Place<TRzSpinEdit>(sheet, 310, 8, 70, 21)->SetValue(5);
    auto* combo = Place<TRzComboBox>(sheet, 310, 36, 150, 21);
    combo->SetStyle(csDropDownList);
    combo->Items().SetText("always\nhourly\ndaily\n");
    combo->SetItemIndex(2);
    Place<TRzMemo>(sheet, 10, 66, 290, 80, "index.html\r\nabout.html\r\ndocs/guide.html");
    auto* list = Place<TRzListBox>(sheet, 310, 66, 150, 80);
    list->Items().SetText("index.html\nabout.html\ncontact.html\n");
    list->SetItemIndex(1);
    Place<TRzCheckBox>(sheet, 10, 156, 140, 17, "Follow links")->SetChecked(true);
    Place<TRzRadioButton>(sheet, 160, 156, 70, 17, "HTML")->SetChecked(true);
    auto* progress = Place<TRzProgressBar>(sheet, 10, 184, 370, 18);
    progress->SetTotalParts(4);
    progress->SetPartsComplete(3);
    auto* images = new TImageList(16, 16, form);
    TBitmap strip;
    strip.SetWidth(32);
    strip.SetHeight(16);
    strip.Canvas().Brush().SetColor(clGreen);
    strip.Canvas().Ellipse(18, 2, 30, 14);
    images->AddMasked(&strip, clWhite);
    auto* animator = Place<TRzAnimator>(sheet, 400, 184, 16, 16);
    animator->SetImageList(images);
    animator->SetImageIndex(1);
    Place<TRzBitBtn>(sheet, 390, 230, 80, 25, "Next >");

    auto* status = new TRzStatusBar(form);
    status->SetParent(form);
    auto* pane = Place<TRzStatusPane>(status, 0, 0, 10, 10, "Pathweaver: a site map of your web site");
    pane->SetAlign(alClient);

    form->Show();
    Pump();
    form->Repaint();
    Pump();

    const std::string path = ::testing::TempDir() + "controls_screenshot.png";
    ASSERT_TRUE(pw::gui::SaveWindowImage(form->Handle(), path));
    std::printf("screenshot: %s\n", path.c_str());
    EXPECT_EQ(WindowPixel(edit, 0, 10), ColorToRGB(clNavy));
    EXPECT_EQ(WindowPixel(progress, 360, 9), ColorToRGB(clBtnFace));
    EXPECT_EQ(WindowPixel(progress, 270, 9), ColorToRGB(clHighlight));
    // The status bar sits at the bottom, its pane filling it.
    EXPECT_EQ(status->Top() + status->Height(), form->ClientHeight());
    EXPECT_EQ(pane->Width(), status->ClientWidth());
}
