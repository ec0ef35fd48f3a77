#pragma once
// The decoders of the Unicode reader: one per supported character encoding.
#include <cstdint>
#include <string_view>

enum class TDIDecoderKind : uint8_t { Latin1, UsAscii, Table, Utf8, Utf16BE, Utf16LE, Gb18030 };

struct TDIReadMethod {
    TDIDecoderKind kind;
    const char16_t* table; // 256 units for Table decoders
    const char* name;
    // Bytes below 0x80 stand for themselves (the reader's fast path).
    bool asciiTransparent;
};

extern const TDIReadMethod ReadCharLatin1;
extern const TDIReadMethod ReadCharUsAscii;
extern const TDIReadMethod ReadCharUtf8;
extern const TDIReadMethod ReadCharUtf16BE;
extern const TDIReadMethod ReadCharUtf16LE;
extern const TDIReadMethod ReadCharGb18030;

// The table decoder of a code page by its name ("windows-1252", "IBM424", "KOI8-U"...), exact
// spelling; null when there is none.
const TDIReadMethod* CodePageReadMethod(std::string_view name);

// The GB18030 mapping of a four-byte code's linear value; U+FFFD past the BMP part.
char16_t Gb18030FourByte(uint32_t linear);
