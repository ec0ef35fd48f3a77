#pragma once
// Drawing pieces the toolbar painters share: arrows, the highlight frame, gradients, tiled pictures,
// clip-region save and restore, the menu font, size grips and the themed close button.
#include "platform/gdi/gdi_defs.h"
#include "platform/rtl/colors.h"

class TBitmap;
class TFont;

// A drop-down (DownArrow) or right-pointing arrow sized from the rectangle.
void DrawArrow(HDC DC, const RECT& Rect, bool DownArrow, bool Enabled, bool Selected, bool Flat);
// The arrow's size in DrawArrow for a rectangle.
int ArrowSize(const RECT& Rect, bool DownArrow);
void DrawArrowTriangle(HDC DC, const RECT& Rect, bool DownArrow, int Size, bool Selected, bool Enabled,
                       bool Flat);
void FrameHighlight(HDC DC, const RECT& Rect);
// The edge (BDR_...) drawn round the whole rectangle.
void DrawRectEdge(HDC DC, RECT Rect, UINT Edge);
// 256 bands from top to bottom.
void FillGradient(HDC DC, const RECT& Rect, TColor FromColor, TColor ToColor);
// Tiles Bitmap over Rect from OriginRect's corner; without a picture fills with Brush, or Color.
void FillRectWithBitmap(HDC DC, const RECT& Rect, const RECT& OriginRect, TBitmap* Bitmap, TColor Color,
                        HBRUSH Brush);
void SaveClipRegion(HDC DC, HRGN& Region, bool& HadRegion);
void RestoreClipRegion(HDC DC, HRGN& Region, bool HadRegion);
void ExcludeClipRectangle(HDC DC, const RECT& Rect);
void ExcludeRectFromRegion(HRGN Region, const RECT& Rect);
TColor GetNearestScreenColor(TColor Color);
// Replaces Handle with a font made from Font; Scaled takes the icon-title font's height (never above -11).
void CreateMenuFont(const TFont& Font, HFONT& Handle, bool Scaled);
// The classic size grip over whatever lies beneath it.
void DrawSizeGripTransparent(HDC DC, const RECT& Rect);
// The toolbar theme's fill colour, else the button face.
TColor GetXPToolbarFillColor();
// Draw nothing where no theme is active.
void DrawThemedSmallCloseButton(HDC DC, const RECT& Rect, int State, int Side, bool Pressed);
void DrawThemedSizeGrip(HDC DC, const RECT& Rect, int Corner);
