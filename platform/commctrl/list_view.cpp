// The "SysListView32" class in report view: rows of texts under a column header, with small icons.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/commctrl/class_registry.h"
#include "platform/commctrl/common_controls.h"
#include "platform/commctrl/control_views.h"
#include "platform/commctrl/row_list.h"
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

struct Column {
    std::string text;
    int width = 50;
    int format = LVCFMT_LEFT;
};

struct Row {
    std::vector<std::string> texts;
    int image = 0;
    UINT state = 0;
    LPARAM param = 0;
};

class ListView : public RowList {
public:
    using RowList::RowList;

    LRESULT Handle(TMessage& m) override {
        if (m.Msg >= LVM_FIRST && m.Msg < LVM_FIRST + 0x100) return ListMessage(ListViewMsg(m));
        switch (m.Msg) {
        case WM_CREATE:
            return Measure();
        case WM_DESTROY:
            return Destroy();
        case WM_PAINT:
            return Paint(TWMPaint(m));
        case WM_ERASEBKGND:
            return 1;
        case WM_SETFONT:
            return FontChanged();
        case WM_SIZE:
            return Resized();
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            return FocusChanged(m.Msg == WM_SETFOCUS);
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            return MouseDown(TWMMouse(m));
        case WM_KEYDOWN:
            return KeyPressed(TWMKey(m));
        case WM_VSCROLL:
            return VScroll(TWMScroll(m));
        case WM_MOUSEWHEEL:
            return MouseWheel(TWMMouseWheel(m));
        default:
            return Default(m);
        }
    }

private:
    LRESULT ListMessage(ListViewMsg m) {
        switch (m.Msg) {
        case LVM_SETIMAGELIST:
            return SetImageList(m.ImageListKind(), m.ImageList());
        case LVM_GETIMAGELIST:
            return reinterpret_cast<LRESULT>(ImageList(m.ImageListKind()));
        case LVM_GETITEMCOUNT:
            return Count();
        case LVM_INSERTCOLUMN:
            return InsertColumn(m.InsertAt(Columns()), m.Column());
        case LVM_SETCOLUMN:
            return SetColumn(m.Index(Columns()), m.Column());
        case LVM_GETCOLUMN:
            return GetColumn(m.Index(Columns()), m.Column());
        case LVM_DELETECOLUMN:
            return DeleteColumn(m.Index(Columns()));
        case LVM_GETCOLUMNWIDTH:
            return ColumnWidth(m.Index(Columns()));
        case LVM_SETCOLUMNWIDTH:
            return SetColumnWidth(m.Index(Columns()), m.Width());
        case LVM_INSERTITEM:
            return InsertItem(m.Item());
        case LVM_DELETEITEM:
            return DeleteItem(m.Index(Count()));
        case LVM_DELETEALLITEMS:
            return DeleteAllItems();
        case LVM_GETITEM:
            return GetItem(m.ItemIn(Count()));
        case LVM_SETITEM:
            return SetItem(m.ItemIn(Count()));
        case LVM_SETITEMTEXT:
            return SetItemText(m.Index(Count()), m.Item());
        case LVM_GETITEMTEXT:
            return GetItemText(m.Index(Count()), m.Item());
        case LVM_SETITEMSTATE:
            return SetItemState(m);
        case LVM_GETITEMSTATE:
            return GetItemState(m.Index(Count()), m.Mask());
        case LVM_GETNEXTITEM:
            return NextItem(m.After(), m.Mask());
        case LVM_GETSELECTEDCOUNT:
            return SelectedCount();
        case LVM_GETTOPINDEX:
            return top_;
        case LVM_ENSUREVISIBLE:
            return EnsureVisible(m.Index(Count()));
        case LVM_GETITEMRECT:
            return GetItemRect(m.Index(Count()), m.Rect());
        case LVM_HITTEST:
            return HitTest(m.HitTestInfo());
        default:
            return Default(m);
        }
    }

    // --- window messages ---------------------------------------------------------------------------

    LRESULT Destroy() {
        NMLISTVIEW nm;
        Notify(LVN_DELETEALLITEMS, &nm);
        return 0;
    }

    LRESULT FontChanged() {
        Measure();
        Changed();
        return 0;
    }

    LRESULT Resized() {
        Changed();
        return 0;
    }

    LRESULT FocusChanged(bool focused) {
        focused_ = focused;
        Invalidate();
        NMHDR h;
        Notify(focused_ ? NM_SETFOCUS : NM_KILLFOCUS, &h);
        return 0;
    }

    // --- image lists and columns -------------------------------------------------------------------

    HIMAGELIST* ImageListSlot(WPARAM kind) {
        return kind == LVSIL_SMALL ? &small_ : kind == LVSIL_NORMAL ? &normal_ : nullptr;
    }

    HIMAGELIST ImageList(WPARAM kind) {
        HIMAGELIST* slot = ImageListSlot(kind);
        return slot ? *slot : nullptr;
    }

    LRESULT SetImageList(WPARAM kind, HIMAGELIST list) {
        HIMAGELIST* slot = ImageListSlot(kind);
        if (!slot) return 0;
        HIMAGELIST old = *slot;
        *slot = list;
        Measure();
        Changed();
        return reinterpret_cast<LRESULT>(old);
    }

    int Columns() const { return static_cast<int>(columns_.size()); }

    LRESULT InsertColumn(int index, const LVCOLUMN* col) {
        if (!col) return -1;
        Column c;
        ApplyColumn(c, *col);
        columns_.insert(columns_.begin() + index, c);
        for (Row& r : rows_)
            if (static_cast<int>(r.texts.size()) > index && index > 0)
                r.texts.insert(r.texts.begin() + index, std::string());
        Invalidate();
        return index;
    }

    LRESULT SetColumn(std::optional<int> index, const LVCOLUMN* col) {
        if (!index || !col) return FALSE_;
        ApplyColumn(columns_[static_cast<size_t>(*index)], *col);
        Invalidate();
        return TRUE_;
    }

    LRESULT GetColumn(std::optional<int> index, LVCOLUMN* col) {
        if (!index || !col) return FALSE_;
        const Column& c = columns_[static_cast<size_t>(*index)];
        if (col->mask & LVCF_WIDTH) col->cx = c.width;
        if (col->mask & LVCF_FMT) col->fmt = c.format;
        if (col->mask & LVCF_TEXT) CopyOut(c.text, TextBuffer(col->pszText, col->cchTextMax));
        return TRUE_;
    }

    LRESULT DeleteColumn(std::optional<int> index) {
        if (!index) return FALSE_;
        columns_.erase(columns_.begin() + *index);
        for (Row& r : rows_)
            if (static_cast<int>(r.texts.size()) > *index) r.texts.erase(r.texts.begin() + *index);
        Invalidate();
        return TRUE_;
    }

    LRESULT ColumnWidth(std::optional<int> index) const {
        return index ? columns_[static_cast<size_t>(*index)].width : 0;
    }

    LRESULT SetColumnWidth(std::optional<int> index, int width) {
        if (!index) return FALSE_;
        columns_[static_cast<size_t>(*index)].width = width;
        Invalidate();
        return TRUE_;
    }

    // --- items ------------------------------------------------------------------------------------

    LRESULT InsertItem(const LVITEM* item) {
        if (!item || item->iSubItem != 0) return -1;
        const int index = std::clamp(item->iItem, 0, Count());
        Row row;
        row.texts.resize(std::max<size_t>(1, columns_.size()));
        if ((item->mask & LVIF_TEXT) && item->pszText) row.texts[0] = item->pszText;
        if (item->mask & LVIF_IMAGE) row.image = item->iImage;
        if (item->mask & LVIF_PARAM) row.param = item->lParam;
        if (item->mask & LVIF_STATE)
            row.state = item->state & item->stateMask & (LVIS_SELECTED | LVIS_FOCUSED);
        rows_.insert(rows_.begin() + index, std::move(row));
        if (focus_ >= index) ++focus_;
        if (anchor_ >= index) ++anchor_;
        NMLISTVIEW nm;
        nm.iItem = index;
        Notify(LVN_INSERTITEM, &nm);
        Changed();
        return index;
    }

    LRESULT DeleteItem(std::optional<int> index) {
        if (!index) return FALSE_;
        const int i = *index;
        NMLISTVIEW nm;
        nm.iItem = i;
        nm.lParam = rows_[static_cast<size_t>(i)].param;
        Notify(LVN_DELETEITEM, &nm);
        rows_.erase(rows_.begin() + i);
        if (focus_ == i)
            focus_ = -1;
        else if (focus_ > i)
            --focus_;
        if (anchor_ >= i) anchor_ = std::max(-1, anchor_ - 1);
        Changed();
        return TRUE_;
    }

    LRESULT DeleteAllItems() {
        NMLISTVIEW nm;
        // A nonzero answer means the parent wants no LVN_DELETEITEM per item.
        const bool each = !Notify(LVN_DELETEALLITEMS, &nm);
        for (int i = Count() - 1; each && i >= 0; --i) {
            NMLISTVIEW one;
            one.iItem = i;
            one.lParam = rows_[static_cast<size_t>(i)].param;
            Notify(LVN_DELETEITEM, &one);
        }
        rows_.clear();
        focus_ = anchor_ = -1;
        top_ = 0;
        Changed();
        return TRUE_;
    }

    LRESULT SetItem(const LVITEM* item) {
        if (!item) return FALSE_;
        Row& row = rows_[static_cast<size_t>(item->iItem)];
        if (item->mask & LVIF_TEXT) SetText(row, item->iSubItem, item->pszText);
        if (item->iSubItem == 0) {
            if (item->mask & LVIF_IMAGE) row.image = item->iImage;
            if (item->mask & LVIF_PARAM) row.param = item->lParam;
            if (item->mask & LVIF_STATE) SetState(item->iItem, item->state, item->stateMask);
        }
        Invalidate();
        return TRUE_;
    }

    LRESULT GetItem(LVITEM* item) const {
        if (!item) return FALSE_;
        const Row& row = rows_[static_cast<size_t>(item->iItem)];
        if (item->mask & LVIF_TEXT)
            CopyOut(TextOf(row, item->iSubItem), TextBuffer(item->pszText, item->cchTextMax));
        if (item->mask & LVIF_IMAGE) item->iImage = row.image;
        if (item->mask & LVIF_PARAM) item->lParam = row.param;
        if (item->mask & LVIF_STATE) item->state = row.state & item->stateMask;
        return TRUE_;
    }

    LRESULT SetItemText(std::optional<int> index, const LVITEM* item) {
        if (!index || !item || item->iSubItem < 0) return FALSE_;
        SetText(rows_[static_cast<size_t>(*index)], item->iSubItem, item->pszText);
        Invalidate();
        return TRUE_;
    }

    LRESULT GetItemText(std::optional<int> index, const LVITEM* item) const {
        if (!index || !item) return 0;
        return CopyOut(TextOf(rows_[static_cast<size_t>(*index)], item->iSubItem),
                       TextBuffer(item->pszText, item->cchTextMax));
    }

    LRESULT SetItemState(ListViewMsg m) {
        const LVITEM* item = m.Item();
        if (!item) return FALSE_;
        if (m.AllRows()) {
            for (int i = 0; i < Count(); ++i)
                SetState(i, item->state, item->stateMask);
            return TRUE_;
        }
        const std::optional<int> index = m.Index(Count());
        if (!index) return FALSE_;
        SetState(*index, item->state, item->stateMask);
        return TRUE_;
    }

    LRESULT GetItemState(std::optional<int> index, UINT mask) const {
        return index ? static_cast<LRESULT>(rows_[static_cast<size_t>(*index)].state & mask) : 0;
    }

    LRESULT NextItem(int after, UINT flags) const {
        const UINT want = flags & (LVNI_FOCUSED | LVNI_SELECTED);
        for (int i = std::max(after + 1, 0); i < Count(); ++i)
            if ((rows_[static_cast<size_t>(i)].state & want) == want) return i;
        return -1;
    }

    LRESULT SelectedCount() const {
        return std::count_if(rows_.begin(), rows_.end(),
                             [](const Row& r) { return (r.state & LVIS_SELECTED) != 0; });
    }

    LRESULT EnsureVisible(std::optional<int> index) {
        if (!index) return FALSE_;
        ShowRow(*index);
        return TRUE_;
    }

    LRESULT GetItemRect(std::optional<int> index, RECT* r) const {
        if (!index || !r) return FALSE_;
        *r = RowRect(*index);
        return TRUE_;
    }

    LRESULT HitTest(LVHITTESTINFO* info) const {
        if (!info) return -1;
        info->iItem = ItemAt(info->pt);
        info->flags = info->iItem >= 0 ? LVHT_ONITEMLABEL : LVHT_NOWHERE;
        return info->iItem;
    }

    int Count() const { return static_cast<int>(rows_.size()); }
    bool Valid(int i) const { return i >= 0 && i < Count(); }
    bool Single() const { return (Style() & LVS_SINGLESEL) != 0; }

    static void ApplyColumn(Column& c, const LVCOLUMN& col) {
        if (col.mask & LVCF_TEXT) c.text = col.pszText ? col.pszText : "";
        if (col.mask & LVCF_WIDTH) c.width = std::max(0, col.cx);
        if (col.mask & LVCF_FMT) c.format = col.fmt & 0x3;
    }

    static std::string TextOf(const Row& row, int sub) {
        return sub >= 0 && sub < static_cast<int>(row.texts.size()) ? row.texts[static_cast<size_t>(sub)]
                                                                    : std::string();
    }

    static void SetText(Row& row, int sub, const char* text) {
        if (static_cast<int>(row.texts.size()) <= sub) row.texts.resize(static_cast<size_t>(sub) + 1);
        row.texts[static_cast<size_t>(sub)] = text ? text : "";
    }

    // Changes an item's state with LVN_ITEMCHANGING (which may refuse) and LVN_ITEMCHANGED.
    bool SetState(int index, UINT state, UINT mask) {
        mask &= LVIS_SELECTED | LVIS_FOCUSED;
        if (Single() && (mask & state & LVIS_SELECTED))
            for (int i = 0; i < Count(); ++i)
                if (i != index && (rows_[static_cast<size_t>(i)].state & LVIS_SELECTED))
                    SetState(i, 0, LVIS_SELECTED);
        if ((mask & state & LVIS_FOCUSED))
            for (int i = 0; i < Count(); ++i)
                if (i != index && (rows_[static_cast<size_t>(i)].state & LVIS_FOCUSED))
                    SetState(i, 0, LVIS_FOCUSED);
        if (!Valid(index)) return false;
        Row& row = rows_[static_cast<size_t>(index)];
        const UINT next = (row.state & ~mask) | (state & mask);
        if (next == row.state) return true;
        NMLISTVIEW nm;
        nm.iItem = index;
        nm.uOldState = row.state;
        nm.uNewState = next;
        nm.uChanged = LVIF_STATE;
        nm.lParam = row.param;
        if (Notify(LVN_ITEMCHANGING, &nm)) return false;
        if (!Valid(index)) return false;
        rows_[static_cast<size_t>(index)].state = next;
        if (next & LVIS_FOCUSED) focus_ = index;
        Invalidate();
        Notify(LVN_ITEMCHANGED, &nm);
        return true;
    }

    LRESULT Measure() {
        ClientDC dc(*this);
        const int text = LineHeight(dc.Get());
        int cx = 0, cy = 0;
        if (small_) ImageList_GetIconSize(small_, &cx, &cy);
        itemHeight_ = std::max(text + 2, cy + 1);
        headerHeight_ = (Style() & LVS_NOCOLUMNHEADER) ? 0 : text + 6;
        return 0;
    }

    int Rows() const override { return Count(); }
    int VisibleRows() const override { return RowsInView(Hwnd(), itemHeight_, headerHeight_); }

    RECT RowRect(int index) const {
        RECT c;
        GetClientRect(Hwnd(), c);
        int width = 0;
        for (const Column& col : columns_)
            width += col.width;
        const int y = headerHeight_ + (index - top_) * itemHeight_;
        return RECT{0, y, std::max(width, static_cast<int>(c.right)), y + itemHeight_};
    }

    int ItemAt(POINT p) const {
        if (p.y < headerHeight_) return -1;
        const int index = top_ + (p.y - headerHeight_) / itemHeight_;
        return Valid(index) ? index : -1;
    }

    void SelectOnly(int index) {
        for (int i = 0; i < Count(); ++i)
            if (i != index) SetState(i, 0, LVIS_SELECTED);
        SetState(index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }

    void Choose(int index, bool shift, bool ctrl) {
        if (!Valid(index)) return;
        if (Single() || (!shift && !ctrl)) {
            SelectOnly(index);
            anchor_ = index;
        } else if (ctrl) {
            const bool on = (rows_[static_cast<size_t>(index)].state & LVIS_SELECTED) != 0;
            SetState(index, (on ? 0 : LVIS_SELECTED) | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
            anchor_ = index;
        } else {
            const int from = Valid(anchor_) ? anchor_ : index;
            for (int i = 0; i < Count(); ++i) {
                const bool in = i >= std::min(from, index) && i <= std::max(from, index);
                SetState(i, in ? LVIS_SELECTED : 0, LVIS_SELECTED);
            }
            SetState(index, LVIS_FOCUSED, LVIS_FOCUSED);
        }
        ShowRow(index);
    }

    LRESULT MouseDown(TWMMouse m) {
        const UINT msg = m.Msg;
        const POINT p = m.Pos();
        const WPARAM keys = m.Keys();
        SetFocus(Hwnd());
        const int index = ItemAt(p);
        if (p.y < headerHeight_ && msg == WM_LBUTTONDOWN) {
            int x = 0;
            for (int c = 0; c < static_cast<int>(columns_.size()); ++c) {
                x += columns_[static_cast<size_t>(c)].width;
                if (p.x < x) {
                    NMLISTVIEW nm;
                    nm.iSubItem = c;
                    Notify(LVN_COLUMNCLICK, &nm);
                    return 0;
                }
            }
            return 0;
        }
        const bool right = msg == WM_RBUTTONDOWN || msg == WM_RBUTTONDBLCLK;
        if (right) {
            // A right click keeps a selection it lands in, for the context menu to act on; a quick
            // second one (a double click) is a right click all the same.
            if (index >= 0 && !(rows_[static_cast<size_t>(index)].state & LVIS_SELECTED))
                Choose(index, false, false);
        } else if (index >= 0) {
            Choose(index, (keys & MK_SHIFT) != 0, (keys & MK_CONTROL) != 0);
        } else if (!(keys & (MK_SHIFT | MK_CONTROL))) {
            for (int i = 0; i < Count(); ++i)
                SetState(i, 0, LVIS_SELECTED);
        }
        NMITEMACTIVATE act;
        act.iItem = index;
        act.ptAction = p;
        Notify(msg == WM_LBUTTONDBLCLK   ? NM_DBLCLK
               : msg == WM_RBUTTONDBLCLK ? NM_RDBLCLK
               : right                   ? NM_RCLICK
                                         : NM_CLICK,
               &act);
        return 0;
    }

    LRESULT KeyPressed(TWMKey m) {
        const WORD vk = m.CharCode();
        NMLVKEYDOWN kd;
        kd.wVKey = vk;
        Notify(LVN_KEYDOWN, &kd);
        if (Count() == 0) return 0;
        int to = Valid(focus_) ? focus_ : -1;
        switch (vk) {
        case VK_UP:
            to = std::max(0, to - 1);
            break;
        case VK_DOWN:
            to = std::min(Count() - 1, to + 1);
            break;
        case VK_HOME:
            to = 0;
            break;
        case VK_END:
            to = Count() - 1;
            break;
        case VK_PRIOR:
            to = std::max(0, to - VisibleRows() + 1);
            break;
        case VK_NEXT:
            to = std::min(Count() - 1, std::max(to, 0) + VisibleRows() - 1);
            break;
        case VK_RETURN: {
            NMHDR h;
            Notify(NM_RETURN, &h);
            return 0;
        }
        default:
            return 0;
        }
        Choose(to, KeyDown(VK_SHIFT), false);
        return 0;
    }

    LRESULT Paint(TWMPaint m) {
        PaintDC paint(Hwnd(), m);
        HDC dc = paint.Get();
        RECT c;
        GetClientRect(Hwnd(), c);
        FillRect(dc, &c, GetSysColorBrush(COLOR_WINDOW));
        const gdi::SelectedObject fontSelected(dc, Font());
        SetBkMode(dc, TRANSPARENT);
        int cx = 0, cy = 0;
        if (small_) ImageList_GetIconSize(small_, &cx, &cy);
        if (headerHeight_ > 0) {
            int x = 0;
            for (const Column& col : columns_) {
                RECT h{x, 0, x + col.width, headerHeight_};
                FillRect(dc, &h, GetSysColorBrush(COLOR_BTNFACE));
                RECT e = h;
                DrawEdge(dc, &e, EDGE_RAISED, BF_RECT | BF_SOFT);
                RECT t{h.left + 4, h.top, h.right - 4, h.bottom};
                SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
                DrawText(dc, col.text.c_str(), static_cast<int>(col.text.size()), &t,
                         DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
                x += col.width;
            }
            if (x < c.right) {
                RECT rest{x, 0, c.right, headerHeight_};
                FillRect(dc, &rest, GetSysColorBrush(COLOR_BTNFACE));
                DrawEdge(dc, &rest, EDGE_RAISED, BF_RECT | BF_SOFT);
            }
        }
        const bool showSel = focused_ || (Style() & LVS_SHOWSELALWAYS);
        for (int i = top_; i < Count() && i <= top_ + VisibleRows(); ++i) {
            const Row& row = rows_[static_cast<size_t>(i)];
            const RECT r = RowRect(i);
            const bool selected = showSel && (row.state & LVIS_SELECTED);
            int x = 0;
            for (size_t col = 0; col < std::max<size_t>(columns_.size(), 1); ++col) {
                const int width = columns_.empty() ? c.right : columns_[col].width;
                RECT cell{x, r.top, x + width, r.bottom};
                int textLeft = cell.left + 4;
                if (col == 0 && small_) {
                    ImageList_Draw(small_, row.image, dc, cell.left + 2, r.top + (itemHeight_ - cy) / 2,
                                   ILD_TRANSPARENT);
                    textLeft = cell.left + cx + 4;
                }
                RECT t{textLeft, r.top, cell.right - 4, r.bottom};
                const std::string text = TextOf(row, static_cast<int>(col));
                if (col == 0 && selected) {
                    RECT sel{textLeft - 2, r.top, std::min(cell.right, textLeft + TextWidth(dc, text) + 2),
                             r.bottom};
                    FillRect(dc, &sel, GetSysColorBrush(focused_ ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
                }
                SetTextColor(dc, GetSysColor(col == 0 && selected && focused_ ? COLOR_HIGHLIGHTTEXT
                                                                              : COLOR_WINDOWTEXT));
                UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
                if (!columns_.empty() && columns_[col].format == LVCFMT_RIGHT) format |= DT_RIGHT;
                if (!columns_.empty() && columns_[col].format == LVCFMT_CENTER) format |= DT_CENTER;
                DrawText(dc, text.c_str(), static_cast<int>(text.size()), &t, format);
                x += width;
            }
            if (focused_ && i == focus_) {
                RECT f = r;
                DrawFocusRect(dc, &f);
            }
        }
        return 0;
    }

    std::vector<Column> columns_;
    std::vector<Row> rows_;
    HIMAGELIST small_ = nullptr;
    HIMAGELIST normal_ = nullptr;
    int focus_ = -1;
    int anchor_ = -1;
    int headerHeight_ = 18;
    bool focused_ = false;
};

} // namespace

void RegisterListViewClass() {
    RegisterControlClass<ListView>(WC_LISTVIEW, CS_DBLCLKS);
}

} // namespace pw::commctrl
