#pragma once
// Shared pieces of the framed-control tests: the shared pump, a form, input.
#include <string>

#include "platform/rtl/wintypes.h"
#include "tests/support/gui/pump.h"

class TWinControl;
class TForm;

namespace controls_test {

using testsupport::Pump;
using testsupport::PumpFor;
using testsupport::PumpTimerTicks;
using testsupport::PumpUntil;
// A form with the given client size; shown by the caller.
TForm* MakeForm(int ClientWidth = 400, int ClientHeight = 300);
// A pixel of the control's window (border included), as drawn now.
COLORREF WindowPixel(TWinControl* Control, int X, int Y);
// A pixel of the control's client area, as drawn now.
COLORREF ClientPixel(TWinControl* Control, int X, int Y);
// A left click at a point of the control's window, border included.
void ClickWindow(TWinControl* Control, int X, int Y);
void Key(BYTE VK);
// Types ASCII text as key strokes.
void Type(const std::string& Text);

} // namespace controls_test
