#pragma once
// Address tests of the page fetcher.
#include <string>

#include "platform/rtl/file_types.h" // IsFileTypeInList

class TDIUri;

// True when both addresses name the same site: the same host (letter case ignored) and port, where http
// on 80 and https on 443 count as one (a missing port being the scheme's own). Two texts that do not
// parse have no host, and so count as the same.
bool SameHost(const std::string& URL1, const std::string& URL2);
// What SameHost compares: the lower-cased host and the port an address reaches. Two addresses have the
// same key exactly when SameHost holds, so a key made once serves many comparisons.
std::string HostKey(const std::string& URL);
// The same of an address already parsed.
std::string HostKey(const TDIUri& Parsed);
// The address without its query and fragment; empty when it does not parse.
std::string StripQueryAndFragment(const std::string& URL);
