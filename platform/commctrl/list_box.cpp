// The "LISTBOX" class: single, multiple and extended selection lists of strings.
#include <algorithm>
#include <string>

#include "platform/commctrl/class_registry.h"
#include "platform/commctrl/item_list.h"
#include "platform/commctrl/row_list.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/gdi/text.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "platform/rtl/strings.h"

namespace pw::commctrl {
namespace {

class ListBox : public RowList {
public:
    using RowList::RowList;

    LRESULT Handle(TMessage& m) override { return HandleRaw(m.Msg, m.WParam, m.LParam); }
    LRESULT HandleRaw(UINT msg, WPARAM wParam, LPARAM lParam) {
        if (ScrollMessageRaw(msg, wParam, lParam)) return 0;
        switch (msg) {
        case WM_CREATE:
            MeasureItems();
            UpdateScrollBar();
            return 0;
        case WM_PAINT:
            Paint(wParam);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SETFONT:
            MeasureItems();
            UpdateScrollBar();
            if (lParam) Invalidate();
            return 0;
        case WM_SIZE:
            UpdateScrollBar();
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            focused_ = msg == WM_SETFOCUS;
            Invalidate();
            if (Style() & LBS_NOTIFY) Command(focused_ ? LBN_SETFOCUS : LBN_KILLFOCUS);
            return 0;
        case WM_LBUTTONDOWN:
            SetFocus(Hwnd());
            MouseDown(ItemAt(GET_Y_LPARAM(lParam)), wParam);
            return 0;
        case WM_LBUTTONDBLCLK:
            SetFocus(Hwnd());
            if (Style() & LBS_NOTIFY) Command(LBN_DBLCLK);
            return 0;
        case WM_KEYDOWN:
            KeyDownMsg(static_cast<int>(wParam));
            return 0;
        case WM_CHAR:
            TypeAhead(static_cast<char32_t>(wParam));
            return 0;
        case LB_ADDSTRING:
        case LB_INSERTSTRING: {
            const int index =
                static_cast<int>(msg == LB_ADDSTRING ? items_.AddString((Style() & LBS_SORT) != 0, lParam)
                                                     : items_.InsertString(wParam, lParam));
            if (index < 0) return LB_ERR;
            if (!Multi() && cur_ >= index) ++cur_;
            if (caret_ >= index && items_.Count() > 1) ++caret_;
            if (anchor_ >= index && items_.Count() > 1) ++anchor_;
            ItemsChanged();
            return index;
        }
        case LB_DELETESTRING: {
            const int index = static_cast<int>(wParam);
            if (!items_.Valid(index)) return LB_ERR;
            items_.Erase(index);
            auto shift = [&](int& i) {
                if (i == index)
                    i = Multi() ? std::min(i, items_.Count() - 1) : -1;
                else if (i > index)
                    --i;
            };
            shift(cur_);
            shift(caret_);
            shift(anchor_);
            top_ = std::clamp(top_, 0, std::max(0, items_.Count() - 1));
            ItemsChanged();
            return items_.Count();
        }
        case LB_RESETCONTENT:
            items_.Clear();
            cur_ = -1;
            caret_ = anchor_ = 0;
            top_ = 0;
            ItemsChanged();
            return 0;
        case LB_GETCOUNT:
            return items_.Count();
        case LB_GETTEXT:
            return items_.GetText(wParam, lParam);
        case LB_GETTEXTLEN:
            return items_.GetTextLen(wParam);
        case LB_GETITEMDATA:
            return items_.GetData(wParam);
        case LB_SETITEMDATA:
            return items_.SetData(wParam, lParam);
        case LB_GETCURSEL:
            if (Multi()) return items_.Valid(caret_) ? caret_ : LB_ERR;
            return items_.Valid(cur_) ? cur_ : LB_ERR;
        case LB_SETCURSEL: {
            if (Multi()) return LB_ERR;
            const int index = static_cast<int>(static_cast<intptr_t>(wParam));
            cur_ = items_.Valid(index) ? index : -1;
            if (cur_ >= 0) {
                caret_ = cur_;
                ShowRow(cur_);
            }
            Invalidate();
            return cur_ >= 0 ? cur_ : LB_ERR;
        }
        case LB_GETSEL: {
            const int index = static_cast<int>(wParam);
            if (!items_.Valid(index)) return LB_ERR;
            return IsSelected(index) ? 1 : 0;
        }
        case LB_SETSEL: {
            if (!Multi()) return LB_ERR;
            const int index = static_cast<int>(lParam);
            if (index == -1) {
                for (int i = 0; i < items_.Count(); ++i)
                    items_.At(i).selected = wParam != 0;
            } else {
                if (!items_.Valid(index)) return LB_ERR;
                items_.At(index).selected = wParam != 0;
                caret_ = anchor_ = index;
            }
            Invalidate();
            return LB_OKAY;
        }
        case LB_GETSELCOUNT: {
            if (!Multi()) return LB_ERR;
            int n = 0;
            for (int i = 0; i < items_.Count(); ++i)
                n += items_.At(i).selected ? 1 : 0;
            return n;
        }
        case LB_GETSELITEMS: {
            if (!Multi()) return LB_ERR;
            int* out = reinterpret_cast<int*>(lParam);
            if (!out) return LB_ERR;
            int n = 0;
            for (int i = 0; i < items_.Count() && n < static_cast<int>(wParam); ++i)
                if (items_.At(i).selected) out[n++] = i;
            return n;
        }
        case LB_GETCARETINDEX:
            return caret_;
        case LB_SETCARETINDEX:
            if (!items_.Valid(static_cast<int>(wParam))) return LB_ERR;
            caret_ = static_cast<int>(wParam);
            ShowRow(caret_);
            Invalidate();
            return LB_OKAY;
        case LB_GETANCHORINDEX:
            return anchor_;
        case LB_SETANCHORINDEX:
            if (!items_.Valid(static_cast<int>(wParam))) return LB_ERR;
            anchor_ = static_cast<int>(wParam);
            return LB_OKAY;
        case LB_FINDSTRING:
        case LB_FINDSTRINGEXACT:
        case LB_SELECTSTRING: {
            const int found = static_cast<int>(items_.FindString(wParam, lParam, msg == LB_FINDSTRINGEXACT));
            if (found < 0) return LB_ERR;
            if (msg == LB_SELECTSTRING && !Multi())
                SendMessage(Hwnd(), LB_SETCURSEL, static_cast<WPARAM>(found), 0);
            return found;
        }
        case LB_GETTOPINDEX:
            return top_;
        case LB_SETTOPINDEX:
            if (items_.Count() && !items_.Valid(static_cast<int>(wParam))) return LB_ERR;
            SetTop(static_cast<int>(wParam));
            return LB_OKAY;
        case LB_GETITEMHEIGHT:
            return itemHeight_;
        case LB_SETITEMHEIGHT:
            itemHeight_ = std::clamp(static_cast<int>(LOWORD(static_cast<uintptr_t>(lParam))), 1, 255);
            UpdateScrollBar();
            Invalidate();
            return LB_OKAY;
        case LB_GETITEMRECT: {
            const int index = static_cast<int>(wParam);
            if (!items_.Valid(index) || !lParam) return LB_ERR;
            *reinterpret_cast<RECT*>(lParam) = ItemRect(index);
            return LB_OKAY;
        }
        case LB_ITEMFROMPOINT: {
            const int y = GET_Y_LPARAM(lParam), x = GET_X_LPARAM(lParam);
            RECT c;
            GetClientRect(Hwnd(), c);
            const bool outside = !PtInRect(c, POINT{x, y}) || ItemAt(y) < 0;
            int index = ItemAt(y);
            if (index < 0)
                index = std::clamp(top_ + (y < 0 ? 0 : y / itemHeight_), 0, std::max(0, items_.Count() - 1));
            return MAKELPARAM(static_cast<WORD>(index), outside ? 1 : 0);
        }
        default:
            return Default(msg, wParam, lParam);
        }
    }

private:
    bool Multi() const { return (Style() & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0; }
    bool Extended() const { return (Style() & LBS_EXTENDEDSEL) != 0; }
    bool IsSelected(int i) const { return Multi() ? items_.At(i).selected : i == cur_; }

    void MeasureItems() {
        ClientDC dc(*this);
        itemHeight_ = std::max(1, LineHeight(dc.Get()));
        if (Style() & LBS_OWNERDRAWFIXED) {
            MEASUREITEMSTRUCT mis;
            mis.CtlType = ODT_LISTBOX;
            mis.CtlID = static_cast<UINT>(Id());
            mis.itemHeight = static_cast<UINT>(itemHeight_);
            if (HWND parent = Parent())
                SendMessage(parent, WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis));
            itemHeight_ = std::max(1, static_cast<int>(mis.itemHeight));
        }
    }

    int Rows() const override { return items_.Count(); }

    int ItemAt(int y) const {
        if (y < 0) return -1;
        const int index = top_ + y / itemHeight_;
        return items_.Valid(index) ? index : -1;
    }

    RECT ItemRect(int index) const {
        RECT c;
        GetClientRect(Hwnd(), c);
        const int y = (index - top_) * itemHeight_;
        return RECT{c.left, y, c.right, y + itemHeight_};
    }

    void ItemsChanged() {
        UpdateScrollBar();
        Invalidate();
    }

    void UpdateScrollBar() override {
        if (!(Style() & WS_VSCROLL) && !Scroll().Bar(SB_VERT).shown) return;
        RowList::UpdateScrollBar();
    }

    // Selects exactly the items from..to (either order).
    bool SelectRange(int from, int to, bool keepOthers) {
        bool changed = false;
        const int lo = std::min(from, to), hi = std::max(from, to);
        for (int i = 0; i < items_.Count(); ++i) {
            const bool want = (i >= lo && i <= hi) || (keepOthers && items_.At(i).selected);
            changed |= items_.At(i).selected != want;
            items_.At(i).selected = want;
        }
        return changed;
    }

    void SelectionChanged(bool changed) {
        Invalidate();
        if (changed && (Style() & LBS_NOTIFY)) Command(LBN_SELCHANGE);
    }

    void MouseDown(int index, WPARAM keys) {
        if (index < 0) return;
        bool changed = false;
        if (!Multi()) {
            changed = cur_ != index;
            cur_ = caret_ = index;
        } else if (!Extended()) {
            items_.At(index).selected = !items_.At(index).selected;
            changed = true;
            caret_ = anchor_ = index;
        } else if (keys & MK_SHIFT) {
            changed = SelectRange(anchor_, index, (keys & MK_CONTROL) != 0);
            caret_ = index;
        } else if (keys & MK_CONTROL) {
            items_.At(index).selected = !items_.At(index).selected;
            changed = true;
            caret_ = anchor_ = index;
        } else {
            changed = SelectRange(index, index, false);
            caret_ = anchor_ = index;
        }
        ShowRow(index);
        SelectionChanged(changed);
    }

    void KeyDownMsg(int vk) {
        const int n = items_.Count();
        if (n == 0) return;
        const int from = Multi() ? caret_ : (cur_ < 0 ? -1 : cur_);
        int to = from;
        switch (vk) {
        case VK_UP:
            to = std::max(0, from - 1);
            break;
        case VK_DOWN:
            to = std::min(n - 1, from + 1);
            break;
        case VK_PRIOR:
            to = std::max(0, from - VisibleRows() + 1);
            break;
        case VK_NEXT:
            to = std::min(n - 1, std::max(from, 0) + VisibleRows() - 1);
            break;
        case VK_HOME:
            to = 0;
            break;
        case VK_END:
            to = n - 1;
            break;
        case VK_SPACE:
            if (Multi() && items_.Valid(caret_) && (!Extended() || KeyDown(VK_CONTROL))) {
                items_.At(caret_).selected = !items_.At(caret_).selected;
                anchor_ = caret_;
                SelectionChanged(true);
            }
            return;
        default:
            return;
        }
        to = std::clamp(to, 0, n - 1);
        Navigate(to);
    }

    void Navigate(int to) {
        bool changed = false;
        if (!Multi()) {
            changed = cur_ != to;
            cur_ = caret_ = to;
        } else if (Extended() && KeyDown(VK_SHIFT)) {
            changed = SelectRange(anchor_, to, false);
            caret_ = to;
        } else if (Extended() && !KeyDown(VK_CONTROL)) {
            changed = SelectRange(to, to, false);
            caret_ = anchor_ = to;
        } else {
            caret_ = to;
        }
        ShowRow(to);
        SelectionChanged(changed);
    }

    void TypeAhead(char32_t c) {
        if (c < 0x20 || c >= 0x80 || items_.Count() == 0) return;
        const int start = Multi() ? caret_ : cur_;
        const int found = items_.Find(start, std::string(1, static_cast<char>(c)), false);
        if (found >= 0) Navigate(found);
    }

    void Paint(WPARAM given) {
        PaintDC paint(Hwnd(), given);
        HDC dc = paint.Get();
        RECT c;
        GetClientRect(Hwnd(), c);
        HBRUSH brush = ControlColor(WM_CTLCOLORLISTBOX, dc, COLOR_WINDOW);
        FillRect(dc, &c, brush);
        HGDIOBJ oldFont = SelectObject(dc, Font());
        const COLORREF normal = GetTextColor(dc);
        SetBkMode(dc, TRANSPARENT);
        const int last = std::min(items_.Count(), top_ + VisibleRows() + 1);
        const bool enabled = IsWindowEnabled(Hwnd());
        for (int i = top_; i < last; ++i) {
            RECT r = ItemRect(i);
            const bool selected = IsSelected(i);
            if (Style() & LBS_OWNERDRAWFIXED) {
                DRAWITEMSTRUCT dis;
                dis.CtlType = ODT_LISTBOX;
                dis.CtlID = static_cast<UINT>(Id());
                dis.itemID = static_cast<UINT>(i);
                dis.itemAction = ODA_DRAWENTIRE;
                dis.itemState = (selected ? ODS_SELECTED : 0) | (focused_ && i == caret_ ? ODS_FOCUS : 0) |
                                (enabled ? 0 : ODS_DISABLED);
                dis.hwndItem = Hwnd();
                dis.hDC = dc;
                dis.rcItem = r;
                dis.itemData = static_cast<uintptr_t>(items_.At(i).data);
                if (HWND parent = Parent())
                    SendMessage(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
                continue;
            }
            if (selected) {
                FillHighlight(dc, r);
            } else {
                SetTextColor(dc, enabled ? normal : GetSysColor(COLOR_GRAYTEXT));
            }
            DrawItemText(dc, r, items_.At(i).text);
            if (focused_ && i == caret_) DrawFocusRect(dc, &r);
        }
        SelectObject(dc, oldFont);
    }

    ItemList items_;
    int cur_ = -1;
    int caret_ = 0;
    int anchor_ = 0;
    bool focused_ = false;
};

} // namespace

void RegisterListBoxClass() {
    RegisterControlClass<ListBox>("LISTBOX", CS_DBLCLKS);
}

} // namespace pw::commctrl
