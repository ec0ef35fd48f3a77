#include "platform/gui/keys.h"

#include <cstring>

namespace {

// Punctuation keys of the US layout: key, unshifted and shifted character.
struct OemKey {
    BYTE vk;
    char plain;
    char shifted;
};
constexpr OemKey kOemKeys[] = {
    {VK_OEM_1, ';', ':'},      {VK_OEM_PLUS, '=', '+'}, {VK_OEM_COMMA, ',', '<'}, {VK_OEM_MINUS, '-', '_'},
    {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},    {VK_OEM_3, '`', '~'},     {VK_OEM_4, '[', '{'},
    {VK_OEM_5, '\\', '|'},     {VK_OEM_6, ']', '}'},    {VK_OEM_7, '\'', '"'},
};
constexpr char kShiftedDigits[] = ")!@#$%^&*(";

// Set-1 scan codes of the keys a keyboard has, by virtual key (0: none).
UINT ScanCode(UINT vk) {
    static const char* const row1 = "QWERTYUIOP";
    static const char* const row2 = "ASDFGHJKL";
    static const char* const row3 = "ZXCVBNM";
    if (vk >= '1' && vk <= '9') return 0x02 + (vk - '1');
    if (vk == '0') return 0x0B;
    if (const char* p = vk < 128 ? std::strchr(row1, static_cast<int>(vk)) : nullptr; p && vk)
        return 0x10 + (p - row1);
    if (const char* p = vk < 128 ? std::strchr(row2, static_cast<int>(vk)) : nullptr; p && vk)
        return 0x1E + (p - row2);
    if (const char* p = vk < 128 ? std::strchr(row3, static_cast<int>(vk)) : nullptr; p && vk)
        return 0x2C + (p - row3);
    if (vk >= VK_F1 && vk <= VK_F1 + 9) return 0x3B + (vk - VK_F1);
    switch (vk) {
    case VK_ESCAPE:
        return 0x01;
    case VK_OEM_MINUS:
        return 0x0C;
    case VK_OEM_PLUS:
        return 0x0D;
    case VK_BACK:
        return 0x0E;
    case VK_TAB:
        return 0x0F;
    case VK_OEM_4:
        return 0x1A;
    case VK_OEM_6:
        return 0x1B;
    case VK_RETURN:
        return 0x1C;
    case VK_CONTROL:
    case VK_LCONTROL:
    case VK_RCONTROL:
        return 0x1D;
    case VK_OEM_1:
        return 0x27;
    case VK_OEM_7:
        return 0x28;
    case VK_OEM_3:
        return 0x29;
    case VK_SHIFT:
    case VK_LSHIFT:
        return 0x2A;
    case VK_OEM_5:
        return 0x2B;
    case VK_OEM_COMMA:
        return 0x33;
    case VK_OEM_PERIOD:
        return 0x34;
    case VK_OEM_2:
        return 0x35;
    case VK_RSHIFT:
        return 0x36;
    case VK_MENU:
    case VK_LMENU:
    case VK_RMENU:
        return 0x38;
    case VK_SPACE:
        return 0x39;
    case VK_CAPITAL:
        return 0x3A;
    case 0x7A:
        return 0x57; // F11
    case 0x7B:
        return 0x58; // F12
    case VK_HOME:
        return 0x47;
    case VK_UP:
        return 0x48;
    case VK_PRIOR:
        return 0x49;
    case VK_LEFT:
        return 0x4B;
    case VK_RIGHT:
        return 0x4D;
    case VK_END:
        return 0x4F;
    case VK_DOWN:
        return 0x50;
    case VK_NEXT:
        return 0x51;
    case VK_INSERT:
        return 0x52;
    case VK_DELETE:
        return 0x53;
    case VK_APPS:
        return 0x5D;
    default:
        return 0;
    }
}

} // namespace

char32_t CharFromVirtualKey(BYTE vk, bool shift) {
    if (vk >= 'A' && vk <= 'Z') return shift ? vk : vk + ('a' - 'A');
    if (vk >= '0' && vk <= '9') return shift ? static_cast<char32_t>(kShiftedDigits[vk - '0']) : vk;
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) return U'0' + (vk - VK_NUMPAD0);
    for (const OemKey& k : kOemKeys)
        if (k.vk == vk) return static_cast<char32_t>(shift ? k.shifted : k.plain);
    switch (vk) {
    case VK_SPACE:
        return U' ';
    case VK_RETURN:
        return U'\r';
    case VK_TAB:
        return U'\t';
    case VK_BACK:
        return 0x08;
    case VK_ESCAPE:
        return 0x1B;
    case VK_MULTIPLY:
        return U'*';
    case VK_ADD:
        return U'+';
    case VK_SUBTRACT:
        return U'-';
    case VK_DECIMAL:
        return U'.';
    case VK_DIVIDE:
        return U'/';
    default:
        return 0;
    }
}

int16_t VkKeyScan(char ch) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 'a' && c <= 'z') return static_cast<int16_t>(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z') return static_cast<int16_t>(0x100 | c);
    if (c >= '0' && c <= '9') return static_cast<int16_t>(c);
    for (int d = 0; d < 10; ++d)
        if (kShiftedDigits[d] == ch) return static_cast<int16_t>(0x100 | ('0' + d));
    for (const OemKey& k : kOemKeys) {
        if (k.plain == ch) return k.vk;
        if (k.shifted == ch) return static_cast<int16_t>(0x100 | k.vk);
    }
    switch (c) {
    case ' ':
        return VK_SPACE;
    case '\r':
        return VK_RETURN;
    case '\t':
        return VK_TAB;
    case 0x08:
        return VK_BACK;
    case 0x1B:
        return VK_ESCAPE;
    default:
        return -1;
    }
}

UINT MapVirtualKey(UINT code, UINT mapType) {
    switch (mapType) {
    case MAPVK_VK_TO_VSC:
        return ScanCode(code);
    case MAPVK_VSC_TO_VK:
        for (UINT vk = 1; vk < 256; ++vk)
            if (vk != VK_LSHIFT && vk != VK_LCONTROL && vk != VK_RCONTROL && vk != VK_LMENU &&
                vk != VK_RMENU && ScanCode(vk) == code && code != 0)
                return vk;
        return 0;
    case MAPVK_VK_TO_CHAR: {
        if (code > 255) return 0;
        char32_t c = CharFromVirtualKey(static_cast<BYTE>(code), false);
        if (c >= U'a' && c <= U'z') c -= U'a' - U'A';
        return c;
    }
    default:
        return 0;
    }
}
