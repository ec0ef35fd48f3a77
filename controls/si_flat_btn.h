#pragma once
// A flat button that shows a raised edge while the pointer is over it and a lowered one while it is
// pressed; a strip of up to four glyph cells (normal, disabled, hot, pressed) beside its caption.
#include <memory>
#include <string>

#include "platform/vcl/custom_control.h"

class TBitmap;

enum TGlyphLayout { glGlyphLeft, glGlyphRight, glGlyphTop, glGlyphBottom };
enum TButtonOrientation { boHorizontal, boVertical };

class TsiFlatBtn : public TGraphicControl {
public:
    explicit TsiFlatBtn(TComponent* AOwner);
    ~TsiFlatBtn() override;
    std::string ClassName() const override { return "TsiFlatBtn"; }

    TBitmap& Glyph() { return *glyph_; }
    // Copies the bitmap; NumGlyphs becomes its width / height when that divides evenly and is below 5.
    void SetGlyph(TBitmap* Value);
    bool DrawFrame() const { return drawFrame_; }
    void SetDrawFrame(bool Value) { Store(drawFrame_, Value); }
    TColor FrameColor() const { return frameColor_; }
    void SetFrameColor(TColor Value) { Store(frameColor_, Value); }
    int NumGlyphs() const { return numGlyphs_; }
    // 1 to 4; a larger value is kept as 4.
    void SetNumGlyphs(int Value);
    TGlyphLayout GlyphLayout() const { return glyphLayout_; }
    void SetGlyphLayout(TGlyphLayout Value) { Store(glyphLayout_, Value); }
    TButtonOrientation ButtonOrientation() const { return orientation_; }
    void SetButtonOrientation(TButtonOrientation Value) { Store(orientation_, Value); }
    TColor A3DTopCl() const { return topColor_; }
    void SetA3DTopCl(TColor Value) { Store(topColor_, Value); }
    TColor A3DBotCl() const { return bottomColor_; }
    void SetA3DBotCl(TColor Value) { Store(bottomColor_, Value); }
    bool Elliptic() const { return elliptic_; }
    void SetElliptic(bool Value) { Store(elliptic_, Value); }

    bool MouseInside() const { return mouseInside_; }
    bool Pressed() const { return pressed_; }
    // The glyph cell the button shows in its present state.
    int GlyphCell();

    void WndProc(TMessage& Message) override;
    void Click() override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    template <class T> void Store(T& Field, T Value) {
        if (Field == Value) return;
        Field = Value;
        Invalidate();
    }
    void DrawEdges(bool Raised);
    void DrawGlyphAndCaption();

    std::unique_ptr<TBitmap> glyph_;
    bool drawFrame_ = false;
    TColor frameColor_;
    int numGlyphs_ = 1;
    TGlyphLayout glyphLayout_ = glGlyphLeft;
    TButtonOrientation orientation_ = boHorizontal;
    TColor topColor_;
    TColor bottomColor_;
    bool elliptic_ = true;
    bool mouseInside_ = false;
    bool pressed_ = false;
};
