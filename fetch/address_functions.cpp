#include "fetch/address_functions.h"

#include "fetch/html/uri.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/unicode.h"

namespace {

std::string AsciiLower(const std::u16string& s) {
    return LowerCase(Utf16ToUtf8(s));
}

// The port an address reaches, empty for its scheme's own (http on 80 and https on 443 being one site);
// leading zeros do not count.
std::string SitePort(const TDIUri& uri) {
    if (!uri.HasHost()) return {};
    std::string port = Utf16ToUtf8(uri.Port());
    if (port.empty()) return {};
    const size_t digit = port.find_first_not_of('0');
    port = digit == std::string::npos ? "0" : port.substr(digit);
    const std::string scheme = AsciiLower(uri.Scheme());
    if ((scheme == "http" && port == "80") || (scheme == "https" && port == "443")) return {};
    return port;
}

} // namespace

std::string HostKey(const TDIUri& Parsed) {
    return AsciiLower(Parsed.Host()) + ":" + SitePort(Parsed);
}

std::string HostKey(const std::string& URL) {
    TDIUri uri;
    return uri.Parse(Utf8ToUtf16(URL)) ? HostKey(uri) : ":";
}

bool SameHost(const std::string& URL1, const std::string& URL2) {
    return HostKey(URL1) == HostKey(URL2);
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
    const std::string_view extension = dot == std::string_view::npos ? std::string_view() : name.substr(dot);
    // "*" + extension + ";" searched without regard to ASCII letter case, without building either text.
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    const size_t length = extension.size() + 2;
    for (size_t at = FileTypes.find('*'); at != std::string_view::npos && at + length <= FileTypes.size();
         at = FileTypes.find('*', at + 1)) {
        if (FileTypes[at + length - 1] != ';') continue;
        size_t i = 0;
        while (i < extension.size() && lower(FileTypes[at + 1 + i]) == lower(extension[i]))
            ++i;
        if (i == extension.size()) return true;
    }
    return false;
}
