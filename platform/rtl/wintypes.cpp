#include "platform/rtl/wintypes.h"

#include <algorithm>

bool IsRectEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

bool PtInRect(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

bool IntersectRect(RECT& dst, const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (IsRectEmpty(r)) {
        dst = RECT{};
        return false;
    }
    dst = r;
    return true;
}

bool UnionRect(RECT& dst, const RECT& a, const RECT& b) {
    if (IsRectEmpty(a)) {
        dst = IsRectEmpty(b) ? RECT{} : b;
    } else if (IsRectEmpty(b)) {
        dst = a;
    } else {
        dst = RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                   std::max(a.bottom, b.bottom)};
    }
    return !IsRectEmpty(dst);
}

void InflateRect(RECT& r, int dx, int dy) {
    r.left -= dx;
    r.top -= dy;
    r.right += dx;
    r.bottom += dy;
}

void OffsetRect(RECT& r, int dx, int dy) {
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
}

void SetRect(RECT& r, int left, int top, int right, int bottom) {
    r = RECT{left, top, right, bottom};
}

void SetRectEmpty(RECT& r) {
    r = RECT{};
}

bool EqualRect(const RECT& a, const RECT& b) {
    return a == b;
}
