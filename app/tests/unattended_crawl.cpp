#include "unattended_crawl.h"

#include "app/core/map_profile.h"
#include "app/core/profile_file.h"
#include "tests/support/program_run.h"

namespace app_test {

Crawl RunCrawl(const std::filesystem::path& dir, const std::filesystem::path& config, const std::string& site,
               const std::string& environment, const std::function<void(TMapProfile&)>& adjust,
               int limitSeconds) {
    TMapProfile profile;
    ApplyNewProfileDefaults(profile);
    profile.SetSpiderType(mstWebsite);
    profile.SetWebsite(site);
    Crawl crawl;
    crawl.map = dir / "out" / "sitemap.html";
    std::filesystem::remove_all(crawl.map.parent_path());
    std::filesystem::create_directories(crawl.map.parent_path());
    profile.SetOutputFileName(crawl.map.string());
    profile.SetFileName((dir / "site.qpw").string());
    if (adjust) adjust(profile);
    SaveProfileFile(profile, nullptr);
    const testsupport::RunResult run = testsupport::RunProgram(config, "-auto '" + profile.FileName() + "'",
                                                               environment, false, limitSeconds);
    crawl.status = run.status;
    crawl.output = run.output;
    return crawl;
}

} // namespace app_test
