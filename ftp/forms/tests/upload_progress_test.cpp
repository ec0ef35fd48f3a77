// What the upload window shows on the way, and servers that answer a folder change otherwise than most.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>

#include "forms_test_support.h"
#include "ftp/forms/upload_file_form.h"
#include "ftp/server_profile.h"
#include "ftp/tests/daemon_peer.h"
#include "platform/stdctrls/bars.h"
#include "platform/stdctrls/label.h"
#include "platform/vcl/application.h"

namespace ftpforms_test {
namespace {

using testsupport::ReadFile;
using testsupport::WriteFile;

// One server profile "Local" for the peer, and the window run as the facade runs it.
class UploadOnTheWay : public ::testing::Test {
protected:
    void Serve(ftptest::PyFtpd& Server) {
        JDServerData p;
        p.ItemName = "Local";
        p.HostName = "127.0.0.1";
        p.Port = Server.Port();
        p.Username = "tester";
        p.Password = "secret";
        p.SavePassword = true;
        p.PassiveMode = true;
        SaveServerProfiles({p});
    }
    std::unique_ptr<TfrmUploadFile> Window(const std::vector<std::string>& List, const std::string& Folder) {
        std::unique_ptr<TfrmUploadFile> form(new TfrmUploadFile(Application));
        form->UploadList = List;
        form->ProfileName = "Local";
        form->HostFolder = Folder;
        form->Unattended = true;
        return form;
    }

    OwnStore store_;
    Person person_;
    testsupport::TempDir files_{"pw-upload-way"};
};

TEST_F(UploadOnTheWay, TheWholeBarCountsTheFilesAlreadySent) {
    ftptest::PyFtpd server;
    if (!server.Running()) GTEST_SKIP() << "pyftpdlib could not be started here";
    Serve(server);
    // Large enough that each file reports its progress several times on the way.
    const std::vector<std::pair<std::string, size_t>> sizes{
        {"page.html", 700000}, {"page.xml", 500000}, {"a.gif", 300000}};
    std::vector<std::string> list;
    for (const auto& [name, size] : sizes) {
        WriteFile(files_.File(name), std::string(size, name[0]));
        list.push_back(files_.File(name));
    }
    auto form = Window(list, "");
    struct Seen {
        std::string file;
        int64_t count;
        int whole;
    };
    std::vector<Seen> seen;
    auto shown = form->ftp->OnProgress;
    form->ftp->OnProgress = [&](TObject* s, int64_t count, bool& abort) {
        shown(s, count, abort);
        seen.push_back({form->statFile->Caption(), count, form->pbFullStatus->Position()});
    };
    form->ShowModal();
    ASSERT_TRUE(form->Succeeded()) << (person_.Asked.empty() ? "" : person_.Asked.back().text);

    // The files go last first: a.gif, then page.xml, then page.html.
    std::map<std::string, int64_t> before{
        {files_.File("a.gif"), 0}, {files_.File("page.xml"), 300000}, {files_.File("page.html"), 800000}};
    std::map<std::string, int> progressOf;
    for (const Seen& s : seen) {
        ASSERT_TRUE(before.count(s.file)) << s.file;
        EXPECT_EQ(s.whole, before[s.file] + s.count) << s.file << " at " << s.count;
        ++progressOf[s.file];
    }
    EXPECT_GT(progressOf[files_.File("page.xml")], 0) << "the second file was seen on its way";
    EXPECT_GT(progressOf[files_.File("page.html")], 0);
}

TEST_F(UploadOnTheWay, AFolderChangeAnswered200IsAccepted) {
    ftptest::PyFtpd server("cwd200");
    if (!server.Running()) GTEST_SKIP() << "pyftpdlib could not be started here";
    Serve(server);
    std::filesystem::create_directories(server.Root() + "/www");
    WriteFile(files_.File("page.html"), "<p>map</p>");
    auto form = Window({files_.File("page.html")}, "www");
    form->ShowModal();
    EXPECT_TRUE(form->Succeeded()) << (person_.Asked.empty() ? "" : person_.Asked.back().text);
    EXPECT_EQ(ReadFile(server.Root() + "/www/page.html"), "<p>map</p>");
}

} // namespace
} // namespace ftpforms_test
