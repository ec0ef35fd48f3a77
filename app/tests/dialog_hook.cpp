#include "dialog_hook.h"

#include <algorithm>

#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "platform/vcl/form.h"
#include "platform/vcl/screen.h"

namespace app_test {
namespace {

constexpr UINT kRunActs = WM_USER + 1;

} // namespace

DialogHook::DialogHook() {
    window_ = AllocateHWnd([this](TMessage& m) {
        if (m.Msg == kRunActs)
            Run();
        else
            m.Result = DefWindowProc(window_, m.Msg, m.WParam, m.LParam);
    });
    Screen->OnActiveFormChange = [this](TObject*) { ActiveFormChanged(); };
}

DialogHook::~DialogHook() {
    Screen->OnActiveFormChange = nullptr;
    DeallocateHWnd(window_);
}

void DialogHook::ActiveFormChanged() {
    TCustomForm* form = Screen->ActiveForm();
    if (!form || !form->Modal() || !form->HandleAllocated()) return;
    const HWND handle = form->Handle();
    if (std::find(seen_.begin(), seen_.end(), handle) != seen_.end()) return;
    seen_.push_back(handle);
    pending_.push_back(handle);
    PostMessage(window_, kRunActs, 0, 0);
}

void DialogHook::Run() {
    std::vector<HWND> pending;
    pending.swap(pending_);
    for (HWND handle : pending) {
        auto* form = dynamic_cast<TCustomForm*>(FindControl(handle));
        if (!form) continue;
        for (auto& act : acts_)
            if (act(*form)) {
                ++count_;
                break;
            }
    }
}

} // namespace app_test
