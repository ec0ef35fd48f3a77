#pragma once
// The numbers of the clipboard's standard formats, known to the window system's clipboard and to the
// graphics that put themselves on it.
#include "platform/rtl/wintypes.h"

inline constexpr UINT CF_TEXT = 1;
inline constexpr UINT CF_BITMAP = 2;  // a bitmap handle
inline constexpr UINT CF_PALETTE = 9; // a palette handle
inline constexpr UINT CF_UNICODETEXT = 13;
