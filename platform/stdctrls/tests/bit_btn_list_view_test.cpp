#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/commctrl/common_controls.h"
#include "platform/gdi/shapes.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/graphics_objects.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/string_list.h"
#include "platform/stdctrls/bit_btn.h"
#include "platform/stdctrls/list_view.h"
#include "platform/vcl/form.h"
#include "test_support.h"

using namespace stdctrls_test;

TEST(BitBtn, KindsGiveCaptionAndResultAndTheGlyphIsDrawnBesideTheCaption) {
    TForm* form = MakeForm();
    auto* ok = new TBitBtn(form);
    ok->SetParent(form);
    ok->SetBounds(10, 10, 100, 30);
    ok->SetKind(bkOK);
    auto* cancel = new TBitBtn(form);
    cancel->SetParent(form);
    cancel->SetBounds(120, 10, 100, 30);
    cancel->SetKind(bkCancel);
    EXPECT_EQ(ok->Caption(), "OK");
    EXPECT_EQ(ok->ModalResult(), mrOk);
    EXPECT_TRUE(ok->Default());
    EXPECT_TRUE(cancel->Cancel());

    TBitmap glyph;
    glyph.SetWidth(16);
    glyph.SetHeight(16);
    glyph.Canvas().Brush().SetColor(clFuchsia); // the bottom-left colour: left out
    glyph.Canvas().FillRect(TRect{0, 0, 16, 16});
    glyph.Canvas().Brush().SetColor(clLime);
    glyph.Canvas().FillRect(TRect{4, 4, 12, 12});
    ok->SetGlyph(&glyph);
    TPoint at;
    const TRect text = ok->CalcLayout(100, 30, at);
    // Glyph and caption centred together, four pixels apart.
    EXPECT_EQ(at.y, 7);
    EXPECT_EQ(text.left, at.x + 16 + 4);
    EXPECT_NEAR(at.x, 100 - text.right, 1);
    ok->SetMargin(5);
    ok->SetLayout(blGlyphRight);
    ok->CalcLayout(100, 30, at);
    EXPECT_EQ(at.x, 100 - 5 - 16);

    form->OnActivate = [&](TObject*) { pw::gui::SimulateKeyStroke(VK_RETURN); };
    EXPECT_EQ(form->ShowModal(), mrOk);
    form->OnActivate = [&](TObject*) { pw::gui::SimulateKeyStroke(VK_ESCAPE); };
    EXPECT_EQ(form->ShowModal(), mrCancel);

    form->OnActivate = nullptr;
    form->Show();
    Pump();
    ok->Repaint();
    Pump();
    HDC dc = GetDC(ok->Handle());
    ok->CalcLayout(100, 30, at);
    EXPECT_EQ(GetPixel(dc, at.x + 8, at.y + 8), ColorToRGB(clLime));
    EXPECT_EQ(GetPixel(dc, at.x + 1, at.y + 1), ColorToRGB(clBtnFace));
    ReleaseDC(ok->Handle(), dc);

    // A disabled button's caption is drawn grey and embossed, with no text-coloured pixel left.
    cancel->SetEnabled(false);
    cancel->Repaint();
    Pump();
    dc = GetDC(cancel->Handle());
    int textPixels = 0, shadowPixels = 0;
    for (int y = 2; y < 28; ++y)
        for (int x = 2; x < 98; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            textPixels += c == ColorToRGB(clBtnText);
            shadowPixels += c == ColorToRGB(clBtnShadow);
        }
    ReleaseDC(cancel->Handle(), dc);
    EXPECT_EQ(textPixels, 0);
    EXPECT_GT(shadowPixels, 10);
    delete form;
}

TEST(ListView, ReportItemsWithSubItemsSurviveANewWindowAndTellOfSelection) {
    TForm* form = MakeForm();
    auto* view = new TListView(form);
    view->SetParent(form);
    view->SetBounds(0, 0, 300, 200);
    view->AddColumn()->SetCaption("File");
    view->Column(0)->SetWidth(120);
    view->AddColumn()->SetCaption("Size");
    int payload = 7;
    for (int i = 0; i < 3; ++i) {
        TListItem* item = view->AddItem();
        item->SetCaption("file" + std::to_string(i));
        item->SubItems().Add(std::to_string(i * 100));
        item->SetData(&payload);
    }
    std::vector<std::string> log;
    view->OnSelectItem = [&](TObject*, TListItem* item, bool selected) {
        log.push_back(item->Caption() + (selected ? " on" : " off"));
    };
    form->Show();
    Pump();
    EXPECT_EQ(SendMessage(view->Handle(), LVM_GETITEMCOUNT, 0, 0), 3);
    char buffer[32] = {};
    LVITEM sub;
    sub.iSubItem = 1;
    sub.pszText = buffer;
    sub.cchTextMax = sizeof buffer;
    SendMessage(view->Handle(), LVM_GETITEMTEXT, 2, reinterpret_cast<LPARAM>(&sub));
    EXPECT_STREQ(buffer, "200");

    RECT r{0, 0, 0, 0};
    SendMessage(view->Handle(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
    Click(view, r.left + 10, (r.top + r.bottom) / 2);
    EXPECT_EQ(view->Selected(), view->Item(1));
    EXPECT_EQ(log, std::vector<std::string>{"file1 on"});
    EXPECT_EQ(view->GetItemAt(r.left + 10, (r.top + r.bottom) / 2), view->Item(1));

    view->SetMultiSelect(true);
    EXPECT_EQ(view->ItemCount(), 3);
    EXPECT_EQ(view->Selected(), view->Item(1));
    EXPECT_EQ(view->Column(0)->Width(), 120);
    EXPECT_EQ(view->Item(2)->Data(), &payload);
    view->Item(2)->SetSelected(true);
    EXPECT_EQ(view->SelCount(), 2);
    view->Item(0)->Delete();
    EXPECT_EQ(SendMessage(view->Handle(), LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_THROW(view->Item(2), EListError);
    delete form;
}
