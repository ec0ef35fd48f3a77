#include "bars/core/bar_edit.h"

#include "bars/core/bar_manager.h"
#include "bars/core/bar_views.h"
#include "bars/core/item_links.h"
#include "bars/core/toolbar.h"
#include "platform/rtl/published.h"

void TdxBarWindowItem::SetText(const std::string& Value) {
    if (Value == text_) return;
    text_ = Value;
    Update();
    DoChange();
    Update();
}

std::string TdxBarWindowItem::CurText() const {
    if (TdxBarItemLink* link = FirstShownLink(); link != nullptr && link->Control()->IsWindowControl())
        return link->Control()->EditText();
    return text_;
}

TdxBarItemLink* TdxBarWindowItem::EditingLink() const {
    for (int i = 0; i < LinkCount(); ++i) {
        TdxBarItemLink* link = Links(i);
        bars::ItemControl* control = link->Control();
        if (control != nullptr && link->ShownIndex() >= 0 && control->IsWindowControl() &&
            control->IsEditing())
            return link;
    }
    return nullptr;
}

void TdxBarWindowItem::Focus(bool VisibleOnly) {
    for (int i = 0; i < LinkCount(); ++i) {
        bars::ItemControl* control = Links(i)->Control();
        if (control == nullptr || !control->IsWindowControl()) continue;
        if (VisibleOnly && (control->Parent() == nullptr || !control->Parent()->IsVisible())) continue;
        control->Click();
        return;
    }
}

void TdxBarWindowItem::DoChange() {
    if (!IsLoading() && OnChange) OnChange(this);
}

void TdxBarWindowItem::DoCurChange() {
    if (OnCurChange) OnCurChange(this);
}

void TdxBarWindowItem::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TdxBarWindowItem::DoExit() {
    if (OnExit) OnExit(this);
}

void TdxBarWindowItem::DoKeyDown(WORD& Key, TShiftState Shift) {
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TdxBarWindowItem::DoKeyPress(char& Key) {
    if (OnKeyPress) OnKeyPress(this, Key);
}

void TdxBarWindowItem::DoKeyUp(WORD& Key, TShiftState Shift) {
    if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

const TPropertyTable& TdxBarWindowItem::Table() {
    using W = TdxBarWindowItem;
    static const TPropertyTable table(&TdxBarItem::Table(), [] {
        std::vector<TPropInfo> own{StringProperty<W>("Text", &W::Text, &W::SetText)};
        for (const char* event :
             {"OnChange", "OnCurChange", "OnEnter", "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp"})
            own.push_back(MethodProperty(event));
        return own;
    }());
    return table;
}

void TdxBarEdit::SetShowCaption(bool Value) {
    if (Value == showCaption_) return;
    showCaption_ = Value;
    if (!IsLoading()) UpdateBars();
}

void TdxBarEdit::SetWidth(int Value) {
    if (Value < 20) Value = 20;
    if (Value == width_) return;
    width_ = Value;
    if (!IsLoading()) WidthChanged();
}

void TdxBarEdit::DrawCustomizingImage(int AState, TCanvas* ACanvas, TdxBarItemLink* ALink,
                                      const RECT& ARect) {
    TdxBarManager* manager = BarManager();
    if (manager == nullptr || manager->PainterClass() == nullptr) return;
    manager->PainterClass()->DrawEditInCustomizing(this, ACanvas, AState, ARect,
                                                   ALink != nullptr ? ALink->Control() : nullptr);
}

void TdxBarEdit::WidthChanged() {
    for (int i = 0; i < LinkCount(); ++i)
        if (TdxBarItemLink* link = Links(i); link->Control() != nullptr &&
                                             !link->UserDefine().Contains(udWidth) &&
                                             link->Control()->IsWindowControl())
            link->Control()->Remeasure();
}

bool TdxBarEdit::HasAccel(TdxBarItemLink* ALink) const {
    return Enabled() &&
           (showCaption_ || ALink == nullptr || dynamic_cast<TdxBar*>(ALink->Owner()) == nullptr);
}

const TPropertyTable& TdxBarEdit::Table() {
    using E = TdxBarEdit;
    static const TPropertyTable table(
        &TdxBarWindowItem::Table(),
        {
            IntegerProperty<E>("MaxLength", &E::MaxLength, &E::SetMaxLength, 0),
            BooleanProperty<E>("ReadOnly", &E::ReadOnly, &E::SetReadOnly, false),
            BooleanProperty<E>("ShowCaption", &E::ShowCaption, &E::SetShowCaption, false),
            IntegerProperty<E>("Width", &E::Width, &E::SetWidth, 100),
            SharedProperty("ImageIndex"),
            SharedProperty("OnClick"),
        });
    return table;
}
