#pragma once
// An item's picture as bars draw it: normal, embossed or faded when disabled, grey, lighter when
// inactive in the flat style, raised with a drop shadow when hot.
#include "platform/gdi/gdi_defs.h"
#include "platform/rtl/colors.h"

class TBitmap;
class TCustomImageList;

// The picture is Glyph when it has one, else image ImageIndex of Images (drawn on ImageListBkColor,
// which is then its transparent colour). DestRect keeps DC's pixels beneath the picture
// (CopyBackground) or is filled with Brush first, and nothing is drawn outside it; GlyphRect is where
// the picture goes, stretched to it. FadeColor clNone draws a disabled picture embossed, any other
// colour faded to it. Each look of a picture is kept between calls while its source holds the same.
void DrawItemGlyph(HDC DC, HBRUSH Brush, const RECT& DestRect, const RECT& GlyphRect, TBitmap* Glyph,
                   TCustomImageList* Images, int ImageIndex, bool Enabled, bool Grey, bool Flat, bool Hot,
                   bool Checked, bool Down, bool Shadow, bool CopyBackground, TColor FadeColor,
                   TColor ImageListBkColor);
