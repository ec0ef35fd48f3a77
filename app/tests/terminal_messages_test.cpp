// What an unattended run prints on the terminal: names from a hostile profile cannot steer it.
#include <fstream>

#include "app/core/map_profile.h"
#include "app/core/profile_file.h"
#include "main_form_fixture.h"
#include "tests/support/program_run.h"

namespace app_test {
namespace {

using TerminalMessagesTest = MainFormTest;

TEST_F(TerminalMessagesTest, NamesFromAHostileProfileAreShownEscaped) {
    // A folder that cannot be made: the message names the output file, escape sequences and all.
    const std::string hostile = "gone\x1b[2J\x1b[H\x07site map written OK\xC2\x9B"
                                "31m\x9b"
                                "0m";
    const std::string profile = MakeSampleProfile("hostile.qpw", dir_ / "out");
    {
        TMapProfile p;
        LoadProfileFile(p, profile, nullptr);
        p.SetOutputFileName((dir_ / "out" / "blocker" / (hostile + ".html")).string());
        SaveProfileFile(p, nullptr);
    }
    std::ofstream(dir_ / "out" / "blocker") << "a file where the folder should be";
    const std::string output = testsupport::RunProgram(config_, "-auto '" + profile + "'").output;
    EXPECT_NE(output.find("gone\\x1B[2J\\x1B[H\\x07site map written OK\\u009B31m\\x9B0m.html"),
              std::string::npos)
        << output;
    for (const char c : output) {
        const auto byte = static_cast<unsigned char>(c);
        EXPECT_TRUE(byte == '\n' || (byte >= 0x20 && byte != 0x7F && byte != 0xC2 && byte != 0x9B))
            << "byte " << int(byte) << " in " << output;
    }
}

} // namespace
} // namespace app_test
