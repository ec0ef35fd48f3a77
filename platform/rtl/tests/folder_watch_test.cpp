// A folder watch wakes its thread for a file written, renamed or removed in the folder by anyone, takes a
// burst of changes as one, and ends a wait without end when stopped.
#include "platform/rtl/folder_watch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <thread>

#include "tests/support/temp_dir.h"

using pw::rtl::FolderWatch;
using pw::rtl::WatchResult;

namespace {

TEST(FolderWatch, FilesThatAppearChangeOrGoAreReportedOnceABurst) {
    testsupport::TempDir dir;
    FolderWatch watch(dir.Path());
    ASSERT_TRUE(watch.Watching());
    EXPECT_EQ(watch.Wait(0), WatchResult::Timeout);

    for (int i = 0; i < 20; ++i)
        testsupport::WriteFile(dir.File("page.html"), std::string(static_cast<size_t>(i), 'x'));
    EXPECT_EQ(watch.Wait(-1), WatchResult::Changed);
    EXPECT_EQ(watch.Wait(0), WatchResult::Timeout) << "the burst was taken whole";

    ASSERT_EQ(std::rename(dir.File("page.html").c_str(), dir.File("other.html").c_str()), 0);
    EXPECT_EQ(watch.Wait(-1), WatchResult::Changed);
    ASSERT_EQ(std::remove(dir.File("other.html").c_str()), 0);
    EXPECT_EQ(watch.Wait(-1), WatchResult::Changed);
    EXPECT_EQ(watch.Wait(0), WatchResult::Timeout);
}

TEST(FolderWatch, AChangeInASubfolderOrElsewhereIsNotTheFolders) {
    testsupport::TempDir dir, elsewhere;
    testsupport::WriteFile(dir.File("sub/a.txt"), "a");
    FolderWatch watch(dir.Path());
    testsupport::WriteFile(dir.File("sub/a.txt"), "b");
    testsupport::WriteFile(elsewhere.File("a.txt"), "b");
    EXPECT_EQ(watch.Wait(0), WatchResult::Timeout);
}

TEST(FolderWatch, StopEndsAWaitWithoutEndFromAnotherThread) {
    testsupport::TempDir dir;
    FolderWatch watch(dir.Path());
    std::thread stopper([&] { watch.Stop(); });
    EXPECT_EQ(watch.Wait(-1), WatchResult::Stopped);
    stopper.join();
    EXPECT_EQ(watch.Wait(-1), WatchResult::Stopped) << "for good";

    FolderWatch missing(dir.File("not-there"));
    EXPECT_FALSE(missing.Watching());
    EXPECT_EQ(missing.Wait(0), WatchResult::Timeout);
    missing.Stop();
    EXPECT_EQ(missing.Wait(-1), WatchResult::Stopped);
}

} // namespace
