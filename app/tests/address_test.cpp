#include <gtest/gtest.h>

#include "app/address_check.h"
#include "app/command_line.h"

using mainwin::AddressProblem;
using mainwin::CheckWebsiteAddress;

TEST(AddressCheck, CompletesAndRefuses) {
    std::string a = "  intranet/site/ ";
    EXPECT_EQ(CheckWebsiteAddress(a), AddressProblem::None);
    EXPECT_EQ(a, "http://intranet/site/");
    a = "HTTP://INTRANET/SITE/";
    EXPECT_EQ(CheckWebsiteAddress(a), AddressProblem::None);
    EXPECT_EQ(a, "http://INTRANET/SITE/");
    a = "Https://x.org";
    EXPECT_EQ(CheckWebsiteAddress(a), AddressProblem::None);
    EXPECT_EQ(a, "https://x.org");
    a = "ab";
    EXPECT_EQ(CheckWebsiteAddress(a), AddressProblem::None);
    EXPECT_EQ(a, "http://ab");
    for (std::string empty : {"", "   ", "http://", "HTTPS://"}) {
        EXPECT_EQ(CheckWebsiteAddress(empty), AddressProblem::Empty) << empty;
    }
    a = "ftp://x";
    EXPECT_EQ(CheckWebsiteAddress(a), AddressProblem::NoScheme);
    // A scheme in the middle is not one at the start.
    a = "www.site/http://";
    EXPECT_EQ(CheckWebsiteAddress(a), AddressProblem::None);
    EXPECT_EQ(a, "http://www.site/http://");
}

TEST(AddressCheck, RootSlash) {
    EXPECT_EQ(mainwin::WithRootSlash("http://host"), "http://host/");
    EXPECT_EQ(mainwin::WithRootSlash("http://host/"), "http://host/");
    EXPECT_EQ(mainwin::WithRootSlash("http://host/a/b"), "http://host/a/b");
}

TEST(CommandLine, AutoSwitchAndProfile) {
    EXPECT_TRUE(mainwin::IsAutoSwitch("-AUTO"));
    EXPECT_TRUE(mainwin::IsAutoSwitch("--Auto"));
    EXPECT_TRUE(mainwin::IsAutoSwitch("/auto"));
    EXPECT_FALSE(mainwin::IsAutoSwitch("-autox"));
    EXPECT_FALSE(mainwin::IsAutoSwitch("auto"));
    EXPECT_FALSE(mainwin::IsAutoSwitch("---auto"));
    const std::string self = PW_TEST_DATA_DIR "/address_test.cpp";
    EXPECT_EQ(mainwin::FirstExistingFile({"-auto", "/no/such/file", PW_TEST_DATA_DIR, self, "/etc/hostname"}),
              self);
    EXPECT_EQ(mainwin::FirstExistingFile({"-auto", "/no/such"}), "");
    EXPECT_TRUE(mainwin::HasAutoSwitch({self, "/AUTO"}));
    EXPECT_FALSE(mainwin::HasAutoSwitch({self}));
}
