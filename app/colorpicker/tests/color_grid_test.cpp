#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "app/colorpicker/color_grid.h"
#include "app/colorpicker/color_tables.h"

using namespace colorpicker;

namespace {

// The options window's pickers: "None" and "More Colors", 8 pixels of margin; the texts measure 60 x 13.
ColorGrid OptionsGrid(bool systemColors) {
    ColorGrid grid;
    grid.DefaultText = "None";
    grid.CustomText = "More Colors";
    grid.ShowSystemColors = systemColors;
    grid.ComputeLayout(SIZE{60, 13});
    return grid;
}

POINT Center(const TRect& r) {
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

} // namespace

TEST(ColorGrid, LayoutOfTheOptionsPickers) {
    ColorGrid fresh;
    EXPECT_EQ(fresh.CombRadius(), 66) << "before the first layout";
    EXPECT_EQ(fresh.CombCellSize(), 11);

    ColorGrid grid = OptionsGrid(false);
    EXPECT_EQ(grid.WindowRect().right, 8 * 18 + 2 * 2 + 16);
    EXPECT_EQ(grid.CombRadius(), 63);
    EXPECT_EQ(grid.CombCellSize(), 11);
    // Texts 13 high: cells of 13 + 4 x 2 + 2 = 23.
    EXPECT_EQ(grid.DefaultTextRect(), (TRect{10, 4, 154, 27}));
    EXPECT_EQ(grid.CustomTextRect(), (TRect{10, 125, 154, 148}));
    EXPECT_EQ(grid.WindowRect().bottom, 152);
    EXPECT_EQ(grid.CustomSwatchRect(), (TRect{140, 130, 152, 142}));
    EXPECT_EQ(grid.CombRect(), (TRect{10, 152, 136, 278}));
    EXPECT_EQ(grid.SliderRect(), (TRect{136, 163, 156, 267}));
    EXPECT_EQ(grid.GrayRowRect().bottom, 278 + 22);

    // A text wider than the grid widens the window; system colours add four rows and a gap.
    ColorGrid wide;
    wide.DefaultText = "Automatic colour of the page";
    wide.ComputeLayout(SIZE{200, 13});
    EXPECT_EQ(wide.WindowRect().right, 204);
    EXPECT_EQ(OptionsGrid(true).WindowRect().bottom, 152 + 4 * 18 + 4);
    ColorGrid bare;
    bare.ComputeLayout(SIZE{0, 0});
    EXPECT_EQ(bare.WindowRect(), (TRect{0, 0, 164, 98}));
}

TEST(ColorGrid, EveryCellIsFoundAtItsOwnPlace) {
    for (bool system : {false, true}) {
        for (bool texts : {false, true}) {
            ColorGrid grid;
            grid.ShowSystemColors = system;
            if (texts) {
                grid.DefaultText = "None";
                grid.CustomText = "More Colors";
            }
            grid.ComputeLayout(texts ? SIZE{60, 13} : SIZE{0, 0});
            for (int i = 0; i <= grid.LastCell(); ++i)
                EXPECT_EQ(grid.CellAt(Center(grid.CellRect(i)).x, Center(grid.CellRect(i)).y), i)
                    << i << (system ? " with" : " without") << " system colours";
            EXPECT_EQ(grid.LastCell(), system ? 64 : 39);
            if (texts) {
                EXPECT_EQ(grid.CellAt(80, Center(grid.DefaultTextRect()).y), kDefaultCell);
                EXPECT_EQ(grid.CellAt(80, Center(grid.CustomTextRect()).y), kCustomCell);
            } else {
                EXPECT_EQ(grid.CellRect(kDefaultCell), (TRect{0, 0, 0, 0}));
            }
            EXPECT_EQ(grid.CellAt(grid.PopupSpacing, 30), kNoCell) << "the left margin";
            EXPECT_EQ(grid.CellAt(160, 30), kNoCell) << "right of the last column";
        }
    }
    // The gap between the named and the system colours hits nothing; the last system row has one cell.
    ColorGrid grid = OptionsGrid(true);
    const TRect last = grid.CellRect(39), first = grid.CellRect(40);
    EXPECT_EQ(first.top - last.bottom, 6);
    EXPECT_EQ(grid.CellAt(Center(last).x, last.bottom + 4), kNoCell);
    EXPECT_EQ(grid.CellAt(Center(grid.CellRect(57)).x, Center(grid.CellRect(64)).y), kNoCell);
    EXPECT_EQ(grid.CellIndex(kCustomCell, 3), kCustomCell);
    EXPECT_EQ(grid.CellIndex(0, kDefaultCell), kDefaultCell);
    ColorGrid plain;
    plain.ComputeLayout(SIZE{0, 0});
    EXPECT_EQ(plain.CellIndex(kCustomCell, 0), kNoCell) << "no custom cell to stand for";
}

TEST(ColorGrid, CombAndGrayRow) {
    ColorGrid grid = OptionsGrid(false);
    const auto& comb = grid.CombCells();
    ASSERT_EQ(comb.size(), 127u);
    EXPECT_EQ(comb[0].Color, Rgb(255, 255, 255)) << "the centre takes the centre colour";
    // The six outer corners are the pure colours, each at the end of its sector's outer ring.
    std::set<std::pair<int, int>> places;
    for (const CombCell& cell : comb)
        EXPECT_TRUE(places.insert({cell.X, cell.Y}).second) << cell.X << "," << cell.Y;
    const TColor corners[6] = {Rgb(255, 0, 255), Rgb(255, 0, 0),   Rgb(255, 255, 0),
                               Rgb(0, 255, 0),   Rgb(0, 255, 255), Rgb(0, 0, 255)};
    for (int s = 0; s < 6; ++s) {
        const CombCell& outer = comb[static_cast<size_t>(1 + s * 21 + 15)];
        EXPECT_EQ(outer.Color, corners[s]) << "sector " << s;
        EXPECT_NEAR(std::hypot(outer.X, outer.Y), 0.866 * 63, 1.0);
    }
    EXPECT_EQ(comb[1 + 15].X, 0) << "the first sector's corner lies straight below the centre";
    EXPECT_GT(comb[1 + 15].Y, 0);

    const auto& grays = grid.GrayCells();
    ASSERT_EQ(grays.size(), 17u);
    EXPECT_EQ(grays[0].Color, Rgb(255, 255, 255));
    EXPECT_EQ(grays[1].Color, Rgb(225, 225, 225));
    EXPECT_EQ(grays[15].Color, Rgb(15, 15, 15));
    EXPECT_EQ(grays[16].Color, Rgb(0, 0, 0));
    EXPECT_EQ(grays[1].X, 33);
    EXPECT_EQ(grays[2].Y - grays[1].Y, 8) << "even cells sit lower";
    EXPECT_EQ(grid.GrayCellNear(grid.GrayCellCenter(16)), 16);
    EXPECT_EQ(grid.CombCellNear(grid.CombCellCenter(100)), 100);

    // A darker centre remakes the comb around it.
    grid.SetCenterColor(ColorChannels{0, 0, 0});
    EXPECT_FALSE(grid.CombBuilt());
    EXPECT_EQ(grid.CombCells()[0].Color, Rgb(0, 0, 0));
    EXPECT_EQ(grid.CombCells()[16].Color, Rgb(255, 0, 255)) << "the corners keep their colour";
}

TEST(ColorGrid, TablesAndRounding) {
    EXPECT_EQ(kNamedColors[16].Color, 0x0000FF) << "red is stored in the low byte";
    EXPECT_EQ(kNamedColors[13].Color, 0xFF0000);
    EXPECT_EQ(ColorGrid::CellName(39), "White");
    EXPECT_EQ(ColorGrid::CellColor(40), clScrollBar);
    EXPECT_EQ(ColorGrid::CellName(64), "system color: info background");
    EXPECT_EQ(ColorGrid::CellColor(65), clNone);
    EXPECT_EQ(RoundEven(10.5), 10);
    EXPECT_EQ(RoundEven(11.5), 12);
    EXPECT_EQ(RoundEven(-0.5), 0);
}
