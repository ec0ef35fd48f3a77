#pragma once
// Typed views of the standard and common controls' own messages: each decodes one control family's
// packing and refuses what does not fit (negative or too large indices, missing structures, buffers
// without room), so the controls' handlers work on checked values only.
#include <algorithm>
#include <optional>
#include <span>

#include "platform/commctrl/common_controls.h"
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
    // The text buffer an LVITEM or LVCOLUMN brings for a GET message.
    static std::span<char> TextBuffer(const LVITEM& item) { return Buffer(item.pszText, item.cchTextMax); }
    static std::span<char> TextBuffer(const LVCOLUMN& column) {
        return Buffer(column.pszText, column.cchTextMax);
    }
};

} // namespace pw::commctrl
