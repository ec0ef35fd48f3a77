#include "platform/rtl/terminal_text.h"

#include "platform/rtl/unicode.h"

#include <cstdint>

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void AppendHexEscape(std::string& out, uint8_t byte) {
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
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
            char32_t codePoint = 0;
            const size_t n = Utf8SequenceAt(text, i, codePoint);
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
