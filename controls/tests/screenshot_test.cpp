#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

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

// Decoded by the reference PNG library, as any viewer would read it.
struct Png {
    int width = 0, height = 0;
    std::vector<uint32_t> rgb;
    uint32_t At(int x, int y) const { return rgb[static_cast<size_t>(y * width + x)]; }
};

Png ReadPng(const std::string& path) {
    Png out;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return out;
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> bytes(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) return out;
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    for (size_t i = 0; i + 2 < bytes.size(); i += 3)
        out.rgb.push_back(static_cast<uint32_t>(bytes[i] << 16 | bytes[i + 1] << 8 | bytes[i + 2]));
    return out;
}

uint32_t Rgb(TColor color) {
    const COLORREF c = ColorToRGB(color);
    return (c & 0xFF) << 16 | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

template <class T> T* Place(TWinControl* parent, TComponent* owner, int x, int y, int w, int h) {
    auto* c = new T(owner);
    c->SetParent(parent);
    c->SetBounds(x, y, w, h);
    return c;
}

} // namespace

TEST(Screenshot, AWindowOfFramedControls) {
    std::unique_ptr<TForm> owned(MakeForm(480, 360));
    TForm* form = owned.get();
    form->SetCaption("Framed controls");
    form->SetColor(clBtnFace);
    auto* frames = new TRzFrameController(form);
    frames->SetFrameColor(clNavy);

    auto* pages = Place<TRzPageControl>(form, form, 0, 0, 480, 300);
    auto* sheet = new TRzTabSheet(form);
    sheet->SetPageControl(pages);
    sheet->SetTabVisible(false);
    pages->SetActivePageIndex(0);

    auto* label = Place<TLabel>(sheet, form, 10, 12, 0, 0);
    label->SetCaption("Site address:");
    auto* edit = Place<TRzEdit>(sheet, form, 100, 8, 200, 21);
    edit->SetText("http://127.0.0.1/");
    auto* buttonEdit = Place<TRzButtonEdit>(sheet, form, 100, 36, 200, 21);
    buttonEdit->SetText("docs/index.html");
    auto* spin = Place<TRzSpinEdit>(sheet, form, 310, 8, 70, 21);
    spin->SetIntegersOnly(false);
    spin->SetDecimals(1);
    spin->SetMax(1);
    spin->SetValue(0.5L);
    auto* combo = Place<TRzComboBox>(sheet, form, 310, 36, 150, 21);
    combo->SetStyle(csDropDownList);
    combo->Items().SetText("always\nhourly\ndaily\nweekly\n");
    combo->SetItemIndex(2);

    auto* memo = Place<TRzMemo>(sheet, form, 10, 66, 290, 80);
    memo->Lines().SetText("index.html\nabout.html\ndocs/guide.html\n");
    auto* list = Place<TRzListBox>(sheet, form, 310, 66, 150, 80);
    list->Items().SetText("index.html\nabout.html\ncontact.html\n");
    list->SetItemIndex(1);

    auto* check = Place<TRzCheckBox>(sheet, form, 10, 156, 140, 17);
    check->SetCaption("Follow links");
    check->SetChecked(true);
    auto* html = Place<TRzRadioButton>(sheet, form, 160, 156, 70, 17);
    html->SetCaption("HTML");
    html->SetChecked(true);
    auto* xml = Place<TRzRadioButton>(sheet, form, 240, 156, 70, 17);
    xml->SetCaption("XML");

    auto* progress = Place<TRzProgressBar>(sheet, form, 10, 184, 370, 18);
    progress->SetTotalParts(4);
    progress->SetPartsComplete(3);

    TImageList* frameImages = new TImageList(16, 16, form);
    for (TColor c : {clRed, clGreen, clBlue}) {
        TBitmap b;
        b.SetWidth(16);
        b.SetHeight(16);
        b.Canvas().Brush().SetColor(clBtnFace);
        b.Canvas().FillRect(TRect{0, 0, 16, 16});
        b.Canvas().Brush().SetColor(c);
        b.Canvas().Ellipse(2, 2, 14, 14);
        frameImages->Add(&b, nullptr);
    }
    auto* animator = Place<TRzAnimator>(sheet, form, 400, 184, 16, 16);
    animator->SetImageList(frameImages);
    animator->SetImageIndex(1);

    auto* next = Place<TRzBitBtn>(sheet, form, 300, 230, 80, 25);
    next->SetCaption("Next >");
    auto* cancel = Place<TRzBitBtn>(sheet, form, 390, 230, 80, 25);
    cancel->SetCaption("Cancel");

    edit->SetFrameController(frames);
    buttonEdit->SetFrameController(frames);
    spin->SetFrameController(frames);
    combo->SetFrameController(frames);
    memo->SetFrameController(frames);
    list->SetFrameController(frames);

    auto* status = new TRzStatusBar(form);
    status->SetParent(form);
    status->SetVisible(true);
    auto* pane = new TRzStatusPane(status);
    pane->SetParent(status);
    pane->SetVisible(true);
    pane->SetAlign(alClient);
    pane->SetCaption("Pathweaver: a site map of your web site");

    form->Show();
    Pump();
    form->Repaint();
    Pump();

    const std::string path = ::testing::TempDir() + "controls_screenshot.png";
    ASSERT_TRUE(pw::gui::SaveWindowImage(form->Handle(), path));
    const Png png = ReadPng(path);
    ASSERT_FALSE(png.rgb.empty());
    const TPoint origin = form->ClientToScreen(TPoint{0, 0});
    RECT window{0, 0, 0, 0};
    GetWindowRect(form->Handle(), window);
    const int dx = origin.x - window.left, dy = origin.y - window.top;
    // A point of a control's window (border included), in the picture.
    auto at = [&](TWinControl* c, int x, int y) {
        RECT r;
        GetWindowRect(c->Handle(), r);
        return png.At(r.left + x - origin.x + dx, r.top + y - origin.y + dy);
    };
    EXPECT_EQ(at(edit, 0, 10), Rgb(clNavy));
    EXPECT_EQ(at(combo, 0, 10), Rgb(clNavy));
    EXPECT_EQ(at(list, 149, 40), Rgb(clNavy));
    EXPECT_EQ(at(edit, 190, 10), Rgb(clWindow));
    EXPECT_EQ(at(progress, 5, 9), Rgb(clHighlight));
    EXPECT_EQ(at(progress, 360, 9), Rgb(clBtnFace));
    // The status bar sits at the bottom, its pane filling it.
    EXPECT_EQ(status->Top() + status->Height(), form->ClientHeight());
    EXPECT_EQ(pane->Width(), status->ClientWidth());
    std::printf("screenshot: %s\n", path.c_str());
}
