// What reaches the screen when the wizard changes: the changed part only, and nothing from a page that is
// not shown.
#include "app/main_form.h"
#include "controls/rz_page_control.h"
#include "main_form_fixture.h"
#include "platform/gui/paint.h"
#include "platform/stdctrls/label.h"
#include "shellcontrols/rz_tree_view.h"

namespace app_test {
namespace {

using RepaintTest = MainFormTest;

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

} // namespace
} // namespace app_test
