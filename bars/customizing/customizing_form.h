#pragma once
// The customizing window: one per process, for one bar manager. Its pages show, hide, make, rename,
// delete and reset toolbars, list the commands by category (to be dragged onto the bars) and switch the
// bar options. While it is open the forms of every bar manager are disabled; it belongs to the
// customized manager's form, and the bars, items and manager keep its lists up to date.
#include <string>
#include <vector>

#include "platform/gui/message_views.h"
#include "platform/vcl/form.h"
#include "platform/vcl/shortcut.h"

class TBitBtn;
class TButton;
class TCheckBox;
class TFont;
class TComboBox;
class TLabel;
class TListBox;
class TPageControl;
class TPanel;
class TTabSheet;
class TdxBar;
class TdxBarButton;
class TdxBarGroup;
class TdxBarCombo;
class TdxBarItem;
class TdxBarManager;
class TdxBarPopupMenu;

namespace bars {

class TCheckableButton;
class TCheckListBox;
class TCommandsListBox;

class TdxBarCustomizingForm : public TForm {
public:
    explicit TdxBarCustomizingForm(TdxBarManager* Manager);
    ~TdxBarCustomizingForm() override;
    std::string ClassName() const override { return "TdxBarCustomizingForm"; }
    TdxBarManager* BarManager() const { return manager_; }

    // The Toolbars page's buttons follow the chosen row: a bar the user made may be renamed and, when
    // it may be closed, deleted; a predefined one may be reset.
    void BarsListBoxClick();
    // New offers "Custom N", the first such caption no bar has; the bar made floats beside the window.
    void BBarNewClick();
    void BBarRenameClick();
    // Asks first; the row after (or before, for the last) is chosen next.
    void BBarDeleteClick();
    void BBarResetClick();
    void BHelpClick();
    void PageControlChange();
    // The commands list shows the items of the chosen category.
    void LCategoriesClick();
    void LCommandsClick();
    void RefreshOptions();
    void RefreshHelpButton();
    void UpdateLook();
    void RefreshCommands();
    // The categories were changed: the list is filled again, keeping the row number where it can.
    void RefreshCategories();
    // Shows the item's category (always with Force) and chooses the item there.
    void SelectCommand(TdxBarItem* Item, bool Force);
    // A command made elsewhere in the category shown gets its row.
    void CommandCategoryChanged(TdxBarItem* Item);
    // An item of the manager went: the list is filled again, keeping the row number where it can.
    void CommandDestroyed();
    // While the form is designed: categories and commands are edited from the Commands page.
    void LCategoriesMouseDown(TMouseButton Button, int X, int Y);
    // A category pressed while the form is designed is dragged along its list: over another row it
    // moves there, its items with it.
    void LCategoriesDragOver(int X, int Y);
    void LCategoriesEndDrag();
    void CategoriesPopupMenuPopup();
    void CategoriesAddClick();
    void CategoriesInsertClick();
    void CategoriesRenameClick();
    void CategoriesVisibleClick();
    void CategoriesItemsVisibleChange();
    // Asks first; the category's items go with it.
    void CategoriesDeleteClick();
    void CommandsPopupMenuPopup();
    // The add-item dialog for the chosen category; the item made is chosen.
    void CommandsAddClick();
    void CommandsDeleteClick();
    // Asks first, then frees every command of the category.
    void CommandsClearClick();
    void CommandsMoveUpClick();
    void CommandsMoveDownClick();
    // The sub-menu editor on the chosen sub-item's or container's links.
    void CommandsSubMenuEditorClick();
    // Moves the chosen command before or after its neighbour, in the list and among the manager's items.
    void MoveCommand(int Delta);
    // The All commands page: every item of a category, with its name, caption and shortcut.
    void FillAllCommands();
    void RefreshAllCommandsWidths();
    // The Groups page: the groups (keeping the chosen one) and the chosen group's entries (keeping the
    // chosen ones); the buttons follow once a refill is done.
    void RefreshGroups();
    void RefreshGroupItems();
    void UpdateGroupButtons();
    void btnGroupAddClick();
    // The group after (or before, for the last) is chosen next.
    void btnGroupDeleteClick();
    // The add-group-items dialog; what it chose is added and chosen.
    void btnGroupItemAddClick();
    void btnGroupItemDeleteClick();
    // The chosen entries gather into one block a place up or down; without the entries list focused,
    // the chosen group moves among the manager's groups.
    void btnMoveUpClick();
    void btnMoveDownClick();
    // The bars list follows the bars: made, gone, given a caption, shown or hidden.
    void BarAdded(TdxBar* Bar);
    void BarDeleted(TdxBar* Bar);
    void BarChanged(TdxBar* Bar);
    // The row of a bar, or -1.
    int BarRow(const TdxBar* Bar);

    TPageControl* PageControl = nullptr;
    TTabSheet* TabSheet1 = nullptr;
    TTabSheet* TabSheet2 = nullptr;
    TTabSheet* TabSheet3 = nullptr;
    TCheckListBox* BarsListBox = nullptr;
    TButton* BBarNew = nullptr;
    TButton* BBarRename = nullptr;
    TButton* BBarDelete = nullptr;
    TButton* BBarReset = nullptr;
    TButton* BClose = nullptr;
    TBitBtn* BHelp = nullptr;
    TListBox* LCategories = nullptr;
    TCommandsListBox* CommandsListBox = nullptr;
    TLabel* DescriptionLabel = nullptr;
    // Options for the standard style.
    TPanel* StandardOptionsPanel = nullptr;
    TCheckBox* CBLargeIcons = nullptr;
    TCheckBox* CBHint1 = nullptr;
    TCheckBox* CBHint2 = nullptr;
    TLabel* LabelMenuAnimations = nullptr;
    TComboBox* ComboBoxMenuAnimations = nullptr;
    // Options for every other style.
    TPanel* EnhancedOptionsPanel = nullptr;
    TCheckBox* CBMenusShowRecentItemsFirst = nullptr;
    TCheckBox* CBShowFullMenusAfterDelay = nullptr;
    TButton* BResetUsageData = nullptr;
    TCheckBox* CBLargeIconsEx = nullptr;
    TCheckBox* CBHint1Ex = nullptr;
    TCheckBox* CBHint2Ex = nullptr;
    TLabel* Label1 = nullptr;
    TComboBox* ComboBoxMenuAnimationsEx = nullptr;
    // Made only while the form is designed.
    TdxBarManager* BarManager1 = nullptr;
    TdxBarPopupMenu* CategoriesPopupMenu = nullptr;
    TdxBarButton* CategoriesAdd = nullptr;
    TdxBarButton* CategoriesInsert = nullptr;
    TdxBarButton* CategoriesRename = nullptr;
    TdxBarButton* CategoriesVisible = nullptr;
    TdxBarCombo* CategoriesItemsVisible = nullptr;
    TdxBarButton* CategoriesDelete = nullptr;
    TdxBarPopupMenu* CommandsPopupMenu = nullptr;
    TdxBarButton* CommandsAdd = nullptr;
    TdxBarButton* CommandsDelete = nullptr;
    TdxBarButton* CommandsClear = nullptr;
    TdxBarButton* CommandsMoveUp = nullptr;
    TdxBarButton* CommandsMoveDown = nullptr;
    TdxBarButton* CommandsSubMenuEditor = nullptr;
    TCheckableButton* CategoriesPopupButton = nullptr;
    TCheckableButton* CommandsPopupButton = nullptr;
    TTabSheet* TabSheet4 = nullptr;
    TListBox* LAllCommands = nullptr;
    TCheckBox* CBShowCommandsWithShortCut = nullptr;
    TTabSheet* TabSheet5 = nullptr;
    TListBox* lbGroups = nullptr;
    TListBox* lbGroupItems = nullptr;
    TButton* btnGroupAdd = nullptr;
    TButton* btnGroupDelete = nullptr;
    TButton* btnGroupItemAdd = nullptr;
    TButton* btnGroupItemDelete = nullptr;
    TButton* btnMoveUp = nullptr;
    TButton* btnMoveDown = nullptr;

    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void DoClose(TCloseAction& Action) override;

private:
    void BuildToolbarsPage();
    void BuildCommandsPage();
    void BuildOptionsPage();
    void BuildStandardOptions();
    void BuildEnhancedOptions();
    // The animations label and its combo box of the panel the style shows.
    void PrepareAnimations(TLabel* Label, TComboBox* Combo);
    // The wheel scrolls the list under the pointer while the keyboard is on a control that is no list.
    bool WheelToList(TWMMouseWheel Wheel);
    void WMActivate(TWMActivate Message);
    void BuildDesignMenus();
    void BuildAllCommandsPage();
    void LAllCommandsDrawItem(int Index, const TRect& Rect);
    void BuildGroupsPage();
    TdxBarGroup* SelectedGroup();
    void BeginGroupsUpdate();
    void EndGroupsUpdate();
    void FillGroupItems(const std::vector<TComponent*>& Chosen);
    void MoveGroupEntries(int Delta);
    void WireDesignKeys();
    TdxBarButton* MenuButton(TdxBarPopupMenu* Menu, int TextId, TShortCut Key, bool Group,
                             void (TdxBarCustomizingForm::*Handler)());
    // The chosen category row, or -1.
    int SelectedCategory();
    // Chooses Row (clamped), shows its commands and gives the list the focus.
    void SelectCategoryRow(int Row);
    // The list keeps its row after the category changed (the change may fill it again).
    void KeepCategoryRow(int Row);
    void FillBars();
    void FillCategories();
    // The row of a category, or -1 when it is not listed.
    int CategoryRow(int Category) const;
    // The bar of the chosen row, or nullptr.
    TdxBar* SelectedBar();
    // Chooses Row (clamped to the list; none when it is empty) and updates the buttons.
    void SelectBarRow(int Row);

    TdxBarManager* manager_;
    bool refreshingOptions_ = false;
    bool selectingCommand_ = false;
    bool deletingCommand_ = false;
    int nameColumnWidth_ = 0;
    int captionColumnWidth_ = 0;
    int shortCutColumnWidth_ = 0;
    int groupsLockCount_ = 0;
    int draggedCategoryIndex_ = -1;
    bool categoryDragStarted_ = false;
    POINT categoryDragFrom_{0, 0};
    bool groupItemsFocused_ = false;
    bool fillingGroupItems_ = false;
};

// The open window, or nullptr.
TdxBarCustomizingForm* GetCustomizingForm();
// Opens (before it, OnShowCustomizingForm) or closes (after it, OnHideCustomizingForm) the window for a
// manager; opening while a window exists does nothing.
void ShowCustomizingForm(TdxBarManager* Manager, bool Show);
// Lets the bar managers open the window (the toolbars popup's "Customize..." entry) and keeps it told.
void InstallCustomizingForm();
// Measured on the screen, so also before a window exists.
SIZE TextSize(const TFont& Font, const std::string& Text);
// The text width of a caption without its accelerator marks, in the form's font.
int CaptionWidth(TCustomForm* Form, const std::string& Caption);

} // namespace bars
