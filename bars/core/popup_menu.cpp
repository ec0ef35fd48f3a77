#include "bars/core/popup_menu.h"

#include <algorithm>

#include "bars/core/bar_drawing.h"
#include "bars/core/bar_errors.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_strings.h"
#include "bars/core/bar_unit.h"
#include "bars/core/item_links.h"
#include "lookandfeel/object_links.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/graphics/bitmap.h"
#include "platform/rtl/published.h"
#include "platform/vcl/form.h"

TdxBarPopupMenu::TdxBarPopupMenu(TComponent* AOwner) : TComponent(AOwner) {
    if (BarManagerList().Count() == 0) throw EdxBarError(LoadBarString(barstr::NoManagers));
    backgroundBitmap_ = std::make_unique<TBitmap>();
    TdxBarManager* manager = nullptr;
    if (auto* form = dynamic_cast<TCustomForm*>(AOwner))
        manager = FindBarManagerOfForm(form);
    else
        manager = BarManagerList().Items(0);
    font_ = std::make_unique<TFont>();
    itemLinks_ = std::make_unique<TdxBarItemLinks>(manager, this);
    itemLinks_->SetUseRecentItems(false);
    SetBarManager(manager);
    if (manager != nullptr) font_->Assign(manager->Font());
    font_->OnChange = [this](TObject*) { FontChanged(); };
}

TdxBarPopupMenu::~TdxBarPopupMenu() {
    Destroying();
    // A menu freed while it is shown ends its own loop.
    ClearObjectLinks(this);
    itemLinks_.reset();
    font_.reset();
    if (fontHandle_ != nullptr) DeleteObject(fontHandle_);
    SetBarManager(nullptr);
    backgroundBitmap_.reset();
}

void TdxBarPopupMenu::Loaded() {
    TComponent::Loaded();
    itemLinks_->RestoreRecentState(true);
}

void TdxBarPopupMenu::SetBarManager(TdxBarManager* Value) {
    if (Value == barManager_) return;
    // A menu leaves its manager only when it goes.
    if (Value == nullptr && !ComponentState().Contains(csDestroying)) return;
    if (barManager_ != nullptr) barManager_->RemovePopupMenu(this);
    barManager_ = Value;
    if (barManager_ != nullptr) barManager_->AddPopupMenu(this);
    if (itemLinks_ != nullptr) itemLinks_->SetBarManager(Value);
}

void TdxBarPopupMenu::DoPaintBar(TCanvas* Canvas, const RECT& R) {
    if (OnPaintBar) OnPaintBar(this, Canvas, R);
}

void TdxBarPopupMenu::SetItemLinks(TdxBarItemLinks* Value) {
    itemLinks_->Assign(Value);
}

void TdxBarPopupMenu::SetUseOwnFont(bool Value) {
    if (Value == useOwnFont_) return;
    useOwnFont_ = Value;
    fontChanging_ = true;
    if (!Value) {
        if (barManager_ != nullptr) font_->Assign(barManager_->Font());
        if (fontHandle_ != nullptr) DeleteObject(fontHandle_);
        fontHandle_ = nullptr;
    } else {
        FontChanged();
    }
    fontChanging_ = false;
}

void TdxBarPopupMenu::FontChanged() {
    if (!fontChanging_) useOwnFont_ = true;
    if (useOwnFont_) CreateMenuFont(*font_, fontHandle_, false);
}

void TdxBarPopupMenu::ManagerFontChanged() {
    if (useOwnFont_ || barManager_ == nullptr) return;
    fontChanging_ = true;
    font_->Assign(barManager_->Font());
    fontChanging_ = false;
}

void TdxBarPopupMenu::SetBackgroundBitmap(TBitmap* Value) {
    backgroundBitmap_->Assign(Value);
}

void TdxBarPopupMenu::SetUseRecentItems(bool Value) {
    useRecentItems_ = Value;
    itemLinks_->SetUseRecentItems(Value);
}

void TdxBarPopupMenu::SetShowing(bool Value) {
    isShowing_ = Value;
    if (Value) {
        if (OnPopup) OnPopup(this);
    } else if (OnCloseUp) {
        OnCloseUp(this);
    }
}

bool TdxBarPopupMenu::ExecuteShortCut(TShortCut ShortCut) {
    return itemLinks_->ExecuteShortCut(ShortCut);
}

void TdxBarPopupMenu::DesignChanged() {
    if (!ComponentState().Contains(csDesigning) || ComponentState().Contains(csLoading) ||
        ComponentState().Contains(csDestroying))
        return;
    if (barManager_ != nullptr) barManager_->DesignerModified();
}

const TPropertyTable& TdxBarPopupMenu::Table() {
    using P = TdxBarPopupMenu;
    static const TPropertyTable table(
        &TComponent::Table(),
        {
            ComponentProperty<P, TdxBarManager>("BarManager", &P::BarManager, &P::SetBarManager),
            IntegerProperty<P>("BarSize", &P::BarSize, &P::SetBarSize, 0),
            ObjectProperty<P>("ItemLinks", [](P& p) -> TPersistent* { return p.ItemLinks(); }),
            BooleanProperty<P>("UseOwnFont", &P::UseOwnFont, &P::SetUseOwnFont, false),
            BooleanProperty<P>("UseRecentItems", &P::UseRecentItems, &P::SetUseRecentItems, false),
            ObjectProperty<P>("BackgroundBitmap", [](P& p) -> TPersistent* { return p.BackgroundBitmap(); }),
            MethodProperty("OnCloseUp"),
            MethodProperty("OnPaintBar"),
            MethodProperty("OnPopup"),
        });
    return table;
}

// Links from controls to popup menus.

TdxBarPopupMenuLink::~TdxBarPopupMenuLink() {
    ClearObjectLinks(this);
}

TdxBarManager* TdxBarPopupMenuLink::BarManager() const {
    auto* links = dynamic_cast<TdxBarPopupMenuLinks*>(Collection());
    return links != nullptr ? links->BarManager() : nullptr;
}

void TdxBarPopupMenuLink::SetControl(TWinControl* Value) {
    TdxBarManager* manager = BarManager();
    if (Value != nullptr) {
        TCustomForm* form = nullptr;
        for (TWinControl* c = Value; c != nullptr && form == nullptr; c = c->Parent())
            form = dynamic_cast<TCustomForm*>(c);
        if (form == nullptr || manager == nullptr || FindBarManagerOfForm(form) != manager) Value = nullptr;
    }
    control_ = Value;
    if (Value != nullptr) Value->FreeNotification(manager);
}

void TdxBarPopupMenuLink::SetPopupMenu(TdxBarPopupMenu* Value) {
    popupMenu_ = Value;
    if (Value != nullptr && BarManager() != nullptr) Value->FreeNotification(BarManager());
}

void TdxBarPopupMenuLink::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TdxBarPopupMenuLink*>(Source);
    if (source == nullptr) {
        TCollectionItem::Assign(Source);
        return;
    }
    TComponent* owner = BarManager() != nullptr ? BarManager()->Owner() : nullptr;
    if (owner != nullptr) {
        SetControl(source->control_ != nullptr
                       ? dynamic_cast<TWinControl*>(owner->FindComponent(source->control_->Name()))
                       : nullptr);
        SetPopupMenu(source->popupMenu_ != nullptr
                         ? dynamic_cast<TdxBarPopupMenu*>(owner->FindComponent(source->popupMenu_->Name()))
                         : nullptr);
    }
    processChildren_ = source->processChildren_;
}

bool TdxBarPopupMenuLink::ExecuteShortCut(TShortCut ShortCut) {
    bool allowPopup = popupMenu_ != nullptr;
    int x = -1, y = -1;
    if (OnAction) OnAction(this, x, y, false, allowPopup);
    return allowPopup && popupMenu_ != nullptr && popupMenu_->ExecuteShortCut(ShortCut);
}

const TPropertyTable& TdxBarPopupMenuLink::Table() {
    using L = TdxBarPopupMenuLink;
    static const TPropertyTable table(
        nullptr, {
                     ComponentProperty<L, TWinControl>("Control", &L::Control, &L::SetControl),
                     ComponentProperty<L, TdxBarPopupMenu>("PopupMenu", &L::PopupMenu, &L::SetPopupMenu),
                     BooleanProperty<L>("ProcessChildren", &L::ProcessChildren, &L::SetProcessChildren, true),
                     MethodProperty("OnAction"),
                 });
    return table;
}

TdxBarPopupMenuLinks::TdxBarPopupMenuLinks(TdxBarManager* ABarManager)
    : TCollection(CollectionItemClass<TdxBarPopupMenuLink>(), ABarManager), barManager_(ABarManager) {}

bool TdxBarPopupMenuLinks::ExecuteShortCut(TWinControl* AControl, TShortCut ShortCut) {
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Control() == AControl && Items(i)->ExecuteShortCut(ShortCut)) return true;
    for (TWinControl* parent = AControl != nullptr ? AControl->Parent() : nullptr; parent != nullptr;
         parent = parent->Parent())
        for (int i = 0; i < Count(); ++i)
            if (Items(i)->Control() == parent && Items(i)->ProcessChildren() &&
                Items(i)->ExecuteShortCut(ShortCut))
                return true;
    return false;
}
