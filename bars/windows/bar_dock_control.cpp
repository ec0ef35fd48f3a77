// The dock site a form places: its own manager, alignment, colour and sunken border.
#include "bars/windows/bar_dock_control.h"

#include <vector>

#include "bars/core/bar_manager.h"
#include "bars/core/toolbar.h"
#include "bars/windows/toolbar_control.h"
#include "platform/gui/window.h"

namespace bars {

TdxBarDockControl::TdxBarDockControl(TComponent* AOwner) : TdxDockControl(AOwner) {}

TdxBarDockControl::~TdxBarDockControl() {
    // Its toolbars go first, and the site does not realign for each.
    Destroying();
    SetBarManager(nullptr);
}

void TdxBarDockControl::SetBarManager(TdxBarManager* Value) {
    if (Value == manager_) return;
    if (manager_ != nullptr) {
        manager_->UnregisterDockControl(this);
        manager_->RemoveFreeNotification(this);
    }
    manager_ = Value;
    if (manager_ != nullptr) {
        manager_->RegisterDockControl(this);
        manager_->FreeNotification(this);
    }
    BarManagerChanged();
}

void TdxBarDockControl::Notification(TComponent* AComponent, TOperation Operation) {
    TdxDockControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == manager_ && manager_ != nullptr) {
        manager_ = nullptr;
        ResetBackgroundCache();
        UpdateColor();
    }
}

void TdxBarDockControl::BarManagerChanged() {
    ResetBackgroundCache();
    UpdateColor();
    RecreateFrame();
}

void TdxBarDockControl::SetAlign(TAlign Value) {
    if (Value == Align()) return;
    // The toolbars leave with the old style and come back with the new one.
    std::vector<TdxBar*> bars;
    for (int r = 0; r < RowCount(); ++r)
        for (const auto& col : Rows(r)->Columns)
            if (col->BarControl != nullptr && col->BarControl->Bar() != nullptr)
                bars.push_back(col->BarControl->Bar());
    const bool locked = manager_ != nullptr && manager_->LockUpdate();
    if (manager_ != nullptr) manager_->SetLockUpdate(true);
    for (TdxBar* bar : bars)
        bar->SetVisible(false);
    TControl::SetAlign(Value);
    if (manager_ != nullptr) manager_->SetLockUpdate(locked);
    for (TdxBar* bar : bars)
        bar->SetVisible(true);
    RealignBars();
    if (Parent() != nullptr) Parent()->Invalidate();
}

void TdxBarDockControl::SetColor(TColor Value) {
    TdxDockControl::SetColor(Value);
    if (!ComponentState().Contains(csLoading) && !(manager_ != nullptr && manager_->IsLoading()))
        useOwnColor_ = true;
    ResetBackgroundCache();
    Invalidate();
    RepaintBars();
}

void TdxBarDockControl::SetUseOwnColor(bool Value) {
    if (Value == useOwnColor_) return;
    useOwnColor_ = Value;
    if (!Value) UpdateColor();
}

void TdxBarDockControl::UpdateColor() {
    if (useOwnColor_) return;
    TdxDockControl::UpdateColor();
    ResetBackgroundCache();
    RepaintBars();
}

bool TdxBarDockControl::GetSunkenBorder() const {
    return useOwnSunkenBorder_ ? sunkenBorder_ : TdxDockControl::GetSunkenBorder();
}

void TdxBarDockControl::SetSunkenBorder(bool Value) {
    if (Value == GetSunkenBorder()) return;
    sunkenBorder_ = Value;
    useOwnSunkenBorder_ = true;
    RecreateFrame();
}

void TdxBarDockControl::SetUseOwnSunkenBorder(bool Value) {
    if (Value == useOwnSunkenBorder_) return;
    const bool current = GetSunkenBorder();
    useOwnSunkenBorder_ = Value;
    // Turned on it keeps what it shows; turned off it shows the manager's again.
    if (Value)
        sunkenBorder_ = current;
    else if (current != GetSunkenBorder())
        RecreateFrame();
}

bool TdxBarDockControl::CanDockBar(TdxBar* Bar, TdxBarDockingStyle Style) {
    if (!TdxDockControl::CanDockBar(Bar, Style)) return false;
    // A toolbar that holds this site cannot dock in it.
    BarControl* window = Bar != nullptr ? Bar->Control() : nullptr;
    if (window == nullptr || window->Handle() == nullptr || !HandleAllocated()) return true;
    return window->Handle() != TWinControl::Handle() && !IsChild(window->Handle(), TWinControl::Handle());
}

void TdxBarDockControl::ShowBarsAgain() {
    if (manager_ == nullptr || !manager_->HasBarsToShow()) return;
    const std::vector<TdxBar*> bars = *manager_->BarsToShow();
    for (TdxBar* bar : bars)
        if (bar->DockedDockControl() == this && bar->DockingStyle() != dsNone) {
            manager_->RemoveBarToShow(bar);
            bar->SetVisible(true);
        }
}

void TdxBarDockControl::WndProc(TMessage& Message) {
    TdxDockControl::WndProc(Message);
    if (Message.Msg == WM_CREATE) ShowBarsAgain();
}

} // namespace bars
