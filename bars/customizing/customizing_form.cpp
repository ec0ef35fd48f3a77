#include "bars/customizing/customizing_form.h"

#include <algorithm>
#include <vector>

#include "bars/core/bar_item.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_unit.h"
#include "bars/core/categories.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/customizing/bars_list.h"
#include "bars/customizing/commands_list.h"
#include "platform/gui/window.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/label.h"
#include "platform/stdctrls/list_controls.h"
#include "platform/stdctrls/page_control.h"
#include "platform/vcl/application.h"

namespace bars {

namespace {

TdxBarCustomizingForm* customizingForm = nullptr;
bool destroyingCustomizingForm = false;
std::vector<HWND> disabledWindows;

template <class T>
T* Place(TComponent* Owner, TWinControl* Parent, const char* Name, int Left, int Top, int Width, int Height) {
    auto* control = new T(Owner);
    control->SetName(Name);
    control->SetParent(Parent);
    control->SetBounds(Left, Top, Width, Height);
    return control;
}

TButton* PlaceButton(TComponent* Owner, TWinControl* Parent, const char* Name, const char* Caption, int Left,
                     int Top, int Width) {
    auto* button = Place<TButton>(Owner, Parent, Name, Left, Top, Width, 22);
    button->SetCaption(Caption);
    return button;
}

TCheckBox* PlaceCheck(TComponent* Owner, TWinControl* Parent, const char* Name, const char* Caption,
                      int Top) {
    auto* box = Place<TCheckBox>(Owner, Parent, Name, 16, Top, 300, 17);
    box->SetCaption(Caption);
    return box;
}

TTabSheet* Page(TComponent* Owner, TPageControl* Pages, const char* Name, const char* Caption) {
    auto* sheet = new TTabSheet(Owner);
    sheet->SetName(Name);
    sheet->SetPageControl(Pages);
    sheet->SetCaption(Caption);
    return sheet;
}

void DisableManagerWindows() {
    for (int i = 0; i < BarManagerList().Count(); ++i) {
        TCustomForm* form = BarManagerList().Items(i)->ParentForm();
        if (form == nullptr || !form->HandleAllocated()) continue;
        HWND window = form->Handle();
        if (!IsWindowEnabled(window)) continue;
        EnableWindow(window, false);
        disabledWindows.push_back(window);
    }
}

// A form may have gone while the window was open: its handle is dead, or already another window's.
void EnableDisabledWindows() {
    std::vector<HWND> windows;
    windows.swap(disabledWindows);
    for (HWND window : windows)
        if (IsWindow(window)) EnableWindow(window, true);
}

} // namespace

TdxBarCustomizingForm::TdxBarCustomizingForm(TdxBarManager* Manager) : TForm(nullptr), manager_(Manager) {
    SetName("dxBarCustomizingForm");
    SetCaption("Customize");
    SetBorderStyle(bsDialog);
    SetBorderIcons(TBorderIcons{biSystemMenu});
    SetPosition(poScreenCenter);
    SetClientWidth(366);
    SetClientHeight(310);
    Font().SetName(manager_->Font()->Name());

    PageControl = Place<TPageControl>(this, this, "PageControl", 6, 8, 354, 266);
    TabSheet1 = Page(this, PageControl, "TabSheet1", " Toolbars ");
    TabSheet2 = Page(this, PageControl, "TabSheet2", " Commands ");
    TabSheet3 = Page(this, PageControl, "TabSheet3", " Options ");
    BuildToolbarsPage();
    BuildCommandsPage();
    BuildOptionsPage();
    PageControl->SetActivePageIndex(0);
    PageControl->OnChange = [this](TObject*) {
        if (PageControl->ActivePage() == TabSheet1) BarsListBoxClick();
    };

    BClose = PlaceButton(this, this, "BClose", "Close", 360 - 75, 282, 75);
    BClose->SetDefault(true);
    BClose->SetCancel(true);
    BClose->SetModalResult(mrOk);
    BClose->OnClick = [this](TObject*) { Close(); };

    FillBars();
    FillCategories();
    LCategoriesClick();
    UpdateLook();
    RefreshOptions();
    DoCreate();
}

TdxBarCustomizingForm::~TdxBarCustomizingForm() {
    // However the window goes, the forms come back and the manager leaves customizing mode.
    EnableDisabledWindows();
    // The manager's hide event comes once the window is gone for its callers.
    if (customizingForm == this) customizingForm = nullptr;
    destroyingCustomizingForm = true;
    if (manager_->IsCustomizing()) manager_->SetIsCustomizing(false);
    destroyingCustomizingForm = false;
}

void TdxBarCustomizingForm::BuildToolbarsPage() {
    auto* label = Place<TLabel>(this, TabSheet1, "LabelToobars", 4, 4, 100, 13);
    label->SetCaption("Toolb&ars:");
    BarsListBox = Place<TCheckListBox>(this, TabSheet1, "BarsListBox", 4, 20, 227, 213);
    BarsListBox->SetBarManager(manager_);
    BarsListBox->OnClick = [this](TObject*) { BarsListBoxClick(); };
    label->SetFocusControl(BarsListBox);
    BBarNew = PlaceButton(this, TabSheet1, "BBarNew", "&New...", 239, 21, 104);
    BBarRename = PlaceButton(this, TabSheet1, "BBarRename", "R&ename...", 239, 50, 104);
    BBarDelete = PlaceButton(this, TabSheet1, "BBarDelete", "&Delete", 239, 79, 104);
    BBarReset = PlaceButton(this, TabSheet1, "BBarReset", "&Reset...", 239, 108, 104);
    // A reset reloads the state read from the form, which only a manager read once has.
    BBarReset->SetVisible(!manager_->Designing() && manager_->ReadStateCount() == 1);
    BBarReset->OnClick = [this](TObject*) { BBarResetClick(); };
}

void TdxBarCustomizingForm::BuildCommandsPage() {
    auto* categories = Place<TLabel>(this, TabSheet2, "LabelCategories", 6, 6, 100, 13);
    categories->SetCaption("Cate&gories:");
    auto* commands = Place<TLabel>(this, TabSheet2, "LabelCommands", 148, 6, 100, 13);
    commands->SetCaption("Comman&ds:");
    LCategories = Place<TListBox>(this, TabSheet2, "LCategories", 5, 25, 135, 146);
    LCategories->OnClick = [this](TObject*) { LCategoriesClick(); };
    categories->SetFocusControl(LCategories);
    CommandsListBox = Place<TCommandsListBox>(this, TabSheet2, "CommandsListBox", 146, 25, 194, 146);
    CommandsListBox->SetBarManager(manager_);
    CommandsListBox->OnClick = [this](TObject*) { LCommandsClick(); };
    commands->SetFocusControl(CommandsListBox);
    auto* description = Place<TLabel>(this, TabSheet2, "LabelDescription", 5, 177, 100, 13);
    description->SetCaption("Description");
    DescriptionLabel = Place<TLabel>(this, TabSheet2, "DescriptionLabel", 5, 195, 335, 40);
    DescriptionLabel->SetWordWrap(true);
    DescriptionLabel->SetCaption("");
}

void TdxBarCustomizingForm::BuildOptionsPage() {
    CBLargeIcons = PlaceCheck(this, TabSheet3, "CBLargeIcons", "&Large icons", 38);
    CBLargeIcons->OnClick = [this](TObject*) {
        if (!refreshingOptions_) manager_->SetLargeIcons(CBLargeIcons->Checked());
    };
    CBHint1 = PlaceCheck(this, TabSheet3, "CBHint1", "Show Tool&Tips on toolbars", 63);
    CBHint1->OnClick = [this](TObject*) {
        if (refreshingOptions_) return;
        manager_->SetShowHint(CBHint1->Checked());
        RefreshOptions();
    };
    CBHint2 = PlaceCheck(this, TabSheet3, "CBHint2", "Show s&hortcut keys in ToolTips", 85);
    CBHint2->OnClick = [this](TObject*) {
        if (!refreshingOptions_) manager_->SetShowShortCutInHint(CBHint2->Checked());
    };
}

void TdxBarCustomizingForm::FillBars() {
    TdxBars* bars = manager_->Bars();
    int selected = -1;
    for (int i = 0; i < bars->Count(); ++i) {
        TdxBar* bar = bars->Items(i);
        if (bar->Hidden() && !manager_->Designing()) continue;
        int row = BarsListBox->Items().AddObject(bar->Caption(), bar);
        if (selected < 0 && bar->Visible()) selected = row;
    }
    BarsListBox->SetItemIndex(selected);
    BarsListBoxClick();
}

void TdxBarCustomizingForm::FillCategories() {
    TdxBarManagerCategories* categories = manager_->Categories();
    for (int i = 0; i < categories->Count(); ++i)
        if (manager_->Designing() || manager_->CategoryVisible(i))
            LCategories->Items().Add(categories->Strings(i));
    if (LCategories->Items().Count() > 0) LCategories->SetItemIndex(0);
}

void TdxBarCustomizingForm::BarsListBoxClick() {
    const int row = BarsListBox->ItemIndex();
    TdxBar* bar = row >= 0 && row < BarsListBox->Items().Count() ? BarsListBox->BarOf(row) : nullptr;
    // Outside design, only the bars the user made count: the predefined ones come with the form.
    const bool userBar = bar != nullptr && (manager_->Designing() || !bar->CreatedFromStream());
    BBarRename->SetEnabled(userBar);
    BBarDelete->SetEnabled(userBar && (manager_->Designing() || (bar->AllowClose() && !bar->IsMainMenu())));
    BBarReset->SetEnabled(bar != nullptr && bar->CreatedFromStream() && bar->AllowReset());
    // Renaming and making toolbars need the name dialog, which this window does not have yet.
    BBarNew->SetEnabled(false);
    BBarRename->SetEnabled(false);
}

void TdxBarCustomizingForm::BBarResetClick() {
    const int row = BarsListBox->ItemIndex();
    if (row < 0 || row >= BarsListBox->Items().Count()) return;
    if (TdxBar* bar = BarsListBox->BarOf(row)) bar->Reset();
}

void TdxBarCustomizingForm::LCategoriesClick() {
    manager_->SetSelectedItem(nullptr);
    CommandsListBox->Items().BeginUpdate();
    CommandsListBox->Clear();
    const int row = LCategories->ItemIndex();
    if (row >= 0) {
        std::vector<TdxBarItem*> items;
        manager_->GetItemsByCategory(manager_->CategoryIndexOfVisible(row), items);
        for (TdxBarItem* item : items)
            CommandsListBox->Items().AddObject(item->Caption(), item);
    }
    CommandsListBox->Items().EndUpdate();
    DescriptionLabel->SetCaption("");
}

void TdxBarCustomizingForm::LCommandsClick() {
    manager_->SetSelectedItem(nullptr);
    const int row = CommandsListBox->ItemIndex();
    TdxBarItem* item =
        row >= 0 && row < CommandsListBox->Items().Count() ? CommandsListBox->ItemOf(row) : nullptr;
    DescriptionLabel->SetCaption(item != nullptr ? item->Description() : std::string());
}

void TdxBarCustomizingForm::RefreshCommands() {
    CommandsListBox->Invalidate();
    LCommandsClick();
}

void TdxBarCustomizingForm::RefreshOptions() {
    refreshingOptions_ = true;
    CBLargeIcons->SetChecked(manager_->LargeIcons());
    CBHint1->SetChecked(manager_->ShowHint());
    CBHint2->SetChecked(manager_->ShowShortCutInHint());
    CBHint2->SetEnabled(CBHint1->Checked());
    refreshingOptions_ = false;
}

void TdxBarCustomizingForm::UpdateLook() {
    CommandsListBox->SetColor(manager_->GetEffectivePaintStyle() == bmsFlat ? clWindow : clBtnFace);
}

void TdxBarCustomizingForm::CreateParams(TCreateParams& Params) {
    TForm::CreateParams(Params);
    // Owned by the manager's form, so the window stays above it.
    if (TCustomForm* form = manager_->ParentForm(); form != nullptr && form->HandleAllocated())
        Params.WndParent = form->Handle();
}

void TdxBarCustomizingForm::DoClose(TCloseAction& Action) {
    EnableDisabledWindows();
    Action = caFree;
    TForm::DoClose(Action);
}

TdxBarCustomizingForm* GetCustomizingForm() {
    return customizingForm;
}

void ShowCustomizingForm(TdxBarManager* Manager, bool Show) {
    if (Show) {
        if (customizingForm != nullptr) return;
        if (Manager->OnShowCustomizingForm) Manager->OnShowCustomizingForm(Manager);
        DisableManagerWindows();
        customizingForm = new TdxBarCustomizingForm(Manager);
        customizingForm->Show();
        return;
    }
    if (!destroyingCustomizingForm) {
        EnableDisabledWindows();
        TdxBarCustomizingForm* form = customizingForm;
        customizingForm = nullptr;
        delete form;
    }
    if (Manager->OnHideCustomizingForm) Manager->OnHideCustomizingForm(Manager);
}

void InstallCustomizingForm() {
    SetCustomizingFormShower(&ShowCustomizingForm);
    SetCustomizingFormQuery([] { return customizingForm != nullptr; });
    SetCustomizingCommandsRefresher([] {
        if (customizingForm != nullptr) customizingForm->RefreshCommands();
    });
}

} // namespace bars
