#include "platform/vcl/control_types.h"

#include <cctype>

#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/messages.h"

TShiftState KeysToShiftState(WORD Keys) {
    TShiftState s;
    if (Keys & MK_SHIFT) s.Include(ssShift);
    if (Keys & MK_CONTROL) s.Include(ssCtrl);
    if (Keys & MK_LBUTTON) s.Include(ssLeft);
    if (Keys & MK_RBUTTON) s.Include(ssRight);
    if (Keys & MK_MBUTTON) s.Include(ssMiddle);
    if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
    return s;
}

TShiftState KeyDataToShiftState(LPARAM KeyData) {
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
    if (KeyData & (1 << 29)) s.Include(ssAlt);
    return s;
}

bool IsAccel(WORD VK, const std::string& Text) {
    for (size_t i = 0; i + 1 < Text.size(); ++i) {
        if (Text[i] != '&') continue;
        if (Text[i + 1] == '&') {
            ++i;
            continue;
        }
        unsigned char c = static_cast<unsigned char>(Text[i + 1]);
        return VK < 0x80 && std::toupper(c) == std::toupper(static_cast<unsigned char>(VK));
    }
    return false;
}
