#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/commctrl/common_controls.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/picture.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/stdctrls/bars.h"
#include "platform/stdctrls/edit.h"
#include "platform/stdctrls/image.h"
#include "platform/stdctrls/label.h"
#include "platform/stdctrls/page_control.h"
#include "platform/stdctrls/panels.h"
#include "platform/vcl/form.h"
#include "test_support.h"

using namespace stdctrls_test;

TEST(PageControl, HiddenTabsGiveAWizardWhosePagesSwitchWithoutEvents) {
    TForm* form = MakeForm();
    auto* pages = new TPageControl(form);
    pages->SetParent(form);
    pages->SetBounds(0, 0, 300, 200);
    TTabSheet* sheet[3];
    for (int i = 0; i < 3; ++i) {
        sheet[i] = new TTabSheet(form);
        sheet[i]->SetCaption("Step " + std::to_string(i + 1));
        sheet[i]->SetPageControl(pages);
    }
    std::vector<std::string> log;
    pages->OnChange = [&](TObject*) { log.push_back("change " + std::to_string(pages->ActivePageIndex())); };
    bool allow = true;
    pages->OnChanging = [&](TObject*, bool& a) {
        log.push_back("changing");
        a = allow;
    };
    pages->SetActivePageIndex(0);
    form->Show();
    Pump();
    EXPECT_EQ(pages->PageCount(), 3);
    EXPECT_EQ(pages->Pages(2), sheet[2]);
    EXPECT_EQ(SendMessage(pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 3);
    const TRect withTabs = sheet[0]->BoundsRect();
    EXPECT_GT(withTabs.top, 10);

    for (TTabSheet* s : sheet)
        s->SetTabVisible(false);
    EXPECT_EQ(SendMessage(pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 0);
    // Without tabs the page takes the room they had.
    EXPECT_LT(sheet[0]->Top(), withTabs.top);
    EXPECT_EQ(sheet[0]->Width(), 292);

    pages->SetActivePageIndex(1);
    EXPECT_TRUE(sheet[1]->Visible());
    EXPECT_FALSE(sheet[0]->Visible());
    EXPECT_EQ(pages->ActivePage(), sheet[1]);
    pages->SetActivePage(sheet[2]);
    EXPECT_TRUE(log.empty());
    // A page of another control is no page of this one.
    TPageControl other(nullptr);
    TTabSheet stray(nullptr);
    stray.SetPageControl(&other);
    pages->SetActivePage(&stray);
    EXPECT_EQ(pages->ActivePage(), sheet[2]);

    // Stepping, as a wizard's buttons do, asks OnChanging and tells OnChange.
    pages->SelectNextPage(true, false);
    EXPECT_EQ(pages->ActivePageIndex(), 0);
    allow = false;
    pages->SelectNextPage(true, false);
    EXPECT_EQ(pages->ActivePageIndex(), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"changing", "change 0", "changing"}));
    log.clear();
    allow = true;

    // With tabs back, a click on one switches pages through the events.
    sheet[0]->SetTabVisible(true);
    sheet[2]->SetTabVisible(true);
    RECT tab{0, 0, 0, 0};
    SendMessage(pages->Handle(), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
    Click(pages, (tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    EXPECT_EQ(pages->ActivePage(), sheet[2]);
    EXPECT_EQ(log, (std::vector<std::string>{"changing", "change 2"}));
    delete sheet[1];
    EXPECT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(sheet[2]->PageIndex(), 1);
    delete form;
}

TEST(PageControl, EveryPageHasTheDisplayAreaSoAnchoredControlsFollowOnHiddenPagesToo) {
    TForm* form = MakeForm();
    auto* pages = new TPageControl(form);
    pages->SetParent(form);
    pages->SetBounds(0, 0, 300, 200);
    TTabSheet* sheet[2];
    TEdit* edit[2];
    for (int i = 0; i < 2; ++i) {
        sheet[i] = new TTabSheet(form);
        sheet[i]->SetPageControl(pages);
        sheet[i]->SetTabVisible(false);
    }
    pages->SetActivePageIndex(0);
    form->Show();
    Pump();
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(sheet[i]->BoundsRect(), pages->DisplayRect()) << i;
        edit[i] = new TEdit(form);
        edit[i]->SetParent(sheet[i]);
        edit[i]->SetBounds(10, 10, 200, 24);
        edit[i]->SetAnchors(TAnchors{akLeft, akTop, akRight});
    }
    pages->SetBounds(0, 0, 400, 260);
    Pump();
    EXPECT_EQ(sheet[1]->BoundsRect(), pages->DisplayRect()) << "the hidden page";
    EXPECT_EQ(edit[0]->Width(), 300);
    EXPECT_EQ(edit[1]->Width(), 300) << "on the hidden page";
    pages->SetActivePageIndex(1);
    Pump();
    EXPECT_EQ(edit[1]->Width(), 300) << "unchanged when its page shows";
    delete form;
}

// Ctrl+Tab, Ctrl+PageDown and their way back turn the pages from any control on them, the innermost page
// control first; the focus goes along to the page that shows.
TEST(PageControl, CtrlTabAndCtrlPageKeysTurnThePagesFromAnyControlOnThem) {
    TForm* form = MakeForm();
    auto* outer = new TPageControl(form);
    outer->SetParent(form);
    outer->SetBounds(0, 0, 380, 280);
    TTabSheet* sheet[4];
    TEdit* edit[4];
    for (int i = 0; i < 4; ++i) {
        sheet[i] = new TTabSheet(form);
        sheet[i]->SetCaption("Page " + std::to_string(i + 1));
        sheet[i]->SetPageControl(outer);
        edit[i] = new TEdit(form);
        edit[i]->SetParent(sheet[i]);
        edit[i]->SetBounds(10, 10, 200, 24);
    }
    sheet[2]->SetTabVisible(false); // a page without a tab is passed over
    // A page control on the last page, with two pages of its own.
    auto* inner = new TPageControl(form);
    inner->SetParent(sheet[3]);
    inner->SetBounds(10, 50, 300, 150);
    TTabSheet* innerSheet[2];
    TEdit* innerEdit[2];
    for (int i = 0; i < 2; ++i) {
        innerSheet[i] = new TTabSheet(form);
        innerSheet[i]->SetCaption("Inner " + std::to_string(i + 1));
        innerSheet[i]->SetPageControl(inner);
        innerEdit[i] = new TEdit(form);
        innerEdit[i]->SetParent(innerSheet[i]);
        innerEdit[i]->SetBounds(10, 10, 100, 24);
    }
    outer->SetActivePageIndex(0);
    inner->SetActivePageIndex(0);
    int changes = 0;
    outer->OnChange = [&](TObject*) { ++changes; };
    form->Show();
    Pump();
    edit[0]->SetFocus();
    Pump();

    const auto ctrl = [](BYTE vk, bool shift = false) {
        pw::gui::SimulateKey(VK_CONTROL, true);
        if (shift) pw::gui::SimulateKey(VK_SHIFT, true);
        pw::gui::SimulateKeyStroke(vk);
        if (shift) pw::gui::SimulateKey(VK_SHIFT, false);
        pw::gui::SimulateKey(VK_CONTROL, false);
        Pump();
    };
    ctrl(VK_TAB);
    EXPECT_EQ(outer->ActivePage(), sheet[1]);
    EXPECT_TRUE(edit[1]->Focused()) << "the focus goes with the page";
    EXPECT_EQ(changes, 1);
    ctrl(VK_NEXT);
    EXPECT_EQ(outer->ActivePage(), sheet[3]) << "past the page without a tab";
    EXPECT_TRUE(edit[3]->Focused());
    ctrl(VK_TAB, true);
    EXPECT_EQ(outer->ActivePage(), sheet[1]);
    ctrl(VK_PRIOR);
    EXPECT_EQ(outer->ActivePage(), sheet[0]);
    ctrl(VK_PRIOR);
    EXPECT_EQ(outer->ActivePage(), sheet[3]) << "round from the first to the last";
    EXPECT_EQ(changes, 5);

    // From a control of the inner pages the inner control turns, not the outer one.
    innerEdit[0]->SetFocus();
    Pump();
    ctrl(VK_TAB);
    EXPECT_EQ(inner->ActivePage(), innerSheet[1]);
    EXPECT_EQ(outer->ActivePage(), sheet[3]);
    EXPECT_TRUE(innerEdit[1]->Focused());
    ctrl(VK_NEXT);
    EXPECT_EQ(inner->ActivePage(), innerSheet[0]);
    // Tab alone, and Ctrl with another key, still do what they did.
    Key(VK_TAB);
    EXPECT_EQ(inner->ActivePage(), innerSheet[0]);
    EXPECT_EQ(outer->ActivePage(), sheet[3]);
    ctrl(VK_HOME);
    EXPECT_EQ(outer->ActivePage(), sheet[3]);
    EXPECT_EQ(changes, 5);

    // A wizard's pages have no tabs: the keys leave them to the program.
    for (TTabSheet* s : sheet)
        s->SetTabVisible(false);
    edit[3]->SetFocus();
    Pump();
    ctrl(VK_TAB);
    ctrl(VK_NEXT);
    EXPECT_EQ(outer->ActivePage(), sheet[3]);
    delete form;
}

TEST(Label, AutoSizeFollowsTheCaptionAndTheAcceleratorFocusesItsControl) {
    TForm* form = MakeForm();
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetCaption("&Name:");
    const int shortWidth = label->Width();
    label->SetCaption("&Name of the site map:");
    EXPECT_GT(label->Width(), shortWidth);
    EXPECT_GT(label->Height(), 8);
    auto* first = new TEdit(form);
    first->SetParent(form);
    first->SetTop(30);
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetTop(60);
    label->SetFocusControl(edit);
    form->Show();
    Pump();
    EXPECT_TRUE(first->Focused());
    KeyWith(VK_MENU, 'N');
    EXPECT_TRUE(edit->Focused());
    // A freed control is forgotten.
    delete edit;
    EXPECT_EQ(label->FocusControl(), nullptr);
    KeyWith(VK_MENU, 'N');
    label->SetAutoSize(false);
    label->SetCaption("x");
    EXPECT_GT(label->Width(), shortWidth);
    delete form;
}

TEST(Bars, StatusPanelsAndProgressReachTheirWindows) {
    TForm* form = MakeForm();
    auto* status = new TStatusBar(form);
    status->SetParent(form);
    status->Panels().Add()->SetWidth(120);
    status->Panels().Add()->SetText("ready");
    auto* progress = new TProgressBar(form);
    progress->SetParent(form);
    progress->SetMax(50);
    progress->SetStep(20);
    progress->StepIt();
    progress->StepIt();
    EXPECT_EQ(progress->Position(), 40);
    form->Show();
    Pump();
    // Aligned to the foot of the form.
    EXPECT_EQ(status->Top() + status->Height(), form->ClientHeight());
    char buffer[32] = {};
    SendMessage(status->Handle(), SB_GETTEXT, 1, reinterpret_cast<LPARAM>(buffer));
    EXPECT_STREQ(buffer, "ready");
    status->Panels()[0]->SetText("busy");
    SendMessage(status->Handle(), SB_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer));
    EXPECT_STREQ(buffer, "busy");
    int parts[4] = {};
    EXPECT_EQ(SendMessage(status->Handle(), SB_GETPARTS, 4, reinterpret_cast<LPARAM>(parts)), 2);
    EXPECT_EQ(parts[0], 120);
    status->SetSimpleText("simple");
    status->SetSimplePanel(true);
    EXPECT_NE(SendMessage(status->Handle(), SB_ISSIMPLE, 0, 0), 0);
    EXPECT_THROW(status->Panels()[2], EListError);

    EXPECT_EQ(progress->Position(), 40);
    EXPECT_EQ(SendMessage(progress->Handle(), PBM_GETPOS, 0, 0), 40);
    progress->StepIt(); // past the end wraps round
    EXPECT_EQ(progress->Position(), 10);
    progress->SetPosition(500);
    EXPECT_EQ(progress->Position(), 50);
    progress->SetSmooth(true);
    EXPECT_EQ(progress->Position(), 50);
    try {
        progress->SetMin(60);
        ADD_FAILURE() << "a minimum above the maximum was taken";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "TProgressBar property out of range");
    }
    EXPECT_EQ(progress->Min(), 0);
    delete form;
}

TEST(Panel, BevelsAndBordersNarrowTheRoomOfAlignedChildren) {
    TForm* form = MakeForm();
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(0, 0, 200, 100);
    panel->SetBevelInner(bvLowered);
    panel->SetBorderWidth(3);
    auto* inner = new TPanel(form);
    inner->SetParent(panel);
    inner->SetAlign(alClient);
    form->Show();
    Pump();
    EXPECT_EQ(inner->BoundsRect(), (TRect{5, 5, 195, 95}));
    panel->SetBevelOuter(bvNone);
    EXPECT_EQ(inner->BoundsRect(), (TRect{4, 4, 196, 96}));
    auto* group = new TGroupBox(form);
    group->SetParent(form);
    group->SetBounds(0, 110, 200, 80);
    auto* child = new TPanel(form);
    child->SetParent(group);
    child->SetAlign(alClient);
    Pump();
    EXPECT_GT(child->Top(), 8);
    EXPECT_EQ(child->Left(), 2);
    delete form;
}

TEST(Image, PicturesAreFittedClickedAndSizedAsAsked) {
    TForm* form = MakeForm();
    auto* image = new TImage(form);
    image->SetParent(form);
    image->SetBounds(10, 10, 100, 50);
    TBitmap bitmap;
    bitmap.SetWidth(40);
    bitmap.SetHeight(40);
    bitmap.Canvas().Brush().SetColor(clRed);
    bitmap.Canvas().FillRect(TRect{0, 0, 40, 40});
    image->Picture().Assign(&bitmap);
    EXPECT_EQ(image->DestRect(), (TRect{0, 0, 40, 40}));
    image->SetCenter(true);
    EXPECT_EQ(image->DestRect(), (TRect{30, 5, 70, 45}));
    image->SetStretch(true);
    image->SetProportional(true);
    EXPECT_EQ(image->DestRect(), (TRect{25, 0, 75, 50}));
    std::vector<std::string> log;
    image->OnClick = [&](TObject*) { log.push_back("click"); };
    image->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
        log.push_back("down " + std::to_string(x) + "," + std::to_string(y));
    };
    form->Show();
    Pump();
    Click(image, 50, 20);
    EXPECT_EQ(log, (std::vector<std::string>{"down 50,20", "click"}));
    image->SetAutoSize(true);
    EXPECT_EQ(image->Width(), 40);
    EXPECT_EQ(image->Height(), 40);
    delete form;
}
