#include "platform/gdi/theme.h"

BOOL IsThemeActive() {
    return 0;
}
BOOL IsAppThemed() {
    return 0;
}
BOOL AreVisualStylesAvailable() {
    return 0;
}
HTHEME OpenThemeData(HWND, const char*) {
    return nullptr;
}
HRESULT CloseThemeData(HTHEME) {
    return E_FAIL;
}
HRESULT DrawThemeBackground(HTHEME, HDC, int, int, const RECT*, const RECT*) {
    return E_FAIL;
}
HRESULT DrawThemeParentBackground(HWND, HDC, const RECT*) {
    return E_FAIL;
}
HRESULT DrawThemeText(HTHEME, HDC, int, int, const char*, int, DWORD, DWORD, const RECT*) {
    return E_FAIL;
}
HRESULT GetThemePartSize(HTHEME, HDC, int, int, const RECT*, int, SIZE*) {
    return E_FAIL;
}
HRESULT GetThemeBackgroundContentRect(HTHEME, HDC, int, int, const RECT*, RECT*) {
    return E_FAIL;
}
HRESULT GetThemeColor(HTHEME, int, int, int, COLORREF*) {
    return E_FAIL;
}
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME, int, int) {
    return 0;
}
