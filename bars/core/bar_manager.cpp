// The manager's life: construction, destruction, loading, streaming, and the lists of what belongs to it.
#include "bars/core/bar_manager.h"

#include <algorithm>
#include <vector>

#include "bars/core/backgrounds.h"
#include "bars/core/bar_errors.h"
#include "bars/core/bar_item.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_strings.h"
#include "bars/core/bar_unit.h"
#include "bars/core/categories.h"
#include "bars/core/customizing_notify.h"
#include "bars/core/item_links.h"
#include "bars/core/popup_menu.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbars.h"
#include "bars/core/window_services.h"
#include "lookandfeel/look_and_feel.h"
#include "lookandfeel/office11.h"
#include "lookandfeel/themes.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/image_list.h"
#include "platform/rtl/filer.h"
#include "platform/rtl/reader.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/writer.h"
#include "platform/vcl/application.h"
#include "platform/vcl/form.h"

TdxBarManager::TdxBarManager(TComponent* AOwner) : TComponent(AOwner) {
    // Checked before anything is made: a constructor that raises leaves nothing to free.
    CheckOwner(AOwner);
    Construct();
}

void TdxBarManager::CheckOwner(TComponent* AOwner) {
    TComponent* owner =
        AOwner != nullptr ? AOwner : (Application != nullptr ? Application->MainForm() : nullptr);
    auto* form = dynamic_cast<TCustomForm*>(owner);
    if (form == nullptr) throw EdxBarError(LoadBarString(barstr::OwnerMustBeForm));
    if (FindBarManagerOfForm(form) != nullptr) throw EdxBarError(LoadBarString(barstr::OneManagerPerForm));
    parentForm_ = form;
}

void TdxBarManager::Construct() {
    notInitialized_ = false;
    BarManagerList().Add(this);
    backgrounds_ = std::make_unique<TdxBarBackgrounds>(this);
    UpdatePainter();
    notifyDesigner_ = true;
    designing_ = ComponentState().Contains(csDesigning);
    allowReset_ = true;
    autoDockColor_ = true;

    const bool streamed = Owner() != nullptr && Owner()->ComponentState().Contains(csLoading);
    categories_ = std::make_unique<TdxBarManagerCategories>(this);
    if (!streamed) categories_->Add(LoadBarString(barstr::DefaultCategory));
    bars_ = std::make_unique<TdxBars>(this);
    canCustomize_ = true;
    dockColor_ = clBtnFace;

    font_ = std::make_unique<TFont>();
    font_->OnChange = [this](TObject*) { FontChanged(); };
    helpButtonGlyph_ = std::make_unique<TBitmap>();
    helpButtonGlyph_->OnChange = [this](TObject*) { RefreshCustomizingHelpButton(); };
    hideFloatingBarsWhenInactive_ = true;
    imageListBkColor_ = clFuchsia;

    imagesLink_ = std::make_unique<TChangeLink>();
    largeImagesLink_ = std::make_unique<TChangeLink>();
    hotImagesLink_ = std::make_unique<TChangeLink>();
    disabledImagesLink_ = std::make_unique<TChangeLink>();
    disabledLargeImagesLink_ = std::make_unique<TChangeLink>();
    imagesLink_->OnChange = [this](TObject*) { ImageListChanged(ImageListKind::Images); };
    largeImagesLink_->OnChange = [this](TObject*) { ImageListChanged(ImageListKind::Large); };
    hotImagesLink_->OnChange = [this](TObject*) { ImageListChanged(ImageListKind::Hot); };
    disabledImagesLink_->OnChange = [this](TObject*) { ImageListChanged(ImageListKind::Disabled); };
    disabledLargeImagesLink_->OnChange = [this](TObject*) { ImageListChanged(ImageListKind::DisabledLarge); };
    themeNotificator_ = std::make_unique<TdxThemeChangedNotificator>();
    themeNotificator_->OnThemeChanged = [this](TObject*) { StyleChanged(); };

    buttonArrowWidth_ = 11;
    largeButtonArrowWidth_ = 13;
    menusShowRecentItemsFirst_ = true;
    mostRecentItemsPercents_ = 0;
    SetMostRecentItemsPercents(95);

    popupMenuLinks_ = std::make_unique<TdxBarPopupMenuLinks>(this);
    scaled_ = showFullMenusAfterDelay_ = showHint_ = showHintForDisabledItems_ = stretchGlyphs_ = true;

    CalcImageMetrics();
    lookAndFeel_ = std::make_unique<TcxLookAndFeel>(this);
    lookAndFeel_->OnChanged = [this](TcxLookAndFeel*, TcxLookAndFeelValues) {
        if (!IsDestroying()) StyleChanged();
    };
    style_ = bmsStandard;
    SetStyle(bmsEnhanced);
    useF10ForMenu_ = true;
    SetUseSystemFont(true);
    waitForDockingTime_ = 21;

    CreateBrushes();
    AcquireOffice11Colors();
    RefreshAll();
}

TdxBarManager::~TdxBarManager() {
    if (notInitialized_) return;
    // Everything below is told at once that the manager goes, before any part of it is freed.
    Destroying();
    BarManagerList().Remove(this);
    lookAndFeel_.reset();
    themeNotificator_.reset();
    bars::Windows().ManagerGoing(this);
    // Its customizing window goes with it.
    if (isCustomizing_) {
        isCustomizing_ = false;
        if (const bars::CustomizingReceiver* window = bars::Customizing()) window->ShowForm(this, false);
    }
    FreeBrushes();
    ReleaseOffice11Colors();
    while (!popupMenus_.empty())
        delete popupMenus_.back();
    imagesLink_.reset();
    largeImagesLink_.reset();
    hotImagesLink_.reset();
    disabledImagesLink_.reset();
    disabledLargeImagesLink_.reset();
    helpButtonGlyph_.reset();
    while (!groups_.empty()) {
        TComponent* group = groups_.back();
        groups_.pop_back();
        delete group;
    }
    font_.reset();
    if (fontHandle_ != nullptr) DeleteObject(fontHandle_);
    fontHandle_ = nullptr;
    bars_.reset();
    dockControls_.clear();
    while (!items_.empty()) {
        TdxBarItem* item = items_.back();
        items_.pop_back();
        delete item;
    }
    categories_.reset();
    popupMenuLinks_.reset();
    backgrounds_.reset();
    if (selectedItem_ != nullptr) selectedItem_ = nullptr;
}

void TdxBarManager::Loaded() {
    TComponent::Loaded();
    if (lockUpdate_) return;
    // The style and image size were only stored while the stream was read. They take effect before the
    // bars get their windows, so that each bar is measured once, as it will be shown: a floating bar's
    // stored width wraps its buttons at their real sizes, and its stored place holds its real size.
    if (!designing_) StyleChanged();
    bars_->SetLoading(true);
    for (TdxBarItem* item : std::vector<TdxBarItem*>(items_)) {
        if (auto* subItem = dynamic_cast<TCustomdxBarSubItem*>(item))
            subItem->ItemLinks()->RestoreRecentState(true);
        item->SetVisible(item->LoadedVisible());
    }
    for (int i = 0; i < bars_->Count(); ++i)
        bars_->Items(i)->ApplyLoadedState();
    // A layout stored in the registry or an INI file is read at run time, not into a copy of the form
    // as designed.
    if (!designing_ && !bars::ReadingDesignState()) bars::Windows().LoadStoredLayout(this);
    bars_->SetLoading(false);
    for (int i = 0; i < categories_->Count(); ++i)
        if (TdxBarCategoryData* data = categories_->Data(i))
            SetCategoryItemsVisible(i, data->LoadedItemsVisible);
    realigningDockControls_ = true;
    for (bars::DockControl* site : std::vector<bars::DockControl*>(dockControls_))
        site->RealignBars();
    realigningDockControls_ = false;
}

void TdxBarManager::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove || AComponent == nullptr) return;
    if (AComponent == disabledLargeImages_) SetDisabledLargeImages(nullptr);
    if (AComponent == disabledImages_) SetDisabledImages(nullptr);
    if (AComponent == hotImages_) SetHotImages(nullptr);
    if (AComponent == images_) SetImages(nullptr);
    if (AComponent == largeImages_) SetLargeImages(nullptr);
    if (popupMenuLinks_ == nullptr) return;
    for (int i = 0; i < popupMenuLinks_->Count(); ++i) {
        TdxBarPopupMenuLink* link = popupMenuLinks_->Items(i);
        if (static_cast<TComponent*>(link->Control()) == AComponent) link->SetControl(nullptr);
        if (static_cast<TComponent*>(link->PopupMenu()) == AComponent) link->SetPopupMenu(nullptr);
    }
}

void TdxBarManager::ReadState(TReader& Reader) {
    TComponent::ReadState(Reader);
    ++readStateCount_;
}

void TdxBarManager::SetName(const std::string& NewName) {
    const std::string oldName = Name();
    TComponent::SetName(NewName);
    if (!designing_ || oldName.empty() || SameText(oldName, NewName)) return;
    // Items named after the manager follow its new name.
    for (TdxBarItem* item : items_) {
        const std::string& name = item->Name();
        if (item->Owner() == Owner() && name.size() > oldName.size() &&
            SameText(name.substr(0, oldName.size()), oldName))
            item->SetName(NewName + name.substr(oldName.size()));
    }
}

void TdxBarManager::DefineProperties(TFiler& Filer) {
    TComponent::DefineProperties(Filer);
    auto write = [this](TWriter& Writer) {
        auto extent = [this](TdxBarDockingStyle side) {
            bars::DockControl* site = bars_->DockControls(side);
            if (site == nullptr) return 0;
            return side == dsLeft || side == dsRight ? site->Width() : site->Height();
        };
        Writer.WriteListBegin();
        for (TdxBarDockingStyle side : {dsLeft, dsRight, dsTop, dsBottom})
            Writer.WriteInteger(extent(side));
        Writer.WriteListEnd();
    };
    Filer.DefineProperty(
        "DockControlHeights", [this](TReader& Reader) { ReadDockControlHeights(Reader); }, write, true);
}

void TdxBarManager::ReadDockControlHeights(TReader& Reader) {
    Reader.ReadListBegin();
    for (TdxBarDockingStyle side : {dsLeft, dsRight, dsTop, dsBottom}) {
        if (Reader.EndOfList()) break;
        const int value = Reader.ReadInteger();
        if (bars::DockControl* site = bars_->DockControls(side)) {
            if (side == dsLeft || side == dsRight)
                site->SetWidth(value);
            else
                site->SetHeight(value);
        }
    }
    while (!Reader.EndOfList())
        Reader.SkipValue();
    Reader.ReadListEnd();
}

void TdxBarManager::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    for (TdxBarItem* item : std::vector<TdxBarItem*>(items_))
        if (item->Owner() == Root && item->Category() >= 0) Proc(item);
    for (TComponent* group : std::vector<TComponent*>(groups_))
        if (group->Owner() == Root) Proc(group);
}

TdxBarItem* TdxBarManager::Items(int Index) const {
    if (Index < 0 || Index >= ItemCount()) return nullptr;
    return items_[static_cast<size_t>(Index)];
}

int TdxBarManager::IndexOfItem(const TdxBarItem* Item) const {
    auto it = std::find(items_.begin(), items_.end(), Item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TdxBarManager::AddItem(TdxBarItem* Item) {
    if (IndexOfItem(Item) < 0) items_.push_back(Item);
}

void TdxBarManager::RemoveItem(TdxBarItem* Item) {
    items_.erase(std::remove(items_.begin(), items_.end(), Item), items_.end());
}

TComponent* TdxBarManager::Groups(int Index) const {
    if (Index < 0 || Index >= GroupCount()) return nullptr;
    return groups_[static_cast<size_t>(Index)];
}

void TdxBarManager::RegisterGroup(TComponent* Group) {
    if (std::find(groups_.begin(), groups_.end(), Group) == groups_.end()) groups_.push_back(Group);
}

void TdxBarManager::UnregisterGroup(TComponent* Group) {
    groups_.erase(std::remove(groups_.begin(), groups_.end(), Group), groups_.end());
}

void TdxBarManager::MoveGroup(TComponent* Group, int NewIndex) {
    auto it = std::find(groups_.begin(), groups_.end(), Group);
    if (it == groups_.end()) return;
    groups_.erase(it);
    NewIndex = std::clamp(NewIndex, 0, GroupCount());
    groups_.insert(groups_.begin() + NewIndex, Group);
}

TdxBarPopupMenu* TdxBarManager::PopupMenus(int Index) const {
    if (Index < 0 || Index >= PopupMenuCount()) return nullptr;
    return popupMenus_[static_cast<size_t>(Index)];
}

void TdxBarManager::AddPopupMenu(TdxBarPopupMenu* Menu) {
    if (std::find(popupMenus_.begin(), popupMenus_.end(), Menu) == popupMenus_.end())
        popupMenus_.push_back(Menu);
}

void TdxBarManager::RemovePopupMenu(TdxBarPopupMenu* Menu) {
    popupMenus_.erase(std::remove(popupMenus_.begin(), popupMenus_.end(), Menu), popupMenus_.end());
}

bars::DockControl* TdxBarManager::DockControls(int Index) const {
    if (Index < 0 || Index >= DockControlCount()) return nullptr;
    return dockControls_[static_cast<size_t>(Index)];
}

void TdxBarManager::CreateBarsToShow() {
    if (barsToShow_ == nullptr) barsToShow_ = std::make_unique<std::vector<TdxBar*>>();
}

void TdxBarManager::AddBarToShow(TdxBar* Bar) {
    CreateBarsToShow();
    if (std::find(barsToShow_->begin(), barsToShow_->end(), Bar) == barsToShow_->end())
        barsToShow_->push_back(Bar);
}

void TdxBarManager::RemoveBarToShow(const TdxBar* Bar) {
    if (barsToShow_ != nullptr) std::erase(*barsToShow_, Bar);
}

void TdxBarManager::RegisterDockControl(bars::DockControl* DockControl) {
    if (DockControl == nullptr ||
        std::find(dockControls_.begin(), dockControls_.end(), DockControl) != dockControls_.end())
        return;
    dockControls_.push_back(DockControl);
    FreeNotification(DockControl->Component());
}

void TdxBarManager::UnregisterDockControl(bars::DockControl* DockControl) {
    // The bars leave a site that goes by the program's hand, not the user's.
    const bool changedByUser = changedByUser_;
    if (bars_ != nullptr)
        for (int i = 0; i < bars_->Count(); ++i) {
            TdxBar* bar = bars_->Items(i);
            if (bar->DockedDockControl() == DockControl) bar->SetDockedDockControl(nullptr);
            if (bar->DockControl() == DockControl) {
                bar->SetVisible(false);
                bar->SetDockControl(nullptr);
            }
        }
    changedByUser_ = changedByUser;
    dockControls_.erase(std::remove(dockControls_.begin(), dockControls_.end(), DockControl),
                        dockControls_.end());
    if (bars_ != nullptr) bars_->ForgetDockControl(DockControl);
    DockControl->SetParentColor(true);
}

bars::DockControl* TdxBarManager::FindDockControl(const std::string& Name) const {
    TComponent* component = nullptr;
    const size_t dot = Name.find('.');
    if (dot == std::string::npos) {
        component = parentForm_->FindComponent(Name);
    } else {
        const std::string formName = Name.substr(0, dot);
        TComponent* form = SameText(formName, parentForm_->Name()) ? parentForm_ : nullptr;
        if (form == nullptr && Application != nullptr) form = Application->FindComponent(formName);
        if (form != nullptr) component = form->FindComponent(Name.substr(dot + 1));
    }
    return dynamic_cast<bars::DockControl*>(component);
}

HWND TdxBarManager::GetParentHandle() const {
    return parentForm_->HandleAllocated() ? parentForm_->Handle() : nullptr;
}

void TdxBarManager::SetSelectedItem(bars::ItemControl* Control) {
    if (Control == selectedItem_) return;
    bars::ItemControl* old = selectedItem_;
    if (IsCustomizingOrDesigning() && old != nullptr) {
        bars::BarControl* oldTop = GetItemControlTopToolbar(old);
        // A drag keeps the menus it opened: its loop lives on the capture of the one it started in.
        if (oldTop != nullptr && (Control == nullptr || GetItemControlTopToolbar(Control) != oldTop)) {
            if (draggingItem_)
                oldTop->SetSelectedControl(nullptr);
            else
                oldTop->DropSelection();
        } else if (oldTop == nullptr && !draggingItem_) {
            // Off the menu the sub-menu editor holds open (no toolbar above it): that menu closes.
            bars::BarControl* oldMenu = GetItemControlTopBarControl(old);
            if (oldMenu != nullptr && (Control == nullptr || GetItemControlTopBarControl(Control) != oldMenu))
                if (const bars::CustomizingReceiver* window = bars::Customizing())
                    window->CloseSubMenuEditorMenu(oldMenu);
        }
    }
    // The selection held before may have gone with its link (a link dragged out of a menu): every other
    // toolbar that still selects something lets go of it, and of the menu it opened.
    if (IsCustomizingOrDesigning() && !draggingItem_ && Control != nullptr) {
        bars::BarControl* top = GetItemControlTopToolbar(Control);
        for (bars::BarControl* bar : std::vector<bars::BarControl*>(BarControls()))
            if (bar != top && bar->IsToolbar() && bar->SelectedControl() != nullptr &&
                bar->ItemLinks() != nullptr && bar->ItemLinks()->BarManager() == this &&
                (old == nullptr || bar != GetItemControlTopToolbar(old)))
                bar->DropSelection();
    }
    selectedItem_ = Control;
    if (old != nullptr && old->Parent() != nullptr && !draggingItem_) old->Repaint();
}

void TdxBarManager::ToolbarsPopupClick(int Tag) {
    if (Tag == 1000) {
        SetIsCustomizing(true);
        return;
    }
    if (Tag < 0 || Tag >= bars_->Count()) return;
    bars_->Items(Tag)->SetVisible(!bars_->Items(Tag)->Visible());
    NoteUserChange();
}

void TdxBarManager::SetIsCustomizing(bool Value) {
    if (Value == isCustomizing_ || (Value && bars::CustomizingFormExists())) return;
    isCustomizing_ = Value;
    // Items shown only while customizing come and go, and every control is made for the new mode.
    for (int i = 0; i < bars_->Count(); ++i)
        bars_->Items(i)->ItemLinks()->RebuildLists();
    ForEachBarControl([](bars::BarControl& control) { control.RecreateItemControls(); });
    if (const bars::CustomizingReceiver* window = bars::Customizing()) window->ShowForm(this, Value);
    ForEachBarControl([](bars::BarControl& control) { control.RepaintBar(); });
}

void TdxBarManager::DoClickItem(TdxBarItem* Item) {
    if (OnClickItem) OnClickItem(this, Item);
}

bool TdxBarManager::CanDocking(TdxBar* Bar, TdxBarDockingStyle Style, bars::DockControl* DockControl) {
    bool result;
    if (Bar->NotDocking().Contains(Style))
        result = false;
    else if (DockControl == nullptr || bars_->IsFormEdge(DockControl))
        result = !notDocking_.Contains(Style);
    else
        result = DockControl->CanDockBar(Bar, Style);
    if (OnDocking) OnDocking(Bar, Style, DockControl != nullptr ? DockControl->Component() : nullptr, result);
    return result;
}

void TdxBarManager::DoBarAfterReset(TdxBar* Bar) {
    if (OnBarAfterReset) OnBarAfterReset(this, Bar);
}

void TdxBarManager::DoBarBeforeReset(TdxBar* Bar) {
    if (OnBarBeforeReset) OnBarBeforeReset(this, Bar);
}

void TdxBarManager::DoBarClose(TdxBar* Bar) {
    if (OnBarClose) OnBarClose(this, Bar);
}

void TdxBarManager::DoBarDockingStyleChange(TdxBar* Bar) {
    if (bars_->Loading()) return;
    if (OnBarDockingStyleChange) OnBarDockingStyleChange(this, Bar);
    DesignerModified();
}

void TdxBarManager::DoCloseButtonClick() {
    if (OnCloseButtonClick) OnCloseButtonClick(this);
}

void TdxBarManager::DoHelpButtonClick() {
    if (OnHelpButtonClick) OnHelpButtonClick(this);
}

void TdxBarManager::DoShowCustomizingPopup(TdxBarItemLinks* ItemLinks) {
    if (OnShowCustomizingPopup) OnShowCustomizingPopup(this, ItemLinks);
}

void TdxBarManager::DoShowToolbarsPopup(TdxBarItemLinks* ItemLinks) {
    if (OnShowToolbarsPopup) OnShowToolbarsPopup(this, ItemLinks);
}

void TdxBarManager::NoteUserChange() {
    // What the manager's loading and a layout read set is the stored state, not the user's change.
    if (IsLoading() || IsDestroying() || bars_ == nullptr || bars_->Loading()) return;
    changedByUser_ = true;
}

void TdxBarManager::DesignerModified() {
    if (IsLoading() || IsDestroying() || !notifyDesigner_) return;
    // A running program has no form designer to tell.
}
