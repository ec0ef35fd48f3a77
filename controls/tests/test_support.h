#pragma once
// Shared pieces of the framed-control tests: the running application, a pump and a shown form.
#include <string>

#include "platform/rtl/wintypes.h"

class TControl;
class TForm;

namespace controls_test {

void Pump();
// Pumps for at least Milliseconds, so that timers come due.
void PumpFor(int Milliseconds);
// A form at (100, 100) with the given client size, shown.
TForm* MakeForm(int ClientWidth = 400, int ClientHeight = 300);
// A left click at a point of the control's window, border included.
void ClickWindow(TControl* Control, int X, int Y);
void Key(BYTE VK);
void Type(const std::string& Text);

} // namespace controls_test
