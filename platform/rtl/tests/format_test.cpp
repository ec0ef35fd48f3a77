#include "platform/rtl/exception.h"
#include "platform/rtl/format.h"

#include <gtest/gtest.h>

TEST(Format, DirectivesAsTheClassLibraryWritesThem) {
    EXPECT_EQ(Format("Cannot open file %s", "a b.qpw"), "Cannot open file a b.qpw");
    EXPECT_EQ(Format("List index out of bounds (%d)", -1), "List index out of bounds (-1)");
    EXPECT_EQ(Format("%x|%X", 255, 0x1FFFFFFF), "FF|1FFFFFFF");
    EXPECT_EQ(Format("%x", -1), "FFFFFFFF");
    EXPECT_EQ(Format("%5d|%-5d|%.3d", 42, 42, 7), "   42|42   |007");
    EXPECT_EQ(Format("100%% of %u", 3u), "100% of 3");
    EXPECT_EQ(Format("%.1f", 0.25), "0.2");
    EXPECT_EQ(Format("%d", INT64_MIN), "-9223372036854775808");
}

TEST(Format, BadDirectivesRaiseInsteadOfReadingPastTheArguments) {
    EXPECT_THROW(Format("%s %s", "one"), EConvertError);
    EXPECT_THROW(Format("%d", "text"), EConvertError);
    EXPECT_THROW(Format("%s", 5), EConvertError);
    EXPECT_THROW(Format("ends with %"), EConvertError);
    EXPECT_THROW(Format("%q", 1), EConvertError);
}
