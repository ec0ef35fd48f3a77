#pragma once
// Icons: a colour bitmap and a monochrome mask (or a mask alone, twice as tall: AND half over XOR half).
#include "platform/gdi/gdi_structs.h"

// The icon keeps copies of the bitmaps; the caller still owns and deletes its own.
HICON CreateIconIndirect(const ICONINFO* info);
BOOL DestroyIcon(HICON icon);
// Fresh copies of the icon's bitmaps, which the caller deletes.
BOOL GetIconInfo(HICON icon, ICONINFO* info);
// Draws at the icon's own size.
BOOL DrawIcon(HDC hdc, int x, int y, HICON icon);
// A zero width or height takes the icon's size (or SM_CXICON/SM_CYICON with DI_DEFAULTSIZE).
BOOL DrawIconEx(HDC hdc, int x, int y, HICON icon, int width, int height, UINT step, HBRUSH flickerFree,
                UINT flags);
