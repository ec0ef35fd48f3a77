#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "controls/rz_animator.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/graphics_objects.h"
#include "platform/graphics/image_list.h"
#include "platform/vcl/form.h"
#include "test_support.h"

using namespace controls_test;

namespace {

TImageList* MakeFrames(TComponent* owner, int count) {
    auto* images = new TImageList(8, 8, owner);
    for (int i = 0; i < count; ++i) {
        TBitmap b;
        b.SetWidth(8);
        b.SetHeight(8);
        b.Canvas().Brush().SetColor(i % 2 ? clRed : clBlue);
        b.Canvas().FillRect(TRect{0, 0, 8, 8});
        images->Add(&b, nullptr);
    }
    return images;
}

} // namespace

TEST(Animator, PlaysItsFramesInALoopWhileAnimating) {
    std::unique_ptr<TForm> form(MakeForm());
    auto* animator = new TRzAnimator(form.get());
    animator->SetParent(form.get());
    animator->SetImageList(MakeFrames(form.get(), 3));
    animator->SetDelay(10);
    std::vector<int> shown;
    animator->OnChange = [&](TObject*) { shown.push_back(animator->ImageIndex()); };
    form->Show();
    PumpFor(60);
    EXPECT_TRUE(shown.empty()) << "still until asked to play";

    animator->SetAnimate(true);
    for (int i = 0; i < 200 && shown.size() < 5; ++i)
        PumpFor(10);
    ASSERT_GE(shown.size(), 5u);
    EXPECT_EQ((std::vector<int>(shown.begin(), shown.begin() + 5)), (std::vector<int>{1, 2, 0, 1, 2}));

    animator->SetAnimate(false);
    const size_t stoppedAt = shown.size();
    const int frame = animator->ImageIndex();
    PumpFor(60);
    EXPECT_EQ(shown.size(), stoppedAt);
    EXPECT_EQ(animator->ImageIndex(), frame) << "stopping keeps the frame shown";
}

TEST(Animator, AnImageListFreedUnderAPlayingAnimatorIsLetGo) {
    std::unique_ptr<TForm> form(MakeForm());
    auto* animator = new TRzAnimator(form.get());
    animator->SetParent(form.get());
    TImageList* images = MakeFrames(nullptr, 2);
    animator->SetImageList(images);
    animator->SetDelay(5);
    animator->SetAnimate(true);
    form->Show();
    PumpFor(30);
    delete images;
    EXPECT_EQ(animator->ImageList(), nullptr);
    const int frame = animator->ImageIndex();
    PumpFor(30);
    EXPECT_EQ(animator->ImageIndex(), frame);
    animator->Repaint();

    // An empty list plays nothing until it gets images.
    auto* empty = MakeFrames(form.get(), 0);
    animator->SetImageList(empty);
    PumpFor(30);
    EXPECT_EQ(animator->ImageIndex(), 0);
}
