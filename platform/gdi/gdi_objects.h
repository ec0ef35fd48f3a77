#pragma once
// Pens, brushes, stock objects and the calls common to every GDI object.
#include "platform/gdi/gdi_structs.h"

HPEN CreatePen(int style, int width, COLORREF color);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateHatchBrush(int hatch, COLORREF color);
// The brush keeps its own copy of the pattern: the bitmap may be deleted afterwards.
HBRUSH CreatePatternBrush(HBITMAP bitmap);

HGDIOBJ GetStockObject(int index);
// Stock objects and system-colour brushes are never deleted; the call still succeeds for them.
BOOL DeleteObject(HGDIOBJ object);
DWORD GetObjectType(HGDIOBJ object);
// Fills a LOGPEN, LOGBRUSH, LOGFONT or BITMAP (by the object's kind; a DIBSECTION for a DIB section
// when the buffer has room for one); returns the bytes written, or the size needed when buffer is null;
// 0 on failure.
int GetObject(HGDIOBJ object, int size, void* buffer);
