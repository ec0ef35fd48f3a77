#pragma once
// Text drawing and measuring on whole 8-bit strings.
#include <string>

#include "platform/gdi/gdi_defs.h"

// DrawText on the first Count bytes (-1: all); with DT_CALCRECT the rectangle comes back measured.
int DrawStringText(HDC DC, const std::string& Text, int Count, RECT& Rect, UINT Format);
// ExtTextOut of the whole text without a spacing array.
BOOL ExtTextOutString(HDC DC, int X, int Y, UINT Options, const RECT* Rect, const std::string& Text);
BOOL GetStringTextExtent(HDC DC, const std::string& Text, int Count, SIZE& Size);
