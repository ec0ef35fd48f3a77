#pragma once
// What the model asks of the libraries above it: the windows that show bars, menus, dock sites and combo
// lists, the painters of the styles, the thread hooks and hints that follow the managers, and the stored
// layout a manager reads as it finishes loading. The window library hands its services in once, as it
// starts (RegisterBarWindows); until then each service answers as if nothing could be shown.
#include <memory>

#include "bars/core/bar_types.h"
#include "platform/rtl/wintypes.h"

class TCustomForm;
class TdxBarComboListBox;
class TdxBarCustomCombo;
class TdxBarPopupMenu;
class TdxBars;

namespace bars {

class BarControl;
class DockControl;
class Painter;

class WindowServices {
public:
    virtual ~WindowServices() = default;

    // The window of a toolbar (a TdxBar owner) or of a menu (any other owner); nullptr for none.
    virtual std::unique_ptr<BarControl> MakeBarControl(TdxBarItemLinks* Links, bool Toolbar) const;
    // One of the four sites along the form's edges; nullptr for none.
    virtual DockControl* MakeDockControl(TdxBars* Bars, TdxBarDockingStyle Side, TCustomForm* Form) const;
    // A combo's drop-down list; nullptr for none.
    virtual std::unique_ptr<TdxBarComboListBox> MakeComboList(TdxBarCustomCombo* Combo) const;
    // Shows a popup menu's window at a screen point (with its popup and close-up notifications); false
    // when no window shows it.
    virtual bool ShowPopupMenu(TdxBarPopupMenu* Menu, int X, int Y) const;
    // Shows or hides the manager's floating toolbars as its form gains or loses the activation (Other:
    // the window that took or gave it); Force hides them whatever the manager's setting.
    virtual void UpdateFloatingBars(TdxBarManager* Manager, bool Active, bool Force, HWND Other) const;
    // A toolbar's quick-customization drop-down is open.
    virtual bool QuickControlShown() const;
    // The painter of a style (the manager picks the style first); nullptr when there is none.
    virtual const Painter* FindPainter(TdxBarManagerStyle Style) const;
    // A manager joined the manager list as it was made, or left it as it goes: the thread hooks live
    // while any manager does.
    virtual void ManagerAdded(TdxBarManager* Manager) const;
    virtual void ManagerRemoved(TdxBarManager* Manager) const;
    // A manager starts going: it has left the list and nothing of it is freed yet (hint timers and the
    // shared hint window, a quick-customization drop-down of its own).
    virtual void ManagerGoing(TdxBarManager* Manager) const;
    // Reads the manager's stored layout (registry, then INI file) as it finishes loading.
    virtual void LoadStoredLayout(TdxBarManager* Manager) const;
};

// Hands the services in (nullptr: none again). They hold no state of their own: a window library's
// state lives with its windows.
void SetWindowServices(const WindowServices* Services);
const WindowServices& Windows();

} // namespace bars
