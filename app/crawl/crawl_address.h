#pragma once
// Address helpers of the crawl.
#include <string>
#include <string_view>

namespace crawl {

// The address as it goes on the wire: bytes outside the address-safe set become "%XX", and so do the
// blank, the double quote and the angle brackets, which a request line cannot carry as they are.
// Existing escapes and "+" are kept.
std::string EncodeAddress(std::string_view URL);
// True when URL begins with "http" in any letter case and names the same host and port as SiteBase.
bool IsOnSite(const std::string& URL, const std::string& SiteBase);
// True when URL begins with "http" in any letter case and has "://".
bool IsWebAddress(const std::string& URL);
// IsOnSite with the site's HostKey made once for many links.
bool IsOnSiteOf(const std::string& URL, const std::string& SiteKey);
// Scheme and host lower-cased, the rest as it is: the form in which folder keys are compared.
std::string NormaliseSchemeAndHost(std::string_view URL);

} // namespace crawl
