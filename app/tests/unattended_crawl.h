#pragma once
// The built program run as cron runs it: a crawl of a site without a person and without a display.
#include <filesystem>
#include <functional>
#include <string>

class TMapProfile;

namespace app_test {

struct Crawl {
    int status = -1;
    std::string output;
    std::filesystem::path map;
};

// Runs the program unattended on a profile for the site, in an environment without the caller's proxy
// variables and with the NAME=value words of `environment`; stopped after `limitSeconds` (status 124).
// Adjust, when given, changes the profile's other options.
Crawl RunCrawl(const std::filesystem::path& dir, const std::filesystem::path& config, const std::string& site,
               const std::string& environment, const std::function<void(TMapProfile&)>& adjust = {},
               int limitSeconds = 120);

} // namespace app_test
