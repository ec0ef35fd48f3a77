#pragma once
// Region handles and the clipping of device contexts.
#include "platform/gdi/gdi_defs.h"

class Region;

HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
// Makes a region handle from a region value (the window system's way in).
HRGN CreateRgnFromRegion(const Region& region);
// The region a handle names, for the window system; false for a stale or wrong handle.
bool GetRegion(HRGN rgn, Region& out);

int CombineRgn(HRGN dst, HRGN src1, HRGN src2, int mode);
int OffsetRgn(HRGN rgn, int dx, int dy);
int GetRgnBox(HRGN rgn, RECT* box);
BOOL PtInRegion(HRGN rgn, int x, int y);
BOOL RectInRegion(HRGN rgn, const RECT* rect);
BOOL EqualRgn(HRGN a, HRGN b);
BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom);

BOOL FillRgn(HDC hdc, HRGN rgn, HBRUSH brush);

// Clipping: regions passed in device coordinates, rectangles in logical coordinates.
int SelectClipRgn(HDC hdc, HRGN rgn);
int ExtSelectClipRgn(HDC hdc, HRGN rgn, int mode);
int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom);
int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom);
int GetClipBox(HDC hdc, RECT* rect);
// 1 and a copy in rgn when the DC has an application clip region, 0 when it has none, -1 on error.
int GetClipRgn(HDC hdc, HRGN rgn);
BOOL RectVisible(HDC hdc, const RECT* rect);
