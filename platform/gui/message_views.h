#pragma once
// Typed views of window messages. A window procedure decodes each message here, once: the view reads
// its family's wParam/lParam packing and checks what a sender can get wrong (null pointers, buffer
// sizes, signed coordinates, indices out of range), and the procedure's handlers see named values.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/gui/messages.h"

struct CREATESTRUCT;
struct STYLESTRUCT;
struct NMHDR;
struct MOUSEHOOKSTRUCT;
struct CWPSTRUCT;
struct DRAWITEMSTRUCT;

// What every view shares: the message it reads, its number, and the answer a handler gives. A view
// converts back to its message, for handlers that pass the message on.
class MessageView {
public:
    explicit MessageView(TMessage& message) : Msg(message.Msg), Result(message.Result), m_(message) {}
    operator TMessage&() const { return m_; }
    // Sends the message unchanged to another window and answers what that one answers.
    LRESULT ForwardTo(HWND target) const;

    const UINT Msg;
    LRESULT& Result;

protected:
    WPARAM W() const { return m_.WParam; }
    LPARAM L() const { return m_.LParam; }
    void SetW(WPARAM value) const { m_.WParam = value; }
    static WORD Low(uintptr_t v) { return static_cast<WORD>(v & 0xFFFF); }
    static WORD High(uintptr_t v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
    // Two signed 16-bit coordinates, x low: points left of or above a window are negative.
    static POINT PointOf(uintptr_t v) {
        return POINT{static_cast<int16_t>(Low(v)), static_cast<int16_t>(High(v))};
    }
    // An index into `count` things: nothing when it is negative, past the end or wider than an int.
    static std::optional<int> CheckedIndex(intptr_t raw, int count) {
        if (raw < 0 || raw >= count) return std::nullopt;
        return static_cast<int>(raw);
    }
    template <class T> static T* Pointer(uintptr_t v) { return reinterpret_cast<T*>(v); }

private:
    TMessage& m_;
};

// Packs a point the way mouse messages carry it, in two 16-bit halves.
inline LPARAM PackPoint(POINT p) {
    return MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y));
}

// A caller's text buffer and its size in bytes, as structures bring them: empty when either is missing.
inline std::span<char> TextBuffer(char* text, intptr_t size) {
    return text && size > 0 ? std::span<char>(text, static_cast<size_t>(size)) : std::span<char>();
}

// Copies text into a WM_GETTEXT-style buffer with its terminating zero, never splitting a code point;
// returns the bytes copied.
LRESULT CopyOut(const std::string& text, std::span<char> buffer);

// WM_QUIT: the exit code PostQuitMessage gave.
struct TWMQuit : MessageView {
    using MessageView::MessageView;
    int ExitCode() const { return static_cast<int>(static_cast<intptr_t>(W())); }
};

// WM_MOUSEMOVE and the button messages; also CM_MOUSEENTER-style forwards.
struct TWMMouse : MessageView {
    using MessageView::MessageView;
    WPARAM Keys() const { return W(); }
    // Client coordinates; under capture they may lie outside the window.
    POINT Pos() const { return PointOf(L()); }
};

// WM_MOUSEWHEEL: the position is on the screen.
struct TWMMouseWheel : MessageView {
    using MessageView::MessageView;
    WORD Keys() const { return Low(W()); }
    int WheelDelta() const { return static_cast<int16_t>(High(W())); }
    POINT Pos() const { return PointOf(L()); }
};

// WM_NCMOUSEMOVE and the non-client button messages: the hit-test code and the screen position.
struct TWMNCHitMessage : MessageView {
    using MessageView::MessageView;
    LRESULT HitTest() const { return static_cast<LRESULT>(W()); }
    POINT Pos() const { return PointOf(L()); }
};

// WM_NCHITTEST: the screen position asked about.
struct TWMNCHitTest : MessageView {
    using MessageView::MessageView;
    POINT Pos() const { return PointOf(L()); }
};

// WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP and their CN_ reflections, CM_DIALOGKEY.
struct TWMKey : MessageView {
    using MessageView::MessageView;
    WORD CharCode() const { return static_cast<WORD>(W()); }
    // A key handler may change or swallow the key before the default handling sees it.
    void SetCharCode(WORD key) const { SetW(key); }
    LPARAM KeyData() const { return L(); }
    bool AltDown() const { return (L() & (1 << 29)) != 0; }
    // The key went up (the transition bit, which a keyboard hook reads as well).
    bool Released() const { return (static_cast<uintptr_t>(L()) & 0x80000000u) != 0; }
};

// WM_CHAR, WM_SYSCHAR and their CN_ reflections, CM_DIALOGCHAR: one Unicode character.
struct TWMChar : MessageView {
    using MessageView::MessageView;
    char32_t Character() const { return static_cast<char32_t>(W()); }
    // The character's low 16 bits, which the accelerator checks compare with virtual keys.
    WORD CharCode() const { return static_cast<WORD>(W()); }
    void SetCharacter(char32_t c) const { SetW(c); }
    LPARAM KeyData() const { return L(); }
};

// WM_NCCALCSIZE: the rectangle that comes in as the window's and goes out as the client area's, in
// either packing; null when the sender gave none.
struct TWMNCCalcSize : MessageView {
    using MessageView::MessageView;
    RECT* ClientRect() const {
        if (!L()) return nullptr;
        return W() ? &Pointer<NCCALCSIZE_PARAMS>(L())->rgrc[0] : Pointer<RECT>(L());
    }
};

// WM_WINDOWPOSCHANGING and WM_WINDOWPOSCHANGED.
struct TWMWindowPosMsg : MessageView {
    using MessageView::MessageView;
    WINDOWPOS* WindowPos() const { return Pointer<WINDOWPOS>(L()); }
};

// WM_SIZING: the edge being dragged (WMSZ_*) and the rectangle, which the window may change.
struct TWMSizing : MessageView {
    using MessageView::MessageView;
    WPARAM Edge() const { return W(); }
    RECT* DragRect() const { return Pointer<RECT>(L()); }
};

// WM_GETMINMAXINFO.
struct TWMGetMinMaxInfo : MessageView {
    using MessageView::MessageView;
    MINMAXINFO* MinMaxInfo() const { return Pointer<MINMAXINFO>(L()); }
};

// WM_ACTIVATE.
struct TWMActivate : MessageView {
    using MessageView::MessageView;
    WORD Active() const { return Low(W()); }
    bool Minimized() const { return High(W()) != 0; }
    // The window that loses the activation to this one, or takes it from it.
    HWND Other() const { return Pointer<HWND__>(L()); }
};

struct MDICREATESTRUCT;

// The MDI messages. To the client window: WM_MDIACTIVATE, WM_MDIDESTROY, WM_MDIMAXIMIZE and
// WM_MDIRESTORE name a child in wParam, WM_MDICREATE brings what to make, WM_MDIGETACTIVE may bring a
// flag to fill. To a child: WM_MDIACTIVATE names the child that loses and the one that gains.
struct TWMMDI : MessageView {
    using MessageView::MessageView;
    HWND Child() const { return Pointer<HWND__>(W()); }
    HWND Deactivated() const { return Pointer<HWND__>(W()); }
    HWND Activated() const { return Pointer<HWND__>(L()); }
    const MDICREATESTRUCT* CreateStruct() const { return Pointer<const MDICREATESTRUCT>(L()); }
    BOOL* MaximizedOut() const { return Pointer<BOOL>(L()); }
};

// WM_PARENTNOTIFY of a child being made or going: the event and the child.
struct TWMParentNotify : MessageView {
    using MessageView::MessageView;
    UINT Event() const { return Low(W()); }
    HWND ChildWnd() const { return Pointer<HWND__>(L()); }
};

// WM_ACTIVATEAPP, WM_NCACTIVATE, WM_ENABLE, WM_SETREDRAW, WM_SHOWWINDOW: one flag in wParam.
struct TWMFlag : MessageView {
    using MessageView::MessageView;
    bool On() const { return W() != 0; }
};

// WM_SETCURSOR: the hit-test code is signed (HTERROR is negative).
struct TWMSetCursor : MessageView {
    using MessageView::MessageView;
    HWND CursorWnd() const { return Pointer<HWND__>(W()); }
    LRESULT HitTest() const { return static_cast<int16_t>(Low(L())); }
    UINT MouseMsg() const { return High(L()); }
};

// WM_SETFOCUS and WM_KILLFOCUS: the window that lost or gains the focus.
struct TWMFocus : MessageView {
    using MessageView::MessageView;
    HWND FocusedWnd() const { return Pointer<HWND__>(W()); }
};

// WM_CAPTURECHANGED: the window that takes the capture.
struct TWMCaptureChanged : MessageView {
    using MessageView::MessageView;
    HWND NewCapture() const { return Pointer<HWND__>(L()); }
};

// WM_TIMER: a thread timer's procedure comes in lParam.
struct TWMTimer : MessageView {
    using MessageView::MessageView;
    uintptr_t TimerID() const { return W(); }
    TIMERPROC TimerProc() const { return reinterpret_cast<TIMERPROC>(L()); }
};

// WM_COMMAND and CN_COMMAND.
struct TWMCommand : MessageView {
    using MessageView::MessageView;
    WORD NotifyCode() const { return High(W()); }
    HWND Ctl() const { return Pointer<HWND__>(L()); }
};

// WM_CONTEXTMENU: the screen position, or none when the keyboard asked (-1, -1).
struct TWMContextMenu : MessageView {
    using MessageView::MessageView;
    bool FromKeyboard() const { return Pos() == POINT{-1, -1}; }
    POINT Pos() const { return PointOf(L()); }
};

// WM_HELP: what help is asked for: a menu line (HELPINFO_MENUITEM) or a window (HELPINFO_WINDOW), the
// window or menu that asked, and where the mouse was. Null when a sender passed none.
inline constexpr int HELPINFO_WINDOW = 0x0001;
inline constexpr int HELPINFO_MENUITEM = 0x0002;
struct HELPINFO {
    UINT cbSize = sizeof(HELPINFO);
    int iContextType = HELPINFO_WINDOW;
    int iCtrlId = 0;
    HANDLE hItemHandle = nullptr;
    uintptr_t dwContextId = 0;
    POINT MousePos{0, 0};
};
struct TWMHelp : MessageView {
    using MessageView::MessageView;
    const HELPINFO* HelpInfo() const {
        const auto* info = Pointer<HELPINFO>(L());
        return info != nullptr && info->cbSize >= sizeof(HELPINFO) ? info : nullptr;
    }
};

// WM_PAINT and WM_PRINTCLIENT: a DC to draw on when a parent paints the window into its own drawing,
// else null.
struct TWMPaint : MessageView {
    using MessageView::MessageView;
    HDC DC() const { return Pointer<HDC__>(W()); }
};

// WM_NCPAINT: the region to update (1: all of it), or, from WM_PRINT, the DC to draw the frame into.
struct TWMNCPaint : MessageView {
    using MessageView::MessageView;
    // The DC when WM_PRINT brought one, else null.
    HDC PrintDC() const;
};

// WM_ERASEBKGND. A double-buffered window's own erase into its buffer brings the DC in lParam as well.
struct TWMEraseBkgnd : MessageView {
    using MessageView::MessageView;
    HDC DC() const { return Pointer<HDC__>(W()); }
    bool IntoBuffer() const { return W() == static_cast<WPARAM>(L()); }
};

// WM_PRINT.
struct TWMPrint : MessageView {
    using MessageView::MessageView;
    HDC DC() const { return Pointer<HDC__>(W()); }
    LPARAM Flags() const { return L(); }
};

// WM_NCCREATE and WM_CREATE; null when the window was made without one.
struct TWMCreate : MessageView {
    using MessageView::MessageView;
    const CREATESTRUCT* CreateStruct() const { return Pointer<const CREATESTRUCT>(L()); }
};

// WM_STYLECHANGING and WM_STYLECHANGED.
struct TWMStyleChange : MessageView {
    using MessageView::MessageView;
    int StyleType() const { return static_cast<int>(static_cast<intptr_t>(W())); }
    STYLESTRUCT* StyleStruct() const { return Pointer<STYLESTRUCT>(L()); }
};

// WM_SETTEXT: a null text clears, like an empty one, except where a control says otherwise.
struct TWMSetText : MessageView {
    using MessageView::MessageView;
    const char* Text() const { return Pointer<const char>(L()); }
    std::string String() const { return Text() ? Text() : ""; }
};

// WM_GETTEXT: the caller's buffer, empty when it gave none.
struct TWMGetText : MessageView {
    using MessageView::MessageView;
    std::span<char> Buffer() const {
        char* p = Pointer<char>(L());
        return p ? std::span<char>(p, W()) : std::span<char>();
    }
};

// WM_SETFONT.
struct TWMSetFont : MessageView {
    using MessageView::MessageView;
    HFONT Font() const { return Pointer<HFONT__>(W()); }
    bool Redraw() const { return L() != 0; }
};

// WM_HSCROLL and WM_VSCROLL (and their CN_ reflections): the scroll code and the scroll-bar control (null
// for a window's own bar).
struct TWMScroll : MessageView {
    using MessageView::MessageView;
    WORD ScrollCode() const { return Low(W()); }
    HWND ScrollBar() const { return Pointer<HWND__>(L()); }
};

// WM_SYSCOMMAND: the command without the four low bits the system uses itself.
// WM_SETTINGCHANGE: the SPI_SET* action that changed a setting (0 for other changes).
struct TWMSettingChange : MessageView {
    using MessageView::MessageView;
    UINT Flag() const { return static_cast<UINT>(W()); }
};

struct TWMSysCommand : MessageView {
    using MessageView::MessageView;
    WPARAM CmdType() const { return W() & 0xFFF0; }
};

// WM_CTLCOLOR*: the child's DC and window.
struct TWMCtlColor : MessageView {
    using MessageView::MessageView;
    HDC ChildDC() const { return Pointer<HDC__>(W()); }
    HWND ChildWnd() const { return Pointer<HWND__>(L()); }
};

// WM_NOTIFY and CN_NOTIFY: the notification header, null when the sender gave none. The header begins
// every notification structure; the code says which one.
struct TWMNotify : MessageView {
    using MessageView::MessageView;
    NMHDR* NMHdr() const { return Pointer<NMHDR>(L()); }
    template <class T> T* Notification() const { return Pointer<T>(L()); }
    // The sending window, read from the header's first member.
    HWND Sender() const { return L() ? *Pointer<HWND>(L()) : nullptr; }
};

// WM_DRAWITEM and CN_DRAWITEM.
struct TWMDrawItem : MessageView {
    using MessageView::MessageView;
    DRAWITEMSTRUCT* DrawItemStruct() const { return Pointer<DRAWITEMSTRUCT>(L()); }
};

// A local loop's reading of the queued messages it takes itself: the exit code of a WM_QUIT, to post it
// again, and the virtual key of a key message.
inline int QuitExitCode(const MSG& msg) {
    TMessage m = MessageOf(msg);
    return TWMQuit(m).ExitCode();
}
inline WORD KeyCode(const MSG& msg) {
    TMessage m = MessageOf(msg);
    return TWMKey(m).CharCode();
}

// A WH_MOUSE hook's arguments (the message's number in wParam, the hook structure in lParam), read as
// the message a view was made from.
struct TMouseHookArgs : MessageView {
    using MessageView::MessageView;
    UINT MouseMsg() const { return static_cast<UINT>(W()); }
    // Never null: the window system always passes one.
    MOUSEHOOKSTRUCT* Info() const { return Pointer<MOUSEHOOKSTRUCT>(L()); }
};

// A WH_CALLWNDPROC hook's arguments: the message about to reach a window procedure.
struct TCallWndProcArgs : MessageView {
    using MessageView::MessageView;
    CWPSTRUCT* Info() const { return Pointer<CWPSTRUCT>(L()); }
};
