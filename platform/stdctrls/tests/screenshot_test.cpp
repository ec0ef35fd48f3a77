#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/bitmap.h"
#include "platform/graphics/graphics_objects.h"
#include "platform/graphics/image_list.h"
#include "platform/graphics/picture.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/screenshot.h"
#include "platform/gui/window.h"
#include "platform/stdctrls/bars.h"
#include "platform/stdctrls/bit_btn.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/edit.h"
#include "platform/stdctrls/image.h"
#include "platform/stdctrls/label.h"
#include "platform/stdctrls/list_controls.h"
#include "platform/stdctrls/list_view.h"
#include "platform/stdctrls/page_control.h"
#include "platform/stdctrls/panels.h"
#include "platform/stdctrls/tree_view.h"
#include "platform/vcl/form.h"
#include "test_support.h"

using namespace stdctrls_test;

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

} // namespace

TEST(Screenshot, AFormWithEveryStandardControl) {
    TForm* form = MakeForm(560, 420);
    form->SetCaption("Standard controls");
    form->SetColor(clBtnFace);

    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetBounds(10, 10, 0, 0);
    label->SetCaption("&Site address:");
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetBounds(100, 8, 200, 21);
    edit->SetText("http://127.0.0.1/");
    label->SetFocusControl(edit);

    auto* memo = new TMemo(form);
    memo->SetParent(form);
    memo->SetBounds(10, 40, 290, 70);
    memo->SetScrollBars(ssVertical);
    for (int i = 1; i <= 8; ++i)
        memo->Lines().Add("Generated line " + std::to_string(i));

    auto* box = new TCheckBox(form);
    box->SetParent(form);
    box->SetBounds(10, 120, 130, 17);
    box->SetCaption("Follow &links");
    box->SetChecked(true);
    auto* radio1 = new TRadioButton(form);
    radio1->SetParent(form);
    radio1->SetBounds(150, 120, 70, 17);
    radio1->SetCaption("HTML");
    radio1->SetChecked(true);
    auto* radio2 = new TRadioButton(form);
    radio2->SetParent(form);
    radio2->SetBounds(225, 120, 70, 17);
    radio2->SetCaption("XML");

    auto* combo = new TComboBox(form);
    combo->SetParent(form);
    combo->SetBounds(10, 145, 140, 21);
    combo->SetStyle(csDropDownList);
    combo->Items().Add("Daily");
    combo->Items().Add("Weekly");
    combo->SetItemIndex(1);
    auto* list = new TListBox(form);
    list->SetParent(form);
    list->SetBounds(160, 145, 140, 70);
    for (const char* s : {"index.html", "about.html", "contact.html"})
        list->Items().Add(s);
    list->SetItemIndex(1);

    auto* group = new TGroupBox(form);
    group->SetParent(form);
    group->SetBounds(10, 220, 290, 60);
    group->SetCaption("Upload");
    auto* progress = new TProgressBar(form);
    progress->SetParent(group);
    progress->SetBounds(10, 25, 270, 18);
    progress->SetPosition(60);

    auto* ok = new TButton(form);
    ok->SetParent(form);
    ok->SetBounds(10, 290, 75, 25);
    ok->SetCaption("OK");
    ok->SetDefault(true);
    auto* bit = new TBitBtn(form);
    bit->SetParent(form);
    bit->SetBounds(95, 290, 90, 25);
    bit->SetKind(bkCancel);
    TBitmap glyph;
    glyph.SetWidth(12);
    glyph.SetHeight(12);
    glyph.Canvas().Brush().SetColor(clFuchsia);
    glyph.Canvas().FillRect(TRect{0, 0, 12, 12});
    glyph.Canvas().Brush().SetColor(clRed);
    glyph.Canvas().FillRect(TRect{2, 2, 10, 10});
    bit->SetGlyph(&glyph);

    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(195, 290, 105, 25);
    panel->SetCaption("Preview");
    panel->Font().SetColor(clNavy);

    auto* pages = new TPageControl(form);
    pages->SetParent(form);
    pages->SetBounds(310, 8, 240, 170);
    auto* treeSheet = new TTabSheet(form);
    treeSheet->SetCaption("Tree");
    treeSheet->SetPageControl(pages);
    auto* listSheet = new TTabSheet(form);
    listSheet->SetCaption("Files");
    listSheet->SetPageControl(pages);
    pages->SetActivePage(treeSheet);
    auto* tree = new TTreeView(form);
    tree->SetParent(treeSheet);
    tree->SetAlign(alClient);
    TImageList images(12, 12);
    for (TColor c : {clYellow, clBlue, clGreen}) {
        TBitmap b;
        b.SetWidth(12);
        b.SetHeight(12);
        b.Canvas().Brush().SetColor(c);
        b.Canvas().FillRect(TRect{1, 1, 11, 11});
        images.AddMasked(&b, clWhite);
    }
    tree->SetImages(&images);
    TTreeNode* root = tree->Items().Add(nullptr, "127.0.0.1");
    root->SetImageIndex(0);
    root->SetSelectedIndex(0);
    for (const char* s : {"index.html", "docs/", "about.html"}) {
        TTreeNode* n = tree->Items().AddChild(root, s);
        n->SetImageIndex(1);
        n->SetSelectedIndex(2);
    }
    root->Expand(false);
    tree->SetSelected(root->getFirstChild());

    auto* view = new TListView(form);
    view->SetParent(listSheet);
    view->SetAlign(alClient);
    view->AddColumn()->SetCaption("File");
    view->AddItem()->SetCaption("sitemap.xml");

    auto* image = new TImage(form);
    image->SetParent(form);
    image->SetBounds(310, 190, 60, 60);
    TBitmap picture;
    picture.SetWidth(30);
    picture.SetHeight(30);
    picture.Canvas().Brush().SetColor(clTeal);
    picture.Canvas().FillRect(TRect{0, 0, 30, 30});
    image->Picture().Assign(&picture);
    image->SetStretch(true);

    auto* status = new TStatusBar(form);
    status->SetParent(form);
    status->Panels().Add()->SetWidth(200);
    status->Panels()[0]->SetText("Ready");
    status->Panels().Add()->SetText("3 pages");

    form->Show();
    edit->SetFocus();
    Pump();
    form->Repaint();
    Pump();

    const std::string path = ::testing::TempDir() + "stdctrls_screenshot.png";
    ASSERT_TRUE(pw::gui::SaveWindowImage(form->Handle(), path));
    const Png png = ReadPng(path);
    ASSERT_FALSE(png.rgb.empty());
    const TPoint origin = form->ClientToScreen(TPoint{0, 0});
    RECT window{0, 0, 0, 0};
    GetWindowRect(form->Handle(), window);
    EXPECT_EQ(png.width, window.right - window.left);
    EXPECT_EQ(png.height, window.bottom - window.top);
    const int dx = origin.x - window.left, dy = origin.y - window.top;
    auto at = [&](TControl* c, int x, int y) {
        const TPoint p = c->ClientToScreen(TPoint{x, y});
        return png.At(p.x - origin.x + dx, p.y - origin.y + dy);
    };
    EXPECT_EQ(at(form, 305, 330), Rgb(clBtnFace));
    EXPECT_EQ(at(edit, 195, 10), Rgb(clWindow));
    EXPECT_EQ(at(image, 30, 30), Rgb(clTeal));
    EXPECT_EQ(at(progress, 5, 9), Rgb(clHighlight));
    EXPECT_EQ(at(progress, 260, 9), Rgb(clBtnFace));
    EXPECT_EQ(at(bit, 20, 12), Rgb(clRed));
    // The selected list item is highlighted across its row.
    const TRect item = list->ItemRect(1);
    EXPECT_EQ(at(list, item.right - 3, (item.top + item.bottom) / 2), Rgb(clHighlight));
    std::printf("screenshot: %s\n", path.c_str());
    delete form;
}
