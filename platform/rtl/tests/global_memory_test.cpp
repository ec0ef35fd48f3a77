#include <gtest/gtest.h>

#include <cstring>

#include "platform/rtl/global_memory.h"

TEST(GlobalMemory, BlocksKeepTheirBytesUntilFreedAndHandlesAreNotReused) {
    HGLOBAL a = GlobalAlloc(GMEM_MOVEABLE, 6);
    HGLOBAL b = GlobalAlloc(GMEM_MOVEABLE, 0);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    EXPECT_EQ(GlobalSize(a), 6u);
    EXPECT_EQ(GlobalSize(b), 0u);
    auto* bytes = static_cast<char*>(GlobalLock(a));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::memcmp(bytes, "\0\0\0\0\0\0", 6), 0) << "new blocks are zeroed";
    std::memcpy(bytes, "abcdef", 6);
    EXPECT_TRUE(GlobalLock(a) == bytes) << "a block keeps its address";
    EXPECT_TRUE(GlobalUnlock(a)) << "still locked once";
    EXPECT_FALSE(GlobalUnlock(a));
    EXPECT_FALSE(GlobalUnlock(a)) << "not locked";
    EXPECT_EQ(std::memcmp(GlobalLock(a), "abcdef", 6), 0);
    GlobalUnlock(a);

    EXPECT_EQ(GlobalFree(a), nullptr);
    EXPECT_EQ(GlobalFree(a), a) << "freed already";
    EXPECT_EQ(GlobalLock(a), nullptr);
    EXPECT_EQ(GlobalSize(a), 0u);
    HGLOBAL c = GlobalAlloc(GMEM_MOVEABLE, 6);
    EXPECT_NE(c, a);
    GlobalFree(b);
    GlobalFree(c);
}
