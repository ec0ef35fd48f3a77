// The "msctls_statusbar32" class: a bar of text parts at the bottom of its parent, with a size grip.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/commctrl/class_registry.h"
#include "platform/commctrl/common_controls.h"
#include "platform/commctrl/control.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/gdi/text.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"

namespace pw::commctrl {
namespace {

inline constexpr int kMaxParts = 256;

struct Part {
    std::string text;
    WORD type = 0;
};

class StatusBar : public Control {
public:
    using Control::Control;

    LRESULT Handle(TMessage& m) override { return HandleRaw(m.Msg, m.WParam, m.LParam); }
    LRESULT HandleRaw(UINT msg, WPARAM wParam, LPARAM lParam) {
        switch (msg) {
        case WM_CREATE:
            Place();
            return 0;
        case WM_PAINT:
            Paint(wParam);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SIZE:
            // The parent passes its own WM_SIZE on, as Win32 programs do; the bar follows its bottom.
            Place();
            Invalidate();
            return 0;
        case WM_SETFONT:
            Place();
            if (lParam) Invalidate();
            return 0;
        case WM_SETTEXT:
            Default(msg, wParam, lParam);
            simple_.text = lParam ? reinterpret_cast<const char*>(lParam) : "";
            if (parts_.empty()) parts_.push_back(Part{});
            parts_[0].text = simple_.text;
            Invalidate();
            return TRUE_;
        case SB_SETTEXT: {
            const int index = LOBYTE(static_cast<WORD>(wParam));
            Part part{lParam ? reinterpret_cast<const char*>(lParam) : "",
                      static_cast<WORD>(wParam & 0xFF00)};
            if (index == static_cast<int>(SB_SIMPLEID))
                simple_ = part;
            else if (index < static_cast<int>(parts_.size()))
                parts_[static_cast<size_t>(index)] = part;
            else
                return FALSE_;
            Invalidate();
            return TRUE_;
        }
        case SB_GETTEXT:
        case SB_GETTEXTLENGTH: {
            const int index = LOBYTE(static_cast<WORD>(wParam));
            const Part* part = index == static_cast<int>(SB_SIMPLEID) || simpleMode_ ? &simple_
                               : index < static_cast<int>(parts_.size()) ? &parts_[static_cast<size_t>(index)]
                                                                         : nullptr;
            if (!part) return 0;
            if (msg == SB_GETTEXT && lParam) {
                char* out = reinterpret_cast<char*>(lParam);
                part->text.copy(out, part->text.size());
                out[part->text.size()] = 0;
            }
            return MAKELPARAM(static_cast<WORD>(std::min<size_t>(part->text.size(), 0xFFFF)), part->type);
        }
        case SB_SETPARTS: {
            const int count = static_cast<int>(wParam);
            const int* rights = reinterpret_cast<const int*>(lParam);
            if (count <= 0 || count > kMaxParts || !rights) return FALSE_;
            parts_.resize(static_cast<size_t>(count));
            rights_.assign(rights, rights + count);
            Invalidate();
            return TRUE_;
        }
        case SB_GETPARTS: {
            int* out = reinterpret_cast<int*>(lParam);
            for (int i = 0; out && i < static_cast<int>(wParam) && i < static_cast<int>(rights_.size()); ++i)
                out[i] = rights_[static_cast<size_t>(i)];
            return static_cast<LRESULT>(rights_.size());
        }
        case SB_SIMPLE:
            simpleMode_ = wParam != 0;
            Invalidate();
            return 0;
        case SB_ISSIMPLE:
            return simpleMode_ ? TRUE_ : FALSE_;
        case SB_GETRECT: {
            const int index = static_cast<int>(wParam);
            if (!lParam || (!simpleMode_ && (index < 0 || index >= static_cast<int>(rights_.size()))))
                return FALSE_;
            *reinterpret_cast<RECT*>(lParam) = simpleMode_ ? ClientArea() : PartRect(index);
            return TRUE_;
        }
        default:
            return Default(msg, wParam, lParam);
        }
    }

private:
    static int LOBYTE(WORD w) { return w & 0xFF; }

    RECT ClientArea() const {
        RECT c;
        GetClientRect(Hwnd(), c);
        return c;
    }

    int Height() {
        ClientDC dc(*this);
        return LineHeight(dc.Get()) + 8;
    }

    void Place() {
        const DWORD style = Style();
        HWND parent = Parent();
        if (!parent || (style & (CCS_NOPARENTALIGN | CCS_NORESIZE))) return;
        RECT pc;
        GetClientRect(parent, pc);
        const int h = Height();
        RECT now;
        GetWindowRect(Hwnd(), now);
        POINT at{now.left, now.top};
        ScreenToClient(parent, at);
        if (at.x == pc.left && at.y == pc.bottom - h && now.right - now.left == pc.right - pc.left &&
            now.bottom - now.top == h)
            return;
        MoveWindow(Hwnd(), pc.left, pc.bottom - h, pc.right - pc.left, h, TRUE_);
    }

    RECT PartRect(int index) const {
        RECT c = ClientArea();
        const int left = index == 0 ? 0 : rights_[static_cast<size_t>(index) - 1] + 2;
        int right = rights_[static_cast<size_t>(index)];
        if (right < 0 || right > c.right) right = c.right;
        return RECT{left, c.top + 2, std::max(left, right), c.bottom};
    }

    void DrawPart(HDC dc, RECT r, const Part& part) {
        if (!(part.type & SBT_NOBORDERS))
            DrawEdge(dc, &r, (part.type & SBT_POPOUT) ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
        RECT t{r.left + 3, r.top + 1, r.right - 2, r.bottom - 1};
        DrawText(dc, part.text.c_str(), static_cast<int>(part.text.size()), &t,
                 DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }

    void Paint(WPARAM given) {
        PaintDC paint(Hwnd(), given);
        HDC dc = paint.Get();
        RECT c = ClientArea();
        FillRect(dc, &c, GetSysColorBrush(COLOR_BTNFACE));
        HGDIOBJ oldFont = SelectObject(dc, Font());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        const bool grip = (Style() & SBARS_SIZEGRIP) != 0;
        const int gripSize = grip ? c.bottom - c.top : 0;
        if (simpleMode_ || rights_.empty()) {
            RECT r{c.left, c.top + 2, c.right - gripSize, c.bottom};
            DrawPart(dc, r, simpleMode_ ? simple_ : (parts_.empty() ? simple_ : parts_[0]));
        } else {
            for (int i = 0; i < static_cast<int>(rights_.size()); ++i) {
                RECT r = PartRect(i);
                if (r.right > c.right - gripSize) r.right = c.right - gripSize;
                if (r.right > r.left) DrawPart(dc, r, parts_[static_cast<size_t>(i)]);
            }
        }
        if (grip) {
            RECT g{c.right - gripSize, c.top + 2, c.right, c.bottom};
            DrawFrameControl(dc, &g, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
        }
        SelectObject(dc, oldFont);
    }

    std::vector<Part> parts_;
    std::vector<int> rights_;
    Part simple_;
    bool simpleMode_ = false;
};

} // namespace

void RegisterStatusBarClass() {
    RegisterControlClass<StatusBar>(STATUSCLASSNAME);
}

} // namespace pw::commctrl
