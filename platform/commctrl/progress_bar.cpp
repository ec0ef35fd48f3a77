// The "msctls_progress32" class: a bar filled in blocks or smoothly.
#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/commctrl/class_registry.h"
#include "platform/commctrl/common_controls.h"
#include "platform/commctrl/control.h"
#include "platform/commctrl/control_views.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"

namespace pw::commctrl {
namespace {

class ProgressBar : public Control {
public:
    using Control::Control;

    LRESULT Handle(TMessage& m) override {
        switch (m.Msg) {
        case WM_PAINT:
            return Paint(TWMPaint(m));
        case WM_ERASEBKGND:
            return 1;
        case WM_NCHITTEST:
            return HTCLIENT;
        default:
            return BarMessage(ProgressMsg(m));
        }
    }

private:
    LRESULT BarMessage(ProgressMsg m) {
        switch (m.Msg) {
        case PBM_SETRANGE:
            return SetRange(m.RangeLow16(), m.RangeHigh16());
        case PBM_SETRANGE32:
            return SetRange(m.RangeLow(), m.RangeHigh());
        case PBM_GETRANGE:
            return GetRange(m.Range(), m.WantsLow());
        case PBM_SETPOS:
            return SetPos(m.Value());
        case PBM_DELTAPOS:
            return SetPos(int64_t{pos_} + m.Value());
        case PBM_GETPOS:
            return pos_;
        case PBM_SETSTEP:
            return std::exchange(step_, m.Value());
        case PBM_STEPIT:
            return StepIt();
        default:
            return Default(m);
        }
    }

    // Answers the old range, its ends in the two halves.
    LRESULT SetRange(int low, int high) {
        const LRESULT old = MAKELPARAM(static_cast<WORD>(low_), static_cast<WORD>(high_));
        low_ = low;
        high_ = high;
        SetPos(pos_);
        Invalidate();
        return old;
    }

    LRESULT GetRange(PBRANGE* range, bool wantsLow) const {
        if (range) {
            range->iLow = low_;
            range->iHigh = high_;
        }
        return wantsLow ? low_ : high_;
    }

    // Stepping past the end starts again from the beginning.
    LRESULT StepIt() {
        int64_t next = int64_t{pos_} + step_;
        if (high_ > low_ && next > high_) next = low_ + (next - high_);
        if (high_ > low_ && next < low_) next = high_ - (low_ - next);
        return SetPos(next);
    }

    LRESULT SetPos(int64_t pos) {
        const int old = pos_;
        pos_ = static_cast<int>(high_ >= low_ ? std::clamp<int64_t>(pos, low_, high_)
                                              : std::clamp<int64_t>(pos, INT32_MIN, INT32_MAX));
        if (pos_ != old) Invalidate();
        return old;
    }

    LRESULT Paint(TWMPaint m) {
        PaintDC paint(Hwnd(), m);
        HDC dc = paint.Get();
        RECT c;
        GetClientRect(Hwnd(), c);
        FillRect(dc, &c, GetSysColorBrush(COLOR_BTNFACE));
        RECT inner = c;
        InflateRect(inner, -1, -1);
        const bool vertical = (Style() & PBS_VERTICAL) != 0;
        const int length = vertical ? inner.bottom - inner.top : inner.right - inner.left;
        const int64_t range = int64_t{high_} - low_;
        const int filled = range > 0 ? static_cast<int>(length * (int64_t{pos_} - low_) / range) : 0;
        HBRUSH bar = GetSysColorBrush(COLOR_HIGHLIGHT);
        if (Style() & PBS_SMOOTH) {
            RECT f = inner;
            if (vertical)
                f.top = f.bottom - filled;
            else
                f.right = f.left + filled;
            FillRect(dc, &f, bar);
        } else {
            const int thickness = vertical ? inner.right - inner.left : inner.bottom - inner.top;
            const int block = std::max(2, thickness * 2 / 3);
            for (int at = 0; at < filled; at += block + 2) {
                const int end = std::min(at + block, length);
                RECT b = vertical ? RECT{inner.left, inner.bottom - end, inner.right, inner.bottom - at}
                                  : RECT{inner.left + at, inner.top, inner.left + end, inner.bottom};
                FillRect(dc, &b, bar);
            }
        }
        return 0;
    }

    int low_ = 0;
    int high_ = 100;
    int pos_ = 0;
    int step_ = 10;
};

} // namespace

void RegisterProgressClass() {
    RegisterControlClass<ProgressBar>(PROGRESS_CLASS);
}

} // namespace pw::commctrl
