// A local scan as a person runs it: the folders it cannot read, said on the terminal and in the window,
// and the log of a deep tree in the window.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/main_form.h"
#include "controls/rz_buttons.h"
#include "controls/rz_edits.h"
#include "main_form_fixture.h"
#include "platform/rtl/string_list.h"
#include "platform/stdctrls/tree_view.h"
#include "shellcontrols/rz_tree_view.h"
#include "tests/support/child_process.h"
#include "tests/support/child_test.h"
#include "tests/support/deep_folders.h"
#include "tests/support/program_run.h"

namespace app_test {
namespace {

using LocalScanRunTest = MainFormTest;

std::string LeftOut(const std::string& folder) {
    return "The folder " + folder + " could not be read (Permission denied): it is left out of the site map.";
}

// Folder modes, given back when the test ends so that the folders can be removed.
class Modes {
public:
    void Set(const fs::path& folder, mode_t mode) {
        chmod(folder.c_str(), mode);
        set_.push_back(folder);
    }
    ~Modes() {
        for (const fs::path& folder : set_)
            chmod(folder.c_str(), 0755);
    }

private:
    std::vector<fs::path> set_;
};

// No rights at all, no right to list, no right to look inside: each folder is named on the terminal, the
// run goes on and writes what it could read.
TEST_F(LocalScanRunTest, AnUnattendedRunNamesEachFolderItCouldNotRead) {
    const fs::path site = dir_ / "site";
    const fs::path out = dir_ / "out";
    fs::create_directories(out);
    fs::create_directories(site);
    std::ofstream(site / "index.html") << "<title>Home</title>";
    Modes modes;
    for (const auto& [name, mode] : std::vector<std::pair<std::string, mode_t>>{
             {"closed", 0}, {"open", 0755}, {"unlisted", 0311}, {"unsearched", 0644}}) {
        fs::create_directories(site / name);
        std::ofstream(site / name / "page.html") << "<title>" << name << "</title>";
        modes.Set(site / name, mode);
    }
    const std::string profile = LocalProfile(dir_, "unreadable.qpw", "http://www.example.com/", site, out);

    const testsupport::RunResult run = testsupport::RunProgram(config_, "-auto '" + profile + "'",
                                                               testsupport::FileModesBindingCommand(), true);
    EXPECT_EQ(run.status, 0) << run.output;
    for (const char* name : {"closed", "unlisted", "unsearched"})
        EXPECT_NE(run.output.find("pathweaver: " + LeftOut((site / name).string() + "/") + "\n"),
                  std::string::npos)
            << name << "\n"
            << run.output;
    EXPECT_EQ(run.output.find("open"), std::string::npos) << run.output;
    const std::string xml = ReadFile(out / "sitemap.xml");
    EXPECT_NE(xml.find("/open/page.html</loc>"), std::string::npos) << xml;
    EXPECT_EQ(xml.find("closed"), std::string::npos) << xml;
}

// The window names the folders in one box once the scan is over: the first ten, a deep one by the
// beginning and the end of its path, and how many more; its log names each.
TEST_F(LocalScanRunTest, TheWindowNamesTheFoldersItCouldNotReadInOneBox) {
    // Modes do not stop root from reading: as root, the test runs again as an ordinary user.
    if (geteuid() == 0) {
        EXPECT_EQ(testsupport::RunTestInChild(testsupport::CurrentTestName(), {}, true), 0);
        return;
    }
    const fs::path site = dir_ / "site";
    fs::create_directories(site / "a");
    std::ofstream(site / "index.html") << "<title>Home</title>";
    std::ofstream(site / "page.html") << "<title>Page</title>";
    Modes modes;
    const testsupport::DeepFolders deep((site / "a").string(), 20, 0, 255);
    ASSERT_TRUE(deep.Made());
    // The bottom of the chain lies past the path limit: it is closed, and opened again before the chain
    // goes, from the folder above it.
    const std::string bottom = (site / "a").string() + "/" + deep.Relative(20);
    const auto setBottom = [&](mode_t mode) {
        int fd = open((site / "a").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        for (int level = 1; level < 20 && fd >= 0; ++level) {
            const int below = openat(fd, deep.Name(level).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            close(fd);
            fd = below;
        }
        const bool set = fd >= 0 && fchmodat(fd, deep.Name(20).c_str(), mode, 0) == 0;
        if (fd >= 0) close(fd);
        return set;
    };
    struct Reopen {
        std::function<bool(mode_t)> set;
        ~Reopen() { set(0755); }
    } reopen{setBottom};
    ASSERT_TRUE(setBottom(0));
    std::vector<std::string> closed;
    for (int i = 0; i < 11; ++i) {
        const fs::path folder = site / ("closed-" + std::to_string(100 + i).substr(1));
        fs::create_directories(folder);
        std::ofstream(folder / "page.html") << "<title>Closed</title>";
        modes.Set(folder, 0);
        closed.push_back(folder.string() + "/");
    }
    const fs::path out = dir_ / "out";
    Start({MakeSampleProfile("unreadable.qpw", out)});
    form_->editIndex->SetText((site / "index.html").string());
    form_->ButtonClick(form_->btnNext);
    ASSERT_EQ(form_->PageIndex(), 2);
    EXPECT_NE(form_->tvMap->Items().Count(), 0);

    std::string expected = "Folders left out of the site map, as they could not be read: 12\n\n" +
                           bottom.substr(0, 80) + "\u2026" + bottom.substr(bottom.size() - 150) +
                           " (Permission denied)";
    for (int i = 0; i < 9; ++i)
        expected += "\n" + closed[static_cast<size_t>(i)] + " (Permission denied)";
    expected += "\nand 2 more.";
    EXPECT_EQ(prompter_->Texts(), std::vector<std::string>{expected});
    const std::string log = form_->memoFiles->Lines().Text();
    EXPECT_NE(log.find(LeftOut(bottom)), std::string::npos);
    EXPECT_NE(log.find(LeftOut(closed.back())), std::string::npos);
}

// Folders thousands of letters deep fill the log with their paths: the window keeps about a megabyte of it,
// the last lines, each line at most a few kilobytes, a longer one by its beginning and its end.
TEST_F(LocalScanRunTest, TheWindowKeepsAboutAMegabyteOfTheLogInLinesOfAFewKilobytes) {
    const fs::path site = dir_ / "site";
    fs::create_directories(site);
    std::ofstream(site / "index.html") << "<title>Home</title>";
    constexpr int kLevels = 250;
    const testsupport::DeepFolders deep(site.string(), kLevels, kLevels, 255);
    ASSERT_TRUE(deep.Made());
    const std::string bottom = site.string() + "/" + deep.Relative(kLevels);
    const auto shown = [](const std::string& line) {
        return line.size() <= 8192 ? line : line.substr(0, 2048) + "\u2026" + line.substr(line.size() - 4096);
    };
    size_t logged = 0;
    for (int level = 0; level <= kLevels; ++level)
        logged += shown("Scanning Folder: " + site.string() + "/" + deep.Relative(level)).size() + 2;
    ASSERT_GT(logged, 1u << 20);

    Start({MakeSampleProfile("deep.qpw", dir_ / "out")});
    form_->editIndex->SetText((site / "index.html").string());
    form_->ButtonClick(form_->btnNext);
    ASSERT_EQ(form_->PageIndex(), 2);
    TStrings& lines = form_->memoFiles->Lines();
    ASSERT_GE(lines.Count(), 3);
    size_t kept = 0;
    for (int i = 0; i < lines.Count(); ++i) {
        kept += lines[i].size() + 2;
        EXPECT_LE(lines[i].size(), 8192u) << i;
    }
    EXPECT_LE(kept, (1u << 20) + 8192);
    EXPECT_NE(lines[0], "Scanning Folder: " + site.string() + "/") << "the first lines went";
    EXPECT_EQ(lines[lines.Count() - 3], shown("Scanning Folder: " + bottom));
    EXPECT_EQ(lines[lines.Count() - 2], shown("  " + bottom + testsupport::DeepFolders::PageName(kLevels)));
    EXPECT_EQ(lines[lines.Count() - 1], "Total Files: " + std::to_string(kLevels + 3));
}

} // namespace
} // namespace app_test
