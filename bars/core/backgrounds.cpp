#include "bars/core/backgrounds.h"

#include "bars/core/bar_manager.h"
#include "platform/graphics/bitmap.h"

TdxBarBackgrounds::TdxBarBackgrounds(TdxBarManager* ABarManager)
    : barManager_(ABarManager), bar_(std::make_unique<TBitmap>()), subMenu_(std::make_unique<TBitmap>()) {
    // A new picture changes how every bar draws.
    auto changed = [this](TObject*) {
        if (barManager_ != nullptr && !barManager_->IsLoading()) barManager_->StyleChanged();
    };
    bar_->OnChange = changed;
    subMenu_->OnChange = changed;
}

TdxBarBackgrounds::~TdxBarBackgrounds() = default;

void TdxBarBackgrounds::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TdxBarBackgrounds*>(Source);
    if (source == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    bar_->Assign(source->bar_.get());
    subMenu_->Assign(source->subMenu_.get());
}

TPersistent* TdxBarBackgrounds::GetOwner() const {
    return barManager_;
}
