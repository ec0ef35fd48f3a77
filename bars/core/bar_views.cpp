#include "bars/core/bar_views.h"

#include "bars/core/bar_manager.h"

namespace bars {

int Painter::CalcButtonArrowWidth(const TdxBarManager* Manager) const {
    int width = Manager->ButtonArrowWidth();
    if (Manager->LargeIcons()) width *= 2;
    return width % 2 == 0 ? width + 1 : width;
}

} // namespace bars
