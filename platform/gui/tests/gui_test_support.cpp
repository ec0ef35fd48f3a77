#include "gui_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>

#include "tests/support/gui/environment_steps.h"

namespace gui_test {
namespace {

std::map<HWND, Handler>& Handlers() {
    static std::map<HWND, Handler> handlers;
    return handlers;
}

std::vector<HWND>& Made() {
    static std::vector<HWND> made;
    return made;
}

// The windows the helpers made go when their test ends, however it ended, so that none is left for
// the next test to hit or activate.
class WindowSweeper : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override {
        Handlers().clear(); // they may refer to the ended test's locals
        for (HWND h : Made())
            if (IsWindow(h)) DestroyWindow(h);
        Made().clear();
    }
};

[[maybe_unused]] const bool sweeperAdded = testsupport::AddEnvironmentStep(
    [] { ::testing::UnitTest::GetInstance()->listeners().Append(new WindowSweeper); });

LRESULT RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Log().push_back(Seen{hwnd, msg, wParam, lParam});
    auto it = Handlers().find(hwnd);
    if (it != Handlers().end()) {
        Handler h = it->second; // the handler may replace itself
        LRESULT result = 0;
        if (h(hwnd, msg, wParam, lParam, result)) return result;
    }
    if (msg == WM_NCDESTROY) Handlers().erase(hwnd);
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

} // namespace

std::vector<Seen>& Log() {
    static std::vector<Seen> log;
    return log;
}

std::vector<UINT> MessagesOf(HWND hwnd, std::initializer_list<UINT> interesting) {
    std::vector<UINT> out;
    for (const Seen& s : Log())
        if ((!hwnd || s.hwnd == hwnd) &&
            std::find(interesting.begin(), interesting.end(), s.msg) != interesting.end())
            out.push_back(s.msg);
    return out;
}

std::vector<Seen> SeenOf(HWND hwnd, UINT msg) {
    std::vector<Seen> out;
    for (const Seen& s : Log())
        if ((!hwnd || s.hwnd == hwnd) && s.msg == msg) out.push_back(s);
    return out;
}

const char* RecordingClass(UINT classStyle) {
    static std::map<UINT, std::string> names;
    auto it = names.find(classStyle);
    if (it != names.end()) return it->second.c_str();
    std::string name = "GuiTestRecorder" + std::to_string(classStyle);
    WNDCLASS wc;
    wc.style = classStyle;
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = name.c_str();
    RegisterClass(wc);
    return names.emplace(classStyle, name).first->second.c_str();
}

void SetTestHandler(HWND hwnd, Handler handler) {
    Handlers()[hwnd] = std::move(handler);
}

HWND MakeTopLevel(RECT r, DWORD style, DWORD exStyle, UINT classStyle, HWND owner) {
    return Made().emplace_back(CreateWindowEx(exStyle, RecordingClass(classStyle), "top", style, r.left,
                                              r.top, r.right - r.left, r.bottom - r.top, owner, nullptr,
                                              nullptr, nullptr));
}

HWND MakeChild(HWND parent, RECT r, DWORD style, DWORD exStyle, UINT classStyle) {
    return Made().emplace_back(CreateWindowEx(exStyle, RecordingClass(classStyle), "child", style | WS_CHILD,
                                              r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                                              nullptr, nullptr, nullptr));
}

} // namespace gui_test
