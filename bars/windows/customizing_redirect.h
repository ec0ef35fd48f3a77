#pragma once
// While the customizing window is open it disables the customized forms, and the window system then
// reports the mouse over them as an error hit on the form itself. The mouse hook hands such messages to
// the bar window under the pointer instead, so the bars can still be rearranged.
#include "platform/gui/input.h"

namespace bars {

// Retargets the message when it is one for a form the customizing window disabled and a bar window of
// the customized manager lies under the pointer: Info then names that bar window and its hit-test code.
// Within an MDI frame, a message for the frame over the customized MDI child counts as the child's.
bool RedirectToCustomizedBar(UINT& Msg, MOUSEHOOKSTRUCT& Info);
// Sends a retargeted message to its bar window as a client message; a press brings the customizing
// window to the front.
void DeliverRedirected(UINT Msg, const MOUSEHOOKSTRUCT& Info);

} // namespace bars
