// A local scan as a person runs it: the log of a deep tree in the window.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/core/map_profile.h"
#include "app/core/profile_file.h"
#include "app/main_form.h"
#include "controls/rz_buttons.h"
#include "controls/rz_edits.h"
#include "main_form_fixture.h"
#include "platform/rtl/string_list.h"
#include "platform/stdctrls/tree_view.h"
#include "program_run.h"
#include "shellcontrols/rz_tree_view.h"
#include "tests/support/child_process.h"
#include "tests/support/child_test.h"
#include "tests/support/deep_folders.h"

namespace app_test {
namespace {

using LocalScanRunTest = MainFormTest;

// A few folders thousands of letters deep fill the log with their paths: the window keeps about a
// megabyte of it, the last lines, not every path.
TEST_F(LocalScanRunTest, TheWindowKeepsAboutAMegabyteOfTheLog) {
    const fs::path site = dir_ / "site";
    fs::create_directories(site);
    std::ofstream(site / "index.html") << "<title>Home</title>";
    constexpr int kLevels = 100;
    const testsupport::DeepFolders deep(site.string(), kLevels, kLevels, 255);
    ASSERT_TRUE(deep.Made());
    const std::string bottom = site.string() + "/" + deep.Relative(kLevels);
    size_t logged = 0;
    for (int level = 0; level <= kLevels; ++level)
        logged +=
            std::string("Scanning Folder: ").size() + site.string().size() + 1 + deep.Relative(level).size();
    ASSERT_GT(logged, 1u << 20);

    Start({MakeSampleProfile("deep.qpw", dir_ / "out")});
    form_->editIndex->SetText((site / "index.html").string());
    form_->ButtonClick(form_->btnNext);
    ASSERT_EQ(form_->PageIndex(), 2);
    TStrings& lines = form_->memoFiles->Lines();
    ASSERT_GE(lines.Count(), 3);
    size_t kept = 0;
    for (int i = 0; i < lines.Count(); ++i)
        kept += lines[i].size() + 2;
    EXPECT_LE(kept, (1u << 20) + 2 * bottom.size());
    EXPECT_NE(lines[0], "Scanning Folder: " + site.string() + "/") << "the first lines went";
    EXPECT_EQ(lines[lines.Count() - 3], "Scanning Folder: " + bottom);
    EXPECT_EQ(lines[lines.Count() - 2], "  " + bottom + testsupport::DeepFolders::PageName(kLevels));
    EXPECT_EQ(lines[lines.Count() - 1], "Total Files: " + std::to_string(kLevels + 3));
}

} // namespace
} // namespace app_test
