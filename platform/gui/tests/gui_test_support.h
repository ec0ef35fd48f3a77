#pragma once
// Shared pieces of the window-system tests: the application object, a recording window class and a
// message pump that stops when nothing is left to do.
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/message_loop.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "tests/support/gui/forwarding_backend.h"
#include "tests/support/gui/pump.h"

namespace gui_test {

struct Seen {
    HWND hwnd;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

// Every message the recording class receives, in order; tests clear it.
std::vector<Seen>& Log();
std::vector<UINT> MessagesOf(HWND hwnd, std::initializer_list<UINT> interesting);
// The logged calls of one message, to any window when hwnd is null.
std::vector<Seen> SeenOf(HWND hwnd, UINT msg);

// A procedure the test can install per window through SetTestHandler; unhandled messages go to
// DefWindowProc. Returns the class name.
using Handler = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)>;
const char* RecordingClass(UINT classStyle = 0);
void SetTestHandler(HWND hwnd, Handler handler);

// Windows made by these two are destroyed when the test ends.
HWND MakeTopLevel(RECT r, DWORD style = WS_POPUP | WS_VISIBLE, DWORD exStyle = 0, UINT classStyle = 0,
                  HWND owner = nullptr);
HWND MakeChild(HWND parent, RECT r, DWORD style = WS_CHILD | WS_VISIBLE, DWORD exStyle = 0,
               UINT classStyle = 0);

using testsupport::Pump;

using testsupport::ForwardingBackend;

} // namespace gui_test
