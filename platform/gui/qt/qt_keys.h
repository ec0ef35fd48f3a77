#pragma once
// Qt key codes to Win32 virtual keys and back, and keys handed to the toolkit as the keyboard hands them.
#include "platform/rtl/wintypes.h"

namespace pw::gui {
struct KeyInput;
} // namespace pw::gui

namespace pw::gui::qt {
// 0 when the key has no virtual key.
BYTE VirtualKeyFromQt(int qtKey, bool keypad);
// The Qt key that VirtualKeyFromQt maps to vk (with the keypad flag it needs); 0 for none.
int QtKeyFromVirtualKey(BYTE vk, bool shift, bool& keypad);
// Sends the key as a key event of the toolkit to the window that has the keyboard, whose handler
// takes it as it takes one from the keyboard. False when there is no such window or the key has no
// Qt key that comes back as the same virtual key.
bool SendKeyEvent(const KeyInput& input);
} // namespace pw::gui::qt
