#pragma once
// The drop-down window of the colour picker button: an optional default cell, 40 named colours, the
// system colours when asked for, and an optional custom cell that unfolds a panel of a colour comb, a
// row of greys and an intensity slider. It never takes the focus: the button hands it the mouse
// through its capture window and the keys through its keyboard hook.
#include <string>

#include "app/colorpicker/color_grid.h"
#include "platform/vcl/custom_control.h"

class TColorPickerButton;
struct TCMHintShow;

// What is being dragged in the custom panel.
enum TColorDragTarget { cdNone = 0, cdComb = 1, cdGrayRow = 2, cdSlider = 3 };

class TColorPopup : public TCustomControl {
public:
    explicit TColorPopup(TColorPickerButton* Owner);
    ~TColorPopup() override;
    std::string ClassName() const override { return "TColorPopup"; }

    colorpicker::ColorGrid& Grid() { return grid_; }
    // Lays the window out for the present texts and switches, in the window's font.
    void ComputeLayout();
    // Marks the cell that shows Color.
    void SelectColor(TColor Color);
    // The cell that shows Color (also made the chosen one); -2 with a custom choice for a colour of the
    // comb or the grey row.
    int FindCell(TColor Color);
    // Shows the window below the button (above it when the screen ends), grown for the custom panel
    // when the custom cell is chosen.
    void PlaceAndShow();
    // Hands the chosen colour to the button unless Cancel, then lets the button close the popup.
    void CloseUp(bool Cancel);
    // Makes a cell the chosen one; the custom cell unfolds the panel.
    void ChooseCell(int Index);

    TColor CurrentColor() const { return currentColor_; }
    int ChosenCell() const { return chosenCell_; }
    int HotCell() const { return hotCell_; }
    // 0 none; n > 0 the comb cell n - 1; n < 0 the grey cell -n - 1.
    int CustomChoice() const { return customChoice_; }
    TColorDragTarget DragTarget() const { return dragTarget_; }
    float Intensity() const { return intensity_; }
    // The colour of the custom choice; clNone when nothing in the panel is chosen.
    TColor CustomColor();

    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Paint() override;

private:
    void CNKeyDown(TWMKey Message);
    void CNSysKeyDown(TWMKey Message);
    void WMMouseMove(TWMMouse Message);
    void WMLButtonDown(TWMMouse Message);
    void WMLButtonUp(TWMMouse Message);
    void WMKillFocus(TWMFocus Message);
    void WMActivateApp(TWMFlag Message);
    void CMHintShow(TCMHintShow Message);

    // The cell an arrow key moves to from From.
    int ArrowTarget(WORD Key, int From) const;
    void SetHotCell(int Cell);
    void InvalidateCell(int Cell);
    void InvalidatePanel();
    void TrackCustomPanel(POINT P);
    void SetIntensity(float Value);
    bool PanelOpen() const { return chosenCell_ == colorpicker::kCustomCell; }
    // Text of the default or custom cell (or of the panel, -1) as the button's OnHint gives it.
    std::string ButtonHint(int Cell) const;

    void PaintCellFace(TCanvas& Canvas, const TRect& R, int Cell);
    void PaintColorCell(TCanvas& Canvas, int Index);
    void PaintTextCell(TCanvas& Canvas, int Cell, const std::string& Text);
    void PaintCustomPanel(TCanvas& Canvas);
    void PaintHexagon(TCanvas& Canvas, POINT Center, double Size);

    TColorPickerButton* button_;
    colorpicker::ColorGrid grid_;
    TColor currentColor_ = clNone;
    int chosenCell_ = colorpicker::kNoCell;
    int hotCell_ = colorpicker::kNoCell;
    int customChoice_ = 0;
    TColorDragTarget dragTarget_ = cdNone;
    float intensity_ = 1;
    // The left button went down inside the window and is still down.
    bool pressed_ = false;
};
