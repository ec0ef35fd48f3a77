#pragma once
// The check of the site address typed on the first wizard page.
#include <string>

namespace mainwin {

enum class AddressProblem { None, Empty, NoScheme };

// Completes Address in place ("http://" in front of a longer address without a scheme) and says what
// is wrong with it.
AddressProblem CheckWebsiteAddress(std::string& Address);
// The address with "/" appended when it has fewer than three.
std::string WithRootSlash(const std::string& Address);

} // namespace mainwin
