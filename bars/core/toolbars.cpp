#include "bars/core/toolbars.h"

#include "bars/core/bar_manager.h"
#include "bars/core/window_services.h"
#include "platform/rtl/component.h"

TdxBars::TdxBars(TdxBarManager* ABarManager)
    : TCollection(CollectionItemClass<TdxBar>(), ABarManager), barManager_(ABarManager) {
    for (TdxBarDockingStyle side : {dsLeft, dsTop, dsRight, dsBottom})
        edgeSites_[side] = bars::Windows().MakeDockControl(this, side, ABarManager->ParentForm());
}

TdxBars::~TdxBars() {
    // The bars go while the collection and its sites still exist.
    BeginUpdate();
    while (Count() > 0)
        delete TCollection::Items(Count() - 1);
    for (bars::DockControl*& site : edgeSites_) {
        bars::DockControl* dying = site;
        site = nullptr;
        if (dying != nullptr) delete dying->Component();
    }
}

void TdxBars::Update(TCollectionItem*) {}

std::string TdxBars::GetUniqueName(const std::string& Base) const {
    for (int n = 1;; ++n) {
        const std::string name = Base + std::to_string(n);
        bool taken = false;
        for (int i = 0; i < Count() && !taken; ++i)
            taken = Items(i)->Name() == name;
        if (!taken) return name;
    }
}

bars::DockControl* TdxBars::DockControls(TdxBarDockingStyle Style) const {
    return Style == dsNone ? nullptr : edgeSites_[Style];
}

void TdxBars::ForgetDockControl(bars::DockControl* Site) {
    for (bars::DockControl*& site : edgeSites_)
        if (site == Site) site = nullptr;
}

bool TdxBars::IsFormEdge(const bars::DockControl* Site) const {
    if (Site == nullptr) return false;
    for (bars::DockControl* site : edgeSites_)
        if (site == Site) return true;
    return const_cast<bars::DockControl*>(Site)->IsFormEdge();
}

void TdxBars::DockBarControl(TdxBarDockingStyle Style, bars::DockControl* ADockControl, POINT ScreenPoint,
                             bars::BarControl* AControl) {
    bars::DockControl* site = ADockControl != nullptr ? ADockControl : DockControls(Style);
    if (site != nullptr) site->InsertBarControl(AControl, ScreenPoint);
}

void TdxBars::UndockBarControl(TdxBarDockingStyle Style, bars::DockControl* ADockControl,
                               bars::BarControl* AControl) {
    bars::DockControl* site = ADockControl != nullptr ? ADockControl : DockControls(Style);
    if (site != nullptr) site->RemoveBarControl(AControl);
}
