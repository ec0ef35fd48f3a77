#pragma once
// Qt key codes to Win32 virtual keys.
#include "platform/rtl/wintypes.h"

namespace pw::gui::qt {
// 0 when the key has no virtual key.
BYTE VirtualKeyFromQt(int qtKey, bool keypad);
} // namespace pw::gui::qt
