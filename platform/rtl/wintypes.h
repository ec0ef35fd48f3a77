#pragma once
// The plain Win32 value types and handle types that every layer of the program is written against.
#include <cstdint>

using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using UINT = unsigned int;
using LONG = int32_t;
using BOOL = int;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using COLORREF = uint32_t; // 0x00BBGGRR

inline constexpr BOOL FALSE_ = 0;
inline constexpr BOOL TRUE_ = 1;

// Handles are opaque; each names one object of the platform layer, and values are never reused.
#define PW_DECLARE_HANDLE(name)                                                                              \
    struct name##__;                                                                                         \
    using name = name##__*;
PW_DECLARE_HANDLE(HWND)
PW_DECLARE_HANDLE(HDC)
PW_DECLARE_HANDLE(HGDIOBJ_)
PW_DECLARE_HANDLE(HBITMAP)
PW_DECLARE_HANDLE(HBRUSH)
PW_DECLARE_HANDLE(HPEN)
PW_DECLARE_HANDLE(HFONT)
PW_DECLARE_HANDLE(HRGN)
PW_DECLARE_HANDLE(HPALETTE)
PW_DECLARE_HANDLE(HICON)
PW_DECLARE_HANDLE(HMENU)
PW_DECLARE_HANDLE(HINSTANCE)
PW_DECLARE_HANDLE(HHOOK)
PW_DECLARE_HANDLE(HMONITOR)
PW_DECLARE_HANDLE(HKEY)
#undef PW_DECLARE_HANDLE
using HGDIOBJ = void*;
using HCURSOR = HICON;
using HANDLE = void*;

struct POINT {
    LONG x = 0;
    LONG y = 0;
    friend bool operator==(const POINT&, const POINT&) = default;
};

struct SIZE {
    LONG cx = 0;
    LONG cy = 0;
    friend bool operator==(const SIZE&, const SIZE&) = default;
};

struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
    LONG Width() const { return right - left; }
    LONG Height() const { return bottom - top; }
    friend bool operator==(const RECT&, const RECT&) = default;
};

using TPoint = POINT;
using TRect = RECT;

inline RECT Rect(LONG left, LONG top, LONG right, LONG bottom) {
    return RECT{left, top, right, bottom};
}
inline POINT Point(LONG x, LONG y) {
    return POINT{x, y};
}

inline constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}
inline constexpr BYTE GetRValue(COLORREF c) {
    return static_cast<BYTE>(c & 0xFF);
}
inline constexpr BYTE GetGValue(COLORREF c) {
    return static_cast<BYTE>((c >> 8) & 0xFF);
}
inline constexpr BYTE GetBValue(COLORREF c) {
    return static_cast<BYTE>((c >> 16) & 0xFF);
}

inline constexpr WORD LOWORD(uintptr_t v) {
    return static_cast<WORD>(v & 0xFFFF);
}
inline constexpr WORD HIWORD(uintptr_t v) {
    return static_cast<WORD>((v >> 16) & 0xFFFF);
}
inline constexpr LPARAM MAKELPARAM(WORD lo, WORD hi) {
    return static_cast<LPARAM>(static_cast<uint32_t>(lo) | (static_cast<uint32_t>(hi) << 16));
}
inline constexpr WPARAM MAKEWPARAM(WORD lo, WORD hi) {
    return static_cast<WPARAM>(static_cast<uint32_t>(lo) | (static_cast<uint32_t>(hi) << 16));
}
inline constexpr int GET_X_LPARAM(LPARAM lp) {
    return static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lp)));
}
inline constexpr int GET_Y_LPARAM(LPARAM lp) {
    return static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(lp)));
}

// Rectangle helpers with Win32 semantics (an empty rectangle has no area; right and bottom are exclusive).
bool IsRectEmpty(const RECT& r);
bool PtInRect(const RECT& r, POINT p);
bool IntersectRect(RECT& dst, const RECT& a, const RECT& b);
bool UnionRect(RECT& dst, const RECT& a, const RECT& b);
void InflateRect(RECT& r, int dx, int dy);
// R grown by dx at each side and dy at top and bottom (shrunk when negative), as a value.
inline RECT Inflated(RECT r, int dx, int dy) {
    return RECT{r.left - dx, r.top - dy, r.right + dx, r.bottom + dy};
}
void OffsetRect(RECT& r, int dx, int dy);
void SetRect(RECT& r, int left, int top, int right, int bottom);
void SetRectEmpty(RECT& r);
bool EqualRect(const RECT& a, const RECT& b);
