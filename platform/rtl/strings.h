#pragma once
// String helpers of the class library on UTF-8 std::string. Letter-case folding is ASCII only.
#include <cstdint>
#include <string>
#include <string_view>

std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
// <0, 0, >0 comparing without regard to ASCII letter case.
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
int CompareStr(std::string_view a, std::string_view b);

// Trims characters up to and including the space (control characters too), as the class library does.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

// 1-based position of sub in s, 0 when absent (the class library counts from 1).
int Pos(std::string_view sub, std::string_view s);

enum TReplaceFlag : unsigned { rfReplaceAll = 1, rfIgnoreCase = 2 };
std::string StringReplace(std::string_view s, std::string_view oldPattern, std::string_view newPattern,
                          unsigned flags);

std::string IntToStr(int64_t value);
std::string IntToHex(uint64_t value, int digits);
// Decimal or "$"/"0x" hexadecimal, optional sign, surrounding blanks allowed; EConvertError otherwise.
int StrToInt(std::string_view s);
int StrToIntDef(std::string_view s, int defaultValue);
bool TryStrToInt(std::string_view s, int& value);
int64_t StrToInt64(std::string_view s);
int64_t StrToInt64Def(std::string_view s, int64_t defaultValue);

// General format with 15 significant digits and '.' whatever the locale ("0.5", "1E20", "0").
std::string FloatToStr(double value);
// '.' as the decimal separator; EConvertError when s is not a number.
double StrToFloat(std::string_view s);
bool TryStrToFloat(std::string_view s, double& value);
