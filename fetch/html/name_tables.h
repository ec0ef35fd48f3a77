#pragma once
// The shared tables of tag names, attribute names and entity names, built on first use.
#include <cstddef>
#include <cstdint>
#include <string>

class TDICardinalHash;
class TDIWideStringHash;

// Tag and attribute names match in any letter case; 0 when unknown.
uint32_t HtmlTagId(const char16_t* name, size_t length);
uint32_t HtmlAttributeId(const char16_t* name, size_t length);
// The character of a named entity (exact case), or 0 when unknown.
char16_t HtmlEntityChar(const char16_t* name, size_t length);

TDICardinalHash& HtmlTagNameTable();
TDICardinalHash& HtmlAttributeNameTable();
TDIWideStringHash& HtmlEntityNameTable();
// Character to entity name, for writing HTML.
TDIWideStringHash& HtmlCharEntityTable();

namespace html_id {
inline constexpr uint32_t A = 1, APPLET = 5, AREA = 6, BASE = 8, BGSOUND = 11, BODY = 14, BR = 15, FRAME = 41,
                          IFRAME = 55, IMG = 56, INPUT = 58, LINK = 65, META = 68, OBJECT = 71, PRE = 77,
                          SCRIPT = 82, STYLE = 89, TABLE = 92, TD = 94, TH = 97, TITLE = 99;
}
namespace html_attr {
inline constexpr uint32_t background = 11, charset = 19, code = 26, content = 33, data = 35, href = 52,
                          http_equiv = 55, rel = 96, src = 109;
}
