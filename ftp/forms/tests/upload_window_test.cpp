#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "controls/si_flat_btn.h"
#include "forms_test_support.h"
#include "ftp/forms/quill_ftp.h"
#include "ftp/forms/upload_file_form.h"
#include "ftp/server_profile.h"
#include "ftp/tests/daemon_peer.h"
#include "platform/stdctrls/bars.h"
#include "platform/stdctrls/label.h"
#include "platform/vcl/application.h"

namespace ftpforms_test {
namespace {

namespace fs = std::filesystem;
using testsupport::ReadFile;
using testsupport::WriteFile;

class UploadWindow : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server_.Running()) GTEST_SKIP() << "pyftpdlib could not be started here";
        JDServerData p;
        p.ItemName = "Local";
        p.HostName = "127.0.0.1";
        p.Port = server_.Port();
        p.Username = "tester";
        p.Password = "secret";
        p.SavePassword = true;
        p.PassiveMode = true;
        SaveServerProfiles({p});
        for (const char* name : {"page.html", "page.xml", "a.gif", "b.gif"})
            WriteFile(files_.File(name), std::string(name) + std::string(3000, 'x'));
    }
    std::vector<std::string> Files(std::initializer_list<const char*> Names) {
        std::vector<std::string> out;
        for (const char* n : Names)
            out.push_back(*n ? files_.File(n) : "");
        return out;
    }
    // Runs the window as the facade does and keeps it for a look afterwards.
    bool Run(const std::vector<std::string>& List, const std::string& Profile, const std::string& Folder,
             bool Unattended = true) {
        form_.reset();
        form_.reset(new TfrmUploadFile(Application));
        form_->UploadList = List;
        form_->ProfileName = Profile;
        form_->HostFolder = Folder;
        form_->Unattended = Unattended;
        form_->ShowModal();
        return form_->Succeeded();
    }

    OwnStore store_;
    Person person_;
    ftptest::PyFtpd server_;
    testsupport::TempDir files_{"pw-upload-files"};
    std::unique_ptr<TfrmUploadFile> form_;
};

TEST_F(UploadWindow, StoresTheFilesLastFirstIntoAFolderItMakes) {
    ASSERT_TRUE(Run(Files({"page.html", "page.xml", "a.gif", "b.gif"}), "local", "made/here"))
        << (person_.Asked.empty() ? "" : person_.Asked.back().text);
    EXPECT_EQ(form_->Stored, Files({"b.gif", "a.gif", "page.xml", "page.html"}));
    for (const char* name : {"page.html", "page.xml", "a.gif", "b.gif"})
        EXPECT_EQ(ReadFile(server_.Root() + "/made/here/" + name), ReadFile(files_.File(name))) << name;
    // The whole bar stands at the sum of the files.
    EXPECT_EQ(form_->pbFullStatus->Position(), form_->pbFullStatus->Max());
    EXPECT_EQ(form_->TotalBytes, 4 * 3000 + 9 + 8 + 5 + 5);
    EXPECT_EQ(form_->lblTotal->Caption(), "Total Transfer Progress: (12027 bytes to transfer)");
    EXPECT_FALSE(person_.Saw("Host Directory")) << "unattended, the folder is made without asking";
}

TEST_F(UploadWindow, AskedInteractivelyTheFolderIsMadeOnYes) {
    person_.Answer = mrYes;
    ASSERT_TRUE(Run(Files({"page.html"}), "Local", "asked", false));
    EXPECT_TRUE(person_.Saw("Host Directory Does not exist. Do you want to create it?"));
    EXPECT_TRUE(fs::exists(server_.Root() + "/asked/page.html"));
}

TEST_F(UploadWindow, EmptyAndMissingNamesAreSkippedAndSaid) {
    EXPECT_FALSE(Run(Files({"page.html", "", "gone.gif"}), "Local", ""));
    EXPECT_TRUE(person_.Saw("gone.gif")) << "the missing file is named";
    EXPECT_EQ(form_->Stored, Files({"page.html"}));
    EXPECT_TRUE(fs::exists(server_.Root() + "/page.html")) << "the login folder, with no host folder";

    person_.Asked.clear();
    EXPECT_FALSE(Run(Files({"", "gone.gif"}), "Local", ""));
    EXPECT_TRUE(person_.Saw("There is no file to upload."));
}

TEST_F(UploadWindow, AStoreRefusedWith550IsAnErrorNotAFolderQuestion) {
    fs::create_directories(server_.Root() + "/dir");
    // A folder where the file should go: the server refuses to store over it with 550.
    fs::create_directories(server_.Root() + "/dir/page.html");
    EXPECT_FALSE(Run(Files({"page.html"}), "Local", "dir"));
    EXPECT_FALSE(person_.Saw("Host Directory"));
    EXPECT_TRUE(person_.Saw("Error 550"));
}

TEST_F(UploadWindow, AProfileWithoutItsPasswordAsksForItOrFails) {
    JDServerData p;
    p.ItemName = "Local";
    p.HostName = "127.0.0.1";
    p.Port = server_.Port();
    p.Username = "tester";
    p.SavePassword = false;
    p.Password = "secret"; // not stored
    p.PassiveMode = true;
    SaveServerProfiles({p});
    EXPECT_FALSE(Run(Files({"page.html"}), "Local", ""));
    EXPECT_TRUE(person_.Saw("keeps no password"));

    person_.Input = "secret";
    EXPECT_TRUE(Run(Files({"page.html"}), "Local", "", false));
    ASSERT_FALSE(person_.Asked.empty());
    EXPECT_TRUE(person_.Asked.back().masked);

    // A refused login is said; the window waits for Cancel, which ends it with False.
    person_.Input = "wrong";
    bool stayed = false;
    person_.After = [&](const pw::vcl::PromptRequest& r) {
        if (r.text.rfind("Error ", 0) != 0) return;
        Pump();
        stayed = form_->ModalResult() == mrNone;
        form_->btnCancelClick(nullptr);
    };
    EXPECT_FALSE(Run(Files({"page.html"}), "Local", "", false));
    EXPECT_TRUE(person_.Saw("Error 530"));
    EXPECT_TRUE(stayed);
    person_.After = nullptr;
}

// An error raised while the window works on a reply ends the upload as failed, with its text: left to
// the application's handler, the window would go on waiting for a reply that never comes.
TEST_F(UploadWindow, AnErrorWhileAnsweringTheServerEndsTheUploadAsFailed) {
    std::string shown;
    person_.After = [&](const pw::vcl::PromptRequest& r) {
        if (r.text.rfind("Host Directory", 0) == 0) throw Exception("The question went unanswered");
        Pump();
        shown = form_->lblProgress->Caption();
        form_->btnCancelClick(nullptr);
    };
    EXPECT_FALSE(Run(Files({"page.html"}), "Local", "not/there", false));
    EXPECT_TRUE(person_.Saw("The question went unanswered"));
    EXPECT_EQ(shown, "Upload failed.");
    person_.After = nullptr;
}

TEST(UploadFacade, SaysWhatIsMissingAndReportsTheOutcome) {
    OwnStore store;
    Person person;
    TQuillFTP ftp(nullptr);
    ftp.Unattended = true;
    EXPECT_TRUE(ftp.ServerNames().empty());
    EXPECT_FALSE(ftp.UploadFiles({"/nonexistent"}, ""));
    EXPECT_TRUE(person.Saw("No server profile is chosen"));
    ftp.SelectedServerName = "Nowhere";
    EXPECT_FALSE(ftp.UploadFiles({"/nonexistent"}, ""));
    EXPECT_TRUE(person.Saw("Server profile \"Nowhere\" not found"));
    EXPECT_FALSE(ftp.ServerHasHost());

    JDServerData hostless;
    hostless.ItemName = "Hostless";
    SaveServerProfiles({hostless});
    ftp.SelectedServerName = "hostless";
    EXPECT_FALSE(ftp.UploadFiles({"/nonexistent"}, ""));
    EXPECT_TRUE(person.Saw("names no host"));
    EXPECT_EQ(ftp.ServerNames(), std::vector<std::string>{"Hostless"});

    // A server that refuses the connection: the upload reports failure.
    JDServerData closed = hostless;
    closed.HostName = "127.0.0.1";
    closed.Port = 1; // nothing listens there
    closed.Username = "anonymous";
    SaveServerProfiles({closed});
    testsupport::TempDir dir("pw-facade");
    WriteFile(dir.File("f.txt"), "x");
    EXPECT_FALSE(ftp.UploadFiles({dir.File("f.txt")}, ""));
    EXPECT_TRUE(person.Saw("Error"));
}

TEST_F(UploadWindow, Screenshot) {
    auto* form = new TfrmUploadFile(Application);
    std::unique_ptr<TfrmUploadFile> owned(form);
    form->OnShow = nullptr;
    form->statFile->SetCaption(files_.File("page.xml"));
    form->statServer->SetCaption("My Home Site");
    form->lblProgress->SetCaption("Transferring... 1514 bytes");
    form->lblTotal->SetCaption("Total Transfer Progress: (12027 bytes to transfer)");
    form->pbStatus->SetMax(3008);
    form->pbStatus->SetPosition(1514);
    form->pbFullStatus->SetMax(12027);
    form->pbFullStatus->SetPosition(7514);
    form->Show();
    Pump();
    Screenshot(form, "upload_window");
    EXPECT_EQ(form->ClientWidth(), 393);
    EXPECT_EQ(form->ClientHeight(), 169);
    EXPECT_EQ(form->btnHelp->ClassName(), "TsiFlatBtn");
}

} // namespace
} // namespace ftpforms_test
