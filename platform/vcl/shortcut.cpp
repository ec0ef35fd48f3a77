#include "platform/vcl/shortcut.h"

#include <utility>

#include "platform/gui/keys.h"
#include "platform/rtl/strings.h"

namespace {

std::string KeyName(WORD Key) {
    if ((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9'))
        return std::string(1, static_cast<char>(Key));
    if (Key >= VK_F1 && Key <= VK_F24) return "F" + std::to_string(Key - VK_F1 + 1);
    if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD0 + 9) return "Num " + std::to_string(Key - VK_NUMPAD0);
    switch (Key) {
    case VK_BACK:
        return "BkSp";
    case VK_TAB:
        return "Tab";
    case VK_RETURN:
        return "Enter";
    case VK_ESCAPE:
        return "Esc";
    case VK_SPACE:
        return "Space";
    case VK_PRIOR:
        return "PgUp";
    case VK_NEXT:
        return "PgDn";
    case VK_END:
        return "End";
    case VK_HOME:
        return "Home";
    case VK_LEFT:
        return "Left";
    case VK_UP:
        return "Up";
    case VK_RIGHT:
        return "Right";
    case VK_DOWN:
        return "Down";
    case VK_INSERT:
        return "Ins";
    case VK_DELETE:
        return "Del";
    default:
        break;
    }
    // Punctuation keys show their unshifted character.
    const UINT ch = MapVirtualKey(Key, MAPVK_VK_TO_CHAR);
    return ch > ' ' && ch < 0x7F ? std::string(1, static_cast<char>(ch)) : std::string();
}

} // namespace

TShortCut ShortCut(WORD Key, TShiftState Shift) {
    if ((Key & 0xFF00) != 0) return scNone;
    TShortCut result = Key;
    if (Shift.Contains(ssShift)) result |= scShift;
    if (Shift.Contains(ssCtrl)) result |= scCtrl;
    if (Shift.Contains(ssAlt)) result |= scAlt;
    return result;
}

void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift) {
    Key = ShortCut & 0xFF;
    Shift = TShiftState();
    if ((ShortCut & scShift) != 0) Shift.Include(ssShift);
    if ((ShortCut & scCtrl) != 0) Shift.Include(ssCtrl);
    if ((ShortCut & scAlt) != 0) Shift.Include(ssAlt);
}

std::string ShortCutToText(TShortCut ShortCut) {
    const std::string name = KeyName(ShortCut & 0xFF);
    if (name.empty()) return {};
    std::string text;
    if ((ShortCut & scShift) != 0) text += "Shift+";
    if ((ShortCut & scCtrl) != 0) text += "Ctrl+";
    if ((ShortCut & scAlt) != 0) text += "Alt+";
    return text + name;
}

TShortCut TextToShortCut(const std::string& Text) {
    static const std::pair<const char*, TShortCut> kModifiers[] = {
        {"shift+", scShift}, {"ctrl+", scCtrl}, {"alt+", scAlt}};
    std::string rest = Text;
    TShortCut modifiers = 0;
    for (bool found = true; found && !rest.empty();) {
        found = false;
        for (const auto& [prefix, bit] : kModifiers) {
            const std::string p = prefix;
            if (rest.size() > p.size() && SameText(rest.substr(0, p.size()), p)) {
                modifiers |= bit;
                rest.erase(0, p.size());
                found = true;
            }
        }
    }
    if (rest.empty()) return scNone;
    for (int key = 1; key < 256; ++key)
        if (const std::string name = KeyName(static_cast<WORD>(key)); !name.empty() && SameText(name, rest))
            return static_cast<TShortCut>(modifiers | key);
    return scNone;
}
