#pragma once
// The window library's services to the model: toolbar, menu, dock-site and combo-list windows, popup
// menus, floating toolbars, the painters, the thread hooks and hints that follow the managers, and the
// stored layout. RegisterBarWindows (dock_control.h) hands them in.
#include <memory>

#include "bars/core/window_services.h"

namespace bars {

class BarWindowServices : public WindowServices {
public:
    std::unique_ptr<BarControl> MakeBarControl(TdxBarItemLinks* Links, bool Toolbar) const override;
    DockControl* MakeDockControl(TdxBars* Bars, TdxBarDockingStyle Side, TCustomForm* Form) const override;
    std::unique_ptr<TdxBarComboListBox> MakeComboList(TdxBarCustomCombo* Combo) const override;
    bool ShowPopupMenu(TdxBarPopupMenu* Menu, int X, int Y) const override;
    void UpdateFloatingBars(TdxBarManager* Manager, bool Active, bool Force, HWND Other) const override;
    bool QuickControlShown() const override;
    const Painter* FindPainter(TdxBarManagerStyle Style) const override;
    void ManagerAdded(TdxBarManager* Manager) const override;
    void ManagerRemoved(TdxBarManager* Manager) const override;
    void ManagerGoing(TdxBarManager* Manager) const override;
    void LoadStoredLayout(TdxBarManager* Manager) const override;
};

} // namespace bars
