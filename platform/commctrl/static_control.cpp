// The "STATIC" class: text labels and etched lines.
#include "platform/commctrl/class_registry.h"

#include "platform/commctrl/control.h"
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

class StaticControl : public Control {
public:
    using Control::Control;

    LRESULT Handle(TMessage& m) override {
        switch (m.Msg) {
        case WM_PAINT:
            return Paint(TWMPaint(m));
        case WM_ERASEBKGND:
            return 1;
        case WM_SETTEXT:
            return SetText(m);
        case WM_SETFONT:
            return FontChanged(TWMSetFont(m));
        case WM_GETDLGCODE:
            return DLGC_STATIC;
        case WM_NCHITTEST:
            return (Style() & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
        case WM_LBUTTONDOWN:
            return Clicked();
        default:
            return Default(m);
        }
    }

private:
    LRESULT SetText(TMessage& m) {
        const LRESULT r = Default(m);
        Invalidate();
        return r;
    }

    LRESULT FontChanged(TWMSetFont m) {
        if (m.Redraw()) Invalidate();
        return 0;
    }

    LRESULT Clicked() {
        if (Style() & SS_NOTIFY) Command(STN_CLICKED);
        return 0;
    }

    LRESULT Paint(TWMPaint m) {
        PaintDC paint(Hwnd(), m);
        HDC dc = paint.Get();
        RECT r;
        GetClientRect(Hwnd(), r);
        const DWORD style = Style();
        HBRUSH brush = ControlColor(WM_CTLCOLORSTATIC, dc, COLOR_BTNFACE);
        if ((style & SS_TYPEMASK) == SS_ETCHEDHORZ) {
            FillRect(dc, &r, brush);
            DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP);
        } else {
            FillRect(dc, &r, brush);
            UINT format = DT_WORDBREAK | DT_EXPANDTABS;
            if ((style & SS_TYPEMASK) == SS_CENTER) format |= DT_CENTER;
            if ((style & SS_TYPEMASK) == SS_RIGHT) format |= DT_RIGHT;
            if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
            const gdi::SelectedObject fontSelected(dc, Font());
            SetBkMode(dc, TRANSPARENT);
            if (!IsWindowEnabled(Hwnd())) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
            const std::string text = GetWindowText(Hwnd());
            DrawText(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
        }
        return 0;
    }
};

} // namespace

void RegisterStaticClass() {
    RegisterControlClass<StaticControl>("STATIC", CS_PARENTDC);
}

} // namespace pw::commctrl
