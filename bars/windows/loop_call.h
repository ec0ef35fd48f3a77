#pragma once
#include <functional>

namespace bars {

// Runs Call from the message loop once the handler that asks for it has returned: what a click's own
// handler must not do itself (open a menu, free the window it runs in) is done there.
void CallFromLoop(std::function<void()> Call);

} // namespace bars
