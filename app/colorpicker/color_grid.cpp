#include "app/colorpicker/color_grid.h"

#include <cmath>

#include "app/colorpicker/color_tables.h"

namespace colorpicker {
namespace {

constexpr double kPi = 3.14159265358979323846;
const double kCos30 = std::cos(kPi / 6);
const double kSin30 = 0.5;

// Magenta, red, yellow, green, cyan and blue: the outer corners of the six sectors.
constexpr ColorChannels kCornerColors[6] = {{1, 0, 1}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 1, 1}, {0, 0, 1}};

TColor ChannelsToColor(double r, double g, double b) {
    return Rgb(RoundEven(255 * r), RoundEven(255 * g), RoundEven(255 * b));
}

int DivRoundUp(int a, int b) {
    return a / b + (a % b != 0 ? 1 : 0);
}

} // namespace

int RoundEven(double Value) {
    return static_cast<int>(std::nearbyint(Value));
}

ColorGrid::ColorGrid() = default;

const std::array<double, 6>& ColorGrid::DirectionX() {
    static const std::array<double, 6> x = [] {
        std::array<double, 6> v{};
        for (int i = 0; i < 6; ++i)
            v[i] = std::cos((90 - 60 * i) * kPi / 180) / 2;
        return v;
    }();
    return x;
}

const std::array<double, 6>& ColorGrid::DirectionY() {
    static const std::array<double, 6> y = [] {
        std::array<double, 6> v{};
        for (int i = 0; i < 6; ++i)
            v[i] = std::sin((90 - 60 * i) * kPi / 180) / 2;
        return v;
    }();
    return y;
}

int ColorGrid::LastCell() const {
    return ShowSystemColors ? kNamedColorCount + kSystemColorCount - 1 : kNamedColorCount - 1;
}

void ColorGrid::ComputeLayout(SIZE TextSize) {
    const int edge = EdgeWidth;
    const int spacing = PopupSpacing;
    int textWidth = 0, textHeight = 0;
    if (HasDefault() || HasCustom()) {
        textWidth = TextSize.cx + 2 * edge;
        textHeight = TextSize.cy + 4 * edge + 2;
    }
    rowCount_ = DivRoundUp(kNamedColorCount, kColumnCount);
    windowRect_ =
        TRect{0, 0, kColumnCount * kCellSize + 2 * edge + 2 * spacing, rowCount_ * kCellSize + 4 * edge};
    combRadius_ = static_cast<int>(kColumnCount * kCellSize * 7 / 16.0);
    combCellSize_ = RoundEven(static_cast<double>(combRadius_) / (combLevels_ - 1) + 0.5);

    defaultTextRect_ = TRect{0, 0, 0, 0};
    if (HasDefault()) {
        if (windowRect_.right < textWidth) windowRect_.right = textWidth;
        defaultTextRect_ =
            TRect{edge + spacing, 2 * edge, windowRect_.right - edge - spacing, 2 * edge + textHeight};
        windowRect_.bottom += textHeight + 2 * edge;
    }
    if (ShowSystemColors) {
        systemRowCount_ = DivRoundUp(kSystemColorCount, kColumnCount);
        windowRect_.bottom += systemRowCount_ * kCellSize + 2 * edge;
    }
    customTextRect_ = customSwatchRect_ = TRect{0, 0, 0, 0};
    if (HasCustom()) {
        if (windowRect_.right < textWidth) windowRect_.right = textWidth;
        customTextRect_ = TRect{edge + spacing, windowRect_.bottom, windowRect_.right - edge - spacing,
                                windowRect_.bottom + textHeight};
        const int swatch = kCellSize - 2 * (edge + 1);
        const int right = customTextRect_.right - edge;
        const int top = customTextRect_.top + (textHeight - swatch) / 2;
        customSwatchRect_ = TRect{right - swatch, top, right, top + swatch};
        windowRect_.bottom += textHeight + 2 * edge;
    }
    const int left = edge + spacing;
    const int c = combCellSize_;
    combRect_ = TRect{left, windowRect_.bottom, left + 2 * combRadius_, windowRect_.bottom + 2 * combRadius_};
    grayRowRect_ = TRect{combRect_.left, combRect_.bottom - 4, RoundEven(kCos30 * 17 * c / 2) + 6 * c,
                         combRect_.bottom + 2 * c};
    sliderRect_ = TRect{combRect_.right, combRect_.top + c, combRect_.right + 20, combRect_.bottom - c};
    // Cells are placed by the radius the comb was made for.
    DiscardComb();
    grayCells_.clear();
}

int ColorGrid::SystemLineY() const {
    int y = rowCount_ * kCellSize + EdgeWidth;
    if (HasDefault()) y += defaultTextRect_.bottom;
    return y;
}

int ColorGrid::CellAt(int X, int Y) const {
    const POINT p{X, Y};
    if (HasCustom() && PtInRect(customTextRect_, p)) return kCustomCell;
    if (HasDefault() && PtInRect(defaultTextRect_, p)) return kDefaultCell;
    if (HasDefault()) Y -= defaultTextRect_.bottom - defaultTextRect_.top;
    if (X <= PopupSpacing) return kNoCell;
    const int x = X - PopupSpacing;
    int y = Y - (5 * EdgeWidth) / 2;
    if (x < 0 || y < 0) return kNoCell;
    if (ShowSystemColors && y / kCellSize >= rowCount_) {
        y -= 3 * EdgeWidth;
        // The gap between the named and the system colours.
        if (y / kCellSize < rowCount_) return kNoCell;
    }
    return CellIndex(y / kCellSize, x / kCellSize);
}

int ColorGrid::CellIndex(int Row, int Column) const {
    if (Row == kCustomCell || Column == kCustomCell) return HasCustom() ? kCustomCell : kNoCell;
    if (Row == kDefaultCell || Column == kDefaultCell) return HasDefault() ? kDefaultCell : kNoCell;
    if (Column < 0 || Column >= kColumnCount || Row < 0) return kNoCell;
    if (Row < rowCount_) {
        const int index = Row * kColumnCount + Column;
        return index < kNamedColorCount ? index : kNoCell;
    }
    if (ShowSystemColors && Row - rowCount_ < systemRowCount_) {
        const int index = kNamedColorCount + (Row - rowCount_) * kColumnCount + Column;
        return index < kNamedColorCount + kSystemColorCount ? index : kNoCell;
    }
    return kNoCell;
}

TRect ColorGrid::CellRect(int Index) const {
    if (Index == kCustomCell) return customTextRect_;
    if (Index == kDefaultCell) return defaultTextRect_;
    if (Index < 0 || Index > kNamedColorCount + kSystemColorCount - 1) return TRect{0, 0, 0, 0};
    const int x = (Index % kColumnCount) * kCellSize + EdgeWidth + PopupSpacing;
    int y = (Index / kColumnCount) * kCellSize + 2 * EdgeWidth;
    if (HasDefault()) y += defaultTextRect_.bottom - 2 * EdgeWidth;
    if (Index >= kNamedColorCount) y += 3 * EdgeWidth;
    return TRect{x, y, x + kCellSize, y + kCellSize};
}

TColor ColorGrid::CellColor(int Index) {
    if (Index >= 0 && Index < kNamedColorCount) return kNamedColors[static_cast<size_t>(Index)].Color;
    if (Index >= kNamedColorCount && Index < kNamedColorCount + kSystemColorCount)
        return kSystemColors[static_cast<size_t>(Index - kNamedColorCount)].Color;
    return clNone;
}

std::string_view ColorGrid::CellName(int Index) {
    if (Index >= 0 && Index < kNamedColorCount) return kNamedColors[static_cast<size_t>(Index)].Name;
    if (Index >= kNamedColorCount && Index < kNamedColorCount + kSystemColorCount)
        return kSystemColors[static_cast<size_t>(Index - kNamedColorCount)].Name;
    return {};
}

void ColorGrid::SetCenterColor(ColorChannels Value) {
    centerColor_ = Value;
    DiscardComb();
}

const std::vector<CombCell>& ColorGrid::CombCells() {
    if (combCells_.empty()) BuildComb();
    return combCells_;
}

const std::vector<CombCell>& ColorGrid::GrayCells() {
    if (grayCells_.empty()) BuildGrays();
    return grayCells_;
}

void ColorGrid::BuildComb() {
    const int levels = std::max(combLevels_, 1);
    combCells_.clear();
    combCells_.reserve(static_cast<size_t>(1 + 6 * (levels - 1) * levels / 2));
    const ColorChannels center = centerColor_;
    combCells_.push_back(CombCell{0, 0, ChannelsToColor(center.R, center.G, center.B)});
    if (levels == 1) return;
    const double d = kCos30 * 2 * combRadius_;
    const auto& dx = DirectionX();
    const auto& dy = DirectionY();
    for (int s = 0; s < 6; ++s) {
        const int next = (s + 1) % 6;
        const ColorChannels& c0 = kCornerColors[s];
        const ColorChannels& c1 = kCornerColors[next];
        for (int k = 1; k < levels; ++k) {
            const double f = static_cast<double>(k) / (levels - 1);
            const double sx = f * d * dx[s], sy = f * d * dy[s];
            const double ex = f * d * dx[next], ey = f * d * dy[next];
            const double sr = center.R + f * (c0.R - center.R), sg = center.G + f * (c0.G - center.G),
                         sb = center.B + f * (c0.B - center.B);
            const double er = center.R + f * (c1.R - center.R), eg = center.G + f * (c1.G - center.G),
                         eb = center.B + f * (c1.B - center.B);
            // The end point belongs to the next sector.
            for (int j = 0; j < k; ++j) {
                const double t = static_cast<double>(j) / k;
                combCells_.push_back(
                    CombCell{RoundEven(sx + t * (ex - sx)), RoundEven(sy + t * (ey - sy)),
                             ChannelsToColor(sr + t * (er - sr), sg + t * (eg - sg), sb + t * (eb - sb))});
            }
        }
    }
}

void ColorGrid::BuildGrays() {
    const int c = combCellSize_;
    const int dx = RoundEven(kCos30 * c / 2);
    const int dy = RoundEven((kSin30 + 1) * c / 2);
    grayCells_.clear();
    grayCells_.push_back(CombCell{c, c, Rgb(255, 255, 255)});
    for (int i = 1; i <= 15; ++i) {
        const int level = (16 - i) * 15;
        grayCells_.push_back(CombCell{RoundEven((i - 1) * dx + 3 * c), (c / 4) * 3 + (i % 2 == 0 ? dy : 0),
                                      Rgb(level, level, level)});
    }
    grayCells_.push_back(CombCell{RoundEven(16 * dx + 3 * c + c), c, Rgb(0, 0, 0)});
}

POINT ColorGrid::CombCellCenter(int Index) {
    const CombCell& cell = CombCells().at(static_cast<size_t>(Index));
    return POINT{combRect_.left + combRadius_ + cell.X, combRect_.top + combRadius_ + cell.Y};
}

POINT ColorGrid::GrayCellCenter(int Index) {
    const CombCell& cell = GrayCells().at(static_cast<size_t>(Index));
    return POINT{grayRowRect_.left + cell.X, grayRowRect_.top + cell.Y};
}

int ColorGrid::CombCellNear(POINT P) {
    const double reach = combCellSize_ / 2.0;
    for (size_t i = 0; i < CombCells().size(); ++i) {
        const POINT c = CombCellCenter(static_cast<int>(i));
        if (std::hypot(P.x - c.x, P.y - c.y) <= reach) return static_cast<int>(i);
    }
    return -1;
}

int ColorGrid::GrayCellNear(POINT P) {
    for (size_t i = 0; i < GrayCells().size(); ++i) {
        const double reach = BigGrayCell(static_cast<int>(i)) ? combCellSize_ : combCellSize_ / 2.0;
        const POINT c = GrayCellCenter(static_cast<int>(i));
        if (std::hypot(P.x - c.x, P.y - c.y) <= reach) return static_cast<int>(i);
    }
    return -1;
}

} // namespace colorpicker
