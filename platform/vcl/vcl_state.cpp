#include "platform/vcl/vcl_state.h"

#include "platform/gui/input.h"
#include "platform/vcl/application.h"
#include "platform/vcl/form.h"
#include "platform/vcl/screen.h"

namespace pw::vcl {
namespace {

TControl* captureControl = nullptr;
TControl* mouseControl = nullptr;

std::function<void(TControl*)>& Observer() {
    static std::function<void(TControl*)> observer;
    return observer;
}

} // namespace

TControl* CaptureControl() {
    return captureControl;
}

void SetCaptureControl(TControl* Control) {
    captureControl = nullptr;
    if (!Control) {
        if (GetCapture()) ReleaseCapture();
        return;
    }
    auto* win = dynamic_cast<TWinControl*>(Control);
    if (!win) win = Control->Parent();
    if (!win) return;
    SetCapture(win->Handle());
    captureControl = Control;
}

TControl* MouseControl() {
    return mouseControl;
}

void SetMouseControl(TControl* Control) {
    if (mouseControl == Control) return;
    TControl* old = mouseControl;
    mouseControl = Control;
    if (old) old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(old));
    if (Control && mouseControl == Control)
        Control->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(Control));
    if (Observer()) Observer()(mouseControl);
}

namespace {

std::function<void(POINT)>& MoveObserver() {
    static std::function<void(POINT)> observer;
    return observer;
}

} // namespace

void SetMouseMoveObserver(std::function<void(POINT Screen)> Observer_) {
    MoveObserver() = std::move(Observer_);
}

void MouseMoved(POINT Screen) {
    if (MoveObserver()) MoveObserver()(Screen);
}

void SetMouseControlObserver(std::function<void(TControl*)> Observer_) {
    Observer() = std::move(Observer_);
}

void ControlDestroying(TControl* Control) {
    if (captureControl == Control) {
        captureControl = nullptr;
        if (auto* win = dynamic_cast<TWinControl*>(Control);
            win && win->HandleAllocated() && GetCapture() == win->Handle())
            ReleaseCapture();
    }
    if (mouseControl == Control) {
        mouseControl = nullptr;
        if (Observer()) Observer()(nullptr);
    }
    for (int i = 0; i < Screen->FormCount(); ++i)
        Screen->Forms(i)->ControlRemoved(Control);
}

void HandleDispatchException(TObject* Sender) {
    Application->HandleException(Sender);
}

} // namespace pw::vcl
