#pragma once
// Logical fonts and text measurement. Every face renders as one of the DejaVu families, so metrics
// and pixels are the same on every machine with fonts-dejavu-core.
#include <string_view>

#include "platform/gdi/gdi_structs.h"

HFONT CreateFontIndirect(const LOGFONT* font);
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                 DWORD quality, DWORD pitchAndFamily, const char* faceName);
BOOL GetTextMetrics(HDC hdc, TEXTMETRIC* metrics);
// Text is UTF-8; count is in bytes (-1: up to the terminating zero).
BOOL GetTextExtentPoint32(HDC hdc, const char* text, int count, SIZE* size);
BOOL GetTextExtentPoint32(HDC hdc, std::string_view text, SIZE* size);
// How many characters fit in maxExtent (fit may be null); widths of each prefix in partialWidths.
BOOL GetTextExtentExPoint(HDC hdc, const char* text, int count, int maxExtent, int* fit, int* partialWidths,
                          SIZE* size);
// The face name of the selected font; returns the characters copied (without the zero).
int GetTextFace(HDC hdc, int count, char* faceName);

namespace pw::gdi {
// How many texts were measured (extents asked for) so far, by any thread: what shaping text has cost.
long long TextsMeasured();
} // namespace pw::gdi
