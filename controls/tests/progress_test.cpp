#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <vector>

#include "controls/rz_animator.h"
#include "controls/rz_progress_bar.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/image_list.h"
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
    EXPECT_EQ(bar->Position(), 100);
    bar->SetPartsComplete(-3);
    EXPECT_EQ(bar->PartsComplete(), 0);
    bar->SetPartsComplete(6);
    bar->SetTotalParts(20);
    EXPECT_EQ(bar->Position(), 0);
    // Large node counts do not overflow the percentage.
    bar->SetTotalParts(INT_MAX);
    bar->SetPartsComplete(INT_MAX / 2);
    EXPECT_EQ(bar->Percent(), 49);
}

TEST(Animator, PlaysItsFramesInALoopWhileAnimatingAndLetsGoOfAFreedList) {
    std::unique_ptr<TForm> form(MakeForm());
    auto* animator = new TRzAnimator(form.get());
    animator->SetParent(form.get());
    auto* images = new TImageList(8, 8, nullptr);
    TBitmap frame;
    frame.SetWidth(24);
    frame.SetHeight(8);
    images->Add(&frame, nullptr);
    animator->SetImageList(images);
    animator->SetDelay(10);
    std::vector<int> shown;
    animator->OnChange = [&](TObject*) { shown.push_back(animator->ImageIndex()); };
    form->Show();
    // Each wait below lets a timer of the animator's delay tick five times.
    ASSERT_TRUE(PumpTimerTicks(10, 5));
    EXPECT_TRUE(shown.empty()) << "still until asked to play";

    animator->SetAnimate(true);
    ASSERT_TRUE(PumpUntil([&] { return shown.size() >= 5; }));
    EXPECT_EQ((std::vector<int>(shown.begin(), shown.begin() + 5)), (std::vector<int>{1, 2, 0, 1, 2}));
    animator->SetAnimate(false);
    const size_t stoppedAt = shown.size();
    ASSERT_TRUE(PumpTimerTicks(10, 5));
    EXPECT_EQ(shown.size(), stoppedAt);

    animator->SetAnimate(true);
    delete images;
    EXPECT_EQ(animator->ImageList(), nullptr);
    const size_t freedAt = shown.size();
    ASSERT_TRUE(PumpTimerTicks(10, 5));
    animator->Repaint();
    EXPECT_EQ(shown.size(), freedAt);
}
