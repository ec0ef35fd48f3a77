#include "platform/rtl/atomic_file.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/ini_file.h"
#include "platform/rtl/stream.h"
#include "platform/rtl/string_list.h"

#include "tests/support/temp_dir.h"
#include "tests/support/thrown_message.h"

#include <csignal>
#include <filesystem>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using testsupport::ReadFile;
using testsupport::ThrownMessage;

namespace {
class AtomicFile : public ::testing::Test {
protected:
    testsupport::TempDir dir_{"pw-atomic"};
    std::string at(const std::string& name) const { return dir_.File(name); }
    // Nothing but the named files: no temporary left behind.
    size_t entries() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(dir_.Path()), {}));
    }
    static unsigned mode(const std::string& path) {
        struct stat st {};
        ::stat(path.c_str(), &st);
        return st.st_mode & 07777;
    }
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
    const std::string target = at("SiteMap.dat");
    WriteFileAtomically(target, "first");
    EXPECT_EQ(ReadFile(target), "first");
    ::chmod(target.c_str(), 0640);
    WriteFileAtomically(target, std::string(100000, 'x'));
    EXPECT_EQ(ReadFile(target).size(), 100000u);
    EXPECT_EQ(mode(target), 0640u);
    WriteFileAtomically(target, "");
    EXPECT_EQ(ReadFile(target), "");
    EXPECT_EQ(entries(), 1u);

    // A new file can be made private from the start.
    WriteFileAtomically(at("registry"), "k=v", 0600);
    EXPECT_EQ(mode(at("registry")), 0600u);
}

TEST_F(AtomicFile, AFailedWriteKeepsThePreviousFileAndRaisesWithItsName) {
    const std::string target = at("profile.qpw");
    testsupport::WriteFile(target, "good old contents");
    {
        FileSizeLimit full(64);
        EXPECT_EQ(ThrownMessage<EFCreateError>([&] { WriteFileAtomically(target, std::string(1000, 'n')); }),
                  "Cannot create file " + target);
        // The savers built on it report the failure too.
        TStringList list;
        list.SetText(std::string(1000, '\n'));
        EXPECT_THROW(list.SaveToFile(target), EFCreateError);
        TMemoryStream m;
        m.WriteBuffer(std::string(1000, 'm').data(), 1000);
        EXPECT_THROW(m.SaveToFile(target), EFCreateError);
        TMemIniFile ini(target);
        ini.WriteString("Big", "v", std::string(1000, 'x'));
        EXPECT_THROW(ini.UpdateFile(), EFCreateError);
    }
    EXPECT_EQ(ReadFile(target), "good old contents");
    EXPECT_EQ(entries(), 1u);

    EXPECT_THROW(WriteFileAtomically(at("no/such/f"), "x"), EFCreateError);
    fs::create_directory(at("folder"));
    EXPECT_THROW(WriteFileAtomically(at("folder"), "x"), EFCreateError);
    EXPECT_TRUE(fs::is_directory(at("folder")));
    EXPECT_EQ(entries(), 2u);
}

TEST_F(AtomicFile, StreamCommitsOnlyWhenToldAndFollowsLinks) {
    const std::string target = at("forminfo.ini");
    testsupport::WriteFile(target, "before");
    {
        TAtomicFileStream s(target);
        s.WriteBuffer("abandoned", 9);
        EXPECT_EQ(ReadFile(target), "before"); // nothing visible until Commit
    }
    EXPECT_EQ(ReadFile(target), "before");
    EXPECT_EQ(entries(), 1u);
    {
        TAtomicFileStream s(target);
        s.WriteBuffer("hello world", 11);
        s.SetPosition(6);
        s.WriteBuffer("there", 5);
        s.SetPosition(0);
        char buf[5];
        s.ReadBuffer(buf, 5);
        EXPECT_EQ(std::string(buf, 5), "hello");
        s.Commit();
        EXPECT_EQ(s.Write("x", 1), 0); // closed after commit
    }
    EXPECT_EQ(ReadFile(target), "hello there");

    // Saving through a link replaces the file it names and leaves the link a link.
    testsupport::WriteFile(at("real.txt"), "old");
    fs::create_symlink("real.txt", at("link.txt"));
    WriteFileAtomically(at("link.txt"), "new");
    EXPECT_TRUE(fs::is_symlink(at("link.txt")));
    EXPECT_EQ(ReadFile(at("real.txt")), "new");
    EXPECT_EQ(entries(), 3u);
}

namespace {
// Starts a child process that writes target through a temporary, waits until it has written, and
// kills it there with SIGKILL, as a crash or an impatient user would.
void KillWhileWriting(const std::string& target) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        TAtomicFileStream s(target);
        s.WriteBuffer("half a page", 11);
        if (::write(ready[1], "w", 1) != 1) _exit(2);
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    char written = 0;
    const bool wrote = ::read(ready[0], &written, 1) == 1;
    ::close(ready[0]);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(wrote);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
}
} // namespace

TEST_F(AtomicFile, AKilledWriterLeavesOneTemporaryWhichTheNextWriteOfTheTargetRemoves) {
    const std::string target = at("sitemap.html");
    testsupport::WriteFile(target, "published");
    testsupport::WriteFile(at("other.html"), "other");
    // Names like ours that are not ours: another pattern, a link, another user's file.
    testsupport::WriteFile(at(".sitemap.html.backup.tmp"), "the user's");
    testsupport::WriteFile(at(".sitemap.html.abcdefgh.tmp.keep"), "the user's");
    fs::create_symlink("other.html", at(".sitemap.html.zzzzzzzz.tmp"));
    testsupport::WriteFile(at(".sitemap.html.nobody00.tmp"), "another user's");
    // Only root can give a file away; for anyone else it would be theirs, and swept.
    const bool strangerOwns = ::chown(at(".sitemap.html.nobody00.tmp").c_str(), 65534, 65534) == 0;
    if (!strangerOwns) fs::remove(at(".sitemap.html.nobody00.tmp"));
    const size_t before = entries();

    KillWhileWriting(at("other.html"));
    for (int kill = 0; kill < 3; ++kill) {
        KillWhileWriting(target);
        EXPECT_EQ(entries(), before + 2) << "one temporary per target after kill " << kill;
    }
    EXPECT_EQ(ReadFile(target), "published");

    // A live writer's temporary is locked: another write of the same target leaves it alone.
    {
        TAtomicFileStream live(target);
        live.WriteBuffer("live", 4);
        WriteFileAtomically(target, "next");
        EXPECT_EQ(entries(), before + 2) << "the killed writer's went, the live one's stayed";
        live.Commit();
    }
    EXPECT_EQ(ReadFile(target), "live");
    EXPECT_EQ(entries(), before + 1) << "the other target's temporary is that target's to remove";
    WriteFileAtomically(at("other.html"), "other again");
    EXPECT_EQ(entries(), before);
    EXPECT_EQ(ReadFile(at("other.html")), "other again");
    EXPECT_EQ(ReadFile(at(".sitemap.html.backup.tmp")), "the user's");
    EXPECT_TRUE(fs::is_symlink(at(".sitemap.html.zzzzzzzz.tmp")));
    EXPECT_TRUE(!strangerOwns || fs::exists(at(".sitemap.html.nobody00.tmp")));
}

TEST_F(AtomicFile, OnlyARegularFileIsReplacedEvenThroughALink) {
    ASSERT_EQ(::mkfifo(at("pipe").c_str(), 0600), 0);
    fs::create_symlink("pipe", at("settings.dat"));
    EXPECT_EQ(ThrownMessage<EFCreateError>([&] { WriteFileAtomically(at("settings.dat"), "x"); }),
              "Cannot create file " + at("settings.dat"));
    EXPECT_EQ(ThrownMessage<EFCreateError>([&] { WriteFileAtomically(at("pipe"), "x"); }),
              "Cannot create file " + at("pipe"));
    EXPECT_TRUE(fs::is_fifo(at("pipe")));
    // A device node of the test's own (root only), never a real one that a fault would destroy.
    if (::mknod(at("device").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        fs::create_symlink("device", at("forminfo.ini"));
        EXPECT_THROW(WriteFileAtomically(at("forminfo.ini"), "[x]"), EFCreateError);
        EXPECT_TRUE(fs::is_character_file(at("device")));
    }
    EXPECT_EQ(entries(), fs::exists(at("device")) ? 4u : 2u) << "no temporary left";

    // A link that leads nowhere is left, so that what it led to (a drive not mounted now) is not cut off.
    fs::create_symlink(at("unmounted/SiteMap.dat"), at("SiteMap.dat"));
    fs::create_symlink("loop.ini", at("loop.ini"));
    EXPECT_EQ(ThrownMessage<EFCreateError>([&] { WriteFileAtomicallyIfChanged(at("SiteMap.dat"), "x"); }),
              "Cannot create file " + at("SiteMap.dat") +
                  ": it is a symbolic link to a file that does not exist");
    EXPECT_EQ(ThrownMessage<EFCreateError>([&] { WriteFileAtomically(at("loop.ini"), "x"); }),
              "Cannot create file " + at("loop.ini") + ": it is a loop of symbolic links");
    EXPECT_EQ(fs::read_symlink(at("SiteMap.dat")), at("unmounted/SiteMap.dat"));
    EXPECT_TRUE(fs::is_symlink(at("loop.ini")));
}

TEST_F(AtomicFile, AFileThatHoldsTheBytesAlreadyIsNotWrittenAgain) {
    const auto inode = [](const std::string& path) {
        struct stat st {};
        ::stat(path.c_str(), &st);
        return st.st_ino;
    };
    const std::string target = at("forminfo.ini");
    EXPECT_TRUE(WriteFileAtomicallyIfChanged(target, "[Main]\nLeft=10\n"));
    const auto first = inode(target);
    EXPECT_FALSE(WriteFileAtomicallyIfChanged(target, "[Main]\nLeft=10\n"));
    EXPECT_EQ(inode(target), first) << "left alone, not replaced by a copy";
    // A last byte, a length, or a byte past the first block read that differs: replaced.
    EXPECT_TRUE(WriteFileAtomicallyIfChanged(target, "[Main]\nLeft=11\n"));
    EXPECT_EQ(ReadFile(target), "[Main]\nLeft=11\n");
    EXPECT_TRUE(WriteFileAtomicallyIfChanged(target, "[Main]\nLeft=11"));
    std::string big(100000, 'b');
    EXPECT_TRUE(WriteFileAtomicallyIfChanged(target, big));
    EXPECT_FALSE(WriteFileAtomicallyIfChanged(target, big));
    big[50000] = 'c';
    EXPECT_TRUE(WriteFileAtomicallyIfChanged(target, big));
    EXPECT_EQ(ReadFile(target), big);

    // Through a link the file it names is compared, and the link stays.
    fs::create_symlink("forminfo.ini", at("link.ini"));
    EXPECT_FALSE(WriteFileAtomicallyIfChanged(at("link.ini"), big));
    EXPECT_TRUE(WriteFileAtomicallyIfChanged(at("link.ini"), "new"));
    EXPECT_TRUE(fs::is_symlink(at("link.ini")));
    EXPECT_EQ(ReadFile(target), "new");
    // What is no regular file is refused as before, whatever it reads as.
    ASSERT_EQ(::mkfifo(at("pipe").c_str(), 0600), 0);
    EXPECT_THROW(WriteFileAtomicallyIfChanged(at("pipe"), ""), EFCreateError);
    EXPECT_EQ(entries(), 3u) << "no temporary left";
}
