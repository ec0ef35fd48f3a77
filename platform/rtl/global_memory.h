#pragma once
// Blocks of memory known by a handle, as Win32's movable global memory: what the clipboard holds of a
// format of a program's own is one of these. A block keeps its address while it lives. Any thread.
#include <cstddef>

#include "platform/rtl/wintypes.h"

using HGLOBAL = HANDLE;
inline constexpr UINT GMEM_FIXED = 0x0000, GMEM_MOVEABLE = 0x0002, GMEM_ZEROINIT = 0x0040;

// A new block of that many bytes (zeroed); null when it cannot be had.
HGLOBAL GlobalAlloc(UINT flags, size_t bytes);
// The block's first byte; null for a handle that names no block.
void* GlobalLock(HGLOBAL block);
// False once the block is no longer locked (or for a handle that names none).
BOOL GlobalUnlock(HGLOBAL block);
// 0 for a handle that names no block.
size_t GlobalSize(HGLOBAL block);
// Null when freed; the handle itself when it named no block.
HGLOBAL GlobalFree(HGLOBAL block);
