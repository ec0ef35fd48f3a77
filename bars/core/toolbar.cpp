#include "bars/core/toolbar.h"

#include <algorithm>

#include "bars/core/bar_drawing.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_strings.h"
#include "bars/core/customizing_notify.h"
#include "bars/core/item_links.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbars.h"
#include "lookandfeel/monitor.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/graphics/bitmap.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "platform/rtl/published.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/form.h"

TdxBar::TdxBar(TCollection* Collection) : TCollectionItem(Collection) {
    TdxBarManager* manager = BarManager();
    backgroundBitmap_ = std::make_unique<TBitmap>();
    backgroundBitmap_->OnChange = [this](TObject*) {
        if (Control() != nullptr) Control()->RepaintBackground();
    };
    font_ = std::make_unique<TFont>();
    if (manager != nullptr) font_->Assign(manager->Font());
    font_->OnChange = [this](TObject*) { FontChanged(); };
    itemLinks_ = std::make_unique<TdxBarItemLinks>(manager, this);
    itemLinks_->OnChange = [this](TObject*) { DesignChanged(); };
    if (manager != nullptr && !manager->IsLoading()) {
        manager->NoteCustomizingChange();
        if (manager->OnBarAdd) manager->OnBarAdd(manager, this);
        DesignChanged();
        if (const bars::CustomizingReceiver* window = bars::Customizing()) window->BarAdded(this);
    }
}

TdxBar::~TdxBar() {
    TdxBarManager* manager = BarManager();
    const bool managerAlive = manager != nullptr && !manager->IsDestroying();
    if (managerAlive) {
        manager->NoteCustomizingChange();
        // The customizing window's list must not keep a row for a bar that is gone.
        if (const bars::CustomizingReceiver* window = bars::Customizing()) window->BarDeleted(this);
        DesignChanged();
        if (manager->OnBarDelete) manager->OnBarDelete(manager, this);
    }
    SetVisible(false);
    if (manager != nullptr) manager->RemoveBarToShow(this);
    for (auto it = detachedItems_.rbegin(); it != detachedItems_.rend(); ++it)
        (*it)->BarNotification(opRemove, this);
    detachedItems_.clear();
    if (manager != nullptr && manager->MainMenuBar() == this) manager->SetMainMenuBar(nullptr);
    itemLinks_.reset();
    font_.reset();
    if (fontHandle_ != nullptr) DeleteObject(fontHandle_);
    backgroundBitmap_.reset();
}

TdxBars* TdxBar::Bars() const {
    return static_cast<TdxBars*>(Collection());
}

TdxBarManager* TdxBar::BarManager() const {
    return Bars() != nullptr ? Bars()->BarManager() : nullptr;
}

bars::BarControl* TdxBar::Control() const {
    return itemLinks_ != nullptr ? itemLinks_->BarControl() : nullptr;
}

bool TdxBar::Visible() const {
    TdxBarManager* manager = BarManager();
    return manager != nullptr && manager->IsLoading() ? loadedVisible_ : visible_;
}

void TdxBar::DesignChanged() {
    if (TdxBarManager* manager = BarManager();
        manager != nullptr && !(Bars() != nullptr && Bars()->Loading()))
        manager->DesignerModified();
}

void TdxBar::Rebuild() {
    if (Control() != nullptr && !rebuildLocked_) Control()->RepaintBar();
}

void TdxBar::RebuildWhenDocked() {
    if (IsDocked()) Rebuild();
}

void TdxBar::SetRebuildLocked(bool Value) {
    if (Value == rebuildLocked_) return;
    rebuildLocked_ = Value;
    if (!Value) Rebuild();
}

void TdxBar::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TdxBar*>(Source);
    if (source == nullptr) {
        TCollectionItem::Assign(Source);
        return;
    }
    SetAllowClose(source->allowClose_);
    SetAllowCustomizing(source->allowCustomizing_);
    SetAllowQuickCustomizing(source->allowQuickCustomizing_);
    SetAllowReset(source->allowReset_);
    SetCaption(source->caption_);
    SetDockedDockControl(source->dockedDockControl_);
    SetDockedDockingStyle(source->dockedDockingStyle_);
    SetDockedLeft(source->dockedLeft_);
    SetDockedTop(source->dockedTop_);
    SetFloatLeft(source->floatLeft_);
    SetFloatTop(source->floatTop_);
    SetFloatClientWidth(source->floatClientWidth_);
    SetFloatClientHeight(source->floatClientHeight_);
    SetHidden(source->hidden_);
    SetIsMainMenu(source->isMainMenu_);
    SetItemLinks(source->itemLinks_.get());
    SetNotDocking(source->notDocking_);
    SetOneOnRow(source->oneOnRow_);
    SetRotateWhenVertical(source->rotateWhenVertical_);
    SetRow(source->row_);
    SetWholeRow(source->wholeRow_);
    SetDocking(source->DockingStyle(), source->dockControl_);
    SetUseRecentItems(source->useRecentItems_);
    SetUseRestSpace(source->useRestSpace_);
    SetColor(source->color_);
    SetFont(source->font_.get());
    SetUseOwnFont(source->useOwnFont_);
    SetVisible(source->Visible());
}

void TdxBar::SetAllowClose(bool Value) {
    if (Value == allowClose_) return;
    allowClose_ = Value;
    if (DockingStyle() == dsNone) Rebuild();
    CustomizingChanged();
}

void TdxBar::SetAllowQuickCustomizing(bool Value) {
    if (Value == allowQuickCustomizing_) return;
    allowQuickCustomizing_ = Value;
    if (BarManager() != nullptr && BarManager()->GetEffectivePaintStyle() != bmsStandard) Rebuild();
}

void TdxBar::SetAlphaBlendValue(int Value) {
    Value = std::clamp(Value, 0, 255);
    if (Value == alphaBlendValue_) return;
    alphaBlendValue_ = Value;
    if (Control() != nullptr && DockingStyle() == dsNone) Control()->UpdateAlpha();
}

void TdxBar::SetBackgroundBitmap(TBitmap* Value) {
    const bool hadPicture = !backgroundBitmap_->Empty();
    backgroundBitmap_->Assign(Value);
    if ((hadPicture || !backgroundBitmap_->Empty()) && Control() != nullptr) {
        Control()->RepaintBackground();
        Control()->RepaintFrame();
    }
}

void TdxBar::SetBorderStyle(TdxBarBorderStyle Value) {
    if (Value == borderStyle_) return;
    borderStyle_ = Value;
    if (Control() != nullptr) {
        Control()->RepaintFrame();
        Control()->RepaintBackground();
    }
}

void TdxBar::SetCaption(const std::string& Value) {
    if (Value == caption_) return;
    if (Bars() != nullptr)
        for (int i = 0; i < Bars()->Count(); ++i)
            if (Bars()->Items(i) != this && Bars()->Items(i)->caption_ == Value) return;
    caption_ = Value;
    if (Control() != nullptr) Control()->CaptionChanged();
    CustomizingChanged();
    TdxBarManager* manager = BarManager();
    if (manager != nullptr) manager->NoteCustomizingChange();
    if (name_.empty() && manager != nullptr && !manager->IsLoading() && Bars() != nullptr) {
        bool taken = false;
        for (int i = 0; i < Bars()->Count(); ++i)
            taken = taken || Bars()->Items(i)->name_ == Value;
        name_ = taken ? Bars()->GetUniqueName(Value) : Value;
    }
    DesignChanged();
}

void TdxBar::SetName(const std::string& Value) {
    if (Value == name_) return;
    name_ = Value;
    DesignChanged();
}

void TdxBar::SetColor(TColor Value) {
    if (Value == color_) return;
    color_ = Value;
    Rebuild();
}

TComponent* TdxBar::DockControlComponent() const {
    return dockControl_ != nullptr ? dockControl_->Component() : nullptr;
}

void TdxBar::SetDockControlComponent(TComponent* Value) {
    SetDockControl(dynamic_cast<bars::DockControl*>(Value));
}

TComponent* TdxBar::DockedDockControlComponent() const {
    return dockedDockControl_ != nullptr ? dockedDockControl_->Component() : nullptr;
}

void TdxBar::SetDockedDockControlComponent(TComponent* Value) {
    SetDockedDockControl(dynamic_cast<bars::DockControl*>(Value));
}

void TdxBar::ReportDockingStyleChange() {
    TdxBarManager* manager = BarManager();
    if (manager == nullptr) return;
    // Once the form has loaded, a bar docks elsewhere or floats only as the user puts it there.
    manager->NoteUserChange();
    manager->DoBarDockingStyleChange(this);
}

void TdxBar::SetDockControl(bars::DockControl* Value) {
    TdxBarManager* manager = BarManager();
    if (Value != nullptr && Value->BarManager() != manager) return;
    if (manager != nullptr && manager->IsLoading()) {
        loadedDockControl_ = Value;
        return;
    }
    if (Value == dockControl_) return;
    bars::BarControl* window = Control();
    // The window's own site: a dragged toolbar's window has gone over to the new site already.
    bars::DockControl* windowSite = window != nullptr ? window->CurrentDockControl() : nullptr;
    const bool hide = !changingDocking_ && window != nullptr &&
                      ((Value != nullptr && Value != windowSite) ||
                       (Value == nullptr && IsDocked() &&
                        (windowSite == nullptr || Bars() == nullptr || !Bars()->IsFormEdge(windowSite))));
    const TdxBarDockingStyle previous = DockingStyle();
    if (hide) SetVisible(false);
    dockControl_ = Value;
    itemLinks_->SetRecentItemCount(-1);
    if (!changingDocking_) {
        changingDocking_ = true;
        SetDockingStyle(Value != nullptr ? Value->DockingStyle() : previous);
        changingDocking_ = false;
    }
    if (hide) SetVisible(true);
    if (Control() != nullptr)
        Control()->SetDocked(DockingStyle(),
                             RealDockControl() != nullptr ? RealDockControl()->Component() : nullptr);
    if (!changingDocking_) ReportDockingStyleChange();
}

void TdxBar::SetDockedDockControl(bars::DockControl* Value) {
    if (Value != nullptr && Value->BarManager() != BarManager()) return;
    if (Value == dockedDockControl_) return;
    dockedDockControl_ = Value;
    DesignChanged();
}

TdxBarDockingStyle TdxBar::DockedDockingStyle() const {
    return dockedDockControl_ != nullptr ? dockedDockControl_->DockingStyle() : dockedDockingStyle_;
}

void TdxBar::SetDockedDockingStyle(TdxBarDockingStyle Value) {
    if (Value == dockedDockingStyle_ || !IsDockingStyle(Value)) return;
    dockedDockingStyle_ = Value;
    DesignChanged();
}

void TdxBar::SetDockedLeft(int Value) {
    Value = std::max(Value, 0);
    if (Value == dockedLeft_) return;
    dockedLeft_ = Value;
    DesignChanged();
}

void TdxBar::SetDockedTop(int Value) {
    Value = std::max(Value, 0);
    if (Value == dockedTop_) return;
    dockedTop_ = Value;
    DesignChanged();
}

TdxBarDockingStyle TdxBar::DockingStyle() const {
    return dockControl_ != nullptr ? dockControl_->DockingStyle() : dockingStyle_;
}

void TdxBar::SetDockingStyle(TdxBarDockingStyle Value) {
    // A number that is no style would have the bar shown in a site that does not exist.
    if (!IsDockingStyle(Value)) return;
    TdxBarManager* manager = BarManager();
    if (manager != nullptr && manager->IsLoading()) {
        loadedDockingStyle_ = Value;
        return;
    }
    if (Value == dockingStyle_ && (changingDocking_ || dockControl_ == nullptr)) return;
    bars::BarControl* window = Control();
    const bool hide = !changingDocking_ && window != nullptr && window->DockingStyle() != Value;
    if (hide) SetVisible(false);
    dockingStyle_ = Value;
    if (!changingDocking_) {
        changingDocking_ = true;
        SetDockControl(nullptr);
        changingDocking_ = false;
    }
    itemLinks_->SetRecentItemCount(-1);
    if (hide) {
        SetVisible(true);
        if (Control() != nullptr)
            Control()->SetDocked(Value,
                                 RealDockControl() != nullptr ? RealDockControl()->Component() : nullptr);
    }
    if (!changingDocking_) ReportDockingStyleChange();
}

void TdxBar::SetDocking(TdxBarDockingStyle Style, bars::DockControl* ADockControl) {
    if (ADockControl != nullptr && Bars() != nullptr && Bars()->IsFormEdge(ADockControl))
        ADockControl = nullptr;
    if (Style != DockingStyle()) {
        if (ADockControl != nullptr && ADockControl != dockControl_)
            SetDockControl(ADockControl);
        else
            SetDockingStyle(Style);
    } else {
        SetDockControl(ADockControl);
    }
}

bars::DockControl* TdxBar::RealDockControl() const {
    if (dockControl_ != nullptr) return dockControl_;
    if (IsDocked() && Bars() != nullptr) return Bars()->DockControls(DockingStyle());
    return nullptr;
}

void TdxBar::SetFloatLeft(int Value) {
    if (Value == floatLeft_) return;
    floatLeft_ = Value;
    DesignChanged();
}

void TdxBar::SetFloatTop(int Value) {
    if (Value == floatTop_) return;
    floatTop_ = Value;
    DesignChanged();
}

void TdxBar::SetFloatClientWidth(int Value) {
    if (Value == floatClientWidth_) return;
    floatClientWidth_ = Value;
    DesignChanged();
}

void TdxBar::SetFloatClientHeight(int Value) {
    if (Value == floatClientHeight_) return;
    floatClientHeight_ = Value;
    DesignChanged();
}

void TdxBar::FontChanged() {
    if (!fontChanging_) useOwnFont_ = true;
    if (useOwnFont_) CreateMenuFont(*font_, fontHandle_, false);
    if (Control() != nullptr) Control()->FontChanged();
}

void TdxBar::ManagerFontChanged() {
    if (useOwnFont_) {
        FontChanged();
        return;
    }
    if (BarManager() == nullptr) return;
    fontChanging_ = true;
    font_->Assign(BarManager()->Font());
    fontChanging_ = false;
}

void TdxBar::SetHidden(bool Value) {
    if (Value == hidden_) return;
    hidden_ = Value;
    DesignChanged();
}

void TdxBar::SetIsMainMenu(bool Value) {
    if (Value == isMainMenu_) return;
    TdxBarManager* manager = BarManager();
    const bool savedLock = manager != nullptr && manager->LockUpdate();
    if (manager != nullptr) manager->SetLockUpdate(true);
    if (Value && manager != nullptr && manager->MainMenuBar() != nullptr && manager->MainMenuBar() != this)
        manager->MainMenuBar()->SetIsMainMenu(false);
    isMainMenu_ = Value;
    if (Value) {
        if (manager != nullptr) manager->SetMainMenuBar(this);
        wholeRow_ = true;
        multiLine_ = true;
    } else {
        if (manager != nullptr && manager->MainMenuBar() == this) manager->SetMainMenuBar(nullptr);
        multiLine_ = false;
        wholeRow_ = false;
    }
    if (manager != nullptr && !manager->IsLoading()) {
        RebuildWhenDocked();
        CustomizingChanged();
    }
    if (manager != nullptr) manager->SetLockUpdate(savedLock);
}

void TdxBar::SetItemLinks(TdxBarItemLinks* Value) {
    itemLinks_->Assign(Value);
}

TPersistent* TdxBar::ItemLinksObject() const {
    return itemLinks_.get();
}

void TdxBar::SetMultiLine(bool Value) {
    if (Value == multiLine_ || (!Value && isMainMenu_)) return;
    multiLine_ = Value;
    RebuildWhenDocked();
}

void TdxBar::SetNotDocking(TdxBarDockingStyles Value) {
    if (Value == notDocking_) return;
    notDocking_ = Value;
    Rebuild();
}

void TdxBar::SetRotateWhenVertical(bool Value) {
    if (Value == rotateWhenVertical_) return;
    rotateWhenVertical_ = Value;
    if (Control() != nullptr) Control()->FontChanged();
}

void TdxBar::SetShowMark(bool Value) {
    if (Value == showMark_) return;
    showMark_ = Value;
    Rebuild();
}

void TdxBar::SetSizeGrip(bool Value) {
    if (Value == sizeGrip_) return;
    sizeGrip_ = Value;
    if (Control() != nullptr && borderStyle_ == bbsNone && DockingStyle() == dsBottom && wholeRow_)
        Control()->RepaintFrame();
}

void TdxBar::SetUseOwnFont(bool Value) {
    if (Value == useOwnFont_) return;
    fontChanging_ = true;
    useOwnFont_ = Value;
    if (!Value) {
        if (BarManager() != nullptr) font_->Assign(BarManager()->Font());
        if (fontHandle_ != nullptr) DeleteObject(fontHandle_);
        fontHandle_ = nullptr;
        if (Control() != nullptr) Control()->FontChanged();
    } else {
        FontChanged();
    }
    fontChanging_ = false;
}

void TdxBar::SetUseRecentItems(bool Value) {
    if (Value == useRecentItems_) return;
    useRecentItems_ = Value;
    itemLinks_->SetUseRecentItems(Value);
    Rebuild();
}

void TdxBar::SetUseRestSpace(bool Value) {
    if (Value == useRestSpace_) return;
    useRestSpace_ = Value;
    Rebuild();
}

void TdxBar::SetWholeRow(bool Value) {
    if (Value == wholeRow_) return;
    wholeRow_ = Value;
    if (Control() != nullptr && IsDocked()) {
        SetVisible(false);
        SetVisible(true);
    }
}

void TdxBar::SetVisible(bool Value) {
    TdxBarManager* manager = BarManager();
    if (Value && manager != nullptr && manager->IsDestroying()) return;
    if (Value == Visible()) return;
    hiddenWhenEmpty_ = false;
    if (manager != nullptr && manager->IsLoading()) {
        loadedVisible_ = Value;
        return;
    }
    if (!Value) {
        if (Control() != nullptr) Control()->SavePosition();
        visible_ = false;
        itemLinks_->FreeBarControl();
    } else {
        visible_ = true;
        ShowWindow();
    }
    if (manager == nullptr) return;
    manager->NoteCustomizingChange();
    if (!manager->StyleChanging()) CustomizingChanged();
    if (!manager->IsDestroying() && manager->OnBarVisibleChange) manager->OnBarVisibleChange(manager, this);
    DesignChanged();
}

void TdxBar::CustomizingChanged() {
    TdxBarManager* manager = BarManager();
    if (manager == nullptr || manager->IsLoading() || manager->IsDestroying()) return;
    if (const bars::CustomizingReceiver* window = bars::Customizing()) window->BarChanged(this);
}

namespace bars {

POINT FloatingPlace(POINT Stored, SIZE Size) {
    // Whole inside the work area of the monitor nearest the stored place, also when that place is far
    // off every screen (a layout stored on a larger desktop, or damaged).
    const RECT work = GetMonitorWorkArea(Stored);
    return POINT{std::clamp(Stored.x, work.left, std::max(work.left, work.right - Size.cx)),
                 std::clamp(Stored.y, work.top, std::max(work.top, work.bottom - Size.cy))};
}

} // namespace bars

void TdxBar::ShowWindow() {
    bars::BarControl* window = itemLinks_->CreateBarControl();
    TdxBarManager* manager = BarManager();
    if (window == nullptr || manager == nullptr) return;
    TCustomForm* form = manager->ParentForm();
    if (!IsDocked()) {
        window->SetLockUpdate(true);
        window->SetDocked(dsNone, nullptr);
        const SIZE size = window->FloatingSize();
        const POINT at = bars::FloatingPlace(POINT{floatLeft_, floatTop_}, size);
        if (window->Handle() != nullptr)
            SetWindowPos(window->Handle(), nullptr, at.x, at.y, size.cx, size.cy,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        window->SetLockUpdate(false);
        // An MDI child is never the active window itself: it counts as active as its frame's active child.
        TCustomForm* frame = Application != nullptr ? Application->MainForm() : nullptr;
        const bool activeChild = form->FormStyle() == fsMDIChild && frame != nullptr && frame->Active() &&
                                 frame->FormStyle() == fsMDIForm && frame->ActiveMDIChild() == form;
        const bool hideWhileInactive = manager->HideFloatingBarsWhenInactive() && !form->Active() &&
                                       !manager->IsCustomizing() && !activeChild;
        if (form->Visible() && !hideWhileInactive && window->Handle() != nullptr)
            ::ShowWindow(window->Handle(), SW_SHOWNA);
        return;
    }
    bars::DockControl* site = RealDockControl();
    window->SetLockUpdate(true);
    window->SetDocked(DockingStyle(), site != nullptr ? site->Component() : nullptr);
    POINT at{dockedLeft_, dockedTop_};
    if (site != nullptr && site->Handle() != nullptr) ClientToScreen(site->Handle(), at);
    if (Bars() != nullptr) Bars()->DockBarControl(DockingStyle(), dockControl_, at, window);
    window->SetLockUpdate(false);
    if (window->Handle() != nullptr) ::ShowWindow(window->Handle(), SW_SHOWNA);
}

void TdxBar::ApplyLoadedState() {
    createdFromStream_ = true;
    itemLinks_->RestoreRecentState(true);
    SetDockControl(loadedDockControl_);
    if (dockControl_ == nullptr) SetDockingStyle(loadedDockingStyle_);
    SetVisible(loadedVisible_);
}

bool TdxBar::CanClose() const {
    return allowClose_ && !isMainMenu_;
}

bool TdxBar::CanMove() const {
    const TdxBarDockingStyles managerNotDocking =
        BarManager() != nullptr ? BarManager()->NotDocking() : TdxBarDockingStyles();
    return !(notDocking_ * AllDockingStyles == AllDockingStyles ||
             managerNotDocking * AllDockingStyles == AllDockingStyles);
}

bool TdxBar::ExecuteShortCut(TShortCut ShortCut) {
    return itemLinks_->ExecuteShortCut(ShortCut);
}

void TdxBar::AddDetachedItem(TCustomdxBarSubItem* Item) {
    if (std::find(detachedItems_.begin(), detachedItems_.end(), Item) == detachedItems_.end())
        detachedItems_.push_back(Item);
}

void TdxBar::RemoveDetachedItem(TCustomdxBarSubItem* Item) {
    detachedItems_.erase(std::remove(detachedItems_.begin(), detachedItems_.end(), Item),
                         detachedItems_.end());
}

void TdxBar::Reset() {
    TdxBarManager* manager = BarManager();
    if (manager == nullptr || Application == nullptr) return;
    const int answer = Application->MessageBox(FormatBarString(barstr::ConfirmResetToolbar, caption_),
                                               Application->Title(), MB_OKCANCEL | MB_ICONEXCLAMATION);
    if (answer != IDOK) return;
    std::unique_ptr<TCustomForm> design = manager->CreateDesignStateForm();
    if (design == nullptr) return;
    auto* designManager = dynamic_cast<TdxBarManager*>(design->FindComponent(manager->Name()));
    if (designManager == nullptr || Index() >= designManager->Bars()->Count()) return;
    ResetToDesign(designManager->Bars()->Items(Index()));
    manager->NoteUserChange();
}

void TdxBar::ResetSubItems(TdxBarItemLinks* Links, TCustomForm* DesignForm, int Depth) {
    if (Depth > 32) return;
    for (int i = 0; i < Links->Count(); ++i) {
        auto* subItem = dynamic_cast<TCustomdxBarSubItem*>(Links->Items(i)->Item());
        if (subItem == nullptr) continue;
        auto* design = dynamic_cast<TCustomdxBarSubItem*>(DesignForm->FindComponent(subItem->Name()));
        if (design == nullptr) continue;
        subItem->ItemLinks()->Assign(design->ItemLinks());
        subItem->ItemLinks()->AssignRecentState(design->ItemLinks());
        ResetSubItems(subItem->ItemLinks(), DesignForm, Depth + 1);
    }
}

void TdxBar::ResetToDesign(TdxBar* DesignBar) {
    TdxBarManager* manager = BarManager();
    if (manager == nullptr || DesignBar == nullptr) return;
    TCustomForm* designForm =
        DesignBar->BarManager() != nullptr ? DesignBar->BarManager()->ParentForm() : nullptr;
    manager->DoBarBeforeReset(this);
    if (manager->UseFullReset()) {
        const bool savedLock = manager->LockUpdate();
        manager->SetLockUpdate(true);
        const bool wasVisible = Visible();
        SetVisible(false);
        manager->SetResetting(true);
        Assign(DesignBar);
        itemLinks_->AssignRecentState(DesignBar->ItemLinks());
        if (designForm != nullptr) ResetSubItems(itemLinks_.get(), designForm, 0);
        manager->SetResetting(false);
        SetVisible(wasVisible);
        manager->SetLockUpdate(savedLock);
    } else {
        const bool savedRebuild = rebuildLocked_;
        rebuildLocked_ = true;
        manager->SetResetting(true);
        itemLinks_->Assign(DesignBar->ItemLinks());
        itemLinks_->AssignRecentState(DesignBar->ItemLinks());
        if (designForm != nullptr) ResetSubItems(itemLinks_.get(), designForm, 0);
        manager->SetResetting(false);
        SetRebuildLocked(savedRebuild);
    }
    manager->DoBarAfterReset(this);
}

int TdxBar::GetNonClientWidth(TdxBarDockingStyle Style) const {
    TdxBarManager* manager = BarManager();
    if (manager == nullptr) return 0;
    const bars::Painter* painter = manager->PainterClass();
    if (Style == dsNone) return 2 * painter->GetFloatingBorderWidth() + 2 * painter->GetFloatingSideBorder();
    const int grip = CanMove() ? manager->GripAreaSize() : painter->GetFloatingExtraSize();
    if (borderStyle_ == bbsSingle) {
        const RECT borders = painter->GetDockedBorders(this, Style);
        return borders.left + borders.right + (Style == dsTop || Style == dsBottom ? grip : 0);
    }
    return ShowsSizeGrip() ? painter->GetSizeGripSize(this) : 0;
}

int TdxBar::GetNonClientHeight(TdxBarDockingStyle Style) const {
    TdxBarManager* manager = BarManager();
    if (manager == nullptr) return 0;
    const bars::Painter* painter = manager->PainterClass();
    if (Style == dsNone)
        return 2 * painter->GetFloatingBorderHeight() + painter->GetFloatingCaptionAreaHeight(this) +
               painter->GetFloatingTopBorder() + painter->GetFloatingBottomBorder();
    const int grip = CanMove() ? manager->GripAreaSize() : painter->GetFloatingExtraSize();
    if (borderStyle_ == bbsSingle) {
        const RECT borders = painter->GetDockedBorders(this, Style);
        return borders.top + borders.bottom + (Style == dsLeft || Style == dsRight ? grip : 0);
    }
    return Style == dsBottom && wholeRow_ ? painter->GetDockedTopExtra(this) : 0;
}

bool TdxBar::ShowsSizeGrip() const {
    TdxBarManager* manager = BarManager();
    if (borderStyle_ != bbsNone || DockingStyle() != dsBottom || !wholeRow_ || !sizeGrip_ ||
        manager == nullptr)
        return false;
    if (manager->ParentForm()->HandleAllocated() && IsZoomed(manager->ParentForm()->Handle())) return false;
    bars::BarControl* window = Control();
    if (window == nullptr || window->Handle() == nullptr) return false;
    // The window's bottom edge lies on its parent's client bottom edge, all the way up.
    for (HWND w = window->Handle(); GetParent(w) != nullptr; w = GetParent(w)) {
        HWND parent = GetParent(w);
        RECT rect{}, client{};
        GetWindowRect(w, rect);
        GetClientRect(parent, client);
        POINT bottom{0, client.bottom};
        ClientToScreen(parent, bottom);
        if (rect.bottom != bottom.y) return false;
    }
    return true;
}

const TPropertyTable& TdxBar::Table() {
    using B = TdxBar;
    static const TPropertyTable table(nullptr, [] {
        TPropInfo dockedStyle =
            EnumProperty<B>("DockedDockingStyle", &B::DockedDockingStyle, &B::SetDockedDockingStyle,
                            {"dsNone", "dsLeft", "dsTop", "dsRight", "dsBottom"}, dsTop);
        dockedStyle.Stored = [](const TPersistent& o) {
            return static_cast<const B&>(o).DockedDockControl() == nullptr;
        };
        TPropInfo dockingStyle =
            EnumProperty<B>("DockingStyle", &B::DockingStyle, &B::SetDockingStyle,
                            {"dsNone", "dsLeft", "dsTop", "dsRight", "dsBottom"}, dsNone);
        dockingStyle.Stored = [](const TPersistent& o) {
            return static_cast<const B&>(o).DockControl() == nullptr;
        };
        return std::vector<TPropInfo>{
            BooleanProperty<B>("AllowClose", &B::AllowClose, &B::SetAllowClose, true),
            BooleanProperty<B>("AllowCustomizing", &B::AllowCustomizing, &B::SetAllowCustomizing, true),
            BooleanProperty<B>("AllowQuickCustomizing", &B::AllowQuickCustomizing,
                               &B::SetAllowQuickCustomizing, true),
            BooleanProperty<B>("AllowReset", &B::AllowReset, &B::SetAllowReset, true),
            IntegerProperty<B>("AlphaBlendValue", &B::AlphaBlendValue, &B::SetAlphaBlendValue, 255),
            ObjectProperty<B>("BackgroundBitmap", [](B& b) -> TPersistent* { return b.BackgroundBitmap(); }),
            EnumProperty<B>("BorderStyle", &B::BorderStyle, &B::SetBorderStyle, {"bbsNone", "bbsSingle"},
                            bbsSingle),
            StringProperty<B>("Caption", &B::Caption, &B::SetCaption),
            ColorProperty<B>("Color", &B::Color, &B::SetColor, clDefault),
            ComponentProperty<B, TComponent>("DockControl", &B::DockControlComponent,
                                             &B::SetDockControlComponent),
            ComponentProperty<B, TComponent>("DockedDockControl", &B::DockedDockControlComponent,
                                             &B::SetDockedDockControlComponent),
            dockedStyle,
            IntegerProperty<B>("DockedLeft", &B::DockedLeft, &B::SetDockedLeft, 0),
            IntegerProperty<B>("DockedTop", &B::DockedTop, &B::SetDockedTop, 0),
            dockingStyle,
            IntegerProperty<B>("FloatLeft", &B::FloatLeft, &B::SetFloatLeft, 0),
            IntegerProperty<B>("FloatTop", &B::FloatTop, &B::SetFloatTop, 0),
            IntegerProperty<B>("FloatClientWidth", &B::FloatClientWidth, &B::SetFloatClientWidth, 0),
            IntegerProperty<B>("FloatClientHeight", &B::FloatClientHeight, &B::SetFloatClientHeight, 0),
            BooleanProperty<B>("Hidden", &B::Hidden, &B::SetHidden, false),
            BooleanProperty<B>("IsMainMenu", &B::IsMainMenu, &B::SetIsMainMenu, false),
            ObjectProperty<B>("ItemLinks", &B::ItemLinksObject),
            StringProperty<B>("Name", &B::Name, &B::SetName),
            SetProperty<B>("NotDocking", &B::NotDockingBits, &B::SetNotDockingBits,
                           {"dsNone", "dsLeft", "dsTop", "dsRight", "dsBottom"}, 0),
            BooleanProperty<B>("MultiLine", &B::MultiLine, &B::SetMultiLine, false),
            BooleanProperty<B>("OneOnRow", &B::OneOnRow, &B::SetOneOnRow, false),
            BooleanProperty<B>("RotateWhenVertical", &B::RotateWhenVertical, &B::SetRotateWhenVertical, true),
            IntegerProperty<B>("Row", &B::Row, &B::SetRow, 0),
            BooleanProperty<B>("ShowMark", &B::ShowMark, &B::SetShowMark, true),
            BooleanProperty<B>("SizeGrip", &B::SizeGrip, &B::SetSizeGrip, true),
            BooleanProperty<B>("UseOwnFont", &B::UseOwnFont, &B::SetUseOwnFont, false),
            BooleanProperty<B>("UseRecentItems", &B::UseRecentItems, &B::SetUseRecentItems, true),
            BooleanProperty<B>("UseRestSpace", &B::UseRestSpace, &B::SetUseRestSpace, false),
            BooleanProperty<B>("Visible", &B::Visible, &B::SetVisible, false),
            BooleanProperty<B>("WholeRow", &B::WholeRow, &B::SetWholeRow, false),
        };
    }());
    return table;
}
