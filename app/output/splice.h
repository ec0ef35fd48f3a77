#pragma once
// Putting the site map into an existing page between "<!-- sitemap -->" and "<!-- sitemap end -->".
#include <string>

// The page with everything between the markers replaced by the list text and a line break; every other
// byte stays as it was. The markers may be in any letter case. ESiteMapOutputError when the page has no
// marker pair, the end marker comes first, or a marker stands more than once.
std::string SpliceSiteMap(const std::string& Page, const std::string& ListText, const std::string& PageName);
