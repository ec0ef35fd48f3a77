#include "platform/rtl/atomic_file.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/stream.h"
#include "platform/rtl/string_list.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {
class AtomicFile : public ::testing::Test {
protected:
    fs::path dir = fs::temp_directory_path() / ("pw_atomic_" + std::to_string(::getpid()));
    void SetUp() override {
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    static std::string read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void write(const fs::path& p, const std::string& s) { std::ofstream(p, std::ios::binary) << s; }
    // Nothing but the named files: no temporary left behind.
    size_t entries() const { return static_cast<size_t>(std::distance(fs::directory_iterator(dir), {})); }
};

// Makes every write past `limit` bytes fail with EFBIG, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit l = old_;
        l.rlim_cur = limit;
        ::setrlimit(RLIMIT_FSIZE, &l);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};
} // namespace

TEST_F(AtomicFile, ReplacesWholeAndKeepsTheModeOfTheOldFile) {
    const fs::path target = dir / "SiteMap.dat";
    WriteFileAtomically(target.string(), "first");
    EXPECT_EQ(read(target), "first");
    ::chmod(target.c_str(), 0640);
    WriteFileAtomically(target.string(), std::string(100000, 'x'));
    EXPECT_EQ(read(target).size(), 100000u);
    struct stat st {};
    ::stat(target.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    WriteFileAtomically(target.string(), "");
    EXPECT_EQ(read(target), "");
    EXPECT_EQ(entries(), 1u);

    // A new file can be made private from the start.
    const fs::path secret = dir / "registry";
    WriteFileAtomically(secret.string(), "k=v", 0600);
    ::stat(secret.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(AtomicFile, AFailedWriteKeepsThePreviousFileAndRaisesWithItsName) {
    const fs::path target = dir / "profile.qpw";
    write(target, "good old contents");
    {
        FileSizeLimit full(64);
        try {
            WriteFileAtomically(target.string(), std::string(1000, 'n'));
            FAIL() << "a write past the size limit must fail";
        } catch (const EFCreateError& e) {
            EXPECT_EQ(e.Message(), "Cannot create file " + target.string());
        }
        TStringList list;
        for (int i = 0; i < 100; ++i)
            list.Add("line " + std::to_string(i));
        EXPECT_THROW(list.SaveToFile(target.string()), EFCreateError);
        TMemoryStream m;
        m.WriteBuffer(std::string(1000, 'm').data(), 1000);
        EXPECT_THROW(m.SaveToFile(target.string()), EFCreateError);
    }
    EXPECT_EQ(read(target), "good old contents");
    EXPECT_EQ(entries(), 1u);

    EXPECT_THROW(WriteFileAtomically((dir / "no" / "such" / "f").string(), "x"), EFCreateError);
    fs::create_directory(dir / "folder");
    EXPECT_THROW(WriteFileAtomically((dir / "folder").string(), "x"), EFCreateError);
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
    EXPECT_EQ(entries(), 2u);
}

TEST_F(AtomicFile, StreamCommitsOnlyWhenToldAndFollowsLinks) {
    const fs::path target = dir / "forminfo.ini";
    write(target, "before");
    {
        TAtomicFileStream s(target.string());
        s.WriteBuffer("abandoned", 9);
        EXPECT_EQ(read(target), "before"); // nothing visible until Commit
    }
    EXPECT_EQ(read(target), "before");
    EXPECT_EQ(entries(), 1u);
    {
        TAtomicFileStream s(target.string());
        s.WriteBuffer("hello world", 11);
        s.SetPosition(6);
        s.WriteBuffer("there", 5);
        s.SetPosition(0);
        char buf[5];
        s.ReadBuffer(buf, 5);
        EXPECT_EQ(std::string(buf, 5), "hello");
        s.Commit();
        EXPECT_TRUE(s.Committed());
        EXPECT_EQ(s.Write("x", 1), 0); // closed after commit
    }
    EXPECT_EQ(read(target), "hello there");

    // Saving through a link replaces the file it names and leaves the link a link.
    const fs::path real = dir / "real.txt";
    const fs::path link = dir / "link.txt";
    write(real, "old");
    fs::create_symlink(real.filename(), link);
    WriteFileAtomically(link.string(), "new");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(read(real), "new");
    EXPECT_EQ(entries(), 3u);
}
