#pragma once
// The non-client scroll bars of a control window: their state, size, painting and mouse handling.
#include "platform/commctrl/std_controls.h"

namespace pw::commctrl {

struct ScrollBar {
    int min = 0;
    int max = 100;
    int page = 0;
    int pos = 0;
    bool shown = false;
    int MaxPos() const;
};

class ScrollBars {
public:
    ScrollBar& Bar(int bar) { return bar == SB_HORZ ? horz_ : vert_; }
    // Applies the info; true when the bar's visibility changed (the frame must be recomputed).
    bool Set(int bar, const SCROLLINFO& info);
    void Get(int bar, SCROLLINFO& info);
    // Inside the rectangle DefWindowProc left for the client: takes the bars' room (window coordinates).
    void CalcClient(RECT& client) const;
    // Window coordinates of a bar's area, empty when hidden.
    RECT Area(HWND hwnd, int bar) const;
    void Paint(HWND hwnd);
    // A hit on a bar (window coordinates): the WM_VSCROLL/WM_HSCROLL code to send, kThumb, or -1.
    static constexpr int kThumb = -2;
    int CodeAt(HWND hwnd, int bar, POINT windowPoint) const;

    // Dragging the thumb: the position follows the pointer (window coordinates) until the end.
    void BeginDrag(HWND hwnd, int bar, POINT windowPoint);
    bool Dragging() const { return dragBar_ >= 0; }
    int DragBar() const { return dragBar_; }
    // The position the pointer asks for.
    int Track(HWND hwnd, POINT windowPoint);
    void EndDrag() { dragBar_ = -1; }

private:
    ScrollBar vert_;
    ScrollBar horz_;
    int dragBar_ = -1;
    int grab_ = 0; // pointer offset into the thumb
    int trackPos_ = 0;
};

// Where the client area lies in the window image.
POINT ClientOrigin(HWND hwnd);

} // namespace pw::commctrl
