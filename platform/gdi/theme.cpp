#include "platform/gdi/theme.h"

namespace {

pw::gdi::ThemeLayer* installed = nullptr;

} // namespace

namespace pw::gdi {

void SetThemeLayer(ThemeLayer* Layer) {
    installed = Layer;
}

ThemeLayer* GetThemeLayer() {
    return installed;
}

} // namespace pw::gdi

BOOL IsThemeActive() {
    return installed != nullptr ? 1 : 0;
}
BOOL IsAppThemed() {
    return installed != nullptr ? 1 : 0;
}
BOOL AreVisualStylesAvailable() {
    return installed != nullptr ? 1 : 0;
}
HTHEME OpenThemeData(HWND, const char* classList) {
    return installed != nullptr && classList != nullptr ? installed->Open(classList) : nullptr;
}
HRESULT CloseThemeData(HTHEME theme) {
    return installed != nullptr && theme != nullptr ? S_OK : E_FAIL;
}
HRESULT DrawThemeBackground(HTHEME theme, HDC hdc, int part, int state, const RECT* rect, const RECT* clip) {
    if (installed == nullptr || theme == nullptr || rect == nullptr) return E_FAIL;
    return installed->DrawBackground(theme, hdc, part, state, *rect, clip);
}
HRESULT DrawThemeParentBackground(HWND, HDC, const RECT*) {
    return E_FAIL;
}
HRESULT DrawThemeText(HTHEME, HDC, int, int, const char*, int, DWORD, DWORD, const RECT*) {
    return E_FAIL;
}
HRESULT GetThemePartSize(HTHEME theme, HDC hdc, int part, int state, const RECT* rect, int sizeKind,
                         SIZE* size) {
    if (installed == nullptr || theme == nullptr || size == nullptr) return E_FAIL;
    return installed->PartSize(theme, hdc, part, state, rect, sizeKind, *size);
}
HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC hdc, int part, int state, const RECT* bounds,
                                      RECT* content) {
    if (installed == nullptr || theme == nullptr || bounds == nullptr || content == nullptr) return E_FAIL;
    return installed->ContentRect(theme, hdc, part, state, *bounds, *content);
}
HRESULT GetThemeColor(HTHEME theme, int part, int state, int property, COLORREF* color) {
    if (installed == nullptr || theme == nullptr || color == nullptr) return E_FAIL;
    return installed->Color(theme, part, state, property, *color);
}
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state) {
    return installed != nullptr && theme != nullptr && installed->PartiallyTransparent(theme, part, state)
               ? 1
               : 0;
}
