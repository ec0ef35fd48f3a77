#pragma once
// The list a combo item drops down: an owner-drawn list box standing alone on the desktop above every
// window, bordered by the manager's painter. It never takes the focus (the combo's edit keeps it) and
// draws as focused all the same; the pointer moving over it picks the entry under it, a click takes
// that entry into the combo.
#include <memory>

#include "bars/core/bar_combo.h"

namespace bars {

std::unique_ptr<TdxBarComboListBox> CreateDropDownList(TdxBarCustomCombo* Combo);

// The window of the combo list shown now, nullptr when none is: a click on it is no click outside the
// bar that is being edited.
HWND ShownDropDownList();

} // namespace bars
