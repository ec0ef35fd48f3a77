#include "platform/vcl/shortcut.h"

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
