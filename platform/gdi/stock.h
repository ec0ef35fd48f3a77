#pragma once
// Stock objects and system-colour brushes as the GDI resolves them internally.
#include <memory>

#include "platform/gdi/objects.h"

namespace pw::gdi {

std::shared_ptr<BitmapObject> DefaultBitmap(HBITMAP* handle);
// A brush handle, a system-colour pseudo-handle (COLOR_xxx + 1), or null when neither.
std::shared_ptr<BrushObject> ResolveBrush(HBRUSH brush);

} // namespace pw::gdi
