// The "msctls_statusbar32" class: a bar of text parts at the bottom of its parent, with a size grip.
#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/commctrl/class_registry.h"
#include "platform/commctrl/common_controls.h"
#include "platform/commctrl/control.h"
#include "platform/commctrl/control_views.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/gdi/text.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"

namespace pw::commctrl {
namespace {

struct Part {
    std::string text;
    WORD type = 0;
};

class StatusBar : public Control {
public:
    using Control::Control;

    LRESULT Handle(TMessage& m) override {
        switch (m.Msg) {
        case WM_CREATE:
            return Place();
        case WM_PAINT:
            return Paint(TWMPaint(m));
        case WM_ERASEBKGND:
            return 1;
        case WM_SIZE:
            return Resized();
        case WM_SETFONT:
            return FontChanged(TWMSetFont(m));
        case WM_SETTEXT:
            return SetText(TWMSetText(m));
        default:
            return BarMessage(StatusBarMsg(m));
        }
    }

private:
    LRESULT BarMessage(StatusBarMsg m) {
        switch (m.Msg) {
        case SB_SETTEXT:
            return SetPartText(m);
        case SB_GETTEXT:
        case SB_GETTEXTLENGTH:
            return GetPartText(m);
        case SB_SETPARTS:
            return SetParts(m.Rights());
        case SB_GETPARTS:
            return GetParts(m.RightsOut());
        case SB_SIMPLE:
            return SetSimple(m.Flag());
        case SB_ISSIMPLE:
            return simpleMode_ ? TRUE_ : FALSE_;
        case SB_GETRECT:
            return GetRect(m.RectPart(static_cast<int>(rights_.size())), m.Rect());
        default:
            return Default(m);
        }
    }

    // The parent passes its own WM_SIZE on, as Win32 programs do; the bar follows its bottom.
    LRESULT Resized() {
        Place();
        Invalidate();
        return 0;
    }

    LRESULT FontChanged(TWMSetFont m) {
        Place();
        if (m.Redraw()) Invalidate();
        return 0;
    }

    LRESULT SetText(TWMSetText m) {
        Default(m);
        simple_.text = m.String();
        if (parts_.empty()) parts_.push_back(Part{});
        parts_[0].text = simple_.text;
        Invalidate();
        return TRUE_;
    }

    LRESULT SetPartText(StatusBarMsg m) {
        const Part part{m.Text(), m.DrawType()};
        const std::optional<int> index = m.Part(static_cast<int>(parts_.size()));
        if (m.SimpleText())
            simple_ = part;
        else if (index)
            parts_[static_cast<size_t>(*index)] = part;
        else
            return FALSE_;
        Invalidate();
        return TRUE_;
    }

    // The length in the low word, the drawing type in the high one.
    LRESULT GetPartText(StatusBarMsg m) const {
        const std::optional<int> index = m.Part(static_cast<int>(parts_.size()));
        const Part* part = m.SimpleText() || simpleMode_ ? &simple_
                           : index                       ? &parts_[static_cast<size_t>(*index)]
                                                         : nullptr;
        if (!part) return 0;
        if (char* out = m.Msg == SB_GETTEXT ? m.TextOut() : nullptr) {
            part->text.copy(out, part->text.size());
            out[part->text.size()] = 0;
        }
        return MAKELPARAM(static_cast<WORD>(std::min<size_t>(part->text.size(), 0xFFFF)), part->type);
    }

    LRESULT SetParts(std::span<const int> rights) {
        if (rights.empty()) return FALSE_;
        parts_.resize(rights.size());
        rights_.assign(rights.begin(), rights.end());
        Invalidate();
        return TRUE_;
    }

    LRESULT GetParts(std::span<int> out) const {
        std::copy_n(rights_.begin(), std::min(out.size(), rights_.size()), out.begin());
        return static_cast<LRESULT>(rights_.size());
    }

    LRESULT SetSimple(bool simple) {
        simpleMode_ = simple;
        Invalidate();
        return 0;
    }

    LRESULT GetRect(std::optional<int> part, RECT* r) const {
        if (!r || (!simpleMode_ && !part)) return FALSE_;
        *r = simpleMode_ ? ClientArea() : PartRect(*part);
        return TRUE_;
    }

    RECT ClientArea() const {
        RECT c;
        GetClientRect(Hwnd(), c);
        return c;
    }

    int Height() {
        ClientDC dc(*this);
        return LineHeight(dc.Get()) + 8;
    }

    LRESULT Place() {
        const DWORD style = Style();
        HWND parent = Parent();
        if (!parent || (style & (CCS_NOPARENTALIGN | CCS_NORESIZE))) return 0;
        RECT pc;
        GetClientRect(parent, pc);
        const int h = Height();
        RECT now;
        GetWindowRect(Hwnd(), now);
        POINT at{now.left, now.top};
        ScreenToClient(parent, at);
        if (at.x == pc.left && at.y == pc.bottom - h && now.right - now.left == pc.right - pc.left &&
            now.bottom - now.top == h)
            return 0;
        MoveWindow(Hwnd(), pc.left, pc.bottom - h, pc.right - pc.left, h, TRUE_);
        return 0;
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

    LRESULT Paint(TWMPaint m) {
        PaintDC paint(Hwnd(), m);
        HDC dc = paint.Get();
        RECT c = ClientArea();
        FillRect(dc, &c, GetSysColorBrush(COLOR_BTNFACE));
        const gdi::SelectedObject fontSelected(dc, Font());
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
        return 0;
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
