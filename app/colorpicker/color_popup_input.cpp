// The popup's keyboard, mouse and hints. Every mouse message comes through the button's capture window,
// every key through its keyboard hook, in the popup's client coordinates.
#include <cmath>

#include "app/colorpicker/color_picker_button.h"
#include "app/colorpicker/color_popup.h"
#include "platform/gui/keys.h"
#include "platform/gui/paint.h"
#include "platform/rtl/format.h"
#include "platform/vcl/application.h"

using namespace colorpicker;

namespace {

constexpr int kPanelHintTime = 5000;

} // namespace

int TColorPopup::ArrowTarget(WORD Key, int From) const {
    const bool hasDefault = grid_.HasDefault();
    const bool hasCustom = grid_.HasCustom();
    const int last = grid_.LastCell();
    const int cols = ColorGrid::kColumnCount;
    // Past either end of the grid: the custom cell, else the default cell, else the first cell.
    auto pastEnd = [&] { return hasCustom ? kCustomCell : hasDefault ? kDefaultCell : 0; };
    // Before the start: the default cell, else the custom cell, else the last cell.
    auto beforeStart = [&] { return hasDefault ? kDefaultCell : hasCustom ? kCustomCell : last; };
    if (From == kNoCell) return 0;
    switch (Key) {
    case VK_LEFT:
    case VK_UP:
        if (From == kDefaultCell) return hasCustom ? kCustomCell : last;
        if (From == kCustomCell) return last;
        if (Key == VK_LEFT) return From > 0 ? From - 1 : beforeStart();
        return From >= cols ? From - cols : beforeStart();
    case VK_RIGHT:
        if (From == kDefaultCell) return 0;
        if (From == kCustomCell) return hasDefault ? kDefaultCell : 0;
        return From + 1 > last ? pastEnd() : From + 1;
    case VK_DOWN:
        if (From == kCustomCell) return hasDefault ? kDefaultCell : 0;
        if (From == kDefaultCell) return 0;
        return From + cols > last ? pastEnd() : From + cols;
    default:
        return From;
    }
}

void TColorPopup::CNKeyDown(TWMKey Message) {
    const WORD key = Message.CharCode();
    switch (key) {
    case VK_RETURN:
    case VK_SPACE:
        // Without a hot cell there is nothing to choose: the popup closes as it was.
        if (hotCell_ == kNoCell) {
            CloseUp(true);
        } else {
            chosenCell_ = hotCell_;
            CloseUp(false);
        }
        Message.Result = 1;
        return;
    case VK_ESCAPE:
        CloseUp(true);
        Message.Result = 1;
        return;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        SetHotCell(ArrowTarget(key, hotCell_ != kNoCell ? hotCell_ : chosenCell_));
        if (HandleAllocated()) UpdateWindow(Handle());
        Message.Result = 1;
        return;
    default:
        return;
    }
}

void TColorPopup::CNSysKeyDown(TWMKey Message) {
    if (grid_.HasDefault() && IsAccel(Message.CharCode(), grid_.DefaultText)) {
        chosenCell_ = kDefaultCell;
        CloseUp(false);
        Message.Result = 1;
    } else if (grid_.HasCustom() && IsAccel(Message.CharCode(), grid_.CustomText)) {
        ChooseCell(kCustomCell);
        Message.Result = 1;
    }
}

void TColorPopup::WMMouseMove(TWMMouse Message) {
    const POINT p = Message.Pos();
    SetHotCell(grid_.CellAt(p.x, p.y));
    const bool inside = p.x >= 0 && p.y >= 0 && p.x < Width() && p.y < Height();
    if (hotCell_ == kNoCell && inside && pressed_) TrackCustomPanel(p);
    // The application follows the pointer over the popup for its hints.
    TCustomControl::WndProc(Message);
}

void TColorPopup::WMLButtonDown(TWMMouse Message) {
    const POINT p = Message.Pos();
    if (p.x < 0 || p.y < 0 || p.x >= Width() || p.y >= Height()) {
        CloseUp(true);
        return;
    }
    pressed_ = true;
    const int cell = grid_.CellAt(p.x, p.y);
    SetHotCell(cell);
    if (cell != kNoCell)
        InvalidateCell(cell);
    else if (PanelOpen())
        TrackCustomPanel(p);
}

void TColorPopup::WMLButtonUp(TWMMouse Message) {
    const POINT p = Message.Pos();
    const TColorDragTarget dragged = dragTarget_;
    dragTarget_ = cdNone;
    pressed_ = false;
    const int cell = grid_.CellAt(p.x, p.y);
    InvalidateCell(hotCell_);
    // Over no cell the popup stays, unless something was chosen in the open panel.
    if (cell == kNoCell && (!PanelOpen() || customChoice_ == 0)) return;
    ChooseCell(cell);
    if (chosenCell_ == kCustomCell && (dragged == cdComb || dragged == cdGrayRow)) {
        CloseUp(false);
        return;
    }
    if (cell == kCustomCell || cell == kNoCell) return;
    CloseUp(false);
}

void TColorPopup::TrackCustomPanel(POINT P) {
    const TRect& slider = grid_.SliderRect();
    const bool onSlider = PtInRect(slider, P);
    if ((onSlider && dragTarget_ == cdNone) ||
        (dragTarget_ == cdSlider && P.x >= slider.left && P.x < slider.right)) {
        dragTarget_ = cdSlider;
        SetIntensity(1.0f -
                     static_cast<float>(P.y - slider.top) / static_cast<float>(slider.bottom - slider.top));
        return;
    }
    if (PtInRect(grid_.GrayRowRect(), P) && (dragTarget_ == cdNone || dragTarget_ == cdGrayRow)) {
        dragTarget_ = cdGrayRow;
        const int gray = grid_.GrayCellNear(P);
        if (gray >= 0 && customChoice_ != -(gray + 1)) {
            customChoice_ = -(gray + 1);
            InvalidatePanel();
        }
        return;
    }
    if (PtInRect(grid_.CombRect(), P) && (dragTarget_ == cdNone || dragTarget_ == cdComb)) {
        dragTarget_ = cdComb;
        const int comb = grid_.CombCellNear(P);
        if (comb >= 0 && customChoice_ != comb + 1) {
            customChoice_ = comb + 1;
            InvalidatePanel();
        }
        return;
    }
    if (customChoice_ != 0) {
        customChoice_ = 0;
        InvalidatePanel();
    }
}

void TColorPopup::WMKillFocus(TWMFocus Message) {
    TCustomControl::WndProc(Message);
    if (button_->PopupOpen()) CloseUp(true);
}

void TColorPopup::WMActivateApp(TWMFlag Message) {
    TCustomControl::WndProc(Message);
    if (!Message.On() && button_->PopupOpen()) CloseUp(true);
}

std::string TColorPopup::ButtonHint(int Cell) const {
    std::string hint;
    if (button_->OnHint) button_->OnHint(button_, Cell, hint);
    return hint;
}

void TColorPopup::CMHintShow(TCMHintShow Message) {
    THintInfo* info = Message.HintInfo();
    if (!info || !button_->ShowHint()) {
        Message.Result = 1;
        return;
    }
    const POINT p = info->CursorPos;
    const int cell = grid_.CellAt(p.x, p.y);
    info->HintStr.clear();
    if (cell >= 0) {
        info->HintStr = std::string(ColorGrid::CellName(cell));
        info->CursorRect = grid_.CellRect(cell);
        return;
    }
    if (cell == kDefaultCell || cell == kCustomCell) {
        std::string hint = ButtonHint(cell);
        info->HintStr = hint.empty() ? button_->Hint() : hint;
        info->CursorRect = grid_.CellRect(cell);
        return;
    }
    if (!PanelOpen()) return;
    // Panel hints follow the pointer: the area asked about is the one point.
    info->CursorRect = TRect{p.x, p.y, p.x + 1, p.y + 1};
    if (PtInRect(grid_.SliderRect(), p)) {
        info->HintStr = Format("Intensity: %d%%", RoundEven(100.0 * intensity_));
        const TPoint at = ClientToScreen(TPoint{grid_.SliderRect().right, p.y - 8});
        info->HintPos = at;
        info->HideTimeout = kPanelHintTime;
        return;
    }
    int gray = grid_.GrayCellNear(p);
    int comb = gray < 0 ? grid_.CombCellNear(p) : -1;
    // While the button is held the hint names the chosen colour.
    if (pressed_ && customChoice_ != 0) {
        gray = customChoice_ < 0 ? -customChoice_ - 1 : -1;
        comb = customChoice_ > 0 ? customChoice_ - 1 : -1;
    }
    if (gray >= 0 || comb >= 0) {
        const TColor c = gray >= 0 ? grid_.GrayCells()[static_cast<size_t>(gray)].Color
                                   : grid_.CombCells()[static_cast<size_t>(comb)].Color;
        info->HintStr = Format("red: %d, green: %d, blue: %d", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
        info->HideTimeout = kPanelHintTime;
        return;
    }
    info->HintStr = ButtonHint(kNoCell);
}
