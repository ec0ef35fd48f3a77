#include "app/core/form_placement.h"

#include "platform/rtl/files.h"
#include "test_env.h"

#include <gtest/gtest.h>

namespace {

using namespace appcore_test;

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
#define EXPECT_RECT(actual, l, t, r, b) EXPECT_TRUE(Same(actual, RECT{l, t, r, b}))

TEST(FormPlacement, StoredInItsSectionAndReadBack) {
    UserFolders folders;
    const std::string file = PlacementFilePath();
    EXPECT_EQ(file, folders.ConfigDir() + "forminfo.ini");
    EXPECT_FALSE(ReadFormPlacement(file, "frmSiteMapMain")) << "no file";

    SaveFormPlacement(file, "frmSiteMapMain", {psMaximized, RECT{100, 50, 900, 650}});
    EXPECT_EQ(ReadAll(file), "[frmSiteMapMainPosition]\nState=1\nTop=50\nLeft=100\nRight=900\nBottom=650\n");
    const auto placement = ReadFormPlacement(file, "frmSiteMapMain");
    ASSERT_TRUE(placement);
    EXPECT_EQ(placement->State, psMaximized);
    EXPECT_RECT(placement->NormalBounds, 100, 50, 900, 650);
    EXPECT_FALSE(ReadFormPlacement(file, "frmOther")) << "no section";

    EXPECT_TRUE(WriteIniInt(file, "frmSiteMapMainPosition", "Left", -1));
    EXPECT_FALSE(ReadFormPlacement(file, "frmSiteMapMain")) << "Left -1 means nothing stored";
    EXPECT_EQ(ReadIniInt(file, "frmSiteMapMainPosition", "Top", 0), 50);
    WriteAll(file, "[frmSiteMapMainPosition]\nLeft=abc\nState=9\n");
    EXPECT_EQ(ReadIniInt(file, "frmSiteMapMainPosition", "Left", 3), 3);
    EXPECT_FALSE(ReadFormPlacement(file, "frmSiteMapMain"));
    WriteAll(file, "[frmSiteMapMainPosition]\nLeft=5\nTop=5\nRight=500\nBottom=400\nState=9\n");
    EXPECT_EQ(ReadFormPlacement(file, "frmSiteMapMain")->State, psNormal);
}

TEST(FormPlacement, EdgesFarBeyondAnyScreenCountAsNothingStored) {
    UserFolders folders;
    const std::string file = PlacementFilePath();
    ASSERT_TRUE(ForceDirectories(folders.ConfigDir()));
    const std::pair<const char*, bool> cases[] = {
        {"Left=-2147483648\nTop=0\nRight=2147483647\nBottom=600", false},
        {"Left=0\nTop=-2147483648\nRight=800\nBottom=2147483647", false},
        {"Left=2147483000\nTop=0\nRight=2147483600\nBottom=600", false},
        {"Left=0\nTop=0\nRight=-2147483648\nBottom=600", false},
        {"Left=-1048577\nTop=0\nRight=800\nBottom=600", false},
        {"Left=-1048576\nTop=0\nRight=1048576\nBottom=600", true},
        {"Left=-1500\nTop=-20\nRight=-700\nBottom=580", true}, // a monitor left of the primary one
    };
    const RECT work{0, 0, 1920, 1040};
    for (const auto& [values, kept] : cases) {
        WriteAll(file, std::string("[frmSiteMapMainPosition]\n") + values + "\n");
        const auto placement = ReadFormPlacement(file, "frmSiteMapMain");
        EXPECT_EQ(placement.has_value(), kept) << values;
        if (!placement) continue;
        const RECT fitted = FitIntoWorkArea(placement->NormalBounds, work);
        const RECT restored = RestoredBounds(RECT{0, 0, 640, 480}, fitted, false);
        EXPECT_GE(restored.left, 0) << values;
        EXPECT_GE(restored.top, 0) << values;
    }
}

TEST(FormPlacement, InvertedOrEmptyBoundsCountAsNothingStored) {
    UserFolders folders;
    const std::string file = PlacementFilePath();
    ASSERT_TRUE(ForceDirectories(folders.ConfigDir()));
    const std::pair<const char*, bool> cases[] = {
        {"Left=1100\nTop=100\nRight=500\nBottom=600", false},
        {"Left=1048576\nTop=0\nRight=-1048576\nBottom=600", false},
        {"Left=100\nTop=600\nRight=900\nBottom=100", false},
        {"Left=300\nTop=100\nRight=300\nBottom=600", false},
        {"Left=100\nTop=250\nRight=900\nBottom=250", false},
        {"Left=300\nTop=100\nRight=301\nBottom=101", true},
    };
    for (const auto& [values, kept] : cases) {
        WriteAll(file, std::string("[frmSiteMapMainPosition]\n") + values + "\n");
        EXPECT_EQ(ReadFormPlacement(file, "frmSiteMapMain").has_value(), kept) << values;
    }
}

TEST(FormPlacement, BoundsComeOntoTheWorkAreaOfTheStoredCorner) {
    const std::vector<TMonitorArea> monitors = {
        {RECT{0, 0, 1920, 1080}, RECT{0, 0, 1920, 1040}},
        {RECT{1920, 0, 3200, 1024}, RECT{1920, 30, 3200, 1024}},
    };
    EXPECT_RECT(PlacementWorkArea(monitors, -1, true, POINT{2000, 100}), 0, 0, 1920, 1040)
        << "no main window: the primary monitor";
    EXPECT_RECT(PlacementWorkArea(monitors, 0, true, POINT{2000, 100}), 1920, 30, 3200, 1024);
    EXPECT_RECT(PlacementWorkArea(monitors, 1, true, POINT{-500, 100}), 1920, 30, 3200, 1024)
        << "a detached monitor: the main window's";
    EXPECT_RECT(PlacementWorkArea(monitors, 0, false, POINT{2000, 100}), 0, 0, 1920, 1040);
    EXPECT_RECT(PlacementWorkArea({}, -1, true, POINT{0, 0}), 0, 0, 0, 0);

    const RECT work{0, 0, 1920, 1040};
    EXPECT_RECT(FitIntoWorkArea(RECT{100, 100, 900, 700}, work), 100, 100, 900, 700);
    EXPECT_RECT(FitIntoWorkArea(RECT{1500, 900, 2300, 1500}, work), 1120, 440, 1920, 1040);
    EXPECT_RECT(FitIntoWorkArea(RECT{-3000, -50, -2200, 550}, work), 0, 0, 800, 600);
    // Wider and taller than the work area: its left and top edges line up.
    EXPECT_RECT(FitIntoWorkArea(RECT{500, 500, 2600, 1700}, work), 0, 0, 2100, 1200);

    const RECT current{0, 0, 640, 480};
    EXPECT_RECT(RestoredBounds(current, RECT{10, 20, 810, 620}, false), 10, 20, 810, 620);
    EXPECT_RECT(RestoredBounds(current, RECT{10, 20, 810, 620}, true), 10, 20, 650, 500);
    EXPECT_RECT(RestoredBounds(current, RECT{10, 20, 20, 30}, false), 10, 20, 650, 500)
        << "sizes of 10 or less are ignored";
    EXPECT_RECT(RestoredBounds(current, RECT{10, 20, 21, 31}, false), 10, 20, 21, 31);
    EXPECT_RECT(CenteredBounds(current, RECT{1920, 30, 3200, 1024}), 2240, 287, 2880, 767);
}

} // namespace
