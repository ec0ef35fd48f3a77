// The "BUTTON" class: push buttons, check boxes, radio buttons and group boxes.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/commctrl/class_registry.h"
#include "platform/commctrl/control.h"
#include "platform/commctrl/control_views.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/gdi/text.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"

namespace pw::commctrl {
namespace {

inline constexpr int kCheckSize = 13;

class Button : public Control {
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
            return DialogCode();
        case WM_NCHITTEST:
            return Type() == BS_GROUPBOX ? HTTRANSPARENT : Default(m);
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            return ButtonDown();
        case WM_MOUSEMOVE:
            return MouseMove(TWMMouse(m));
        case WM_LBUTTONUP:
            return ButtonUp();
        case WM_CAPTURECHANGED:
            return CaptureLost();
        case WM_KEYDOWN:
            return KeyPressed(TWMKey(m));
        case WM_KEYUP:
            return KeyReleased(TWMKey(m));
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            return FocusChanged(m.Msg == WM_SETFOCUS);
        case BM_GETCHECK:
            return check_;
        case BM_SETCHECK:
            return SetCheck(ButtonMsg(m).Check());
        case BM_GETSTATE:
            return check_ | (pushed_ ? BST_PUSHED : 0) | (focused_ ? BST_FOCUS : 0);
        case BM_SETSTATE:
            return SetPushed(ButtonMsg(m).Flag());
        case BM_SETSTYLE:
            return SetButtonStyle(ButtonMsg(m));
        case BM_CLICK:
            return IsWindowEnabled(Hwnd()) ? Click() : 0;
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

    LRESULT DialogCode() const {
        switch (Type()) {
        case BS_PUSHBUTTON:
        case BS_OWNERDRAW:
            return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_DEFPUSHBUTTON:
            return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case BS_GROUPBOX:
            return DLGC_STATIC;
        default:
            return DLGC_BUTTON;
        }
    }

    LRESULT ButtonDown() {
        SetFocus(Hwnd());
        SetCapture(Hwnd());
        tracking_ = true;
        SetPushed(true);
        return 0;
    }

    // While the button is held, it shows pushed as long as the pointer is over it.
    LRESULT MouseMove(TWMMouse m) {
        if (!tracking_) return 0;
        RECT r;
        GetClientRect(Hwnd(), r);
        SetPushed(PtInRect(r, m.Pos()));
        return 0;
    }

    LRESULT ButtonUp() {
        if (!tracking_) return 0;
        const bool click = pushed_;
        ReleaseCapture();
        return click ? Click() : 0;
    }

    LRESULT CaptureLost() {
        if (tracking_) {
            tracking_ = false;
            SetPushed(false);
        }
        return 0;
    }

    LRESULT KeyPressed(TWMKey m) {
        if (m.CharCode() == VK_SPACE && !tracking_) SetPushed(true);
        return 0;
    }

    LRESULT KeyReleased(TWMKey m) {
        if (m.CharCode() != VK_SPACE || !pushed_ || tracking_) return 0;
        SetPushed(false);
        return Click();
    }

    LRESULT FocusChanged(bool focused) {
        focused_ = focused;
        if (!focused && !tracking_) SetPushed(false);
        Invalidate();
        return 0;
    }

    LRESULT SetCheck(std::optional<int> check) {
        if (!check || check_ == *check) return 0;
        check_ = *check == BST_INDETERMINATE && !Is3State() ? BST_CHECKED : *check;
        Invalidate();
        return 0;
    }

    LRESULT SetButtonStyle(ButtonMsg m) {
        const DWORD style = (Style() & ~0xFFFFu) | m.ButtonStyle();
        SetWindowLong(Hwnd(), GWL_STYLE, static_cast<LONG>(style));
        if (m.Redraw()) Invalidate();
        return 0;
    }

    DWORD Type() const { return Style() & BS_TYPEMASK; }
    bool Is3State() const { return Type() == BS_3STATE || Type() == BS_AUTO3STATE; }
    bool IsCheckLike() const {
        const DWORD t = Type();
        return t == BS_CHECKBOX || t == BS_AUTOCHECKBOX || t == BS_3STATE || t == BS_AUTO3STATE ||
               t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON;
    }

    LRESULT SetPushed(bool pushed) {
        if (pushed == pushed_) return 0;
        pushed_ = pushed;
        Invalidate();
        return 0;
    }

    LRESULT Click() {
        switch (Type()) {
        case BS_AUTOCHECKBOX:
            SendMessage(Hwnd(), BM_SETCHECK, check_ == BST_UNCHECKED ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        case BS_AUTO3STATE:
            SendMessage(Hwnd(), BM_SETCHECK, (check_ + 1) % 3, 0);
            break;
        case BS_AUTORADIOBUTTON:
            SendMessage(Hwnd(), BM_SETCHECK, BST_CHECKED, 0);
            UncheckGroup();
            break;
        default:
            break;
        }
        Command(BN_CLICKED);
        return 0;
    }

    // The other automatic radio buttons of the group: from the previous WS_GROUP sibling up to the next,
    // in creation order (handles grow with creation), which is the order dialogs lay controls out in.
    void UncheckGroup() {
        std::vector<HWND> siblings;
        for (HWND h = GetWindow(Hwnd(), GW_HWNDFIRST); h; h = GetWindow(h, GW_HWNDNEXT))
            siblings.push_back(h);
        std::sort(siblings.begin(), siblings.end(), std::less<HWND>());
        auto self = std::find(siblings.begin(), siblings.end(), Hwnd());
        if (self == siblings.end()) return;
        auto first = self;
        while (first != siblings.begin() && !(GetWindowLong(*first, GWL_STYLE) & WS_GROUP))
            --first;
        for (auto it = first; it != siblings.end(); ++it) {
            if (it != first && (GetWindowLong(*it, GWL_STYLE) & WS_GROUP)) break;
            if (*it == Hwnd()) continue;
            char name[16] = {};
            GetClassName(*it, name, sizeof name);
            if (std::string(name) == "BUTTON" &&
                (GetWindowLong(*it, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
                SendMessage(*it, BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }

    void DrawLabel(HDC dc, RECT r, UINT format) {
        const std::string text = GetWindowText(Hwnd());
        SetBkMode(dc, TRANSPARENT);
        if (!IsWindowEnabled(Hwnd())) {
            RECT shadow = r;
            OffsetRect(shadow, 1, 1);
            SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
            DrawText(dc, text.c_str(), static_cast<int>(text.size()), &shadow, format);
            SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        } else {
            SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        }
        DrawText(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
    }

    LRESULT Paint(TWMPaint m) {
        PaintDC paint(Hwnd(), m);
        HDC dc = paint.Get();
        RECT r;
        GetClientRect(Hwnd(), r);
        const gdi::SelectedObject fontSelected(dc, Font());
        const DWORD type = Type();
        if (type == BS_OWNERDRAW) {
            DRAWITEMSTRUCT dis;
            dis.CtlType = ODT_BUTTON;
            dis.CtlID = static_cast<UINT>(Id());
            dis.itemAction = ODA_DRAWENTIRE;
            dis.itemState = (pushed_ ? ODS_SELECTED : 0) | (focused_ ? ODS_FOCUS : 0) |
                            (IsWindowEnabled(Hwnd()) ? 0 : ODS_DISABLED);
            dis.hwndItem = Hwnd();
            dis.hDC = dc;
            dis.rcItem = r;
            if (HWND parent = Parent())
                SendMessage(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
        } else if (type == BS_GROUPBOX) {
            FillRect(dc, &r, ControlColor(WM_CTLCOLORSTATIC, dc, COLOR_BTNFACE));
            const int h = LineHeight(dc);
            RECT frame{r.left, r.top + h / 2, r.right, r.bottom};
            DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
            const std::string text = GetWindowText(Hwnd());
            if (!text.empty()) {
                RECT label{r.left + 8, r.top, r.left + 8 + TextWidth(dc, text) + 4, r.top + h};
                FillRect(dc, &label, GetSysColorBrush(COLOR_BTNFACE));
                label.left += 2;
                DrawLabel(dc, label, DT_SINGLELINE | DT_LEFT | DT_TOP);
            }
        } else if (IsCheckLike()) {
            FillRect(dc, &r, ControlColor(WM_CTLCOLORSTATIC, dc, COLOR_BTNFACE));
            const bool radio = type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
            const int top = r.top + (r.bottom - r.top - kCheckSize) / 2;
            RECT box{r.left, top, r.left + kCheckSize, top + kCheckSize};
            UINT state = radio ? DFCS_BUTTONRADIO
                               : (check_ == BST_INDETERMINATE ? DFCS_BUTTON3STATE : DFCS_BUTTONCHECK);
            if (check_ != BST_UNCHECKED) state |= DFCS_CHECKED;
            if (pushed_) state |= DFCS_PUSHED;
            if (!IsWindowEnabled(Hwnd())) state |= DFCS_INACTIVE;
            DrawFrameControl(dc, &box, DFC_BUTTON, state);
            RECT text{box.right + 4, r.top, r.right, r.bottom};
            // A multi-line label breaks at words and stands centred as a block.
            const bool multiLine = (GetWindowLong(Hwnd(), GWL_STYLE) & BS_MULTILINE) != 0;
            const UINT lines = multiLine ? DT_WORDBREAK : DT_SINGLELINE;
            const std::string t = GetWindowText(Hwnd());
            RECT measured = text;
            DrawText(dc, t.c_str(), static_cast<int>(t.size()), &measured, lines | DT_CALCRECT);
            if (multiLine) {
                const int top = r.top + (r.bottom - r.top - (measured.bottom - measured.top)) / 2;
                DrawLabel(dc, RECT{text.left, top, text.right, r.bottom}, DT_WORDBREAK | DT_LEFT);
            } else {
                DrawLabel(dc, text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
            }
            if (focused_) {
                const int h = measured.bottom - measured.top;
                RECT focus{text.left - 1, r.top + (r.bottom - r.top - h) / 2 - 1,
                           std::min(text.right, measured.right + 1), r.top + (r.bottom - r.top + h) / 2 + 1};
                DrawFocusRect(dc, &focus);
            }
        } else {
            FillRect(dc, &r, ControlColor(WM_CTLCOLORBTN, dc, COLOR_BTNFACE));
            RECT face = r;
            if (type == BS_DEFPUSHBUTTON || focused_) {
                FrameRect(dc, &face, GetSysColorBrush(COLOR_WINDOWFRAME));
                InflateRect(face, -1, -1);
            }
            DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed_ ? DFCS_PUSHED : 0));
            RECT text = face;
            if (pushed_) OffsetRect(text, 1, 1);
            DrawLabel(dc, text, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
            if (focused_) {
                RECT focus = face;
                InflateRect(focus, -3, -3);
                DrawFocusRect(dc, &focus);
            }
        }
        return 0;
    }

    int check_ = BST_UNCHECKED;
    bool pushed_ = false;
    bool focused_ = false;
    bool tracking_ = false;
};

} // namespace

void RegisterButtonClass() {
    RegisterControlClass<Button>("BUTTON", CS_PARENTDC | CS_DBLCLKS);
}

} // namespace pw::commctrl
