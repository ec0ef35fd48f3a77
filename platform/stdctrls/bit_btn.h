#pragma once
// A push button with a picture beside its caption, drawn by the control over an owner-drawn
// "BUTTON" window.
#include <memory>

#include "platform/stdctrls/buttons.h"

class TBitmap;

enum TBitBtnKind {
    bkCustom,
    bkOK,
    bkCancel,
    bkHelp,
    bkYes,
    bkNo,
    bkClose,
    bkAbort,
    bkRetry,
    bkIgnore,
    bkAll
};
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

class TBitBtn : public TButton {
public:
    explicit TBitBtn(TComponent* AOwner);
    ~TBitBtn() override;
    std::string ClassName() const override { return "TBitBtn"; }

    // A kind sets the caption, the modal result and whether the button is the default or cancel one.
    TBitBtnKind Kind() const { return kind_; }
    void SetKind(TBitBtnKind Value);
    // Drawn transparently: pixels of its bottom-left colour are left out.
    TBitmap& Glyph() { return *glyph_; }
    void SetGlyph(TBitmap* Value);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout Value);
    // Distance of the glyph from the edge; -1 centres glyph and caption together.
    int Margin() const { return margin_; }
    void SetMargin(int Value);
    // Distance between glyph and caption; -1 centres the caption in the room left.
    int Spacing() const { return spacing_; }
    void SetSpacing(int Value);
    void WndProc(TMessage& Message) override;
    // Where glyph and caption go in a button of the given size (the caption's rectangle is returned).
    TRect CalcLayout(int ButtonWidth, int ButtonHeight, TPoint& GlyphPos);

protected:
    void CreateParams(TCreateParams& Params) override;
    // The window stays owner-drawn; the frame shows whether Enter presses this button.
    void SetButtonStyle(bool ADefault) override;

private:
    void CNDrawItem(TWMDrawItem Message);
    void DrawItem(const struct DRAWITEMSTRUCT& Item);

    std::unique_ptr<TBitmap> glyph_;
    TBitBtnKind kind_ = bkCustom;
    TButtonLayout layout_ = blGlyphLeft;
    int margin_ = -1;
    int spacing_ = 4;
    bool showDefault_ = false;
};
