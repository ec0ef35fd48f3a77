// The network library loaded ahead, on a thread of its own, in a process that has not loaded it yet.
#include "platform/net/curl_preload.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

TEST(CurlPreload, TheLibraryIsLoadedByAThreadOfItsOwnWhileTheCallerGoesOn) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            if (net_detail::LibraryLoader() != std::thread::id()) std::_Exit(2);
            net::PreloadNetworkLibrary();
            net::PreloadNetworkLibrary();
            const bool loaded = testsupport::WaitUntil(
                [] { return net_detail::LibraryLoader() != std::thread::id(); }, std::chrono::seconds(20));
            std::_Exit(!loaded ? 3 : net_detail::LibraryLoader() == std::this_thread::get_id() ? 4 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
