#include "bars/core/backgrounds.h"

#include "bars/core/bar_manager.h"
#include "platform/graphics/bitmap.h"
#include "platform/rtl/published.h"

TdxBarBackgrounds::TdxBarBackgrounds(TdxBarManager* ABarManager)
    : barManager_(ABarManager), bar_(std::make_unique<TBitmap>()), subMenu_(std::make_unique<TBitmap>()) {
    // A new toolbar picture changes how every bar window draws; menus read theirs as they paint.
    bar_->OnChange = [this](TObject*) {
        if (barManager_ != nullptr && !barManager_->IsLoading() && !barManager_->IsDestroying())
            barManager_->RefreshAll();
    };
}

TdxBarBackgrounds::~TdxBarBackgrounds() = default;

const TPropertyTable& TdxBarBackgrounds::Table() {
    using B = TdxBarBackgrounds;
    static const TPropertyTable table(nullptr, [] {
        return std::vector<TPropInfo>{
            ObjectProperty<B>("Bar", &B::BarObject),
            ObjectProperty<B>("SubMenu", &B::SubMenuObject),
        };
    }());
    return table;
}

TPersistent* TdxBarBackgrounds::BarObject() const {
    return bar_.get();
}

TPersistent* TdxBarBackgrounds::SubMenuObject() const {
    return subMenu_.get();
}

void TdxBarBackgrounds::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TdxBarBackgrounds*>(Source);
    if (source == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    SetBar(source->bar_.get());
    SetSubMenu(source->subMenu_.get());
}

void TdxBarBackgrounds::SetBar(TBitmap* Value) {
    if (Value != nullptr) {
        bar_->Assign(Value);
        return;
    }
    // Emptying a picture that was empty already changes nothing.
    if (!bar_->Empty()) bar_->Assign(nullptr);
}

void TdxBarBackgrounds::SetSubMenu(TBitmap* Value) {
    subMenu_->Assign(Value);
}

TPersistent* TdxBarBackgrounds::GetOwner() const {
    return barManager_;
}
