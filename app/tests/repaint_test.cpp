// What reaches the screen when the wizard changes: the changed part only, and nothing from a page that is
// not shown.
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/main_form.h"
#include "controls/rz_page_control.h"
#include "main_form_fixture.h"
#include "platform/gdi/surface.h"
#include "platform/gui/paint.h"
#include "platform/gui/system.h"
#include "platform/rtl/sync.h"
#include "platform/stdctrls/label.h"
#include "shellcontrols/rz_tree_view.h"

namespace app_test {
namespace {

using RepaintTest = MainFormTest;

// Every control shown on the given page, depth first.
void CollectShowing(TWinControl* parent, std::vector<TControl*>& out) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (!c->Visible()) continue;
        out.push_back(c);
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->Showing()) CollectShowing(w, out);
    }
}

std::string FirstDifference(const Surface& a, const Surface& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return "sizes differ";
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if ((a.Pixel(x, y) & 0xFFFFFF) != (b.Pixel(x, y) & 0xFFFFFF))
                return "first at " + std::to_string(x) + "," + std::to_string(y);
    return {};
}

TEST_F(RepaintTest, ALabelChangeCopiesAboutTheLabelNotTheWindow) {
    Start();
    form_->SetBounds(0, 0, 1600, 1000);
    form_->pcMain->SetActivePage(form_->tsStatus);
    TLabel* label = form_->lblCurrentURL;
    label->SetCaption("http://127.0.0.1:8080/f1/g0/p1.html");
    Pump();
    const long long before = pw::gui::PixelsCopiedToScreen();
    label->SetCaption("http://127.0.0.1:8080/f2/g0/p2.html");
    Pump();
    const long long copied = pw::gui::PixelsCopiedToScreen() - before;
    EXPECT_GT(copied, 0) << "the change is shown";
    EXPECT_LE(copied, 2LL * label->Width() * label->Height())
        << "of a window of " << 1600 * 1000 << " pixels";

    // The result tree stands on a page the wizard does not show: filling it shows nothing.
    const long long shown = pw::gui::PixelsCopiedToScreen();
    TTreeNode* root = form_->tvMap->Items().Add(nullptr, "site");
    for (int i = 0; i < 20; ++i)
        form_->tvMap->Items().AddChild(root, "page " + std::to_string(i));
    root->Expand(false);
    Pump();
    EXPECT_EQ(pw::gui::PixelsCopiedToScreen(), shown);
}

TEST_F(RepaintTest, RepaintingAControlDrawsItAsItWas) {
    // The status page's log has the focus: its caret would blink between two looks of a slow run (under
    // the sanitizers), which is not what is compared. A desktop can ask for a caret that stays.
    const UINT blink = GetCaretBlinkTime();
    SetCaretBlinkTime(INFINITE);
    struct Restore {
        UINT blink;
        ~Restore() { SetCaretBlinkTime(blink); }
    } restore{blink};
    Start();
    form_->SetBounds(0, 0, 900, 640);
    TTreeNode* root = form_->tvMap->Items().Add(nullptr, "site");
    TTreeNode* last = root;
    for (int i = 0; i < 200; ++i)
        last = form_->tvMap->Items().AddChild(root, "page " + std::to_string(i));
    root->Expand(false);
    for (TRzTabSheet* page : {form_->tsStatus, form_->tsResults}) {
        form_->pcMain->SetActivePage(page);
        if (page == form_->tsResults) {
            // Scrolled, with a selection and the focus: everything the tree draws.
            form_->tvMap->SetFocus();
            form_->tvMap->SetSelected(last);
            last->MakeVisible();
        }
        Pump();
        if (page == form_->tsStatus) {
            // Longer than a blink: a page at rest stays as it is drawn.
            const Surface rest = pw::gui::ComposeWindow(form_->Handle());
            std::this_thread::sleep_for(std::chrono::milliseconds(600));
            Pump();
            EXPECT_EQ(FirstDifference(rest, pw::gui::ComposeWindow(form_->Handle())), "");
        }
        std::vector<TControl*> controls;
        CollectShowing(form_, controls);
        for (TControl* c : controls) {
            const Surface before = pw::gui::ComposeWindow(form_->Handle());
            c->Repaint();
            // Repaint draws at once, the windows inside included, as Win32's UpdateWindow does.
            EXPECT_EQ(FirstDifference(before, pw::gui::ComposeWindow(form_->Handle())), "")
                << c->Name() << " (" << c->ClassName() << ") on " << page->Name();
            Pump();
            EXPECT_EQ(FirstDifference(before, pw::gui::ComposeWindow(form_->Handle())), "")
                << c->Name() << " (" << c->ClassName() << ") on " << page->Name() << ", after the loop ran";
        }
    }
}

} // namespace
} // namespace app_test
