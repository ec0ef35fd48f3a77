#pragma once
// Drawing text: TextOut, ExtTextOut and DrawText with its formatting flags. Text is UTF-8; counts are in
// bytes (-1: up to the terminating zero).
#include "platform/gdi/gdi_structs.h"

BOOL TextOut(HDC hdc, int x, int y, const char* text, int count);
// dx, when given, holds the advance of each character.
BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, const RECT* rect, const char* text, UINT count,
                const int* dx);
// Returns the height of the text (with DT_VCENTER or DT_BOTTOM: the offset from rect->top to its
// bottom); 0 on failure. With DT_CALCRECT, only measures, widening or narrowing rect to the text.
int DrawText(HDC hdc, const char* text, int count, RECT* rect, UINT format);
int DrawTextEx(HDC hdc, const char* text, int count, RECT* rect, UINT format, DRAWTEXTPARAMS* params);
