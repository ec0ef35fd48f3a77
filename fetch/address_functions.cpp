#include "fetch/address_functions.h"

#include "fetch/html/uri.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/unicode.h"

namespace {

std::string asciiLower(const std::u16string& s) {
    return LowerCase(Utf16ToUtf8(s));
}

// The port an address reaches: its own, else its scheme's default; leading zeros do not count.
std::string effectivePort(const TDIUri& uri) {
    if (!uri.HasHost()) return {};
    std::string port = Utf16ToUtf8(uri.Port());
    if (port.empty()) {
        const std::string scheme = asciiLower(uri.Scheme());
        if (scheme == "http") return "80";
        if (scheme == "https") return "443";
        return {};
    }
    const size_t digit = port.find_first_not_of('0');
    return digit == std::string::npos ? "0" : port.substr(digit);
}

} // namespace

bool SameHost(const std::string& URL1, const std::string& URL2) {
    TDIUri a, b;
    const bool parsedA = a.Parse(Utf8ToUtf16(URL1));
    const bool parsedB = b.Parse(Utf8ToUtf16(URL2));
    const std::string hostA = parsedA ? asciiLower(a.Host()) : std::string();
    const std::string hostB = parsedB ? asciiLower(b.Host()) : std::string();
    const std::string portA = parsedA ? effectivePort(a) : std::string();
    const std::string portB = parsedB ? effectivePort(b) : std::string();
    return hostA == hostB && portA == portB;
}

std::string StripQueryAndFragment(const std::string& URL) {
    TDIUri uri;
    if (!uri.Parse(Utf8ToUtf16(URL))) return {};
    uri.ClearQuery();
    uri.ClearFragment();
    std::u16string out;
    uri.Compose(out);
    return Utf16ToUtf8(out);
}

bool IsFileTypeInList(std::string_view FileName, std::string_view FileTypes) {
    const size_t slash = FileName.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? FileName : FileName.substr(slash + 1);
    const size_t dot = name.rfind('.');
    const std::string extension = dot == std::string_view::npos ? std::string() : LowerCase(name.substr(dot));
    return LowerCase(FileTypes).find("*" + extension + ";") != std::string::npos;
}
