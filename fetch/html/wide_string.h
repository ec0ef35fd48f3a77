#pragma once
// Operations on UTF-16 text for the HTML library. Positions are 1-based; 0 means "not found".
#include <cstddef>
#include <cstdint>
#include <string>

using TWideCharPredicate = bool (*)(char16_t);

char16_t WideCharFold(char16_t c);

bool SameWideStr(const std::u16string& a, const std::u16string& b);
bool SameWideStrI(const std::u16string& a, const std::u16string& b);
bool SameWideBuf(const char16_t* buf, size_t len, const std::u16string& s);
bool SameWideBufI(const char16_t* buf, size_t len, const std::u16string& s);

size_t PosChar(const std::u16string& s, char16_t ch, size_t start);
size_t LastPosChar(const std::u16string& s, char16_t ch, size_t start);
size_t PosWideStr(const std::u16string& sub, const std::u16string& s, size_t start);
size_t PosWideStrI(const std::u16string& sub, const std::u16string& s, size_t start);

bool AnyCharFrom(const std::u16string& s, TWideCharPredicate pred, size_t start);
bool AllCharsFrom(const std::u16string& s, TWideCharPredicate pred, size_t start);
size_t PosNotMatching(const std::u16string& s, TWideCharPredicate pred, size_t start);

// A growing buffer is (s, len): s.size() is the capacity, len the units in use.
void AppendWideBuf(const char16_t* buf, size_t count, std::u16string& s, size_t& len);
void AppendWideStr(const std::u16string& src, std::u16string& s, size_t& len);
size_t AppendWideChar(char16_t ch, std::u16string& s, size_t& len);

uint32_t HashBuf(const void* data, size_t byteCount, uint32_t initVal);
uint32_t HashWideStr(const std::u16string& s, uint32_t initVal);
uint32_t HashWideBufI(const char16_t* buf, size_t count, uint32_t initVal);
uint32_t HashWideStrI(const std::u16string& s, uint32_t initVal);

inline bool IsWhiteSpace(char16_t c) {
    return c < 33;
}
inline bool IsSpaceOrGreater(char16_t c) {
    return c < 33 || c == u'>';
}
inline bool IsSpaceDashOrGreater(char16_t c) {
    return c < 33 || c == u'-' || c == u'>';
}
inline bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}
inline bool IsHexDigit(char16_t c) {
    return IsDigit(c) || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}
