#pragma once
// One frame and colour setting shared by the framed controls attached to a controller.
#include <vector>

#include "platform/rtl/colors.h"
#include "platform/rtl/component.h"

enum TFrameStyle { fsNone, fsFlat, fsLowered, fsRaised };

class TRzFrameLink;

class TRzFrameController : public TComponent {
public:
    explicit TRzFrameController(TComponent* AOwner);
    ~TRzFrameController() override;
    std::string ClassName() const override { return "TRzFrameController"; }

    TFrameStyle FrameStyle() const { return frameStyle_; }
    void SetFrameStyle(TFrameStyle Value);
    bool FrameVisible() const { return frameVisible_; }
    void SetFrameVisible(bool Value);
    TColor FrameColor() const { return frameColor_; }
    void SetFrameColor(TColor Value);
    TColor Color() const { return color_; }
    void SetColor(TColor Value);
    TColor FocusColor() const { return focusColor_; }
    void SetFocusColor(TColor Value);

    int ControlCount() const { return static_cast<int>(links_.size()); }

private:
    friend class TRzFrameLink;
    void Attach(TRzFrameLink* Link);
    void Detach(TRzFrameLink* Link);
    void ApplyAll();

    std::vector<TRzFrameLink*> links_;
    TFrameStyle frameStyle_ = fsFlat;
    bool frameVisible_ = true;
    TColor frameColor_ = clBtnShadow;
    TColor color_ = clWindow;
    TColor focusColor_ = clWindow;
};
