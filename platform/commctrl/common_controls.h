#pragma once
// Win32 constants, structures and calls of the common controls ("SysTreeView32", "SysListView32",
// "SysTabControl32", "msctls_statusbar32", "msctls_progress32") and of image lists, with their Windows
// values. Texts are UTF-8, so the structures and codes are the "A" ones.
#include "platform/gui/messages.h"
#include "platform/gui/window_defs.h"

inline constexpr const char* WC_TREEVIEW = "SysTreeView32";
inline constexpr const char* WC_LISTVIEW = "SysListView32";
inline constexpr const char* WC_TABCONTROL = "SysTabControl32";
inline constexpr const char* STATUSCLASSNAME = "msctls_statusbar32";
inline constexpr const char* PROGRESS_CLASS = "msctls_progress32";

// Registers every class of this library (standard and common controls). Call once on the GUI thread
// before creating any of them; later calls do nothing.
void InitCommonControls();

struct NMHDR {
    HWND hwndFrom = nullptr;
    UINT_PTR idFrom = 0;
    UINT code = 0;
};
inline constexpr UINT NM_CLICK = static_cast<UINT>(-2), NM_DBLCLK = static_cast<UINT>(-3),
                      NM_RETURN = static_cast<UINT>(-4), NM_RCLICK = static_cast<UINT>(-5),
                      NM_RDBLCLK = static_cast<UINT>(-6), NM_SETFOCUS = static_cast<UINT>(-7),
                      NM_KILLFOCUS = static_cast<UINT>(-8);

// Image lists.
struct ImageListData;
using HIMAGELIST = ImageListData*;
inline constexpr UINT ILC_MASK = 0x1, ILC_COLOR = 0x0, ILC_COLOR32 = 0x20;
inline constexpr UINT ILD_NORMAL = 0x0, ILD_TRANSPARENT = 0x1, ILD_BLEND25 = 0x2, ILD_FOCUS = 0x2,
                      ILD_BLEND50 = 0x4, ILD_SELECTED = 0x4, ILD_BLEND = 0x4, ILD_MASK = 0x10;
inline constexpr COLORREF CLR_NONE = 0xFFFFFFFFu, CLR_DEFAULT = 0xFF000000u;
HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);
// Adds the images a bitmap holds side by side; returns the index of the first, or -1.
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF maskColor);
BOOL ImageList_Remove(HIMAGELIST list, int index);
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy);
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color);
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);

// Tree view.
struct TreeNode;
using HTREEITEM = TreeNode*;
inline const HTREEITEM TVI_ROOT = reinterpret_cast<HTREEITEM>(-0x10000);
inline const HTREEITEM TVI_FIRST = reinterpret_cast<HTREEITEM>(-0x0FFFF);
inline const HTREEITEM TVI_LAST = reinterpret_cast<HTREEITEM>(-0x0FFFE);
inline const HTREEITEM TVI_SORT = reinterpret_cast<HTREEITEM>(-0x0FFFD);
inline char* const LPSTR_TEXTCALLBACK = reinterpret_cast<char*>(-1);
inline constexpr int I_IMAGECALLBACK = -1, I_CHILDRENCALLBACK = -1;

inline constexpr DWORD TVS_HASBUTTONS = 0x1, TVS_HASLINES = 0x2, TVS_LINESATROOT = 0x4, TVS_EDITLABELS = 0x8,
                       TVS_DISABLEDRAGDROP = 0x10, TVS_SHOWSELALWAYS = 0x20;
inline constexpr UINT TVIF_TEXT = 0x1, TVIF_IMAGE = 0x2, TVIF_PARAM = 0x4, TVIF_STATE = 0x8,
                      TVIF_HANDLE = 0x10, TVIF_SELECTEDIMAGE = 0x20, TVIF_CHILDREN = 0x40;
inline constexpr UINT TVIS_FOCUSED = 0x1, TVIS_SELECTED = 0x2, TVIS_CUT = 0x4, TVIS_DROPHILITED = 0x8,
                      TVIS_BOLD = 0x10, TVIS_EXPANDED = 0x20, TVIS_EXPANDEDONCE = 0x40;
inline constexpr UINT TVM_FIRST = 0x1100;
inline constexpr UINT TVM_INSERTITEM = TVM_FIRST + 0, TVM_DELETEITEM = TVM_FIRST + 1,
                      TVM_EXPAND = TVM_FIRST + 2, TVM_GETITEMRECT = TVM_FIRST + 4,
                      TVM_GETCOUNT = TVM_FIRST + 5, TVM_GETINDENT = TVM_FIRST + 6,
                      TVM_SETINDENT = TVM_FIRST + 7, TVM_GETIMAGELIST = TVM_FIRST + 8,
                      TVM_SETIMAGELIST = TVM_FIRST + 9, TVM_GETNEXTITEM = TVM_FIRST + 10,
                      TVM_SELECTITEM = TVM_FIRST + 11, TVM_GETITEM = TVM_FIRST + 12,
                      TVM_SETITEM = TVM_FIRST + 13, TVM_EDITLABEL = TVM_FIRST + 14,
                      TVM_GETEDITCONTROL = TVM_FIRST + 15, TVM_GETVISIBLECOUNT = TVM_FIRST + 16,
                      TVM_HITTEST = TVM_FIRST + 17, TVM_SORTCHILDREN = TVM_FIRST + 19,
                      TVM_ENSUREVISIBLE = TVM_FIRST + 20, TVM_ENDEDITLABELNOW = TVM_FIRST + 22,
                      TVM_GETITEMSTATE = TVM_FIRST + 39;
// Ours: the siblings of a TVINSERTRUN in one message, for a tree filled with many thousand items.
inline constexpr UINT TVM_INSERTRUN = TVM_FIRST + 96;
inline constexpr WPARAM TVE_COLLAPSE = 0x1, TVE_EXPAND = 0x2, TVE_TOGGLE = 0x3, TVE_COLLAPSERESET = 0x8000;
inline constexpr WPARAM TVGN_ROOT = 0x0, TVGN_NEXT = 0x1, TVGN_PREVIOUS = 0x2, TVGN_PARENT = 0x3,
                        TVGN_CHILD = 0x4, TVGN_FIRSTVISIBLE = 0x5, TVGN_NEXTVISIBLE = 0x6,
                        TVGN_PREVIOUSVISIBLE = 0x7, TVGN_DROPHILITE = 0x8, TVGN_CARET = 0x9,
                        TVGN_LASTVISIBLE = 0xA;
inline constexpr WPARAM TVSIL_NORMAL = 0, TVSIL_STATE = 2;
inline constexpr UINT TVC_UNKNOWN = 0, TVC_BYMOUSE = 1, TVC_BYKEYBOARD = 2;
inline constexpr UINT TVHT_NOWHERE = 0x1, TVHT_ONITEMICON = 0x2, TVHT_ONITEMLABEL = 0x4,
                      TVHT_ONITEMINDENT = 0x8, TVHT_ONITEMBUTTON = 0x10, TVHT_ONITEMRIGHT = 0x20,
                      TVHT_ONITEMSTATEICON = 0x40, TVHT_ONITEM = 0x46, TVHT_ABOVE = 0x100, TVHT_BELOW = 0x200,
                      TVHT_TORIGHT = 0x400, TVHT_TOLEFT = 0x800;
inline constexpr UINT TVN_FIRST = static_cast<UINT>(-400);
inline constexpr UINT TVN_SELCHANGING = TVN_FIRST - 1, TVN_SELCHANGED = TVN_FIRST - 2,
                      TVN_GETDISPINFO = TVN_FIRST - 3, TVN_SETDISPINFO = TVN_FIRST - 4,
                      TVN_ITEMEXPANDING = TVN_FIRST - 5, TVN_ITEMEXPANDED = TVN_FIRST - 6,
                      TVN_DELETEITEM = TVN_FIRST - 9, TVN_BEGINLABELEDIT = TVN_FIRST - 10,
                      TVN_ENDLABELEDIT = TVN_FIRST - 11, TVN_KEYDOWN = TVN_FIRST - 12;

struct TVITEM {
    UINT mask = 0;
    HTREEITEM hItem = nullptr;
    UINT state = 0;
    UINT stateMask = 0;
    char* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = 0;
    int iSelectedImage = 0;
    int cChildren = 0;
    LPARAM lParam = 0;
};
struct TVINSERTSTRUCT {
    HTREEITEM hParent = nullptr;
    HTREEITEM hInsertAfter = nullptr;
    TVITEM item;
};
// TVM_INSERTRUN: count items inserted under hParent, the first after hInsertAfter and each of the others
// after the one before it; each item's hItem receives the item made. The answer is how many were made
// (all of them, unless the parent or the place was no item of the tree).
struct TVINSERTRUN {
    HTREEITEM hParent = nullptr;
    HTREEITEM hInsertAfter = nullptr;
    TVITEM* items = nullptr;
    UINT count = 0;
};
struct NMTREEVIEW {
    NMHDR hdr;
    UINT action = 0;
    TVITEM itemOld;
    TVITEM itemNew;
    POINT ptDrag;
};
struct NMTVDISPINFO {
    NMHDR hdr;
    TVITEM item;
};
struct NMTVKEYDOWN {
    NMHDR hdr;
    WORD wVKey = 0;
    UINT flags = 0;
};
struct TVHITTESTINFO {
    POINT pt;
    UINT flags = 0;
    HTREEITEM hItem = nullptr;
};

// Tab control.
inline constexpr UINT TCM_FIRST = 0x1300;
inline constexpr UINT TCM_GETITEMCOUNT = TCM_FIRST + 4, TCM_GETITEM = TCM_FIRST + 5,
                      TCM_SETITEM = TCM_FIRST + 6, TCM_INSERTITEM = TCM_FIRST + 7,
                      TCM_DELETEITEM = TCM_FIRST + 8, TCM_DELETEALLITEMS = TCM_FIRST + 9,
                      TCM_GETITEMRECT = TCM_FIRST + 10, TCM_GETCURSEL = TCM_FIRST + 11,
                      TCM_SETCURSEL = TCM_FIRST + 12, TCM_HITTEST = TCM_FIRST + 13,
                      TCM_ADJUSTRECT = TCM_FIRST + 40;
inline constexpr UINT TCIF_TEXT = 0x1, TCIF_IMAGE = 0x2, TCIF_PARAM = 0x8;
inline constexpr UINT TCN_FIRST = static_cast<UINT>(-550);
inline constexpr UINT TCN_SELCHANGE = TCN_FIRST - 1, TCN_SELCHANGING = TCN_FIRST - 2;
struct TCITEM {
    UINT mask = 0;
    DWORD dwState = 0;
    DWORD dwStateMask = 0;
    char* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = -1;
    LPARAM lParam = 0;
};
struct TCHITTESTINFO {
    POINT pt;
    UINT flags = 0;
};

// Placement styles of bars.
inline constexpr DWORD CCS_TOP = 0x1, CCS_NORESIZE = 0x4, CCS_NOPARENTALIGN = 0x8, CCS_BOTTOM = 0x3;

// Status bar.
inline constexpr DWORD SBARS_SIZEGRIP = 0x100;
inline constexpr UINT SB_SETTEXT = WM_USER + 1, SB_GETTEXT = WM_USER + 2, SB_GETTEXTLENGTH = WM_USER + 3,
                      SB_SETPARTS = WM_USER + 4, SB_GETPARTS = WM_USER + 6, SB_SIMPLE = WM_USER + 9,
                      SB_GETRECT = WM_USER + 10, SB_ISSIMPLE = WM_USER + 14;
inline constexpr WPARAM SB_SIMPLEID = 0xFF;
inline constexpr WPARAM SBT_NOBORDERS = 0x100, SBT_POPOUT = 0x200;

// Progress bar.
inline constexpr DWORD PBS_SMOOTH = 0x1, PBS_VERTICAL = 0x4;
inline constexpr UINT PBM_SETRANGE = WM_USER + 1, PBM_SETPOS = WM_USER + 2, PBM_DELTAPOS = WM_USER + 3,
                      PBM_SETSTEP = WM_USER + 4, PBM_STEPIT = WM_USER + 5, PBM_SETRANGE32 = WM_USER + 6,
                      PBM_GETRANGE = WM_USER + 7, PBM_GETPOS = WM_USER + 8;
struct PBRANGE {
    int iLow = 0;
    int iHigh = 0;
};

// List view (report view).
inline constexpr DWORD LVS_ICON = 0x0, LVS_REPORT = 0x1, LVS_SMALLICON = 0x2, LVS_LIST = 0x3,
                       LVS_TYPEMASK = 0x3, LVS_SINGLESEL = 0x4, LVS_SHOWSELALWAYS = 0x8,
                       LVS_NOCOLUMNHEADER = 0x4000;
inline constexpr UINT LVM_FIRST = 0x1000;
inline constexpr UINT LVM_GETIMAGELIST = LVM_FIRST + 2, LVM_SETIMAGELIST = LVM_FIRST + 3,
                      LVM_GETITEMCOUNT = LVM_FIRST + 4, LVM_GETITEM = LVM_FIRST + 5,
                      LVM_SETITEM = LVM_FIRST + 6, LVM_INSERTITEM = LVM_FIRST + 7,
                      LVM_DELETEITEM = LVM_FIRST + 8, LVM_DELETEALLITEMS = LVM_FIRST + 9,
                      LVM_GETNEXTITEM = LVM_FIRST + 12, LVM_GETITEMRECT = LVM_FIRST + 14,
                      LVM_HITTEST = LVM_FIRST + 18, LVM_ENSUREVISIBLE = LVM_FIRST + 19,
                      LVM_GETCOLUMN = LVM_FIRST + 25, LVM_SETCOLUMN = LVM_FIRST + 26,
                      LVM_INSERTCOLUMN = LVM_FIRST + 27, LVM_DELETECOLUMN = LVM_FIRST + 28,
                      LVM_GETCOLUMNWIDTH = LVM_FIRST + 29, LVM_SETCOLUMNWIDTH = LVM_FIRST + 30,
                      LVM_GETTOPINDEX = LVM_FIRST + 39, LVM_SETITEMSTATE = LVM_FIRST + 43,
                      LVM_GETITEMSTATE = LVM_FIRST + 44, LVM_GETITEMTEXT = LVM_FIRST + 45,
                      LVM_SETITEMTEXT = LVM_FIRST + 46, LVM_GETSELECTEDCOUNT = LVM_FIRST + 50;
inline constexpr WPARAM LVSIL_NORMAL = 0, LVSIL_SMALL = 1;
inline constexpr UINT LVIF_TEXT = 0x1, LVIF_IMAGE = 0x2, LVIF_PARAM = 0x4, LVIF_STATE = 0x8;
inline constexpr UINT LVIS_FOCUSED = 0x1, LVIS_SELECTED = 0x2;
inline constexpr UINT LVCF_FMT = 0x1, LVCF_WIDTH = 0x2, LVCF_TEXT = 0x4, LVCF_SUBITEM = 0x8;
inline constexpr int LVCFMT_LEFT = 0x0, LVCFMT_RIGHT = 0x1, LVCFMT_CENTER = 0x2;
inline constexpr LPARAM LVNI_ALL = 0x0, LVNI_FOCUSED = 0x1, LVNI_SELECTED = 0x2;
inline constexpr UINT LVHT_NOWHERE = 0x1, LVHT_ONITEMICON = 0x2, LVHT_ONITEMLABEL = 0x4, LVHT_ONITEM = 0xE;
inline constexpr UINT LVN_FIRST = static_cast<UINT>(-100);
inline constexpr UINT LVN_ITEMCHANGING = LVN_FIRST - 0, LVN_ITEMCHANGED = LVN_FIRST - 1,
                      LVN_INSERTITEM = LVN_FIRST - 2, LVN_DELETEITEM = LVN_FIRST - 3,
                      LVN_DELETEALLITEMS = LVN_FIRST - 4, LVN_COLUMNCLICK = LVN_FIRST - 8,
                      LVN_KEYDOWN = LVN_FIRST - 55;
struct LVITEM {
    UINT mask = 0;
    int iItem = 0;
    int iSubItem = 0;
    UINT state = 0;
    UINT stateMask = 0;
    char* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = 0;
    LPARAM lParam = 0;
};
struct LVCOLUMN {
    UINT mask = 0;
    int fmt = LVCFMT_LEFT;
    int cx = 0;
    char* pszText = nullptr;
    int cchTextMax = 0;
    int iSubItem = 0;
};
struct NMLISTVIEW {
    NMHDR hdr;
    int iItem = -1;
    int iSubItem = 0;
    UINT uNewState = 0;
    UINT uOldState = 0;
    UINT uChanged = 0;
    POINT ptAction;
    LPARAM lParam = 0;
};
struct NMITEMACTIVATE {
    NMHDR hdr;
    int iItem = -1;
    int iSubItem = 0;
    UINT uNewState = 0;
    UINT uOldState = 0;
    UINT uChanged = 0;
    POINT ptAction;
    LPARAM lParam = 0;
    UINT uKeyFlags = 0;
};
struct NMLVKEYDOWN {
    NMHDR hdr;
    WORD wVKey = 0;
    UINT flags = 0;
};
struct LVHITTESTINFO {
    POINT pt;
    UINT flags = 0;
    int iItem = -1;
    int iSubItem = 0;
};
