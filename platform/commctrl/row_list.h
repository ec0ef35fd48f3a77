#pragma once
// A control of equal-height rows scrolled up and down a whole row at a time: the list box, the list view
// and the tree view.
#include <algorithm>

#include "platform/commctrl/control.h"
#include "platform/gui/messages.h"

namespace pw::commctrl {

class RowList : public Control {
public:
    using Control::Control;

protected:
    virtual int Rows() const = 0;
    virtual int VisibleRows() const { return RowsInView(Hwnd(), itemHeight_); }
    virtual void UpdateScrollBar() { SetRowScrollBar(Hwnd(), top_, Rows(), VisibleRows(), RedrawOn()); }

    // Clamped to the rows there are; the scroll bar and the window follow when it moves.
    void SetTop(int top) {
        top = std::clamp(top, 0, std::max(0, Rows() - VisibleRows()));
        if (top == top_) return;
        top_ = top;
        UpdateScrollBar();
        Invalidate();
    }

    // After rows came, went or changed height.
    void Changed() {
        SetTop(top_);
        UpdateScrollBar();
        Invalidate();
    }

    void ShowRow(int row) {
        if (row < top_)
            SetTop(row);
        else if (row >= top_ + VisibleRows())
            SetTop(row - VisibleRows() + 1);
    }

    // WM_VSCROLL and WM_MOUSEWHEEL move every row list alike.
    LRESULT VScroll(TWMScroll m) {
        SetTop(ScrolledTop(Hwnd(), m.ScrollCode(), top_, VisibleRows(), Rows()));
        return 0;
    }
    LRESULT MouseWheel(TWMMouseWheel m) {
        SetTop(top_ - WheelRows(m));
        return 0;
    }

    int top_ = 0;
    int itemHeight_ = 16;
};

} // namespace pw::commctrl
