// The finder reads folders ahead on helper threads; what it reports must be what a plain walk on
// one thread reports, in the same order, whatever links, ignored folders, stops and failures do.
#include "app/results/file_finder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "results_test.h"

namespace {

using results_test::TempSite;

// Each folder announced, then its files in byte order, then its subfolders; a folder reached again
// through a link is passed over, and an ignored one is announced only.
std::vector<std::string> PlainWalk(const std::string& root, const std::set<std::string>& ignored) {
    std::vector<std::string> events;
    std::set<std::pair<dev_t, ino_t>> visited;
    struct stat st {};
    stat(root.c_str(), &st);
    visited.insert({st.st_dev, st.st_ino});
    std::function<void(const std::string&)> walk = [&](const std::string& folder) {
        events.push_back("D " + folder);
        if (ignored.count(folder) != 0) return;
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(folder))
            if (e.path().filename().string()[0] != '.') names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        std::vector<std::string> subfolders;
        for (const std::string& name : names) {
            if (stat((folder + name).c_str(), &st) != 0) continue;
            if (S_ISDIR(st.st_mode))
                subfolders.push_back(name);
            else
                events.push_back("F " + folder + name);
        }
        for (const std::string& name : subfolders) {
            stat((folder + name).c_str(), &st);
            if (visited.insert({st.st_dev, st.st_ino}).second) walk(folder + name + "/");
        }
    };
    walk(root);
    return events;
}

std::vector<std::string> FinderWalk(TLmFileFinder& finder, const std::string& root,
                                    const std::set<std::string>& ignored) {
    std::vector<std::string> events;
    finder.OnNewFolder = [&](TObject*, const std::string& folder, bool& ignore) {
        events.push_back("D " + folder);
        ignore = ignored.count(folder) != 0;
    };
    finder.OnFound = [&](TObject*, const std::string& folder, const TSearchRec& rec) {
        events.push_back("F " + folder + rec.Name);
    };
    finder.SetLocation(root);
    finder.Execute();
    return events;
}

// Enough folders that the helpers run ahead of the walk into every branch.
void WriteTree(const TempSite& site, int top, int below, int files) {
    for (int t = 0; t < top; ++t)
        for (int b = 0; b < below; ++b)
            for (int f = 0; f < files; ++f)
                site.Write("t" + std::to_string(t) + "/b" + std::to_string(b) + "/f" + std::to_string(f) +
                               ".html",
                           "x");
}

TEST(FileFinder, ReadingAheadKeepsTheOrderLinksAndIgnoredFoldersOfAPlainWalk) {
    TempSite site;
    WriteTree(site, 6, 8, 3);
    const std::string r = site.Root();
    site.Write("t4/b5/deeper/inner/page.html", "x");
    auto link = [&](const char* target, const std::string& at) {
        ASSERT_EQ(symlink(target, (r + at).c_str()), 0) << at;
    };
    link("..", "t2/b1/up");              // a loop back to the top
    link(".", "t3/b0/self");             // a loop onto itself
    link("../t4/b3", "t1/jump");         // a folder not yet walked: it is walked here, and not again
    link("../t0", "t5/back");            // a folder already walked
    link("../t4/b5/deeper", "t5/into");  // below an ignored folder: walked here
    link("f0.html", "t0/b0/alias.html"); // a link to a file is a file
    std::set<std::string> ignored{r + "t4/b5/", r + "t0/b7/"};

    std::vector<std::string> expected = PlainWalk(r, ignored);
    ASSERT_NE(std::find(expected.begin(), expected.end(), "F " + r + "t5/into/inner/page.html"),
              expected.end());
    ASSERT_NE(std::find(expected.begin(), expected.end(), "D " + r + "t1/jump/"), expected.end());
    TLmFileFinder finder;
    // The helpers race one another differently each time.
    for (int run = 0; run < 5; ++run) {
        EXPECT_EQ(FinderWalk(finder, r, ignored), expected) << "run " << run;
        if (HasFailure()) break;
    }
    if (std::thread::hardware_concurrency() > 1) {
        EXPECT_GT(finder.Threads(), 0);
    }
}

TEST(FileFinder, StopOrAFailureMidWalkEndsItWithTheHelpersStillReading) {
    TempSite site;
    WriteTree(site, 4, 10, 20);
    TLmFileFinder finder;
    finder.SetLocation(site.Root());
    int found = 0;
    finder.OnFound = [&](TObject*, const std::string&, const TSearchRec&) {
        if (++found == 30) finder.Stop();
    };
    finder.Execute();
    EXPECT_EQ(found, 30);
    EXPECT_TRUE(finder.Stopped());

    found = 0;
    finder.OnFound = [&](TObject*, const std::string&, const TSearchRec&) {
        if (++found == 30) throw std::runtime_error("handler failed");
    };
    EXPECT_THROW(finder.Execute(), std::runtime_error);
    EXPECT_EQ(finder.CurrentEntry(), nullptr);
    // The finder is whole afterwards.
    found = 0;
    finder.OnFound = [&](TObject*, const std::string&, const TSearchRec&) { ++found; };
    finder.Execute();
    EXPECT_EQ(found, 4 * 10 * 20);
}

TEST(FileFinder, AFolderGoneAfterItWasReadAheadOrBeforeEndsNothing) {
    TempSite site;
    WriteTree(site, 3, 10, 5);
    TLmFileFinder finder;
    finder.SetLocation(site.Root());
    std::vector<std::string> found;
    finder.OnNewFolder = [&](TObject*, const std::string& folder, bool&) {
        // By now the helpers have read some of t2's folders and not others.
        if (folder == site.Root() + "t0/b0/") std::filesystem::remove_all(site.Root() + "t2");
    };
    finder.OnFound = [&](TObject*, const std::string& folder, const TSearchRec& rec) {
        found.push_back(folder.substr(site.Root().size()) + rec.Name);
    };
    finder.Execute();
    size_t gone = std::count_if(found.begin(), found.end(), [](const std::string& f) { return f[1] == '2'; });
    EXPECT_EQ(found.size() - gone, 2u * 10 * 5);
    EXPECT_LE(gone, 10u * 5);
    EXPECT_EQ(std::set<std::string>(found.begin(), found.end()).size(), found.size());
}

} // namespace
