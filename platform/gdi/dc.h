#pragma once
// Device contexts: creation, saved states, selected objects, colours, modes and coordinate origins.
#include "platform/gdi/gdi_defs.h"

class Surface;

HDC CreateCompatibleDC(HDC hdc);
// A DC drawing on a surface the caller owns (a window's backing image). deviceOrigin is where the DC's
// (0,0) lies on the surface; clip (DC coordinates, copied; may be null) limits all drawing beyond the
// application's own clip region. The surface must outlive the DC; release with DeleteDC.
HDC CreateSurfaceDC(Surface* surface, POINT deviceOrigin, HRGN clip);
BOOL DeleteDC(HDC hdc);
// The surface a DC draws on (the selected bitmap's for memory DCs), or null.
Surface* GetDCSurface(HDC hdc);

int SaveDC(HDC hdc);
BOOL RestoreDC(HDC hdc, int savedDc);

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object);
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);

COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
int SetROP2(HDC hdc, int rop2);
int GetROP2(HDC hdc);
UINT SetTextAlign(HDC hdc, UINT align);
UINT GetTextAlign(HDC hdc);
int SetStretchBltMode(HDC hdc, int mode);
int GetStretchBltMode(HDC hdc);
int SetPolyFillMode(HDC hdc, int mode);
int GetPolyFillMode(HDC hdc);
COLORREF SetDCBrushColor(HDC hdc, COLORREF color);
COLORREF GetDCBrushColor(HDC hdc);
COLORREF SetDCPenColor(HDC hdc, COLORREF color);
COLORREF GetDCPenColor(HDC hdc);

BOOL SetWindowOrgEx(HDC hdc, int x, int y, POINT* previous);
BOOL OffsetWindowOrgEx(HDC hdc, int dx, int dy, POINT* previous);
BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* previous);
BOOL GetViewportOrgEx(HDC hdc, POINT* origin);
BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, POINT* previous);
BOOL SetBrushOrgEx(HDC hdc, int x, int y, POINT* previous);
// The DC's device origin on its surface (for a window DC, the client area's offset in the window image).
BOOL GetDCOrgEx(HDC hdc, POINT* origin);
BOOL MoveToEx(HDC hdc, int x, int y, POINT* previous);
BOOL GetCurrentPositionEx(HDC hdc, POINT* position);

// Only MM_TEXT (one logical unit is one pixel, y downwards) exists; other modes are refused.
inline constexpr int MM_TEXT = 1;
int SetMapMode(HDC hdc, int mode);
int GetMapMode(HDC hdc);

int GetDeviceCaps(HDC hdc, int index);
COLORREF GetNearestColor(HDC hdc, COLORREF color);
