#include "platform/rtl/colors.h"

#include "platform/rtl/strings.h"

#include <array>

namespace {

struct ColorName {
    TColor value;
    const char* name;
};

// First match wins when writing, so aliases (clLtGray, clDkGray) are left out.
constexpr std::array<ColorName, 45> colorNames{{
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
}};

constexpr std::array<ColorName, 2> specialNames{{{clNone, "clNone"}, {clDefault, "clDefault"}}};

} // namespace

bool ColorToIdent(TColor color, std::string& ident) {
    for (const auto& entry : colorNames)
        if (entry.value == color) {
            ident = entry.name;
            return true;
        }
    for (const auto& entry : specialNames)
        if (entry.value == color) {
            ident = entry.name;
            return true;
        }
    return false;
}

bool IdentToColor(std::string_view ident, TColor& color) {
    for (const auto& entry : colorNames)
        if (SameText(ident, entry.name)) {
            color = entry.value;
            return true;
        }
    for (const auto& entry : specialNames)
        if (SameText(ident, entry.name)) {
            color = entry.value;
            return true;
        }
    return false;
}

std::string ColorToString(TColor color) {
    std::string ident;
    if (ColorToIdent(color, ident)) return ident;
    return "$" + IntToHex(static_cast<uint32_t>(color), 8);
}

TColor StringToColor(std::string_view text) {
    TColor color = 0;
    if (IdentToColor(text, color)) return color;
    return static_cast<TColor>(static_cast<uint32_t>(StrToInt64(text)));
}
