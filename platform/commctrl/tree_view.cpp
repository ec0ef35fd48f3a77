// The "SysTreeView32" class: a tree of items with buttons, lines, images, label editing and
// notifications to the parent.
#include <algorithm>
#include <string>

#include "platform/commctrl/class_registry.h"
#include "platform/commctrl/control_views.h"
#include "platform/commctrl/row_list.h"
#include "platform/commctrl/tree_model.h"
#include "platform/commctrl/tree_painter.h"
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
#include "platform/gui/system.h"
#include "platform/gui/window.h"

namespace pw::commctrl {
namespace {

inline constexpr UINT_PTR kEditTimer = 1;
inline constexpr int kDefaultIndent = 19;

class TreeView : public RowList {
public:
    using RowList::RowList;

    LRESULT Handle(TMessage& m) override {
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
            return FocusChanged(m.Msg == WM_SETFOCUS, TWMFocus(m));
        case WM_LBUTTONDOWN:
            return MouseDown(TWMMouse(m));
        case WM_LBUTTONUP:
            return MouseUp(TWMMouse(m));
        case WM_LBUTTONDBLCLK:
            return DoubleClick(TWMMouse(m));
        case WM_CAPTURECHANGED:
            return CaptureLost();
        case WM_RBUTTONDOWN:
            return RightButtonDown(TWMMouse(m));
        case WM_RBUTTONUP:
            return RightButtonUp(m);
        case WM_TIMER:
            return EditTimer(TWMTimer(m));
        case WM_KEYDOWN:
            return KeyPressed(TWMKey(m));
        case WM_CHAR:
            return TypeAhead(TWMChar(m));
        case WM_COMMAND:
            return EditCommand(TWMCommand(m));
        case WM_VSCROLL:
            return VScroll(TWMScroll(m));
        case WM_MOUSEWHEEL:
            return MouseWheel(TWMMouseWheel(m));
        default:
            return TreeMessage(TreeViewMsg(m));
        }
    }

private:
    LRESULT TreeMessage(TreeViewMsg m) {
        switch (m.Msg) {
        case TVM_INSERTITEM:
            return reinterpret_cast<LRESULT>(InsertItem(m.InsertStruct()));
        case TVM_INSERTRUN:
            return InsertRun(m.InsertRun());
        case TVM_DELETEITEM:
            return DeleteItem(m.Item()) ? TRUE_ : FALSE_;
        case TVM_EXPAND:
            return Expand(m.Item(), m.Code(), false) ? TRUE_ : FALSE_;
        case TVM_GETNEXTITEM:
            return reinterpret_cast<LRESULT>(NextItem(m.Code(), m.Item()));
        case TVM_SELECTITEM:
            return SelectItem(m.Code(), m.Item()) ? TRUE_ : FALSE_;
        case TVM_GETITEM:
            return GetItem(m.ItemStruct()) ? TRUE_ : FALSE_;
        case TVM_SETITEM:
            return SetItem(m.ItemStruct()) ? TRUE_ : FALSE_;
        case TVM_GETITEMSTATE:
            return model_.Valid(m.StateItem()) ? static_cast<LRESULT>(StateOf(m.StateItem()) & m.Mask()) : 0;
        case TVM_GETCOUNT:
            return model_.Count();
        case TVM_GETINDENT:
            return indent_;
        case TVM_SETINDENT:
            return SetIndent(m.Indent());
        case TVM_GETIMAGELIST:
            return m.ImageListKind() == TVSIL_NORMAL ? reinterpret_cast<LRESULT>(images_) : 0;
        case TVM_SETIMAGELIST:
            return SetImageList(m.ImageListKind(), m.ImageList());
        case TVM_GETITEMRECT:
            return GetItemRect(m.RectItem(), m.Rect(), m.LabelOnly());
        case TVM_HITTEST:
            return reinterpret_cast<LRESULT>(HitTest(m.HitTestInfo()));
        case TVM_GETVISIBLECOUNT:
            return VisibleRows();
        case TVM_ENSUREVISIBLE:
            return EnsureVisible(m.Item()) ? TRUE_ : FALSE_;
        case TVM_SORTCHILDREN:
            return SortChildren(m.Item(), m.Flag());
        case TVM_EDITLABEL:
            return reinterpret_cast<LRESULT>(EditLabel(m.Item()));
        case TVM_GETEDITCONTROL:
            return reinterpret_cast<LRESULT>(edit_);
        case TVM_ENDEDITLABELNOW:
            return EndEditNow(m.Flag());
        default:
            return Default(m);
        }
    }

    // --- window messages ---------------------------------------------------------------------------

    LRESULT Destroy() {
        CancelEdit();
        model_.Delete(model_.Root(), [this](TreeNode* n) { NotifyDeleted(n); });
        caret_ = dropHilite_ = rightHilite_ = dropBefore_ = nullptr;
        return 0;
    }

    LRESULT FontChanged() {
        Measure();
        Changed();
        return 0;
    }

    LRESULT Resized() {
        SetTop(top_);
        UpdateScrollBar();
        return 0;
    }

    LRESULT FocusChanged(bool focused, TWMFocus m) {
        focused_ = focused;
        // An edit that never took the focus (begun while the window was disabled) ends when the tree
        // loses it, as the edit itself would have.
        if (!focused && edit_ && m.FocusedWnd() != edit_) EndEdit(false);
        Invalidate();
        NMHDR h;
        Notify(focused_ ? NM_SETFOCUS : NM_KILLFOCUS, &h);
        return 0;
    }

    LRESULT CaptureLost() {
        pressed_ = nullptr;
        if (!rightClicking_) EndRightHilite();
        return 0;
    }

    // The item under a right click shows as the drop target from the press until the menu the click
    // asks for has closed, so the user sees which item the menu acts on.
    LRESULT RightButtonDown(TWMMouse m) {
        SetFocus(Hwnd());
        UINT flags = 0;
        TreeNode* n = HitTest(m.Pos(), flags);
        if (n == nullptr || !(flags & TVHT_ONITEM)) return 0;
        EndRightHilite();
        rightHilite_ = n;
        dropBefore_ = dropHilite_;
        dropHilite_ = n;
        Invalidate();
        SetCapture(Hwnd());
        return 0;
    }

    // Unless the parent takes the click, the default handling asks for a context menu.
    LRESULT RightButtonUp(TMessage& m) {
        rightClicking_ = true;
        if (GetCapture() == Hwnd()) ReleaseCapture();
        NMHDR h;
        const LRESULT r = Notify(NM_RCLICK, &h) ? 0 : Default(m);
        rightClicking_ = false;
        EndRightHilite();
        return r;
    }

    void EndRightHilite() {
        if (rightHilite_ == nullptr) return;
        if (dropHilite_ == rightHilite_) {
            dropHilite_ = dropBefore_;
            Invalidate();
        }
        rightHilite_ = dropBefore_ = nullptr;
    }

    LRESULT EditTimer(TWMTimer m) {
        if (m.TimerID() != kEditTimer) return 0;
        KillTimer(Hwnd(), kEditTimer);
        if (model_.Valid(editPending_) && editPending_ == caret_) EditLabel(editPending_);
        editPending_ = nullptr;
        return 0;
    }

    LRESULT EditCommand(TWMCommand m) {
        if (edit_ && m.Ctl() == edit_ && m.NotifyCode() == EN_KILLFOCUS) EndEdit(false);
        return 0;
    }

    // --- tree messages -----------------------------------------------------------------------------

    LRESULT SetIndent(int indent) {
        indent_ = indent;
        Changed();
        return 0;
    }

    LRESULT SetImageList(WPARAM kind, HIMAGELIST list) {
        if (kind != TVSIL_NORMAL) return 0;
        HIMAGELIST old = images_;
        images_ = list;
        Measure();
        Changed();
        return reinterpret_cast<LRESULT>(old);
    }

    LRESULT GetItemRect(TreeNode* n, RECT* rect, bool labelOnly) {
        if (!rect || !model_.Valid(n) || !model_.Shown(n)) return FALSE_;
        *rect = labelOnly ? Geometry(n).label : RowRect(n);
        return TRUE_;
    }

    TreeNode* HitTest(TVHITTESTINFO* info) {
        if (!info) return nullptr;
        info->hItem = HitTest(info->pt, info->flags);
        return info->hItem;
    }

    LRESULT SortChildren(TreeNode* n, bool recurse) {
        if (!n || n == TVI_ROOT) n = model_.Root();
        if (n != model_.Root() && !model_.Valid(n)) return FALSE_;
        model_.SortChildren(n, recurse);
        Changed();
        return TRUE_;
    }

    LRESULT EndEditNow(bool cancel) {
        if (!edit_) return FALSE_;
        EndEdit(cancel);
        return TRUE_;
    }

    // --- geometry -----------------------------------------------------------------------------------

    LRESULT Measure() {
        ClientDC dc(*this);
        int h = LineHeight(dc.Get()) + 2;
        int cx = 0, cy = 0;
        if (images_ && ImageList_GetIconSize(images_, &cx, &cy)) h = std::max(h, cy + 2);
        itemHeight_ = std::max(h, 1);
        return 0;
    }

    int Rows() const override { return model_.TotalRows(); }

    bool RootLines() const {
        return (Style() & TVS_LINESATROOT) && (Style() & (TVS_HASLINES | TVS_HASBUTTONS));
    }

    int LevelLeft(const TreeNode* n) const { return (model_.Depth(n) + (RootLines() ? 1 : 0)) * indent_; }

    RECT RowRect(const TreeNode* n) const { return RowRectAt(model_.RowOf(n)); }

    RECT RowRectAt(int row) const {
        RECT c;
        GetClientRect(Hwnd(), c);
        const int y = (row - top_) * itemHeight_;
        return RECT{c.left, y, c.right, y + itemHeight_};
    }

    const std::string& TextOf(TreeNode* n) {
        if (n->textCallback) {
            NMTVDISPINFO info;
            char buffer[260] = {};
            info.item.mask = TVIF_TEXT;
            info.item.hItem = n;
            info.item.lParam = n->lParam;
            info.item.pszText = buffer;
            info.item.cchTextMax = sizeof buffer;
            Notify(TVN_GETDISPINFO, &info);
            labelText_ =
                info.item.pszText && info.item.pszText != LPSTR_TEXTCALLBACK ? info.item.pszText : "";
            return labelText_;
        }
        labelText_ = n->text.View();
        return labelText_;
    }

    ItemGeometry Geometry(TreeNode* n) { return Geometry(n, model_.RowOf(n)); }

    // With the row known: finding it walks the siblings before the node, which in a large folder
    // costs more than drawing it.
    ItemGeometry Geometry(TreeNode* n, int shownRow) {
        ItemGeometry g;
        const RECT row = RowRectAt(shownRow);
        g.row = row;
        const int left = LevelLeft(n);
        int x = left;
        int cx = 0, cy = 0;
        if (images_ && ImageList_GetIconSize(images_, &cx, &cy)) {
            g.image =
                RECT{x, row.top + (itemHeight_ - cy) / 2, x + cx, row.top + (itemHeight_ - cy) / 2 + cy};
            x += cx + 3;
        }
        ClientDC dc(*this);
        const int w = TextWidth(dc.Get(), TextOf(n));
        g.label = RECT{x, row.top, x + w + 4, row.bottom};
        if (left >= indent_) g.button = RECT{left - indent_, row.top, left, row.bottom};
        return g;
    }

    TreeNode* HitTest(POINT p, UINT& flags) {
        RECT c;
        GetClientRect(Hwnd(), c);
        flags = 0;
        if (p.y < c.top) flags |= TVHT_ABOVE;
        if (p.y >= c.bottom) flags |= TVHT_BELOW;
        if (p.x < c.left) flags |= TVHT_TOLEFT;
        if (p.x >= c.right) flags |= TVHT_TORIGHT;
        if (flags) return nullptr;
        const int row = top_ + p.y / itemHeight_;
        TreeNode* n = model_.AtRow(row);
        if (!n) {
            flags = TVHT_NOWHERE;
            return nullptr;
        }
        const ItemGeometry g = Geometry(n, row);
        if (PtInRect(g.label, p))
            flags = TVHT_ONITEMLABEL;
        else if (PtInRect(g.image, p))
            flags = TVHT_ONITEMICON;
        else if (PtInRect(g.button, p) && HasChildren(n) && (Style() & TVS_HASBUTTONS))
            flags = TVHT_ONITEMBUTTON;
        else if (p.x < g.label.left)
            flags = TVHT_ONITEMINDENT;
        else
            flags = TVHT_ONITEMRIGHT;
        return n;
    }

    bool HasChildren(TreeNode* n) {
        if (n->first) return true;
        if (n->children == I_CHILDRENCALLBACK) {
            NMTVDISPINFO info;
            info.item.mask = TVIF_CHILDREN;
            info.item.hItem = n;
            info.item.lParam = n->lParam;
            Notify(TVN_GETDISPINFO, &info);
            return info.item.cChildren > 0;
        }
        return n->children > 0;
    }

    // --- scrolling ----------------------------------------------------------------------------------

    bool EnsureVisible(TreeNode* n) {
        if (!model_.Valid(n)) return false;
        for (TreeNode* a = n->parent; a && a != model_.Root(); a = a->parent)
            if (!TreeModel::Expanded(a)) Expand(a, TVE_EXPAND, false);
        if (!model_.Shown(n)) return false;
        const int row = model_.RowOf(n);
        ShowRow(row);
        return true;
    }

    // --- items --------------------------------------------------------------------------------------

    UINT StateOf(const TreeNode* n) const {
        UINT s = n->state;
        if (n == caret_) s |= TVIS_SELECTED;
        if (n == dropHilite_) s |= TVIS_DROPHILITED;
        return s;
    }

    void Fill(TVITEM& item, TreeNode* n) const {
        item.mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;
        item.hItem = n;
        item.state = n ? StateOf(n) : 0;
        item.stateMask = 0xFFFF;
        item.lParam = n ? n->lParam : 0;
    }

    void ApplyFields(TreeNode* n, const TVITEM& item) {
        if (item.mask & TVIF_TEXT) {
            n->textCallback = item.pszText == LPSTR_TEXTCALLBACK;
            n->text = (!n->textCallback && item.pszText) ? item.pszText : "";
        }
        if (item.mask & TVIF_IMAGE) n->image = item.iImage;
        if (item.mask & TVIF_SELECTEDIMAGE) n->selectedImage = item.iSelectedImage;
        if (item.mask & TVIF_PARAM) n->lParam = item.lParam;
        if (item.mask & TVIF_CHILDREN) n->children = item.cChildren;
        if (item.mask & TVIF_STATE) {
            const UINT mask = item.stateMask & ~(TVIS_EXPANDED | TVIS_FOCUSED);
            n->state = (n->state & ~mask) | (item.state & mask);
            if (item.stateMask & TVIS_EXPANDED) model_.SetExpanded(n, (item.state & TVIS_EXPANDED) != 0);
        }
    }

    TreeNode* InsertItem(const TVINSERTSTRUCT* in) {
        TreeNode* n = Place(in);
        if (n) Changed();
        return n;
    }

    // The rows and the scroll bar are worked out once for the whole run.
    LRESULT InsertRun(TVINSERTRUN* run) {
        if (!run || !run->items) return 0;
        TVINSERTSTRUCT in;
        in.hParent = run->hParent;
        in.hInsertAfter = run->hInsertAfter;
        UINT made = 0;
        for (; made < run->count; ++made) {
            in.item = run->items[made];
            TreeNode* n = Place(&in);
            if (!n) break;
            run->items[made].hItem = n;
            in.hInsertAfter = n;
        }
        if (made > 0) Changed();
        return made;
    }

    TreeNode* Place(const TVINSERTSTRUCT* in) {
        if (!in) return nullptr;
        TreeNode* parent = in->hParent;
        if (!parent || parent == TVI_ROOT) parent = model_.Root();
        if (parent != model_.Root() && !model_.Valid(parent)) return nullptr;
        const bool textCallback = (in->item.mask & TVIF_TEXT) && in->item.pszText == LPSTR_TEXTCALLBACK;
        std::string text =
            (in->item.mask & TVIF_TEXT) && in->item.pszText && !textCallback ? in->item.pszText : "";
        TreeNode* n = model_.Insert(parent, in->hInsertAfter, std::move(text));
        if (!n) return nullptr;
        TVITEM fields = in->item;
        fields.mask &= ~TVIF_TEXT;
        ApplyFields(n, fields);
        n->textCallback = textCallback;
        return n;
    }

    void NotifyDeleted(TreeNode* n) {
        NMTREEVIEW nm;
        Fill(nm.itemOld, n);
        nm.itemOld.mask = TVIF_HANDLE | TVIF_PARAM;
        Notify(TVN_DELETEITEM, &nm);
    }

    bool Contains(TreeNode* ancestor, TreeNode* n) const {
        for (TreeNode* a = n; a; a = a->parent)
            if (a == ancestor) return true;
        return false;
    }

    bool DeleteItem(TreeNode* n) {
        if (!n || n == TVI_ROOT) n = model_.Root();
        if (n != model_.Root() && !model_.Valid(n)) return false;
        if (edit_ && Contains(n, editing_)) {
            EndEdit(true);
            if (n != model_.Root() && !model_.Valid(n)) return true;
        }
        if (model_.Valid(editPending_) && Contains(n, editPending_)) editPending_ = nullptr;
        if (model_.Valid(pressed_) && Contains(n, pressed_)) pressed_ = nullptr;
        if (model_.Valid(dropHilite_) && Contains(n, dropHilite_)) dropHilite_ = nullptr;
        if (model_.Valid(rightHilite_) && Contains(n, rightHilite_)) rightHilite_ = nullptr;
        if (model_.Valid(dropBefore_) && Contains(n, dropBefore_)) dropBefore_ = nullptr;
        TreeNode* successor = nullptr;
        const bool caretGoes = model_.Valid(caret_) && Contains(n, caret_);
        if (caretGoes && n != model_.Root()) successor = n->next ? n->next : n->prev ? n->prev : n->parent;
        if (successor == model_.Root()) successor = nullptr;
        if (caretGoes) {
            // The parent hears of the change before the item goes, so it never sees a freed selection.
            Select(successor, TVC_UNKNOWN, false);
            if (Contains(n, caret_)) caret_ = nullptr;
        }
        model_.Delete(n, [this](TreeNode* gone) { NotifyDeleted(gone); });
        Changed();
        return true;
    }

    bool Expand(TreeNode* n, UINT action, bool byUser) {
        if (!model_.Valid(n)) return false;
        const UINT code = action & 0x3;
        bool expand = code == TVE_EXPAND || (code == TVE_TOGGLE && !TreeModel::Expanded(n));
        if (code != TVE_EXPAND && code != TVE_COLLAPSE && code != TVE_TOGGLE) return false;
        if (expand == TreeModel::Expanded(n) && !(action & TVE_COLLAPSERESET)) return expand;
        if (!HasChildren(n) && expand) return false;
        // Messages announce only the first expansion; the user's clicks and keys always do.
        const bool notify = byUser || !(n->state & TVIS_EXPANDEDONCE);
        NMTREEVIEW nm;
        Fill(nm.itemNew, n);
        nm.action = expand ? TVE_EXPAND : TVE_COLLAPSE;
        if (notify && Notify(TVN_ITEMEXPANDING, &nm)) return false;
        if (!model_.Valid(n)) return false;
        model_.SetExpanded(n, expand);
        if (expand) n->state |= TVIS_EXPANDEDONCE;
        if (!expand && model_.Valid(caret_) && caret_ != n && Contains(n, caret_))
            Select(n, TVC_UNKNOWN, false);
        if (!expand && (action & TVE_COLLAPSERESET)) {
            n->state &= ~TVIS_EXPANDEDONCE;
            while (n->first)
                DeleteItem(n->first);
        }
        Changed();
        if (notify) {
            Fill(nm.itemNew, n);
            Notify(TVN_ITEMEXPANDED, &nm);
        }
        return true;
    }

    TreeNode* NextItem(UINT code, TreeNode* n) {
        const bool needItem = code == TVGN_NEXT || code == TVGN_PREVIOUS || code == TVGN_PARENT ||
                              code == TVGN_NEXTVISIBLE || code == TVGN_PREVIOUSVISIBLE;
        if (code == TVGN_CHILD && (!n || n == TVI_ROOT)) return model_.Root()->first;
        if ((needItem || code == TVGN_CHILD) && !model_.Valid(n)) return nullptr;
        switch (code) {
        case TVGN_ROOT:
            return model_.Root()->first;
        case TVGN_NEXT:
            return n->next;
        case TVGN_PREVIOUS:
            return n->prev;
        case TVGN_PARENT:
            return n->parent == model_.Root() ? nullptr : n->parent;
        case TVGN_CHILD:
            return n->first;
        case TVGN_FIRSTVISIBLE:
            return model_.AtRow(top_);
        case TVGN_NEXTVISIBLE:
            return model_.Shown(n) ? model_.NextShown(n) : nullptr;
        case TVGN_PREVIOUSVISIBLE:
            return model_.Shown(n) ? model_.PrevShown(n) : nullptr;
        case TVGN_DROPHILITE:
            return dropHilite_;
        case TVGN_CARET:
            return caret_;
        case TVGN_LASTVISIBLE:
            return model_.LastShown();
        default:
            return nullptr;
        }
    }

    // Moves the caret, asking the parent first; false when it refused.
    bool Select(TreeNode* n, UINT action, bool canVeto = true) {
        if (n == caret_) return true;
        NMTREEVIEW nm;
        nm.action = action;
        Fill(nm.itemOld, caret_);
        Fill(nm.itemNew, n);
        if (Notify(TVN_SELCHANGING, &nm) && canVeto) return false;
        if (edit_) EndEdit(false);
        if (n && !model_.Valid(n)) return false;
        TreeNode* old = model_.Valid(caret_) ? caret_ : nullptr;
        caret_ = n;
        if (n) EnsureVisible(n);
        Invalidate();
        Fill(nm.itemOld, old);
        Fill(nm.itemNew, n);
        Notify(TVN_SELCHANGED, &nm);
        return true;
    }

    bool SelectItem(UINT code, TreeNode* n) {
        if (n && !model_.Valid(n)) return false;
        switch (code) {
        case TVGN_CARET:
            return Select(n, TVC_UNKNOWN);
        case TVGN_DROPHILITE:
            dropHilite_ = n;
            Invalidate();
            return true;
        case TVGN_FIRSTVISIBLE:
            if (!n || !EnsureVisible(n)) return false;
            SetTop(model_.RowOf(n));
            return true;
        default:
            return false;
        }
    }

    bool GetItem(TVITEM* item) {
        if (!item || !model_.Valid(item->hItem)) return false;
        TreeNode* n = item->hItem;
        if (item->mask & TVIF_TEXT) CopyOut(TextOf(n), TextBuffer(item->pszText, item->cchTextMax));
        if (item->mask & TVIF_IMAGE) item->iImage = n->image;
        if (item->mask & TVIF_SELECTEDIMAGE) item->iSelectedImage = n->selectedImage;
        if (item->mask & TVIF_PARAM) item->lParam = n->lParam;
        if (item->mask & TVIF_STATE) item->state = StateOf(n) & item->stateMask;
        if (item->mask & TVIF_CHILDREN)
            item->cChildren =
                n->children == I_CHILDRENCALLBACK ? I_CHILDRENCALLBACK : (n->first ? 1 : n->children);
        return true;
    }

    bool SetItem(const TVITEM* item) {
        if (!item || !model_.Valid(item->hItem)) return false;
        // An edit box left over the item would show, and on Return write back, the text it replaces.
        if ((item->mask & TVIF_TEXT) && edit_ && item->hItem == editing_) {
            EndEdit(true);
            if (!model_.Valid(item->hItem)) return false;
        }
        ApplyFields(item->hItem, *item);
        // Only expansion changes the rows; a new image or text needs drawing alone.
        if ((item->mask & TVIF_STATE) && (item->stateMask & TVIS_EXPANDED))
            Changed();
        else
            Invalidate();
        return true;
    }

    // --- label editing ------------------------------------------------------------------------------

    static LRESULT EditSubclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        TMessage m{msg, wParam, lParam, 0};
        switch (msg) {
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
        case WM_KEYDOWN:
            if (EditKey(GetParent(hwnd), TWMKey(m))) return 0;
            break;
        case WM_CHAR:
            if (TWMChar(m).Character() == U'\r' || TWMChar(m).Character() == 0x1B) return 0;
            break;
        default:
            break;
        }
        WNDCLASS wc;
        GetClassInfo(nullptr, "EDIT", wc);
        return CallWindowProc(wc.lpfnWndProc, hwnd, msg, wParam, lParam);
    }

    // Return ends the edit, Escape cancels it.
    static bool EditKey(HWND tree, TWMKey m) {
        if (m.CharCode() != VK_RETURN && m.CharCode() != VK_ESCAPE) return false;
        if (auto* view = dynamic_cast<TreeView*>(FindControl(tree))) view->EndEdit(m.CharCode() == VK_ESCAPE);
        return true;
    }

    HWND EditLabel(TreeNode* n) {
        if (!model_.Valid(n)) return nullptr;
        if (edit_) EndEdit(false);
        if (!model_.Valid(n)) return nullptr;
        Select(n, TVC_UNKNOWN);
        EnsureVisible(n);
        NMTVDISPINFO info;
        Fill(info.item, n);
        info.item.mask |= TVIF_TEXT;
        std::string text = TextOf(n);
        info.item.pszText = text.data();
        if (Notify(TVN_BEGINLABELEDIT, &info) || !model_.Valid(n)) return nullptr;
        const ItemGeometry g = Geometry(n);
        RECT c;
        GetClientRect(Hwnd(), c);
        const int width = std::max(static_cast<int>(g.label.right - g.label.left) + 40, 60);
        editing_ = n;
        edit_ = CreateWindowEx(0, "EDIT", TextOf(n).c_str(),
                               WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, g.label.left, g.label.top,
                               std::min(width, static_cast<int>(c.right - g.label.left)),
                               g.label.bottom - g.label.top, Hwnd(), nullptr, nullptr, nullptr);
        SetWindowLongPtr(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditSubclass));
        SendMessage(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), 0);
        SendMessage(edit_, EM_SETSEL, 0, -1);
        SetFocus(edit_);
        return edit_;
    }

    // Ends editing: the parent decides whether the new text is taken (TRUE) when not cancelled.
    void EndEdit(bool cancel) {
        if (!edit_ || ending_) return;
        ending_ = true;
        HWND edit = edit_;
        TreeNode* n = editing_;
        std::string text = GetWindowText(edit);
        if (model_.Valid(n)) {
            NMTVDISPINFO info;
            Fill(info.item, n);
            info.item.mask |= TVIF_TEXT;
            info.item.pszText = cancel ? nullptr : text.data();
            info.item.cchTextMax = static_cast<int>(text.size()) + 1;
            const LRESULT accept = Notify(TVN_ENDLABELEDIT, &info);
            if (!cancel && accept && model_.Valid(n)) {
                n->textCallback = false;
                n->text = text;
            }
        }
        edit_ = nullptr;
        editing_ = nullptr;
        const bool hadFocus = GetFocus() == edit;
        DestroyWindow(edit);
        if (hadFocus) SetFocus(Hwnd());
        ending_ = false;
        Invalidate();
    }

    void CancelEdit() {
        if (!edit_) return;
        HWND edit = edit_;
        edit_ = nullptr;
        editing_ = nullptr;
        DestroyWindow(edit);
    }

    // --- input --------------------------------------------------------------------------------------

    LRESULT MouseDown(TWMMouse m) {
        SetFocus(Hwnd());
        UINT flags = 0;
        TreeNode* n = HitTest(m.Pos(), flags);
        if (!n) return 0;
        if (flags & TVHT_ONITEMBUTTON) {
            Expand(n, TVE_TOGGLE, true);
            return 0;
        }
        pressed_ = n;
        pressedFlags_ = flags;
        SetCapture(Hwnd());
        return 0;
    }

    LRESULT MouseUp(TWMMouse m) {
        TreeNode* n = pressed_;
        const UINT flags = pressedFlags_;
        if (GetCapture() == Hwnd()) ReleaseCapture();
        if (!model_.Valid(n)) return 0;
        NMHDR h;
        if (Notify(NM_CLICK, &h) || !model_.Valid(n)) return 0;
        UINT now = 0;
        if (HitTest(m.Pos(), now) != n) return 0;
        const bool wasCaret = n == caret_;
        if (!(flags & TVHT_ONITEM)) return 0;
        Select(n, TVC_BYMOUSE);
        if (wasCaret && (flags & TVHT_ONITEMLABEL) && (Style() & TVS_EDITLABELS)) {
            editPending_ = n;
            SetTimer(Hwnd(), kEditTimer, GetDoubleClickTime(), nullptr);
        }
        return 0;
    }

    LRESULT DoubleClick(TWMMouse m) {
        KillTimer(Hwnd(), kEditTimer);
        editPending_ = nullptr;
        UINT flags = 0;
        TreeNode* n = HitTest(m.Pos(), flags);
        if (n && (flags & TVHT_ONITEMBUTTON)) {
            Expand(n, TVE_TOGGLE, true);
            return 0;
        }
        NMHDR h;
        if (Notify(NM_DBLCLK, &h)) return 0;
        if (model_.Valid(n) && (flags & TVHT_ONITEM)) Expand(n, TVE_TOGGLE, true);
        return 0;
    }

    LRESULT KeyPressed(TWMKey m) {
        const WORD vk = m.CharCode();
        NMTVKEYDOWN kd;
        kd.wVKey = vk;
        Notify(TVN_KEYDOWN, &kd);
        TreeNode* c = model_.Valid(caret_) ? caret_ : nullptr;
        TreeNode* target = nullptr;
        switch (vk) {
        case VK_UP:
            target = c ? model_.PrevShown(c) : model_.Root()->first;
            break;
        case VK_DOWN:
            target = c ? model_.NextShown(c) : model_.Root()->first;
            break;
        case VK_HOME:
            target = model_.Root()->first;
            break;
        case VK_END:
            target = model_.LastShown();
            break;
        case VK_PRIOR:
            target = c ? model_.AtRow(std::max(0, model_.RowOf(c) - VisibleRows() + 1)) : nullptr;
            break;
        case VK_NEXT:
            target = c ? model_.AtRow(std::min(model_.TotalRows() - 1, model_.RowOf(c) + VisibleRows() - 1))
                       : nullptr;
            break;
        case VK_LEFT:
            if (!c) return 0;
            if (TreeModel::Expanded(c) && c->first)
                Expand(c, TVE_COLLAPSE, true);
            else
                target = c->parent == model_.Root() ? nullptr : c->parent;
            break;
        case VK_RIGHT:
            if (!c) return 0;
            if (!TreeModel::Expanded(c) && HasChildren(c))
                Expand(c, TVE_EXPAND, true);
            else
                target = c->first;
            break;
        case VK_ADD:
            if (c) Expand(c, TVE_EXPAND, true);
            break;
        case VK_SUBTRACT:
            if (c) Expand(c, TVE_COLLAPSE, true);
            break;
        case VK_RETURN: {
            NMHDR h;
            Notify(NM_RETURN, &h);
            break;
        }
        default:
            break;
        }
        if (target) Select(target, TVC_BYKEYBOARD);
        return 0;
    }

    LRESULT TypeAhead(TWMChar m) {
        const char32_t ch = m.Character();
        if (ch < 0x20 || ch >= 0x80 || !model_.Root()->first) return 0;
        const std::string prefix(1, static_cast<char>(ch));
        TreeNode* start = model_.Valid(caret_) ? caret_ : nullptr;
        TreeNode* n = start ? model_.NextShown(start) : model_.Root()->first;
        for (int guard = model_.TotalRows(); guard > 0; --guard) {
            if (!n) n = model_.Root()->first;
            if (n == start) break;
            const std::string& t = TextOf(n);
            if (!t.empty() && std::tolower(static_cast<unsigned char>(t[0])) ==
                                  std::tolower(static_cast<unsigned char>(ch))) {
                Select(n, TVC_BYKEYBOARD);
                return 0;
            }
            n = model_.NextShown(n);
        }
        return 0;
    }

    // --- painting -----------------------------------------------------------------------------------

    LRESULT Paint(TWMPaint m) {
        PaintDC paint(Hwnd(), m);
        HDC dc = paint.Get();
        RECT c;
        GetClientRect(Hwnd(), c);
        FillRect(dc, &c, GetSysColorBrush(COLOR_WINDOW));
        const gdi::SelectedObject fontSelected(dc, Font());
        TreePainter painter(dc, indent_, itemHeight_, IsWindowEnabled(Hwnd()) != 0);
        const DWORD style = Style();
        const int rows = VisibleRows() + 1;
        // A drop target outside the selection (a drag over the tree, or the item of a right click's menu)
        // is the one item shown selected meanwhile: it is what the drop or the menu acts on.
        const bool targetAlone = model_.Valid(dropHilite_) && !(StateOf(dropHilite_) & TVIS_SELECTED);
        TreeNode* n = model_.AtRow(top_);
        for (int i = 0; i < rows && n; ++i, n = model_.NextShown(n)) {
            const ItemGeometry g = Geometry(n, top_ + i);
            if (style & TVS_HASLINES) {
                // One column per ancestor level that continues below this row.
                const int depth = model_.Depth(n) + (RootLines() ? 1 : 0);
                int column = depth - 1;
                for (TreeNode* a = n->parent; a && a != model_.Root() && column > 0; a = a->parent) {
                    --column;
                    if (a->next) painter.VerticalLine(column, g.row);
                }
                if (depth > 0) {
                    const bool above = n->prev || (n->parent != model_.Root());
                    painter.Branch(depth - 1, g.row, above, n->next != nullptr);
                }
            }
            if ((style & TVS_HASBUTTONS) && !IsRectEmpty(g.button) && HasChildren(n))
                painter.Button(g.button, TreeModel::Expanded(n));
            const UINT state = StateOf(n);
            const bool selected =
                targetAlone ? n == dropHilite_ : (state & (TVIS_SELECTED | TVIS_DROPHILITED)) != 0;
            if (images_ && !IsRectEmpty(g.image)) {
                const int index = n == caret_ ? n->selectedImage : n->image;
                ImageList_Draw(images_, index, dc, g.image.left, g.image.top,
                               ILD_TRANSPARENT | ((state & TVIS_CUT) ? ILD_BLEND50 : 0));
            }
            LabelLook look = LabelLook::Normal;
            if (selected && (focused_ || (state & TVIS_DROPHILITED) || n != caret_))
                look = LabelLook::Selected;
            else if (selected && (style & TVS_SHOWSELALWAYS))
                look = LabelLook::Inactive;
            if (n != editing_) painter.Label(g.label, TextOf(n), look, focused_ && n == caret_);
        }
        return 0;
    }

    TreeModel model_;
    TreeNode* caret_ = nullptr;
    TreeNode* dropHilite_ = nullptr;
    // The item a right click drop-highlighted, until its menu has closed.
    TreeNode* rightHilite_ = nullptr;
    // The drop target before it, given back then.
    TreeNode* dropBefore_ = nullptr;
    bool rightClicking_ = false;
    TreeNode* pressed_ = nullptr;
    UINT pressedFlags_ = 0;
    TreeNode* editPending_ = nullptr;
    TreeNode* editing_ = nullptr;
    HWND edit_ = nullptr;
    bool ending_ = false;
    HIMAGELIST images_ = nullptr;
    int indent_ = kDefaultIndent;
    bool focused_ = false;
    std::string labelText_;
};

} // namespace

void RegisterTreeViewClass() {
    RegisterControlClass<TreeView>(WC_TREEVIEW, CS_DBLCLKS);
}

} // namespace pw::commctrl
