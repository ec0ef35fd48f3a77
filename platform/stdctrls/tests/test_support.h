#pragma once
// Shared pieces of the standard-control tests: the shared pump, a shown form and
// input driven through the window system's injection entry.
#include <string>

#include "platform/rtl/wintypes.h"
#include "tests/support/gui/pump.h"

class TControl;
class TForm;

namespace stdctrls_test {

using testsupport::Pump;
// A form at (100, 100) with the given client size, shown and active.
TForm* MakeForm(int ClientWidth = 400, int ClientHeight = 300);
// A left click at a client point of the control (with a double click when asked).
void Click(TControl* Control, int X, int Y, bool Double = false);
void ClickWith(BYTE Modifier, TControl* Control, int X, int Y);
void RightClick(TControl* Control, int X, int Y);
void Key(BYTE VK);
void KeyWith(BYTE Modifier, BYTE VK);
// Types ASCII text as key strokes.
void Type(const std::string& Text);

} // namespace stdctrls_test
