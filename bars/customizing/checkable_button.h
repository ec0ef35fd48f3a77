#pragma once
// The customizing window's flat "... modify" button: pressed, it stays down while the bar menu it
// drops down is open beneath it, and the click that closes that menu on the button does not open it
// again.
#include <string>

#include "platform/vcl/custom_control.h"

class TdxBarPopupMenu;

namespace bars {

class TCheckableButton : public TGraphicControl {
public:
    explicit TCheckableButton(TComponent* AOwner);
    std::string ClassName() const override { return "TCheckableButton"; }
    bool Down() const { return down_; }
    // Going down opens the menu below the button (and returns once it has closed).
    void SetDown(bool Value);
    TdxBarPopupMenu* PopupMenu() const { return menu_; }
    void SetPopupMenu(TdxBarPopupMenu* Value);
    bool IgnoreNextMouseDown() const { return ignoreNextMouseDown_; }
    void WndProc(TMessage& Message) override;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Paint() override;

private:
    void MenuCloseUp();

    TdxBarPopupMenu* menu_ = nullptr;
    bool down_ = false;
    bool ignoreNextMouseDown_ = false;
    bool mouseInside_ = false;
};

} // namespace bars
