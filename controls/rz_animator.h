#pragma once
// Plays the images of an image list one after the other, in a loop, while Animate is true.
#include <memory>

#include "platform/vcl/custom_control.h"

class TCustomImageList;
class TTimer;

class TRzAnimator : public TGraphicControl {
public:
    explicit TRzAnimator(TComponent* AOwner);
    ~TRzAnimator() override;
    std::string ClassName() const override { return "TRzAnimator"; }

    TCustomImageList* ImageList() const { return imageList_; }
    void SetImageList(TCustomImageList* Value);
    // The image shown now.
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int Value);
    bool Animate() const { return animate_; }
    void SetAnimate(bool Value);
    // Milliseconds each image stays.
    unsigned Delay() const { return delay_; }
    void SetDelay(unsigned Value);

    // After each step to the next image.
    TNotifyEvent OnChange;

protected:
    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void Step();
    void UpdateTimer();

    std::unique_ptr<TTimer> timer_;
    TCustomImageList* imageList_ = nullptr;
    int imageIndex_ = 0;
    bool animate_ = false;
    unsigned delay_ = 100;
};
