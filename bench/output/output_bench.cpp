// Times the HTML and XML writers on generated trees of 5,000 and 50,000 pages: the time per page must
// stay the same (no quadratic step).
#include "app/core/data_rec.h"
#include "app/core/map_profile.h"
#include "app/output/html_site_map.h"
#include "app/output/xml_sitemap.h"
#include "bench/support/usage.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

namespace {
struct GeneratedTree {
    std::deque<TDataRec> records;
    std::vector<TSiteMapNode> nodes;

    void Add(int image, int level, bool children, const std::string& text, const std::string& loc) {
        TDataRec& rec = records.emplace_back();
        rec.Text = text;
        rec.Loc = loc;
        rec.LastMod = "2026-03-01T10:20:30+01:00";
        nodes.push_back(TSiteMapNode{image, level, children, "", &rec});
    }
};

// Sections of 10 folders of 50 pages each, under one root.
GeneratedTree MakeTree(int pages) {
    GeneratedTree t;
    const std::string site = "http://www.example.com/";
    t.Add(kFolderImage, 0, true, "Home", site);
    int written = 0;
    for (int section = 0; written < pages; ++section) {
        const std::string sectionUrl = site + "section-" + std::to_string(section) + "/";
        t.Add(kFolderImage, 1, true, "Section " + std::to_string(section), sectionUrl);
        for (int folder = 0; folder < 10 && written < pages; ++folder) {
            const std::string folderUrl = sectionUrl + "topic " + std::to_string(folder) + "/";
            t.Add(kFolderImage, 2, true, "Topic & more " + std::to_string(folder), folderUrl);
            for (int page = 0; page < 50 && written < pages; ++page, ++written)
                t.Add(page % 10 == 9 ? kPictureImage : kPageImage, 3, false,
                      "A page about <things> number " + std::to_string(written),
                      folderUrl + "page-" + std::to_string(page) + ".html?id=" + std::to_string(written));
        }
    }
    return t;
}

template <class F> double BestSeconds(F&& run) {
    double best = 1e9;
    for (int i = 0; i < 5; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        best =
            std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}
} // namespace

namespace {
constexpr const char* kUsage =
    "usage: output_bench\n"
    "  Times the HTML and XML writers on generated trees of 5,000 and 50,000 pages.\n";
} // namespace

int main(int argc, char** argv) {
    bench::CheckArguments(argc, argv, kUsage);
    TMapProfile profile;
    profile.SetNoFolderLinks(false);
    std::printf("%8s %8s %14s %14s %12s %12s\n", "pages", "nodes", "HTML ns/page", "XML ns/page",
                "HTML bytes", "XML bytes");
    for (const int pages : {5000, 50000}) {
        const GeneratedTree tree = MakeTree(pages);
        size_t htmlBytes = 0, xmlBytes = 0;
        const double html = BestSeconds(
            [&] { htmlBytes = WrapSiteMapPage(profile, BuildHtmlSiteMap(profile, tree.nodes)).size(); });
        const double xml = BestSeconds([&] { xmlBytes = BuildXmlSitemap(tree.nodes).size(); });
        std::printf("%8d %8zu %14.1f %14.1f %12zu %12zu\n", pages, tree.nodes.size(), html * 1e9 / pages,
                    xml * 1e9 / pages, htmlBytes, xmlBytes);
    }
    return 0;
}
