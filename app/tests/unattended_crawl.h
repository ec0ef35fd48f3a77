#pragma once
// The built program run as cron runs it: a crawl of a site without a person and without a display.
#include <filesystem>
#include <string>

namespace app_test {

struct Crawl {
    int status = -1;
    std::string output;
    std::filesystem::path map;
};

// Runs the program unattended on a profile for the site, in an environment without the caller's proxy
// variables and with the NAME=value words of `environment`; stopped after two minutes (status 124).
Crawl RunCrawl(const std::filesystem::path& dir, const std::filesystem::path& config, const std::string& site,
               const std::string& environment);

} // namespace app_test
