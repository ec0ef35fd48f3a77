#pragma once
// The geometry of the colour popup: where its default cell, colour cells, system colours, custom cell
// and custom-colour panel (a comb of hexagons, a row of greys and an intensity slider) lie, which cell
// a point hits, and the colours of the comb.
#include <array>
#include <string>
#include <vector>

#include "platform/rtl/colors.h"
#include "platform/rtl/wintypes.h"

namespace colorpicker {

// Cells 0 .. 39 are the named colours, 40 .. 64 the system colours.
inline constexpr int kNoCell = -1;
inline constexpr int kCustomCell = -2;
inline constexpr int kDefaultCell = -3;

// A hexagon of the comb or the grey row: its centre's offset and its colour.
struct CombCell {
    int X = 0;
    int Y = 0;
    TColor Color = 0;
};

// Channels from 0 to 1.
struct ColorChannels {
    float R = 1, G = 1, B = 1;
};

class ColorGrid {
public:
    ColorGrid();

    // What the popup shows; ComputeLayout takes them into account.
    std::string DefaultText;
    std::string CustomText;
    bool ShowSystemColors = false;
    int PopupSpacing = 8;
    // The system's edge width.
    int EdgeWidth = 2;

    static constexpr int kColumnCount = 8;
    static constexpr int kCellSize = 18;
    int RowCount() const { return rowCount_; }
    int SystemRowCount() const { return systemRowCount_; }
    // The last colour cell: 64 with the system colours, else 39.
    int LastCell() const;
    bool HasDefault() const { return !DefaultText.empty(); }
    bool HasCustom() const { return !CustomText.empty(); }

    // Lays the popup out; TextSize is the larger measure of the two texts in the popup's font (0 x 0
    // when both are empty).
    void ComputeLayout(SIZE TextSize);
    const TRect& WindowRect() const { return windowRect_; }
    const TRect& DefaultTextRect() const { return defaultTextRect_; }
    const TRect& CustomTextRect() const { return customTextRect_; }
    const TRect& CustomSwatchRect() const { return customSwatchRect_; }
    const TRect& CombRect() const { return combRect_; }
    const TRect& GrayRowRect() const { return grayRowRect_; }
    const TRect& SliderRect() const { return sliderRect_; }
    int CombRadius() const { return combRadius_; }
    int CombCellSize() const { return combCellSize_; }
    // The y of the etched line above the system colours.
    int SystemLineY() const;

    // The cell under a client point.
    int CellAt(int X, int Y) const;
    // The cell of a row and column of the grid; -2 and -3 stand for the custom and default cells.
    int CellIndex(int Row, int Column) const;
    // A colour cell's square, or the custom or default cell's text rectangle; empty for others.
    TRect CellRect(int Index) const;
    // The value a colour cell stands for (a named colour, or a system colour value).
    static TColor CellColor(int Index);
    static std::string_view CellName(int Index);

    // The comb's centre colour follows the intensity; changing it discards the comb.
    ColorChannels CenterColor() const { return centerColor_; }
    void SetCenterColor(ColorChannels Value);
    // 127 hexagons for 7 levels, centred on (0, 0); made on first use.
    const std::vector<CombCell>& CombCells();
    // 17 hexagons, offsets from the grey row's top-left corner.
    const std::vector<CombCell>& GrayCells();
    bool CombBuilt() const { return !combCells_.empty(); }
    void DiscardComb() { combCells_.clear(); }
    // Client coordinates of a comb or grey cell's centre.
    POINT CombCellCenter(int Index);
    POINT GrayCellCenter(int Index);
    // Grey cells 0 and 16 are drawn and hit at double size.
    static bool BigGrayCell(int Index) { return Index == 0 || Index == 16; }
    // The first cell within reach of a client point, else -1.
    int CombCellNear(POINT P);
    int GrayCellNear(POINT P);
    // Half-unit vectors at 90, 30, -30 ... degrees.
    static const std::array<double, 6>& DirectionX();
    static const std::array<double, 6>& DirectionY();

private:
    void BuildComb();
    void BuildGrays();

    int rowCount_ = 5;
    int systemRowCount_ = 4;
    int combLevels_ = 7;
    int combRadius_ = 66;
    int combCellSize_ = 11;
    TRect windowRect_{0, 0, 0, 0};
    TRect defaultTextRect_{0, 0, 0, 0};
    TRect customTextRect_{0, 0, 0, 0};
    TRect customSwatchRect_{0, 0, 0, 0};
    TRect combRect_{0, 0, 0, 0};
    TRect grayRowRect_{0, 0, 0, 0};
    TRect sliderRect_{0, 0, 0, 0};
    ColorChannels centerColor_;
    std::vector<CombCell> combCells_;
    std::vector<CombCell> grayCells_;
};

// Rounds halves to the even neighbour, as the original arithmetic does.
int RoundEven(double Value);

} // namespace colorpicker
