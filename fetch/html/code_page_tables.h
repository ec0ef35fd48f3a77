#pragma once
// Decoding tables: 37 single-byte code pages and GB18030 (2005 edition, BMP part).
#include <cstddef>
#include <cstdint>

namespace html_tables {

struct CodePageTable {
    const char* name;
    const char16_t* units; // 256 entries; U+FFFD where the page defines nothing
};

// A run of four-byte GB18030 codes whose linear values map to consecutive code points.
struct Gb18030Run {
    uint32_t linear;
    char16_t first;
    uint16_t length;
};

extern const CodePageTable kCodePages[];
extern const size_t kCodePageCount;
extern const char16_t kGb18030TwoByte[23940];
extern const Gb18030Run kGb18030FourByte[];
extern const size_t kGb18030FourByteCount;

} // namespace html_tables
