// Each style's painter, for the managers to find.
#include "bars/painters/flat_painter.h"
#include "bars/painters/office11_painter.h"
#include "bars/painters/standard_painter.h"
#include "bars/painters/xp_painter.h"

namespace bars {

const Painter* StylePainter(TdxBarManagerStyle Style) {
    switch (Style) {
    case bmsStandard:
        return &StandardBarPainter();
    case bmsEnhanced:
        return &EnhancedBarPainter();
    case bmsFlat:
        return &FlatBarPainter();
    // The manager resolves the look-and-feel style to one of the others before it asks.
    case bmsUseLookAndFeel:
        return &BaseBarPainter();
    // Taken only while visual styles are usable; the enhanced painter stands in otherwise.
    case bmsXP:
        return &XPBarPainter();
    case bmsOffice11:
        return &Office11BarPainter();
    }
    return nullptr;
}

} // namespace bars
