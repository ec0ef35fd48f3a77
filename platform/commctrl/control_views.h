#pragma once
// Typed views of the standard and common controls' own messages: each decodes one control family's
// packing and refuses what does not fit (negative or too large indices, missing structures, buffers
// without room), so the controls' handlers work on checked values only.
#include <algorithm>
#include <cstring>
#include <optional>
#include <span>
#include <string>

#include "platform/commctrl/common_controls.h"
#include "platform/commctrl/std_controls.h"
#include "platform/gui/message_views.h"

namespace pw::commctrl {

// LVM_*: rows and columns by index in wParam, structures in lParam.
struct ListViewMsg : MessageView {
    using MessageView::MessageView;
    // The row or column wParam names among `count`.
    std::optional<int> Index(int count) const { return CheckedIndex(static_cast<intptr_t>(W()), count); }
    // LVM_SETITEMSTATE: -1 in wParam sets the state of every row.
    bool AllRows() const { return static_cast<intptr_t>(W()) == -1; }
    // LVM_GETNEXTITEM: the search starts after this row (-1: at the top).
    int After() const {
        return static_cast<int>(std::clamp<intptr_t>(static_cast<intptr_t>(W()), -1, INT32_MAX));
    }
    // LVM_INSERTCOLUMN: where the new column goes among `count`; past the end appends.
    int InsertAt(int count) const {
        return static_cast<int>(std::clamp<intptr_t>(static_cast<intptr_t>(W()), 0, count));
    }
    // LVM_SETCOLUMNWIDTH: the width in lParam's low word; the automatic widths (negative) make none.
    int Width() const { return std::max(0, static_cast<int>(static_cast<int16_t>(Low(L())))); }
    // LVM_GETITEMSTATE: the state bits asked for; LVM_GETNEXTITEM: the state the row must have.
    UINT Mask() const { return static_cast<UINT>(L()); }
    // LVM_GETIMAGELIST, LVM_SETIMAGELIST.
    WPARAM ImageListKind() const { return W(); }
    HIMAGELIST ImageList() const { return Pointer<ImageListData>(L()); }
    // LVM_INSERTCOLUMN, LVM_GETCOLUMN, LVM_SETCOLUMN.
    LVCOLUMN* Column() const { return Pointer<LVCOLUMN>(L()); }
    // LVM_INSERTITEM, LVM_SETITEMSTATE, LVM_SETITEMTEXT: the item structure, null when missing.
    LVITEM* Item() const { return Pointer<LVITEM>(L()); }
    // LVM_GETITEM, LVM_SETITEM: the structure, when it names a row among `rows` and no negative column.
    LVITEM* ItemIn(int rows) const {
        LVITEM* item = Item();
        return item && CheckedIndex(item->iItem, rows) && item->iSubItem >= 0 ? item : nullptr;
    }
    // LVM_GETITEMRECT.
    RECT* Rect() const { return Pointer<RECT>(L()); }
    // LVM_HITTEST.
    LVHITTESTINFO* HitTestInfo() const { return Pointer<LVHITTESTINFO>(L()); }
};

// EM_*: positions and lines in wParam, texts, buffers and counts in lParam.
struct EditMsg : MessageView {
    using MessageView::MessageView;
    static constexpr size_t kNoLimit = 0x7FFFFFFE;
    // EM_GETSEL: where the selection's start and end go; either may be missing.
    DWORD* StartOut() const { return Pointer<DWORD>(W()); }
    DWORD* EndOut() const { return Pointer<DWORD>(L()); }
    // EM_SETSEL: -1 as the start removes the selection; the start is clamped to the text's `size`, and a
    // negative end selects to the end.
    bool Deselects() const { return static_cast<intptr_t>(W()) == -1; }
    size_t Start(size_t size) const { return Clamp(static_cast<intptr_t>(W()), size); }
    size_t End(size_t size) const { return L() < 0 ? size : Clamp(L(), size); }
    // EM_REPLACESEL.
    bool CanUndo() const { return W() != 0; }
    // The sender's text, read where it lies: a log adds many lines at a time.
    std::string_view Text() const {
        return L() ? std::string_view(Pointer<const char>(L())) : std::string_view();
    }
    // EM_TAKETEXT: the sender's text, to be moved from.
    std::string* TakenText() const { return Pointer<std::string>(L()); }
    // EM_SETMODIFY, EM_SETREADONLY.
    bool Flag() const { return W() != 0; }
    // EM_LIMITTEXT: 0 and anything beyond the largest limit mean no limit.
    size_t Limit() const { return W() == 0 || W() > kNoLimit ? kNoLimit : W(); }
    // EM_SETPASSWORDCHAR: nothing for a value that is no character (0 turns the mask off).
    std::optional<char32_t> PasswordChar() const {
        if (W() > 0x10FFFF || (W() >= 0xD800 && W() < 0xE000)) return std::nullopt;
        return static_cast<char32_t>(W());
    }
    // EM_LINEINDEX, EM_GETLINE: the line wParam names among `lines`; EM_LINEINDEX's -1 is the caret's.
    bool OfCaret() const { return static_cast<intptr_t>(W()) == -1; }
    std::optional<int> Line(int lines) const { return CheckedIndex(static_cast<intptr_t>(W()), lines); }
    // EM_LINELENGTH, EM_LINEFROMCHAR: -1 asks about the selection, else a position clamped to `size`.
    bool OfSelection() const { return static_cast<intptr_t>(W()) == -1; }
    size_t Position(size_t size) const { return W() < size ? W() : size; }
    // EM_GETLINE: the buffer, whose first WORD holds its size in bytes.
    std::span<char> LineBuffer() const {
        char* buffer = Pointer<char>(L());
        if (!buffer) return {};
        WORD size = 0;
        std::copy_n(buffer, sizeof size, reinterpret_cast<char*>(&size));
        return std::span<char>(buffer, size);
    }
    // EM_LINESCROLL: the lines to scroll, kept far enough from the int limits to be added to a line.
    int ScrollLines() const { return static_cast<int>(std::clamp<intptr_t>(L(), -kFar, kFar)); }
    // EM_GETRECT, EM_SETRECT, EM_SETRECTNP (null for the default rectangle).
    RECT* Rect() const { return Pointer<RECT>(L()); }
    // EM_SETMARGINS: the margins named in wParam, in pixels (16 bits each, unsigned).
    bool MarginsFromFont() const { return W() == 0xFFFF; }
    bool SetsLeftMargin() const { return !MarginsFromFont() && (W() & 0x1); }
    bool SetsRightMargin() const { return !MarginsFromFont() && (W() & 0x2); }
    int LeftMargin() const { return Low(static_cast<uintptr_t>(L())); }
    int RightMargin() const { return High(static_cast<uintptr_t>(L())); }

private:
    static constexpr intptr_t kFar = 1 << 30;
    static size_t Clamp(intptr_t v, size_t size) {
        return v < 0 ? 0 : static_cast<size_t>(v) > size ? size : static_cast<size_t>(v);
    }
};

// LB_* and CB_* item messages, which a list box and a combo box pack alike: the item in wParam, a text,
// buffer or value in lParam.
struct ItemListMsg : MessageView {
    using MessageView::MessageView;
    // The item wParam names among `count`; for LB_SETCURSEL and CB_SETCURSEL nothing clears the choice.
    std::optional<int> Item(int count) const { return CheckedIndex(static_cast<intptr_t>(W()), count); }
    // LB_INSERTSTRING, CB_INSERTSTRING: where the string goes among `count`; a negative index appends, one
    // past the end is refused.
    std::optional<int> InsertAt(int count) const {
        const intptr_t at = static_cast<intptr_t>(W());
        if (at > count) return std::nullopt;
        return at < 0 ? count : static_cast<int>(at);
    }
    // LB_FINDSTRING, LB_SELECTSTRING (and CB_): the search starts after this item, -1 at the top.
    int After(int count) const { return Item(count).value_or(-1); }
    // The text of ADDSTRING, INSERTSTRING, FINDSTRING and SELECTSTRING; null reads as empty.
    std::string Text() const { return L() ? Pointer<const char>(L()) : ""; }
    // LB_GETTEXT, CB_GETLBTEXT: the caller's buffer, which GETTEXTLEN told it how large to make.
    char* TextOut() const { return Pointer<char>(L()); }
    // LB_SETITEMDATA, CB_SETITEMDATA.
    LPARAM Data() const { return L(); }
    // LB_SETHORIZONTALEXTENT: how wide (pixels) the rows may scroll across.
    int Extent() const { return static_cast<int>(Low(W())); }
    // LB_SETSEL: the flag in wParam, the item in lParam (-1: every item).
    bool Select() const { return W() != 0; }
    bool EveryItem() const { return L() == -1; }
    std::optional<int> SelItem(int count) const { return CheckedIndex(L(), count); }
    // LB_GETSELITEMS: the caller's array of wParam items.
    std::span<int> SelItemsOut() const {
        int* out = Pointer<int>(L());
        return out ? std::span<int>(out, std::min<WPARAM>(W(), INT32_MAX)) : std::span<int>();
    }
    // LB_SETITEMHEIGHT: lParam's low word, from 1 to 255 pixels.
    int Height() const { return std::clamp(static_cast<int>(Low(L())), 1, 255); }
    // LB_GETITEMRECT, CB_GETDROPPEDCONTROLRECT.
    RECT* Rect() const { return Pointer<RECT>(L()); }
    // LB_ITEMFROMPOINT.
    POINT Point() const { return PointOf(L()); }
    // CB_SHOWDROPDOWN.
    bool Flag() const { return W() != 0; }
    // CB_LIMITTEXT: passed on to the edit.
    WPARAM Limit() const { return W(); }
    // CB_GETEDITSEL: where the edit's selection goes.
    DWORD* StartOut() const { return Pointer<DWORD>(W()); }
    DWORD* EndOut() const { return Pointer<DWORD>(L()); }
    // CB_SETEDITSEL: the start and end in lParam's signed halves.
    int EditStart() const { return static_cast<int16_t>(Low(L())); }
    int EditEnd() const { return static_cast<int16_t>(High(L())); }
};

// TVM_*: items by handle, which the tree view checks against its own items; structures in lParam.
struct TreeViewMsg : MessageView {
    using MessageView::MessageView;
    // TVM_DELETEITEM, TVM_EXPAND, TVM_GETNEXTITEM, TVM_SELECTITEM, TVM_ENSUREVISIBLE, TVM_SORTCHILDREN,
    // TVM_EDITLABEL.
    HTREEITEM Item() const { return Pointer<TreeNode>(L()); }
    // TVM_EXPAND, TVM_GETNEXTITEM, TVM_SELECTITEM: the action or the relation.
    UINT Code() const { return static_cast<UINT>(W()); }
    // TVM_GETITEMSTATE: the item in wParam, the state bits asked for in lParam.
    HTREEITEM StateItem() const { return Pointer<TreeNode>(W()); }
    UINT Mask() const { return static_cast<UINT>(L()); }
    // TVM_INSERTITEM.
    const TVINSERTSTRUCT* InsertStruct() const { return Pointer<const TVINSERTSTRUCT>(L()); }
    // TVM_INSERTRUN.
    TVINSERTRUN* InsertRun() const { return Pointer<TVINSERTRUN>(L()); }
    // TVM_GETITEM, TVM_SETITEM.
    TVITEM* ItemStruct() const { return Pointer<TVITEM>(L()); }
    // TVM_SETINDENT: at least 4 pixels, at most what a short holds.
    int Indent() const { return static_cast<int>(std::clamp<WPARAM>(W(), 4, INT16_MAX)); }
    // TVM_GETIMAGELIST, TVM_SETIMAGELIST.
    WPARAM ImageListKind() const { return W(); }
    HIMAGELIST ImageList() const { return Pointer<ImageListData>(L()); }
    // TVM_GETITEMRECT: the rectangle, whose first bytes bring the item; wParam asks for the label's only.
    RECT* Rect() const { return Pointer<RECT>(L()); }
    HTREEITEM RectItem() const {
        HTREEITEM item = nullptr;
        if (const RECT* r = Rect()) std::memcpy(&item, r, sizeof item);
        return item;
    }
    bool LabelOnly() const { return W() != 0; }
    // TVM_HITTEST.
    TVHITTESTINFO* HitTestInfo() const { return Pointer<TVHITTESTINFO>(L()); }
    // TVM_SORTCHILDREN: whether the sort goes down the whole branch; TVM_ENDEDITLABELNOW: cancel.
    bool Flag() const { return W() != 0; }
};

// TCM_*: tabs by index in wParam, structures in lParam.
struct TabMsg : MessageView {
    using MessageView::MessageView;
    // The tab wParam names among `count`.
    std::optional<int> Tab(int count) const { return CheckedIndex(static_cast<intptr_t>(W()), count); }
    // TCM_INSERTITEM: where the tab goes; past the end appends, a negative index is refused.
    std::optional<int> InsertAt(int count) const {
        const intptr_t at = static_cast<intptr_t>(W());
        if (at < 0) return std::nullopt;
        return static_cast<int>(std::min<intptr_t>(at, count));
    }
    // TCM_INSERTITEM, TCM_GETITEM, TCM_SETITEM.
    TCITEM* Item() const { return Pointer<TCITEM>(L()); }
    // TCM_GETITEMRECT, TCM_ADJUSTRECT.
    RECT* Rect() const { return Pointer<RECT>(L()); }
    // TCM_ADJUSTRECT: from the display area to the window's (else the other way).
    bool Larger() const { return W() != 0; }
    // TCM_HITTEST.
    TCHITTESTINFO* HitTestInfo() const { return Pointer<TCHITTESTINFO>(L()); }
};

// SB_*: the part in wParam's low byte (SB_SIMPLEID for the simple text), a drawing type in its high
// byte, texts and arrays in lParam.
struct StatusBarMsg : MessageView {
    using MessageView::MessageView;
    static constexpr int kMaxParts = 256;
    // SB_SETTEXT, SB_GETTEXT, SB_GETTEXTLENGTH: the simple text, or one of `count` parts.
    bool SimpleText() const { return Low(W()) % 256 == SB_SIMPLEID; }
    std::optional<int> Part(int count) const { return CheckedIndex(Low(W()) % 256, count); }
    WORD DrawType() const { return static_cast<WORD>(W() & 0xFF00); }
    std::string Text() const { return L() ? Pointer<const char>(L()) : ""; }
    // SB_GETTEXT: the caller's buffer, which SB_GETTEXTLENGTH told it how large to make.
    char* TextOut() const { return Pointer<char>(L()); }
    // SB_SETPARTS: the right edges of 1 to kMaxParts parts; empty when the count or array is wrong.
    std::span<const int> Rights() const {
        const int* rights = Pointer<const int>(L());
        if (!rights || W() == 0 || W() > kMaxParts) return {};
        return std::span<const int>(rights, W());
    }
    // SB_GETPARTS: the caller's array of wParam edges.
    std::span<int> RightsOut() const {
        int* out = Pointer<int>(L());
        return out ? std::span<int>(out, std::min<WPARAM>(W(), INT32_MAX)) : std::span<int>();
    }
    // SB_GETRECT: the part in wParam among `count`.
    std::optional<int> RectPart(int count) const { return CheckedIndex(static_cast<intptr_t>(W()), count); }
    RECT* Rect() const { return Pointer<RECT>(L()); }
    // SB_SIMPLE.
    bool Flag() const { return W() != 0; }
};

// PBM_*: positions, steps and ranges as ints, kept within an int's range.
struct ProgressMsg : MessageView {
    using MessageView::MessageView;
    // PBM_SETRANGE: the range in lParam's two unsigned halves.
    int RangeLow16() const { return Low(L()); }
    int RangeHigh16() const { return High(L()); }
    // PBM_SETRANGE32: the low end in wParam, the high end in lParam.
    int RangeLow() const { return ToInt(static_cast<intptr_t>(W())); }
    int RangeHigh() const { return ToInt(L()); }
    // PBM_SETPOS, PBM_DELTAPOS, PBM_SETSTEP: the position, the amount or the step.
    int Value() const { return ToInt(static_cast<intptr_t>(W())); }
    // PBM_GETRANGE: whether the answer is the low end, and where both ends go.
    bool WantsLow() const { return W() != 0; }
    PBRANGE* Range() const { return Pointer<PBRANGE>(L()); }

private:
    static int ToInt(intptr_t v) { return static_cast<int>(std::clamp<intptr_t>(v, INT32_MIN, INT32_MAX)); }
};

// BM_*.
struct ButtonMsg : MessageView {
    using MessageView::MessageView;
    // BM_SETCHECK: one of the three check states, nothing for any other value.
    std::optional<int> Check() const {
        if (W() > BST_INDETERMINATE) return std::nullopt;
        return static_cast<int>(W());
    }
    // BM_SETSTATE: pushed or not.
    bool Flag() const { return W() != 0; }
    // BM_SETSTYLE: the button style in wParam's low word, and whether to redraw.
    WORD ButtonStyle() const { return Low(W()); }
    bool Redraw() const { return L() != 0; }
};

} // namespace pw::commctrl

// WM_NOTIFY and CN_NOTIFY from a tree view and from a list view, with the structure their codes bring.
struct TWMNotifyTV : TWMNotify {
    using TWMNotify::TWMNotify;
    // TVN_SELCHANGING, TVN_SELCHANGED, TVN_ITEMEXPANDING, TVN_ITEMEXPANDED, TVN_DELETEITEM.
    NMTREEVIEW* NMTreeView() const { return Notification<NMTREEVIEW>(); }
    // TVN_GETDISPINFO, TVN_BEGINLABELEDIT, TVN_ENDLABELEDIT.
    NMTVDISPINFO* DispInfo() const { return Notification<NMTVDISPINFO>(); }
};

struct TWMNotifyLV : TWMNotify {
    using TWMNotify::TWMNotify;
    // LVN_ITEMCHANGING, LVN_ITEMCHANGED, LVN_INSERTITEM, LVN_DELETEITEM, LVN_COLUMNCLICK.
    NMLISTVIEW* NMListView() const { return Notification<NMLISTVIEW>(); }
};
