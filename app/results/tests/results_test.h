#pragma once
// What the result tests share: real folders made under /tmp and removed afterwards, a time zone set
// for one test, and a result tree on a framed view with the profile and ignore lists it edits.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/core/map_profile.h"
#include "app/results/result_tree.h"
#include "platform/rtl/string_list.h"
#include "shellcontrols/tests/tree_test_support.h"

namespace results_test {

class TempSite {
public:
    TempSite() {
        char pattern[] = "/tmp/pw-results-XXXXXX";
        if (mkdtemp(pattern) != nullptr) root_ = std::string(pattern) + "/site/";
        std::filesystem::create_directories(root_);
    }
    ~TempSite() {
        // Folders a test closed must be opened again to be removed.
        std::error_code ignored;
        std::filesystem::path top = std::filesystem::path(root_).parent_path().parent_path();
        for (auto it = std::filesystem::recursive_directory_iterator(top, ignored);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ignored))
            if (!it->is_symlink()) chmod(it->path().c_str(), 0700);
        std::filesystem::remove_all(top, ignored);
    }
    TempSite(const TempSite&) = delete;
    TempSite& operator=(const TempSite&) = delete;

    // The scanned folder, with its trailing "/".
    const std::string& Root() const { return root_; }
    std::string Write(const std::string& relative, const std::string& bytes) const {
        std::filesystem::path p = root_ + relative;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }
    void Touch(const std::string& relative, std::time_t when) const {
        struct timespec times[2] = {{when, 0}, {when, 0}};
        utimensat(AT_FDCWD, (root_ + relative).c_str(), times, 0);
    }

private:
    std::string root_;
};

// The time zone for one test; an empty TZ is taken for none.
struct ScopedTz {
    explicit ScopedTz(const char* zone) : old(std::getenv("TZ") ? std::getenv("TZ") : "") { Set(zone); }
    ~ScopedTz() { Set(old.empty() ? nullptr : old.c_str()); }
    static void Set(const char* zone) {
        zone ? setenv("TZ", zone, 1) : unsetenv("TZ");
        tzset();
    }
    std::string old;
};

class TreeTest : public ::testing::Test {
protected:
    // Each node as its indented text, in tree order, and its image index when asked for.
    std::vector<std::string> Shape(bool images = false) const {
        std::vector<std::string> lines;
        for (int i = 0; i < tv.Items().Count(); ++i) {
            TTreeNode* n = tv.Items().Item(i);
            lines.push_back(std::string(static_cast<size_t>(n->Level()) * 2, ' ') + n->Text() +
                            (images ? " " + std::to_string(n->ImageIndex()) : ""));
        }
        return lines;
    }

    TMapProfile profile;
    TStringList ignoreFolders;
    TStringList ignoreFiles;
    tree_test::TreeForm view;
    TRzTreeView& tv = *view.tree;
    results::TResultTree tree{tv, profile, ignoreFolders, ignoreFiles};
};

} // namespace results_test
