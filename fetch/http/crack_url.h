#pragma once
// Splitting an address into its parts, as written: nothing is decoded, so what is sent is what was given.
#include "platform/rtl/wintypes.h"

#include <string>

struct TUrlParts {
    std::string Scheme;
    std::string Host;
    WORD Port = 0;
    std::string User;
    std::string Password;
    std::string Path;
    std::string ExtraInfo; // query and fragment, with their "?" or "#"
};

// An address without "://" is taken as http. False for an address that does not parse (no host, a bad
// port) and for one longer than kMaxUrlLength.
bool CrackURL(const std::string& URL, TUrlParts& Parts);
