#pragma once
// Colour blends, gradient fills and high-contrast tests on the system colours.
#include "platform/gdi/gdi_defs.h"
#include "platform/rtl/colors.h"

bool IsHighContrastBlack();
bool IsHighContrastWhite();
// A black button face with text that is not white.
bool IsHighContrastColoredText();

// Percent of Color1 and the rest of Color2, per channel (at most 255), as the screen shows it.
TColor BlendColors(TColor Color1, TColor Color2, int Percent);
// Per channel the sum of the percentages (which may be negative) of the button face, highlight and
// window colours, within 0..255; the highlight itself when the button face is black or white.
TColor BlendSystemColors(int FacePercent, int HighlightPercent, int WindowPercent);

// Colour 1 to colour 2 across the width (Horizontal) or the height, in at most 256 solid bands.
void FillGradientRect(HDC DC, const RECT& Rect, TColor Color1, bool Horizontal, TColor Color2);
// Two gradients that meet at a middle colour between the two.
void FillTwoPhaseGradientRect(HDC DC, const RECT& Rect, TColor Color1, bool Horizontal, TColor Color2);
// The colour FillGradientRect paints at Position (an x for Horizontal, else a y).
TColor GetGradientColorAt(const RECT& Rect, int Position, TColor Color1, bool Horizontal, TColor Color2);
// How far along the middle colour of a two-phase gradient lies, in percent.
int TwoPhaseGradientShare();

// Fill or frame with a temporary brush of the colour.
void FillRectByColor(HDC DC, const RECT& Rect, TColor Color);
void FrameRectByColor(HDC DC, const RECT& Rect, TColor Color);
