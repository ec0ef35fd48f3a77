#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/rtl/string_list.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"
#include "vcl_test_support.h"

using namespace vcl_test;
using pw::vcl::PromptAnswer;
using pw::vcl::PromptKind;

namespace {

PromptAnswer Ok(const std::string& value) {
    PromptAnswer a;
    a.result = IDOK;
    a.value = value;
    return a;
}

PromptAnswer Button(int result) {
    PromptAnswer a;
    a.result = result;
    return a;
}

struct TempDir {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("vcl_dialogs_" + std::to_string(getpid()));
    TempDir() { std::filesystem::create_directories(path); }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string File(const std::string& name, bool create) const {
        std::string f = (path / name).string();
        if (create) std::ofstream(f) << "x";
        return f;
    }
};

} // namespace

TEST(Dialogs, MessageBoxesOfferTheirButtonsAndAnswerTheDefaultWithNobodyThere) {
    // No prompter and no display: the default button answers.
    EXPECT_EQ(MessageBox(nullptr, "Save changes?", "Pathweaver", MB_YESNOCANCEL | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(MessageBox(nullptr, "Save changes?", "Pathweaver", MB_YESNOCANCEL | MB_DEFBUTTON3), IDCANCEL);
    EXPECT_EQ(MessageBox(nullptr, "Try again?", "", MB_RETRYCANCEL | MB_DEFBUTTON2), IDCANCEL);
    // A default beyond the buttons falls back to the first.
    EXPECT_EQ(MessageBox(nullptr, "Done", "", MB_OK | MB_DEFBUTTON3), IDOK);
    EXPECT_EQ(MessageDlg("Delete it?", mtConfirmation, TMsgDlgButtons{mbYes, mbNo}), mrYes);
    std::string value = "keep";
    EXPECT_FALSE(InputQuery("Enter Folder to Ignore", "Folder:", value));
    EXPECT_EQ(value, "keep");

    TScriptedPrompter prompter;
    prompter.Answers = {Button(IDNO), Button(mrCancel), Button(2)};
    EXPECT_EQ(MessageBox(nullptr, "Save changes?", "Pathweaver", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2),
              IDNO);
    const auto& box = prompter.Asked[0];
    EXPECT_EQ(box.caption, "Pathweaver");
    EXPECT_EQ(box.text, "Save changes?");
    EXPECT_EQ(box.icon, MB_ICONWARNING);
    ASSERT_EQ(box.buttons.size(), 2u);
    EXPECT_EQ(box.buttons[1].result, IDNO);
    EXPECT_EQ(box.defaultButton, 1u);

    EXPECT_EQ(MessageDlg("Stop?", mtWarning, mbYesNoCancel), mrCancel);
    EXPECT_EQ(prompter.Asked[1].caption, "Warning");
    EXPECT_EQ(prompter.Asked[1].buttons.size(), 3u);
    EXPECT_EQ(prompter.Asked[1].buttons[2].caption, "Cancel");

    EXPECT_EQ(MessageDlgCaptions("Unreachable", "The address cannot be reached.", mtWarning,
                                 {"Fix it for me", "Leave it as it is", "I'll fix it myself"}, 0),
              2);
    EXPECT_EQ(prompter.Asked[2].buttons[2].caption, "I'll fix it myself");

    Application->SetTitle("Pathweaver");
    ShowMessage("The folder you selected is already in the list.");
    EXPECT_EQ(prompter.Asked[3].caption, "Pathweaver");
    prompter.Answers = {Ok("tmp"), Button(IDCANCEL)};
    EXPECT_EQ(InputBox("Enter File to Ignore", "File:", "a.txt"), "tmp");
    EXPECT_EQ(prompter.Asked[4].kind, PromptKind::Input);
    EXPECT_EQ(prompter.Asked[4].value, "a.txt");
    EXPECT_EQ(InputBox("Enter File to Ignore", "File:", "a.txt"), "a.txt");
}

TEST(Dialogs, FileDialogsCheckTheirOptionsOnTheAnswer) {
    TempDir dir;
    TScriptedPrompter prompter;
    TOpenDialog open(nullptr);
    open.SetFilter("Profiles|*.qpw|All files|*.*");
    open.SetFilterIndex(2);
    open.SetInitialDir(dir.path.string());
    open.SetOptions(TOpenOptions{ofHideReadOnly, ofFileMustExist, ofPathMustExist});
    std::string present = dir.File("site.qpw", true);
    std::string missing = dir.File("gone.qpw", false);
    // A missing file is refused with a message, and the dialog asks again.
    prompter.Answers = {Ok(missing), Button(IDOK), Ok(present)};
    ASSERT_TRUE(open.Execute());
    EXPECT_EQ(open.FileName(), present);
    ASSERT_EQ(prompter.Asked.size(), 3u);
    EXPECT_EQ(prompter.Asked[0].kind, PromptKind::OpenFile);
    EXPECT_EQ(prompter.Asked[0].filter, "Profiles|*.qpw|All files|*.*");
    EXPECT_EQ(prompter.Asked[0].filterIndex, 2);
    EXPECT_EQ(prompter.Asked[0].initialDir, dir.path.string());
    EXPECT_EQ(prompter.Asked[1].kind, PromptKind::Message);
    EXPECT_NE(prompter.Asked[1].text.find("File not found"), std::string::npos);
    // The same refused answer twice ends the dialog instead of asking forever.
    prompter.Asked.clear();
    prompter.Answers = {Ok(missing), Button(IDOK), Ok(missing), Button(IDOK)};
    EXPECT_FALSE(open.Execute());

    // Several files at once.
    open.SetOptions(TOpenOptions{ofAllowMultiSelect});
    PromptAnswer many = Ok("");
    many.files = {present, dir.File("b.qpw", true)};
    prompter.Answers = {many};
    ASSERT_TRUE(open.Execute());
    EXPECT_TRUE(prompter.Asked.back().multiSelect);
    EXPECT_EQ(open.Files().Count(), 2);
    EXPECT_EQ(open.Files()[1], dir.File("b.qpw", false));

    // Saving adds the default extension and asks before replacing a file.
    TSaveDialog save(nullptr);
    save.SetDefaultExt("qpw");
    save.SetOptions(TOpenOptions{ofOverwritePrompt});
    prompter.Asked.clear();
    prompter.Answers = {Ok(dir.File("site", false)), Button(IDNO), Ok(dir.File("new", false))};
    ASSERT_TRUE(save.Execute());
    EXPECT_EQ(save.FileName(), dir.File("new.qpw", false));
    ASSERT_EQ(prompter.Asked.size(), 3u);
    EXPECT_EQ(prompter.Asked[1].text, present + " already exists.\nDo you want to replace it?");
    EXPECT_EQ(prompter.Asked[1].defaultButton, 1u); // No
}

TEST(Dialogs, FolderAndColourDialogsAndTheirCancel) {
    TScriptedPrompter prompter;
    std::string folder = "/tmp";
    prompter.Answers = {Ok("/var")};
    EXPECT_TRUE(SelectDirectory("Select a folder", "/", folder));
    EXPECT_EQ(folder, "/var");
    EXPECT_EQ(prompter.Asked[0].kind, PromptKind::SelectFolder);
    EXPECT_EQ(prompter.Asked[0].value, "/tmp");
    EXPECT_FALSE(SelectDirectory("Select a folder", "/", folder)); // default answer: cancel
    EXPECT_EQ(folder, "/var");

    TColorDialog colour(nullptr);
    colour.SetColor(clRed);
    PromptAnswer chosen = Button(IDOK);
    chosen.color = clBlue;
    prompter.Answers = {chosen};
    EXPECT_TRUE(colour.Execute());
    EXPECT_EQ(colour.Color(), clBlue);
    EXPECT_FALSE(colour.Execute());
    EXPECT_EQ(colour.Color(), clBlue);
}

TEST(Dialogs, FiltersBecomeTheToolkitsNameFilters) {
    using pw::vcl::ToolkitNameFilters;
    EXPECT_EQ(ToolkitNameFilters("Profiles|*.qpw|All files|*.*"),
              (std::vector<std::string>{"Profiles (*.qpw)", "All files (*)"}));
    EXPECT_EQ(ToolkitNameFilters("Web pages|*.htm;*.html; *.shtml;|Text|*.txt"),
              (std::vector<std::string>{"Web pages (*.htm *.html *.shtml)", "Text (*.txt)"}));
    // A description without patterns, or a dangling one, is left out.
    EXPECT_EQ(ToolkitNameFilters("Nothing||Images|*.gif;*.png|Dangling"),
              (std::vector<std::string>{"Images (*.gif *.png)"}));
    EXPECT_TRUE(ToolkitNameFilters("").empty());
    // Patterns the description names already are shown once, in the form the toolkit reads.
    EXPECT_EQ(ToolkitNameFilters("Quillmark Pathweaver Profile (*.qpw)|*.qpw"),
              std::vector<std::string>{"Quillmark Pathweaver Profile (*.qpw)"});
    EXPECT_EQ(ToolkitNameFilters("HTML Files (*.htm, *.html)|*.htm;*.html|All Files (*.*)|*.*"),
              (std::vector<std::string>{"HTML Files (*.htm *.html)", "All Files (*)"}));
}
