#pragma once
// String helpers of the application. Positions count from 1; 0 means "not found".
#include <string>
#include <string_view>

// How many times Sub occurs in S without overlapping; 0 for an empty Sub.
int CountOccurrences(std::string_view S, std::string_view Sub);
// The text from the end of the first StartTag up to the first EndTag; empty when either is missing or
// EndTag begins before StartTag ends. IgnoreCase folds ASCII letters.
void TextBetween(std::string_view S, std::string_view StartTag, std::string_view EndTag, std::string& Result,
                 bool IgnoreCase);
// The position of Sub within the part of S that starts at From, counted from that part's start.
int PosFrom(std::string_view S, std::string_view Sub, int From);
// Characters Start .. Start+Count-1; a Start beyond the end counts as 1; empty when the range does not
// fit, Start < 1 or Count < 0.
void SubStr(std::string_view S, int Start, int Count, std::string& Result);
void TrimAtNul(std::string& S);
// The first N characters (all of S when N reaches its length), cut at the first NUL.
void StrLeft(std::string_view S, int N, std::string& Result);
// Percent-encodes every byte outside the address-safe set; a blank becomes "+".
std::string UrlEncode(std::string_view S);
// Text safe inside XML character data and quoted attribute values.
std::string XmlEscape(std::string_view S);
// UrlEncode, then XmlEscape.
void UrlEncodeXml(std::string_view S, std::string& Result);
