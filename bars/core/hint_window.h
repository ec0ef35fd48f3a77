#pragma once
// The one small window that shows the hints of every bar of every manager. It never takes the mouse
// or the activation: the pointer passes through it to the bar below.
#include <string>

#include "platform/vcl/custom_control.h"

class TdxBarManager;

class TdxBarHintWindow : public TCustomControl {
public:
    explicit TdxBarHintWindow(TComponent* AOwner);
    std::string ClassName() const override { return "TdxBarHintWindow"; }
    // Shows Text with its top-left at the screen point Point (moved to stay in the work area), in the
    // manager's font or the system's status font, topmost and without activation.
    void ActivateHint(POINT Point, const std::string& Text, TdxBarManager* Manager);
    void WndProc(TMessage& Message) override;

    // Where a hint of the given size goes for a point: at the point; shifted left to end at the work
    // area's right edge; above the point (20 pixels more than its height) when it would pass the
    // bottom; never left of or above the work area.
    static RECT PlaceHint(POINT Point, SIZE Size, const RECT& WorkArea);

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;

private:
    void TakeFont(TdxBarManager* Manager);
};
