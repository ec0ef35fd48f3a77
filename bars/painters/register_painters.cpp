// Each style's painter, registered for the managers to find.
#include "bars/painters/flat_painter.h"
#include "bars/painters/office11_painter.h"
#include "bars/painters/standard_painter.h"
#include "bars/painters/xp_painter.h"

namespace bars {

void RegisterBarPainters() {
    RegisterPainter(bmsStandard, &StandardBarPainter());
    RegisterPainter(bmsEnhanced, &EnhancedBarPainter());
    RegisterPainter(bmsFlat, &FlatBarPainter());
    // The manager resolves the look-and-feel style to one of the others before it asks.
    RegisterPainter(bmsUseLookAndFeel, &BaseBarPainter());
    // Taken only while visual styles are usable; the enhanced painter stands in otherwise.
    RegisterPainter(bmsXP, &XPBarPainter());
    RegisterPainter(bmsOffice11, &Office11BarPainter());
}

} // namespace bars
