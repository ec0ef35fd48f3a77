#include "platform/rtl/exception.h"
#include "platform/rtl/fuzz/ini_document_input.h"
#include "platform/rtl/ini_file.h"
#include "platform/rtl/string_list.h"

#include "tests/support/temp_dir.h"
#include "tests/support/thrown_message.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using testsupport::ThrownMessage;

namespace {

using Names = std::vector<std::string>;

class IniTest : public ::testing::Test {
protected:
    void Put(const std::string& text) { testsupport::WriteFile(file_, text); }
    std::string Get() const { return testsupport::ReadFile(file_); }

    testsupport::TempDir dir_{"pw-ini"};
    const std::string file_ = dir_.File("forminfo.ini");
};

} // namespace

TEST_F(IniTest, NamesIgnoreCaseAndTheFileKeepsItsOrderAndComments) {
    Put("; window places\r\n"
        "[frmSiteMapMainPosition]\r\n"
        "  Left = 10  \r\n"
        "Top=20\r\n"
        "; kept\r\n"
        "\r\n"
        "[Other]\r\n"
        "a=1\r\n"
        "[OTHER]\r\n"
        "b=2\r\n");
    TMemIniFile ini(file_);
    EXPECT_EQ(ini.ReadString("FRMSITEMAPMAINPOSITION", "left", "x"), "10");
    EXPECT_EQ(ini.ReadInteger("frmsitemapmainposition", "TOP", -1), 20);
    EXPECT_EQ(ini.ReadString("other", "b", "missing"), "missing"); // the first section of a name answers
    EXPECT_TRUE(ini.SectionExists("oTHER"));
    EXPECT_FALSE(ini.SectionExists("Absent"));
    EXPECT_TRUE(ini.ValueExists("frmSiteMapMainPosition", "LEFT"));
    EXPECT_FALSE(ini.ValueExists("frmSiteMapMainPosition", "Right"));

    Names sections;
    ini.ReadSections(sections);
    EXPECT_EQ(sections, (Names{"frmSiteMapMainPosition", "Other"}));
    TStringList keys; // the controls' lists take the names as well
    keys.Add("stale");
    ini.ReadSection("FRMSITEMAPMAINPOSITION", keys);
    ASSERT_EQ(keys.Count(), 2);
    EXPECT_EQ(keys.Text(), "Left\r\nTop\r\n");
    EXPECT_EQ(keys.UpdateCount(), 0);
    Names values;
    ini.ReadSectionValues("frmSiteMapMainPosition", values);
    EXPECT_EQ(values, (Names{"Left=10", "Top=20"}));

    ini.WriteInteger("FRMSITEMAPMAINPOSITION", "right", 810); // new key: after the section's last line
    ini.WriteInteger("frmSiteMapMainPosition", "TOP", 25);    // existing key keeps its name and place
    ini.WriteBool("New", "State", true);                      // new section: at the end, after a blank line
    ini.UpdateFile();
    EXPECT_EQ(Get(), "; window places\n"
                     "[frmSiteMapMainPosition]\n"
                     "  Left = 10  \n"
                     "Top=25\n"
                     "; kept\n"
                     "right=810\n"
                     "\n"
                     "[Other]\n"
                     "a=1\n"
                     "[OTHER]\n"
                     "b=2\n"
                     "\n"
                     "[New]\n"
                     "State=1\n");

    ini.EraseSection("other"); // every section of that name
    ini.DeleteKey("FRMSITEMAPMAINPOSITION", "left");
    ini.DeleteKey("Absent", "x");
    ini.UpdateFile();
    TMemIniFile reread(file_);
    EXPECT_EQ(reread.SectionNames(), (Names{"frmSiteMapMainPosition", "New"}));
    EXPECT_EQ(reread.SectionKeys("frmSiteMapMainPosition"), (Names{"Top", "right"}));
}

// The numbers themselves parse as StrToIntDef and TryStrToFloat do.
TEST_F(IniTest, NumbersBooleansAndFloatsFallBackToTheDefault) {
    Put("\xEF\xBB\xBF[N]\nhex=$1F\nbad=12abc\ntwo=2\nyes=yes\nhalf=0.5\ncomma=0,5\n");
    TMemIniFile ini(file_);
    EXPECT_EQ(ini.ReadInteger("N", "hex", 0), 31); // the byte-order mark is no part of the first line
    EXPECT_EQ(ini.ReadInteger("N", "bad", -1), -1);
    EXPECT_EQ(ini.ReadInteger("N", "missing", -1000), -1000);
    EXPECT_TRUE(ini.ReadBool("N", "two", false));
    EXPECT_TRUE(ini.ReadBool("N", "yes", true));
    EXPECT_FALSE(ini.ReadBool("N", "yes", false));
    EXPECT_DOUBLE_EQ(ini.ReadFloat("N", "half", 9), 0.5);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("N", "comma", 9), 9);
    ini.WriteFloat("N", "f2", 0.25);
    ini.WriteBool("N", "b", false);
    EXPECT_EQ(ini.ReadString("N", "f2", ""), "0.25");
    EXPECT_EQ(ini.ReadString("N", "b", ""), "0");

    // Marks stacked up by editors that add one to each save: the first section is still found.
    Put("\xEF\xBB\xBF\xEF\xBB\xBF[N]\nhex=$1F\n");
    EXPECT_EQ(TMemIniFile(file_).ReadInteger("N", "hex", 0), 31);
}

TEST_F(IniTest, OddTextRoundTripsAndWhatCannotBeStoredIsRefused) {
    const std::vector<std::pair<std::string, std::string>> odd = {
        {"Caption", "a=b=c"},
        {"Brackets", "[not a section]"},
        {"Semicolon", "; not a comment"},
        {"Backslash", "C:\\path\\"},
        {"Quoted", "\"quoted\""},
        {"Unicode", "Gr\xC3\xBC\xC3\x9F"
                    "e \xE2\x82\xAC"},
        {"Invalid", "\xFF\xFE\xC3"},
        {"Key [x] \xC3\xA9", "v"},
        {"Empty", ""},
    };
    {
        TMemIniFile ini(file_);
        for (const auto& [key, value] : odd)
            ini.WriteString("Sec ; [1] ]", key, value);
        ini.WriteString("Sec ; [1] ]", "Padded", "  inner  blanks  ");
        ini.UpdateFile();
    }
    TMemIniFile ini(file_);
    for (const auto& [key, value] : odd)
        EXPECT_EQ(ini.ReadString("sec ; [1] ]", key, "<missing>"), value) << key;
    EXPECT_EQ(ini.ReadString("Sec ; [1] ]", "Padded", ""), "inner  blanks"); // trimmed, as Windows does

    // A line break or a separator in the wrong place would make another key or section on reading.
    const std::string before = Get();
    TIniFile direct(file_);
    EXPECT_THROW(direct.WriteString("S", "k", "line1\nInjected=1"), EIniFileException);
    EXPECT_THROW(direct.WriteString("S", "k=v", "x"), EIniFileException);
    EXPECT_THROW(direct.WriteString("S", "[k]", "x"), EIniFileException);
    EXPECT_THROW(direct.WriteString("S\r\n[T", "k", "x"), EIniFileException);
    EXPECT_THROW(direct.WriteString("S", "  ", "x"), EIniFileException);
    EXPECT_EQ(Get(), before);
}

TEST_F(IniTest, DirectFileWritesThroughAtomicallyAndSharesTheFile) {
    TIniFile a(file_);
    TIniFile b(file_);
    EXPECT_EQ(a.ReadInteger("P", "Left", -1), -1); // no file yet
    a.WriteInteger("P", "Left", 5);
    EXPECT_EQ(b.ReadInteger("p", "left", -1), 5); // on disk at once
    b.WriteInteger("P", "Top", 6);
    a.WriteInteger("P", "Right", 7); // re-reads, so b's key survives
    EXPECT_EQ(Get(), "[P]\nLeft=5\nTop=6\nRight=7\n");
    TMemIniFile snapshot(file_);
    a.EraseSection("P");
    EXPECT_FALSE(b.SectionExists("P"));
    EXPECT_TRUE(snapshot.SectionExists("P")); // in memory until told otherwise

    // A file in a folder that does not exist cannot be written: the failure is reported.
    TIniFile nowhere(dir_.File("missing/x.ini"));
    EXPECT_THROW(nowhere.WriteInteger("S", "k", 1), EIniFileException);
    TMemIniFile nowhereMem(dir_.File("missing/x.ini"));
    nowhereMem.WriteInteger("S", "k", 1);
    EXPECT_EQ(ThrownMessage<EFCreateError>([&] { nowhereMem.UpdateFile(); }),
              "Cannot create file " + dir_.File("missing/x.ini"));

    // Two processes writing different keys at once lose nothing.
    std::vector<pid_t> children;
    for (int c = 0; c < 2; ++c) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            TIniFile ini(file_);
            for (int i = 0; i < 40; ++i)
                ini.WriteInteger("Shared", "p" + std::to_string(c) + "_" + std::to_string(i), i);
            ::_exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(a.SectionKeys("Shared").size(), 80u);
    EXPECT_EQ(a.ReadInteger("Shared", "p1_39", -1), 39);
}

// Inputs kept from fuzzing go through the fuzzing entry.
TEST(IniFuzzReplay, KeptInputsParseAndWriteBackStably) {
    int files = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(PW_SOURCE_DIR) + "/platform/rtl/fuzz/ini_corpus")) {
        SCOPED_TRACE(entry.path().string());
        const std::string input = testsupport::ReadFile(entry.path());
        EXPECT_TRUE(ini_fuzz::ReadIniInput(reinterpret_cast<const uint8_t*>(input.data()), input.size()));
        ++files;
    }
    EXPECT_GE(files, 3);
}
