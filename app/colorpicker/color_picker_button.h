#pragma once
// A speed button with a colour indicator and a drop-down zone at its right edge that opens the colour
// popup; the colour chosen there becomes SelectionColor.
#include <functional>
#include <memory>
#include <string>

#include "platform/stdctrls/bit_btn.h" // TButtonLayout
#include "platform/vcl/custom_control.h"

class TBitmap;
class TColorPopup;

enum TIndicatorBorder { ibNone, ibFlat, ibSunken, ibRaised };
enum TSpeedButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

// Allowed false keeps the popup as it is.
using TDropChangingEvent = std::function<void(TObject* Sender, bool& Allowed)>;
// Cell -3 (default), -2 (custom) or -1 (a point of the custom panel outside any cell).
using TColorHintEvent = std::function<void(TObject* Sender, int Cell, std::string& Hint)>;

class TColorPickerButton : public TGraphicControl {
public:
    explicit TColorPickerButton(TComponent* AOwner);
    ~TColorPickerButton() override;
    std::string ClassName() const override { return "TColorPickerButton"; }

    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool Value);
    // Both texts are kept by the popup; an empty one hides its cell.
    const std::string& CustomText() const;
    void SetCustomText(const std::string& Value);
    const std::string& DefaultText() const;
    void SetDefaultText(const std::string& Value);
    bool Down() const { return down_; }
    // Only with a group; a button of a group going down raises the others.
    void SetDown(bool Value);
    TColor DropDownArrowColor() const { return arrowColor_; }
    void SetDropDownArrowColor(TColor Value);
    int DropDownWidth() const { return dropDownWidth_; }
    void SetDropDownWidth(int Value);
    bool Flat() const { return flat_; }
    void SetFlat(bool Value);
    TBitmap& Glyph() { return *glyph_; }
    void SetGlyph(TBitmap* Value);
    int NumGlyphs() const { return numGlyphs_; }
    // 1 .. 4; more is kept as 4.
    void SetNumGlyphs(int Value);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int Value);
    TIndicatorBorder IndicatorBorder() const { return indicatorBorder_; }
    void SetIndicatorBorder(TIndicatorBorder Value);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout Value);
    int Margin() const { return margin_; }
    void SetMargin(int Value);
    int Spacing() const { return spacing_; }
    void SetSpacing(int Value);
    int PopupSpacing() const;
    // Negative values become 0.
    void SetPopupSpacing(int Value);
    TColor SelectionColor() const { return selectionColor_; }
    void SetSelectionColor(TColor Value);
    bool ShowSystemColors() const;
    void SetShowSystemColors(bool Value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool Value);

    bool PopupOpen() const { return popupOpen_; }
    void SetPopupOpen(bool Value);
    TColorPopup& Popup() { return *popup_; }
    // The hidden window that holds the mouse while the popup is open.
    HWND CaptureWindow() const { return captureWindow_; }
    TSpeedButtonState State() const { return state_; }
    // The last left press was in the drop-down zone.
    bool InDropDownZone() const { return inDropDownZone_; }
    // Where the indicator is painted, as the last painting placed it.
    TRect IndicatorRect() const { return indicatorRect_; }
    // The user chose the default cell.
    virtual void DefaultChosen();

    void WndProc(TMessage& Message) override;

    TNotifyEvent OnChange;
    TNotifyEvent OnDefaultSelect;
    TDropChangingEvent OnDropChanging;
    TNotifyEvent OnDropChanged;
    TColorHintEvent OnHint;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DblClick() override;

private:
    void CMButtonPressed(TCMButtonPressed Message);
    void CMDialogChar(TWMChar Message);
    void CMEnabledChanged(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    void CMTextChanged(TMessage& Message);
    void UpdateExclusive();
    // The popup's texts or switches changed: it lays itself out again, and moves when it is open.
    void PopupChanged();
    void OpenPopup();
    void ClosePopup();
    static LRESULT CaptureWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    static LRESULT KeyboardHook(int Code, WPARAM WParam, LPARAM LParam);
    void CaptureMessage(TMessage& Message);

    // Painting steps.
    bool Pushed() const { return state_ == bsDown || state_ == bsExclusive; }
    void PaintFrame(TCanvas& Canvas, bool Pushed);
    void PaintSeparator(TCanvas& Canvas, bool Pushed);
    // Glyph and caption in Client, moved by Offset; answers the indicator's rectangle.
    TRect PaintContents(TCanvas& Canvas, const TRect& Client, TPoint Offset);
    void PaintIndicator(TCanvas& Canvas, TRect R);
    void PaintArrow(TCanvas& Canvas);

    std::unique_ptr<TBitmap> glyph_;
    int numGlyphs_ = 1;
    bool dragging_ = false;
    TSpeedButtonState state_ = bsUp;
    bool mouseInControl_ = false;
    bool inDropDownZone_ = false;
    bool popupOpen_ = false;
    TColorPopup* popup_ = nullptr;
    HWND captureWindow_ = nullptr;
    HHOOK keyboardHook_ = nullptr;

    bool allowAllUp_ = false;
    bool down_ = false;
    TColor arrowColor_ = clBlack;
    int dropDownWidth_ = 15;
    bool flat_ = false;
    int groupIndex_ = 0;
    TIndicatorBorder indicatorBorder_ = ibFlat;
    TButtonLayout layout_ = blGlyphLeft;
    int margin_ = -1;
    int spacing_ = 4;
    TColor selectionColor_ = clBlack;
    bool transparent_ = true;
    TRect indicatorRect_{0, 0, 0, 0};
};
