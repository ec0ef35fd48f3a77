#include "platform/rtl/registry.h"
#include "platform/rtl/registry_ini_file.h"
#include "platform/rtl/registry_store.h"

#include "tests/support/temp_dir.h"
#include "tests/support/thrown_message.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Names = std::vector<std::string>;
using testsupport::ReadFile;
using testsupport::ThrownMessage;

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { SetRegistryStoreFile(store_); } // the folder is made by the first write
    void TearDown() override { SetRegistryStoreFile(""); }

    // Points the registry at a copy of the store file, so reads come from the bytes on disk and not
    // from this process's memory of them.
    void ReadFromCopyOfFile() {
        const std::string copy = dir_.File("copy" + std::to_string(++copies_) + ".dat");
        testsupport::WriteFile(copy, ReadFile(store_));
        SetRegistryStoreFile(copy);
    }

    testsupport::TempDir dir_{"pw-reg"};
    const std::string store_ = dir_.File("config/registry.dat");
    int copies_ = 0;
};

const char* const kProfiles = "Software\\Quillmark Software\\Internet\\Profiles";

template <class F> std::string Message(F f) {
    return ThrownMessage<ERegistryException>(f);
}

} // namespace

TEST_F(RegistryTest, KeysValuesAndTheClassLibrarysFailures) {
    {
        TRegistry reg;
        EXPECT_FALSE(reg.OpenKey(kProfiles, false));
        ASSERT_TRUE(reg.OpenKey(kProfiles, true));
        ASSERT_TRUE(reg.OpenKey("my site", true)); // relative to the open key
        EXPECT_EQ(reg.CurrentPath(), std::string(kProfiles) + "\\my site");
        reg.WriteString("HostName", "ftp.example.com");
        reg.WriteString("Port", "21");
        reg.WriteInteger("Count", -2);
        reg.WriteBool("Flag", true);
        const unsigned char glyph[] = {'B', 'M', 0, 1, 0xFF};
        reg.WriteBinaryData("UserGlyph", glyph, sizeof glyph);
        reg.WriteString("port", "2121"); // value names ignore case: this replaces "Port"

        EXPECT_EQ(reg.ReadString("hostname"), "ftp.example.com");
        EXPECT_EQ(reg.ReadString("PORT"), "2121");
        EXPECT_EQ(reg.ReadInteger("count"), -2);
        EXPECT_TRUE(reg.ReadBool("Flag"));
        EXPECT_EQ(reg.ReadString("Missing"), "");
        EXPECT_EQ(reg.GetDataSize("Missing"), -1);
        EXPECT_EQ(reg.GetDataType("Count"), rdInteger);
        EXPECT_EQ(reg.ValueNames(), (Names{"HostName", "Port", "Count", "Flag", "UserGlyph"}));
        EXPECT_EQ(Message([&] { reg.ReadInteger("Missing"); }), "Failed to get data for 'Missing'");
        EXPECT_EQ(Message([&] { reg.ReadInteger("HostName"); }), "Invalid data type for 'HostName'");
        EXPECT_EQ(Message([&] { reg.ReadString("Count"); }), "Invalid data type for 'Count'");

        // Binary data never runs past the caller's buffer.
        unsigned char buffer[8] = {0, 0, 0, 0, 0xAA, 0xAA, 0xAA, 0xAA};
        EXPECT_EQ(Message([&] { reg.ReadBinaryData("UserGlyph", buffer, 4); }),
                  "Failed to get data for 'UserGlyph'");
        EXPECT_EQ(buffer[4], 0xAA);
        EXPECT_EQ(reg.ReadBinaryData("UserGlyph", buffer, sizeof buffer), 5);
        EXPECT_EQ(buffer[4], 0xFF);
        EXPECT_EQ(buffer[5], 0xAA);
        EXPECT_EQ(reg.ReadBinaryData("Missing", buffer, sizeof buffer), 0);

        EXPECT_TRUE(reg.DeleteValue("FLAG"));
        EXPECT_FALSE(reg.DeleteValue("Flag"));
        reg.CloseKey();
        EXPECT_EQ(Message([&] { reg.WriteString("x", "y"); }), "Failed to set data for 'x'");
    }
    struct stat st {};
    ASSERT_EQ(::stat(store_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    TRegistry reg;
    // Leading and trailing separators and letter case do not make another key.
    EXPECT_TRUE(reg.KeyExists("\\SOFTWARE\\quillmark software\\Internet\\Profiles\\"));
    ASSERT_TRUE(reg.OpenKeyReadOnly(std::string(kProfiles) + "\\MY SITE"));
    EXPECT_EQ(reg.ReadString("HostName"), "ftp.example.com");
    EXPECT_EQ(Message([&] { reg.WriteString("HostName", "x"); }), "Failed to set data for 'HostName'");
    EXPECT_FALSE(reg.DeleteValue("HostName"));

    // Subkeys enumerate by name whatever the order of creation; deleting takes the subkeys along.
    ASSERT_TRUE(reg.OpenKey(std::string("\\") + kProfiles, false));
    for (const char* name : {"zeta", "Alpha", "beta\\deeper\\deepest", "Gamma"})
        EXPECT_TRUE(reg.CreateKey(name));
    Names names;
    reg.GetKeyNames(names);
    EXPECT_EQ(names, (Names{"Alpha", "beta", "Gamma", "my site", "zeta"}));
    EXPECT_TRUE(reg.HasSubKeys());
    EXPECT_TRUE(reg.DeleteKey("BETA"));
    EXPECT_FALSE(reg.KeyExists("beta\\deeper"));
    EXPECT_FALSE(reg.DeleteKey("beta"));
    EXPECT_FALSE(reg.DeleteKey("\\"));

    // Only the current user's root holds keys.
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_EQ(reg.CurrentKey(), nullptr);
    EXPECT_FALSE(reg.OpenKey("Software", true));
    EXPECT_FALSE(reg.KeyExists("Software"));
    EXPECT_EQ(Message([&] { reg.CreateKey("Software\\X"); }), "Failed to create key Software\\X");
}

// The store's escaping meets every byte in the random trees further down; here names and values go through
// the registry to the file and back.
TEST_F(RegistryTest, AnyCharactersSurviveTheFile) {
    std::string allBytes;
    for (int b = 1; b < 256; ++b)
        allBytes += static_cast<char>(b);
    const std::string oddKey = "K\ney = [1] %20 \xC3\xA9\xFF", oddName = "line\nbreak = [x] %41";
    const std::string binary("\0\n\r\xFF bin", 8);
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("\\Odd\\" + oddKey, true));
        reg.WriteString(oddName, allBytes);
        reg.WriteString("", "the default value");
        reg.WriteBinaryData("binary", binary.data(), static_cast<int>(binary.size()));
    }
    ReadFromCopyOfFile();
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Odd", false));
    EXPECT_EQ(reg.KeyNames(), (Names{oddKey}));
    ASSERT_TRUE(reg.OpenKey(oddKey, false));
    EXPECT_EQ(reg.ReadString(oddName), allBytes);
    EXPECT_EQ(reg.ReadString(""), "the default value");
    char buffer[16] = {};
    ASSERT_EQ(reg.ReadBinaryData("binary", buffer, sizeof buffer), 8);
    EXPECT_EQ(std::string(buffer, 8), binary);
}

// The store holds passwords: whatever writes it leaves it to its owner alone, whatever mode it had
// and whatever the umask; reading it never writes it.
TEST_F(RegistryTest, TheStoreIsAlwaysTheOwnersAloneAndReadingNeverWritesIt) {
    const mode_t oldMask = ::umask(0);
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Secrets", true));
        reg.WriteString("password", "scrambled");
    }
    struct stat st {};
    ASSERT_EQ(::stat(store_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u) << "made with umask 0";
    ASSERT_EQ(::chmod(store_.c_str(), 0644), 0);
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Secrets", false));
        reg.WriteString("password", "changed");
    }
    ::umask(oldMask);
    ASSERT_EQ(::stat(store_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u) << "a store made readable by others is closed again";

    // Reads, also of keys and values that are not there, leave the file as it is.
    const std::string before = ReadFile(store_);
    struct stat was {};
    ::stat(store_.c_str(), &was);
    {
        TRegistry reg;
        EXPECT_TRUE(reg.OpenKeyReadOnly("Secrets"));
        EXPECT_EQ(reg.ReadString("password"), "changed");
        EXPECT_EQ(reg.ReadString("missing"), "");
        EXPECT_FALSE(reg.OpenKeyReadOnly("\\No\\Such\\Key"));
        reg.CloseKey();
    }
    ASSERT_EQ(::stat(store_.c_str(), &st), 0);
    EXPECT_EQ(st.st_ino, was.st_ino);
    EXPECT_EQ(st.st_mtim.tv_nsec, was.st_mtim.tv_nsec);
    EXPECT_EQ(ReadFile(store_), before);

    // Writing what is there already (the program's settings at every exit) leaves the file too, unless it
    // has to be closed to others again.
    const auto writeSame = [] {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Secrets", false));
        reg.WriteString("password", "changed");
    };
    writeSame();
    ASSERT_EQ(::stat(store_.c_str(), &st), 0);
    EXPECT_EQ(st.st_ino, was.st_ino);
    ASSERT_EQ(::chmod(store_.c_str(), 0640), 0);
    writeSame();
    ASSERT_EQ(::stat(store_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(ReadFile(store_), before);
}

// A store that is there but cannot be read (a folder, a named pipe, a loop of links, a link to a drive
// not mounted, a settings folder that is a file) is no empty store: it says why, naming the file, and no
// write, lazy or in one transaction, replaces what is there. A missing file is an empty store and says
// nothing.
TEST_F(RegistryTest, AStoreThatCannotBeReadSaysWhyAndIsNeverWrittenOver) {
    EXPECT_EQ(TRegistry().StoreProblem(), "");
    // The good store is made under another name, so that this process has never seen what it holds.
    const std::string aside = dir_.File("aside.dat"), loop = store_ + ".loop", folder = dir_.File("config");
    SetRegistryStoreFile(aside);
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(std::string(kProfiles) + "\\Home", true));
        reg.WriteString("HostName", "ftp.example.org");
    }
    SetRegistryStoreFile(store_);
    std::filesystem::create_directories(dir_.File("config"));
    struct Case {
        std::string why;
        std::function<void()> make;
        mode_t type;
        std::string left; // what must stay as it was: the store, else its folder
    };
    const auto replaceFolder = [&](const std::function<void()>& make) {
        std::filesystem::remove_all(folder);
        make();
    };
    const Case cases[] = {
        {"it is a folder", [&] { ::mkdir(store_.c_str(), 0700); }, S_IFDIR, store_},
        {"it is a named pipe (FIFO)", [&] { ::mkfifo(store_.c_str(), 0600); }, S_IFIFO, store_},
        {"it is a loop of symbolic links",
         [&] {
             ASSERT_EQ(::symlink(loop.c_str(), store_.c_str()), 0);
             ASSERT_EQ(::symlink(store_.c_str(), loop.c_str()), 0);
         },
         S_IFLNK, store_},
        {"it is a symbolic link to a file that does not exist",
         [&] { ASSERT_EQ(::symlink(dir_.File("unmounted/registry.dat").c_str(), store_.c_str()), 0); },
         S_IFLNK, store_},
        {folder + " is not a folder",
         [&] { replaceFolder([&] { testsupport::WriteFile(folder, "notes"); }); }, S_IFREG, folder},
        {folder + " is a symbolic link to a folder that does not exist",
         [&] {
             replaceFolder([&] { ASSERT_EQ(::symlink(dir_.File("unmounted").c_str(), folder.c_str()), 0); });
         },
         S_IFLNK, folder},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        c.make();
        TRegistry reg;
        EXPECT_EQ(reg.StoreProblem(), "Cannot open file " + store_ + ": " + c.why);
        EXPECT_FALSE(reg.KeyExists(kProfiles));
        ASSERT_TRUE(reg.OpenKey("Layout", true));
        reg.WriteString("Bars", "2");
        const std::string failed = Message([&] { reg.CloseKey(); });
        EXPECT_NE(failed.find(std::string(c.why)), std::string::npos) << failed;
        reg.StartTransaction();
        ASSERT_TRUE(reg.OpenKey("Layout", true));
        reg.WriteString("Bars", "3");
        reg.CloseKey();
        EXPECT_NE(Message([&] { reg.CommitTransaction(); }), "");
        struct stat st {};
        ASSERT_EQ(::lstat(c.left.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & S_IFMT, c.type) << "left as it was";
        if (c.type == S_IFREG) {
            EXPECT_EQ(ReadFile(c.left), "notes");
        }
        ::remove(loop.c_str());
        std::filesystem::remove_all(c.left);
        std::filesystem::create_directories(folder);
    }
    // Readable again, the store has what it had, and the changes kept meanwhile go out with the next write.
    ASSERT_EQ(std::rename(aside.c_str(), store_.c_str()), 0);
    TRegistry reg;
    EXPECT_EQ(reg.StoreProblem(), "");
    ASSERT_TRUE(reg.OpenKey(std::string(kProfiles) + "\\Home", false));
    EXPECT_EQ(reg.ReadString("HostName"), "ftp.example.org");
    reg.WriteString("Port", "21");
    reg.CloseKey();
    EXPECT_NE(ReadFile(store_).find("V :HostName sz :ftp.example.org"), std::string::npos);
    EXPECT_NE(ReadFile(store_).find("V :Bars sz :3"), std::string::npos);
}

// The store is read at the start, when it may not be there yet, and again whenever it is used: what
// stands in the file's place by then is said as such, not taken for the file still missing.
TEST_F(RegistryTest, AStoreThatTurnsUnreadableWhileInUseIsSaidSoAtItsNextUse) {
    const std::string folder = dir_.File("config"), loop = store_ + ".loop";
    struct Case {
        std::string why;
        std::function<void()> make;
    };
    const Case cases[] = {
        {"it is a loop of symbolic links",
         [&] {
             ASSERT_EQ(::symlink(loop.c_str(), store_.c_str()), 0);
             ASSERT_EQ(::symlink(store_.c_str(), loop.c_str()), 0);
         }},
        {"it is a symbolic link to a file that does not exist",
         [&] { ASSERT_EQ(::symlink(dir_.File("gone.dat").c_str(), store_.c_str()), 0); }},
        {folder + " is a symbolic link to a folder that does not exist",
         [&] {
             std::filesystem::remove_all(folder);
             ASSERT_EQ(::symlink(dir_.File("unmounted").c_str(), folder.c_str()), 0);
         }},
        {folder + " is not a folder",
         [&] {
             std::filesystem::remove_all(folder);
             testsupport::WriteFile(folder, "");
         }},
    };
    TRegistry reg;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        std::filesystem::create_directories(folder);
        EXPECT_EQ(reg.StoreProblem(), "");
        EXPECT_FALSE(reg.KeyExists(kProfiles));
        c.make();
        EXPECT_EQ(reg.StoreProblem(), "Cannot open file " + store_ + ": " + c.why);
        ::remove(loop.c_str());
        ::remove(store_.c_str());
        ::remove(folder.c_str());
    }
}

// A store whose lines end in CR LF (copied through another system) reads as the same store.
TEST_F(RegistryTest, AStoreWithCarriageReturnsReadsAsWithout) {
    testsupport::WriteFile(store_, "PathweaverRegistry 1\r\n"
                                   "K :Software :Site%20A\r\n"
                                   "V :HostName sz :ftp.example.org\r\n"
                                   "V :Port sz :21\r\n"
                                   "V :Tail%0D sz :ends%20in%20CR%0D\r\n");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\Site A"));
    EXPECT_EQ(reg.ValueNames(), (Names{"HostName", "Port", "Tail\r"}));
    EXPECT_EQ(reg.ReadString("HostName"), "ftp.example.org");
    EXPECT_EQ(reg.ReadString("port"), "21");
    EXPECT_EQ(reg.ReadString("Tail\r"), "ends in CR\r") << "a CR of the data itself is kept";
}

// A key of 100,000 values loads in linear time: the quadratic reader took over a minute for it.
TEST_F(RegistryTest, AKeyOfManyValuesLoadsQuickly) {
    constexpr int kValues = 100000;
    std::string text = "PathweaverRegistry 1\nK :Many\n";
    for (int i = 0; i < kValues; ++i)
        text += "V :value" + std::to_string(i) + " sz :" + std::to_string(i * 7) + "\n";
    testsupport::WriteFile(store_, text);
    const auto start = std::chrono::steady_clock::now();
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly("Many"));
    EXPECT_EQ(reg.ReadString("VALUE99999"), std::to_string(99999 * 7));
    EXPECT_EQ(reg.ValueNames().size(), static_cast<size_t>(kValues));
    // A bound that no loaded machine or sanitizer build comes near, and that the quadratic reader overran.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST_F(RegistryTest, LazyWritesReachTheFileWhenTheKeyCloses) {
    TRegistry writer;
    ASSERT_TRUE(writer.OpenKey("Lazy", true));
    writer.WriteString("v", "1");
    {
        TRegistry other; // the same process sees the change at once
        ASSERT_TRUE(other.OpenKey("Lazy", false));
        EXPECT_EQ(other.ReadString("v"), "1");
    }
    EXPECT_EQ(ReadFile(store_).find("V :v"), std::string::npos);
    writer.CloseKey();
    EXPECT_NE(ReadFile(store_).find("V :v sz :1"), std::string::npos);

    writer.SetLazyWrite(false);
    ASSERT_TRUE(writer.OpenKey("Lazy", false));
    writer.WriteString("w", "2");
    EXPECT_NE(ReadFile(store_).find("V :w sz :2"), std::string::npos);

    // A write that cannot reach the disk is reported, not lost quietly: a folder stands where the file
    // should be replaced.
    std::rename(store_.c_str(), dir_.File("moved").c_str());
    ::mkdir(store_.c_str(), 0700);
    EXPECT_EQ(Message([&] { writer.WriteString("x", "3"); }), "Failed to set data for 'x'");
    ::rmdir(store_.c_str());
    std::rename(dir_.File("moved").c_str(), store_.c_str());
    writer.WriteString("y", "4"); // the failed change was kept and goes out with the next one
    ReadFromCopyOfFile();
    TRegistry reader;
    ASSERT_TRUE(reader.OpenKey("Lazy", false));
    EXPECT_EQ(reader.ReadString("x"), "3");
    EXPECT_EQ(reader.ReadString("y"), "4");
}

// A transaction's changes reach the file in one write at the commit, however many keys were closed
// on the way; until then only this process sees them, and an object gone without a commit takes them
// back. Other writers' changes meanwhile are written as usual.
TEST_F(RegistryTest, TransactionsReachTheFileWhole) {
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Layout\\Old", true));
        reg.WriteString("v", "old");
    }
    {
        TRegistry writer;
        writer.SetLazyWrite(false);
        writer.StartTransaction();
        ASSERT_TRUE(writer.OpenKey("\\Layout", true));
        EXPECT_TRUE(writer.DeleteKey("Old"));
        writer.CloseKey();
        ASSERT_TRUE(writer.OpenKey("\\Layout\\New", true));
        writer.WriteString("v", "new");
        writer.CloseKey();
        {
            TRegistry other; // the same process sees the change at once, and writes its own
            other.SetLazyWrite(false);
            EXPECT_FALSE(other.KeyExists("\\Layout\\Old"));
            ASSERT_TRUE(other.OpenKey("\\Layout\\New", false));
            EXPECT_EQ(other.ReadString("v"), "new");
            ASSERT_TRUE(other.OpenKey("\\Profiles", true));
            other.WriteString("host", "ftp.example.test");
        }
        const std::string onDisk = ReadFile(store_);
        EXPECT_NE(onDisk.find("K :Layout :Old"), std::string::npos);
        EXPECT_EQ(onDisk.find("K :Layout :New"), std::string::npos);
        EXPECT_NE(onDisk.find("V :host sz :ftp.example.test"), std::string::npos);
        writer.CommitTransaction();
        const std::string committed = ReadFile(store_);
        EXPECT_EQ(committed.find("K :Layout :Old"), std::string::npos);
        EXPECT_NE(committed.find("V :v sz :new"), std::string::npos);
    }
    {
        TRegistry dropped;
        dropped.StartTransaction();
        ASSERT_TRUE(dropped.OpenKey("\\Layout\\Gone", true));
        dropped.WriteString("v", "never");
        dropped.CloseKey();
    }
    TRegistry reg;
    EXPECT_FALSE(reg.KeyExists("\\Layout\\Gone"));
    EXPECT_EQ(ReadFile(store_).find("never"), std::string::npos);
    ReadFromCopyOfFile();
    TRegistry copy;
    ASSERT_TRUE(copy.OpenKey("\\Layout\\New", false));
    EXPECT_EQ(copy.ReadString("v"), "new");
    ASSERT_TRUE(copy.OpenKey("\\Profiles", false));
    EXPECT_EQ(copy.ReadString("host"), "ftp.example.test");
}

TEST_F(RegistryTest, TwoProcessesWritingKeepEachOthersChanges) {
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Shared", true));
        reg.WriteString("before", "kept");
    }
    std::vector<pid_t> children;
    for (int c = 0; c < 2; ++c) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            TRegistry reg;
            reg.SetLazyWrite(false);
            for (int i = 0; i < 30; ++i) {
                if (!reg.OpenKey("\\Shared\\child" + std::to_string(c), true)) ::_exit(1);
                reg.WriteInteger("n" + std::to_string(i), i);
                reg.OpenKey("\\Shared", false);
                reg.WriteString("last" + std::to_string(c), std::to_string(i));
            }
            ::_exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    TRegistry reg; // this process's memory of the file is stale: it must notice
    ASSERT_TRUE(reg.OpenKey("Shared", false));
    EXPECT_EQ(reg.ReadString("before"), "kept");
    EXPECT_EQ(reg.ReadString("last0"), "29");
    EXPECT_EQ(reg.ReadString("last1"), "29");
    EXPECT_EQ(reg.KeyNames(), (Names{"child0", "child1"}));
    for (int c = 0; c < 2; ++c) {
        ASSERT_TRUE(reg.OpenKey("\\Shared\\child" + std::to_string(c), false));
        EXPECT_EQ(reg.ValueNames().size(), 30u);
        EXPECT_EQ(reg.ReadInteger("n29"), 29);
    }
}

TEST_F(RegistryTest, AKilledWriterLeavesAWholeFile) {
    // The child rewrites a large store over and over, alternating every value between two states.
    const int rounds = 8;
    std::mt19937 random(12345);
    for (int round = 0; round < rounds; ++round) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            TRegistry reg;
            reg.SetLazyWrite(false);
            reg.OpenKey("Crash", true);
            for (int i = 0;; ++i) {
                const char c = i % 2 ? 'a' : 'b';
                reg.WriteString("big", std::string(300000, c));
                reg.WriteString("tag", std::string(1, c));
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20 + random() % 60));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));

        if (ReadFile(store_).empty()) continue; // killed before the first write ended
        ReadFromCopyOfFile();
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Crash", false)) << "round " << round;
        // The store written when the key was made, before its first value, is whole too.
        if (!reg.ValueExists("big")) {
            SetRegistryStoreFile(store_);
            continue;
        }
        const std::string big = reg.ReadString("big");
        ASSERT_EQ(big.size(), 300000u) << "round " << round;
        EXPECT_EQ(big.find_first_not_of(big[0]), std::string::npos);
        SetRegistryStoreFile(store_);
    }
    // Later writers are not hindered by what the killed ones left behind, and clear it away.
    TRegistry reg;
    reg.SetLazyWrite(false);
    ASSERT_TRUE(reg.OpenKey("Crash", true));
    reg.WriteString("after", "ok");
    Names left;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.File("config")))
        left.push_back(entry.path().filename());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (Names{"registry.dat", "registry.dat.lock"}));
    ReadFromCopyOfFile();
    TRegistry check;
    ASSERT_TRUE(check.OpenKey("Crash", false));
    EXPECT_EQ(check.ReadString("after"), "ok");
}

// A store file cut short at any byte (a full disk, a copy broken off) says of each key whether all of it
// was read: a key whose text or a text below it breaks off is cut short, and one is whole once the text
// has gone on past it, its keys and the next line (a broken line could have been one of its keys). The
// mark survives the store being written again, and goes with the key.
TEST_F(RegistryTest, AFileCutShortTellsWhichKeysItHoldsWhole) {
    const Names keys = {"Soft",
                        "Soft\\Net\\Profiles\\A",
                        "Soft\\Net\\Profiles\\B",
                        "Soft\\Weaver\\Bars",
                        "Soft\\Weaver\\Bars\\Bar0",
                        "Soft\\Weaver\\Bars\\Bar0\\Link0",
                        "Soft\\Weaver\\Bars\\Bar1",
                        "Soft\\Weaver\\Tail"};
    for (const std::string& key : keys) {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(key, true));
        reg.WriteString("Name", key);
        reg.WriteInteger("Count", 12345);
    }
    const std::string text = ReadFile(store_);
    ASSERT_EQ(text.substr(text.size() - 2), "E\n");
    // Where the text of a key and everything below it ends: at the next key line that is not below it.
    auto lineOf = [](const std::string& key) {
        std::string line = "K";
        for (const std::string& part : reg_detail::SplitKeyPath(key))
            line += " :" + part;
        return line;
    };
    auto endOf = [&](const std::string& key) {
        const std::string line = lineOf(key);
        for (size_t at = text.find(line + "\n"); (at = text.find('\n', at) + 1) < text.size();)
            if (text.compare(at, line.size() + 2, line + " :") != 0 && text.compare(at, 2, "V ") != 0)
                return at;
        return text.size();
    };
    const std::string cut = dir_.File("cut.dat");
    SetRegistryStoreFile(cut);
    for (size_t length = 0; length <= text.size(); ++length) {
        testsupport::WriteFile(cut, text.substr(0, length));
        for (const std::string& key : keys) {
            TRegistry reg;
            if (!reg.OpenKeyReadOnly(key)) continue;
            const size_t end = endOf(key), next = text[end] == 'E' ? end + 1 : text.find('\n', end) + 1;
            if (length <= end || length >= next) {
                EXPECT_EQ(reg.CutShort(), length <= end) << key << " cut at " << length;
            }
        }
    }

    // Cut in a value of the bar: the profiles written meanwhile are whole, the bars still are not.
    testsupport::WriteFile(cut, text.substr(0, text.find("V :Count", text.find(lineOf(keys[4]))) + 6));
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(keys[1], false));
        reg.WriteString("Password", "kept");
    }
    SetRegistryStoreFile(dir_.File("cut2.dat"));
    testsupport::WriteFile(dir_.File("cut2.dat"), ReadFile(cut));
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(keys[1]));
    EXPECT_FALSE(reg.CutShort());
    EXPECT_EQ(reg.ReadString("Password"), "kept");
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\" + keys[3]));
    EXPECT_TRUE(reg.CutShort());
    EXPECT_FALSE(reg.KeyExists("\\" + keys[5]));
    reg.CloseKey();
    ASSERT_TRUE(reg.DeleteKey("\\" + keys[3]));
    ASSERT_TRUE(reg.OpenKey("\\" + keys[3], true));
    EXPECT_FALSE(reg.CutShort());
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Soft"));
    EXPECT_FALSE(reg.CutShort());

    // A file of the first version, which had no end line, is cut only where its last line breaks off.
    std::string first = "PathweaverRegistry 1\nK :Old\nV :Name sz :whole\n";
    SetRegistryStoreFile(dir_.File("first.dat"));
    testsupport::WriteFile(dir_.File("first.dat"), first);
    TRegistry old;
    ASSERT_TRUE(old.OpenKeyReadOnly("\\Old"));
    EXPECT_FALSE(old.CutShort());
    testsupport::WriteFile(dir_.File("first.dat"), first.substr(0, first.size() - 3));
    ASSERT_TRUE(old.OpenKeyReadOnly("\\Old"));
    EXPECT_TRUE(old.CutShort());
    EXPECT_EQ(old.ReadString("Name"), "who");
}

TEST_F(RegistryTest, IniStyleAccessOverAKey) {
    {
        TRegistryIniFile ini("Software\\Test\\Layout");
        EXPECT_FALSE(ini.SectionExists("Main"));
        EXPECT_EQ(ini.ReadInteger("Main", "BarCount", -1), -1);
        ini.WriteInteger("Main", "BarCount", 2);
        ini.WriteBool("Main", "LargeIcons", true);
        ini.WriteString("Bar0", "Caption", "Main menu");
        ini.WriteString("Bar0", "Row", "7");
        ini.WriteInteger("Bar0", "Row", 8); // text stays text
        ini.WriteString("Bar1", "Caption", "Tools");
        ini.UpdateFile();
    }
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Test\\Layout\\Main", false));
    EXPECT_EQ(reg.GetDataType("BarCount"), rdInteger);
    ASSERT_TRUE(reg.OpenKey("\\Software\\Test\\Layout\\Bar0", false));
    EXPECT_EQ(reg.GetDataType("Row"), rdString);

    TRegistryIniFile ini("Software\\Test\\Layout");
    EXPECT_EQ(ini.ReadInteger("MAIN", "barcount", 0), 2);
    EXPECT_TRUE(ini.ReadBool("Main", "LargeIcons", false));
    EXPECT_EQ(ini.ReadString("Main", "BarCount", ""), "2");
    EXPECT_EQ(ini.ReadInteger("Bar0", "Row", 0), 8);
    EXPECT_EQ(ini.ReadInteger("Bar0", "Caption", -5), -5);
    Names sections, values;
    ini.ReadSections(sections);
    EXPECT_EQ(sections, (Names{"Bar0", "Bar1", "Main"}));
    ini.ReadSectionValues("Bar0", values);
    EXPECT_EQ(values, (Names{"Caption=Main menu", "Row=8"}));
    EXPECT_TRUE(ini.ValueExists("bar1", "CAPTION"));
    ini.DeleteKey("Bar1", "Caption");
    EXPECT_FALSE(ini.ValueExists("Bar1", "Caption"));
    ini.EraseSection("Bar0");
    EXPECT_FALSE(ini.SectionExists("Bar0"));
    EXPECT_EQ(ini.SectionNames(), (Names{"Bar1", "Main"}));
}

TEST(RegistryStoreFormat, RandomTreesRoundTripAndDamagedTextParsesSafely) {
    std::mt19937 random(2024);
    auto randomText = [&](size_t maxLength, bool allowBackslash) {
        std::string text(random() % (maxLength + 1), ' ');
        for (char& c : text) {
            do
                c = static_cast<char>(random() % 256);
            while (!allowBackslash && c == '\\');
        }
        return text;
    };
    for (int round = 0; round < 200; ++round) {
        reg_detail::RegKey root;
        for (int k = 0; k < 5; ++k) {
            reg_detail::KeyPath path;
            for (int depth = 1 + static_cast<int>(random() % 3); depth > 0; --depth) {
                std::string name = randomText(12, false);
                path.push_back(name.empty() ? "x" : name);
            }
            reg_detail::RegKey& key = reg_detail::EnsureKey(root, path);
            for (int v = static_cast<int>(random() % 4); v > 0; --v) {
                const auto type = static_cast<reg_detail::ValueType>(random() % 4);
                std::string data = randomText(40, true);
                if (type == reg_detail::ValueType::DWord) data.resize(4, '\x7F');
                const std::string name = randomText(10, true);
                if (!key.FindValue(name)) key.SetValue(name, type, data);
            }
        }
        const std::string text = reg_detail::Serialize(root);
        reg_detail::RegKey reread;
        reg_detail::Parse(text, reread);
        ASSERT_EQ(reg_detail::Serialize(reread), text) << "round " << round;
    }

    // Damaged or hostile text never crashes the reader, and what it makes of it writes back stably.
    const std::string pieces[] = {"K",    "V",    " :",      ":",        "%",          "%4",          "%41",
                                  "%G0",  " sz ", " dword ", " binary ", "4294967296", "99999999999", "\n",
                                  "\r\n", "\\",   " ",       "x",        "\xFF"};
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        for (int n = static_cast<int>(random() % 30); n > 0; --n)
            text += random() % 5 ? pieces[random() % std::size(pieces)] : randomText(3, true);
        reg_detail::RegKey root;
        reg_detail::Parse(text, root);
        const std::string once = reg_detail::Serialize(root);
        reg_detail::RegKey again;
        reg_detail::Parse(once, again);
        ASSERT_EQ(reg_detail::Serialize(again), once) << "input: " << text;
    }
}
