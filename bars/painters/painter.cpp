// The base painter: what every style inherits for item controls and bar windows.
#include "bars/painters/painter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "bars/core/backgrounds.h"
#include "bars/core/bar_drawing.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_unit.h"
#include "bars/core/item_glyph.h"
#include "bars/core/toolbar.h"
#include "bars/painters/window_frame.h"
#include "lookandfeel/colors.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/gdi_structs.h"
#include "platform/gdi/metrics.h"
#include "platform/gdi/muldiv.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/gdi/text.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/graphics_types.h"
#include "platform/graphics/image_list.h"
#include "platform/gui/paint.h"
#include "platform/gui/window_dc.h"
#include "platform/rtl/wintypes.h"

namespace bars {

using pw::gdi::OwnedObject;
using pw::gdi::SelectedObject;

namespace {

// A pen and brush of one system colour selected for the scope.
class SolidPenAndBrush {
public:
    SolidPenAndBrush(HDC dc, COLORREF color)
        : pen_(CreatePen(PS_SOLID, 1, color)), brush_(CreateSolidBrush(color)), penSel_(dc, pen_.Get()),
          brushSel_(dc, brush_.Get()) {}

private:
    OwnedObject<HPEN> pen_;
    OwnedObject<HBRUSH> brush_;
    SelectedObject penSel_;
    SelectedObject brushSel_;
};

// The point size of the font selected into a DC, for the check-mark scale.
int PointSize(HDC dc) {
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    return MulDiv(tm.tmHeight - tm.tmInternalLeading, 72, 96);
}

// A bar docked at a side draws its captions with a font turned a quarter down.
bool IsTurnedFont(HFONT Font) {
    LOGFONT lf;
    return Font != nullptr && GetObject(Font, sizeof(lf), &lf) == static_cast<int>(sizeof(lf)) &&
           lf.lfEscapement % 3600 != 0;
}

// A caption running downwards from R's top (0 left, 1 centred, 2 at the end), centred across R. The
// accelerator's underline is drawn here: the text path knows only level underlines.
void DrawVerticalText(HDC DC, const std::string& Text, const RECT& R, int Alignment, bool Clipped,
                      COLORREF Shadow, COLORREF Color) {
    std::string plain;
    int accel = -1;
    for (size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '&' && i + 1 < Text.size()) {
            if (Text[i + 1] == '&') {
                plain += '&';
                ++i;
            } else {
                accel = static_cast<int>(plain.size());
            }
            continue;
        }
        plain += Text[i];
    }
    SIZE extent{0, 0};
    GetTextExtentPoint32(DC, plain, &extent);
    const int height = R.bottom - R.top;
    const int start = Alignment == 1 ? (height - extent.cx) / 2 : Alignment == 2 ? height - extent.cx : 0;
    const int x = R.left + (R.right - R.left + extent.cy) / 2, y = R.top + start;
    int underlineFrom = 0, underlineLength = 0, underlineX = 0;
    if (accel >= 0 && accel < static_cast<int>(plain.size())) {
        SIZE before{0, 0}, character{0, 0};
        GetTextExtentPoint32(DC, std::string_view(plain).substr(0, static_cast<size_t>(accel)), &before);
        GetTextExtentPoint32(DC, std::string_view(plain).substr(static_cast<size_t>(accel), 1), &character);
        TEXTMETRIC tm;
        GetTextMetrics(DC, &tm);
        underlineFrom = before.cx;
        underlineLength = character.cx;
        // Below the baseline, which lies left of the run's reference line.
        underlineX = x - tm.tmAscent - 1;
    }
    const pw::gdi::SavedDC saved(DC);
    if (Clipped) IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
    auto draw = [&](int d, COLORREF c) {
        SetTextColor(DC, c);
        TextOut(DC, x + d, y + d, plain.c_str(), static_cast<int>(plain.size()));
        if (underlineLength <= 0) return;
        const OwnedObject<HBRUSH> brush(CreateSolidBrush(c));
        const RECT line{underlineX + d, y + underlineFrom + d, underlineX + d + 1,
                        y + underlineFrom + underlineLength + d};
        FillRect(DC, &line, brush.Get());
    };
    // Embossed when disabled: the light copy first, one pixel down and right.
    if (Shadow != Color) {
        draw(1, Color);
        draw(0, Shadow);
    } else {
        draw(0, Color);
    }
}

} // namespace

SIZE TdxBarItemControlPainter::TextExtent(BarPaintView& Bar, const std::string& Text) {
    const pw::gdi::MemoryDC dc(nullptr);
    SIZE size{0, 0};
    const SelectedObject font(dc.Get(), Bar.PaintFont());
    GetTextExtentPoint32(dc.Get(), Text, &size);
    return size;
}

const TdxBarItemControlPainter& BaseBarPainter() {
    static const TdxBarItemControlPainter* painter = new TdxBarItemControlPainter;
    return *painter;
}

const TdxBarItemControlPainter& TdxBarItemControlPainter::Of(const TdxBarManager* Manager) {
    if (Manager != nullptr)
        if (auto* painter = dynamic_cast<const TdxBarItemControlPainter*>(Manager->PainterClass()))
            return *painter;
    return BaseBarPainter();
}

void TdxBarItemControlPainter::DrawGlyphFrame(ItemPaintView&, HDC, const ItemState&, RECT, bool,
                                              HBRUSH) const {}

void TdxBarItemControlPainter::DrawCheckMark(ItemPaintView&, HDC, int, int, int) const {}

void TdxBarItemControlPainter::DrawCheckGlyph(ItemPaintView& Control, HDC DC, const ItemState& State,
                                              bool Fits, HBRUSH Brush, const RECT& GlyphRect) const {
    RECT r = GlyphRect;
    if (Fits) r = Inflated(r, -1, -1);
    // A menu line's glyph column always takes the state's brush.
    const bool useBrush = State.InMenu || Control.IsRarelyUsed() ||
                          (!IsGlyphBackgroundPlain() && (State.Pressed || State.Down || State.Selected));
    if (!IsGlyphFrameDrawnFirst()) DrawBackground(Control, DC, useBrush, Brush, r);
    if (Control.IsCheckItem() && State.Down) {
        const pw::gdi::MemoryDC screen(nullptr);
        const SelectedObject font(screen.Get(), Control.ParentView().PaintFont());
        const int scale = PointSize(screen.Get()) > 15 ? 2 : 1;
        const int x = (r.left + r.right - 9 * scale) / 2;
        const int y = (r.top + r.bottom - 7 * scale) / 2;
        DrawCheckMark(Control, DC, x, y, scale);
    }
}

void TdxBarItemControlPainter::CalcQuickCheckRect(ItemPaintView&, HDC, bool, int& Size, RECT& R) const {
    R.right = R.left + (R.bottom - R.top);
    Size = R.right;
}

void TdxBarItemControlPainter::DrawGlyphImage(ItemPaintView& Control, HDC DC, const ItemState& State,
                                              const RECT& Area, const RECT& ImageRect, bool Fits,
                                              HBRUSH Brush) const {
    RECT r = Area;
    if (Fits) r = Inflated(r, -1, -1);
    if (!Control.IsRarelyUsed() && !IsGlyphFrameDrawnFirst()) {
        const bool useBrush =
            State.InMenu || (!IsGlyphBackgroundPlain() && (State.Pressed || State.Down || State.Selected));
        DrawBackground(Control, DC, useBrush, Brush, r);
    }
    DrawGlyphPicture(Control, DC, State, r, ImageRect, Brush);
}

void TdxBarItemControlPainter::DrawGlyphPicture(ItemPaintView& Control, HDC DC, const ItemState& State,
                                                const RECT& Cell, const RECT& ImageRect, HBRUSH Brush) const {
    TdxBarManager* manager = Control.ParentView().Manager();
    RECT image = ImageRect;
    IntersectRect(image, image, Cell);
    if (IsRectEmpty(image)) return;
    DrawItemGlyph(DC, Brush, Cell, ImageRect, Control.PaintGlyph(), Control.PaintImages(),
                  Control.PaintImageIndex(), State.Enabled, false, UseFlatTextColors(), State.Selected,
                  State.Down, State.Pressed, false, true, GetFadedGlyphColor(Control.ParentView()),
                  manager != nullptr ? manager->ImageListBkColor() : clFuchsia);
}

void TdxBarItemControlPainter::DrawButtonArrow(HDC DC, const RECT& R, bool Enabled, bool Selected, bool Flat,
                                               bool Down) const {
    DrawArrow(DC, R, Down, Enabled, Selected, Flat);
}

void TdxBarItemControlPainter::DrawButtonArrowSized(HDC DC, const RECT& R, bool Flat, bool Enabled,
                                                    bool Selected, int Size, bool Down) const {
    DrawArrowTriangle(DC, R, Down, Size, Selected, Enabled, Flat);
}

TColor TdxBarItemControlPainter::GetFadedGlyphColor(BarPaintView& Bar) const {
    TdxBarManager* manager = Bar.Manager();
    if (manager == nullptr || !manager->MakeDisabledImagesFaded()) return clNone;
    return BlendColors(clBtnShadow, clWhite, 70);
}

void TdxBarItemControlPainter::GetTextColors(bool Enabled, bool FlatColors, bool Selected, COLORREF& Shadow,
                                             COLORREF& Text) const {
    if (Enabled) {
        Text = GetSysColor(Selected && !FlatColors ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
        Shadow = Text;
    } else if (Selected || FlatColors) {
        Text = Shadow = GetSysColor(COLOR_GRAYTEXT);
    } else {
        Text = GetSysColor(COLOR_BTNHIGHLIGHT);
        Shadow = GetSysColor(COLOR_BTNSHADOW);
    }
}

bool TdxBarItemControlPainter::NoPressedTextShift(ItemPaintView&) const {
    return false;
}

void TdxBarItemControlPainter::DrawCenteredButtonText(HDC DC, const RECT& R, bool Opaque,
                                                      const std::string& Text, int Offset) const {
    SetTextColor(DC, GetSysColor(COLOR_BTNTEXT));
    SetBkColor(DC, GetSysColor(COLOR_BTNFACE));
    const int oldMode = SetBkMode(DC, Opaque ? OPAQUE : TRANSPARENT);
    SIZE size{0, 0};
    GetTextExtentPoint32(DC, Text, &size);
    const int x = R.left + (R.right - R.left - size.cx) / 2 + Offset;
    const int y = R.top + (R.bottom - R.top - size.cy) / 2 + Offset;
    RECT clip = R;
    ExtTextOut(DC, x, y, ETO_CLIPPED | (Opaque ? ETO_OPAQUE : 0), &clip, Text.c_str(),
               static_cast<UINT>(Text.size()), nullptr);
    SetBkMode(DC, oldMode);
}

void TdxBarItemControlPainter::DrawBevel(ItemPaintView&, HDC DC, int Style, int Width, RECT& R) const {
    static constexpr UINT edges[4] = {BDR_SUNKENOUTER, BDR_RAISEDINNER, EDGE_ETCHED, 0};
    if (Style >= 1 && Style <= 3) {
        RECT r = R;
        DrawEdge(DC, &r, edges[Style - 1], BF_RECT);
        R = Inflated(R, -Width, -Width);
    } else if (Style == 4) {
        RECT r = R;
        DrawEdge(DC, &r, BDR_RAISEDINNER, BF_RECT);
        R = Inflated(R, -1, -1);
        r = R;
        DrawEdge(DC, &r, BDR_SUNKENOUTER, BF_RECT);
        R = Inflated(R, -1, -1);
    }
}

int TdxBarItemControlPainter::CalcButtonArrowWidth(const TdxBarManager* Manager) const {
    return Painter::CalcButtonArrowWidth(Manager);
}

TColor TdxBarItemControlPainter::GetCaptionColor(BarPaintView&, bool Active) const {
    return Active ? clActiveCaption : clInactiveCaption;
}

TColor TdxBarItemControlPainter::GetCaptionMarkGlyphColor(BarPaintView&, int) const {
    return clCaptionText;
}

void TdxBarItemControlPainter::DrawCaptionMarkGlyph(BarPaintView& Bar, HDC DC, const RECT& R) const {
    const int x0 = (R.left + R.right - 7) / 2, y0 = (R.top + R.bottom - 4) / 2;
    const POINT p[3] = {{x0, y0}, {x0 + 6, y0}, {x0 + 3, y0 + 3}};
    const SolidPenAndBrush tools(DC, ColorToRGB(GetCaptionMarkGlyphColor(Bar, Bar.MarkState())));
    Polygon(DC, p, 3);
}

void TdxBarItemControlPainter::DrawMarkArrows(BarPaintView& Bar, HDC DC, const RECT& R) const {
    if (!Bar.ItemsHidden()) return;
    const TdxBarDockingStyle style = Bar.PaintDockingStyle();
    if (style == dsTop || style == dsBottom) {
        DrawMarkArrow(Bar, DC, R.left + 2, R);
        DrawMarkArrow(Bar, DC, R.left + 6, R);
    } else {
        DrawMarkArrow(Bar, DC, R.bottom - 9, R);
        DrawMarkArrow(Bar, DC, R.bottom - 5, R);
    }
}

int TdxBarItemControlPainter::GetCaptionTextLeft(BarPaintView& Bar) const {
    return Bar.CaptionMarkRect().right + 3;
}

RECT TdxBarItemControlPainter::GetCaptionMarkRect(const RECT& Caption, bool) const {
    return RECT{Caption.left, Caption.top, std::min(Caption.left + 13, static_cast<int>(Caption.right)),
                Caption.bottom};
}

void TdxBarItemControlPainter::DrawDropDownTriangle(HDC DC, COLORREF Color, int Width, int X, int Y) const {
    DrawTriangle(DC, Color, Width, X, Y);
}

void TdxBarItemControlPainter::DrawBackground(ItemPaintView& Control, HDC DC, bool UseBrush, HBRUSH Brush,
                                              const RECT& R) const {
    if (UseBrush)
        FillRect(DC, &R, Brush);
    else
        Control.ParentView().PaintBackground(DC, R, Brush);
}

void TdxBarItemControlPainter::FrameBackground(ItemPaintView& Control, HDC DC, bool UseBrush, HBRUSH Brush,
                                               const RECT& R) const {
    if (UseBrush) {
        FrameRect(DC, &R, Brush);
        return;
    }
    HRGN saved = nullptr;
    bool hadRegion = false;
    SaveClipRegion(DC, saved, hadRegion);
    ExcludeClipRect(DC, R.left + 1, R.top + 1, R.right - 1, R.bottom - 1);
    DrawBackground(Control, DC, false, Brush, R);
    RestoreClipRegion(DC, saved, hadRegion);
}

void TdxBarItemControlPainter::DrawGlyph(ItemPaintView& Control, HDC DC, const RECT& Area,
                                         const ItemState& State, const RECT* Frame) const {
    TdxBarManager* manager = Control.ParentView().Manager();
    const int imageSize = manager != nullptr ? manager->ImageSize() : 16;
    const bool check = !Control.HasPicture();
    int width = imageSize, height = imageSize;
    if (!check) {
        if (TBitmap* glyph = Control.PaintGlyph(); glyph != nullptr && !glyph->Empty()) {
            width = glyph->Width();
            height = glyph->Height();
        } else if (TCustomImageList* images = Control.PaintImages()) {
            width = images->Width();
            height = images->Height();
        }
        if (manager != nullptr && manager->LargeIcons()) {
            if (manager->UseLargeImagesForLargeIcons() && manager->LargeImages() != nullptr) {
                width = manager->LargeImages()->Width();
                height = manager->LargeImages()->Height();
            } else if (width < imageSize) {
                width *= 2;
                height *= 2;
            }
        }
    }
    RECT image{Area.left + (Area.right - Area.left - width) / 2,
               Area.top + (Area.bottom - Area.top - height) / 2, 0, 0};
    if (State.Pressed) OffsetRect(image, GetDownGlyphOffset(), GetDownGlyphOffset());
    if (State.Down)
        OffsetRect(image, GetCheckedGlyphOffset(State.Pressed), GetCheckedGlyphOffset(State.Pressed));
    image.right = image.left + width;
    image.bottom = image.top + height;
    DrawGlyphCore(Control, DC, Area, image, State, Frame, check);
}

void TdxBarItemControlPainter::DrawGlyphCore(ItemPaintView& Control, HDC DC, const RECT& Area,
                                             const RECT& Image, const ItemState& State, const RECT* Frame,
                                             bool NoImage) const {
    TdxBarManager* manager = Control.ParentView().Manager();
    const int imageSize = manager != nullptr ? manager->ImageSize() : 16;
    const HBRUSH brush = GetButtonBrush(Control, State.InMenu ? 1 : 0, State);
    const int needW = (NoImage ? imageSize : Image.right - Image.left) + 2;
    const int needH = (NoImage ? imageSize : Image.bottom - Image.top) + 2;
    const bool fits = Area.right - Area.left >= needW && Area.bottom - Area.top >= needH;
    const RECT frame = Frame != nullptr ? *Frame : Area;
    const bool frameFirst = IsGlyphFrameDrawnFirst();
    if (frameFirst) DrawGlyphFrame(Control, DC, State, frame, fits, brush);
    if (NoImage) {
        DrawCheckGlyph(Control, DC, State, fits, brush, frame);
    } else {
        if (Frame != nullptr && !frameFirst) {
            // The rest of the frame's area gets the state's face first.
            const bool useBrush = State.InMenu || State.Pressed || State.Down || State.Selected;
            RECT inner = fits ? Inflated(frame, -1, -1) : frame;
            DrawBackground(Control, DC, useBrush, brush, inner);
        }
        DrawGlyphImage(Control, DC, State, Area, Image, fits, brush);
    }
    if (!frameFirst) DrawGlyphFrame(Control, DC, State, frame, fits, brush);
}

void TdxBarItemControlPainter::DrawItemText(ItemPaintView& Control, HDC DC, const std::string& Text,
                                            const RECT& R, int Alignment, bool Enabled, bool Selected,
                                            bool Clipped, bool Flat) const {
    if (Text.empty()) return;
    const int oldMode = SetBkMode(DC, TRANSPARENT);
    const HFONT paintFont = Control.ParentView().PaintFont();
    const SelectedObject font(DC, paintFont);
    if (IsTurnedFont(paintFont)) {
        COLORREF shadow = 0, text = 0;
        GetTextColors(Enabled, UseFlatTextColors() && Flat, Selected, shadow, text);
        DrawVerticalText(DC, Text, R, Alignment, Clipped, shadow, text);
        (void)oldMode;
        SetBkMode(DC, OPAQUE);
        return;
    }
    UINT format = DT_SINGLELINE | DT_VCENTER;
    if (!Clipped) format |= DT_NOCLIP;
    format |= Alignment == 1 ? DT_CENTER : Alignment == 2 ? DT_RIGHT : DT_LEFT;
    COLORREF shadow = 0, text = 0;
    GetTextColors(Enabled, UseFlatTextColors() && Flat, Selected, shadow, text);
    const COLORREF oldColor = SetTextColor(DC, text);
    RECT r = R;
    if (shadow != text) {
        RECT moved = r;
        OffsetRect(moved, 1, 1);
        DrawText(DC, Text.c_str(), static_cast<int>(Text.size()), &moved, format);
        SetTextColor(DC, shadow);
    }
    DrawText(DC, Text.c_str(), static_cast<int>(Text.size()), &r, format);
    SetTextColor(DC, oldColor);
    (void)oldMode;
    SetBkMode(DC, OPAQUE);
}

void TdxBarItemControlPainter::DrawWindowFrame(HWND Wnd, bool Sizeable, int Corner, RECT& GripRect,
                                               RECT& CloseButtonRect, bool CloseButtonHot,
                                               bool CloseButtonPressed) const {
    DrawSizeableWindowFrame(Wnd, Sizeable, false, Corner, GripRect, CloseButtonRect, CloseButtonHot,
                            CloseButtonPressed);
}

void TdxBarItemControlPainter::DrawSeparatorLine(HDC DC, const RECT& R) const {
    FillRect(DC, &R, GetSysColorBrush(COLOR_BTNSHADOW));
}

HBRUSH TdxBarItemControlPainter::GetButtonBrush(ItemPaintView& Control, int, const ItemState&) const {
    return Control.ParentView().BkBrush();
}

int TdxBarItemControlPainter::GetFloatingBorderWidth() const {
    return GetSystemMetrics(SM_CXSIZEFRAME);
}

int TdxBarItemControlPainter::GetFloatingBorderHeight() const {
    return GetSystemMetrics(SM_CYSIZEFRAME);
}

HBRUSH TdxBarItemControlPainter::GetManagerBrush(const TdxBarManager* Manager) const {
    return Manager != nullptr && Manager->FlatBrush(1) != nullptr ? Manager->FlatBrush(1)
                                                                  : GetSysColorBrush(COLOR_BTNFACE);
}

void TdxBarItemControlPainter::DrawBarBackground(BarPaintView& Bar, HDC DC, const RECT& R,
                                                 HBRUSH Brush) const {
    const HBRUSH brush = Brush != nullptr ? Brush : Bar.BkBrush();
    if (Bar.IsSubMenu()) {
        DrawSubMenuBitmap(Bar, DC, clNone, brush, R);
        return;
    }
    if (Bar.Bar() != nullptr && Bar.PaintDockingStyle() == dsNone) {
        DrawFloatingBackground(Bar, DC, clNone, brush, RECT{0, 0, Bar.ClientWidth(), Bar.ClientHeight()}, R);
        return;
    }
    FillRect(DC, &R, brush);
}

void TdxBarItemControlPainter::DrawBarBitmapBackground(BarPaintView& Bar, HDC DC, TColor Color, HBRUSH Brush,
                                                       POINT Origin, const RECT& R) const {
    RECT site{0, 0, 0, 0};
    if (!Bar.DockSiteRect(site)) {
        FillRectWithBitmap(DC, R, R, nullptr, Color, Brush);
        return;
    }
    // The site's own background, as far as the toolbar covers it.
    OffsetRect(site, Origin.x, Origin.y);
    TdxBarManager* manager = Bar.Manager();
    const TColor dock = Color != clNone || manager == nullptr ? Color : manager->DockColor();
    DrawDockBackground(DC, R, site, dock, nullptr, Bar.PaintDockingStyle(), Bar.PaintDockSite());
}

void TdxBarItemControlPainter::DrawBarNonClientBackground(BarPaintView& Bar, HDC DC) const {
    const RECT r = Bar.NonClientRect();
    if (IsRectEmpty(r)) return;
    FillRect(DC, &r, GetManagerBrush(Bar.Manager()));
}

void TdxBarItemControlPainter::DrawFloatingBackground(BarPaintView&, HDC DC, TColor Color, HBRUSH Brush,
                                                      const RECT& Origin, const RECT& R) const {
    FillRectWithBitmap(DC, R, Origin, nullptr, Color, Brush);
}

RECT TdxBarItemControlPainter::GetNonClientBorders(BarPaintView&) const {
    const int b = GetBorderSize();
    return RECT{b, b, b, b};
}

void TdxBarItemControlPainter::FillCaption(BarPaintView&, HDC DC, HBRUSH Brush, const RECT& R) const {
    FillRect(DC, &R, Brush);
}

SIZE TdxBarItemControlPainter::GetCaptionButtonSize() const {
    const int h = GetCaptionHeight();
    return SIZE{h, h};
}

void TdxBarItemControlPainter::InvalidateMark(BarPaintView& Bar) const {
    const HWND wnd = Bar.PaintWindow();
    if (wnd == nullptr) return;
    if (Bar.PaintDockingStyle() != dsNone) {
        const RECT r = GetMarkRect(Bar);
        InvalidateRect(wnd, &r, FALSE_);
        return;
    }
    if (!Bar.MarkVisible()) return;
    // The caption is non-client: it is drawn at once rather than through a paint message.
    const pw::gui::WindowDC dc(wnd, pw::gui::WindowDC::Area::Window);
    DrawCaptionMark(Bar, dc.Get(), Bar.CaptionMarkRect());
}

void TdxBarItemControlPainter::DrawStatusBarBackground(BarPaintView& Bar, HDC DC, HBRUSH Brush, const RECT&,
                                                       const RECT& R) const {
    FillRect(DC, &R, Brush != nullptr ? Brush : Bar.BkBrush());
}

void TdxBarItemControlPainter::DrawDockBackground(HDC DC, const RECT& Dest, const RECT& Origin, TColor Color,
                                                  HBRUSH Brush, TdxBarDockingStyle, DockPaintView*) const {
    FillRectWithBitmap(DC, Dest, Origin, nullptr, Color, Brush);
}

HBRUSH TdxBarItemControlPainter::GetBarBrush(BarPaintView&) const {
    return GetSysColorBrush(COLOR_BTNFACE);
}

HBRUSH TdxBarItemControlPainter::GetPatternBrush(BarPaintView&) const {
    return PatternBrush();
}

HBRUSH TdxBarItemControlPainter::GetFaceBrush(BarPaintView&) const {
    return GetSysColorBrush(COLOR_BTNFACE);
}

HBRUSH TdxBarItemControlPainter::GetSelectedBrush(BarPaintView&) const {
    return GetSysColorBrush(COLOR_HIGHLIGHT);
}

int TdxBarItemControlPainter::GetCaptionHeight() const {
    NONCLIENTMETRICS ncm;
    SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    return ncm.iSmCaptionHeight;
}

void TdxBarItemControlPainter::DrawSeparator(BarPaintView& Bar, HDC DC, bool Horizontal, HBRUSH Brush,
                                             RECT R) const {
    const int s = GetSeparatorLineOffset();
    RECT line = R;
    if (Horizontal) {
        Bar.PaintBackground(DC, RECT{R.left, R.top, R.left + s, R.bottom}, Brush);
        Bar.PaintBackground(DC, RECT{R.left + s + 2, R.top, R.right, R.bottom}, Brush);
        line = RECT{R.left + s, R.top + s, R.left + s + 2, R.bottom - s};
        Bar.PaintBackground(DC, RECT{R.left + s, R.top, R.left + s + 2, R.top + s}, Brush);
        Bar.PaintBackground(DC, RECT{R.left + s, R.bottom - s, R.left + s + 2, R.bottom}, Brush);
        DrawEdge(DC, &line, EDGE_ETCHED, BF_LEFT);
    } else {
        Bar.PaintBackground(DC, RECT{R.left, R.top, R.right, R.top + s}, Brush);
        Bar.PaintBackground(DC, RECT{R.left, R.top + s + 2, R.right, R.bottom}, Brush);
        line = RECT{R.left + s, R.top + s, R.right - s, R.top + s + 2};
        Bar.PaintBackground(DC, RECT{R.left, R.top + s, R.left + s, R.top + s + 2}, Brush);
        Bar.PaintBackground(DC, RECT{R.right - s, R.top + s, R.right, R.top + s + 2}, Brush);
        DrawEdge(DC, &line, EDGE_ETCHED, BF_TOP);
    }
}

void TdxBarItemControlPainter::DrawCaptionButtonBackground(BarPaintView& Bar, HDC DC, int State,
                                                           const RECT& R) const {
    if (State == 0) {
        const OwnedObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(GetCaptionColor(Bar, false))));
        FillRect(DC, &R, brush.Get());
        return;
    }
    FrameHighlight(DC, R);
    const RECT inner = Inflated(R, -1, -1);
    FillRect(DC, &inner, State == 1 ? GetSelectedBrush(Bar) : GetFaceBrush(Bar));
}

namespace {

// The small-caption font, with the manager's face unless it takes the system's fonts, and at least
// 11 pixels high then.
LOGFONT FloatingCaptionFont(TdxBarManager* Manager) {
    NONCLIENTMETRICS ncm;
    SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    LOGFONT lf = ncm.lfSmCaptionFont;
    if (Manager != nullptr && !Manager->UseSystemFont()) {
        const std::string& face = Manager->Font()->Name();
        std::snprintf(lf.lfFaceName, sizeof(lf.lfFaceName), "%s", face.c_str());
        if (lf.lfHeight > -11) lf.lfHeight = -11;
    }
    return lf;
}

} // namespace

int TdxBarItemControlPainter::GetFloatingCaptionWidth(BarPaintView& Bar) const {
    TdxBar* bar = Bar.Bar();
    const bool canClose = bar != nullptr && bar->CanClose();
    const int height = GetCaptionHeight();
    // The text's left and what stands at the right, measured on a caption wide enough for all of it.
    int left = 2, right = canClose ? height : 0;
    if (Bar.MarkVisible()) {
        const int wide = 10000;
        const RECT mark = GetCaptionMarkRect(RECT{0, 0, wide, height}, canClose);
        if (mark.left < wide / 2)
            left = mark.right + 3;
        else
            right = std::max(right, wide - static_cast<int>(mark.left));
    }
    const std::string caption = bar != nullptr ? bar->Caption() : std::string();
    SIZE text{0, 0};
    if (!caption.empty()) {
        const pw::gui::WindowDC screen(nullptr);
        const LOGFONT lf = FloatingCaptionFont(Bar.Manager());
        const OwnedObject<HFONT> font(CreateFontIndirect(&lf));
        const SelectedObject selected(screen.Get(), font.Get());
        GetTextExtentPoint32(screen.Get(), caption, &text);
    }
    // A pixel of room after the text, as on either side of it.
    return left + text.cx + 2 + right;
}

void TdxBarItemControlPainter::DrawFloatingCaption(BarPaintView& Bar, HDC DC, HBRUSH Brush, RECT R) const {
    const RECT below{R.left, R.bottom, R.right, R.bottom + 1};
    FillRect(DC, &below, Brush);
    const bool filled = IsCaptionFilled();
    const COLORREF captionColor = ColorToRGB(GetCaptionColor(Bar, false));
    if (filled) FillCaption(Bar, DC, Brush, R);
    TdxBar* bar = Bar.Bar();
    if (bar != nullptr && bar->CanClose()) {
        DrawCloseButton(Bar, DC, Bar.CloseButtonRect());
        // The button's square at the caption's end, whatever the size of the button in it.
        R.right -= GetCaptionHeight();
    }
    int left = R.left + 2;
    if (Bar.MarkVisible()) {
        left = GetCaptionTextLeft(Bar);
        // A mark at the caption's right end cuts the text short.
        if (const RECT mark = Bar.CaptionMarkRect(); mark.left >= left)
            R.right = std::min(R.right, mark.left);
    }
    const std::string caption = bar != nullptr ? bar->Caption() : std::string();
    if (!caption.empty()) {
        const LOGFONT lf = FloatingCaptionFont(Bar.Manager());
        const OwnedObject<HFONT> font(CreateFontIndirect(&lf));
        const SelectedObject selected(DC, font.Get());
        SetTextColor(DC, ColorToRGB(GetCaptionTextColor(Bar)));
        SetBkColor(DC, captionColor);
        SIZE size{0, 0};
        GetTextExtentPoint32(DC, caption, &size);
        const int oldMode = filled ? SetBkMode(DC, TRANSPARENT) : GetBkMode(DC);
        RECT clip = R;
        ExtTextOut(DC, left, (R.top + R.bottom - size.cy) / 2, ETO_CLIPPED | (filled ? 0 : ETO_OPAQUE), &clip,
                   caption.c_str(), static_cast<UINT>(caption.size()), nullptr);
        SetBkMode(DC, oldMode);
    } else if (!filled) {
        const OwnedObject<HBRUSH> fill(CreateSolidBrush(captionColor));
        FillRect(DC, &R, fill.Get());
    }
    if (Bar.MarkVisible()) DrawCaptionMark(Bar, DC, Bar.CaptionMarkRect());
}

void TdxBarItemControlPainter::DrawCaptionMark(BarPaintView& Bar, HDC DC, const RECT& R) const {
    DrawCaptionMarkGlyph(Bar, DC, R);
}

void TdxBarItemControlPainter::DrawMark(BarPaintView& Bar, HDC DC, HBRUSH Brush, const RECT& R) const {
    DrawMarkBackground(Bar, DC, Brush, R);
    DrawMarkArrows(Bar, DC, R);
}

void TdxBarItemControlPainter::DrawSizeGripArea(BarPaintView& Bar, HDC DC, HBRUSH Brush,
                                                const RECT& R) const {
    const int grip = GetSizeGripSize(Bar.Bar());
    const RECT top{R.left, R.top, R.right, std::max(R.top, R.bottom - grip)};
    const RECT bottom{R.left, top.bottom, R.right, R.bottom};
    FillBarBackground(Bar, DC, Brush, top);
    DrawBarSizeGrip(Bar, DC, Brush, bottom);
}

void TdxBarItemControlPainter::DrawBarSizeGrip(BarPaintView& Bar, HDC DC, HBRUSH Brush, const RECT& R) const {
    Bar.PaintBackground(DC, R, Brush);
    DrawSizeGripTransparent(DC, R);
}

void TdxBarItemControlPainter::FillBarBackground(BarPaintView& Bar, HDC DC, HBRUSH Brush,
                                                 const RECT& R) const {
    Bar.PaintBackground(DC, R, Brush);
}

int TdxBarItemControlPainter::GetSizeGripSize(const TdxBar*) const {
    return GetSystemMetrics(SM_CXHSCROLL);
}

int TdxBarItemControlPainter::GetCaptionIndent(ItemPaintView& Control) const {
    const pw::gdi::MemoryDC screen(nullptr);
    TEXTMETRIC tm{};
    const SelectedObject font(screen.Get(), Control.ParentView().PaintFont());
    GetTextMetrics(screen.Get(), &tm);
    // The character height, whichever way the font was given.
    return std::abs(tm.tmHeight - tm.tmInternalLeading) / 2;
}

int TdxBarItemControlPainter::CalcSubItemHeight(ItemPaintView& Control, bool ShowCaption, bool) const {
    BarPaintView& bar = Control.ParentView();
    if (bar.IsSubMenu()) return bar.MenuLineHeight();
    TdxBarManager* manager = bar.Manager();
    const int s = (Control.HasPicture() || !ShowCaption) && manager != nullptr ? manager->ButtonHeight() : 0;
    if (s != 0 && (!ShowCaption || s >= bar.LineHeight())) return s;
    return bar.LineHeight();
}

int TdxBarItemControlPainter::CalcSubItemWidth(ItemPaintView& Control, bool ShowCaption,
                                               bool OnMainMenu) const {
    BarPaintView& bar = Control.ParentView();
    if (bar.IsSubMenu())
        return TextExtent(bar, StripAmpersands(Control.PaintCaption())).cx + 2 * bar.MenuLineHeight() + 3;
    TdxBarManager* manager = bar.Manager();
    int width = ShowCaption ? TextExtent(bar, StripAmpersands(Control.PaintCaption())).cx : 0;
    if (!Control.HasPicture() && ShowCaption)
        width += 2 * GetCaptionIndent(Control);
    else if (manager != nullptr)
        width += manager->ButtonWidth() + (ShowCaption ? 4 : 0);
    if (!OnMainMenu) width += bar.LineHeight() / 2;
    return width;
}

void TdxBarItemControlPainter::DrawSubItem(ItemPaintView& Control, HDC DC, const RECT& R,
                                           const ItemState& State, bool ShowCaption, bool OnMainMenu) const {
    BarPaintView& bar = Control.ParentView();
    if (State.InMenu) {
        DrawButtonBackground(Control, DC, State, R);
        RECT arrow = R;
        arrow.left = R.right - bar.MenuLineHeight();
        DrawButtonArrowSized(DC, arrow, UseFlatTextColors(), State.Enabled, State.Selected, bar.ArrowSize(),
                             false);
        return;
    }
    TdxBarManager* manager = bar.Manager();
    RECT glyphArea = R;
    if (Control.HasPicture() && manager != nullptr) glyphArea.right = R.left + manager->ButtonWidth();
    DrawGlyph(Control, DC, glyphArea, State, &R);
    RECT text = R;
    if (Control.HasPicture() || !ShowCaption)
        text.left += manager != nullptr ? manager->ButtonWidth() : 0;
    else
        text.left += GetCaptionIndent(Control);
    if (State.Pressed && !NoPressedTextShift(Control)) OffsetRect(text, 1, 1);
    if (ShowCaption)
        DrawItemText(Control, DC, Control.PaintCaption(), text, 0, State.Enabled,
                     State.Enabled && State.Selected, false, true);
    if (!OnMainMenu) {
        RECT arrow = R;
        arrow.left = R.right - bar.LineHeight() / 2;
        DrawButtonArrowSized(DC, arrow, UseFlatTextColors(), State.Enabled, State.Selected && !State.Pressed,
                             bar.ArrowSize() - 1, true);
    }
}

} // namespace bars

namespace bars {

int TdxBarItemControlPainter::GetSubMenuGlyphIndent(ItemPaintView& Control) const {
    BarPaintView& bar = Control.ParentView();
    return bar.IsSubMenu() ? bar.MenuLineHeight() + 1 : 0;
}

void TdxBarItemControlPainter::DrawMenuSeparator(ItemPaintView& Control, HDC DC, const RECT& R) const {
    BarPaintView& bar = Control.ParentView();
    bar.PaintBackground(DC, R, nullptr);
    TdxBarManager* manager = bar.Manager();
    const int margin = manager != nullptr ? manager->SeparatorMargin() : GetSeparatorMargin();
    // The etched line lies 4 pixels above the line it separates.
    RECT line{R.left + margin, R.bottom - 4, R.right - margin, R.bottom - 2};
    DrawEdge(DC, &line, EDGE_ETCHED, BF_TOP);
}

HBRUSH TdxBarItemControlPainter::GetSubMenuBkBrush() const {
    return GetSysColorBrush(COLOR_BTNFACE);
}

void TdxBarItemControlPainter::DeflateSubMenuRect(RECT& R) const {
    R = Inflated(R, -3, -3);
}

void TdxBarItemControlPainter::CalcSubMenuMetrics(BarPaintView& SubMenu, int TextHeight, int& LineHeight,
                                                  int& CheckWidth, int& ArrowWidth, int& GlyphWidth,
                                                  int& MarkHeight) const {
    LineHeight = TextHeight;
    MarkHeight = LineHeight;
    GlyphWidth = LineHeight / 4 * 3 + 1;
    ArrowWidth = TextExtent(SubMenu, "0").cx + 1;
    if (const int a = CalcMenuArrowSize(ArrowWidth); a % 2 != 0) ArrowWidth = (a - 1) * 2 + 6;
    CheckWidth = 19;
}

RECT TdxBarItemControlPainter::CalcSubMenuItemsRect(BarPaintView& SubMenu, bool Unlimited, bool MarkShown,
                                                    int& MaxBottom) const {
    const int inset = GetSubMenuBorderSize() - 1;
    MaxBottom =
        Unlimited ? 0x7FFFFFFF : SubMenu.ClientHeight() - inset - (MarkShown ? SubMenu.MarkLineHeight() : 0);
    return RECT{SubMenu.SideBarWidth() + inset, inset, SubMenu.ClientWidth() - inset, inset};
}

SIZE TdxBarItemControlPainter::CalcSubMenuSize(BarPaintView& SubMenu, int Width, int Height,
                                               bool MarkShown) const {
    const int frame = 2 * GetSubMenuBorderSize();
    if (Width == 0)
        Width = 100;
    else
        Width += SubMenu.SideBarWidth() + frame;
    // An empty menu keeps one line's room.
    if (MarkShown || Height == 0) Height += MarkShown ? SubMenu.MarkLineHeight() : SubMenu.MenuLineHeight();
    return SIZE{Width, Height + frame + (SubMenu.HasDetachBar() ? GetSubMenuDetachHeight(SubMenu) : 0)};
}

void TdxBarItemControlPainter::DrawSubMenuBorder(BarPaintView& SubMenu, HDC DC, const RECT& R) const {
    // The outer ring: the face at the left and the top, each without its last pixel, which the dark
    // edge at the right and the bottom takes.
    const HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    const RECT left{R.left, R.top, R.left + 1, R.bottom - 1}, top{R.left, R.top, R.right - 1, R.top + 1};
    FillRect(DC, &left, face);
    FillRect(DC, &top, face);
    RECT r = R;
    DrawEdge(DC, &r, BDR_RAISEDOUTER, BF_BOTTOM | BF_RIGHT);
    if (!SubMenu.HasDetachBar()) return;
    // The tear-off bar: a raised edge along the top and down both sides, a face ring round the bar.
    r = Inflated(R, -1, -1);
    DrawEdge(DC, &r, BDR_RAISEDINNER, BF_LEFT | BF_TOP | BF_RIGHT);
    r = Inflated(r, -1, -1);
    r.bottom = R.top + 1 + GetSubMenuDetachHeight(SubMenu);
    FrameRect(DC, &r, face);
    FillDetachCaption(SubMenu, DC, Inflated(r, -1, -1));
}

TBitmap* SubMenuBackgroundBitmap(BarPaintView& SubMenu) {
    if (TBitmap* own = SubMenu.OwnBackgroundBitmap(); own != nullptr && !own->Empty()) return own;
    TdxBarManager* manager = SubMenu.Manager();
    TdxBarBackgrounds* backgrounds = manager != nullptr ? manager->Backgrounds() : nullptr;
    TBitmap* shared = backgrounds != nullptr ? backgrounds->SubMenu() : nullptr;
    return shared != nullptr && !shared->Empty() ? shared : nullptr;
}

void TdxBarItemControlPainter::DrawSubMenuBitmap(BarPaintView& SubMenu, HDC DC, TColor Color, HBRUSH Brush,
                                                 const RECT& R) const {
    FillRectWithBitmap(DC, R, R, SubMenuBackgroundBitmap(SubMenu), Color, Brush);
}

void TdxBarItemControlPainter::DrawSubMenuDetachFrame(BarPaintView& SubMenu, HDC DC, HBRUSH Brush,
                                                      RECT R) const {
    if (SubMenu.HasDetachBar()) R.bottom -= 2;
    DrawEdge(DC, &R, BDR_RAISEDINNER, BF_RECT);
    R = Inflated(R, -1, -1);
    FrameRect(DC, &R, Brush);
}

int TdxBarItemControlPainter::GetSubMenuDetachHeight(BarPaintView& SubMenu) const {
    int h = TextExtent(SubMenu, "Qq").cy / 2;
    if (h % 2 == 0) ++h;
    return h + 3;
}

void TdxBarItemControlPainter::FillDetachCaption(BarPaintView& SubMenu, HDC DC, const RECT& R) const {
    FillRect(DC, &R, GetSysColorBrush(SubMenu.DetachHot() ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
}

void TdxBarItemControlPainter::DrawScrollArrow(BarPaintView& SubMenu, HDC DC, bool Up, const RECT& R) const {
    const int s = std::max(SubMenu.MenuLineHeight() / 3 - 1, 2);
    const int c = SubMenu.SideBarWidth() + (SubMenu.ClientWidth() - SubMenu.SideBarWidth()) / 2;
    const int h = R.bottom - R.top;
    POINT p[3];
    if (Up) {
        const int y = R.top + (h - s) / 2 + s - 1;
        p[0] = POINT{c - (s - 1), y};
        p[1] = POINT{c + s - 1, y};
        p[2] = POINT{c, y - (s - 1)};
    } else {
        const int y = R.bottom - (h - s) / 2 - s;
        p[0] = POINT{c - (s - 1), y};
        p[1] = POINT{c + s - 1, y};
        p[2] = POINT{c, y + s - 1};
    }
    const SolidPenAndBrush tools(DC, GetSysColor(COLOR_BTNTEXT));
    Polygon(DC, p, 3);
}

void TdxBarItemControlPainter::DrawExpandArrows(BarPaintView& SubMenu, HDC DC, bool Hot,
                                                const RECT& R) const {
    const int height = R.bottom - R.top;
    const int s = std::max(CalcMenuArrowSize(height), 2);
    const int x = (R.left + R.right - (s + 1)) / 2;
    const int y0 = R.top + (height - 2 * s) / 2;
    const COLORREF color = GetSysColor(Hot && IsHighContrastWhite() ? COLOR_BTNFACE : COLOR_BTNTEXT);
    const OwnedObject<HPEN> pen(CreatePen(PS_SOLID, 1, color));
    const SelectedObject selected(DC, pen.Get());
    (void)SubMenu;
    // Two chevrons pointing down, one under the other.
    for (int r = 0; r < s; ++r) {
        const int y = y0 + r + (r >= s / 2 ? s / 2 : 0);
        const POINT v[3] = {{x, y}, {x + s / 2, y + s / 2}, {x + s + 1, y - 1}};
        Polyline(DC, v, 3);
    }
}

void TdxBarItemControlPainter::DrawSubMenuFrame(BarPaintView& SubMenu, HDC DC,
                                                const SubMenuParts& Parts) const {
    const HBRUSH brush = SubMenu.BkBrush();
    const RECT& items = Parts.Items;
    const int side = SubMenu.SideBarWidth(), width = SubMenu.ClientWidth();
    for (const RECT& r :
         {RECT{side, 0, width, items.top}, RECT{side, Parts.LinesBottom, width, Parts.SpaceBottom},
          RECT{side, items.top, items.left, items.bottom}, RECT{items.right, items.top, width, items.bottom}})
        if (r.right > r.left && r.bottom > r.top) SubMenu.PaintBackground(DC, r, brush);
    // The arrows over the background they lie on.
    for (const auto& [arrow, up] : {std::pair{Parts.TopArrow, true}, std::pair{Parts.BottomArrow, false}}) {
        if (IsRectEmpty(arrow)) continue;
        SubMenu.PaintBackground(DC, arrow, brush);
        DrawScrollArrow(SubMenu, DC, up, arrow);
    }
    if (!IsRectEmpty(Parts.BottomArrow) && Parts.BottomArrowSeparator) {
        const RECT row{Parts.BottomArrow.left, Parts.BottomArrow.top - 1, Parts.BottomArrow.right,
                       Parts.BottomArrow.top};
        FillRect(DC, &row,
                 GetSysColorBrush(Parts.BottomArrowRarelyUsed ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT));
    }
    if (IsRectEmpty(Parts.Mark)) return;
    SubMenu.PaintBackground(DC, Parts.Mark, brush);
    if (Parts.MarkState == 1) {
        RECT edge = Parts.Mark;
        DrawEdge(DC, &edge, BDR_RAISEDINNER, BF_RECT);
    }
    DrawExpandArrows(SubMenu, DC, false, Parts.Mark);
}

} // namespace bars
