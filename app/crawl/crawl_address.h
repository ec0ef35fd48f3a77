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
// Scheme, "://" and authority of a site's base address without its user information, lower-cased:
// what every address of the site is queued with.
std::string SitePrefix(std::string_view SiteBase);
// An address of the site in the form the crawl queues it: the scheme and authority of the site (so a link
// written with the other of http and https, another letter case or a user name is fetched once), the
// rest as written; an empty path becomes "/".
std::string OnSiteForm(std::string_view URL, std::string_view SitePrefix);
// The address without its user information; User and Password get it, percent-decoded.
std::string SplitUserInfo(std::string_view URL, std::string& User, std::string& Password);
// The address as it may be shown: a password in it replaced by "***".
std::string WithoutPassword(std::string_view URL);

} // namespace crawl
