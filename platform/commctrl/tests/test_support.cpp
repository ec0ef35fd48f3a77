#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>

#include "platform/commctrl/control_views.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "platform/rtl/sync.h"
#include "platform/rtl/unicode.h"
#include "tests/support/gui/environment_steps.h"

namespace commctrl_test {
namespace {

[[maybe_unused]] const bool controlsRegistered =
    testsupport::AddEnvironmentStep([] { InitCommonControls(); });

struct HostState {
    std::vector<Notice> notices;
    std::map<UINT, LRESULT> answers;
};

std::map<HWND, HostState>& States() {
    static std::map<HWND, HostState> states;
    return states;
}

LRESULT Command(HostState& state, TWMCommand m) {
    Notice n;
    n.from = m.Ctl();
    n.msg = m.Msg;
    n.code = m.NotifyCode();
    state.notices.push_back(n);
    return 0;
}

// Tree notifications carry their items (in NMTVDISPINFO or NMTREEVIEW, by code) as well.
LRESULT Notify(HostState& state, TWMNotifyTV m) {
    const NMHDR* h = m.NMHdr();
    Notice n;
    n.from = h->hwndFrom;
    n.msg = m.Msg;
    n.code = h->code;
    char cls[32] = {};
    GetClassName(h->hwndFrom, cls, sizeof cls);
    if (std::string(cls) == WC_TREEVIEW) {
        if (h->code == TVN_BEGINLABELEDIT || h->code == TVN_ENDLABELEDIT || h->code == TVN_GETDISPINFO) {
            const NMTVDISPINFO* d = m.DispInfo();
            n.itemNew = d->item.hItem;
            if (d->item.pszText && d->item.pszText != LPSTR_TEXTCALLBACK) n.text = d->item.pszText;
        } else if (h->code != TVN_KEYDOWN && h->code != NM_CLICK && h->code != NM_DBLCLK &&
                   h->code != NM_RCLICK && h->code != NM_RETURN && h->code != NM_SETFOCUS &&
                   h->code != NM_KILLFOCUS) {
            const NMTREEVIEW* t = m.NMTreeView();
            n.itemNew = t->itemNew.hItem;
            n.itemOld = t->itemOld.hItem;
            n.action = t->action;
        }
    }
    state.notices.push_back(n);
    auto a = state.answers.find(h->code);
    return a == state.answers.end() ? 0 : a->second;
}

LRESULT HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage m{msg, wParam, lParam, 0};
    auto it = States().find(hwnd);
    if (it == States().end()) return DefWindowProc(hwnd, m);
    switch (msg) {
    case WM_COMMAND:
        return Command(it->second, TWMCommand(m));
    case WM_NOTIFY:
        return Notify(it->second, TWMNotifyTV(m));
    default:
        return DefWindowProc(hwnd, m);
    }
}

const char* HostClass() {
    static bool registered = false;
    if (!registered) {
        WNDCLASS wc;
        wc.lpfnWndProc = HostProc;
        wc.lpszClassName = "CommctrlTestHost";
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(15 + 1));
        RegisterClass(wc);
        registered = true;
    }
    return "CommctrlTestHost";
}

} // namespace

Host::Host(int width, int height) {
    hwnd_ = CreateWindowEx(0, HostClass(), "host", WS_POPUP | WS_VISIBLE, 100, 100, width, height, nullptr,
                           nullptr, nullptr, nullptr);
    States()[hwnd_] = HostState{};
    SetActiveWindow(hwnd_);
    Pump();
}

Host::~Host() {
    DestroyWindow(hwnd_);
    States().erase(hwnd_);
    pw::gui::ClearKeyState();
    Pump();
}

HWND Host::Add(const char* cls, const char* text, DWORD style, RECT r, DWORD exStyle, int id) {
    HWND h = CreateWindowEx(exStyle, cls, text, style | WS_CHILD | WS_VISIBLE, r.left, r.top,
                            r.right - r.left, r.bottom - r.top, hwnd_,
                            reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), nullptr, nullptr);
    Pump();
    return h;
}

std::vector<Notice>& Host::Notices() {
    return States()[hwnd_].notices;
}

std::vector<UINT> Host::Codes(HWND from) const {
    std::vector<UINT> out;
    for (const Notice& n : States()[hwnd_].notices)
        if (!from || n.from == from) out.push_back(n.code);
    return out;
}

std::vector<UINT> Host::Codes(HWND from, std::initializer_list<UINT> only) const {
    std::vector<UINT> out;
    for (UINT code : Codes(from))
        if (std::find(only.begin(), only.end(), code) != only.end()) out.push_back(code);
    return out;
}

void Host::Answer(UINT code, LRESULT result) {
    States()[hwnd_].answers[code] = result;
}

ScopedDoubleClickTime::ScopedDoubleClickTime(UINT milliseconds) : old_(GetDoubleClickTime()) {
    SetDoubleClickTime(milliseconds);
}

ScopedDoubleClickTime::~ScopedDoubleClickTime() {
    SetDoubleClickTime(old_);
}

ScopedCaretBlinkTime::ScopedCaretBlinkTime(UINT milliseconds) : old_(GetCaretBlinkTime()) {
    SetCaretBlinkTime(milliseconds);
}

ScopedCaretBlinkTime::~ScopedCaretBlinkTime() {
    SetCaretBlinkTime(old_);
}

void LetDoubleClickTimePass() {
    Sleep(GetDoubleClickTime() + 2); // clicks are timed in whole milliseconds
}

void Click(HWND hwnd, int x, int y, bool doubleClick) {
    POINT p{x, y};
    ClientToScreen(hwnd, p);
    pw::gui::SimulateClick(p);
    if (doubleClick) pw::gui::SimulateClick(p);
    Pump();
}

void RightClick(HWND hwnd, int x, int y) {
    POINT p{x, y};
    ClientToScreen(hwnd, p);
    pw::gui::SimulateClick(p, pw::gui::MouseButton::Right);
    Pump();
}

void ClickWith(BYTE modifier, HWND hwnd, int x, int y) {
    pw::gui::SetKeyDown(modifier, true);
    Click(hwnd, x, y);
    pw::gui::SetKeyDown(modifier, false);
}

void Drag(HWND hwnd, POINT from, POINT to) {
    ClientToScreen(hwnd, from);
    ClientToScreen(hwnd, to);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Down, from, pw::gui::MouseButton::Left);
    Pump();
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, to);
    Pump();
    pw::gui::SimulateMouse(pw::gui::MouseAction::Up, to, pw::gui::MouseButton::Left);
    Pump();
}

void Type(const std::string& text) {
    const std::u16string wide = Utf8ToUtf16(text);
    for (size_t i = 0; i < wide.size(); ++i) {
        char32_t c = wide[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < wide.size())
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[++i] - 0xDC00);
        const BYTE vk =
            (c >= 'a' && c <= 'z') ? static_cast<BYTE>(c - 32) : (c < 0x80 ? static_cast<BYTE>(c) : 0xE5);
        pw::gui::SimulateKey(vk, true, c);
        pw::gui::SimulateKey(vk, false);
    }
    Pump();
}

void Key(BYTE vk) {
    pw::gui::SimulateKey(vk, true);
    pw::gui::SimulateKey(vk, false);
    Pump();
}

void KeyWith(BYTE modifier, BYTE vk) {
    pw::gui::SimulateKey(modifier, true);
    pw::gui::SimulateKey(vk, true);
    pw::gui::SimulateKey(vk, false);
    pw::gui::SimulateKey(modifier, false);
    Pump();
}

void KeyWhileHeld(BYTE modifier, BYTE vk, int times) {
    pw::gui::SetKeyDown(modifier, true);
    for (int i = 0; i < times; ++i)
        Key(vk);
    pw::gui::SetKeyDown(modifier, false);
}

std::string Text(HWND hwnd) {
    return GetWindowText(hwnd);
}

LRESULT Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return SendMessage(hwnd, msg, wParam, lParam);
}

HTREEITEM Insert(HWND tree, HTREEITEM parent, const char* text, HTREEITEM after, LPARAM data, int image,
                 int selectedImage) {
    TVINSERTSTRUCT in;
    in.hParent = parent;
    in.hInsertAfter = after;
    in.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    in.item.pszText = const_cast<char*>(text);
    in.item.lParam = data;
    in.item.iImage = image;
    in.item.iSelectedImage = selectedImage;
    return reinterpret_cast<HTREEITEM>(Send(tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&in)));
}

SCROLLINFO ScrollInfo(HWND hwnd, int bar) {
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    EXPECT_TRUE(GetScrollInfo(hwnd, bar, si));
    return si;
}

} // namespace commctrl_test
