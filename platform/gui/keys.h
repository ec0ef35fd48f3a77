#pragma once
// Win32 virtual-key codes and the mapping between them and characters (US layout).
#include "platform/rtl/wintypes.h"

inline constexpr BYTE VK_LBUTTON = 0x01;
inline constexpr BYTE VK_RBUTTON = 0x02;
inline constexpr BYTE VK_CANCEL = 0x03;
inline constexpr BYTE VK_MBUTTON = 0x04;
inline constexpr BYTE VK_BACK = 0x08;
inline constexpr BYTE VK_TAB = 0x09;
inline constexpr BYTE VK_CLEAR = 0x0C;
inline constexpr BYTE VK_RETURN = 0x0D;
inline constexpr BYTE VK_SHIFT = 0x10;
inline constexpr BYTE VK_CONTROL = 0x11;
inline constexpr BYTE VK_MENU = 0x12;
inline constexpr BYTE VK_PAUSE = 0x13;
inline constexpr BYTE VK_CAPITAL = 0x14;
inline constexpr BYTE VK_ESCAPE = 0x1B;
inline constexpr BYTE VK_SPACE = 0x20;
inline constexpr BYTE VK_PRIOR = 0x21;
inline constexpr BYTE VK_NEXT = 0x22;
inline constexpr BYTE VK_END = 0x23;
inline constexpr BYTE VK_HOME = 0x24;
inline constexpr BYTE VK_LEFT = 0x25;
inline constexpr BYTE VK_UP = 0x26;
inline constexpr BYTE VK_RIGHT = 0x27;
inline constexpr BYTE VK_DOWN = 0x28;
inline constexpr BYTE VK_SNAPSHOT = 0x2C;
inline constexpr BYTE VK_INSERT = 0x2D;
inline constexpr BYTE VK_DELETE = 0x2E;
inline constexpr BYTE VK_HELP = 0x2F;
inline constexpr BYTE VK_LWIN = 0x5B;
inline constexpr BYTE VK_RWIN = 0x5C;
inline constexpr BYTE VK_APPS = 0x5D;
inline constexpr BYTE VK_NUMPAD0 = 0x60;
inline constexpr BYTE VK_MULTIPLY = 0x6A;
inline constexpr BYTE VK_ADD = 0x6B;
inline constexpr BYTE VK_SEPARATOR = 0x6C;
inline constexpr BYTE VK_SUBTRACT = 0x6D;
inline constexpr BYTE VK_DECIMAL = 0x6E;
inline constexpr BYTE VK_DIVIDE = 0x6F;
inline constexpr BYTE VK_F1 = 0x70;
inline constexpr BYTE VK_F2 = 0x71;
inline constexpr BYTE VK_F4 = 0x73;
inline constexpr BYTE VK_F10 = 0x79;
inline constexpr BYTE VK_F24 = 0x87;
inline constexpr BYTE VK_NUMLOCK = 0x90;
inline constexpr BYTE VK_SCROLL = 0x91;
inline constexpr BYTE VK_LSHIFT = 0xA0;
inline constexpr BYTE VK_RSHIFT = 0xA1;
inline constexpr BYTE VK_LCONTROL = 0xA2;
inline constexpr BYTE VK_RCONTROL = 0xA3;
inline constexpr BYTE VK_LMENU = 0xA4;
inline constexpr BYTE VK_RMENU = 0xA5;
inline constexpr BYTE VK_OEM_1 = 0xBA;      // ;:
inline constexpr BYTE VK_OEM_PLUS = 0xBB;   // =+
inline constexpr BYTE VK_OEM_COMMA = 0xBC;  // ,<
inline constexpr BYTE VK_OEM_MINUS = 0xBD;  // -_
inline constexpr BYTE VK_OEM_PERIOD = 0xBE; // .>
inline constexpr BYTE VK_OEM_2 = 0xBF;      // /?
inline constexpr BYTE VK_OEM_3 = 0xC0;      // `~
inline constexpr BYTE VK_OEM_4 = 0xDB;      // [{
inline constexpr BYTE VK_OEM_5 = 0xDC;      // \|
inline constexpr BYTE VK_OEM_6 = 0xDD;      // ]}
inline constexpr BYTE VK_OEM_7 = 0xDE;      // '"
inline constexpr BYTE VK_PROCESSKEY = 0xE5;

inline constexpr UINT MAPVK_VK_TO_VSC = 0;
inline constexpr UINT MAPVK_VSC_TO_VK = 1;
inline constexpr UINT MAPVK_VK_TO_CHAR = 2;

// Low byte: the key; high byte: 1 Shift, 2 Ctrl, 4 Alt. -1 when no key types the character.
int16_t VkKeyScan(char ch);
// MAPVK_VK_TO_CHAR gives the unshifted character (upper-case for letters), 0 when none.
UINT MapVirtualKey(UINT code, UINT mapType);
// The character a key types on a US layout with the given Shift state, 0 when none.
char32_t CharFromVirtualKey(BYTE vk, bool shift);
