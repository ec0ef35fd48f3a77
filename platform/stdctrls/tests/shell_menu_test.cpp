// The file managers' menu for files: its entries and their order, Properties only for one file; Copy
// puts the files on the clipboard; the properties window shows name, folder, size, time and rights.
#include "platform/stdctrls/shell_menu.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <ctime>
#include <string>
#include <vector>

#include "platform/gui/clipboard.h"
#include "platform/gui/menus.h"
#include "platform/stdctrls/file_properties.h"
#include "platform/stdctrls/label.h"
#include "test_support.h"
#include "tests/support/temp_dir.h"

using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

struct EntryText {
    std::string text;
    UINT state;
};

std::vector<EntryText> Entries(HMENU menu) {
    std::vector<EntryText> out;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[64] = {};
        GetMenuString(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        out.push_back({text, GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION)});
    }
    return out;
}

TEST(ShellMenu, OffersWhatAFileManagerOffersInItsOrder) {
    HMENU one = pw::stdctrls::CreateShellMenu({"/tmp/a.html"});
    const std::vector<EntryText> entries = Entries(one);
    ASSERT_EQ(entries.size(), 7u);
    const std::vector<std::string> texts{
        "&Open", "Open Containing &Folder", "", "&Copy", "Move to &Trash", "", "P&roperties"};
    for (size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(entries[i].text, texts[i]) << i;
    EXPECT_EQ(entries[2].state & MF_SEPARATOR, MF_SEPARATOR);
    EXPECT_EQ(entries[5].state & MF_SEPARATOR, MF_SEPARATOR);
    EXPECT_EQ(GetMenuItemID(one, 0), pw::stdctrls::kShellOpen);
    EXPECT_EQ(GetMenuItemID(one, 4), pw::stdctrls::kShellTrash);
    EXPECT_EQ(GetMenuItemID(one, 6), pw::stdctrls::kShellProperties);
    EXPECT_EQ(GetMenuDefaultItem(one, FALSE_, 0), pw::stdctrls::kShellOpen);
    for (const EntryText& e : entries)
        EXPECT_EQ(e.state & MF_GRAYED, 0u) << e.text;
    DestroyMenu(one);

    HMENU two = pw::stdctrls::CreateShellMenu({"/tmp/a.html", "/tmp/b.gif"});
    EXPECT_EQ(GetMenuState(two, pw::stdctrls::kShellProperties, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);
    EXPECT_EQ(GetMenuState(two, pw::stdctrls::kShellTrash, MF_BYCOMMAND) & MF_GRAYED, 0u);
    DestroyMenu(two);
}

TEST(ShellMenu, CopyPutsTheFilesOnTheClipboard) {
    TempDir dir;
    WriteFile(dir.File("a.html"), "a");
    WriteFile(dir.File("b c.gif"), "b");
    const std::vector<std::string> files{dir.File("a.html"), dir.File("b c.gif")};
    ASSERT_TRUE(pw::stdctrls::InvokeShellCommand(nullptr, pw::stdctrls::kShellCopy, files));
    EXPECT_EQ(GetClipboardFiles(), files);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_HDROP));
    EXPECT_FALSE(pw::stdctrls::InvokeShellCommand(nullptr, pw::stdctrls::kShellCopy, {}));
}

TEST(FileProperties, NameFolderSizeTimeAndRights) {
    TempDir dir;
    const std::string file = dir.File("sitemap.html");
    WriteFile(file, std::string(1234567, 'x'));
    ASSERT_EQ(chmod(file.c_str(), 0640), 0);
    std::tm when{};
    when.tm_year = 2021 - 1900;
    when.tm_mon = 2;
    when.tm_mday = 4;
    when.tm_hour = 5;
    when.tm_min = 6;
    when.tm_sec = 7;
    when.tm_isdst = -1;
    const utimbuf times{std::mktime(&when), std::mktime(&when)};
    ASSERT_EQ(utime(file.c_str(), &times), 0);
    using Rows = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(
        stdctrls_detail::FilePropertyRows(file),
        (Rows{{"Name:", "sitemap.html"},
              {"Folder:", dir.Path()},
              {"Size:", "1.2 MB (1,234,567 bytes)"},
              {"Modified:", "2021-03-04 05:06:07"},
              {"Permissions:", "rw-r-----  (owner: read and write; group: read only; others: no access)"}}));

    WriteFile(file, "x");
    ASSERT_EQ(chmod(file.c_str(), 0755), 0);
    const Rows small = stdctrls_detail::FilePropertyRows(file);
    EXPECT_EQ(small[2].second, "1 byte");
    EXPECT_EQ(small[4].second,
              "rwxr-xr-x  (owner: read and write, run; group: read only, run; others: read only, run)");
    WriteFile(file, std::string(999, 'x'));
    EXPECT_EQ(stdctrls_detail::FilePropertyRows(file)[2].second, "999 bytes");

    const Rows missing = stdctrls_detail::FilePropertyRows(dir.File("gone.html"));
    ASSERT_EQ(missing.size(), 3u);
    EXPECT_EQ(missing[2].first, "Error:");

    TFilePropertiesForm form(nullptr, file);
    EXPECT_EQ(form.Caption(), "sitemap.html Properties");
    ASSERT_EQ(form.Rows.size(), 5u);
    EXPECT_EQ(form.Rows[0].second->Caption(), "sitemap.html");
    EXPECT_EQ(form.Rows[4].first->Caption(), "Permissions:");
}

} // namespace
