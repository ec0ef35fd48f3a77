#pragma once
// What a framed control keeps of its frame: its own settings, the controller it follows, and the
// drawing of the frame and background from them.
#include "controls/frame_controller.h"
#include "platform/gdi/scoped.h"
#include "platform/rtl/wintypes.h"

class TWinControl;
struct TCreateParams;
struct TMessage;

// Where the frame lies: in the window's border (edits, memos, list boxes) or over the edge the
// control paints inside its client area (combo boxes).
enum class FramePlace { Border, Client };

class TRzFrameLink {
public:
    TRzFrameLink(TWinControl& Control, FramePlace Place);
    ~TRzFrameLink();
    TRzFrameLink(const TRzFrameLink&) = delete;
    TRzFrameLink& operator=(const TRzFrameLink&) = delete;

    TRzFrameController* Controller() const { return controller_; }
    // Attaching takes over the controller's settings at once.
    void SetController(TRzFrameController* Value);
    TFrameStyle FrameStyle() const { return frameStyle_; }
    void SetFrameStyle(TFrameStyle Value);
    bool FrameVisible() const { return frameVisible_; }
    void SetFrameVisible(bool Value);
    TColor FrameColor() const { return frameColor_; }
    void SetFrameColor(TColor Value);
    TColor FocusColor() const { return focusColor_; }
    void SetFocusColor(TColor Value);
    // The background now: the focus colour while focused, else the control's colour.
    TColor BackgroundColor() const;

    void AdjustParams(TCreateParams& Params) const;
    // True when the message was answered here and the control must not see it.
    bool Before(TMessage& Message);
    void After(const TMessage& Message);

private:
    friend class TRzFrameController;
    void TakeFrom(const TRzFrameController& Source);
    void ControllerGone() { controller_ = nullptr; }
    void BorderChanged();
    void Redraw();
    void PaintFrame();
    HBRUSH Brush(TColor Color);

    TWinControl& control_;
    FramePlace place_;
    TRzFrameController* controller_ = nullptr;
    TFrameStyle frameStyle_ = fsFlat;
    bool frameVisible_ = false;
    TColor frameColor_ = clBtnShadow;
    TColor focusColor_ = clWindow;
    pw::gdi::OwnedObject<HBRUSH> brush_;
    TColor brushColor_ = clNone;
};

// Adds the frame settings and their drawing to a standard control.
template <class Base, FramePlace Place = FramePlace::Border> class TRzFramed : public Base {
public:
    explicit TRzFramed(TComponent* AOwner) : Base(AOwner), frame_(*this, Place) {}

    TRzFrameController* FrameController() const { return frame_.Controller(); }
    void SetFrameController(TRzFrameController* Value) { frame_.SetController(Value); }
    TFrameStyle FrameStyle() const { return frame_.FrameStyle(); }
    void SetFrameStyle(TFrameStyle Value) { frame_.SetFrameStyle(Value); }
    bool FrameVisible() const { return frame_.FrameVisible(); }
    void SetFrameVisible(bool Value) { frame_.SetFrameVisible(Value); }
    TColor FrameColor() const { return frame_.FrameColor(); }
    void SetFrameColor(TColor Value) { frame_.SetFrameColor(Value); }
    TColor FocusColor() const { return frame_.FocusColor(); }
    void SetFocusColor(TColor Value) { frame_.SetFocusColor(Value); }

    void WndProc(TMessage& Message) override {
        if (frame_.Before(Message)) return;
        Base::WndProc(Message);
        frame_.After(Message);
    }

protected:
    void CreateParams(TCreateParams& Params) override {
        Base::CreateParams(Params);
        frame_.AdjustParams(Params);
    }

private:
    TRzFrameLink frame_;
};
