// The "SysTabControl32" class: one row of tabs over a display area.
#include <algorithm>
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

    LRESULT Handle(TMessage& m) override {
        switch (m.Msg) {
        case WM_PAINT:
            return Paint(TWMPaint(m));
        case WM_ERASEBKGND:
            return 1;
        case WM_SETFONT:
            return FontChanged(TWMSetFont(m));
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            return FocusChanged(m.Msg == WM_SETFOCUS);
        case WM_LBUTTONDOWN:
            return ButtonDown(TWMMouse(m));
        case WM_KEYDOWN:
            return KeyPressed(TWMKey(m));
        default:
            return TabMessage(TabMsg(m));
        }
    }

private:
    LRESULT TabMessage(TabMsg m) {
        switch (m.Msg) {
        case TCM_GETITEMCOUNT:
            return Count();
        case TCM_INSERTITEM:
            return InsertItem(m.InsertAt(Count()), m.Item());
        case TCM_DELETEITEM:
            return DeleteItem(m.Tab(Count()));
        case TCM_DELETEALLITEMS:
            return DeleteAllItems();
        case TCM_GETITEM:
            return GetItem(m.Tab(Count()), m.Item());
        case TCM_SETITEM:
            return SetItem(m.Tab(Count()), m.Item());
        case TCM_GETCURSEL:
            return cur_;
        case TCM_SETCURSEL:
            return SetCurSel(m.Tab(Count()));
        case TCM_GETITEMRECT:
            return GetItemRect(m.Tab(Count()), m.Rect());
        case TCM_HITTEST:
            return HitTest(m.HitTestInfo());
        case TCM_ADJUSTRECT:
            return AdjustRect(m.Rect(), m.Larger());
        default:
            return Default(m);
        }
    }

    LRESULT FontChanged(TWMSetFont m) {
        if (m.Redraw()) Invalidate();
        return 0;
    }

    LRESULT FocusChanged(bool focused) {
        focused_ = focused;
        Invalidate();
        return 0;
    }

    LRESULT ButtonDown(TWMMouse m) {
        const int index = TabAt(m.Pos());
        if (index >= 0) {
            SetFocus(Hwnd());
            UserSelect(index);
        }
        return 0;
    }

    LRESULT KeyPressed(TWMKey m) {
        if (m.CharCode() == VK_LEFT && cur_ > 0) UserSelect(cur_ - 1);
        if (m.CharCode() == VK_RIGHT && cur_ + 1 < Count()) UserSelect(cur_ + 1);
        return 0;
    }

    LRESULT InsertItem(std::optional<int> at, const TCITEM* item) {
        if (!at || !item) return -1;
        Tab tab;
        Apply(tab, *item);
        tabs_.insert(tabs_.begin() + *at, tab);
        if (cur_ < 0)
            cur_ = 0;
        else if (*at <= cur_)
            ++cur_;
        Invalidate();
        return *at;
    }

    LRESULT DeleteItem(std::optional<int> index) {
        if (!index) return FALSE_;
        tabs_.erase(tabs_.begin() + *index);
        if (*index == cur_)
            cur_ = -1;
        else if (*index < cur_)
            --cur_;
        Invalidate();
        return TRUE_;
    }

    LRESULT DeleteAllItems() {
        tabs_.clear();
        cur_ = -1;
        Invalidate();
        return TRUE_;
    }

    LRESULT GetItem(std::optional<int> index, TCITEM* item) const {
        if (!index || !item) return FALSE_;
        const Tab& tab = tabs_[static_cast<size_t>(*index)];
        if (item->mask & TCIF_TEXT) CopyOut(tab.text, TextBuffer(item->pszText, item->cchTextMax));
        if (item->mask & TCIF_IMAGE) item->iImage = tab.image;
        if (item->mask & TCIF_PARAM) item->lParam = tab.param;
        return TRUE_;
    }

    LRESULT SetItem(std::optional<int> index, const TCITEM* item) {
        if (!index || !item) return FALSE_;
        Apply(tabs_[static_cast<size_t>(*index)], *item);
        Invalidate();
        return TRUE_;
    }

    LRESULT SetCurSel(std::optional<int> index) {
        if (!index) return -1;
        const int old = cur_;
        cur_ = *index;
        Invalidate();
        return old;
    }

    LRESULT GetItemRect(std::optional<int> index, RECT* r) {
        if (!index || !r) return FALSE_;
        *r = TabRect(*index);
        return TRUE_;
    }

    LRESULT HitTest(TCHITTESTINFO* info) {
        if (!info) return -1;
        const int index = TabAt(info->pt);
        info->flags = index >= 0 ? 0x6 /* TCHT_ONITEM */ : 0x1 /* TCHT_NOWHERE */;
        return index;
    }

    LRESULT AdjustRect(RECT* r, bool larger) {
        if (!r) return 0;
        const int rowHeight = RowHeight();
        const int out = larger ? 1 : -1;
        r->left -= 2 * out;
        r->right += 2 * out;
        r->bottom += 2 * out;
        r->top -= (rowHeight + 2) * out;
        return 0;
    }

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

    LRESULT Paint(TWMPaint m) {
        PaintDC paint(Hwnd(), m);
        HDC dc = paint.Get();
        RECT c;
        GetClientRect(Hwnd(), c);
        FillRect(dc, &c, ControlColor(WM_CTLCOLORDLG, dc, COLOR_BTNFACE));
        const gdi::SelectedObject fontSelected(dc, Font());
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
        return 0;
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
