#pragma once
// The customizing window: one per process, for one bar manager. Its pages show and hide toolbars, list
// the commands by category (to be dragged onto the bars) and switch the bar options. While it is open
// the forms of every bar manager are disabled; it belongs to the customized manager's form.
#include <string>
#include <vector>

#include "platform/vcl/form.h"

class TButton;
class TCheckBox;
class TLabel;
class TListBox;
class TPageControl;
class TTabSheet;
class TdxBarManager;

namespace bars {

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
    // The commands list shows the items of the chosen category.
    void LCategoriesClick();
    void LCommandsClick();
    void RefreshOptions();
    void UpdateLook();
    void RefreshCommands();

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
    TListBox* LCategories = nullptr;
    TCommandsListBox* CommandsListBox = nullptr;
    TLabel* DescriptionLabel = nullptr;
    TCheckBox* CBLargeIcons = nullptr;
    TCheckBox* CBHint1 = nullptr;
    TCheckBox* CBHint2 = nullptr;

protected:
    void CreateParams(TCreateParams& Params) override;
    void DoClose(TCloseAction& Action) override;

private:
    void BuildToolbarsPage();
    void BuildCommandsPage();
    void BuildOptionsPage();
    void FillBars();
    void FillCategories();
    void BBarResetClick();

    TdxBarManager* manager_;
    bool refreshingOptions_ = false;
};

// The open window, or nullptr.
TdxBarCustomizingForm* GetCustomizingForm();
// Opens (before it, OnShowCustomizingForm) or closes (after it, OnHideCustomizingForm) the window for a
// manager; opening while a window exists does nothing.
void ShowCustomizingForm(TdxBarManager* Manager, bool Show);
// Lets the bar managers open the window (the toolbars popup's "Customize..." entry).
void InstallCustomizingForm();

} // namespace bars
