#pragma once
// The named character references of HTML 4.01 (plus apos), and the name-character classes.
#include <cstdint>

struct THtmlEntity {
    const char16_t* Name;
    uint32_t CodePoint;
};

extern const THtmlEntity HtmlLat1Entities[96];
extern const THtmlEntity HtmlSpecialEntities[33];
extern const THtmlEntity HtmlSymbolEntities[124];

constexpr bool IsAsciiLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}
constexpr bool IsNameChar(char16_t c) {
    return IsAsciiLetter(c) || (c >= u'0' && c <= u':') || c == u'-' || c == u'.' || c == u'_';
}
