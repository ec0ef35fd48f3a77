// Free Pascal's Classes unit writes and reads the same stream format: our profile and settings files
// must be its bytes, and each side must read what the other wrote into the same values.
#include "app/core/map_profile.h"
#include "app/core/profile_file.h"
#include "app/core/site_map_settings.h"
#include "platform/rtl/component_stream.h"
#include "platform/rtl/file_stream.h"
#include "platform/rtl/published.h"
#include "platform/rtl/strings.h"

#include "test_env.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

using namespace appcore_test;
namespace fs = std::filesystem;

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
        p.SetFileTypes("*.htm;*.html;*.shtm;*.shtml;*.txt;*.php;*.php4;*.php5;*.pdf;*.swf;*.asp;*.cfm;");
        p.SetWebsite("http://");
        p.SetFileName("/tmp/site.qpw");
        p.SetNoFolderLinks(false);
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
    } else if (variant == "empty") {
        p.SetclrBackground(127);
        p.SetclrText(-128);
        p.SetclrLink(32767);
        p.SetclrVisited(-32769);
        p.SetclrActive(0x20000000);
        p.SetFileName("");
        p.SetOutputFileName("");
        p.SetOutputType(moutClipboard);
        p.SetDefFreq(cfNothing);
        p.SetDefPri(0);
        p.SetUntitled(true);
    }
    p.SetModified(variant != "empty");
}

void SetSettings(TSiteMapSettings& s, const std::string& variant) {
    s.SetSettingFile("/home/user/.config/pathweaver/SiteMap.dat");
    if (variant == "full") {
        s.SetLastFile("/home/user/Profiles/site.qpw");
        s.SetLoadLast(true);
        s.SetSettingFile("/" + std::string(299, 's'));
    }
}

std::string Hex(const std::string& s) {
    std::string out;
    for (const char c : s)
        out += IntToHex(static_cast<unsigned char>(c), 2);
    return out;
}

std::string Bool(bool b) {
    return b ? "True" : "False";
}

// The text the peer prints for an object: one line per published property, in table order.
std::string DumpProfile(TMapProfile& p) {
    std::string out;
    for (const TPropInfo& info : TMapProfile::Table().Properties()) {
        if (TComponent::Table().Find(info.Name) != nullptr) continue;
        if (info.Kind == TPropKind::Class) {
            const TStringList& list = p.FollowQueryPartsList();
            out += info.Name + "=" + IntToStr(list.Count()) + "\n";
            for (int i = 0; i < list.Count(); ++i)
                out += "  " + Hex(list[i]) + "\n";
        } else if (info.Kind == TPropKind::Float) {
            const auto bits = std::bit_cast<uint64_t>(info.GetFloat(p));
            out += info.Name + "=" + IntToHex(static_cast<int64_t>(bits), 16) + "\n";
        } else if (info.Kind == TPropKind::String) {
            out += info.Name + "=" + Hex(info.GetString(p)) + "\n";
        } else if (info.Kind == TPropKind::Boolean) {
            out += info.Name + "=" + Bool(info.GetOrdinal(p) != 0) + "\n";
        } else if (info.GetOrdinal) {
            out += info.Name + "=" + IntToStr(info.GetOrdinal(p)) + "\n";
        }
    }
    return out;
}

std::string DumpSettings(const TSiteMapSettings& s) {
    return "LastFile=" + Hex(s.LastFile()) + "\nLoadLast=" + Bool(s.LoadLast()) +
           "\nSettingFile=" + Hex(s.SettingFile()) + "\n";
}

class PeerFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (std::system("command -v fpc >/dev/null 2>&1") != 0) return;
        dir_ = std::make_unique<TempDir>();
        const std::string source = std::string(PW_TEST_DATA_DIR) + "/peer/profile_peer.pas";
        const std::string out = dir_->path().string();
        const std::string command = "fpc -O1 -FE" + out + " -FU" + out + " -o" + (*dir_ / "profile_peer") +
                                    " " + source + " >" + (*dir_ / "fpc.log") + " 2>&1";
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

template <class C> std::string Write(C& component, const std::string& path) {
    {
        TFileStream stream(path, fmCreate);
        WriteComponent(stream, &component);
    }
    return ReadAll(path);
}

template <class C> void Read(const std::string& path, C& component) {
    TFileStream stream(path, fmOpenRead);
    ReadComponent(stream, &component);
}

TEST_F(PeerFiles, ProfilesMatchTheirBytesAndReadTheSameBothWays) {
    for (const std::string variant : {"defaults", "standard", "full", "empty"}) {
        SCOPED_TRACE(variant);
        TMapProfile ours;
        SetProfile(ours, variant);
        const std::string ourBytes = Write(ours, File("ours.qpw"));
        ASSERT_EQ(Peer("write-profile " + variant + " " + File("theirs.qpw")), "");
        std::string theirBytes = ReadAll(File("theirs.qpw"));
        if (variant == "empty") {
            // Their writer leaves a priority of 0 out; ours writes it, as the last record here.
            theirBytes.insert(theirBytes.size() - 2, std::string("\x06"
                                                                 "DefPri\x05",
                                                                 8) +
                                                         std::string(10, '\0'));
        }
        EXPECT_EQ(Hex(ourBytes), Hex(theirBytes));

        // Both readers start from a new object and apply the records through the setters.
        const std::string theirReadingOfOurs = Peer("dump-profile " + File("ours.qpw"));
        const std::string theirReadingOfTheirs = Peer("dump-profile " + File("theirs.qpw"));
        TMapProfile ourReadingOfOurs, ourReadingOfTheirs;
        ourReadingOfOurs.SetOutputFileName("/home/user/Desktop/sitemap.html");
        ourReadingOfTheirs.SetOutputFileName("/home/user/Desktop/sitemap.html");
        ourReadingOfOurs.SetModified(false);
        ourReadingOfTheirs.SetModified(false);
        Read(File("ours.qpw"), ourReadingOfOurs);
        Read(File("theirs.qpw"), ourReadingOfTheirs);
        EXPECT_EQ(DumpProfile(ourReadingOfOurs), theirReadingOfOurs);
        if (variant != "empty") {
            EXPECT_EQ(DumpProfile(ourReadingOfTheirs), theirReadingOfTheirs);
            EXPECT_EQ(theirReadingOfOurs, theirReadingOfTheirs);
        } else {
            EXPECT_NE(theirReadingOfOurs.find("DefPri=0000000000000000"), std::string::npos);
            EXPECT_NE(theirReadingOfTheirs.find("DefPri=3FE0000000000000"), std::string::npos);
        }
    }
}

TEST_F(PeerFiles, TheirProfileLoadsWithTheProgramsRules) {
    UserFolders folders;
    ASSERT_EQ(Peer("write-profile full " + File("full.qpw")), "");
    TMapProfile p;
    LoadProfileFile(p, File("full.qpw"), nullptr);
    EXPECT_EQ(p.FileName(), File("full.qpw"));
    EXPECT_EQ(p.Website(), "http://example.com/");
    EXPECT_EQ(p.clrVisited(), clBtnFace);
    EXPECT_EQ(p.clrActive(), clNone);
    EXPECT_EQ(p.DefPri(), 0.1);
    EXPECT_EQ(p.FollowQueryParts()->Count(), 3);
    EXPECT_TRUE(p.MakeGoogleSM());
    EXPECT_FALSE(p.NoFolderLinks());
    EXPECT_EQ(p.OutputFormat(), mfmtList);

    // A profile the program saves reads back in their reader with the values saved.
    p.SetFileName(File("saved.qpw"));
    SaveProfileFile(p, nullptr);
    const std::string dump = Peer("dump-profile " + File("saved.qpw"));
    EXPECT_NE(dump.find("FileName=" + Hex(File("saved.qpw")) + "\n"), std::string::npos);
    EXPECT_NE(dump.find("NoFolderLinks=False\n"), std::string::npos);
    EXPECT_NE(dump.find("MakeGoogleSM=True\n"), std::string::npos);
}

TEST_F(PeerFiles, SettingsMatchTheirBytesBothWays) {
    for (const std::string variant : {"defaults", "full"}) {
        SCOPED_TRACE(variant);
        TSiteMapSettings ours;
        SetSettings(ours, variant);
        const std::string ourBytes = Write(ours, File("ours.dat"));
        ASSERT_EQ(Peer("write-settings " + variant + " " + File("theirs.dat")), "");
        EXPECT_EQ(Hex(ourBytes), Hex(ReadAll(File("theirs.dat"))));
        EXPECT_EQ(Peer("dump-settings " + File("ours.dat")), DumpSettings(ours));
        TSiteMapSettings read;
        Read(File("theirs.dat"), read);
        EXPECT_EQ(DumpSettings(read), DumpSettings(ours));
    }
}

} // namespace
