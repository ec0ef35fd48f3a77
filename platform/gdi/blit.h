#pragma once
// Block transfers between device contexts with ternary raster operations, masks and alpha.
#include "platform/gdi/gdi_structs.h"

// The raster operation that leaves the destination as it is (for the background half of a MaskBlt).
inline constexpr DWORD kDstCopy = 0x00AA0029;

BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop);
BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int widthSrc,
                int heightSrc, DWORD rop);
// rop4 = MAKEROP4(foreground, background): foreground where the monochrome mask has 1 bits.
BOOL MaskBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, HBITMAP mask,
             int xMask, int yMask, DWORD rop4);
BOOL TransparentBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int widthSrc,
                    int heightSrc, UINT transparentColor);
// Source pixels are premultiplied when AC_SRC_ALPHA is set; fails when the source rectangle leaves the
// source.
BOOL AlphaBlend(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int widthSrc,
                int heightSrc, BLENDFUNCTION blend);
