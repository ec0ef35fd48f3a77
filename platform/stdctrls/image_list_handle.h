#pragma once
// A window-class image list holding copies of a class-library image list's pictures and masks.
#include "platform/commctrl/common_controls.h"

class TCustomImageList;

namespace pw::stdctrls {
// Null for no list or an empty one; the caller destroys what it gets.
HIMAGELIST MakeImageListHandle(TCustomImageList* Images);
} // namespace pw::stdctrls
