#pragma once
// The customizing window, which lives in a library above this one: what the bars, items and manager
// tell it when something it shows changes, and what they ask of it. The library hands its receiver in
// once; without one no customizing window opens and nothing is told.
#include "platform/rtl/wintypes.h"

class TdxBar;
class TdxBarItem;
class TdxBarItemLink;
class TdxBarManager;

namespace bars {

class BarControl;

class CustomizingReceiver {
public:
    virtual ~CustomizingReceiver() = default;
    // Opens or closes the customizing window for the manager, which enters or leaves customizing mode.
    virtual void ShowForm(TdxBarManager*, bool /*Show*/) const {}
    // Whether the customizing window is open (for any manager), and its window (nullptr while it has
    // none).
    virtual bool FormExists() const { return false; }
    virtual HWND FormWindow() const { return nullptr; }
    // Runs the loop that drags a link in customizing mode: Source is the bar window that held the
    // mouse, Press the screen point where the button went down.
    virtual void DragLink(TdxBarManager*, TdxBarItem*, TdxBarItemLink*, HWND /*Source*/,
                          POINT /*Press*/) const {}
    // The selection left the menu the sub-menu editor holds open: the editor frees that menu (from the
    // loop, once whoever moved the selection has returned) when Menu is it.
    virtual void CloseSubMenuEditorMenu(BarControl* /*Menu*/) const {}

    // Each is ignored unless the window customizes that manager (the bar's, the item's).
    // The style or an option changed: commands, options and the look of the lists.
    virtual void Refresh(TdxBarManager*) const {}
    virtual void RefreshHelpButton(TdxBarManager*) const {}
    virtual void BarAdded(TdxBar*) const {}
    // Before the bar goes.
    virtual void BarDeleted(TdxBar*) const {}
    // Its caption, visibility or closing rule changed.
    virtual void BarChanged(TdxBar*) const {}
    // An item with a category went; it is no longer in the manager's list.
    virtual void CommandDestroyed(TdxBarManager*) const {}
    virtual void RefreshCommands(TdxBarManager*) const {}
    // An item's category changed: the window shows its category and chooses it there.
    virtual void SelectCommand(TdxBarItem*, bool /*Force*/) const {}
    // A command was made for a bar (its category may be the one shown already): the list shows it.
    virtual void CommandCategoryChanged(TdxBarItem*) const {}
    virtual void RefreshGroups(TdxBarManager*) const {}
    // The customized form was shown or hidden.
    virtual void ParentFormShown(TdxBarManager*, bool /*Shown*/) const {}
    // Categories were added, deleted, renamed, hidden or shown.
    virtual void CategoriesChanged(TdxBarManager*) const {}
};

// Hands the receiver in (nullptr: none again). It holds no state of its own: the customizing window's
// state lives with the window.
void SetCustomizingReceiver(const CustomizingReceiver* Receiver);
// nullptr while no customizing window can be told.
const CustomizingReceiver* Customizing();
// What the receiver answers, false and nullptr without one.
bool CustomizingFormExists();
HWND CustomizingFormWindow();

} // namespace bars
