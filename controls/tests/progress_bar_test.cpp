#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "controls/rz_progress_bar.h"
#include "platform/vcl/form.h"
#include "test_support.h"

using namespace controls_test;

TEST(ProgressBar, NewTotalStartsOverAndCompletedPartsStayWithinIt) {
    std::unique_ptr<TForm> form(MakeForm());
    auto* bar = new TRzProgressBar(form.get());
    bar->SetParent(form.get());
    form->Show();
    bar->SetPartsComplete(5);
    EXPECT_EQ(bar->PartsComplete(), 0) << "nothing to complete without a total";
    bar->SetTotalParts(8);
    bar->SetPartsComplete(2);
    EXPECT_EQ(bar->Position(), 25);
    bar->SetPartsComplete(9);
    EXPECT_EQ(bar->PartsComplete(), 8);
    EXPECT_EQ(bar->Position(), 100);
    bar->SetPartsComplete(-3);
    EXPECT_EQ(bar->PartsComplete(), 0);
    bar->SetPartsComplete(6);
    bar->SetTotalParts(20);
    EXPECT_EQ(bar->PartsComplete(), 0);
    EXPECT_EQ(bar->Position(), 0);
    // Large node counts do not overflow the percentage.
    bar->SetTotalParts(INT_MAX);
    bar->SetPartsComplete(INT_MAX / 2);
    EXPECT_EQ(bar->Percent(), 49);
}
