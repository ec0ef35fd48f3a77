#include "controls/rz_animator.h"

#include "platform/graphics/graphics_objects.h"
#include "platform/graphics/image_list.h"
#include "platform/vcl/timer.h"

TRzAnimator::TRzAnimator(TComponent* AOwner)
    : TGraphicControl(AOwner), timer_(std::make_unique<TTimer>(nullptr)) {
    SetBounds(0, 0, 32, 32);
    timer_->SetEnabled(false);
    timer_->SetInterval(delay_);
    timer_->OnTimer = [this](TObject*) { Step(); };
}

TRzAnimator::~TRzAnimator() {
    if (imageList_) imageList_->RemoveFreeNotification(this);
}

void TRzAnimator::SetImageList(TCustomImageList* Value) {
    if (imageList_ == Value) return;
    if (imageList_) imageList_->RemoveFreeNotification(this);
    imageList_ = Value;
    if (imageList_) imageList_->FreeNotification(this);
    imageIndex_ = 0;
    Invalidate();
}

void TRzAnimator::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == imageList_) {
        imageList_ = nullptr;
        Invalidate();
    }
}

void TRzAnimator::SetImageIndex(int Value) {
    if (imageIndex_ == Value) return;
    imageIndex_ = Value;
    Invalidate();
}

void TRzAnimator::SetAnimate(bool Value) {
    if (animate_ == Value) return;
    animate_ = Value;
    UpdateTimer();
}

void TRzAnimator::SetDelay(unsigned Value) {
    delay_ = Value;
    timer_->SetInterval(Value);
}

void TRzAnimator::UpdateTimer() {
    timer_->SetEnabled(animate_);
}

void TRzAnimator::Step() {
    if (!imageList_ || imageList_->Count() == 0) return;
    SetImageIndex((imageIndex_ + 1) % imageList_->Count());
    if (OnChange) OnChange(this);
}

void TRzAnimator::Paint() {
    if (imageList_) imageList_->Draw(Canvas(), 0, 0, imageIndex_);
}
