#pragma once
// UTF-8 is the 8-bit code page of the whole program; the HTML library works on UTF-16.
// Malformed input never fails: each maximal ill-formed subsequence of UTF-8, and each lone
// surrogate of UTF-16, becomes U+FFFD.
#include <string>
#include <string_view>

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// Appends one code point as UTF-8 (surrogates and values past U+10FFFF become U+FFFD).
void AppendUtf8(std::string& out, char32_t codePoint);

// The length of the well-formed UTF-8 sequence at text[i] (1 for ASCII), with its code point; 0 when
// the bytes there are no well-formed sequence (a stray, overlong, surrogate or cut one).
size_t Utf8SequenceAt(std::string_view text, size_t i, char32_t& codePoint);
