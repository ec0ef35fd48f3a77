#include "fetch/html/read_methods.h"

#include <algorithm>
#include <array>

#include "fetch/html/code_page_tables.h"

const TDIReadMethod ReadCharLatin1{TDIDecoderKind::Latin1, nullptr, "ISO-8859-1", true};
const TDIReadMethod ReadCharUsAscii{TDIDecoderKind::UsAscii, nullptr, "US-ASCII", true};
const TDIReadMethod ReadCharUtf8{TDIDecoderKind::Utf8, nullptr, "UTF-8", true};
const TDIReadMethod ReadCharUtf16BE{TDIDecoderKind::Utf16BE, nullptr, "UTF-16BE", false};
const TDIReadMethod ReadCharUtf16LE{TDIDecoderKind::Utf16LE, nullptr, "UTF-16LE", false};
const TDIReadMethod ReadCharGb18030{TDIDecoderKind::Gb18030, nullptr, "GB18030", true};

namespace {

constexpr size_t kMaxPages = 64;

struct PageMethods {
    std::array<TDIReadMethod, kMaxPages> methods{};
    size_t count = 0;
};

const PageMethods& Pages() {
    static const PageMethods pages = [] {
        PageMethods p;
        p.count = std::min(html_tables::kCodePageCount, kMaxPages);
        for (size_t i = 0; i < p.count; ++i) {
            const auto& t = html_tables::kCodePages[i];
            bool ascii = true;
            for (char16_t b = 0; b < 0x80; ++b)
                ascii = ascii && t.units[b] == b;
            p.methods[i] = TDIReadMethod{TDIDecoderKind::Table, t.units, t.name, ascii};
        }
        return p;
    }();
    return pages;
}

} // namespace

const TDIReadMethod* CodePageReadMethod(std::string_view name) {
    const PageMethods& pages = Pages();
    for (size_t i = 0; i < pages.count; ++i)
        if (name == pages.methods[i].name) return &pages.methods[i];
    return nullptr;
}

char16_t Gb18030FourByte(uint32_t linear) {
    const auto* first = html_tables::kGb18030FourByte;
    const auto* last = first + html_tables::kGb18030FourByteCount;
    const auto* it = std::upper_bound(
        first, last, linear, [](uint32_t v, const html_tables::Gb18030Run& r) { return v < r.linear; });
    if (it == first) return 0xFFFD;
    --it;
    if (linear - it->linear >= it->length) return 0xFFFD;
    return static_cast<char16_t>(it->first + (linear - it->linear));
}
