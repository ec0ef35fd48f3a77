#pragma once
// Filling, framing and outlining shapes, lines and single pixels.
#include "platform/gdi/gdi_defs.h"

// Brushes may be system-colour pseudo-handles (COLOR_xxx + 1).
int FillRect(HDC hdc, const RECT* rect, HBRUSH brush);
int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush);
BOOL InvertRect(HDC hdc, const RECT* rect);
BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop);

// Outlined with the selected pen and filled with the selected brush, through the ROP2 mode.
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom);
BOOL Polygon(HDC hdc, const POINT* points, int count);
// Lines leave out their last point, as in Win32.
BOOL Polyline(HDC hdc, const POINT* points, int count);
BOOL LineTo(HDC hdc, int x, int y);

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color);
// CLR_INVALID outside the clipping region.
COLORREF GetPixel(HDC hdc, int x, int y);
