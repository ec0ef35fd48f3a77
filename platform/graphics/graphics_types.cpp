#include "platform/graphics/graphics_types.h"

#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/syscolors.h"

COLORREF ColorToRGB(TColor color) {
    if (color < 0) return GetSysColor(color & 0xFF);
    return static_cast<COLORREF>(color);
}

UINT TextFormatFlags(TTextFormat format) {
    static constexpr struct {
        TTextFormats item;
        UINT flag;
    } kFlags[] = {
        {tfBottom, DT_BOTTOM},
        {tfCalcRect, DT_CALCRECT},
        {tfCenter, DT_CENTER},
        {tfEditControl, DT_EDITCONTROL},
        {tfEndEllipsis, DT_END_ELLIPSIS},
        {tfPathEllipsis, DT_PATH_ELLIPSIS},
        {tfExpandTabs, DT_EXPANDTABS},
        {tfExternalLeading, DT_EXTERNALLEADING},
        {tfLeft, DT_LEFT},
        {tfModifyString, DT_MODIFYSTRING},
        {tfNoClip, DT_NOCLIP},
        {tfNoPrefix, DT_NOPREFIX},
        {tfRight, DT_RIGHT},
        {tfRtlReading, DT_RTLREADING},
        {tfSingleLine, DT_SINGLELINE},
        {tfTop, DT_TOP},
        {tfVerticalCenter, DT_VCENTER},
        {tfWordBreak, DT_WORDBREAK},
        {tfHidePrefix, DT_HIDEPREFIX},
        {tfNoFullWidthCharBreak, DT_NOFULLWIDTHCHARBREAK},
        {tfPrefixOnly, DT_PREFIXONLY},
        {tfTabStop, DT_TABSTOP},
        {tfWordEllipsis, DT_WORD_ELLIPSIS},
    };
    UINT flags = 0;
    for (const auto& f : kFlags)
        if (format.Contains(f.item)) flags |= f.flag;
    return flags;
}
