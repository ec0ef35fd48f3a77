#include "bars/windows/loop_call.h"

#include <vector>

#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"

namespace bars {

namespace {

std::vector<void (*)()>& Calls() {
    static std::vector<void (*)()> calls;
    return calls;
}

void RunCalls() {
    std::vector<void (*)()> calls;
    calls.swap(Calls());
    for (void (*call)() : calls)
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

void CallFromLoop(void (*Call)()) {
    Calls().push_back(Call);
    PostMessage(CallWindow(), WM_USER, 0, 0);
}

} // namespace bars
