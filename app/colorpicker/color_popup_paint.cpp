// Painting the popup: the cells, the custom cell's swatch and the custom-colour panel.
#include "app/colorpicker/color_picker_button.h"
#include "app/colorpicker/color_popup.h"
#include "app/colorpicker/color_tables.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/text.h"
#include "platform/graphics/bitmap.h"

using namespace colorpicker;

namespace {

constexpr TColor kCellPenColor = Rgb(128, 128, 128);

void Edge(TCanvas& Canvas, TRect R, UINT Edge, UINT Flags) {
    DrawEdge(Canvas.Handle(), &R, Edge, Flags);
}

} // namespace

void TColorPopup::Paint() {
    TCanvas& canvas = Canvas();
    canvas.Font().SetHandle(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    canvas.Brush().SetColor(clBtnFace);
    canvas.FillRect(ClientRect());
    if (grid_.HasDefault()) PaintTextCell(canvas, kDefaultCell, grid_.DefaultText);
    for (int i = 0; i < kNamedColorCount; ++i)
        PaintColorCell(canvas, i);
    if (grid_.ShowSystemColors) {
        const int y = grid_.SystemLineY();
        const int edge = grid_.EdgeWidth, spacing = grid_.PopupSpacing;
        Edge(canvas, TRect{edge + spacing, y, ClientWidth() - edge - spacing, y + 2}, EDGE_ETCHED, BF_TOP);
        for (int i = kNamedColorCount; i < kNamedColorCount + kSystemColorCount; ++i)
            PaintColorCell(canvas, i);
    }
    if (grid_.HasCustom()) PaintTextCell(canvas, kCustomCell, grid_.CustomText);
    if (PanelOpen()) PaintCustomPanel(canvas);
    Edge(canvas, ClientRect(), EDGE_RAISED, BF_RECT);
}

void TColorPopup::PaintCellFace(TCanvas& Canvas, const TRect& R, int Cell) {
    const bool chosen = Cell == chosenCell_;
    const bool hot = Cell == hotCell_;
    Canvas.Brush().SetColor(chosen && !hot ? clBtnHighlight : clBtnFace);
    Canvas.FillRect(R);
    if (chosen || (hot && pressed_))
        Edge(Canvas, R, BDR_SUNKENOUTER, BF_RECT);
    else if (hot)
        Edge(Canvas, R, BDR_RAISEDINNER, BF_RECT);
}

void TColorPopup::PaintColorCell(TCanvas& Canvas, int Index) {
    TRect r = grid_.CellRect(Index);
    PaintCellFace(Canvas, r, Index);
    InflateRect(r, -(grid_.EdgeWidth + 1), -(grid_.EdgeWidth + 1));
    Canvas.Pen().SetStyle(psSolid);
    Canvas.Pen().SetColor(kCellPenColor);
    Canvas.Brush().SetColor(ColorGrid::CellColor(Index));
    Canvas.Rectangle(r);
}

void TColorPopup::PaintTextCell(TCanvas& Canvas, int Cell, const std::string& Text) {
    TRect r = grid_.CellRect(Cell);
    const int inset = grid_.EdgeWidth + 1;
    if (Cell == kCustomCell) {
        const int y = r.top - grid_.EdgeWidth - 1;
        Edge(Canvas, TRect{r.left, y, r.right, y + 2}, EDGE_ETCHED, BF_TOP);
    }
    PaintCellFace(Canvas, r, Cell);
    if (Cell == kDefaultCell) {
        TRect inner = r;
        InflateRect(inner, -inset, -inset);
        Canvas.Brush().SetColor(clBtnShadow);
        Canvas.FrameRect(inner);
    }
    Canvas.Brush().SetStyle(bsClear);
    Canvas.Font().SetColor(clBtnText);
    TRect text = r;
    std::string s = Text;
    Canvas.TextRect(text, s, TTextFormat{tfCenter, tfVerticalCenter, tfSingleLine});
    if (Cell != kCustomCell) return;
    const TRect& swatch = grid_.CustomSwatchRect();
    if (customChoice_ == 0) {
        Canvas.Brush().SetColor(clBtnShadow);
        Canvas.FrameRect(swatch);
    } else {
        Canvas.Pen().SetStyle(psSolid);
        Canvas.Pen().SetColor(kCellPenColor);
        Canvas.Brush().SetColor(CustomColor());
        Canvas.Rectangle(swatch);
    }
}

void TColorPopup::PaintHexagon(TCanvas& Canvas, POINT Center, double Size) {
    TPoint corners[6];
    const auto& dx = ColorGrid::DirectionX();
    const auto& dy = ColorGrid::DirectionY();
    for (int i = 0; i < 6; ++i)
        corners[i] = TPoint{Center.x + RoundEven(Size * dx[static_cast<size_t>(i)]),
                            Center.y + RoundEven(Size * dy[static_cast<size_t>(i)])};
    Canvas.Polygon(corners, 6);
}

void TColorPopup::PaintCustomPanel(TCanvas& Canvas) {
    const TRect& comb = grid_.CombRect();
    const TRect& grays = grid_.GrayRowRect();
    const TRect& slider = grid_.SliderRect();
    const int top = comb.top;
    TBitmap bitmap(ClientWidth(), grays.bottom - top);
    TCanvas& b = bitmap.Canvas();
    b.Brush().SetColor(clBtnFace);
    b.FillRect(TRect{0, 0, bitmap.Width(), bitmap.Height()});

    const double size = grid_.CombCellSize();
    const POINT origin{comb.left + grid_.CombRadius(), grid_.CombRadius()};
    auto fill = [&](POINT center, TColor color, double scale) {
        b.Pen().SetStyle(psClear);
        b.Brush().SetStyle(bsSolid);
        b.Brush().SetColor(color);
        PaintHexagon(b, center, size * scale);
    };
    auto outline = [&](POINT center, double scale) {
        b.Pen().SetStyle(psSolid);
        b.Pen().SetMode(pmXor);
        b.Pen().SetWidth(2);
        b.Pen().SetColor(clWhite);
        b.Brush().SetStyle(bsClear);
        PaintHexagon(b, center, size * scale);
        b.Pen().SetMode(pmCopy);
        b.Pen().SetWidth(1);
    };
    const auto& cells = grid_.CombCells();
    for (const CombCell& cell : cells)
        fill(POINT{origin.x + cell.X, origin.y + cell.Y}, cell.Color, 1);
    if (customChoice_ > 0) {
        const CombCell& cell = cells[static_cast<size_t>(customChoice_ - 1)];
        outline(POINT{origin.x + cell.X, origin.y + cell.Y}, 1);
    }
    const POINT grayOrigin{grays.left, grays.top - top};
    const auto& grayCells = grid_.GrayCells();
    for (size_t i = 0; i < grayCells.size(); ++i)
        fill(POINT{grayOrigin.x + grayCells[i].X, grayOrigin.y + grayCells[i].Y}, grayCells[i].Color,
             ColorGrid::BigGrayCell(static_cast<int>(i)) ? 2 : 1);
    if (customChoice_ < 0) {
        const int i = -customChoice_ - 1;
        const CombCell& cell = grayCells[static_cast<size_t>(i)];
        outline(POINT{grayOrigin.x + cell.X, grayOrigin.y + cell.Y}, ColorGrid::BigGrayCell(i) ? 2 : 1);
    }

    // The slider: white at the top down to black, and the marker at the intensity.
    const int h = slider.bottom - slider.top - 1;
    b.Pen().SetStyle(psSolid);
    for (int i = 0; i <= h && h > 0; ++i) {
        const int level = RoundEven(static_cast<double>(h - i) * 255 / h);
        b.Pen().SetColor(Rgb(level, level, level));
        b.MoveTo(slider.left, slider.top - top + i);
        b.LineTo(slider.left + 10, slider.top - top + i);
    }
    const int x = slider.left + 11;
    const int y = slider.top - top + RoundEven((1 - intensity_) * h);
    const TPoint marker[3] = {{x, y}, {x + 5, y - 3}, {x + 5, y + 3}};
    b.Pen().SetColor(clBlack);
    b.Brush().SetStyle(bsSolid);
    b.Brush().SetColor(clBlack);
    b.Polygon(marker, 3);

    Canvas.Draw(0, top, &bitmap);
}
