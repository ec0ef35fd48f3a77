#include "app/colorpicker/color_popup.h"

#include <algorithm>

#include "app/colorpicker/color_picker_button.h"
#include "app/colorpicker/color_tables.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/metrics.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/text.h"
#include "platform/graphics/graphics_types.h"
#include "platform/gui/keys.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "platform/gui/window_dc.h"
#include "platform/vcl/application.h"
#include "platform/vcl/screen.h"

using namespace colorpicker;

namespace {

// The larger of the two texts' sizes in the popup's font, on one line.
SIZE MeasureTexts(HWND Wnd, const std::string& A, const std::string& B) {
    const pw::gui::WindowDC window(Wnd);
    HDC dc = window.Get();
    const pw::gdi::SelectedObject font(dc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{0, 0};
    for (const std::string* text : {&A, &B}) {
        if (text->empty()) continue;
        RECT r{0, 0, 0, 0};
        DrawText(dc, text->c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
        size.cx = std::max(size.cx, static_cast<LONG>(r.right - r.left));
        size.cy = std::max(size.cy, static_cast<LONG>(r.bottom - r.top));
    }
    return size;
}

} // namespace

TColorPopup::TColorPopup(TColorPickerButton* Owner) : TCustomControl(Owner), button_(Owner) {
    TControlStyle style = ControlStyle();
    style.Exclude(csAcceptsControls);
    style.Include(csOpaque);
    SetControlStyle(style);
    SetColor(clBtnFace);
    SetShowHint(true);
    SetVisible(false);
    // The application shows hints only for controls with a hint; CM_HINTSHOW writes the real one.
    SetHint(" ");
    grid_.EdgeWidth = GetSystemMetrics(SM_CXEDGE);
}

TColorPopup::~TColorPopup() = default;

void TColorPopup::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    // A child of the desktop: on top of every window and never activated.
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    Params.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    Params.WndParent = GetDesktopWindow();
    Params.WindowClass.style = CS_SAVEBITS | CS_DBLCLKS;
}

void TColorPopup::CreateWnd() {
    TCustomControl::CreateWnd();
    ComputeLayout();
}

void TColorPopup::ComputeLayout() {
    const SIZE text =
        grid_.HasDefault() || grid_.HasCustom()
            ? MeasureTexts(HandleAllocated() ? Handle() : nullptr, grid_.DefaultText, grid_.CustomText)
            : SIZE{0, 0};
    grid_.ComputeLayout(text);
    const TRect& r = grid_.WindowRect();
    SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
}

void TColorPopup::SelectColor(TColor Color) {
    currentColor_ = Color;
    hotCell_ = kNoCell;
    FindCell(Color);
}

int TColorPopup::FindCell(TColor Color) {
    auto choose = [this](int cell) {
        chosenCell_ = cell;
        return cell;
    };
    if (Color == clNone) return choose(kNoCell);
    if (Color == clDefault) return choose(kDefaultCell);
    if (grid_.ShowSystemColors)
        for (int i = 0; i < kSystemColorCount; ++i)
            if (kSystemColors[static_cast<size_t>(i)].Color == Color) return choose(kNamedColorCount + i);
    const COLORREF rgb = ColorToRGB(Color);
    for (int i = 0; i < kNamedColorCount; ++i)
        if (ColorToRGB(kNamedColors[static_cast<size_t>(i)].Color) == rgb) return choose(i);
    if (grid_.ShowSystemColors && Color >= 0)
        for (int i = 0; i < kSystemColorCount; ++i)
            if (ColorToRGB(kSystemColors[static_cast<size_t>(i)].Color) == rgb)
                return choose(kNamedColorCount + i);
    customChoice_ = 0;
    chosenCell_ = kNoCell;
    const auto& grays = grid_.GrayCells();
    for (size_t i = 0; i < grays.size(); ++i)
        if (grays[i].Color == Color) {
            customChoice_ = -static_cast<int>(i + 1);
            return choose(kCustomCell);
        }
    const auto& comb = grid_.CombCells();
    for (size_t i = 0; i < comb.size(); ++i)
        if (comb[i].Color == Color) {
            customChoice_ = static_cast<int>(i + 1);
            return choose(kCustomCell);
        }
    return kNoCell;
}

TColor TColorPopup::CustomColor() {
    if (customChoice_ > 0) return grid_.CombCells().at(static_cast<size_t>(customChoice_ - 1)).Color;
    if (customChoice_ < 0) return grid_.GrayCells().at(static_cast<size_t>(-customChoice_ - 1)).Color;
    return clNone;
}

void TColorPopup::PlaceAndShow() {
    const TRect& window = grid_.WindowRect();
    if (HandleAllocated()) {
        RECT strip{0, window.bottom - 3, window.right, window.bottom};
        InvalidateRect(Handle(), &strip, FALSE_);
    }
    const int width = window.right - window.left;
    const int height = PanelOpen() ? grid_.GrayRowRect().bottom + 2 * grid_.EdgeWidth : window.bottom;
    const TPoint buttonTop = button_->ClientToScreen(TPoint{0, 0});
    int x = buttonTop.x - 1;
    int y = buttonTop.y + button_->Height();
    if (y + height > Screen->Height()) {
        y = Screen->Height() - height;
        // Opens above the button rather than over it.
        if (buttonTop.y > y) y = buttonTop.y - height;
    }
    if (x + width > Screen->Width()) x = Screen->Width() - width;
    x = std::max(x, 0);
    SetWindowPos(Handle(), HWND_TOPMOST, x, y, width, height, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    UpdateBounds();
}

void TColorPopup::CloseUp(bool Cancel) {
    if (!Cancel) {
        if (chosenCell_ >= 0) {
            button_->SetSelectionColor(ColorGrid::CellColor(chosenCell_));
        } else if (chosenCell_ == kCustomCell) {
            const TColor custom = CustomColor();
            if (custom != clNone) button_->SetSelectionColor(custom);
        } else if (chosenCell_ == kDefaultCell) {
            button_->DefaultChosen();
        }
        // No cell chosen: nothing changes (the default is chosen through its own cell only).
    }
    pressed_ = false;
    dragTarget_ = cdNone;
    button_->SetPopupOpen(false);
}

void TColorPopup::ChooseCell(int Index) {
    if (Index == kNoCell) return;
    InvalidateCell(chosenCell_);
    chosenCell_ = Index;
    InvalidateCell(chosenCell_);
    if (Index == kCustomCell && button_->PopupOpen()) PlaceAndShow();
}

void TColorPopup::InvalidateCell(int Cell) {
    if (!HandleAllocated()) return;
    TRect r = grid_.CellRect(Cell);
    if (IsRectEmpty(r)) return;
    InvalidateRect(Handle(), &r, FALSE_);
}

void TColorPopup::InvalidatePanel() {
    if (!HandleAllocated()) return;
    RECT r{0, grid_.CombRect().top, ClientWidth(), grid_.GrayRowRect().bottom};
    InvalidateRect(Handle(), &r, FALSE_);
    RECT swatch = grid_.CustomSwatchRect();
    InvalidateRect(Handle(), &swatch, FALSE_);
}

void TColorPopup::SetHotCell(int Cell) {
    const int last = grid_.LastCell();
    if (Cell > last) Cell = kNoCell;
    if (Cell == hotCell_) return;
    InvalidateCell(hotCell_);
    hotCell_ = Cell;
    InvalidateCell(hotCell_);
}

void TColorPopup::SetIntensity(float Value) {
    intensity_ = std::clamp(Value, 0.0f, 1.0f);
    grid_.SetCenterColor(ColorChannels{intensity_, intensity_, intensity_});
    InvalidatePanel();
}

void TColorPopup::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CN_KEYDOWN:
        return CNKeyDown(TWMKey(Message));
    case CN_SYSKEYDOWN:
        return CNSysKeyDown(TWMKey(Message));
    case WM_MOUSEMOVE:
        return WMMouseMove(TWMMouse(Message));
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return WMLButtonDown(TWMMouse(Message));
    case WM_LBUTTONUP:
        return WMLButtonUp(TWMMouse(Message));
    case WM_KILLFOCUS:
        return WMKillFocus(TWMFocus(Message));
    case WM_ACTIVATEAPP:
        return WMActivateApp(TWMFlag(Message));
    case CM_HINTSHOW:
        return CMHintShow(TCMHintShow(Message));
    default:
        return TCustomControl::WndProc(Message);
    }
}
