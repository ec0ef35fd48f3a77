#include <gtest/gtest.h>

#include <memory>

#include "controls/rz_spin_edit.h"
#include "platform/gui/keys.h"
#include "platform/stdctrls/edit.h"
#include "platform/vcl/form.h"
#include "test_support.h"

using namespace controls_test;

class SpinEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        spin->SetParent(form.get());
        spin->SetBounds(10, 10, 80, 21);
        other->SetParent(form.get());
        other->SetTop(40);
        form->Show();
        Pump();
    }
    // Focuses the edit, selects its text and types over it.
    void TypeOver(const std::string& text) {
        spin->SetFocus();
        Pump();
        spin->SelectAll();
        Type(text);
    }
    std::unique_ptr<TForm> form{MakeForm()};
    TRzSpinEdit* spin = new TRzSpinEdit(form.get());
    TEdit* other = new TEdit(form.get());
};

TEST_F(SpinEditTest, ValueIsKeptWithinItsLimitsAndRoundedToItsDecimals) {
    EXPECT_EQ(spin->Text(), "0");
    spin->SetValue(250);
    EXPECT_EQ(spin->Value(), 100);
    spin->SetIntegersOnly(false);
    spin->SetDecimals(1);
    spin->SetMin(0.5L);
    spin->SetMax(1.0L);
    EXPECT_EQ(spin->Text(), "1.0") << "narrower limits take the value along";
    spin->SetValue(0.74L);
    EXPECT_EQ(spin->Text(), "0.7");
    EXPECT_DOUBLE_EQ(static_cast<double>(spin->Value()), 0.7);
    spin->SetIncrement(0.1L);
    for (int i = 0; i < 5; ++i)
        spin->IncValue(spin->Increment());
    EXPECT_EQ(spin->Text(), "1.0") << "stepping stops at Max";

    // Integers only: no places whatever Decimals says, and no minus zero.
    spin->SetMin(-10);
    spin->SetDecimals(2);
    spin->SetIntegersOnly(true);
    spin->SetValue(-2.6L);
    EXPECT_EQ(spin->Text(), "-3");
    spin->SetValue(-0.2L);
    EXPECT_EQ(spin->Text(), "0");
}

TEST_F(SpinEditTest, ArrowKeysAndButtonsStepTheValue) {
    spin->SetMax(3);
    spin->SetValue(1);
    int changes = 0;
    spin->OnChange = [&](TObject*) { ++changes; };
    spin->SetFocus();
    Pump();
    for (int i = 0; i < 3; ++i)
        Key(VK_UP);
    EXPECT_EQ(spin->Value(), 3);
    EXPECT_EQ(changes, 2) << "no change at the limit";
    Key(VK_DOWN);
    EXPECT_EQ(spin->Text(), "2");

    // The upper half of the strip at the right end goes up, the lower half down.
    const int w = spin->Width(), h = spin->Height();
    ClickWindow(spin, w - 8, 4);
    EXPECT_EQ(spin->Value(), 3);
    ClickWindow(spin, w - 8, h - 4);
    ClickWindow(spin, w - 8, h - 4);
    EXPECT_EQ(spin->Value(), 1);
    EXPECT_LE(spin->ClientWidth(), w - 15);
}

TEST_F(SpinEditTest, TypedNumbersCountAndAnythingElseIsRefused) {
    spin->SetIntegersOnly(false);
    spin->SetDecimals(2);
    TypeOver("12.5x");
    EXPECT_EQ(spin->Text(), "12.5") << "letters are not typed";
    EXPECT_EQ(spin->Value(), 12.5L);
    spin->SetText("");
    EXPECT_EQ(spin->Value(), 12.5L) << "an empty text is no number";
    other->SetFocus();
    Pump();
    EXPECT_EQ(spin->Text(), "12.50") << "leaving shows the value in its own form";

    spin->SetIntegersOnly(true);
    TypeOver("7.");
    EXPECT_EQ(spin->Text(), "7") << "no decimal point for integers";
    TypeOver("999");
    EXPECT_EQ(spin->Value(), 100) << "typed numbers are kept within the limits too";

    spin->SetAllowKeyEdit(false);
    spin->SetValue(5);
    TypeOver("42");
    EXPECT_EQ(spin->Text(), "5");
    Key(VK_UP);
    EXPECT_EQ(spin->Value(), 6) << "arrow keys still step";
}
