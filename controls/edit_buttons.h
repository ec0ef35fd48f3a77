#pragma once
// Small buttons an edit carries inside its border, at its right end, stacked from top to bottom.
#include <functional>
#include <vector>

#include "platform/rtl/wintypes.h"

class TWinControl;
struct TMessage;
struct TWMNCHitMessage;
struct TWMNCHitTest;

namespace rz {

enum class EditButtonKind { Ellipsis, Up, Down };

class EditButtons {
public:
    EditButtons(TWinControl& Control, int Width, std::vector<EditButtonKind> Kinds);

    int Width() const { return width_; }
    // The button's rectangle in window coordinates (empty before the window exists).
    RECT ButtonRect(int Index) const;
    // The button under a point in screen coordinates, or -1.
    int ButtonAt(POINT Screen) const;

    // True when the message was answered here and the control must not see it.
    bool Before(TMessage& Message);
    void After(TMessage& Message);

    // A press of button Index (by mouse).
    std::function<void(int Index)> OnPress;
    // The pointer came over button Index (-1: it left every button).
    std::function<void(int Index)> OnHover;

private:
    bool Press(TWMNCHitMessage Message);
    bool Hover(int index);
    void MakeRoom(RECT* client) const;
    void HitTest(TWMNCHitTest Message) const;
    RECT Strip() const;
    void Paint();

    TWinControl& control_;
    int width_;
    std::vector<EditButtonKind> kinds_;
    int hover_ = -1;
};

} // namespace rz
