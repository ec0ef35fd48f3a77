#pragma once
// The cursors of customizing: moving an item link, copying it (or dropping a new item), no place to
// drop it, and sizing an edit item. They live in the screen's cursor table while the bar unit runs.
#include "platform/vcl/control_types.h"

inline constexpr TCursor crdxBarDrag = 1041;
inline constexpr TCursor crdxBarDragCopy = 1042;
inline constexpr TCursor crdxBarDragNoDrop = 1043;
inline constexpr TCursor crdxBarEditSizing = 1044;

namespace bars {

// Puts the four cursors into the screen's table, and takes them out again.
void LoadBarCursors();
void FreeBarCursors();

} // namespace bars
