#include "bars/windows/loop_call.h"

#include <utility>
#include <vector>

#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"

namespace bars {

namespace {

// The calls waiting for the GUI thread's loop, whichever window asked, and the window that runs them.
std::vector<std::function<void()>>& Calls() {
    static std::vector<std::function<void()>> calls;
    return calls;
}

void RunCalls() {
    std::vector<std::function<void()>> calls;
    calls.swap(Calls());
    for (const std::function<void()>& call : calls)
        call();
}

HWND CallWindow() {
    static HWND window = nullptr;
    if (window == nullptr || !IsWindow(window))
        window = AllocateHWnd([](TMessage& m) {
            if (m.Msg == WM_USER) RunCalls();
        });
    return window;
}

} // namespace

void CallFromLoop(std::function<void()> Call) {
    Calls().push_back(std::move(Call));
    PostMessage(CallWindow(), WM_USER, 0, 0);
}

} // namespace bars
