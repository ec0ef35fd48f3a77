#include "platform/rtl/unicode.h"

namespace {
constexpr char32_t Replacement = 0xFFFD;

// Decodes one code point at text[i]; advances i past the maximal subpart on error.
char32_t DecodeUtf8(std::string_view text, size_t& i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b0 = byte(i++);
    if (b0 < 0x80) return b0;
    int need;
    char32_t cp;
    unsigned char lo = 0x80, hi = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        need = 1;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        need = 2;
        cp = b0 & 0x0F;
        if (b0 == 0xE0) lo = 0xA0;
        if (b0 == 0xED) hi = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        need = 3;
        cp = b0 & 0x07;
        if (b0 == 0xF0) lo = 0x90;
        if (b0 == 0xF4) hi = 0x8F;
    } else {
        return Replacement;
    }
    for (int k = 0; k < need; ++k) {
        if (i >= text.size()) return Replacement;
        const unsigned char b = byte(i);
        if (b < lo || b > hi) return Replacement;
        lo = 0x80;
        hi = 0xBF;
        cp = (cp << 6) | (b & 0x3F);
        ++i;
    }
    return cp;
}
} // namespace

size_t Utf8SequenceAt(std::string_view text, size_t i, char32_t& codePoint) {
    if (i >= text.size()) return 0;
    size_t end = i;
    codePoint = DecodeUtf8(text, end);
    if (codePoint == Replacement && text.substr(i, end - i) != "\xEF\xBF\xBD") return 0;
    return end - i;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = Replacement;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        // Paths and addresses are mostly ASCII: a run of it is widened in one go (a memo measures each of
        // its lines so).
        size_t run = i;
        while (run < text.size() && static_cast<unsigned char>(text[run]) < 0x80)
            ++run;
        if (run != i) {
            const size_t at = out.size();
            out.resize(at + (run - i));
            for (size_t k = i; k < run; ++k)
                out[at + (k - i)] = static_cast<char16_t>(static_cast<unsigned char>(text[k]));
            i = run;
            continue;
        }
        const char32_t cp = DecodeUtf8(text, i);
        if (cp >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        // Addresses and titles are mostly ASCII: a run of it is copied in one go, not a byte at a time.
        size_t run = i;
        while (run < text.size() && text[run] < 0x80)
            ++run;
        if (run != i) {
            const size_t at = out.size();
            out.resize(at + (run - i));
            for (size_t k = i; k < run; ++k)
                out[at + (k - i)] = static_cast<char>(text[k]);
            if (run == text.size()) break;
            i = run;
        }
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        AppendUtf8(out, cp);
    }
    return out;
}
