// The "SysTabControl32" class: one row of tabs over a display area.
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
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"

namespace pw::commctrl {
namespace {

struct Tab {
    std::string text;
    int image = -1;
    LPARAM param = 0;
};

class TabControl : public Control {
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
        case WM_SETFONT:
            if (lParam) Invalidate();
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            focused_ = msg == WM_SETFOCUS;
            Invalidate();
            return 0;
        case WM_LBUTTONDOWN: {
            const int index = TabAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            if (index >= 0) {
                SetFocus(Hwnd());
                UserSelect(index);
            }
            return 0;
        }
        case WM_KEYDOWN:
            if (wParam == VK_LEFT && cur_ > 0) UserSelect(cur_ - 1);
            if (wParam == VK_RIGHT && cur_ + 1 < Count()) UserSelect(cur_ + 1);
            return 0;
        case TCM_GETITEMCOUNT:
            return Count();
        case TCM_INSERTITEM: {
            const auto* item = reinterpret_cast<const TCITEM*>(lParam);
            int index = static_cast<int>(wParam);
            if (!item || index < 0) return -1;
            index = std::min(index, Count());
            Tab tab;
            Apply(tab, *item);
            tabs_.insert(tabs_.begin() + index, tab);
            if (cur_ < 0)
                cur_ = 0;
            else if (index <= cur_)
                ++cur_;
            Invalidate();
            return index;
        }
        case TCM_DELETEITEM: {
            const int index = static_cast<int>(wParam);
            if (index < 0 || index >= Count()) return FALSE_;
            tabs_.erase(tabs_.begin() + index);
            if (index == cur_)
                cur_ = -1;
            else if (index < cur_)
                --cur_;
            Invalidate();
            return TRUE_;
        }
        case TCM_DELETEALLITEMS:
            tabs_.clear();
            cur_ = -1;
            Invalidate();
            return TRUE_;
        case TCM_GETITEM: {
            auto* item = reinterpret_cast<TCITEM*>(lParam);
            const int index = static_cast<int>(wParam);
            if (!item || index < 0 || index >= Count()) return FALSE_;
            const Tab& tab = tabs_[static_cast<size_t>(index)];
            if ((item->mask & TCIF_TEXT) && item->pszText && item->cchTextMax > 0)
                CopyOut(tab.text, static_cast<WPARAM>(item->cchTextMax),
                        reinterpret_cast<LPARAM>(item->pszText));
            if (item->mask & TCIF_IMAGE) item->iImage = tab.image;
            if (item->mask & TCIF_PARAM) item->lParam = tab.param;
            return TRUE_;
        }
        case TCM_SETITEM: {
            const auto* item = reinterpret_cast<const TCITEM*>(lParam);
            const int index = static_cast<int>(wParam);
            if (!item || index < 0 || index >= Count()) return FALSE_;
            Apply(tabs_[static_cast<size_t>(index)], *item);
            Invalidate();
            return TRUE_;
        }
        case TCM_GETCURSEL:
            return cur_;
        case TCM_SETCURSEL: {
            const int index = static_cast<int>(static_cast<intptr_t>(wParam));
            if (index < 0 || index >= Count()) return -1;
            const int old = cur_;
            cur_ = index;
            Invalidate();
            return old;
        }
        case TCM_GETITEMRECT: {
            const int index = static_cast<int>(wParam);
            if (index < 0 || index >= Count() || !lParam) return FALSE_;
            *reinterpret_cast<RECT*>(lParam) = TabRect(index);
            return TRUE_;
        }
        case TCM_HITTEST: {
            auto* info = reinterpret_cast<TCHITTESTINFO*>(lParam);
            if (!info) return -1;
            const int index = TabAt(info->pt);
            info->flags = index >= 0 ? 0x6 /* TCHT_ONITEM */ : 0x1 /* TCHT_NOWHERE */;
            return index;
        }
        case TCM_ADJUSTRECT: {
            auto* r = reinterpret_cast<RECT*>(lParam);
            if (!r) return 0;
            const int rowHeight = RowHeight();
            if (wParam) {
                r->left -= 2;
                r->right += 2;
                r->bottom += 2;
                r->top -= rowHeight + 2;
            } else {
                r->left += 2;
                r->right -= 2;
                r->bottom -= 2;
                r->top += rowHeight + 2;
            }
            return 0;
        }
        default:
            return Default(msg, wParam, lParam);
        }
    }

private:
    int Count() const { return static_cast<int>(tabs_.size()); }

    static void Apply(Tab& tab, const TCITEM& item) {
        if (item.mask & TCIF_TEXT) tab.text = item.pszText ? item.pszText : "";
        if (item.mask & TCIF_IMAGE) tab.image = item.iImage;
        if (item.mask & TCIF_PARAM) tab.param = item.lParam;
    }

    int RowHeight() {
        ClientDC dc(*this);
        return LineHeight(dc.Get()) + 6;
    }

    RECT TabRect(int index) {
        ClientDC dc(*this);
        const int h = LineHeight(dc.Get()) + 6;
        int x = 2;
        for (int i = 0; i < index; ++i)
            x += TextWidth(dc.Get(), tabs_[static_cast<size_t>(i)].text) + 12;
        const int w = TextWidth(dc.Get(), tabs_[static_cast<size_t>(index)].text) + 12;
        return RECT{x, 2, x + w, 2 + h};
    }

    int TabAt(POINT p) {
        for (int i = 0; i < Count(); ++i)
            if (PtInRect(TabRect(i), p)) return i;
        return -1;
    }

    void UserSelect(int index) {
        if (index == cur_) return;
        NMHDR h;
        if (Notify(TCN_SELCHANGING, &h)) return;
        cur_ = index;
        Invalidate();
        Notify(TCN_SELCHANGE, &h);
    }

    void Paint(WPARAM given) {
        PaintDC paint(Hwnd(), given);
        HDC dc = paint.Get();
        RECT c;
        GetClientRect(Hwnd(), c);
        FillRect(dc, &c, ControlColor(WM_CTLCOLORDLG, dc, COLOR_BTNFACE));
        HGDIOBJ oldFont = SelectObject(dc, Font());
        const int rowHeight = LineHeight(dc) + 6;
        RECT body{c.left, c.top + rowHeight + 2, c.right, c.bottom};
        DrawEdge(dc, &body, EDGE_RAISED, BF_RECT | BF_SOFT);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(IsWindowEnabled(Hwnd()) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        for (int i = 0; i < Count(); ++i) {
            RECT r = TabRect(i);
            if (i == cur_) {
                InflateRect(r, 2, 0);
                r.top -= 2;
                r.bottom += 1;
            }
            RECT face = r;
            FillRect(dc, &face, GetSysColorBrush(COLOR_BTNFACE));
            DrawEdge(dc, &face, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT | BF_SOFT);
            RECT t = r;
            const std::string& text = tabs_[static_cast<size_t>(i)].text;
            DrawText(dc, text.c_str(), static_cast<int>(text.size()), &t,
                     DT_SINGLELINE | DT_CENTER | DT_VCENTER);
            if (i == cur_ && focused_) {
                RECT f = r;
                InflateRect(f, -3, -3);
                DrawFocusRect(dc, &f);
            }
        }
        SelectObject(dc, oldFont);
    }

    std::vector<Tab> tabs_;
    int cur_ = -1;
    bool focused_ = false;
};

} // namespace

void RegisterTabControlClass() {
    RegisterControlClass<TabControl>(WC_TABCONTROL, CS_DBLCLKS);
}

} // namespace pw::commctrl
