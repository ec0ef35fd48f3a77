#pragma once
// Visual styles are not available: every call answers so that callers take their classic fallback.
#include "platform/gdi/gdi_defs.h"

using HTHEME = void*;
using HRESULT = LONG;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr int TS_MIN = 0, TS_TRUE = 1, TS_DRAW = 2;
inline constexpr int TMT_FILLCOLOR = 3802, TMT_TEXTCOLOR = 3803;

// Parts and states of the classes the bars draw through.
inline constexpr int TP_BUTTON = 1, TP_SPLITBUTTON = 3, TP_SPLITBUTTONDROPDOWN = 4, TP_SEPARATOR = 5,
                     TP_SEPARATORVERT = 6;
inline constexpr int TS_NORMAL = 1, TS_HOT = 2, TS_PRESSED = 3, TS_DISABLED = 4, TS_CHECKED = 5;
inline constexpr int RP_GRIPPER = 1, RP_GRIPPERVERT = 2;
inline constexpr int WP_MDIMINBUTTON = 16, WP_SMALLCLOSEBUTTON = 19, WP_MDICLOSEBUTTON = 20,
                     WP_MDIRESTOREBUTTON = 22;
inline constexpr int CP_DROPDOWNBUTTON = 1;
inline constexpr int EP_EDITTEXT = 1;
inline constexpr int ETS_NORMAL = 1, ETS_DISABLED = 4, ETS_READONLY = 6;
inline constexpr int SP_GRIPPER = 3;
inline constexpr int SBP_SIZEBOX = 10;

BOOL IsThemeActive();
BOOL IsAppThemed();
BOOL AreVisualStylesAvailable();
// Always 0.
HTHEME OpenThemeData(HWND hwnd, const char* classList);
HRESULT CloseThemeData(HTHEME theme);
HRESULT DrawThemeBackground(HTHEME theme, HDC hdc, int part, int state, const RECT* rect, const RECT* clip);
HRESULT DrawThemeParentBackground(HWND hwnd, HDC hdc, const RECT* rect);
HRESULT DrawThemeText(HTHEME theme, HDC hdc, int part, int state, const char* text, int count, DWORD flags,
                      DWORD flags2, const RECT* rect);
HRESULT GetThemePartSize(HTHEME theme, HDC hdc, int part, int state, const RECT* rect, int sizeKind,
                         SIZE* size);
HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC hdc, int part, int state, const RECT* bounds,
                                      RECT* content);
HRESULT GetThemeColor(HTHEME theme, int part, int state, int property, COLORREF* color);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state);
