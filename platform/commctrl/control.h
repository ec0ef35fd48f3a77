#pragma once
// What every window class of this library shares: the state object behind each window, its table, the
// window procedure that routes to it, and the common messages (font, redraw, enable, scroll bars).
#include <memory>
#include <string>
#include <string_view>

#include "platform/commctrl/scroll_bars.h"
#include "platform/gdi/scoped.h"
#include "platform/gui/message_views.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "platform/gui/window_dc.h"
#include "platform/gui/window_defs.h"

namespace pw::commctrl {

class Control {
public:
    explicit Control(HWND hwnd) : hwnd_(hwnd), createdUnder_(GetParent(hwnd)) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Messages the control does not handle go to Default.
    virtual LRESULT Handle(TMessage& m) = 0;
    LRESULT Default(TMessage& m);

    HWND Hwnd() const { return hwnd_; }
    DWORD Style() const;
    HFONT Font() const { return font_; }
    bool RedrawOn() const { return redraw_; }
    void Invalidate();
    UINT_PTR Id() const;
    // The window the notifications and owner-draw requests go to: the parent, or, for a control moved
    // out to the desktop (a drop-down list), the window it was created under while that one lives.
    HWND Parent() const;
    // WM_COMMAND to the parent.
    void Command(WORD code);
    // WM_NOTIFY to the parent with the header filled in; returns the parent's answer.
    LRESULT Notify(UINT code, void* header);
    // WM_CTLCOLOR* to the parent; the brush it answers, or the system colour's.
    HBRUSH ControlColor(UINT msg, HDC dc, int defaultColor);
    ScrollBars& Scroll() { return scroll_; }

private:
    // The messages every control answers alike, before (or instead of) its own handling.
    LRESULT SetFont(TWMSetFont m);
    LRESULT SetRedraw(TWMFlag m);
    LRESULT Enable(TMessage& m);
    LRESULT NcCalcSize(TWMNCCalcSize m);
    LRESULT NcPaint(TMessage& m);
    LRESULT NcHitTest(TWMNCHitTest m);
    LRESULT NcButtonDown(TWMNCHitMessage m);
    LRESULT MouseOverScrollBar(TWMMouse m);
    LRESULT CaptureChanged(TMessage& m);

    HWND hwnd_;
    HWND createdUnder_;
    HFONT font_ = nullptr;
    bool redraw_ = true;
    ScrollBars scroll_;
    // Messages of this window being handled right now; a window destroyed inside its own handler is
    // freed when the outermost one returns.
    int depth_ = 0;
    friend LRESULT Dispatch(Control& control, TMessage& m);
    friend LRESULT RouteToControl(HWND, UINT, WPARAM, LPARAM, std::unique_ptr<Control> (*)(HWND));
};

Control* FindControl(HWND hwnd);
LRESULT Dispatch(Control& control, TMessage& m);
LRESULT RouteToControl(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                       std::unique_ptr<Control> (*make)(HWND));

template <class T> std::unique_ptr<Control> MakeControl(HWND hwnd) {
    return std::make_unique<T>(hwnd);
}
template <class T> LRESULT ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RouteToControl(hwnd, msg, wParam, lParam, &MakeControl<T>);
}
// Registers the window class whose windows are T controls.
template <class T> void RegisterControlClass(const char* name, UINT style = 0) {
    WNDCLASS wc;
    wc.style = style;
    wc.lpfnWndProc = &ControlProc<T>;
    wc.lpszClassName = name;
    RegisterClass(wc);
}

// A DC on the control's client area with its font selected, released on scope exit.
class ClientDC {
public:
    explicit ClientDC(const Control& control) : dc_(control.Hwnd()), font_(dc_.Get(), control.Font()) {}
    HDC Get() const { return dc_.Get(); }

private:
    gui::WindowDC dc_;
    gdi::SelectedObject font_;
};

// The DC a WM_PAINT draws on: the one it brings (a parent painting the window into its own paint), or
// else the window's own from BeginPaint, ended on scope exit.
class PaintDC {
public:
    PaintDC(HWND hwnd, TWMPaint m);
    ~PaintDC();
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
    bool own_;
    PAINTSTRUCT ps_;
};

// Where the vertical scroll bar's thumb is being dragged to (its position when it is not).
int TrackPos(HWND hwnd);
// The first visible row that a WM_VSCROLL code asks for, given the current one, the rows in a page and
// the last row; the caller clamps it. Codes that move nothing answer the current row.
int ScrolledTop(HWND hwnd, WORD code, int top, int page, int last);
// Sets the vertical scroll bar of a list `rows` long scrolled to row `top`, `page` rows in view.
void SetRowScrollBar(HWND hwnd, int top, int rows, int page, bool redraw);
// How many rows `rowHeight` high fit in the client area below its top `above` pixels; one at the least.
int RowsInView(HWND hwnd, int rowHeight, int above = 0);
// The rows a WM_MOUSEWHEEL turns over, three a notch; positive toward the top.
int WheelRows(TWMMouseWheel m);
// Fills `r` with the selection colour and sets the text colour that goes on it.
void FillHighlight(HDC dc, const RECT& r);
// One line of an item's text, two pixels in from the left of `r` and centred top to bottom.
void DrawItemText(HDC dc, RECT r, const std::string& text);
int TextWidth(HDC dc, std::string_view text);
int LineHeight(HDC dc);
bool KeyDown(int vk);

} // namespace pw::commctrl
