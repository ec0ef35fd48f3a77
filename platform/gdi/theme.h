#pragma once
// Visual styles are not available: every call answers so that callers take their classic fallback.
#include "platform/gdi/gdi_defs.h"

using HTHEME = void*;
using HRESULT = LONG;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr int TS_MIN = 0, TS_TRUE = 1, TS_DRAW = 2;
inline constexpr int TMT_FILLCOLOR = 3802, TMT_TEXTCOLOR = 3803;

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
