#include "unattended_crawl.h"

#include <sys/wait.h>

#include <cstdio>

#include "app/core/map_profile.h"
#include "app/core/profile_file.h"

namespace app_test {

Crawl RunCrawl(const std::filesystem::path& dir, const std::filesystem::path& config, const std::string& site,
               const std::string& environment) {
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
    SaveProfileFile(profile, nullptr);
    std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY";
    for (const char* name : {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY", "no_proxy",
                             "NO_PROXY", "SSL_CERT_FILE", "SSL_CERT_DIR", "LD_LIBRARY_PATH", "PW_STUB_CURL"})
        command += std::string(" -u ") + name;
    command += " XDG_CONFIG_HOME='" + config.string() + "' QT_QPA_PLATFORM=offscreen " + environment +
               " timeout -s KILL 120 '" PW_PROGRAM "' -auto '" + profile.FileName() + "' 2>&1 </dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return crawl;
    char buffer[512];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        crawl.output.append(buffer, n);
    const int code = pclose(pipe);
    crawl.status = WIFEXITED(code) ? WEXITSTATUS(code) : -1;
    return crawl;
}

} // namespace app_test
