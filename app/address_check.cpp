#include "app/address_check.h"

#include <algorithm>
#include <cctype>

#include "platform/rtl/strings.h"

namespace mainwin {
namespace {

bool StartsWithNoCase(const std::string& s, const std::string& prefix) {
    return s.size() >= prefix.size() && SameText(s.substr(0, prefix.size()), prefix);
}

// "ftp://x", "file:///x": an address that names a scheme of its own.
bool HasOtherScheme(const std::string& s) {
    const size_t end = s.find("://");
    if (end == std::string::npos || end == 0) return false;
    return std::all_of(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(end), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
    });
}

} // namespace

AddressProblem CheckWebsiteAddress(std::string& Address) {
    Address = Trim(Address);
    if (StartsWithNoCase(Address, "http://") || StartsWithNoCase(Address, "https://")) {
        // Later steps compare the scheme as written.
        const size_t colon = Address.find(':');
        Address = LowerCase(Address.substr(0, colon)) + Address.substr(colon);
    } else if (HasOtherScheme(Address)) {
        return AddressProblem::NoScheme;
    } else if (!Address.empty()) {
        Address = "http://" + Address;
    }
    if (Address.empty() || SameText(Address, "http://") || SameText(Address, "https://"))
        return AddressProblem::Empty;
    return AddressProblem::None;
}

std::string WithRootSlash(const std::string& Address) {
    if (std::count(Address.begin(), Address.end(), '/') < 3) return Address + "/";
    return Address;
}

} // namespace mainwin
