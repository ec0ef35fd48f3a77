#pragma once
// How the customizing window's list of commands draws its rows, one painter per bar style so that the
// list looks like the bars: a glyph column, the caption, the drop-down part of drop-down buttons, the
// arrow of sub-menus, and the edit box (and button) of edit and combo items.
#include <string>

#include "platform/gdi/gdi_defs.h"
#include "platform/rtl/colors.h"

class TCanvas;
class TdxBarItem;
class TdxBarManager;

namespace bars {

class TdxBarCustomizingFormPainter {
public:
    virtual ~TdxBarCustomizingFormPainter() = default;
    // A small triangle pointing right, its left edge at X from Y to Y + 6, in the canvas font colour.
    virtual void DrawArrow(TCanvas& Canvas, int X, bool Selected, int Y) const;
    virtual TColor GetBackgroundColor(bool Selected, TdxBarItem* Item) const;
    // The row of any item that is not an edit.
    virtual void DrawCommand(TCanvas& Canvas, const RECT& Rect, bool Selected, const std::string& Caption,
                             TdxBarItem* Item) const;
    // The row of an edit or combo item: its caption, then its box.
    virtual void DrawEditCommand(TCanvas& Canvas, const RECT& Rect, bool Selected, const std::string& Caption,
                                 TdxBarItem* Item) const;
    virtual void DrawFocusRect(TCanvas&, const RECT&, TdxBarItem*) const {}
    virtual TColor GetTextColor(bool Selected) const;

    // The painter matching the manager's bar style.
    static const TdxBarCustomizingFormPainter& For(const TdxBarManager* Manager);

protected:
    // The pieces the styles frame and fill differently.
    virtual void DrawGlyphColumn(HDC DC, const RECT& Column, bool Selected, bool HasImage) const;
    virtual void DrawDropDownPart(HDC DC, RECT Part, bool Selected) const;
    virtual void FrameEditBox(HDC DC, RECT& Box, bool Selected) const;
    virtual void DrawComboButton(HDC DC, RECT Button, bool Selected) const;
    // The selected row's own frame (none in the standard style).
    virtual void FrameSelectedRow(HDC, const RECT&) const {}
    // Where the glyph column ends and the caption's area begins.
    virtual int GlyphColumnWidth(const RECT&) const { return 23; }
};

class TdxBarCustomizingFormStandardPainter : public TdxBarCustomizingFormPainter {
public:
    void DrawFocusRect(TCanvas& Canvas, const RECT& Rect, TdxBarItem* Item) const override;
};

class TdxBarCustomizingFormFlatPainter : public TdxBarCustomizingFormPainter {
public:
    TColor GetBackgroundColor(bool Selected, TdxBarItem* Item) const override;
    TColor GetTextColor(bool Selected) const override;

protected:
    void DrawGlyphColumn(HDC DC, const RECT& Column, bool Selected, bool HasImage) const override;
    void DrawDropDownPart(HDC DC, RECT Part, bool Selected) const override;
    void FrameEditBox(HDC DC, RECT& Box, bool Selected) const override;
    void DrawComboButton(HDC DC, RECT Button, bool Selected) const override;
    void FrameSelectedRow(HDC DC, const RECT& Row) const override;
    int GlyphColumnWidth(const RECT& Row) const override { return Row.bottom - Row.top; }
    virtual void FrameSelection(HDC DC, const RECT& R) const;
    virtual HBRUSH NormalFrameBrush() const;
};

class TdxBarCustomizingFormOffice11Painter : public TdxBarCustomizingFormFlatPainter {
public:
    TColor GetBackgroundColor(bool Selected, TdxBarItem* Item) const override;
    TColor GetTextColor(bool Selected) const override;

protected:
    void DrawGlyphColumn(HDC DC, const RECT& Column, bool Selected, bool HasImage) const override;
    void FrameSelection(HDC DC, const RECT& R) const override;
    HBRUSH NormalFrameBrush() const override;
};

class TdxBarCustomizingFormXPPainter : public TdxBarCustomizingFormPainter {
public:
    void DrawFocusRect(TCanvas& Canvas, const RECT& Rect, TdxBarItem* Item) const override;

protected:
    void DrawGlyphColumn(HDC DC, const RECT& Column, bool Selected, bool HasImage) const override;
    void DrawDropDownPart(HDC DC, RECT Part, bool Selected) const override;
    void FrameEditBox(HDC DC, RECT& Box, bool Selected) const override;
    void DrawComboButton(HDC DC, RECT Button, bool Selected) const override;
};

// Whether the item shows a picture: its own glyph or an image of its manager's lists.
bool CustomizingItemHasImage(const TdxBarItem* Item);

} // namespace bars
