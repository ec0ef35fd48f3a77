#include "platform/gui/input.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "platform/gdi/metrics.h"
#include "platform/gui/backend.h"
#include "platform/gui/gui_state.h"
#include "platform/gui/keys.h"
#include "platform/gui/mdi.h"
#include "platform/gui/message_views.h"
#include "platform/gui/system.h"
#include "platform/rtl/scope_guard.h"

namespace pw::gui {
namespace {

struct InputState {
    HWND capture = nullptr;
    HWND focus = nullptr;
    HWND active = nullptr;
    // The window a disabled one's activation was passed on to, until the toolkit reports it again.
    HWND passedOnTo = nullptr;
    // While the desktop's activation of a disabled window is handled, the window active before it.
    HWND activeBeforeDetour = nullptr;
    bool appActive = false;
    std::array<BYTE, 256> keys{};
    POINT cursor;
    // The last button press, for double clicks.
    HWND clickWindow = nullptr;
    UINT clickMessage = 0;
    DWORD clickTime = 0;
    POINT clickPos;
    bool clickWasDouble = false;
    // Mouse tracking (TrackMouseEvent).
    HWND tracked = nullptr;
    DWORD trackFlags = 0;
    DWORD hoverTime = 0;
    POINT hoverOrigin;
    UINT_PTR hoverTimer = 0;
};

InputState& S() {
    static InputState state;
    return state;
}

WPARAM MouseKeys() {
    auto& k = S().keys;
    WPARAM f = 0;
    if (k[VK_LBUTTON] & 0x80) f |= MK_LBUTTON;
    if (k[VK_RBUTTON] & 0x80) f |= MK_RBUTTON;
    if (k[VK_MBUTTON] & 0x80) f |= MK_MBUTTON;
    if (k[VK_SHIFT] & 0x80) f |= MK_SHIFT;
    if (k[VK_CONTROL] & 0x80) f |= MK_CONTROL;
    return f;
}

void Post(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, DWORD character = 0) {
    auto w = FindLiveWindow(hwnd);
    if (!w) return;
    Guard g(Lock());
    auto keys = std::make_shared<const KeyStates>(S().keys);
    w->queue->posted.push_back(
        QueuedMessage{MSG{hwnd, msg, wParam, lParam, Now(), S().cursor, character}, keys});
    Signal(*w->queue);
}

UINT ButtonMessage(MouseButton b, MouseAction a) {
    UINT base = b == MouseButton::Left    ? WM_LBUTTONDOWN
                : b == MouseButton::Right ? WM_RBUTTONDOWN
                                          : WM_MBUTTONDOWN;
    return a == MouseAction::Down ? base : base + 1;
}

BYTE ButtonKey(MouseButton b) {
    return b == MouseButton::Left ? VK_LBUTTON : b == MouseButton::Right ? VK_RBUTTON : VK_MBUTTON;
}

void SetKey(BYTE vk, bool down) {
    auto& k = S().keys;
    if (down && !(k[vk] & 0x80)) k[vk] ^= 0x01;
    k[vk] = static_cast<BYTE>((k[vk] & 0x01) | (down ? 0x80 : 0));
}

// The generic Shift, Ctrl and Alt keys follow their left and right keys.
void SyncGenericKeys() {
    auto& k = S().keys;
    auto merge = [&](BYTE generic, BYTE left, BYTE right) {
        if ((k[left] | k[right]) & 0x80) k[generic] |= 0x80;
    };
    merge(VK_SHIFT, VK_LSHIFT, VK_RSHIFT);
    merge(VK_CONTROL, VK_LCONTROL, VK_RCONTROL);
    merge(VK_MENU, VK_LMENU, VK_RMENU);
}

// A key released while the keyboard was elsewhere (another program, a dialog of the toolkit) is never
// reported to us.
void ForgetHeldKeys() {
    for (BYTE& key : S().keys)
        key &= 0x01;
}

// The toolkit knows which modifiers are really held: a release we never saw does not leave one down.
void FollowModifiers(int modifiers) {
    struct Modifier {
        int bit;
        BYTE generic, left, right;
    };
    static constexpr Modifier kModifiers[] = {{kModifierShift, VK_SHIFT, VK_LSHIFT, VK_RSHIFT},
                                              {kModifierCtrl, VK_CONTROL, VK_LCONTROL, VK_RCONTROL},
                                              {kModifierAlt, VK_MENU, VK_LMENU, VK_RMENU}};
    auto& k = S().keys;
    for (const Modifier& m : kModifiers) {
        const bool held = (modifiers & m.bit) != 0;
        if (held == ((k[m.generic] & 0x80) != 0)) continue;
        SetKey(m.generic, held);
        if (!held) {
            SetKey(m.left, false);
            SetKey(m.right, false);
        }
    }
}

bool IsModifierKey(BYTE vk) {
    return vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU || (vk >= VK_LSHIFT && vk <= VK_RMENU);
}

void CancelTracking() {
    auto& s = S();
    if (s.hoverTimer) ::KillTimer(nullptr, s.hoverTimer);
    s.hoverTimer = 0;
    s.tracked = nullptr;
    s.trackFlags = 0;
}

void HoverProc(HWND, UINT, UINT_PTR id, DWORD) {
    auto& s = S();
    ::KillTimer(nullptr, id);
    if (id != s.hoverTimer) return;
    s.hoverTimer = 0;
    if (!s.tracked || !(s.trackFlags & TME_HOVER)) return;
    s.trackFlags &= ~TME_HOVER;
    POINT p = s.cursor;
    ::ScreenToClient(s.tracked, p);
    Post(s.tracked, WM_MOUSEHOVER, MouseKeys(), PackPoint(p));
}

void StartHoverTimer() {
    auto& s = S();
    if (s.hoverTimer) ::KillTimer(nullptr, s.hoverTimer);
    s.hoverOrigin = s.cursor;
    s.hoverTimer = ::SetTimer(nullptr, 0, s.hoverTime, HoverProc);
}

// Mouse tracking follows the window under the pointer, whoever holds the capture.
void UpdateTracking(HWND under, LRESULT hit) {
    auto& s = S();
    if (!s.tracked) return;
    bool nonClient = (s.trackFlags & TME_NONCLIENT) != 0;
    bool inside = under == s.tracked && (nonClient ? hit != HTCLIENT : hit == HTCLIENT);
    if (!inside) {
        HWND left = s.tracked;
        if (s.trackFlags & TME_LEAVE)
            Post(left, nonClient ? 0x02A2 /* WM_NCMOUSELEAVE */ : WM_MOUSELEAVE, 0, 0);
        CancelTracking();
        return;
    }
    if ((s.trackFlags & TME_HOVER) &&
        (std::abs(s.cursor.x - s.hoverOrigin.x) > 2 || std::abs(s.cursor.y - s.hoverOrigin.y) > 2))
        StartHoverTimer();
}

void SendActivation(HWND oldActive, HWND newActive, WORD how) {
    auto& s = S();
    if (oldActive && FindLiveWindow(oldActive)) {
        SendMessage(oldActive, WM_NCACTIVATE, FALSE_, 0);
        SendMessage(oldActive, WM_ACTIVATE, MAKELPARAM(WA_INACTIVE, IsIconic(oldActive) ? 1 : 0),
                    reinterpret_cast<LPARAM>(newActive));
    }
    if (!s.appActive && newActive) {
        s.appActive = true;
        std::vector<HWND> tops;
        {
            Guard g(Lock());
            tops = TopLevelOrder();
        }
        for (HWND h : tops)
            SendMessage(h, WM_ACTIVATEAPP, TRUE_, 0);
    }
    if (newActive && FindLiveWindow(newActive)) {
        SendMessage(newActive, WM_NCACTIVATE, TRUE_, 0);
        SendMessage(newActive, WM_ACTIVATE, MAKELPARAM(how, IsIconic(newActive) ? 1 : 0),
                    reinterpret_cast<LPARAM>(oldActive));
    }
}

// As on Win32, the unowned window at the top of the owners keeps which of its family was last active.
void RecordLastActive(HWND hwnd) {
    Guard g(Lock());
    auto top = FindLiveWindow(hwnd);
    while (top && top->owner)
        if (auto owner = FindLiveWindow(top->owner))
            top = owner;
        else
            break;
    if (top) top->lastActivePopup = hwnd;
}

// fromToolkit: the toolkit already made the change on screen; it is not asked again, so its late
// reports of earlier requests cannot start a ping-pong.
HWND Activate(HWND hwnd, WORD how, bool fromToolkit = false) {
    auto& s = S();
    HWND root = hwnd ? RootOf(hwnd) : nullptr;
    if (hwnd && !root) return nullptr;
    HWND old = s.active;
    if (old == root) return old;
    if (root != s.passedOnTo) s.passedOnTo = nullptr;
    if (s.focus && (s.focus == old || ::IsChild(old, s.focus))) {
        HWND f = s.focus;
        if (auto w = FindLiveWindow(old)) {
            Guard g(Lock());
            w->lastFocus = f;
        }
        s.focus = nullptr;
        SendMessage(f, WM_KILLFOCUS, 0, 0);
    }
    s.active = root;
    // A disabled window is active only until it passes the activation on.
    if (root && ::IsWindowEnabled(root)) RecordLastActive(root);
    // The window that becomes active comes to the front, as on Win32; one that gets back the activation
    // the desktop took from it in passing (see InjectActivation) keeps its place among ours.
    const bool toFront = root != nullptr && root != s.activeBeforeDetour;
    if (toFront) ::SetWindowPos(root, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (root && !fromToolkit) {
        auto w = FindLiveWindow(root);
        if (w && w->host) w->host->SetVisible(w->Visible() && !w->minimized, true);
        // The window manager brings the window it activates to the front: it goes back behind ours.
        if (!toFront) KeepStackedBehind(root);
    }
    SendActivation(old, root, how);
    return old;
}

void SendFocusChange(HWND oldFocus, HWND newFocus) {
    if (oldFocus && FindLiveWindow(oldFocus))
        SendMessage(oldFocus, WM_KILLFOCUS, reinterpret_cast<WPARAM>(newFocus), 0);
    if (newFocus && FindLiveWindow(newFocus) && S().focus == newFocus)
        SendMessage(newFocus, WM_SETFOCUS, reinterpret_cast<WPARAM>(oldFocus), 0);
}

// The window that should become active when `leaving` can no longer be: its owner, else the first
// visible top-level window that takes activation.
HWND NextActivatable(HWND leaving) {
    Guard g(Lock());
    if (auto w = FindWindow(leaving);
        w && w->owner && ::IsWindowVisible(w->owner) && ::IsWindowEnabled(w->owner))
        return w->owner;
    for (HWND h : TopLevelOrder()) {
        auto o = FindLiveWindow(h);
        if (h == leaving || !o || !o->Visible() || o->minimized || (o->exStyle & WS_EX_NOACTIVATE) ||
            (o->style & WS_DISABLED) || o->messageOnly)
            continue;
        return h;
    }
    return nullptr;
}

// The window that takes the activation the desktop gave to a disabled top-level window: the one of its
// family last active, else the frontmost window it owns, directly or not, that can take it.
HWND EnabledPopupOf(HWND disabled) {
    Guard g(Lock());
    auto takes = [disabled](HWND h) {
        auto w = h != disabled ? FindLiveWindow(h) : nullptr;
        return w && !w->IsChild() && w->Visible() && !w->minimized && !(w->style & WS_DISABLED) &&
               !(w->exStyle & WS_EX_NOACTIVATE) && !w->messageOnly;
    };
    if (HWND last = ::GetLastActivePopup(::GetAncestor(disabled, GA_ROOTOWNER)); takes(last)) return last;
    auto ownedBy = [disabled](HWND h) {
        for (auto w = FindLiveWindow(h); w && w->owner; w = FindLiveWindow(w->owner))
            if (w->owner == disabled) return true;
        return false;
    };
    for (HWND h : TopLevelOrder())
        if (takes(h) && ownedBy(h)) return h;
    return nullptr;
}

// A window that sets no focus of its own as it is activated gets back the one it had.
void RestoreFocus(HWND hwnd) {
    auto& s = S();
    if (s.focus && s.focus != hwnd) return;
    HWND last = nullptr;
    if (auto w = FindLiveWindow(hwnd)) {
        Guard g(Lock());
        last = w->lastFocus;
    }
    if (last && ::IsChild(hwnd, last) && ::IsWindowVisible(last)) ::SetFocus(last);
    if (!s.focus) ::SetFocus(hwnd);
}

// The outermost disabled window among hwnd and its parents: the mouse over it is that window's, with
// an error hit, and never reaches the windows inside it.
HWND DisabledHolder(HWND hwnd) {
    Guard g(Lock());
    HWND holder = nullptr;
    for (auto w = FindLiveWindow(hwnd); w; w = w->IsChild() ? FindLiveWindow(w->parent) : nullptr)
        if (w->style & WS_DISABLED) holder = w->handle;
    return holder;
}

} // namespace

void OnWindowDestroyedInput(HWND hwnd) {
    auto& s = S();
    if (s.capture && (s.capture == hwnd || ::IsChild(hwnd, s.capture))) ::ReleaseCapture();
    OnWindowHiddenInput(hwnd);
}

void OnWindowHiddenInput(HWND hwnd) {
    auto& s = S();
    if (s.focus && (s.focus == hwnd || ::IsChild(hwnd, s.focus))) {
        auto w = FindWindow(hwnd);
        HWND parent = w && w->IsChild() ? w->parent : nullptr;
        ::SetFocus(parent && ::IsWindowVisible(parent) ? parent : nullptr);
    }
    if (s.active == hwnd) {
        HWND next = NextActivatable(hwnd);
        Activate(next, WA_ACTIVE);
        if (next && !s.focus) ::SetFocus(next);
    }
    if (s.tracked == hwnd || (s.tracked && ::IsChild(hwnd, s.tracked))) CancelTracking();
    if (s.clickWindow == hwnd) s.clickWindow = nullptr;
}

void ActivateOnShow(HWND hwnd) {
    auto w = FindLiveWindow(hwnd);
    if (!w || w->IsChild() || (w->exStyle & WS_EX_NOACTIVATE) || (w->style & WS_DISABLED) || w->messageOnly)
        return;
    if (S().active != hwnd) {
        Activate(hwnd, WA_ACTIVE);
        if (!S().focus && S().active == hwnd) ::SetFocus(hwnd);
    }
}

void InjectMouse(const MouseInput& in) {
    auto& s = S();
    {
        Guard g(Lock()); // other threads read the cursor when they post
        s.cursor = in.screen;
    }
    if (in.action == MouseAction::Down || in.action == MouseAction::Up)
        SetKey(ButtonKey(in.button), in.action == MouseAction::Down);
    // The desktop brings whatever is clicked to the front; one that never activates keeps its place among
    // ours (a floating toolbar stays behind the dialog its owner opened).
    if (in.action == MouseAction::Down && in.host) {
        auto clicked = FindLiveWindow(in.host);
        if (clicked && !clicked->IsChild() && (clicked->exStyle & WS_EX_NOACTIVATE))
            KeepStackedBehind(in.host);
    }

    HWND under = WindowFromPoint(in.screen);
    LRESULT underHit = under ? SendMessage(under, WM_NCHITTEST, 0, PackPoint(in.screen)) : HTNOWHERE;

    if (in.action == MouseAction::Wheel) {
        HWND target = s.focus ? s.focus : s.active;
        if (!target) return;
        MOUSEHOOKSTRUCT mh{in.screen, target, static_cast<UINT>(HTCLIENT), 0};
        if (RunHooks(WH_MOUSE, HC_ACTION, WM_MOUSEWHEEL, reinterpret_cast<LPARAM>(&mh))) return;
        Post(
            target, WM_MOUSEWHEEL,
            static_cast<WPARAM>(MAKELPARAM(static_cast<WORD>(MouseKeys()), static_cast<WORD>(in.wheelDelta))),
            PackPoint(in.screen));
        return;
    }

    HWND target = s.capture ? s.capture : under;
    LRESULT hit = s.capture ? HTCLIENT : underHit;
    UpdateTracking(under, underHit);
    // Over a disabled window the mouse hooks still see the message, as a non-client one with an error
    // hit, and may act on it (the bars being customized on a disabled form are worked this way); the
    // window and its children get nothing.
    const HWND disabled = s.capture ? nullptr : DisabledHolder(under);
    if (disabled) {
        target = disabled;
        hit = HTERROR;
    }
    if (!target || !FindLiveWindow(target)) return;

    UINT msg = in.action == MouseAction::Move ? WM_MOUSEMOVE : ButtonMessage(in.button, in.action);

    if (in.action == MouseAction::Down) {
        bool dbl = false;
        auto w = FindLiveWindow(target);
        bool wantsDouble = hit != HTCLIENT || (w && w->cls && (w->cls->style & CS_DBLCLKS));
        DWORD now = Now();
        if (wantsDouble && !s.clickWasDouble && s.clickWindow == target && s.clickMessage == msg &&
            now - s.clickTime <= ::GetDoubleClickTime() &&
            std::abs(in.screen.x - s.clickPos.x) <= ::GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
            std::abs(in.screen.y - s.clickPos.y) <= ::GetSystemMetrics(SM_CYDOUBLECLK) / 2)
            dbl = true;
        s.clickWindow = target;
        s.clickMessage = msg;
        s.clickTime = now;
        s.clickPos = in.screen;
        s.clickWasDouble = dbl;
        if (dbl) msg += 2;
    }
    bool client = hit == HTCLIENT;
    UINT posted = client ? msg : msg - (WM_MOUSEMOVE - WM_NCMOUSEMOVE);

    MOUSEHOOKSTRUCT mh{in.screen, target, static_cast<UINT>(hit), 0};
    if (RunHooks(WH_MOUSE, HC_ACTION, posted, reinterpret_cast<LPARAM>(&mh))) return;
    if (disabled) {
        if (in.action == MouseAction::Down && FindLiveWindow(target))
            SendMessage(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                        MAKELPARAM(static_cast<WORD>(HTERROR), static_cast<WORD>(msg)));
        return;
    }

    if (!s.capture) {
        SendMessage(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                    MAKELPARAM(static_cast<WORD>(hit), static_cast<WORD>(msg)));
        if (!FindLiveWindow(target)) return;
    }

    if (in.action == MouseAction::Down) {
        HWND root = RootOf(target);
        auto rw = FindLiveWindow(root);
        if (rw && root != s.active && !(rw->exStyle & WS_EX_NOACTIVATE)) {
            LRESULT ma = SendMessage(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(root),
                                     MAKELPARAM(static_cast<WORD>(hit), static_cast<WORD>(msg)));
            if (ma == MA_ACTIVATE || ma == MA_ACTIVATEANDEAT || ma == 0) {
                Activate(root, WA_CLICKACTIVE);
                if (!s.focus && s.active == root) ::SetFocus(root);
            }
            if (ma == MA_ACTIVATEANDEAT || ma == MA_NOACTIVATEANDEAT) return;
            if (!FindLiveWindow(target)) return;
        }
        // A press inside an MDI child that is not the active one of its client activates it.
        ActivateMDIChildOf(target);
        if (!FindLiveWindow(target)) return;
    }

    if (client) {
        POINT p = in.screen;
        ::ScreenToClient(target, p);
        Post(target, posted, MouseKeys(), PackPoint(p));
    } else {
        Post(target, posted, static_cast<WPARAM>(hit), PackPoint(in.screen));
    }
}

void InjectKey(const KeyInput& in) {
    auto& s = S();
    if (in.modifiers >= 0 && !IsModifierKey(in.vk)) FollowModifiers(in.modifiers);
    bool wasDown = (s.keys[in.vk] & 0x80) != 0;
    SetKey(in.vk, in.down);
    if (in.vk == VK_LSHIFT || in.vk == VK_RSHIFT || in.vk == VK_LCONTROL || in.vk == VK_RCONTROL ||
        in.vk == VK_LMENU || in.vk == VK_RMENU)
        SyncGenericKeys();
    bool alt = (s.keys[VK_MENU] & 0x80) != 0;
    bool ctrl = (s.keys[VK_CONTROL] & 0x80) != 0;
    HWND target = s.focus ? s.focus : s.active;
    if (!target) return;
    bool sys = (alt && !ctrl) || in.vk == VK_F10 || in.vk == VK_MENU || !s.focus;
    UINT msg = in.down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    UINT scan = ::MapVirtualKey(in.vk, MAPVK_VK_TO_VSC);
    bool extended = in.vk == VK_INSERT || in.vk == VK_DELETE || in.vk == VK_HOME || in.vk == VK_END ||
                    in.vk == VK_PRIOR || in.vk == VK_NEXT || (in.vk >= VK_LEFT && in.vk <= VK_DOWN) ||
                    in.vk == VK_RCONTROL || in.vk == VK_RMENU || in.vk == VK_DIVIDE || in.vk == VK_APPS;
    uint32_t data = 1u | (scan & 0xFF) << 16 | (extended ? 1u << 24 : 0) | (alt ? 1u << 29 : 0) |
                    ((in.down ? (wasDown || in.autoRepeat) : true) ? 1u << 30 : 0) | (in.down ? 0 : 1u << 31);
    const LPARAM keyData = static_cast<LPARAM>(static_cast<int32_t>(data));
    {
        // The hook sees the key as it is taken from the queue: GetKeyState and GetKeyboardState
        // already count it, so a release of Alt finds Alt up.
        auto q = CurrentQueue();
        Guard g(Lock());
        q->syncKeys = s.keys;
        q->haveSyncKeys = true;
    }
    if (RunHooks(WH_KEYBOARD, HC_ACTION, in.vk, keyData)) return;
    Post(target, msg, in.vk, keyData, in.down ? static_cast<DWORD>(in.text) : 0);
}

void InjectText(const std::u32string& text) {
    auto& s = S();
    HWND target = s.focus;
    if (!target) return;
    for (char32_t c : text)
        Post(target, WM_CHAR, static_cast<WPARAM>(c), 1);
}

void InjectMouseExit() {
    UpdateTracking(nullptr, HTNOWHERE);
}

void InjectMouseExit(POINT screen) {
    {
        Guard g(Lock());
        S().cursor = screen;
    }
    InjectMouseExit();
}

void InjectCaptureLost() {
    if (S().capture) ::ReleaseCapture();
}

void InjectClose(HWND hwnd) {
    if (FindLiveWindow(hwnd)) Post(hwnd, WM_SYSCOMMAND, SC_CLOSE, PackPoint(S().cursor));
}

void InjectActivation(HWND hwnd, bool active) {
    auto& s = S();
    if (active) {
        s.passedOnTo = nullptr;
        auto w = FindLiveWindow(hwnd);
        if (!w || (w->exStyle & WS_EX_NOACTIVATE) || s.active == hwnd) return;
        // The desktop activates whatever is clicked, a window a modal dialog disabled too: as on Win32 the
        // activation goes on to the window of its own that can take the keyboard, which comes to the
        // front and gets back its focus. It is passed on once, after the disabled window's own messages
        // (whose handlers may have passed it on already), and the toolkit is asked for it. Given back to
        // the window that had it, that one keeps its place among ours: the window manager also gives a
        // disabled window the focus in passing (as a dialog over it closes), and a toolbar shown in front
        // of the active window meanwhile stays in front of it.
        const TemporaryChange<HWND> detour(s.activeBeforeDetour,
                                           ::IsWindowEnabled(hwnd) ? s.activeBeforeDetour : s.active);
        Activate(hwnd, WA_ACTIVE, true);
        if (!s.focus && s.active == hwnd) ::SetFocus(hwnd);
        if (!FindLiveWindow(hwnd) || ::IsWindowEnabled(hwnd)) return;
        if (s.active == hwnd) {
            const HWND popup = EnabledPopupOf(hwnd);
            if (!popup) return;
            Activate(popup, WA_ACTIVE);
            if (s.active != popup) return;
            RestoreFocus(popup);
        }
        // The toolkit tells of the window it took the activation from only after this report: that one
        // is about the time before and goes no further.
        s.passedOnTo = s.active;
    } else if (hwnd == s.passedOnTo) {
        s.passedOnTo = nullptr;
    } else if (s.active == hwnd) {
        ForgetHeldKeys();
        Activate(nullptr, WA_INACTIVE, true);
    }
}

void InjectAppActivation(bool active) {
    auto& s = S();
    if (s.appActive == active) return;
    if (!active) {
        ForgetHeldKeys();
        Activate(nullptr, WA_INACTIVE);
    }
    s.appActive = active;
    std::vector<HWND> tops;
    {
        Guard g(Lock());
        tops = TopLevelOrder();
    }
    for (HWND h : tops)
        SendMessage(h, WM_ACTIVATEAPP, active ? TRUE_ : FALSE_, 0);
}

void SimulateMouse(MouseAction action, POINT screen, MouseButton button, int wheel) {
    InjectMouse(MouseInput{action, button, screen, wheel, nullptr});
}

void SimulateClick(POINT screen, MouseButton button) {
    SimulateMouse(MouseAction::Move, screen);
    SimulateMouse(MouseAction::Down, screen, button);
    SimulateMouse(MouseAction::Up, screen, button);
}

void SimulateKey(BYTE vk, bool down, char32_t text) {
    const KeyInput in{vk, down, false, text, nullptr};
    // Through the toolkit's key events where it shows the window, as a key from the keyboard comes.
    if (Backend* backend = CurrentBackend(); backend && IsGuiThread() && backend->DeliverKey(in)) return;
    InjectKey(in);
}

void SimulateText(const std::u32string& text) {
    InjectText(text);
}

void SimulateKeyStroke(BYTE vk) {
    bool shift = (S().keys[VK_SHIFT] & 0x80) != 0;
    bool ctrl = (S().keys[VK_CONTROL] & 0x80) != 0;
    char32_t c = CharFromVirtualKey(vk, shift);
    if (ctrl && c >= U'@' && c <= U'_')
        c -= U'@';
    else if (ctrl && c >= U'a' && c <= U'z')
        c -= U'`';
    SimulateKey(vk, true, c);
    SimulateKey(vk, false);
}

void SetKeyDown(BYTE vk, bool down) {
    SetKey(vk, down);
    auto q = CurrentQueue();
    Guard g(Lock());
    q->syncKeys = S().keys;
    q->haveSyncKeys = true;
}

void ClearKeyState() {
    S().keys.fill(0);
    auto q = CurrentQueue();
    Guard g(Lock());
    q->syncKeys.fill(0);
}

} // namespace pw::gui

using namespace pw::gui;

HWND SetCapture(HWND hwnd) {
    auto& s = S();
    if (hwnd && !FindLiveWindow(hwnd)) return nullptr;
    HWND old = s.capture;
    s.capture = hwnd;
    HoldPointer(hwnd != nullptr);
    if (old && old != hwnd) SendMessage(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return old;
}

BOOL ReleaseCapture() {
    auto& s = S();
    HWND old = s.capture;
    s.capture = nullptr;
    HoldPointer(false);
    if (old) SendMessage(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE_;
}

HWND GetCapture() {
    auto& s = S();
    if (s.capture && !FindLiveWindow(s.capture)) {
        s.capture = nullptr;
        HoldPointer(false);
    }
    return s.capture;
}

namespace {

bool InDisabledWindow(HWND hwnd) {
    Guard g(Lock());
    for (auto w = FindWindow(hwnd); w; w = w->IsChild() ? FindWindow(w->parent) : nullptr)
        if (w->style & WS_DISABLED) return true;
    return false;
}

} // namespace

HWND SetFocus(HWND hwnd) {
    auto& s = S();
    HWND old = s.focus;
    if (old && !FindLiveWindow(old)) old = s.focus = nullptr;
    if (!hwnd) {
        s.focus = nullptr;
        SendFocusChange(old, nullptr);
        return old;
    }
    auto w = FindLiveWindow(hwnd);
    if (!w || w->messageOnly || (w->queue->threadId != GetCurrentThreadId())) return nullptr;
    if (old == hwnd) return old;
    // A window that is disabled, or inside a disabled one, takes no keyboard (and activates nothing).
    if (InDisabledWindow(hwnd)) return nullptr;
    HWND root = RootOf(hwnd);
    if (root != s.active) {
        Activate(root, WA_ACTIVE);
        if (s.active != root) return nullptr;
        old = s.focus;
    }
    s.focus = hwnd;
    SendFocusChange(old, hwnd);
    return old;
}

HWND GetFocus() {
    auto& s = S();
    if (s.focus && !FindLiveWindow(s.focus)) s.focus = nullptr;
    return s.focus;
}

HWND SetActiveWindow(HWND hwnd) {
    if (hwnd && !FindLiveWindow(hwnd)) return nullptr;
    HWND old = Activate(hwnd, WA_ACTIVE);
    if (hwnd && !S().focus && S().active == RootOf(hwnd)) ::SetFocus(RootOf(hwnd));
    return old;
}

HWND GetLastActivePopup(HWND hwnd) {
    Guard g(Lock());
    auto w = FindLiveWindow(hwnd);
    if (!w) return nullptr;
    if (w->IsChild() || w->owner || !FindLiveWindow(w->lastActivePopup)) return hwnd;
    return w->lastActivePopup;
}

HWND GetActiveWindow() {
    auto& s = S();
    if (s.active && !FindLiveWindow(s.active)) s.active = nullptr;
    return s.active;
}

HWND GetForegroundWindow() {
    return GetActiveWindow();
}

BOOL SetForegroundWindow(HWND hwnd) {
    if (!FindLiveWindow(hwnd)) return FALSE_;
    SetActiveWindow(hwnd);
    return TRUE_;
}

SHORT GetKeyState(int vk) {
    if (vk < 0 || vk > 255) return 0;
    // The state as of the input message last taken from this thread's queue.
    BYTE k;
    {
        auto q = CurrentQueue();
        Guard g(Lock());
        k = (q->haveSyncKeys ? q->syncKeys : S().keys)[static_cast<size_t>(vk)];
    }
    return static_cast<SHORT>(((k & 0x80) ? 0x8000 : 0) | (k & 0x01));
}

SHORT GetAsyncKeyState(int vk) {
    if (vk < 0 || vk > 255) return 0;
    return (S().keys[static_cast<size_t>(vk)] & 0x80) ? static_cast<SHORT>(0x8000) : 0;
}

BOOL GetKeyboardState(BYTE* keys256) {
    if (!keys256) return FALSE_;
    auto q = CurrentQueue();
    Guard g(Lock());
    const KeyStates& keys = q->haveSyncKeys ? q->syncKeys : S().keys;
    std::copy(keys.begin(), keys.end(), keys256);
    return TRUE_;
}

BOOL GetCursorPos(POINT& point) {
    Guard g(Lock());
    point = S().cursor;
    return TRUE_;
}

BOOL SetCursorPos(int x, int y) {
    Guard g(Lock());
    S().cursor = POINT{x, y};
    return TRUE_;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT& e) {
    auto& s = S();
    if (e.dwFlags & TME_QUERY) {
        e.hwndTrack = s.tracked;
        e.dwFlags = s.tracked ? s.trackFlags : 0;
        e.dwHoverTime = s.hoverTime;
        return TRUE_;
    }
    if (!FindLiveWindow(e.hwndTrack)) return FALSE_;
    if (e.dwFlags & TME_CANCEL) {
        if (s.tracked == e.hwndTrack) {
            s.trackFlags &= ~(e.dwFlags & (TME_HOVER | TME_LEAVE));
            if (!(s.trackFlags & (TME_HOVER | TME_LEAVE))) CancelTracking();
        }
        return TRUE_;
    }
    HWND under = WindowFromPoint(s.cursor);
    LRESULT hit = under ? SendMessage(under, WM_NCHITTEST, 0, PackPoint(s.cursor)) : HTNOWHERE;
    bool nonClient = (e.dwFlags & TME_NONCLIENT) != 0;
    if (under != e.hwndTrack || (nonClient ? hit == HTCLIENT : hit != HTCLIENT)) {
        // Already outside: the leave comes at once, as on Win32.
        if (e.dwFlags & TME_LEAVE) Post(e.hwndTrack, nonClient ? 0x02A2 : WM_MOUSELEAVE, 0, 0);
        return TRUE_;
    }
    if (s.tracked != e.hwndTrack) CancelTracking();
    s.tracked = e.hwndTrack;
    s.trackFlags |= e.dwFlags & (TME_HOVER | TME_LEAVE | TME_NONCLIENT);
    if (e.dwFlags & TME_HOVER) {
        s.hoverTime = e.dwHoverTime == HOVER_DEFAULT ? 400 : e.dwHoverTime;
        StartHoverTimer();
    }
    return TRUE_;
}
