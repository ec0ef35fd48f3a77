#pragma once
// Controls over a standard window class let the class paint them.
#include "platform/gui/messages.h"
#include "platform/vcl/win_control.h"

namespace pw::stdctrls {

// Hands WM_PAINT to the window class (the base would paint only windowless children); true when it
// was WM_PAINT.
inline bool PaintThroughClass(TWinControl& Control, TMessage& Message) {
    if (Message.Msg != WM_PAINT) return false;
    Control.DefaultHandler(Message);
    return true;
}

} // namespace pw::stdctrls
