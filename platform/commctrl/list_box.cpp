// The "LISTBOX" class: single, multiple and extended selection lists of strings.
#include <algorithm>
#include <optional>
#include <span>
#include <string>

#include "platform/commctrl/class_registry.h"
#include "platform/commctrl/control_views.h"
#include "platform/commctrl/item_list.h"
#include "platform/commctrl/row_list.h"
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
#include "platform/rtl/strings.h"

namespace pw::commctrl {
namespace {

class ListBox : public RowList {
public:
    using RowList::RowList;

    LRESULT Handle(TMessage& m) override {
        switch (m.Msg) {
        case WM_CREATE:
            return Remeasure(false);
        case WM_PAINT:
            return Paint(TWMPaint(m));
        case WM_ERASEBKGND:
            return 1;
        case WM_SETFONT:
            return Remeasure(TWMSetFont(m).Redraw());
        case WM_SIZE:
            return Resized();
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            return FocusChanged(m.Msg == WM_SETFOCUS);
        case WM_LBUTTONDOWN:
            return ButtonDown(TWMMouse(m));
        case WM_LBUTTONDBLCLK:
            return DoubleClick();
        case WM_KEYDOWN:
            return KeyPressed(TWMKey(m));
        case WM_CHAR:
            return TypeAhead(TWMChar(m));
        case WM_VSCROLL:
            return VScroll(TWMScroll(m));
        case WM_HSCROLL:
            return HScroll(TWMScroll(m));
        case WM_MOUSEWHEEL:
            return MouseWheel(TWMMouseWheel(m));
        default:
            return ListMessage(ItemListMsg(m));
        }
    }

private:
    LRESULT ListMessage(ItemListMsg m) {
        switch (m.Msg) {
        case LB_ADDSTRING:
            return Inserted(items_.Add((Style() & LBS_SORT) != 0, m.Text()));
        case LB_INSERTSTRING:
            return InsertString(m.InsertAt(items_.Count()), m.Text());
        case LB_DELETESTRING:
            return DeleteString(m.Item(items_.Count()));
        case LB_RESETCONTENT:
            return ResetContent();
        case LB_GETCOUNT:
            return items_.Count();
        case LB_GETTEXT:
            return items_.GetText(m.Item(items_.Count()), m.TextOut());
        case LB_GETTEXTLEN:
            return items_.GetTextLen(m.Item(items_.Count()));
        case LB_GETITEMDATA:
            return items_.GetData(m.Item(items_.Count()));
        case LB_SETITEMDATA:
            return items_.SetData(m.Item(items_.Count()), m.Data());
        case LB_GETCURSEL:
            return CurSel();
        case LB_SETCURSEL:
            return SetCurSel(m.Item(items_.Count()));
        case LB_GETSEL:
            return GetSel(m.Item(items_.Count()));
        case LB_SETSEL:
            return SetSel(m);
        case LB_GETSELCOUNT:
            return SelCount();
        case LB_GETSELITEMS:
            return GetSelItems(m.SelItemsOut());
        case LB_GETCARETINDEX:
            return caret_;
        case LB_SETCARETINDEX:
            return SetCaretIndex(m.Item(items_.Count()));
        case LB_GETANCHORINDEX:
            return anchor_;
        case LB_SETANCHORINDEX:
            return SetAnchorIndex(m.Item(items_.Count()));
        case LB_FINDSTRING:
        case LB_FINDSTRINGEXACT:
        case LB_SELECTSTRING:
            return FindString(m.Msg, m.After(items_.Count()), m.Text());
        case LB_GETTOPINDEX:
            return top_;
        case LB_SETTOPINDEX:
            return SetTopIndex(m.Item(items_.Count()));
        case LB_GETITEMHEIGHT:
            return itemHeight_;
        case LB_SETITEMHEIGHT:
            return SetItemHeight(m.Height());
        case LB_GETITEMRECT:
            return GetItemRect(m.Item(items_.Count()), m.Rect());
        case LB_ITEMFROMPOINT:
            return ItemFromPoint(m.Point());
        case LB_SETHORIZONTALEXTENT:
            extent_ = std::max(0, m.Extent());
            SetLeft(left_);
            UpdateScrollBar();
            Invalidate();
            return 0;
        case LB_GETHORIZONTALEXTENT:
            return extent_;
        default:
            return Default(m);
        }
    }

    // --- window messages ---------------------------------------------------------------------------

    LRESULT Remeasure(bool redraw) {
        MeasureItems();
        UpdateScrollBar();
        if (redraw) Invalidate();
        return 0;
    }

    LRESULT Resized() {
        SetLeft(left_);
        UpdateScrollBar();
        return 0;
    }

    int ClientWidth() const {
        RECT c;
        GetClientRect(Hwnd(), c);
        return c.right - c.left;
    }

    // Scrolling across rows wider than the window (WS_HSCROLL with a horizontal extent).
    void SetLeft(int left) {
        left = std::clamp(left, 0, std::max(0, extent_ - ClientWidth()));
        if (left == left_) return;
        left_ = left;
        UpdateScrollBar();
        Invalidate();
    }

    LRESULT HScroll(TWMScroll m) {
        const int page = std::max(1, ClientWidth());
        switch (m.ScrollCode()) {
        case SB_LINELEFT:
            SetLeft(left_ - kScrollStep);
            break;
        case SB_LINERIGHT:
            SetLeft(left_ + kScrollStep);
            break;
        case SB_PAGELEFT:
            SetLeft(left_ - page);
            break;
        case SB_PAGERIGHT:
            SetLeft(left_ + page);
            break;
        case SB_LEFT:
            SetLeft(0);
            break;
        case SB_RIGHT:
            SetLeft(extent_);
            break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: {
            SCROLLINFO si;
            si.fMask = SIF_TRACKPOS;
            GetScrollInfo(Hwnd(), SB_HORZ, si);
            SetLeft(si.nTrackPos);
            break;
        }
        default:
            break;
        }
        return 0;
    }

    LRESULT FocusChanged(bool focused) {
        focused_ = focused;
        Invalidate();
        if (Style() & LBS_NOTIFY) Command(focused_ ? LBN_SETFOCUS : LBN_KILLFOCUS);
        return 0;
    }

    LRESULT ButtonDown(TWMMouse m) {
        SetFocus(Hwnd());
        MouseDown(ItemAt(m.Pos().y), m.Keys());
        return 0;
    }

    LRESULT DoubleClick() {
        SetFocus(Hwnd());
        if (Style() & LBS_NOTIFY) Command(LBN_DBLCLK);
        return 0;
    }

    // --- list messages -----------------------------------------------------------------------------

    LRESULT InsertString(std::optional<int> at, std::string text) {
        if (!at) return LB_ERR;
        return Inserted(items_.Insert(*at, std::move(text)));
    }

    LRESULT Inserted(int index) {
        if (!Multi() && cur_ >= index) ++cur_;
        if (caret_ >= index && items_.Count() > 1) ++caret_;
        if (anchor_ >= index && items_.Count() > 1) ++anchor_;
        ItemsChanged();
        return index;
    }

    LRESULT DeleteString(std::optional<int> item) {
        if (!item) return LB_ERR;
        const int index = *item;
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

    LRESULT ResetContent() {
        items_.Clear();
        cur_ = -1;
        caret_ = anchor_ = 0;
        top_ = 0;
        ItemsChanged();
        return 0;
    }

    LRESULT CurSel() const {
        const int i = Multi() ? caret_ : cur_;
        return items_.Valid(i) ? i : LB_ERR;
    }

    LRESULT SetCurSel(std::optional<int> item) {
        if (Multi()) return LB_ERR;
        cur_ = item.value_or(-1);
        if (cur_ >= 0) {
            caret_ = cur_;
            ShowRow(cur_);
        }
        Invalidate();
        return cur_ >= 0 ? cur_ : LB_ERR;
    }

    LRESULT GetSel(std::optional<int> item) const {
        if (!item) return LB_ERR;
        return IsSelected(*item) ? 1 : 0;
    }

    LRESULT SetSel(ItemListMsg m) {
        if (!Multi()) return LB_ERR;
        if (m.EveryItem()) {
            for (int i = 0; i < items_.Count(); ++i)
                items_.At(i).selected = m.Select();
        } else {
            const std::optional<int> item = m.SelItem(items_.Count());
            if (!item) return LB_ERR;
            items_.At(*item).selected = m.Select();
            caret_ = anchor_ = *item;
        }
        Invalidate();
        return LB_OKAY;
    }

    LRESULT SelCount() const {
        if (!Multi()) return LB_ERR;
        int n = 0;
        for (int i = 0; i < items_.Count(); ++i)
            n += items_.At(i).selected ? 1 : 0;
        return n;
    }

    LRESULT GetSelItems(std::span<int> out) const {
        if (!Multi() || out.data() == nullptr) return LB_ERR;
        size_t n = 0;
        for (int i = 0; i < items_.Count() && n < out.size(); ++i)
            if (items_.At(i).selected) out[n++] = i;
        return static_cast<LRESULT>(n);
    }

    LRESULT SetCaretIndex(std::optional<int> item) {
        if (!item) return LB_ERR;
        caret_ = *item;
        ShowRow(caret_);
        Invalidate();
        return LB_OKAY;
    }

    LRESULT SetAnchorIndex(std::optional<int> item) {
        if (!item) return LB_ERR;
        anchor_ = *item;
        return LB_OKAY;
    }

    LRESULT FindString(UINT msg, int after, const std::string& text) {
        const int found = items_.Find(after, text, msg == LB_FINDSTRINGEXACT);
        if (found < 0) return LB_ERR;
        if (msg == LB_SELECTSTRING && !Multi())
            SendMessage(Hwnd(), LB_SETCURSEL, static_cast<WPARAM>(found), 0);
        return found;
    }

    LRESULT SetTopIndex(std::optional<int> item) {
        if (items_.Count() && !item) return LB_ERR;
        SetTop(item.value_or(0));
        return LB_OKAY;
    }

    LRESULT SetItemHeight(int height) {
        itemHeight_ = height;
        UpdateScrollBar();
        Invalidate();
        return LB_OKAY;
    }

    LRESULT GetItemRect(std::optional<int> item, RECT* r) const {
        if (!item || !r) return LB_ERR;
        *r = ItemRect(*item);
        return LB_OKAY;
    }

    // The nearest item in the low word, and in the high word whether the point lies outside the items.
    LRESULT ItemFromPoint(POINT p) const {
        RECT c;
        GetClientRect(Hwnd(), c);
        const bool outside = !PtInRect(c, p) || ItemAt(p.y) < 0;
        int index = ItemAt(p.y);
        if (index < 0)
            index = std::clamp(top_ + (p.y < 0 ? 0 : p.y / itemHeight_), 0, std::max(0, items_.Count() - 1));
        return MAKELPARAM(static_cast<WORD>(index), outside ? 1 : 0);
    }

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
        // Rows as wide as the extent when that is wider, moved by the horizontal scroll.
        const int width = std::max(static_cast<int>(c.right - c.left), extent_);
        return RECT{c.left - left_, y, c.left - left_ + width, y + itemHeight_};
    }

    LRESULT ItemsChanged() {
        UpdateScrollBar();
        Invalidate();
        return 0;
    }

    void UpdateScrollBar() override {
        if (Style() & WS_HSCROLL) {
            SCROLLINFO si;
            si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
            si.nMin = 0;
            si.nMax = std::max(0, extent_ - 1);
            si.nPage = static_cast<UINT>(std::max(0, ClientWidth()));
            si.nPos = left_;
            SetScrollInfo(Hwnd(), SB_HORZ, si, RedrawOn() ? TRUE_ : FALSE_);
        }
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

    LRESULT KeyPressed(TWMKey m) {
        const WORD vk = m.CharCode();
        const int n = items_.Count();
        if (n == 0) return 0;
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
            return 0;
        default:
            return 0;
        }
        to = std::clamp(to, 0, n - 1);
        Navigate(to);
        return 0;
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

    LRESULT TypeAhead(TWMChar m) {
        const char32_t c = m.Character();
        if (c < 0x20 || c >= 0x80 || items_.Count() == 0) return 0;
        const int start = Multi() ? caret_ : cur_;
        const int found = items_.Find(start, std::string(1, static_cast<char>(c)), false);
        if (found >= 0) Navigate(found);
        return 0;
    }

    LRESULT Paint(TWMPaint m) {
        PaintDC paint(Hwnd(), m);
        HDC dc = paint.Get();
        RECT c;
        GetClientRect(Hwnd(), c);
        HBRUSH brush = ControlColor(WM_CTLCOLORLISTBOX, dc, COLOR_WINDOW);
        FillRect(dc, &c, brush);
        const gdi::SelectedObject fontSelected(dc, Font());
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
        // An empty list still shows that it has the keyboard, where its first entry would be.
        if (focused_ && items_.Count() == 0 && !(Style() & LBS_OWNERDRAWFIXED)) {
            RECT r = ItemRect(0);
            DrawFocusRect(dc, &r);
        }
        return 0;
    }

    ItemList items_;
    int cur_ = -1;
    int caret_ = 0;
    // The horizontal extent and scroll position, in pixels.
    int extent_ = 0;
    int left_ = 0;
    static constexpr int kScrollStep = 8;
    int anchor_ = 0;
    bool focused_ = false;
};

} // namespace

void RegisterListBoxClass() {
    RegisterControlClass<ListBox>("LISTBOX", CS_DBLCLKS);
}

} // namespace pw::commctrl
