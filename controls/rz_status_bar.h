#pragma once
// A status bar and the pane that shows a text in it.
#include "controls/frame_controller.h"
#include "platform/stdctrls/bars.h"
#include "platform/vcl/custom_control.h"

class TRzStatusBar : public TStatusBar {
public:
    explicit TRzStatusBar(TComponent* AOwner);
    std::string ClassName() const override { return "TRzStatusBar"; }
};

class TRzStatusPane : public TCustomControl {
public:
    explicit TRzStatusPane(TComponent* AOwner);
    std::string ClassName() const override { return "TRzStatusPane"; }

    TFrameStyle FrameStyle() const { return frameStyle_; }
    void SetFrameStyle(TFrameStyle Value);
    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;

private:
    TFrameStyle frameStyle_ = fsLowered;
};
