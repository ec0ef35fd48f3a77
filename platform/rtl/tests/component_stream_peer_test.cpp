// Free Pascal's Classes unit is an independent implementation of the same stream format: its writer must
// produce our bytes, and each reader must understand the other's writer.
#include "platform/rtl/component_stream.h"
#include "platform/rtl/file_stream.h"

#include "stream_test_classes.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

using namespace stream_test;
using testsupport::ReadFile;

class PeerStream : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (std::system("command -v fpc >/dev/null 2>&1") != 0) return;
        dir_ = std::make_unique<testsupport::TempDir>("pw-peer");
        const std::string out = dir_->Path();
        compiled_ = std::system(("fpc -O1 -Fi" + std::string(PW_SOURCE_DIR) + "/tests/support/peer -FE" +
                                 out + " -FU" + out + " -o" + out + "/profile_peer " + PW_TEST_DATA_DIR +
                                 "/peer/profile_peer.pas >" + out + "/fpc.log 2>&1")
                                    .c_str()) == 0;
    }
    static void TearDownTestSuite() { dir_.reset(); }
    void SetUp() override {
        if (!dir_) GTEST_SKIP() << "fpc is not installed";
        ASSERT_TRUE(compiled_) << "the peer program did not compile; see " << File("fpc.log");
    }

    // What the peer prints; a failure of the peer shows as "command failed".
    static std::string Peer(const std::string& arguments) {
        std::string output;
        if (FILE* pipe = popen((File("profile_peer") + " " + arguments).c_str(), "r")) {
            char buffer[4096];
            for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
                output.append(buffer, n);
            if (pclose(pipe) != 0) output = "command failed: " + arguments + "\n" + output;
        }
        return output;
    }
    static std::string File(const std::string& name) { return dir_->File(name); }

    static std::string WriteToFile(TComponent& component, const std::string& name) {
        {
            TFileStream stream(File(name), fmCreate);
            WriteComponent(stream, &component);
        }
        return ReadFile(File(name));
    }
    static void ReadFromFile(const std::string& name, TComponent& component) {
        TFileStream stream(File(name), fmOpenRead);
        ReadComponent(stream, &component);
    }

    static inline std::unique_ptr<testsupport::TempDir> dir_;
    static inline bool compiled_ = false;
};

std::string Hex(const std::string& bytes) {
    return HexDump({bytes.begin(), bytes.end()});
}

TEST_F(PeerStream, ProfilesMatchByteForByteBothWays) {
    for (const std::string variant : {"defaults", "full", "empty"}) {
        SCOPED_TRACE(variant);
        Profile ours;
        SetProfile(ours, variant);
        const std::string ourBytes = WriteToFile(ours, "ours.qpw");
        ASSERT_EQ(Peer("write-profile " + variant + " " + File("theirs.qpw")), "");
        EXPECT_EQ(Hex(ourBytes), Hex(ReadFile(File("theirs.qpw"))));

        // Both readers start from the "empty" state, so what the file leaves out shows in the dump.
        const std::string theirReading = Peer("dump-profile " + File("ours.qpw"));
        Profile ourReading;
        SetProfile(ourReading, "empty");
        ReadFromFile("theirs.qpw", ourReading);
        EXPECT_EQ(Dump(ourReading), theirReading);
        EXPECT_EQ(Peer("dump-profile " + File("theirs.qpw")), theirReading);
        if (variant == "full") {
            EXPECT_EQ(Dump(ours), theirReading);
        }
    }
}

TEST_F(PeerStream, TheirReaderRejectsWhatOursRejects) {
    Profile ours;
    SetProfile(ours, "full");
    const std::string bytes = WriteToFile(ours, "ours.qpw");
    testsupport::WriteFile(File("cut.qpw"), bytes.substr(0, bytes.size() / 2));
    Profile reading;
    EXPECT_THROW(ReadFromFile("cut.qpw", reading), EReadError);
    EXPECT_EQ(Peer("dump-profile " + File("cut.qpw") + " 2>&1").rfind("command failed", 0), 0u);
}

} // namespace
