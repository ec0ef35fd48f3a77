#include "bars/core/window_services.h"

#include "bars/core/bar_combo.h"
#include "bars/core/bar_views.h"

namespace bars {

namespace {
// The services handed in, process-wide; none until the window library starts.
const WindowServices* services = nullptr;
} // namespace

std::unique_ptr<BarControl> WindowServices::MakeBarControl(TdxBarItemLinks*, bool) const {
    return nullptr;
}

DockControl* WindowServices::MakeDockControl(TdxBars*, TdxBarDockingStyle, TCustomForm*) const {
    return nullptr;
}

std::unique_ptr<TdxBarComboListBox> WindowServices::MakeComboList(TdxBarCustomCombo*) const {
    return nullptr;
}

bool WindowServices::ShowPopupMenu(TdxBarPopupMenu*, int, int) const {
    return false;
}

void WindowServices::UpdateFloatingBars(TdxBarManager*, bool, bool, HWND) const {}

bool WindowServices::QuickControlShown() const {
    return false;
}

const Painter* WindowServices::FindPainter(TdxBarManagerStyle) const {
    return nullptr;
}

void WindowServices::ManagerAdded(TdxBarManager*) const {}

void WindowServices::ManagerRemoved(TdxBarManager*) const {}

void WindowServices::ManagerGoing(TdxBarManager*) const {}

void WindowServices::LoadStoredLayout(TdxBarManager*) const {}

void SetWindowServices(const WindowServices* Services) {
    services = Services;
}

const WindowServices& Windows() {
    // Without services handed in, the base answers: no windows, no painters, nothing stored.
    static const WindowServices none;
    return services != nullptr ? *services : none;
}

} // namespace bars
