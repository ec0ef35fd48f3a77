#include "platform/vcl/timer.h"

#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "platform/vcl/application.h"

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
    window_ = AllocateHWnd([this](TMessage& m) {
        if (m.Msg == WM_TIMER) {
            try {
                Timer();
            } catch (...) {
                Application->HandleException(this);
            }
        } else {
            m.Result = DefWindowProc(window_, m.Msg, m.WParam, m.LParam);
        }
    });
    UpdateTimer();
}

TTimer::~TTimer() {
    enabled_ = false;
    if (window_) {
        KillTimer(window_, 1);
        DeallocateHWnd(window_);
    }
}

void TTimer::SetEnabled(bool Value) {
    if (enabled_ == Value) return;
    enabled_ = Value;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned Value) {
    if (interval_ == Value) return;
    interval_ = Value;
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    if (!window_) return;
    KillTimer(window_, 1);
    if (enabled_ && interval_ != 0) SetTimer(window_, 1, interval_, nullptr);
}

void TTimer::Timer() {
    if (enabled_ && OnTimer) OnTimer(this);
}
