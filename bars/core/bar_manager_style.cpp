// The manager's appearance: style and painter, image metrics, fonts, brushes, the redraw lock, and the
// setters of its published properties.
#include "bars/core/bar_manager.h"

#include <algorithm>

#include "bars/core/backgrounds.h"
#include "bars/core/bar_drawing.h"
#include "bars/core/bar_item.h"
#include "bars/core/bar_unit.h"
#include "bars/core/categories.h"
#include "bars/core/customizing_notify.h"
#include "bars/core/item_links.h"
#include "bars/core/popup_menu.h"
#include "bars/core/toolbars.h"
#include "bars/core/window_services.h"
#include "lookandfeel/colors.h"
#include "lookandfeel/look_and_feel.h"
#include "lookandfeel/office11.h"
#include "lookandfeel/themes.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/gdi_structs.h"
#include "platform/gdi/metrics.h"
#include "platform/gdi/muldiv.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/graphics_types.h"
#include "platform/graphics/image_list.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/messages.h"
#include "platform/rtl/string_list.h"
#include "platform/vcl/form.h"

namespace {

// The base painter's metrics, for managers whose style has no painter registered.
const bars::Painter& BasePainter() {
    static const bars::Painter painter;
    return painter;
}

} // namespace

TdxBarManagerStyle TdxBarManager::GetEffectivePaintStyle() const {
    if (style_ != bmsUseLookAndFeel) return style_;
    // While the manager is freed its settings may be gone already.
    if (lookAndFeel_ == nullptr) return bmsStandard;
    if (lookAndFeel_->NativeStyle() && themesAvailable_) return bmsXP;
    switch (lookAndFeel_->Kind()) {
    case lfFlat:
        return bmsEnhanced;
    case lfStandard:
        return bmsStandard;
    case lfUltraFlat:
        return bmsFlat;
    case lfOffice11:
        return bmsOffice11;
    }
    return bmsStandard;
}

const bars::Painter* TdxBarManager::GetPainterClass() {
    TdxBarManagerStyle style = GetEffectivePaintStyle();
    if (style == bmsXP && !themesAvailable_) style = bmsEnhanced;
    return bars::Windows().FindPainter(style);
}

const bars::Painter* TdxBarManager::PainterClass() const {
    return painter_ != nullptr ? painter_ : &BasePainter();
}

void TdxBarManager::UpdatePainter() {
    themesAvailable_ = AreVisualStylesAvailable(TdxThemeObjectTypes{totComboBox, totEdit, totProgress,
                                                                    totRebar, totScrollBar, totSpin,
                                                                    totStatus, totToolBar, totWindow});
    painter_ = GetPainterClass();
}

void TdxBarManager::StyleChanged() {
    styleChanging_ = true;
    UpdatePainter();
    const bars::Painter* painter = PainterClass();
    beforeGripSize_ = painter->GetBeforeGripSize();
    gripAreaSize_ = painter->GetGripAreaSize();
    separatorMargin_ = painter->GetSeparatorMargin();
    CalcImageMetrics();
    ForEachBarControl([](bars::BarControl& control) { control.PainterChanged(); });
    RefreshCustomizingForm();
    RefreshAll();
    styleChanging_ = false;
}

void TdxBarManager::CalcImageMetrics() {
    imageSize_ = largeIcons_ ? 32 : 16;
    if (largeIcons_ && useLargeImagesForLargeIcons_ && largeImages_ != nullptr)
        imageSize_ = largeImages_->Width();
    const bars::Painter* painter = PainterClass();
    buttonWidth_ = painter->GetButtonWidthMargin() + imageSize_;
    buttonHeight_ = painter->GetButtonHeightMargin() + imageSize_;
    arrowWidthMetric_ = painter->CalcButtonArrowWidth(this);
}

void TdxBarManager::ForEachBarControl(const std::function<void(bars::BarControl&)>& Each) const {
    for (bars::BarControl* control : std::vector<bars::BarControl*>(BarControls()))
        if (control->ItemLinks() != nullptr && control->ItemLinks()->BarManager() == this) Each(*control);
}

void TdxBarManager::RepaintBars() {
    ForEachBarControl([](bars::BarControl& control) { control.RepaintBar(); });
}

void TdxBarManager::RefreshAll() {
    for (bars::DockControl* site : std::vector<bars::DockControl*>(dockControls_)) {
        site->BarManagerChanged();
        site->UpdateDoubleBuffered();
        site->Invalidate();
    }
    ForEachBarControl([](bars::BarControl& control) { control.Refresh(); });
}

void TdxBarManager::SetLockUpdate(bool Value) {
    if (Value == lockUpdate_) return;
    lockUpdate_ = Value;
    for (bars::DockControl* site : dockControls_)
        if (site->IsVisible() && site->Handle() != nullptr)
            SendMessage(site->Handle(), WM_SETREDRAW, !Value, 0);
    for (int i = 0; i < bars_->Count(); ++i)
        if (bars::BarControl* control = bars_->Items(i)->Control()) {
            if (bars_->Items(i)->DockingStyle() == dsNone)
                control->SetLockUpdate(Value);
            else
                control->SetLockFlag(Value);
        }
    if (Value) return;
    for (int i = 0; i < bars_->Count(); ++i)
        if (bars::BarControl* control = bars_->Items(i)->Control();
            control && bars_->Items(i)->DockingStyle() != dsNone)
            control->RecreateItemControls();
    for (bars::DockControl* site : std::vector<bars::DockControl*>(dockControls_))
        if (site->IsVisible() && site->Handle() != nullptr) {
            site->RealignBars();
            SendMessage(site->Handle(), WM_NCPAINT, 0, 0);
        }
    for (int i = 0; i < bars_->Count(); ++i)
        if (bars::BarControl* control = bars_->Items(i)->Control();
            control && bars_->Items(i)->DockingStyle() != dsNone) {
            control->Recalculate();
            control->RepaintBar();
        }
}

void TdxBarManager::FontChanged() {
    if (!internalFontChange_) SetUseSystemFont(false);
    if (scaled_) {
        TNotifyEvent handler = std::move(font_->OnChange);
        font_->OnChange = nullptr;
        ReadSystemFont();
        font_->OnChange = std::move(handler);
    }
    CreateMenuFont(*font_, fontHandle_, scaled_);
    if (bars_ != nullptr)
        for (int i = 0; i < bars_->Count(); ++i)
            bars_->Items(i)->ManagerFontChanged();
    for (TdxBarPopupMenu* menu : std::vector<TdxBarPopupMenu*>(popupMenus_))
        menu->ManagerFontChanged();
}

void TdxBarManager::ReadSystemFont() {
    NONCLIENTMETRICS metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return;
    if (useSystemFont_) {
        internalFontChange_ = true;
        font_->SetHandle(CreateFontIndirect(&metrics.lfMenuFont));
        internalFontChange_ = false;
    } else if (scaled_) {
        font_->SetHeight(metrics.lfMenuFont.lfHeight);
    }
}

void TdxBarManager::CreateBrushes() {
    auto channels = [](COLORREF c, auto change) {
        return RGB(change(GetRValue(c)), change(GetGValue(c)), change(GetBValue(c)));
    };
    const COLORREF shadow = channels(GetSysColor(COLOR_BTNSHADOW), [](int c) { return MulDiv(c, 8, 10); });
    const COLORREF face =
        channels(GetSysColor(COLOR_BTNFACE), [](int c) { return c + MulDiv(255 - c, 16, 100); });
    const TColor colors[5] = {static_cast<TColor>(shadow), static_cast<TColor>(face),
                              BlendSystemColors(11, 9, 73), BlendSystemColors(14, 44, 40),
                              BlendSystemColors(-2, 30, 72)};
    for (int i = 0; i < 5; ++i)
        flatBrushes_[i] = CreateSolidBrush(ColorToRGB(GetNearestScreenColor(colors[i])));
    if (themesAvailable_) xpBrush_ = CreateSolidBrush(ColorToRGB(GetXPToolbarFillColor()));
}

void TdxBarManager::FreeBrushes() {
    for (HBRUSH& brush : flatBrushes_) {
        if (brush != nullptr) DeleteObject(brush);
        brush = nullptr;
    }
    if (xpBrush_ != nullptr) DeleteObject(xpBrush_);
    xpBrush_ = nullptr;
}

void TdxBarManager::RecreateBrushes() {
    FreeBrushes();
    CreateBrushes();
    RefreshOffice11Colors();
    RefreshAll();
}

void TdxBarManager::ImageListChanged(ImageListKind Kind) {
    if (IsLoading() || IsDestroying()) return;
    const bool saved = lockUpdate_;
    SetLockUpdate(true);
    for (TdxBarItem* item : std::vector<TdxBarItem*>(items_)) {
        switch (Kind) {
        case ImageListKind::Images:
        case ImageListKind::Disabled:
            if (item->ImageIndex() >= 0) item->GlyphChanged();
            break;
        case ImageListKind::Hot:
            item->HotImagesChanged();
            break;
        case ImageListKind::Large:
        case ImageListKind::DisabledLarge:
            item->LargeImagesChanged();
            break;
        }
    }
    SetLockUpdate(saved);
}

void TdxBarManager::SetImageList(ImageListKind Kind, TCustomImageList* Value) {
    TCustomImageList** field = nullptr;
    TChangeLink* link = nullptr;
    switch (Kind) {
    case ImageListKind::Images:
        field = &images_, link = imagesLink_.get();
        break;
    case ImageListKind::Large:
        field = &largeImages_, link = largeImagesLink_.get();
        break;
    case ImageListKind::Hot:
        field = &hotImages_, link = hotImagesLink_.get();
        break;
    case ImageListKind::Disabled:
        field = &disabledImages_, link = disabledImagesLink_.get();
        break;
    case ImageListKind::DisabledLarge:
        field = &disabledLargeImages_, link = disabledLargeImagesLink_.get();
        break;
    }
    if (Value == *field) return;
    // A list being freed has let go of the link already and is not called: only what is left of it
    // is still alive while it tells the manager.
    if (*field != nullptr && link->Sender() == *field) (*field)->UnRegisterChanges(link);
    *field = Value;
    if (Value != nullptr) {
        Value->RegisterChanges(link);
        Value->FreeNotification(this);
    }
    ImageListChanged(Kind);
    if (Kind == ImageListKind::Large) CalcImageMetrics();
}

namespace {

// Each picture of Large drawn at Size x Size: the colours smoothed over the face a toolbar shows them
// on, the mask taken pixel by pixel, so that no colour of the clear part shows at the edges.
std::unique_ptr<TCustomImageList> ScaledDown(TCustomImageList& Large, int Size) {
    auto small = std::make_unique<TImageList>(Size, Size);
    TBitmap image, mask, smallImage, smallMask;
    image.SetSize(Large.Width(), Large.Height());
    mask.SetSize(Large.Width(), Large.Height());
    smallImage.SetSize(Size, Size);
    smallMask.SetSize(Size, Size);
    const RECT whole{0, 0, Large.Width(), Large.Height()};
    for (int i = 0; i < Large.Count(); ++i) {
        FillRect(image.Canvas().Handle(), &whole, GetSysColorBrush(COLOR_BTNFACE));
        Large.Draw(image.Canvas(), 0, 0, i);
        Large.Draw(mask.Canvas(), 0, 0, i, dsNormal, itMask);
        SetStretchBltMode(smallImage.Canvas().Handle(), HALFTONE);
        StretchBlt(smallImage.Canvas().Handle(), 0, 0, Size, Size, image.Canvas().Handle(), 0, 0,
                   Large.Width(), Large.Height(), SRCCOPY);
        SetStretchBltMode(smallMask.Canvas().Handle(), COLORONCOLOR);
        StretchBlt(smallMask.Canvas().Handle(), 0, 0, Size, Size, mask.Canvas().Handle(), 0, 0, Large.Width(),
                   Large.Height(), SRCCOPY);
        small->Add(&smallImage, &smallMask);
    }
    return small;
}

} // namespace

TCustomImageList* TdxBarManager::SmallImagesFromLarge() {
    if (largeImages_ == nullptr) return nullptr;
    if (smallFromLarge_ == nullptr || smallFromLargeSource_ != largeImages_ ||
        smallFromLargeStamp_ != largeImages_->ContentStamp()) {
        smallFromLarge_ = ScaledDown(*largeImages_, imageSize_);
        smallFromLargeSource_ = largeImages_;
        smallFromLargeStamp_ = largeImages_->ContentStamp();
    }
    return smallFromLarge_.get();
}

void TdxBarManager::SetImages(TCustomImageList* Value) {
    SetImageList(ImageListKind::Images, Value);
}

void TdxBarManager::SetLargeImages(TCustomImageList* Value) {
    SetImageList(ImageListKind::Large, Value);
}

void TdxBarManager::SetHotImages(TCustomImageList* Value) {
    SetImageList(ImageListKind::Hot, Value);
}

void TdxBarManager::SetDisabledImages(TCustomImageList* Value) {
    SetImageList(ImageListKind::Disabled, Value);
}

void TdxBarManager::SetDisabledLargeImages(TCustomImageList* Value) {
    SetImageList(ImageListKind::DisabledLarge, Value);
}

void TdxBarManager::SetAutoDockColor(bool Value) {
    if (Value == autoDockColor_) return;
    autoDockColor_ = Value;
    if (IsLoading()) return;
    for (bars::DockControl* site : dockControls_)
        site->UpdateColor();
}

void TdxBarManager::SetAutoHideEmptyBars(bool Value) {
    if (Value == autoHideEmptyBars_) return;
    autoHideEmptyBars_ = Value;
    if (Value || IsLoading()) return;
    for (int i = 0; i < bars_->Count(); ++i)
        bars_->Items(i)->SetHiddenWhenEmpty(false);
}

void TdxBarManager::SetScaled(bool Value) {
    if (Value == scaled_) return;
    scaled_ = Value;
    if (Value && !useSystemFont_ && !IsLoading()) ReadSystemFont();
}

void TdxBarManager::SetButtonArrowWidth(int Value) {
    if (Value < 2 || Value == buttonArrowWidth_) return;
    buttonArrowWidth_ = Value;
    if (IsLoading()) return;
    CalcImageMetrics();
    RepaintBars();
}

void TdxBarManager::SetCategories(TStrings* Value) {
    categories_->Assign(Value);
}

TColor TdxBarManager::DockColor() const {
    return autoDockColor_ ? parentForm_->Color() : dockColor_;
}

void TdxBarManager::SetDockColor(TColor Value) {
    if (Value == dockColor_ && !autoDockColor_) return;
    dockColor_ = Value;
    autoDockColor_ = false;
    if (IsLoading()) return;
    for (bars::DockControl* site : dockControls_)
        site->UpdateColor();
}

void TdxBarManager::MainMenuButtonsChanged() {
    if (mainMenuBar_ == nullptr || IsLoading()) return;
    if (bars::BarControl* control = mainMenuBar_->Control()) {
        if (selectedItem_ != nullptr && selectedItem_->Parent() == control) SetSelectedItem(nullptr);
        control->RepaintBar();
    }
}

void TdxBarManager::SetFlatCloseButton(bool Value) {
    if (Value == flatCloseButton_) return;
    flatCloseButton_ = Value;
    MainMenuButtonsChanged();
}

void TdxBarManager::SetShowCloseButton(bool Value) {
    if (Value == showCloseButton_) return;
    showCloseButton_ = Value;
    MainMenuButtonsChanged();
}

void TdxBarManager::SetHideFloatingBarsWhenInactive(bool Value) {
    if (Value == hideFloatingBarsWhenInactive_) return;
    hideFloatingBarsWhenInactive_ = Value;
    if (IsLoading() || designing_) return;
    bars::Windows().UpdateFloatingBars(this, parentFormActive_ || !Value, false, nullptr);
}

void TdxBarManager::SetImageListBkColor(TColor Value) {
    if (Value == imageListBkColor_) return;
    imageListBkColor_ = Value;
    if (!IsLoading()) ForEachBarControl([](bars::BarControl& control) { control.Refresh(); });
}

void TdxBarManager::SetLargeButtonArrowWidth(int Value) {
    if (Value < 2 || Value == largeButtonArrowWidth_) return;
    largeButtonArrowWidth_ = Value;
    if (!IsLoading()) RepaintBars();
}

void TdxBarManager::SetLargeIcons(bool Value) {
    if (Value == largeIcons_) return;
    largeIcons_ = Value;
    if (IsLoading()) return;
    NoteCustomizingChange();
    CalcImageMetrics();
    DesignerModified();
    RefreshCustomizingForm();
    RepaintBars();
}

void TdxBarManager::SetUseLargeImagesForLargeIcons(bool Value) {
    if (Value == useLargeImagesForLargeIcons_) return;
    useLargeImagesForLargeIcons_ = Value;
    if (IsLoading()) return;
    CalcImageMetrics();
    DesignerModified();
    RefreshCustomizingForm();
    RepaintBars();
}

void TdxBarManager::SetMakeDisabledImagesFaded(bool Value) {
    if (Value == makeDisabledImagesFaded_) return;
    makeDisabledImagesFaded_ = Value;
    if (!IsLoading()) RepaintBars();
}

void TdxBarManager::SetMenuAnimations(TdxBarMenuAnimations Value) {
    // A number that is no animation is ignored.
    if (Value == menuAnimations_ || Value < maNone || Value > maFade) return;
    menuAnimations_ = Value;
    NoteCustomizingChange();
    DesignerModified();
    RefreshCustomizingForm();
}

void TdxBarManager::SetMenusShowRecentItemsFirst(bool Value) {
    if (Value == menusShowRecentItemsFirst_) return;
    menusShowRecentItemsFirst_ = Value;
    // A stored layout keeps it only outside the standard style.
    if (IsNotStandardStyle()) NoteCustomizingChange();
    DesignerModified();
    RefreshCustomizingForm();
}

void TdxBarManager::SetMostRecentItemsPercents(int Value) {
    Value = std::clamp(Value, 0, 100);
    if (Value == mostRecentItemsPercents_ && recentItemsThreshold_ != 0) return;
    mostRecentItemsPercents_ = Value;
    // The least N >= 1 for which the rarely used share of N makes at least one link.
    recentItemsThreshold_ = 0;
    if (Value < 100)
        for (int n = 1;; ++n)
            if ((100 - Value) * n / 100 > 0) {
                recentItemsThreshold_ = n;
                break;
            }
}

void TdxBarManager::SetNotDocking(TdxBarDockingStyles Value) {
    if (Value == notDocking_) return;
    notDocking_ = Value;
    if (!IsLoading()) StyleChanged();
}

void TdxBarManager::SetShowFullMenusAfterDelay(bool Value) {
    if (Value == showFullMenusAfterDelay_) return;
    showFullMenusAfterDelay_ = Value;
    // A stored layout keeps it only outside the standard style.
    if (IsNotStandardStyle()) NoteCustomizingChange();
    DesignerModified();
    RefreshCustomizingForm();
}

void TdxBarManager::SetShowHint(bool Value) {
    if (Value == showHint_) return;
    showHint_ = Value;
    NoteCustomizingChange();
    DesignerModified();
    RefreshCustomizingForm();
}

void TdxBarManager::SetShowShortCutInHint(bool Value) {
    if (Value == showShortCutInHint_) return;
    showShortCutInHint_ = Value;
    NoteCustomizingChange();
    DesignerModified();
    RefreshCustomizingForm();
}

void TdxBarManager::SetShowHelpButton(bool Value) {
    if (Value == showHelpButton_) return;
    showHelpButton_ = Value;
    RefreshCustomizingHelpButton();
}

void TdxBarManager::RefreshCustomizingForm() {
    if (const bars::CustomizingReceiver* window = bars::Customizing()) window->Refresh(this);
}

void TdxBarManager::RefreshCustomizingHelpButton() {
    if (const bars::CustomizingReceiver* window = bars::Customizing()) window->RefreshHelpButton(this);
}

void TdxBarManager::SetStyle(TdxBarManagerStyle Value) {
    if (Value == style_) return;
    style_ = Value;
    if (!IsLoading()) StyleChanged();
}

void TdxBarManager::SetSunkenBorder(bool Value) {
    if (Value == sunkenBorder_) return;
    sunkenBorder_ = Value;
    if (IsLoading()) return;
    for (bars::DockControl* site : dockControls_)
        site->RecreateFrame();
}

void TdxBarManager::SetUseSystemFont(bool Value) {
    if (Value == useSystemFont_) return;
    useSystemFont_ = Value;
    if (Value && !IsLoading()) ReadSystemFont();
}

void TdxBarManager::SetWaitForDockingTime(int Value) {
    if (Value >= 0) waitForDockingTime_ = Value;
}

// Categories.

TdxBarItemVisible TdxBarManager::CategoryItemsVisible(int Index) const {
    TdxBarCategoryData* data = categories_->Data(Index);
    return data != nullptr ? data->ItemsVisible : ivAlways;
}

bool TdxBarManager::CategoryVisible(int Index) const {
    TdxBarCategoryData* data = categories_->Data(Index);
    return data == nullptr || data->Visible;
}

void TdxBarManager::SetCategoryItemsVisible(int Index, TdxBarItemVisible Value) {
    if (Index < 0 || Index >= categories_->Count()) return;
    TdxBarCategoryData* data = categories_->DataNeeded(Index);
    if (IsLoading()) {
        data->LoadedItemsVisible = Value;
        return;
    }
    const TdxBarItemVisible old = data->ItemsVisible;
    data->ItemsVisible = Value;
    const bool savedLock = lockUpdate_;
    std::vector<TdxBar*> emptyBefore;
    auto isEmpty = [](TdxBar* bar) { return bar->ItemLinks()->VisibleItemCount() == 0; };
    if (!designing_) {
        if (autoHideEmptyBars_)
            for (int i = 0; i < bars_->Count(); ++i)
                if (isEmpty(bars_->Items(i))) emptyBefore.push_back(bars_->Items(i));
        SetLockUpdate(true);
    }
    std::vector<TdxBarItem*> members;
    GetItemsByCategory(Index, members);
    if (Value == ivAlways) std::reverse(members.begin(), members.end());
    for (TdxBarItem* item : members)
        if (item->Visible() == old) item->SetVisible(Value);
    if (designing_) {
        if (Value != old) DesignerModified();
        return;
    }
    if (autoHideEmptyBars_)
        for (int i = 0; i < bars_->Count(); ++i) {
            TdxBar* bar = bars_->Items(i);
            const bool wasEmpty = std::find(emptyBefore.begin(), emptyBefore.end(), bar) != emptyBefore.end();
            if (Value == ivNever && isEmpty(bar) && !wasEmpty && bar->Visible()) {
                bar->SetVisible(false);
                bar->SetHiddenWhenEmpty(true);
            } else if (Value == ivAlways && !isEmpty(bar) && bar->HiddenWhenEmpty()) {
                bar->SetVisible(true);
                bar->SetHiddenWhenEmpty(false);
            }
        }
    SetLockUpdate(savedLock);
    if (Value != old) DesignerModified();
}

void TdxBarManager::SetCategoryVisible(int Index, bool Value) {
    if (Index < 0 || Index >= categories_->Count()) return;
    TdxBarCategoryData* data = categories_->DataNeeded(Index);
    if (data->Visible == Value) return;
    data->Visible = Value;
    DesignerModified();
}

int TdxBarManager::CategoryIndexOfVisible(int N) const {
    if (designing_) return N;
    for (int i = 0; i < categories_->Count(); ++i)
        if (CategoryVisible(i) && N-- == 0) return i;
    return -1;
}

int TdxBarManager::GetItemsByCategory(int Index, std::vector<TdxBarItem*>& List) const {
    List.clear();
    if (Index >= 0 && Index < categories_->Count())
        for (TdxBarItem* item : items_)
            if (item->Category() == Index) List.push_back(item);
    return static_cast<int>(List.size());
}

void TdxBarManager::CategoriesChanged() {
    if (const bars::CustomizingReceiver* window = bars::Customizing()) window->CategoriesChanged(this);
    RefreshCustomizingForm();
}
