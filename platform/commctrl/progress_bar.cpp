// The "msctls_progress32" class: a bar filled in blocks or smoothly.
#include <algorithm>

#include "platform/commctrl/class_registry.h"
#include "platform/commctrl/common_controls.h"
#include "platform/commctrl/control.h"
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

    LRESULT Handle(TMessage& m) override { return HandleRaw(m.Msg, m.WParam, m.LParam); }
    LRESULT HandleRaw(UINT msg, WPARAM wParam, LPARAM lParam) {
        switch (msg) {
        case WM_PAINT:
            Paint(wParam);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_NCHITTEST:
            return HTCLIENT;
        case PBM_SETRANGE:
        case PBM_SETRANGE32: {
            const LRESULT old = MAKELPARAM(static_cast<WORD>(low_), static_cast<WORD>(high_));
            if (msg == PBM_SETRANGE) {
                low_ = LOWORD(static_cast<uintptr_t>(lParam));
                high_ = HIWORD(static_cast<uintptr_t>(lParam));
            } else {
                low_ = static_cast<int>(wParam);
                high_ = static_cast<int>(lParam);
            }
            SetPos(pos_);
            Invalidate();
            return old;
        }
        case PBM_GETRANGE: {
            if (auto* range = reinterpret_cast<PBRANGE*>(lParam)) {
                range->iLow = low_;
                range->iHigh = high_;
            }
            return wParam ? low_ : high_;
        }
        case PBM_SETPOS:
            return SetPos(static_cast<int>(wParam));
        case PBM_DELTAPOS:
            return SetPos(pos_ + static_cast<int>(wParam));
        case PBM_GETPOS:
            return pos_;
        case PBM_SETSTEP: {
            const int old = step_;
            step_ = static_cast<int>(wParam);
            return old;
        }
        case PBM_STEPIT: {
            // Stepping past the end starts again from the beginning.
            int next = pos_ + step_;
            if (high_ > low_ && next > high_) next = low_ + (next - high_);
            if (high_ > low_ && next < low_) next = high_ - (low_ - next);
            return SetPos(next);
        }
        default:
            return Default(msg, wParam, lParam);
        }
    }

private:
    int SetPos(int pos) {
        const int old = pos_;
        pos_ = high_ >= low_ ? std::clamp(pos, low_, high_) : pos;
        if (pos_ != old) Invalidate();
        return old;
    }

    void Paint(WPARAM given) {
        PaintDC paint(Hwnd(), given);
        HDC dc = paint.Get();
        RECT c;
        GetClientRect(Hwnd(), c);
        FillRect(dc, &c, GetSysColorBrush(COLOR_BTNFACE));
        RECT inner = c;
        InflateRect(inner, -1, -1);
        const bool vertical = (Style() & PBS_VERTICAL) != 0;
        const int length = vertical ? inner.bottom - inner.top : inner.right - inner.left;
        const int range = high_ - low_;
        const int filled =
            range > 0 ? static_cast<int>(static_cast<long long>(length) * (pos_ - low_) / range) : 0;
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
