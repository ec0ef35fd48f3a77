#include "platform/rtl/colors.h"

#include "platform/rtl/exception.h"
#include "platform/rtl/strings.h"

#include <gtest/gtest.h>

namespace {

TEST(Colors, NamesMatchTheClassLibraryTable) {
    const std::pair<const char*, uint32_t> table[] = {
        {"clBlack", 0x000000},      {"clMaroon", 0x000080},    {"clGreen", 0x008000}, {"clOlive", 0x008080},
        {"clNavy", 0x800000},       {"clPurple", 0x800080},    {"clTeal", 0x808000},  {"clGray", 0x808080},
        {"clSilver", 0xC0C0C0},     {"clRed", 0x0000FF},       {"clLime", 0x00FF00},  {"clYellow", 0x00FFFF},
        {"clBlue", 0xFF0000},       {"clFuchsia", 0xFF00FF},   {"clAqua", 0xFFFF00},  {"clWhite", 0xFFFFFF},
        {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6},   {"clCream", 0xF0FBFF}, {"clMedGray", 0xA4A0A0},
        {"clNone", 0x1FFFFFFF},     {"clDefault", 0x20000000},
    };
    const char* system[] = {
        "clScrollBar",    "clBackground",     "clActiveCaption", "clInactiveCaption", "clMenu",
        "clWindow",       "clWindowFrame",    "clMenuText",      "clWindowText",      "clCaptionText",
        "clActiveBorder", "clInactiveBorder", "clAppWorkSpace",  "clHighlight",       "clHighlightText",
        "clBtnFace",      "clBtnShadow",      "clGrayText",      "clBtnText",         "clInactiveCaptionText",
        "clBtnHighlight", "cl3DDkShadow",     "cl3DLight",       "clInfoText",        "clInfoBk"};
    std::vector<std::pair<std::string, TColor>> all;
    for (const auto& [name, value] : table)
        all.emplace_back(name, static_cast<TColor>(value));
    for (uint32_t i = 0; i < std::size(system); ++i)
        all.emplace_back(system[i], static_cast<TColor>(0x80000000u + i));

    for (const auto& [name, value] : all) {
        std::string ident;
        ASSERT_TRUE(ColorToIdent(value, ident)) << name;
        EXPECT_EQ(ident, name);
        TColor back = 0;
        ASSERT_TRUE(IdentToColor(UpperCase(name), back)) << name;
        EXPECT_EQ(back, value);
    }
}

TEST(Colors, OtherValuesHaveNoNameAndAliasesWriteTheirMainName) {
    std::string ident = "unchanged";
    EXPECT_FALSE(ColorToIdent(0x123456, ident));
    EXPECT_FALSE(ColorToIdent(static_cast<TColor>(0x80000000u + 25), ident));
    EXPECT_FALSE(ColorToIdent(-1, ident));
    EXPECT_EQ(ident, "unchanged");
    ASSERT_TRUE(ColorToIdent(clLtGray, ident));
    EXPECT_EQ(ident, "clSilver");
    TColor color = 5;
    EXPECT_FALSE(IdentToColor("clLtGray", color));
    EXPECT_FALSE(IdentToColor("", color));
    EXPECT_EQ(color, 5);

    EXPECT_EQ(ColorToString(0x123456), "$00123456");
    EXPECT_EQ(ColorToString(clInfoBk), "clInfoBk");
    EXPECT_EQ(StringToColor("$FF"), clRed);
    EXPECT_EQ(StringToColor("$80000005"), clWindow);
    EXPECT_EQ(StringToColor("clwhite"), clWhite);
    EXPECT_THROW(StringToColor("clMauve"), EConvertError);
}

} // namespace
