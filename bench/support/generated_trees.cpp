#include "bench/support/generated_trees.h"

#include <cstdint>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace bench {

void WriteFolderTree(const std::string& root, int files) {
    constexpr int kFilesPerFolder = 100;
    std::ofstream(fs::path(root) / "index.html")
        << "<html><head><title>Bench site</title></head><body></body></html>\n";
    const int folders = (files + kFilesPerFolder - 1) / kFilesPerFolder;
    for (int f = 0; f < folders; ++f) {
        // Ten sections of folders, so the tree has depth.
        fs::path dir =
            fs::path(root) / ("section" + std::to_string(f % 10)) / ("folder " + std::to_string(f));
        fs::create_directories(dir);
        for (int i = 0; i < kFilesPerFolder && f * kFilesPerFolder + i < files; ++i) {
            const int kind = i % 5;
            const std::string name = "page" + std::to_string(i) +
                                     (kind < 3    ? ".html"
                                      : kind == 3 ? ".pdf"
                                                  : ".txt");
            std::ofstream out(dir / name);
            if (kind < 3)
                out << "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Page " << i
                    << " of folder " << f
                    << "</title></head>\n<body><p>Some text of the page.</p></body></html>\n";
            else
                out << "data " << i << "\n";
        }
    }
}

} // namespace bench
