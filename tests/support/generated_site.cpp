#include "tests/support/generated_site.h"

#include <cstdint>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace testsupport {

std::string SitePagePath(int n) {
    return "/f" + std::to_string(n % 10) + "/g" + std::to_string(n / 10 % 10) + "/p" + std::to_string(n) +
           ".html";
}

void WriteGeneratedSite(const std::string& root, int pages, int port) {
    uint32_t seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (int n = 0; n < pages; ++n) {
        std::string body = "<html><head><title>Page " + std::to_string(n) + "</title></head><body>\n";
        const auto link = [&body](const std::string& href) { body += "<a href=\"" + href + "\">x</a>\n"; };
        link(SitePagePath((n + 1) % pages));
        for (int i = 0; i < 19; ++i) {
            const int target = static_cast<int>(next() % static_cast<uint32_t>(pages));
            switch (next() % 20) {
            case 0:
                link("/r" + SitePagePath(target));
                break;
            case 1:
                link("/missing" + std::to_string(target) + ".html");
                break;
            case 2:
                link("http://127.0.0.2:" + std::to_string(port) + SitePagePath(target));
                break;
            default:
                link(SitePagePath(target));
            }
        }
        body += "</body></html>\n";
        const std::string path = root + SitePagePath(n);
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path) << body;
    }
    std::ofstream(root + "/index.html") << "<html><head><title>Home</title></head><body><a href=\""
                                        << SitePagePath(0) << "\">start</a></body></html>\n";
}

} // namespace testsupport
