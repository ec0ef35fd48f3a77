// The painters of the customizing window's command rows.
#include "bars/customizing/customizing_painters.h"

#include <algorithm>

#include "bars/core/bar_button.h"
#include "bars/core/bar_combo.h"
#include "bars/core/bar_drawing.h"
#include "bars/core/bar_edit.h"
#include "bars/core/bar_item.h"
#include "bars/core/bar_manager.h"
#include "bars/core/container_item.h"
#include "bars/core/item_glyph.h"
#include "bars/core/sub_item.h"
#include "bars/painters/office11_painter.h"
#include "bars/painters/painter.h"
#include "bars/painters/xp_painter.h"
#include "lookandfeel/colors.h"
#include "lookandfeel/office11.h"
#include "lookandfeel/themes.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/gdi/text.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/graphics_types.h"
#include "platform/graphics/image_list.h"
#include "platform/rtl/wintypes.h"

namespace bars {

using pw::gdi::OwnedObject;
using pw::gdi::SelectedObject;

namespace {

void Fill(HDC dc, const RECT& r, TColor color) {
    if (r.right > r.left && r.bottom > r.top) FillRectByColor(dc, r, color);
}

void Frame(HDC dc, const RECT& r, TColor color) {
    FrameRectByColor(dc, r, color);
}

bool IsDropDownButton(const TdxBarItem* item) {
    auto* button = dynamic_cast<const TdxBarButton*>(item);
    return button != nullptr && button->ButtonStyle() == bsDropDown;
}

std::string RowCaption(const std::string& caption, const TdxBarItem* item) {
    return dynamic_cast<const TCustomdxBarContainerItem*>(item) != nullptr ? "(" + caption + ")" : caption;
}

void Text(TCanvas& canvas, const std::string& text, RECT r, TColor color) {
    const HDC dc = canvas.Handle();
    // In the canvas's own font, whether or not the canvas has selected it yet.
    const SelectedObject font(dc, canvas.Font().Handle());
    const int mode = SetBkMode(dc, TRANSPARENT);
    const COLORREF old = SetTextColor(dc, ColorToRGB(color));
    DrawText(dc, text.c_str(), static_cast<int>(text.size()), &r,
             DT_NOPREFIX | DT_NOCLIP | DT_SINGLELINE | DT_VCENTER);
    SetTextColor(dc, old);
    SetBkMode(dc, mode);
}

// The item's picture centred in the glyph column.
void DrawImage(HDC dc, const RECT& column, TdxBarItem* item, TColor background) {
    TBitmap* glyph = item->Glyph();
    TCustomImageList* images = item->GetImages();
    int w = 0, h = 0;
    if (glyph != nullptr && !glyph->Empty()) {
        w = glyph->Width(), h = glyph->Height();
        images = nullptr;
    } else if (images != nullptr) {
        w = images->Width(), h = images->Height();
        glyph = nullptr;
    }
    const RECT image{column.left + (column.right - column.left - w) / 2,
                     column.top + (column.bottom - column.top - h) / 2, 0, 0};
    const RECT placed{image.left, image.top, image.left + w, image.top + h};
    const OwnedObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(background)));
    TdxBarManager* manager = item->BarManager();
    DrawItemGlyph(dc, brush.Get(), placed, placed, glyph, images, item->ImageIndex(), item->Enabled(), false,
                  false, false, false, false, false, true, clNone,
                  manager != nullptr ? manager->ImageListBkColor() : clFuchsia);
}

} // namespace

bool CustomizingItemHasImage(const TdxBarItem* Item) {
    if (Item == nullptr) return false;
    if (TBitmap* glyph = Item->Glyph(); glyph != nullptr && !glyph->Empty()) return true;
    return Item->HasImageInList();
}

const TdxBarCustomizingFormPainter& TdxBarCustomizingFormPainter::For(const TdxBarManager* Manager) {
    static const TdxBarCustomizingFormStandardPainter standard;
    static const TdxBarCustomizingFormFlatPainter flat;
    static const TdxBarCustomizingFormOffice11Painter office11;
    static const TdxBarCustomizingFormXPPainter xp;
    const TdxBarItemControlPainter& painter = TdxBarItemControlPainter::Of(Manager);
    if (dynamic_cast<const TdxBarItemControlXPPainter*>(&painter) != nullptr) return xp;
    if (dynamic_cast<const TdxBarItemControlOffice11Painter*>(&painter) != nullptr) return office11;
    if (dynamic_cast<const TdxBarItemControlFlatPainter*>(&painter) != nullptr) return flat;
    return standard;
}

void TdxBarCustomizingFormPainter::DrawArrow(TCanvas& Canvas, int X, bool Selected, int Y) const {
    const TColor color = Selected && IsHighContrastWhite() ? clWhite : Canvas.Font().Color();
    const HDC dc = Canvas.Handle();
    const COLORREF rgb = ColorToRGB(color);
    const OwnedObject<HPEN> pen(CreatePen(PS_SOLID, 1, rgb));
    const OwnedObject<HBRUSH> brush(CreateSolidBrush(rgb));
    const SelectedObject penSel(dc, pen.Get()), brushSel(dc, brush.Get());
    const POINT p[3] = {{X, Y}, {X, Y + 6}, {X + 3, Y + 3}};
    Polygon(dc, p, 3);
}

TColor TdxBarCustomizingFormPainter::GetBackgroundColor(bool Selected, TdxBarItem*) const {
    return Selected ? clHighlight : clBtnFace;
}

TColor TdxBarCustomizingFormPainter::GetTextColor(bool Selected) const {
    return Selected ? clHighlightText : clBtnText;
}

void TdxBarCustomizingFormPainter::DrawGlyphColumn(HDC DC, const RECT& Column, bool Selected,
                                                   bool HasImage) const {
    Fill(DC, RECT{Column.left, Column.top, Column.right + 1, Column.bottom},
         GetBackgroundColor(Selected && !HasImage, nullptr));
    if (HasImage && Selected) DrawRectEdge(DC, Column, BDR_RAISEDINNER);
}

void TdxBarCustomizingFormPainter::DrawDropDownPart(HDC DC, RECT Part, bool Selected) const {
    if (Selected) {
        DrawRectEdge(DC, Part, BDR_RAISEDINNER);
        Part = Inflated(Part, -1, -1);
    } else {
        RECT edge{Part.left - 1, Part.top, Part.right, Part.bottom};
        DrawEdge(DC, &edge, EDGE_ETCHED, BF_LEFT);
        Part.left += 2;
    }
    Fill(DC, Part, GetBackgroundColor(false, nullptr));
}

void TdxBarCustomizingFormPainter::FrameEditBox(HDC DC, RECT& Box, bool Selected) const {
    const TColor gap = GetBackgroundColor(false, nullptr);
    if (Selected)
        DrawRectEdge(DC, Box, BDR_SUNKENOUTER);
    else
        Frame(DC, Box, gap);
    Box = Inflated(Box, -1, -1);
    Frame(DC, Box, gap);
    Box = Inflated(Box, -1, -1);
}

void TdxBarCustomizingFormPainter::DrawComboButton(HDC DC, RECT Button, bool Selected) const {
    const TColor background = GetBackgroundColor(false, nullptr);
    const RECT line{Button.left - 1, Button.top, Button.left, Button.bottom};
    if (Selected) {
        DrawRectEdge(DC, Button, BDR_RAISEDINNER);
        Fill(DC, line, background);
    } else {
        Frame(DC, Button, clBtnHighlight);
        Fill(DC, line, clBtnHighlight);
    }
    const RECT inner = Inflated(Button, -1, -1);
    Fill(DC, inner, background);
    ::DrawArrow(DC, inner, true, true, false, false);
}

void TdxBarCustomizingFormPainter::DrawCommand(TCanvas& Canvas, const RECT& Rect, bool Selected,
                                               const std::string& Caption, TdxBarItem* Item) const {
    if (Item == nullptr) return;
    const HDC dc = Canvas.Handle();
    const bool image = CustomizingItemHasImage(Item);
    const int column = GlyphColumnWidth(Rect);
    const RECT glyph{Rect.left, Rect.top, Rect.left + column, Rect.bottom};
    DrawGlyphColumn(dc, glyph, Selected, image);
    if (image) DrawImage(dc, Inflated(glyph, -1, -1), Item, GetBackgroundColor(Selected && !image, Item));

    const bool dropDown = IsDropDownButton(Item);
    RECT text{glyph.right + 1, Rect.top, Rect.right - (dropDown ? 13 : 0), Rect.bottom};
    Canvas.Font().SetColor(GetTextColor(Selected));
    Fill(dc, text, GetBackgroundColor(Selected, Item));
    if (Selected) FrameSelectedRow(dc, Rect);
    text.left = glyph.right + 3;
    Text(Canvas, RowCaption(Caption, Item), text, GetTextColor(Selected));

    if (dropDown) {
        DrawDropDownPart(dc, RECT{Rect.right - 13, Rect.top, Rect.right, Rect.bottom}, Selected);
        Canvas.Font().SetColor(GetTextColor(false));
        DrawArrow(Canvas, Rect.right - 9, false, Rect.top + 7);
    } else if (dynamic_cast<TCustomdxBarSubItem*>(Item) != nullptr &&
               dynamic_cast<TCustomdxBarContainerItem*>(Item) == nullptr) {
        DrawArrow(Canvas, Rect.right - 9, Selected, Rect.top + 7);
    }
}

void TdxBarCustomizingFormPainter::DrawEditCommand(TCanvas& Canvas, const RECT& Rect, bool Selected,
                                                   const std::string& Caption, TdxBarItem* Item) const {
    if (Item == nullptr) return;
    const HDC dc = Canvas.Handle();
    Canvas.Font().SetColor(GetTextColor(Selected));
    const int width = Canvas.TextWidth(Caption);
    const RECT caption{Rect.left, Rect.top, Rect.left + 2 + width + 1, Rect.bottom};
    Fill(dc, caption, GetBackgroundColor(Selected, Item));
    Text(Canvas, Caption, RECT{Rect.left + 2, Rect.top, caption.right, Rect.bottom}, GetTextColor(Selected));
    const RECT gap{caption.right, Rect.top, caption.right + 4, Rect.bottom};
    Fill(dc, gap, GetBackgroundColor(false, Item));
    const bool combo = dynamic_cast<TCustomdxBarCombo*>(Item) != nullptr;
    RECT box{gap.right, Rect.top, Rect.right - (combo ? 12 : 0), Rect.bottom};
    FrameEditBox(dc, box, Selected);
    Fill(dc, box, clWindow);
    if (combo) DrawComboButton(dc, RECT{Rect.right - 11, Rect.top, Rect.right, Rect.bottom}, Selected);
}

void TdxBarCustomizingFormStandardPainter::DrawFocusRect(TCanvas& Canvas, const RECT& Rect,
                                                         TdxBarItem*) const {
    const RECT r = Inflated(Rect, -2, -2);
    ::DrawFocusRect(Canvas.Handle(), &r);
}

// The flat style.

TColor TdxBarCustomizingFormFlatPainter::GetBackgroundColor(bool Selected, TdxBarItem*) const {
    return Selected ? TdxBarManager::MakeFlatColor(-2, 30, 72) : clWindow;
}

TColor TdxBarCustomizingFormFlatPainter::GetTextColor(bool Selected) const {
    return Selected && IsHighContrastWhite() ? clBtnFace : clBtnText;
}

void TdxBarCustomizingFormFlatPainter::FrameSelection(HDC DC, const RECT& R) const {
    FrameHighlight(DC, R);
}

HBRUSH TdxBarCustomizingFormFlatPainter::NormalFrameBrush() const {
    return GetSysColorBrush(COLOR_BTNSHADOW);
}

void TdxBarCustomizingFormFlatPainter::FrameSelectedRow(HDC DC, const RECT& Row) const {
    FrameSelection(DC, Row);
}

void TdxBarCustomizingFormFlatPainter::DrawGlyphColumn(HDC DC, const RECT& Column, bool Selected,
                                                       bool) const {
    if (Selected) {
        Fill(DC, RECT{Column.left, Column.top, Column.right + 1, Column.bottom},
             GetBackgroundColor(true, nullptr));
        return;
    }
    Fill(DC, Column, clBtnFace);
    Fill(DC, RECT{Column.right, Column.top, Column.right + 1, Column.bottom}, clWindow);
}

void TdxBarCustomizingFormFlatPainter::DrawDropDownPart(HDC DC, RECT Part, bool Selected) const {
    if (Selected)
        FrameSelection(DC, Part);
    else
        FrameRect(DC, &Part, NormalFrameBrush());
    Fill(DC, Inflated(Part, -1, -1), GetBackgroundColor(false, nullptr));
}

void TdxBarCustomizingFormFlatPainter::FrameEditBox(HDC DC, RECT& Box, bool Selected) const {
    if (Selected)
        FrameSelection(DC, Box);
    else
        FrameRect(DC, &Box, NormalFrameBrush());
    Box = Inflated(Box, -1, -1);
}

void TdxBarCustomizingFormFlatPainter::DrawComboButton(HDC DC, RECT Button, bool Selected) const {
    DrawDropDownPart(DC, Button, Selected);
    ::DrawArrow(DC, Inflated(Button, -1, -1), true, true, false, true);
}

// The Office 2003 style.

TColor TdxBarCustomizingFormOffice11Painter::GetBackgroundColor(bool Selected, TdxBarItem*) const {
    return Selected ? Office11Colors().SelectedColor : Office11Colors().MenuColor;
}

TColor TdxBarCustomizingFormOffice11Painter::GetTextColor(bool Selected) const {
    return Selected && IsHighContrastWhite() ? clBtnFace : Office11Colors().TextColor;
}

void TdxBarCustomizingFormOffice11Painter::FrameSelection(HDC DC, const RECT& R) const {
    FrameOffice11Rect(DC, R);
}

HBRUSH TdxBarCustomizingFormOffice11Painter::NormalFrameBrush() const {
    return Office11Brushes().Frame;
}

void TdxBarCustomizingFormOffice11Painter::DrawGlyphColumn(HDC DC, const RECT& Column, bool Selected,
                                                           bool HasImage) const {
    if (Selected) {
        TdxBarCustomizingFormFlatPainter::DrawGlyphColumn(DC, Column, true, HasImage);
        return;
    }
    FillGradientRect(DC, Column, Office11Colors().MenuStripColor1, true, Office11Colors().MenuStripColor2);
    Fill(DC, RECT{Column.right, Column.top, Column.right + 1, Column.bottom}, Office11Colors().MenuColor);
}

// The XP style: the standard rows with the theme's parts where a theme is active.

void TdxBarCustomizingFormXPPainter::DrawGlyphColumn(HDC DC, const RECT& Column, bool Selected,
                                                     bool HasImage) const {
    Fill(DC, RECT{Column.left, Column.top, Column.right + 1, Column.bottom},
         GetBackgroundColor(Selected && !HasImage, nullptr));
    if (HasImage && Selected)
        DrawThemeBackground(OpenTheme(totToolBar), DC, TP_BUTTON, TS_HOT, &Column, nullptr);
}

void TdxBarCustomizingFormXPPainter::DrawDropDownPart(HDC DC, RECT Part, bool Selected) const {
    Fill(DC, Part, GetBackgroundColor(false, nullptr));
    if (Selected) DrawThemeBackground(OpenTheme(totToolBar), DC, TP_BUTTON, TS_HOT, &Part, nullptr);
}

void TdxBarCustomizingFormXPPainter::FrameEditBox(HDC DC, RECT& Box, bool Selected) const {
    RECT content = Box;
    if (GetThemeBackgroundContentRect(OpenTheme(totEdit), DC, EP_EDITTEXT, ETS_NORMAL, &Box, &content) < 0) {
        TdxBarCustomizingFormPainter::FrameEditBox(DC, Box, Selected);
        return;
    }
    DrawThemeBackground(OpenTheme(totEdit), DC, EP_EDITTEXT, ETS_NORMAL, &Box, nullptr);
    Box = content;
}

void TdxBarCustomizingFormXPPainter::DrawComboButton(HDC DC, RECT Button, bool Selected) const {
    if (DrawThemeBackground(OpenTheme(totComboBox), DC, CP_DROPDOWNBUTTON, Selected ? 2 : 1, &Button,
                            nullptr) < 0)
        TdxBarCustomizingFormPainter::DrawComboButton(DC, Button, Selected);
}

void TdxBarCustomizingFormXPPainter::DrawFocusRect(TCanvas& Canvas, const RECT& Rect,
                                                   TdxBarItem* Item) const {
    RECT r = Rect;
    if (dynamic_cast<TdxBarEdit*>(Item) == nullptr && CustomizingItemHasImage(Item)) r.left += 24;
    ::DrawFocusRect(Canvas.Handle(), &r);
}

} // namespace bars
