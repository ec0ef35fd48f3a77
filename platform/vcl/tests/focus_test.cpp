#include <gtest/gtest.h>

#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "vcl_test_support.h"

using namespace vcl_test;

namespace {

struct FocusForm {
    std::vector<std::string> log;
    TForm* form = MakeForm(300, 200);
    TTestBox* a = Add("a", 0);
    TTestBox* b = Add("b", 50);
    TTestBox* c = Add("c", 100);

    TTestBox* Add(const std::string& name, int top) {
        auto* box = new TTestBox(form, &log);
        box->SetName(name);
        box->SetBounds(10, top, 40, 20);
        box->SetParent(form);
        return box;
    }
    ~FocusForm() { delete form; }
};

void Stroke(BYTE vk, bool shift = false) {
    if (shift) pw::gui::SetKeyDown(VK_SHIFT, true);
    pw::gui::SimulateKeyStroke(vk);
    Pump();
    if (shift) pw::gui::SetKeyDown(VK_SHIFT, false);
}

} // namespace

TEST(Focus, TabAndShiftTabFollowTabOrderAndSkipWhatCannotFocus) {
    FocusForm f;
    f.c->SetTabOrder(0); // c, a, b
    f.b->SetTabStop(false);
    ShowAndPump(f.form);
    // The first control in tab order gets the focus when the form activates.
    EXPECT_TRUE(f.c->Focused());
    EXPECT_EQ(f.form->ActiveControl(), f.c);
    EXPECT_EQ(f.log, (std::vector<std::string>{"enter c"}));
    f.log.clear();
    Stroke(VK_TAB);
    EXPECT_TRUE(f.a->Focused());
    Stroke(VK_TAB); // b has no tab stop: round to c
    EXPECT_TRUE(f.c->Focused());
    Stroke(VK_TAB, true);
    EXPECT_TRUE(f.a->Focused());
    EXPECT_EQ(f.log,
              (std::vector<std::string>{"exit c", "enter a", "exit a", "enter c", "exit c", "enter a"}));
    // Arrows move among siblings without regard to tab stops.
    Stroke(VK_DOWN);
    EXPECT_TRUE(f.b->Focused());
    f.c->SetEnabled(false);
    Stroke(VK_TAB);
    EXPECT_TRUE(f.a->Focused());
    // Every control hears where the focus went.
    std::vector<LPARAM> changes;
    struct Spy : TTestGlyph {
        Spy(TComponent* owner, std::vector<LPARAM>& seen) : TTestGlyph(owner), seen_(seen) {}
        std::vector<LPARAM>& seen_;
        void WndProc(TMessage& m) override {
            if (m.Msg == CM_FOCUSCHANGED) seen_.push_back(m.LParam);
            TTestGlyph::WndProc(m);
        }
    };
    auto* spy = new Spy(f.form, changes);
    spy->SetParent(f.b); // nested: the news goes down the tree
    f.b->SetFocus();
    Pump();
    EXPECT_EQ(changes, (std::vector<LPARAM>{reinterpret_cast<LPARAM>(static_cast<TWinControl*>(f.b))}));
    f.a->SetFocus();
    // Focusing a hidden control is refused with the library's text.
    f.b->SetVisible(false);
    try {
        f.b->SetFocus();
        FAIL() << "no exception";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "Cannot focus a disabled or invisible window");
    }
    EXPECT_TRUE(f.a->Focused());
}

TEST(Focus, TheActiveControlChosenBeforeShowingGetsTheFocus) {
    FocusForm f;
    EXPECT_THROW(f.c->SetFocus(), EInvalidOperation); // the form is not showing
    f.form->SetActiveControl(f.b);
    ShowAndPump(f.form);
    EXPECT_TRUE(f.b->Focused());
    EXPECT_EQ(f.log, (std::vector<std::string>{"enter b"}));
    // Another window takes the focus; activating the form again brings it back to the same control.
    TForm* other = MakeForm();
    ShowAndPump(other);
    EXPECT_FALSE(f.b->Focused());
    f.c->SetFocus();
    Pump();
    EXPECT_TRUE(f.c->Focused());
    delete other;
}

TEST(Focus, KeyPreviewSeesKeysFirstAndCanSwallowThem) {
    FocusForm f;
    std::vector<std::string> keys;
    f.form->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
        keys.push_back("form down " + std::to_string(key));
        if (key == 0x71) key = 0;
    };
    f.form->OnKeyPress = [&](TObject*, char& key) {
        keys.push_back(std::string("form press ") + key);
        if (key == 'x') key = 0;
    };
    f.a->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
        keys.push_back("a down " + std::to_string(key));
    };
    f.a->OnKeyPress = [&](TObject*, char& key) { keys.push_back(std::string("a press ") + key); };
    f.a->OnKeyUp = [&](TObject*, WORD& key, TShiftState) { keys.push_back("a up " + std::to_string(key)); };
    ShowAndPump(f.form);
    ASSERT_TRUE(f.a->Focused());
    Stroke('Q');
    EXPECT_EQ(keys, (std::vector<std::string>{"a down 81", "a press q", "a up 81"}));
    keys.clear();
    f.form->SetKeyPreview(true);
    Stroke(0x71);
    Stroke('X');
    Stroke('Q');
    EXPECT_EQ(keys, (std::vector<std::string>{"form down 113", "a up 113", "form down 88", "a down 88",
                                              "form press x", "a up 88", "form down 81", "a down 81",
                                              "form press q", "a press q", "a up 81"}));
}

TEST(Focus, AcceleratorsReachWindowlessControlsThroughDialogChar) {
    FocusForm f;
    auto* glyph = Place<TTestGlyph>(f.form);
    glyph->SetCaption("&Go");
    int clicks = 0;
    glyph->OnClick = [&](TObject*) { ++clicks; };
    ShowAndPump(f.form);
    pw::gui::SetKeyDown(VK_MENU, true);
    pw::gui::SimulateKeyStroke('G');
    pw::gui::SetKeyDown(VK_MENU, false);
    Pump();
    EXPECT_EQ(clicks, 1);
    // A control that takes characters keeps them; one that does not lets the form look for accelerators.
    char typed = 0;
    f.a->OnKeyPress = [&](TObject*, char& key) { typed = key; };
    Stroke('G');
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(typed, 0);
    glyph->SetEnabled(false);
    Stroke('G');
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(typed, 'g');
    EXPECT_TRUE(IsAccel('G', "&Go"));
    EXPECT_TRUE(IsAccel('t', "Le&t &go")); // the first one counts
    EXPECT_FALSE(IsAccel('g', "Le&t &go"));
    EXPECT_FALSE(IsAccel('G', "Go && stay"));
    EXPECT_FALSE(IsAccel('G', "Go&"));
    EXPECT_TRUE(IsAccel('S', "Go && &stay"));
}
