#pragma once
// Device-dependent bitmaps (monochrome or 32-bit colour) and device-independent bitmaps.
#include "platform/gdi/gdi_structs.h"

// 1 bit per pixel makes a monochrome bitmap (rows padded to 16 bits, 1 = white); 32 a colour one
// (rows of BGRA). Other depths are refused. A zero size gives the stock 1x1 monochrome bitmap.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
// Monochrome when the DC is a memory DC holding a monochrome bitmap (a fresh memory DC does), as in Win32.
HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);
// 1, 4, 8, 24 or 32 bits per pixel; a negative height is top-down. The bits stay valid until the bitmap
// is deleted; drawing and the caller's writes meet at each GDI call.
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
// With bits null and biBitCount 0, fills in the header only. Returns the number of lines copied.
int GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage);
// The colour table of the DIB section of 1, 4 or 8 bits selected into a memory DC: entries from start on,
// at most count, copied to colors (none when null). Answers the number of entries; 0 for any other bitmap.
UINT GetDIBColorTable(HDC hdc, UINT start, UINT count, RGBQUAD* colors);
int SetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info,
              UINT usage);
int StretchDIBits(HDC hdc, int x, int y, int width, int height, int xSrc, int ySrc, int widthSrc,
                  int heightSrc, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);
inline constexpr DWORD CBM_INIT = 4;
// A device bitmap (32-bit, or monochrome for a monochrome DC) of the header's size, filled from the DIB
// when init has CBM_INIT.
HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage);

inline constexpr UINT IMAGE_BITMAP = 0, IMAGE_ICON = 1, IMAGE_CURSOR = 2;
inline constexpr UINT LR_DEFAULTCOLOR = 0, LR_MONOCHROME = 1, LR_COPYRETURNORG = 4, LR_COPYDELETEORG = 8,
                      LR_CREATEDIBSECTION = 0x2000, LR_COPYFROMRESOURCE = 0x4000;
// A copy of a bitmap or icon, stretched to cx by cy when they are not zero. LR_COPYDELETEORG deletes
// the original on success.
HANDLE CopyImage(HANDLE image, UINT type, int cx, int cy, UINT flags);

// The pixels of a bitmap as 0xAARRGGBB rows, for callers that work on pixels directly (e.g. recolouring);
// null for DIB sections kept in another format (their bits pointer is the way in).
class Surface;
Surface* GetBitmapSurface(HBITMAP bitmap);
