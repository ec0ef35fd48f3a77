#include "fetch/html/fuzz/fuzz_entries.h"

#include <string>

#include "fetch/html/uri.h"

namespace html_fuzz {

namespace {

std::u16string Units(const uint8_t* data, size_t size)
{
    std::u16string s;
    s.reserve(size);
    for (size_t i = 0; i < size; ++i)
        s.push_back(data[i] == 0xFF ? char16_t(0xD800) : char16_t(data[i]));
    return s;
}

} // namespace

// The first 0x00 byte splits the input into a base and a reference.
void UriInput(const uint8_t* data, size_t size)
{
    std::u16string text = Units(data, size);
    size_t cut = text.find(u'\0');
    std::u16string base = cut == std::u16string::npos ? text : text.substr(0, cut);
    std::u16string ref = cut == std::u16string::npos ? std::u16string() : text.substr(cut + 1);
    TDIUri u;
    if (u.Parse(base)) {
        std::u16string composed;
        u.Compose(composed);
        TDIUri again;
        if (!again.Parse(composed))
            __builtin_trap();
    }
    std::u16string out;
    Resolve(base, ref, out);
    RemoveDotSegments(ref);
}

} // namespace html_fuzz
