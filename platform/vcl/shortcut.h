#pragma once
// Keyboard shortcuts as menus and actions keep them: a key code in the low byte and the Shift, Ctrl
// and Alt states in the high bits.
#include <cstdint>
#include <string>

#include "platform/rtl/wintypes.h"
#include "platform/vcl/control_types.h"

using TShortCut = uint16_t;
inline constexpr TShortCut scNone = 0;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;

// 0 when Key does not fit the low byte.
TShortCut ShortCut(WORD Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift);
// The shortcut as menus show it: "Shift+", "Ctrl+" and "Alt+" in that order before the key's name
// ("Ctrl+O", "F3", "Shift+Del"); empty for none or a key without a name.
std::string ShortCutToText(TShortCut ShortCut);
// The shortcut a text such as "Ctrl+Shift+S" or "Alt+F4" names (modifiers in any order, letter case
// ignored); scNone for text that names no key.
TShortCut TextToShortCut(const std::string& Text);
