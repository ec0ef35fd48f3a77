#include "platform/vcl/actions.h"

#include <algorithm>

TBasicActionLink::~TBasicActionLink() {
    if (action_ != nullptr) action_->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* Value) {
    if (Value == action_) return;
    if (action_ != nullptr) action_->UnRegisterChanges(this);
    if (Value != nullptr) Value->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* AComponent) {
    if (action_ == nullptr) return false;
    action_->SetActionComponent(AComponent);
    // The action may go away while its handler runs; it is not touched afterwards.
    return action_->Execute();
}

bool TBasicActionLink::Update() {
    return action_ != nullptr && action_->Update();
}

void TBasicActionLink::Change() {
    if (OnChange) OnChange(this);
}

TBasicAction::~TBasicAction() {
    Destroying();
    while (!clients_.empty())
        UnRegisterChanges(clients_.back());
}

bool TBasicAction::Execute() {
    if (!onExecute_) return false;
    TNotifyEvent handler = onExecute_;
    handler(this);
    return true;
}

bool TBasicAction::Update() {
    if (!OnUpdate) return false;
    OnUpdate(this);
    return true;
}

void TBasicAction::SetOnExecute(const TNotifyEvent& Value) {
    for (TBasicActionLink* link : std::vector<TBasicActionLink*>(clients_))
        link->SetOnExecute(Value);
    onExecute_ = Value;
    Change();
}

void TBasicAction::RegisterChanges(TBasicActionLink* Value) {
    if (Value->action_ == this) return;
    if (Value->action_ != nullptr) Value->action_->UnRegisterChanges(Value);
    Value->action_ = this;
    clients_.push_back(Value);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* Value) {
    auto it = std::find(clients_.begin(), clients_.end(), Value);
    if (it == clients_.end()) return;
    clients_.erase(it);
    Value->action_ = nullptr;
}

void TBasicAction::Change() {
    for (TBasicActionLink* link : std::vector<TBasicActionLink*>(clients_))
        link->Change();
}

template <class F> void TCustomAction::ForEachLink(F each) {
    // A client may leave the action while it takes the new value.
    for (TBasicActionLink* link : std::vector<TBasicActionLink*>(Clients()))
        if (auto* actionLink = dynamic_cast<TActionLink*>(link)) each(*actionLink);
}

template <class T, class Tell> void TCustomAction::Store(T& Field, const T& Value, Tell TellLink) {
    if (Value == Field) return;
    ForEachLink([&](TActionLink& link) { (link.*TellLink)(Value); });
    Field = Value;
    Change();
}

void TCustomAction::SetCaption(const std::string& Value) {
    Store(caption_, Value, &TActionLink::SetCaption);
}

void TCustomAction::SetChecked(bool Value) {
    Store(checked_, Value, &TActionLink::SetChecked);
}

void TCustomAction::SetEnabled(bool Value) {
    Store(enabled_, Value, &TActionLink::SetEnabled);
}

void TCustomAction::SetHelpContext(int Value) {
    Store(helpContext_, Value, &TActionLink::SetHelpContext);
}

void TCustomAction::SetHint(const std::string& Value) {
    Store(hint_, Value, &TActionLink::SetHint);
}

void TCustomAction::SetImageIndex(int Value) {
    Store(imageIndex_, Value, &TActionLink::SetImageIndex);
}

void TCustomAction::SetShortCut(TShortCut Value) {
    Store(shortCut_, Value, &TActionLink::SetShortCut);
}

void TCustomAction::SetVisible(bool Value) {
    Store(visible_, Value, &TActionLink::SetVisible);
}

bool TActionLink::IsCaptionLinked() {
    return CustomAction() != nullptr;
}
bool TActionLink::IsCheckedLinked() {
    return CustomAction() != nullptr;
}
bool TActionLink::IsEnabledLinked() {
    return CustomAction() != nullptr;
}
bool TActionLink::IsHelpContextLinked() {
    return CustomAction() != nullptr;
}
bool TActionLink::IsHintLinked() {
    return CustomAction() != nullptr;
}
bool TActionLink::IsImageIndexLinked() {
    return CustomAction() != nullptr;
}
bool TActionLink::IsShortCutLinked() {
    return CustomAction() != nullptr;
}
bool TActionLink::IsVisibleLinked() {
    return CustomAction() != nullptr;
}
