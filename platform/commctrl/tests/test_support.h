#pragma once
// Shared pieces of the control tests: the application object, a parent window that records the
// notifications its controls send, and helpers that drive input.
#include <string>
#include <vector>

#include "platform/commctrl/common_controls.h"
#include "platform/commctrl/std_controls.h"
#include "platform/gui/window_defs.h"

namespace commctrl_test {

struct Notice {
    HWND from = nullptr;
    UINT msg = 0; // WM_COMMAND or WM_NOTIFY
    UINT code = 0;
    // For tree notifications: the items and action they carried.
    void* itemNew = nullptr;
    void* itemOld = nullptr;
    UINT action = 0;
    std::string text;
};

// A visible top-level window at (100, 100) on the screen, whose notifications are recorded.
class Host {
public:
    explicit Host(int width = 400, int height = 300);
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;
    HWND Hwnd() const { return hwnd_; }
    HWND Add(const char* cls, const char* text, DWORD style, RECT r, DWORD exStyle = 0, int id = 1);
    std::vector<Notice>& Notices();
    std::vector<UINT> Codes(HWND from) const;
    // An answer the parent gives to one WM_NOTIFY code.
    void Answer(UINT code, LRESULT result);

private:
    HWND hwnd_;
};

void Pump();
// Client coordinates of a control to the screen, then a click there.
void Click(HWND hwnd, int x, int y, bool doubleClick = false);
void RightClick(HWND hwnd, int x, int y);
// Types UTF-8 text as key strokes with characters.
void Type(const std::string& text);
void Key(BYTE vk);
void KeyWith(BYTE modifier, BYTE vk);
std::string Text(HWND hwnd);
LRESULT Send(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

} // namespace commctrl_test
