#include "bars/core/bar_item.h"

#include <algorithm>

#include "bars/core/bar_button.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_unit.h"
#include "bars/core/categories.h"
#include "bars/core/customizing_notify.h"
#include "bars/core/item_links.h"
#include "bars/core/sub_item.h"
#include "lookandfeel/object_links.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/image_list.h"
#include "platform/rtl/published.h"
#include "platform/rtl/reader.h"
#include "platform/vcl/form.h"

namespace {

// The caption as a hint shows it: without its first "&" and its first "...".
std::string CleanCaption(std::string caption) {
    if (const size_t amp = caption.find('&'); amp != std::string::npos) caption.erase(amp, 1);
    if (const size_t dots = caption.find("..."); dots != std::string::npos) caption.erase(dots, 3);
    return caption;
}

std::string ShortPart(const std::string& hint) {
    return hint.substr(0, hint.find('|'));
}

} // namespace

TdxBarItemVisible VisibleToItemVisible(bool Value) {
    return Value ? ivAlways : ivNever;
}

TdxBarItem::TdxBarItem(TComponent* AOwner) : TComponent(AOwner) {
    // An item joins only the manager of its own form.
    if (auto* form = dynamic_cast<TCustomForm*>(AOwner)) SetBarManager(FindBarManagerOfForm(form));
    glyph_ = std::make_unique<TBitmap>();
    glyph_->OnChange = [this](TObject*) { GlyphChanged(); };
}

TdxBarItem::~TdxBarItem() {
    Destroying();
    if (OnDestroy) OnDestroy(this);
    auto& temp = TempItems();
    temp.erase(std::remove(temp.begin(), temp.end(), this), temp.end());
    DeleteAllLinks();
    if (barManager_ != nullptr) {
        barManager_->RemoveItem(this);
        // The commands list must not keep a row for the item that goes.
        if (barManager_->IsCustomizing() && category_ > -1)
            if (const bars::CustomizingReceiver* window = bars::Customizing())
                window->CommandDestroyed(barManager_);
    }
    actionLink_.reset();
    glyph_.reset();
    ClearObjectLinks(this);
}

void TdxBarItem::DeleteAllLinks() {
    if (links_.empty()) return;
    bool onToolbar = false;
    for (TdxBarItemLink* link : links_)
        if (link->BarControl() != nullptr && link->BarControl()->IsToolbar()) onToolbar = true;
    const bool lock = barManager_ != nullptr && !barManager_->IsDestroying() && onToolbar;
    const bool saved = lock ? barManager_->LockUpdate() : false;
    if (lock) barManager_->SetLockUpdate(true);
    while (!links_.empty())
        delete links_.back();
    if (lock) barManager_->SetLockUpdate(saved);
}

bool TdxBarItem::IsLoading() const {
    return ComponentState().Contains(csLoading) && (barManager_ == nullptr || barManager_->IsLoading());
}

void TdxBarItem::SetBarManager(TdxBarManager* Value) {
    if (Value == barManager_) return;
    if (barManager_ != nullptr) barManager_->RemoveItem(this);
    barManager_ = Value;
    if (barManager_ != nullptr) barManager_->AddItem(this);
    // An item made in code joins its manager here: its own links (and the menus they open) go along.
    BarManagerChanged();
}

void TdxBarItem::Loaded() {
    TComponent::Loaded();
    if (Action() != nullptr) ActionChange(Action(), true);
    if (OnLoaded) OnLoaded(this);
}

void TdxBarItem::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent != nullptr && AComponent == Action()) SetAction(nullptr);
}

void TdxBarItem::ReadState(TReader& Reader) {
    TComponent::ReadState(Reader);
    if (auto* manager = dynamic_cast<TdxBarManager*>(Reader.Parent())) {
        SetBarManager(manager);
        BarManagerChanged();
    }
}

void TdxBarItem::SetName(const std::string& NewName) {
    TComponent::SetName(NewName);
    if (barManager_ != nullptr && barManager_->IsCustomizingOrDesigning())
        if (const bars::CustomizingReceiver* window = bars::Customizing())
            window->RefreshCommands(barManager_);
}

TComponent* TdxBarItem::GetParentComponent() const {
    return HasParent() ? barManager_ : nullptr;
}

void TdxBarItem::SetParentComponent(TComponent* Value) {
    if (IsLoading()) return;
    if (auto* manager = dynamic_cast<TdxBarManager*>(Value)) {
        SetBarManager(manager);
        BarManagerChanged();
    }
}

TBasicAction* TdxBarItem::Action() const {
    return actionLink_ != nullptr ? actionLink_->Action() : nullptr;
}

void TdxBarItem::SetAction(TBasicAction* Value) {
    if (Value == Action()) return;
    if (Value == nullptr) {
        actionLink_.reset();
        onClickIsAction_ = false;
        return;
    }
    if (actionLink_ == nullptr) actionLink_ = CreateActionLink();
    actionLink_->SetAction(Value);
    actionLink_->OnChange = [this](TObject*) {
        if (Action() != nullptr) ActionChange(Action(), false);
    };
    ActionChange(Value, Value->ComponentState().Contains(csLoading));
    Value->FreeNotification(this);
}

std::unique_ptr<TdxBarItemActionLink> TdxBarItem::CreateActionLink() {
    return std::make_unique<TdxBarItemActionLink>(this);
}

void TdxBarItem::SetAlign(TdxBarItemAlign Value) {
    if (Value == align_) return;
    align_ = Value;
    AlignChanged();
}

void TdxBarItem::AlignChanged() {
    ForEachControl([](bars::ItemControl& control) { control.Realign(); });
}

void TdxBarItem::SetCaption(const std::string& Value) {
    if (Value == caption_) return;
    bool hintFollows = false;
    if (!changingFromAction_ && dynamic_cast<TCustomdxBarSubItem*>(this) == nullptr)
        hintFollows = hint_.empty() || ShortPart(hint_) == CleanCaption(caption_);
    caption_ = Value;
    if (IsLoading()) return;
    if (hintFollows) {
        const size_t bar = hint_.find('|');
        hint_ = CleanCaption(caption_) + (bar != std::string::npos ? hint_.substr(bar) : std::string());
    }
    CaptionChanged();
}

void TdxBarItem::SetCaptionFromAction(const std::string& Value) {
    changingFromAction_ = true;
    SetCaption(Value);
    changingFromAction_ = false;
}

void TdxBarItem::SetCategory(int Value) {
    if (Value == category_) return;
    if (IsLoading()) {
        category_ = Value;
        return;
    }
    if (barManager_ == nullptr || Value < 0 || Value >= barManager_->Categories()->Count()) return;
    category_ = Value;
    if (barManager_->IsCustomizingOrDesigning() && !IsDestroying())
        if (const bars::CustomizingReceiver* window = bars::Customizing()) window->SelectCommand(this, false);
    DesignChanged();
}

void TdxBarItem::SetDescription(const std::string& Value) {
    if (Value == description_) return;
    description_ = Value;
    DesignChanged();
}

bool TdxBarItem::Enabled() const {
    if (barManager_ == nullptr || barManager_->Designing()) return enabled_;
    // While customizing, every command of a category can be clicked and dragged.
    if (barManager_->IsCustomizing() && category_ > -1) return true;
    return enabled_;
}

void TdxBarItem::SetEnabled(bool Value) {
    if (Value == enabled_) return;
    enabled_ = Value;
    if (!IsLoading()) EnabledChanged();
}

void TdxBarItem::EnabledChanged() {
    ForEachControl([](bars::ItemControl& control) { control.EnabledChanged(); });
}

void TdxBarItem::SetGlyph(TBitmap* Value) {
    glyph_->Assign(Value);
}

void TdxBarItem::SetImageIndex(int Value) {
    if (Value == imageIndex_) return;
    imageIndex_ = Value;
    GlyphChanged();
}

void TdxBarItem::SetShortCut(TShortCut Value) {
    if (Value == shortCut_) return;
    shortCut_ = Value;
    if (IsLoading()) return;
    ShortCutChanged();
    DesignChanged();
}

void TdxBarItem::ShortCutChanged() {
    ForEachControl([](bars::ItemControl& control) { control.ShortCutChanged(); });
}

void TdxBarItem::SetVisible(TdxBarItemVisible Value) {
    if (IsLoading()) {
        loadedVisible_ = Value;
        return;
    }
    if (Value == visible_) return;
    visible_ = Value;
    VisibleChanged();
}

bool TdxBarItem::IsVisibleNow() const {
    const bool designOrCustomize = barManager_ != nullptr && barManager_->IsCustomizingOrDesigning();
    switch (visible_) {
    case ivAlways:
        return HasContent() || designOrCustomize;
    case ivInCustomizing:
        return designOrCustomize;
    case ivNever:
        return false;
    }
    return false;
}

void TdxBarItem::SetOnClick(const TNotifyEvent& Value) {
    onClick_ = Value;
    onClickIsAction_ = false;
}

TdxBarItemLink* TdxBarItem::Links(int Index) const {
    if (Index < 0 || Index >= LinkCount()) return nullptr;
    return links_[static_cast<size_t>(Index)];
}

void TdxBarItem::AddLink(TdxBarItemLink* Link) {
    if (std::find(links_.begin(), links_.end(), Link) == links_.end()) links_.push_back(Link);
}

void TdxBarItem::RemoveLink(TdxBarItemLink* Link) {
    links_.erase(std::remove(links_.begin(), links_.end(), Link), links_.end());
}

TdxBarItemLink* TdxBarItem::FirstShownLink() const {
    for (TdxBarItemLink* link : links_)
        if (link->Control() != nullptr && link->ShownIndex() >= 0) return link;
    return nullptr;
}

bool TdxBarItem::HasControls() const {
    return std::any_of(links_.begin(), links_.end(),
                       [](TdxBarItemLink* l) { return l->Control() != nullptr; });
}

int TdxBarItem::Index() const {
    return barManager_ != nullptr ? barManager_->IndexOfItem(this) : -1;
}

const bars::Painter* TdxBarItem::GetPainter() const {
    return barManager_ != nullptr ? barManager_->PainterClass() : nullptr;
}

TCustomImageList* TdxBarItem::GetImages() const {
    return barManager_ != nullptr ? barManager_->Images() : nullptr;
}

bool TdxBarItem::HasImageInList() const {
    TCustomImageList* images = GetImages();
    return images != nullptr && imageIndex_ >= 0 && imageIndex_ < images->Count();
}

bool TdxBarItem::HasAccel(TdxBarItemLink*) const {
    return Enabled();
}

void TdxBarItem::Click() {
    if (CanClicked()) DirectClick();
}

void TdxBarItem::DirectClick() {
    if (!Enabled()) return;
    // The manager's handler may free the item.
    TcxObjectLinkPtr self = MakeObjectLink(this);
    if (barManager_ != nullptr) barManager_->DoClickItem(this);
    if (self->Ref != nullptr) DoClick();
}

void TdxBarItem::DoClick() {
    if (onClick_ && (Action() == nullptr || !onClickIsAction_)) {
        // A copy runs: the handler may free the item, and its own handler with it.
        TNotifyEvent handler = onClick_;
        handler(this);
        return;
    }
    // Only an action that is there runs; an item without handler and action does nothing.
    const bool designing = barManager_ != nullptr && barManager_->Designing();
    if (!designing && actionLink_ != nullptr && actionLink_->Action() != nullptr) actionLink_->Execute(this);
}

void TdxBarItem::ForEachControl(const std::function<void(bars::ItemControl&)>& Each,
                                bool SkipActiveSelection) {
    for (TdxBarItemLink* link : std::vector<TdxBarItemLink*>(links_)) {
        bars::ItemControl* control = link->Control();
        if (control == nullptr) continue;
        if (SkipActiveSelection && control->IsSelected() && control->Parent() != nullptr &&
            control->Parent()->IsActive())
            continue;
        Each(*control);
    }
}

void TdxBarItem::CaptionChanged() {
    for (TdxBarItemLink* link : std::vector<TdxBarItemLink*>(links_))
        if (link->Control() != nullptr && !link->UserDefine().Contains(udCaption))
            link->Control()->CaptionChanged();
    DesignChanged();
}

void TdxBarItem::GlyphChanged() {
    for (TdxBarItemLink* link : std::vector<TdxBarItemLink*>(links_))
        if (link->Control() != nullptr && !link->UserDefine().Contains(udGlyph))
            link->Control()->GlyphChanged();
    DesignChanged();
}

void TdxBarItem::Update() {
    ForEachControl([](bars::ItemControl& control) { control.Repaint(); }, true);
}

void TdxBarItem::UpdateBars() {
    ForEachControl(
        [](bars::ItemControl& control) {
            if (control.Parent() != nullptr) control.Parent()->RepaintBar();
        },
        true);
}

void TdxBarItem::VisibleChanged() {
    if (ComponentState().Contains(csDesigning)) return;
    const bool saved = barManager_ != nullptr && barManager_->LockUpdate();
    if (barManager_ != nullptr) barManager_->SetLockUpdate(true);
    const bool visibleNow = IsVisibleNow();
    for (TdxBarItemLink* link : std::vector<TdxBarItemLink*>(links_)) {
        TdxBarItemLinks* collection = link->Links();
        collection->RebuildLists();
        if (visibleNow) {
            if (link->Visible()) collection->MoveInRecentOrder(link, 0);
            if (link->Control() == nullptr && collection->BarControl() != nullptr) link->CreateControl();
            if (link->Control() != nullptr) link->Control()->VisibleChanged();
        } else {
            collection->MoveInRecentOrder(link, static_cast<int>(collection->RecentOrder().size()) - 1);
            if (link->Control() != nullptr) {
                link->Control()->VisibleChanged();
                link->FreeControl();
            }
        }
    }
    if (barManager_ != nullptr) barManager_->SetLockUpdate(saved);
    DesignChanged();
}

void TdxBarItem::DesignChanged() {
    if (barManager_ == nullptr) return;
    barManager_->DesignerModified();
    barManager_->NotifyItemChangedInDesign(this);
}

void TdxBarItem::ActionChange(TObject* Sender, bool CheckDefaults) {
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (action == nullptr) return;
    changingFromAction_ = CheckDefaults;
    if (!CheckDefaults || caption_.empty()) SetCaption(action->Caption());
    changingFromAction_ = false;
    if (auto* button = dynamic_cast<TdxBarButton*>(this))
        if (!CheckDefaults || !button->Down()) button->SetDown(action->Checked());
    if (!CheckDefaults || Enabled()) SetEnabled(action->Enabled());
    if (!CheckDefaults || helpContext_ == 0) helpContext_ = action->HelpContext();
    if (!CheckDefaults || hint_.empty()) hint_ = action->Hint();
    if (!CheckDefaults || imageIndex_ == -1) SetImageIndexFromAction(action->ImageIndex());
    if (!CheckDefaults || shortCut_ == scNone) SetShortCut(action->ShortCut());
    if (!CheckDefaults || Visible() == ivAlways) SetVisible(VisibleToItemVisible(action->Visible()));
    if (!CheckDefaults || !onClick_) {
        onClick_ = action->OnExecute();
        onClickIsAction_ = true;
    }
}

void TdxBarItem::AssignTo(TPersistent* Dest) {
    auto* action = dynamic_cast<TCustomAction*>(Dest);
    if (action == nullptr) {
        TComponent::AssignTo(Dest);
        return;
    }
    action->SetCaption(caption_);
    if (auto* button = dynamic_cast<TdxBarButton*>(this)) action->SetChecked(button->Down());
    action->SetEnabled(Enabled());
    action->SetHelpContext(helpContext_);
    action->SetHint(hint_);
    action->SetImageIndex(imageIndex_);
    action->SetShortCut(shortCut_);
    if (visible_ != ivInCustomizing) action->SetVisible(visible_ == ivAlways);
    action->SetOnExecute(onClick_);
}

// The action link.

bool TdxBarItemActionLink::IsCaptionLinked() {
    return TActionLink::IsCaptionLinked() && client_->Caption() == CustomAction()->Caption();
}

bool TdxBarItemActionLink::IsCheckedLinked() {
    auto* button = dynamic_cast<TdxBarButton*>(client_);
    return TActionLink::IsCheckedLinked() && button != nullptr && button->Down() == CustomAction()->Checked();
}

bool TdxBarItemActionLink::IsEnabledLinked() {
    return TActionLink::IsEnabledLinked() && client_->Enabled() == CustomAction()->Enabled();
}

bool TdxBarItemActionLink::IsHelpContextLinked() {
    return TActionLink::IsHelpContextLinked() && client_->HelpContext() == CustomAction()->HelpContext();
}

bool TdxBarItemActionLink::IsHintLinked() {
    return TActionLink::IsHintLinked() && client_->Hint() == CustomAction()->Hint();
}

bool TdxBarItemActionLink::IsImageIndexLinked() {
    return TActionLink::IsImageIndexLinked() && client_->GetImageIndex() == CustomAction()->ImageIndex();
}

bool TdxBarItemActionLink::IsShortCutLinked() {
    return TActionLink::IsShortCutLinked() && client_->ShortCut() == CustomAction()->ShortCut();
}

bool TdxBarItemActionLink::IsVisibleLinked() {
    return TActionLink::IsVisibleLinked() &&
           VisibleToItemVisible(CustomAction()->Visible()) == client_->Visible();
}

bool TdxBarItemActionLink::IsOnExecuteLinked() {
    if (!TActionLink::IsOnExecuteLinked()) return false;
    // Handlers cannot be compared; the item knows whether its handler came from the action.
    return client_->onClickIsAction_ || (!client_->onClick_ && Action() != nullptr && !Action()->OnExecute());
}

void TdxBarItemActionLink::SetCaption(const std::string& Value) {
    if (IsCaptionLinked()) client_->SetCaptionFromAction(Value);
}

void TdxBarItemActionLink::SetChecked(bool Value) {
    if (IsCheckedLinked()) static_cast<TdxBarButton*>(client_)->SetDown(Value);
}

void TdxBarItemActionLink::SetEnabled(bool Value) {
    if (IsEnabledLinked()) client_->SetEnabled(Value);
}

void TdxBarItemActionLink::SetHelpContext(int Value) {
    if (IsHelpContextLinked()) client_->helpContext_ = Value;
}

void TdxBarItemActionLink::SetHint(const std::string& Value) {
    if (IsHintLinked()) client_->hint_ = Value;
}

void TdxBarItemActionLink::SetImageIndex(int Value) {
    if (IsImageIndexLinked()) client_->SetImageIndexFromAction(Value);
}

void TdxBarItemActionLink::SetShortCut(TShortCut Value) {
    if (IsShortCutLinked()) client_->SetShortCut(Value);
}

void TdxBarItemActionLink::SetVisible(bool Value) {
    if (IsVisibleLinked()) client_->SetVisible(VisibleToItemVisible(Value));
}

void TdxBarItemActionLink::SetOnExecute(const TNotifyEvent& Value) {
    if (!IsOnExecuteLinked()) return;
    client_->onClick_ = Value;
    client_->onClickIsAction_ = true;
}

// Published properties.

TPropInfo TdxBarItem::SharedProperty(const std::string& Name) {
    using I = TdxBarItem;
    auto linked = [](bool (TdxBarItemActionLink::*isLinked)()) {
        return [isLinked](const TPersistent& o) {
            auto* link = static_cast<const I&>(o).ActionLink();
            return link == nullptr || !(link->*isLinked)();
        };
    };
    TPropInfo info;
    if (Name == "ImageIndex") {
        info = IntegerProperty<I>("ImageIndex", &I::ImageIndex, &I::SetImageIndex, -1);
        info.Stored = linked(&TdxBarItemActionLink::IsImageIndexLinked);
    } else if (Name == "ShortCut") {
        info = IntegerProperty<I>("ShortCut", &I::ShortCut, &I::SetShortCut, 0);
        info.Stored = linked(&TdxBarItemActionLink::IsShortCutLinked);
    } else if (Name == "UnclickAfterDoing") {
        info = BooleanProperty<I>("UnclickAfterDoing", &I::UnclickAfterDoing, &I::SetUnclickAfterDoing, true);
    } else {
        info = MethodProperty(Name);
    }
    return info;
}

const TPropertyTable& TdxBarItem::Table() {
    using I = TdxBarItem;
    static const TPropertyTable table(&TComponent::Table(), [] {
        auto linked = [](bool (TdxBarItemActionLink::*isLinked)()) {
            return [isLinked](const TPersistent& o) {
                auto* link = static_cast<const I&>(o).ActionLink();
                return link == nullptr || !(link->*isLinked)();
            };
        };
        TPropInfo caption = StringProperty<I>("Caption", &I::Caption, &I::SetCaption);
        caption.Stored = linked(&TdxBarItemActionLink::IsCaptionLinked);
        TPropInfo enabled = BooleanProperty<I>("Enabled", &I::StoredEnabled, &I::SetEnabled, true);
        enabled.Stored = linked(&TdxBarItemActionLink::IsEnabledLinked);
        TPropInfo help = IntegerProperty<I>("HelpContext", &I::HelpContext, &I::SetHelpContext, 0);
        help.Stored = linked(&TdxBarItemActionLink::IsHelpContextLinked);
        TPropInfo hint = StringProperty<I>("Hint", &I::Hint, &I::SetHint);
        hint.Stored = linked(&TdxBarItemActionLink::IsHintLinked);
        TPropInfo visible = EnumProperty<I>("Visible", &I::Visible, &I::SetVisible,
                                            {"ivNever", "ivInCustomizing", "ivAlways"});
        visible.Stored = linked(&TdxBarItemActionLink::IsVisibleLinked);
        return std::vector<TPropInfo>{
            ComponentProperty<I, TBasicAction>("Action", &I::Action, &I::SetAction),
            EnumProperty<I>("Align", &I::Align, &I::SetAlign, {"iaLeft", "iaCenter", "iaRight", "iaClient"},
                            iaLeft),
            caption,
            IntegerProperty<I>("Category", &I::Category, &I::SetCategory),
            StringProperty<I>("Description", &I::Description, &I::SetDescription),
            enabled,
            help,
            hint,
            visible,
            MethodProperty("OnDestroy"),
        };
    }());
    return table;
}
