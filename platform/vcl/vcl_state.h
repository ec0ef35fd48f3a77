#pragma once
// The process-wide pointers of the control layer: the control under the mouse, the control holding
// the mouse capture, and who wants to hear about them.
#include <functional>

#include "platform/rtl/wintypes.h"

class TControl;
class TObject;

namespace pw::vcl {

TControl* CaptureControl();
void SetCaptureControl(TControl* Control);
TControl* MouseControl();
// Sends CM_MOUSELEAVE to the previous control and CM_MOUSEENTER to Control.
void SetMouseControl(TControl* Control);
// The application's hint handling hears each change of the control under the mouse, and each move
// of the pointer over the program's windows (screen coordinates).
void SetMouseControlObserver(std::function<void(TControl* Control)> Observer);
void SetMouseMoveObserver(std::function<void(POINT Screen)> Observer);
void MouseMoved(POINT Screen);
// Forgets every reference to a control that is being destroyed.
void ControlDestroying(TControl* Control);
// What a handler let escape goes to the application object.
void HandleDispatchException(TObject* Sender);

} // namespace pw::vcl
