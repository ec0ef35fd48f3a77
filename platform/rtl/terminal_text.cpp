#include "platform/rtl/terminal_text.h"

#include <cstdint>

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void AppendHexEscape(std::string& out, uint8_t byte) {
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
}

// Length of the valid UTF-8 sequence of two or more bytes at text[i], or 0.
size_t SequenceLength(std::string_view text, size_t i, uint32_t& codePoint) {
    const auto lead = static_cast<uint8_t>(text[i]);
    size_t n;
    if (lead >= 0xC2 && lead <= 0xDF)
        n = 2, codePoint = lead & 0x1F;
    else if (lead >= 0xE0 && lead <= 0xEF)
        n = 3, codePoint = lead & 0x0F;
    else if (lead >= 0xF0 && lead <= 0xF4)
        n = 4, codePoint = lead & 0x07;
    else
        return 0;
    if (i + n > text.size()) return 0;
    for (size_t k = 1; k < n; ++k) {
        const auto b = static_cast<uint8_t>(text[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (b & 0x3F);
    }
    const bool overlong = (n == 3 && codePoint < 0x800) || (n == 4 && codePoint < 0x10000);
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    return overlong || surrogate || codePoint > 0x10FFFF ? 0 : n;
}

} // namespace

std::string EscapeControlCharacters(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<uint8_t>(text[i]);
        if (byte >= 0x20 && byte < 0x7F) {
            out += static_cast<char>(byte);
        } else if (byte == '\n') {
            out += "\\n";
        } else if (byte == '\r') {
            out += "\\r";
        } else if (byte == '\t') {
            out += "\\t";
        } else if (byte < 0x80) {
            AppendHexEscape(out, byte);
        } else {
            uint32_t codePoint = 0;
            const size_t n = SequenceLength(text, i, codePoint);
            if (n == 0) {
                AppendHexEscape(out, byte);
            } else if (codePoint <= 0x9F) {
                out += "\\u00";
                out += kHex[codePoint >> 4];
                out += kHex[codePoint & 0x0F];
                i += n - 1;
            } else {
                out.append(text.substr(i, n));
                i += n - 1;
            }
        }
    }
    return out;
}
