// Free Pascal's Classes unit writes and reads the same stream format: our profile files must be its
// bytes, and its reader must read ours into the values our reader finds, setters and all.
#include "app/core/map_profile.h"
#include "platform/rtl/component_stream.h"
#include "platform/rtl/file_stream.h"
#include "platform/rtl/published.h"
#include "platform/rtl/strings.h"

#include "test_env.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

using namespace appcore_test;

std::string RunOutput(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            output.append(buffer, n);
        if (pclose(pipe) != 0) output = "command failed: " + command + "\n" + output;
    }
    return output;
}

// The states the peer program knows by the same names.
void SetProfile(TMapProfile& p, const std::string& variant) {
    p.SetOutputFileName("/home/user/Desktop/sitemap.html");
    if (variant == "standard") {
        // A new window's profile, named and saved: the golden file of the profile tests.
        p.SetFileTypes("*.htm;*.html;*.shtm;*.shtml;*.txt;*.php;*.php4;*.php5;*.pdf;*.swf;*.asp;*.cfm;");
        p.SetWebsite("http://");
        p.SetFileName("/tmp/site.qpw");
        p.SetNoFolderLinks(false);
        p.SetModified(false);
    } else if (variant == "full") {
        p.SetAddImages(false);
        p.SetNoFolderImages(true);
        p.SetNoFolderLinks(false);
        p.SetClassAttribs(false);
        p.SetclrBackground(0x123456);
        p.SetclrText(-1);
        p.SetclrLink(200);
        p.SetclrVisited(clBtnFace);
        p.SetclrActive(clNone);
        p.SetConfirmDelete(false);
        p.SetFileName("/tmp/My Site.qpw");
        p.SetFileTypes("*.htm;*.html;*.php;");
        p.SetIgnoreFolders("http://example.com/private/\r\n" + std::string(290, 'b'));
        p.SetIgnoreFiles("a.html\r\nb.html");
        p.SetIndexPage("/var/www/index.html");
        p.SetOutputType(moutEditor);
        p.SetOutputFormat(mfmtParagraph);
        p.SetOutputFileName("/tmp/sitemap-\xC3\xA9t\xC3\xA9.html");
        p.SetOutputInsert("/tmp/insert.html");
        p.SetUsePageTitles(false);
        p.SetMakeGoogleSM(false);
        p.SetWebsite("http://example.com/");
        p.SetSpiderType(mstLocal);
        p.SetServerName("My server");
        p.SetServerDir("/public_html");
        p.SetFtpFiles(true);
        p.SetDefFreq(cfNever);
        p.SetDefPri(0.1);
        p.SetFollowQueryText("id=\r\nsid=\r\n" + std::string(260, 'q'));
        p.SetModified(true);
    } else if (variant == "zero") {
        p.SetDefPri(0);
        p.SetModified(false);
    }
}

std::string Hex(const std::string& s) {
    std::string out;
    for (const char c : s)
        out += IntToHex(static_cast<unsigned char>(c), 2);
    return out;
}

// The text the peer prints for a profile: one line per published property, in table order.
std::string DumpProfile(TMapProfile& p) {
    std::string out;
    for (const TPropInfo& info : TMapProfile::Table().Properties()) {
        if (TComponent::Table().Find(info.Name) != nullptr) continue;
        out += info.Name + "=";
        if (info.Kind == TPropKind::Class) {
            const TStringList& list = p.FollowQueryPartsList();
            out += IntToStr(list.Count()) + "\n";
            for (int i = 0; i < list.Count(); ++i)
                out += "  " + Hex(list[i]) + "\n";
            continue;
        }
        if (info.Kind == TPropKind::Float)
            out += IntToHex(std::bit_cast<int64_t>(info.GetFloat(p)), 16);
        else if (info.Kind == TPropKind::String)
            out += Hex(info.GetString(p));
        else if (info.Kind == TPropKind::Boolean)
            out += info.GetOrdinal(p) != 0 ? "True" : "False";
        else
            out += IntToStr(info.GetOrdinal(p));
        out += "\n";
    }
    return out;
}

class PeerFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (std::system("command -v fpc >/dev/null 2>&1") != 0) return;
        dir_ = std::make_unique<TempDir>();
        const std::string source = std::string(PW_TEST_DATA_DIR) + "/peer/profile_peer.pas";
        const std::string out = dir_->path().string();
        const std::string command = "fpc -O1 -Fi" + std::string(PW_SOURCE_DIR) + "/tests/support/peer -FE" +
                                    out + " -FU" + out + " -o" + (*dir_ / "profile_peer") + " " + source +
                                    " >" + (*dir_ / "fpc.log") + " 2>&1";
        compiled_ = std::system(command.c_str()) == 0;
    }
    static void TearDownTestSuite() { dir_.reset(); }
    void SetUp() override {
        if (!dir_) GTEST_SKIP() << "fpc is not installed";
        ASSERT_TRUE(compiled_) << "the peer program did not compile; see " << (*dir_ / "fpc.log");
    }

    static std::string Peer(const std::string& arguments) {
        return RunOutput((*dir_ / "profile_peer") + " " + arguments);
    }
    static std::string File(const std::string& name) { return *dir_ / name; }

    static inline std::unique_ptr<TempDir> dir_;
    static inline bool compiled_ = false;
};

TEST_F(PeerFiles, ProfilesMatchTheirBytesAndReadTheSameOnBothSides) {
    for (const std::string variant : {"standard", "full", "zero"}) {
        SCOPED_TRACE(variant);
        TMapProfile ours;
        SetProfile(ours, variant);
        {
            TFileStream stream(File("ours.qpw"), fmCreate);
            WriteComponent(stream, &ours);
        }
        ASSERT_EQ(Peer("write-profile " + variant + " " + File("theirs.qpw")), "");
        std::string theirBytes = ReadAll(File("theirs.qpw"));
        if (variant == "zero") {
            // Their writer leaves a priority of 0 out; ours writes it, as the last record here.
            theirBytes.insert(theirBytes.size() - 2, std::string("\x06"
                                                                 "DefPri\x05",
                                                                 8) +
                                                         std::string(10, '\0'));
        }
        EXPECT_EQ(Hex(ReadAll(File("ours.qpw"))), Hex(theirBytes));

        // Both readers start from a new object and apply the records through the setters.
        TMapProfile ourReading;
        ourReading.SetOutputFileName("/home/user/Desktop/sitemap.html");
        ourReading.SetModified(false);
        {
            TFileStream stream(File("ours.qpw"), fmOpenRead);
            ReadComponent(stream, &ourReading);
        }
        EXPECT_EQ(DumpProfile(ourReading), Peer("dump-profile " + File("ours.qpw")));
    }
}

} // namespace
