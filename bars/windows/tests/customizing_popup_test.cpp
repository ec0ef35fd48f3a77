// The context menu of a link while the bars are customized: its entries, and what each does once the
// menu has gone.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "bar_windows_fixture.h"
#include "bars/core/bar_edit.h"
#include "bars/core/bar_unit.h"
#include "bars/windows/customizing_popup.h"
#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/prompt.h"

namespace bars_windows_test {
namespace {

std::function<void()> step;
void RunStep(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    const std::function<void()> now = std::move(step);
    step = nullptr;
    if (now) now();
}
// Runs once the popup's own loop turns.
void Soon(std::function<void()> Step) {
    step = std::move(Step);
    SetTimer(nullptr, 0, 1, &RunStep);
}

bars::BarControl* OpenMenu() {
    for (bars::BarControl* control : BarControls())
        if (!control->IsToolbar() && control->Handle() != nullptr && IsWindowVisible(control->Handle()))
            return control;
    return nullptr;
}

TdxBarItemLink* Line(bars::BarControl* Menu, int Tag) {
    TdxBarItemLinks* links = Menu->ItemLinks();
    for (int i = 0; i < links->Count(); ++i)
        if (links->Items(i)->Item()->Tag() == Tag) return links->Items(i);
    return nullptr;
}

void Click(bars::BarControl* Menu, int Tag) {
    TdxBarItemLink* line = Line(Menu, Tag);
    ASSERT_NE(line, nullptr) << Tag;
    const RECT r = dynamic_cast<bars::TdxBarItemControl*>(line->Control())->ScreenRect();
    const POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, p);
    pw::gui::SimulateClick(p);
}

class Answers : public pw::vcl::Prompter {
public:
    pw::vcl::PromptAnswer Ask(const pw::vcl::PromptRequest& request) override {
        asked.push_back(request);
        return pw::vcl::PromptAnswer();
    }
    std::vector<pw::vcl::PromptRequest> asked;
};

class CustomizingPopupTest : public BarWindowsTest {
protected:
    CustomizingPopupTest() {
        open = Button("Open");
        bar = Toolbar("Main", {open, Button("Save")});
        manager->SetIsCustomizing(true);
        pw::vcl::SetPrompter(&answers);
    }
    ~CustomizingPopupTest() override {
        pw::vcl::SetPrompter(nullptr);
        manager->SetIsCustomizing(false);
    }
    // A right click on the first button opens the popup; Act runs on it, and the popup has gone when
    // this returns.
    void Choose(std::function<void(bars::BarControl*)> Act) {
        Soon([Act] {
            ASSERT_NE(OpenMenu(), nullptr);
            Act(OpenMenu());
        });
        POINT p = Centre(open, bar);
        ScreenToClient(Window(bar)->Handle(), p);
        SendMessage(Window(bar)->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, PackPoint(p));
        Pump();
        EXPECT_EQ(OpenMenu(), nullptr);
        EXPECT_EQ(bars::CustomizingLink(), nullptr);
    }
    TdxBarItemLink* First() const { return bar->ItemLinks()->Items(0); }

    TdxBarButton* open = nullptr;
    TdxBar* bar = nullptr;
    Answers answers;
};

TEST_F(CustomizingPopupTest, EntriesActOnTheLinkOnceTheMenuHasGone) {
    int count = 0;
    bool visibleChecked = false, groupChecked = true, linkWhileOpen = false;
    Choose([&](bars::BarControl* menu) {
        count = menu->ItemLinks()->Count(); // no design entries at run time
        visibleChecked = dynamic_cast<TdxBarButton*>(Line(menu, bars::cpVisible)->Item())->Down();
        groupChecked = dynamic_cast<TdxBarButton*>(Line(menu, bars::cpBeginGroup)->Item())->Down();
        linkWhileOpen = bars::CustomizingLink() == First();
        Click(menu, bars::cpBeginGroup);
    });
    EXPECT_EQ(count, 10);
    EXPECT_TRUE(visibleChecked && !groupChecked && linkWhileOpen);
    EXPECT_TRUE(First()->StoredBeginGroup());
    Choose([](bars::BarControl* menu) { Click(menu, bars::cpTextOnlyAlways); });
    EXPECT_EQ(First()->PaintStyle(), psCaption);

    // The name editor renames the link, not the command, and refuses a blank name.
    auto type = [](const std::string& text) {
        return [text](bars::BarControl* menu) {
            auto* edit = dynamic_cast<TdxBarEdit*>(Line(menu, bars::cpCaption)->Item());
            ASSERT_NE(edit, nullptr);
            edit->SetText(text);
        };
    };
    Choose(type("Open File"));
    EXPECT_EQ(First()->Caption(), "Open File");
    EXPECT_EQ(open->Caption(), "Open");
    Choose(type(""));
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(answers.asked[0].text, "A command name cannot be blank. Please enter a name.");
    EXPECT_EQ(answers.asked[0].icon, static_cast<unsigned>(MB_ICONERROR));
    EXPECT_EQ(First()->Caption(), "Open File");

    // Delete frees the link the popup was opened from, once the menu has gone.
    Choose([](bars::BarControl* menu) { Click(menu, bars::cpDelete); });
    EXPECT_EQ(bar->ItemLinks()->Count(), 1);
    EXPECT_EQ(First()->Item()->Caption(), "Save");
}

} // namespace
} // namespace bars_windows_test
