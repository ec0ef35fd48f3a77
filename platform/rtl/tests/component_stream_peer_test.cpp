// Free Pascal's Classes unit is an independent implementation of the same stream format: its writer must
// produce our bytes, and each reader must understand the other's writer.
#include "platform/rtl/component_stream.h"
#include "platform/rtl/file_stream.h"

#include "stream_test_classes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using namespace stream_test;
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

std::vector<uint8_t> FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class PeerStream : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (std::system("command -v fpc >/dev/null 2>&1") != 0) return;
        char pattern[] = "/tmp/pw-peer-XXXXXX";
        if (mkdtemp(pattern) == nullptr) return;
        dir_ = pattern;
        const std::string source = std::string(PW_TEST_DATA_DIR) + "/peer/profile_peer.pas";
        const std::string command = "fpc -O1 -FE" + dir_.string() + " -FU" + dir_.string() + " -o" +
                                    (dir_ / "profile_peer").string() + " " + source + " >" +
                                    (dir_ / "fpc.log").string() + " 2>&1";
        compiled_ = std::system(command.c_str()) == 0;
    }
    static void TearDownTestSuite() {
        if (!dir_.empty()) fs::remove_all(dir_);
    }
    void SetUp() override {
        if (dir_.empty()) GTEST_SKIP() << "fpc is not installed";
        ASSERT_TRUE(compiled_) << "the peer program did not compile; see " << (dir_ / "fpc.log");
    }

    static std::string Peer(const std::string& arguments) {
        return RunOutput((dir_ / "profile_peer").string() + " " + arguments);
    }
    static fs::path File(const std::string& name) { return dir_ / name; }

    static inline fs::path dir_;
    static inline bool compiled_ = false;
};

std::vector<uint8_t> WriteToFile(TComponent& component, const fs::path& path) {
    {
        TFileStream stream(path.string(), fmCreate);
        WriteComponent(stream, &component);
    }
    return FileBytes(path);
}

void ReadFromFile(const fs::path& path, TComponent& component) {
    TFileStream stream(path.string(), fmOpenRead);
    ReadComponent(stream, &component);
}

TEST_F(PeerStream, ProfilesMatchByteForByteBothWays) {
    for (const std::string variant : {"defaults", "full", "empty"}) {
        SCOPED_TRACE(variant);
        Profile ours;
        SetProfile(ours, variant);
        const auto ourBytes = WriteToFile(ours, File("ours.qpw"));

        ASSERT_EQ(Peer("write-profile " + variant + " " + File("theirs.qpw").string()), "");
        const auto theirBytes = FileBytes(File("theirs.qpw"));
        EXPECT_EQ(HexDump(ourBytes), HexDump(theirBytes));

        // Both readers start from the "empty" state, so what the file leaves out shows in the dump.
        const std::string theirReading = Peer("dump-profile " + File("ours.qpw").string());
        Profile ourReading;
        SetProfile(ourReading, "empty");
        ReadFromFile(File("theirs.qpw"), ourReading);
        EXPECT_EQ(DumpProfile(ourReading), theirReading);
        EXPECT_EQ(Peer("dump-profile " + File("theirs.qpw").string()), theirReading);
        if (variant == "full") {
            EXPECT_EQ(DumpProfile(ours), theirReading);
        }
    }
}

TEST_F(PeerStream, SettingsMatchByteForByteBothWays) {
    for (const std::string variant : {"defaults", "full"}) {
        SCOPED_TRACE(variant);
        Settings ours;
        SetSettings(ours, variant);
        const auto ourBytes = WriteToFile(ours, File("ours.dat"));
        ASSERT_EQ(Peer("write-settings " + variant + " " + File("theirs.dat").string()), "");
        EXPECT_EQ(HexDump(ourBytes), HexDump(FileBytes(File("theirs.dat"))));

        EXPECT_EQ(Peer("dump-settings " + File("ours.dat").string()), DumpSettings(ours));
        Settings ourReading;
        ReadFromFile(File("theirs.dat"), ourReading);
        EXPECT_EQ(DumpSettings(ourReading), DumpSettings(ours));
    }
}

TEST_F(PeerStream, TheirReaderRejectsWhatOursRejects) {
    Profile ours;
    SetProfile(ours, "full");
    auto bytes = WriteToFile(ours, File("ours.qpw"));
    bytes.resize(bytes.size() / 2);
    WriteFile(File("cut.qpw"), bytes);
    Profile reading;
    EXPECT_THROW(ReadFromFile(File("cut.qpw"), reading), EReadError);
    EXPECT_NE(Peer("dump-profile " + File("cut.qpw").string() + " 2>&1").rfind("command failed", 0),
              std::string::npos);
}

} // namespace
