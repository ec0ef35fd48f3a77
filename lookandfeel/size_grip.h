#pragma once
// The size grip of a sizeable strip, drawn facing whichever corner of its owner it sits in.
#include "platform/gdi/gdi_defs.h"

// The height of a strip that carries a size grip.
int GetSizeGripAreaHeight();
// 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right: where a window lies against its owner.
int GetSizeGripCorner(const RECT& Window, const RECT& Owner);
// Rect becomes the grip's square at Corner of Rect, where the grip is drawn on the button face.
void DrawSizeGrip(HDC DC, RECT& Rect, int Corner);
