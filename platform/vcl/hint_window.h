#pragma once
// The small window that shows a control's hint near the pointer.
#include "platform/vcl/custom_control.h"

class THintWindow : public TCustomControl {
public:
    explicit THintWindow(TComponent* AOwner);
    std::string ClassName() const override { return "THintWindow"; }
    // The size the text needs, at most MaxWidth wide, placed at the origin.
    TRect CalcHintRect(int MaxWidth, const std::string& AHint);
    // Shows the text at Rect (screen coordinates) without taking the focus.
    void ActivateHint(TRect Rect, const std::string& AHint);
    void ReleaseHandle();

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
};
