// The shell list as a file manager's list: it follows its folder as other programs write, remove and
// move files, its right click's menu moves a file to the trash and copies files to the clipboard, files
// dropped on it are copied in with a question before any file is replaced, and a drag from it carries
// the selected files.
#include "shellcontrols/rz_shell_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/gui/clipboard.h"
#include "platform/gui/drop_files.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/rtl/files.h"
#include "platform/vcl/prompt.h"
#include "tests/support/temp_dir.h"
#include "tree_test_support.h"

using namespace tree_test;
using testsupport::PumpUntil;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

bool Lists(TRzShellList* list, const std::string& name) {
    const std::vector<std::string> names = list->FileNames();
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Answers every question with the button of the caption given, and keeps the questions.
struct Answerer : pw::vcl::Prompter {
    std::string button = "&No";
    std::vector<std::string> asked;
    Answerer() { pw::vcl::SetPrompter(this); }
    ~Answerer() override { pw::vcl::SetPrompter(nullptr); }
    pw::vcl::PromptAnswer Ask(const pw::vcl::PromptRequest& r) override {
        asked.push_back(r.text);
        pw::vcl::PromptAnswer a;
        a.result = r.cancelResult;
        for (const pw::vcl::PromptButton& b : r.buttons)
            if (b.caption == button) a.result = b.result;
        return a;
    }
};

// A shown form with a shell list of a folder of the test's own, filtered to the upload files.
struct ListForm {
    TempDir dir{"pw-shell"};
    TForm* form = new TForm(nullptr);
    TRzShellList* list = new TRzShellList(form);
    explicit ListForm(TRzShellListOptions options = {sloAutoFill, sloContextMenus, sloDynamicRefresh,
                                                     sloDragDropFiles}) {
        form->SetBounds(100, 100, 420, 300);
        list->SetParent(form);
        list->SetBounds(0, 0, 400, 260);
        list->SetOptions(options);
        list->SetFileFilter("sitemap.html;sitemap.xml;smfile.gif;");
        list->SetFolder(dir.Path());
        form->Show();
        Pump();
    }
    ~ListForm() { delete form; }
    ListForm(const ListForm&) = delete;
    ListForm& operator=(const ListForm&) = delete;
    // The middle of the row of the file, in the list's client coordinates.
    TPoint Row(const std::string& name) {
        const std::vector<std::string> names = list->FileNames();
        const int index = static_cast<int>(std::find(names.begin(), names.end(), name) - names.begin());
        RECT r{};
        SendMessage(list->Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(index),
                    reinterpret_cast<LPARAM>(&r));
        return TPoint{r.left + 30, (r.top + r.bottom) / 2};
    }
};

TEST(RzShellList, FollowsFilesOtherProgramsWriteAndRemove) {
    ListForm f;
    ASSERT_TRUE(f.list->Watching());
    EXPECT_TRUE(f.list->FileNames().empty());
    ASSERT_EQ(std::system(("printf '<html>' > '" + f.dir.File("sitemap.html") + "'; printf x > '" +
                           f.dir.File("notes.txt") + "'")
                              .c_str()),
              0);
    EXPECT_TRUE(PumpUntil([&] { return Lists(f.list, "sitemap.html"); }));
    EXPECT_FALSE(Lists(f.list, "notes.txt")) << "the filter holds for new files too";

    // The selection stays with its file while the list reads the folder again.
    f.list->Item(0)->SetSelected(true);
    ASSERT_EQ(std::system(("printf x > '" + f.dir.File("smfile.gif") + "'").c_str()), 0);
    EXPECT_TRUE(PumpUntil([&] { return Lists(f.list, "smfile.gif"); }));
    EXPECT_EQ(f.list->SelectedPaths(), std::vector<std::string>{f.dir.File("sitemap.html")});

    ASSERT_EQ(std::system(("rm '" + f.dir.File("sitemap.html") + "'").c_str()), 0);
    EXPECT_TRUE(PumpUntil([&] { return !Lists(f.list, "sitemap.html"); }));
    EXPECT_EQ(f.list->FileNames(), std::vector<std::string>{"smfile.gif"});

    // A file moved in from another folder, as a file manager or mv moves it, and one moved out.
    TempDir elsewhere{"pw-elsewhere"};
    WriteFile(elsewhere.File("sitemap.xml"), "xml");
    ASSERT_EQ(std::system(("mv '" + elsewhere.File("sitemap.xml") + "' '" + f.dir.Path() + "/'").c_str()), 0);
    EXPECT_TRUE(PumpUntil([&] { return Lists(f.list, "sitemap.xml"); }));
    ASSERT_EQ(std::system(("mv '" + f.dir.File("smfile.gif") + "' '" + elsewhere.Path() + "/'").c_str()), 0);
    EXPECT_TRUE(PumpUntil([&] { return !Lists(f.list, "smfile.gif"); }));
    EXPECT_EQ(f.list->FileNames(), std::vector<std::string>{"sitemap.xml"});

    // The watch ends with the window and starts again with a new one.
    f.list->SetOptions({sloAutoFill});
    EXPECT_FALSE(f.list->Watching());
    f.list->SetOptions({sloAutoFill, sloDynamicRefresh});
    EXPECT_TRUE(f.list->Watching());
}

TEST(RzShellList, HiddenFilesAreListedOnlyWhenAsked) {
    ListForm f;
    f.list->SetFileFilter("");
    WriteFile(f.dir.File(".htaccess"), "x");
    f.list->Refresh();
    EXPECT_TRUE(Lists(f.list, ".htaccess"));
    f.list->SetShowHidden(false);
    EXPECT_FALSE(Lists(f.list, ".htaccess"));
}

TEST(RzShellList, TheMenusTrashMovesTheFileToTheTrashWithItsInfo) {
    TempDir data{"pw-data"};
    const char* was = std::getenv("XDG_DATA_HOME");
    const std::optional<std::string> saved = was ? std::optional<std::string>(was) : std::nullopt;
    setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
    ListForm f;
    WriteFile(f.dir.File("sitemap.html"), "page");
    WriteFile(f.dir.File("sitemap.xml"), "xml");
    f.list->Refresh();
    ClickAt(f.list, f.Row("sitemap.html"), pw::gui::MouseButton::Left);
    // The right click opens the menu; its loop takes the letter queued behind the click.
    const TPoint at = f.list->ClientToScreen(f.Row("sitemap.html"));
    pw::gui::SimulateClick(POINT{at.x, at.y}, pw::gui::MouseButton::Right);
    pw::gui::SimulateKey('T', true, U't');
    pw::gui::SimulateKey('T', false);
    Pump();
    EXPECT_FALSE(FileExists(f.dir.File("sitemap.html")));
    EXPECT_EQ(ReadFile(data.File("Trash/files/sitemap.html")), "page");
    EXPECT_NE(
        ReadFile(data.File("Trash/info/sitemap.html.trashinfo")).find("Path=" + f.dir.File("sitemap.html")),
        std::string::npos);
    EXPECT_EQ(f.list->FileNames(), std::vector<std::string>{"sitemap.xml"});

    // Copy puts the selected file on the clipboard as a file.
    const TPoint xml = f.list->ClientToScreen(f.Row("sitemap.xml"));
    pw::gui::SimulateClick(POINT{xml.x, xml.y}, pw::gui::MouseButton::Right);
    pw::gui::SimulateKey('C', true, U'c');
    pw::gui::SimulateKey('C', false);
    Pump();
    EXPECT_EQ(f.list->SelectedPaths(), std::vector<std::string>{f.dir.File("sitemap.xml")});
    EXPECT_EQ(GetClipboardFiles(), std::vector<std::string>{f.dir.File("sitemap.xml")});
    EXPECT_TRUE(FileExists(f.dir.File("sitemap.xml")));
    if (saved)
        setenv("XDG_DATA_HOME", saved->c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}

TEST(RzShellList, DroppedFilesAreCopiedInAndReplaceOnlyWhatThePersonAllows) {
    ListForm f;
    TempDir from{"pw-from"};
    WriteFile(from.File("sitemap.html"), "new page");
    WriteFile(from.File("smfile.gif"), "new image");
    WriteFile(f.dir.File("sitemap.html"), "old page");
    f.list->Refresh();
    Answerer answer;

    // Dropped on the list as the desktop drops files: the new one is copied, the other is asked about.
    const TPoint middle = f.list->ClientToScreen(TPoint{200, 130});
    const HWND host = GetAncestor(f.list->Handle(), GA_ROOT);
    ASSERT_EQ(pw::gui::FileDropTargetAt(host, POINT{middle.x, middle.y}), f.list->Handle());
    ASSERT_TRUE(pw::gui::DropFiles(host, POINT{middle.x, middle.y},
                                   {from.File("sitemap.html"), from.File("smfile.gif")}));
    Pump();
    ASSERT_EQ(answer.asked.size(), 1u);
    EXPECT_NE(answer.asked[0].find("\"sitemap.html\""), std::string::npos);
    EXPECT_EQ(ReadFile(f.dir.File("sitemap.html")), "old page");
    EXPECT_EQ(ReadFile(f.dir.File("smfile.gif")), "new image");
    EXPECT_TRUE(Lists(f.list, "smfile.gif"));

    answer.button = "&Yes";
    EXPECT_EQ(f.list->CopyFilesIn({from.File("sitemap.html")}), 1);
    EXPECT_EQ(ReadFile(f.dir.File("sitemap.html")), "new page");

    // Cancel stops before the files after it; a file dropped on its own folder is left alone.
    WriteFile(from.File("sitemap.xml"), "xml");
    answer.button = "Cancel";
    answer.asked.clear();
    EXPECT_EQ(f.list->CopyFilesIn({from.File("smfile.gif"), from.File("sitemap.xml")}), 0);
    EXPECT_FALSE(FileExists(f.dir.File("sitemap.xml")));
    EXPECT_EQ(f.list->CopyFilesIn({f.dir.File("sitemap.html")}), 0);
    EXPECT_EQ(ReadFile(f.dir.File("sitemap.html")), "new page");
    EXPECT_EQ(answer.asked.size(), 1u);

    // Without drag and drop the list takes no files.
    f.list->SetOptions({sloAutoFill});
    EXPECT_EQ(pw::gui::FileDropTargetAt(host, POINT{middle.x, middle.y}), nullptr);

    // A list that takes no drops refuses them with drag and drop on, even one already on its way.
    f.list->SetOptions({sloAutoFill, sloDragDropFiles});
    WriteFile(from.File("sitemap.xml"), "xml");
    ASSERT_TRUE(pw::gui::DropFiles(host, POINT{middle.x, middle.y}, {from.File("sitemap.xml")}));
    f.list->SetTakesDrops(false);
    Pump();
    EXPECT_FALSE(FileExists(f.dir.File("sitemap.xml")));
    EXPECT_EQ(pw::gui::FileDropTargetAt(host, POINT{middle.x, middle.y}), nullptr);
    f.list->SetTakesDrops(true);
    EXPECT_EQ(pw::gui::FileDropTargetAt(host, POINT{middle.x, middle.y}), f.list->Handle());
}

} // namespace
