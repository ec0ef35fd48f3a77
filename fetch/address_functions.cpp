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
