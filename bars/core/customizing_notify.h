#pragma once
// What the bars, items and manager tell the customizing window when something it shows changes. The
// window lives in a library above this one and installs the receiver; without one (or while no window
// is open) nothing happens.
class TdxBar;
class TdxBarItem;
class TdxBarManager;

namespace bars {

class CustomizingReceiver {
public:
    virtual ~CustomizingReceiver() = default;
    // Each is ignored unless the window customizes that manager (the bar's, the item's).
    // The style or an option changed: commands, options and the look of the lists.
    virtual void Refresh(TdxBarManager* Manager) = 0;
    virtual void RefreshHelpButton(TdxBarManager* Manager) = 0;
    virtual void BarAdded(TdxBar* Bar) = 0;
    // Before the bar goes.
    virtual void BarDeleted(TdxBar* Bar) = 0;
    // Its caption, visibility or closing rule changed.
    virtual void BarChanged(TdxBar* Bar) = 0;
    // An item with a category went; it is no longer in the manager's list.
    virtual void CommandDestroyed(TdxBarManager* Manager) = 0;
    virtual void RefreshCommands(TdxBarManager* Manager) = 0;
    // An item's category changed: the window shows its category and chooses it there.
    virtual void SelectCommand(TdxBarItem* Item, bool Force) = 0;
    // A command was made for a bar (its category may be the one shown already): the list shows it.
    virtual void CommandCategoryChanged(TdxBarItem* Item) = 0;
    virtual void RefreshGroups(TdxBarManager* Manager) = 0;
    // The customized form was shown or hidden.
    virtual void ParentFormShown(TdxBarManager* Manager, bool Shown) = 0;
    // Categories were added, deleted, renamed, hidden or shown.
    virtual void CategoriesChanged(TdxBarManager* Manager) = 0;
};

void SetCustomizingReceiver(CustomizingReceiver* Receiver);
// nullptr while no customizing window can be told.
CustomizingReceiver* Customizing();

} // namespace bars
