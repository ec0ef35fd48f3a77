#include "bars/customizing/customizing_form.h"
#include "bars/customizing/item_drag.h"

#include <algorithm>
#include <vector>

#include "bars/core/bar_item.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_strings.h"
#include "bars/core/bar_unit.h"
#include "bars/core/categories.h"
#include "bars/core/customizing_notify.h"
#include "bars/core/toolbar.h"
#include "bars/customizing/bars_list.h"
#include "bars/customizing/commands_list.h"
#include "bars/customizing/customizing_layout.h"
#include "bars/customizing/name_dialog.h"
#include "bars/customizing/sub_menu_editor.h"
#include "bars/windows/customizing_popup.h"
#include "platform/commctrl/std_controls.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/metrics.h"
#include "platform/gdi/scoped.h"
#include "platform/graphics/bitmap.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/messages.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "platform/gui/window_dc.h"
#include "platform/rtl/scope_guard.h"
#include "platform/stdctrls/bit_btn.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/label.h"
#include "platform/stdctrls/list_controls.h"
#include "platform/stdctrls/page_control.h"
#include "platform/vcl/application.h"

namespace bars {

namespace {

// The customizing window, one in the process at a time for whichever manager customizes, and the forms
// it disabled while it is open.
TdxBarCustomizingForm* customizingForm = nullptr;
bool destroyingCustomizingForm = false;
std::vector<HWND> disabledWindows;

TTabSheet* Page(TComponent* Owner, TPageControl* Pages, const char* Name, int TextId) {
    auto* sheet = new TTabSheet(Owner);
    sheet->SetName(Name);
    sheet->SetPageControl(Pages);
    sheet->SetCaption(LoadBarString(TextId));
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

// Passes what the bars, items and manager report on to the open window, when it customizes theirs.
class FormReceiver : public CustomizingReceiver {
public:
    void ShowForm(TdxBarManager* Manager, bool Show) const override { ShowCustomizingForm(Manager, Show); }
    bool FormExists() const override { return customizingForm != nullptr; }
    HWND FormWindow() const override {
        return customizingForm != nullptr && customizingForm->HandleAllocated() ? customizingForm->Handle()
                                                                                : nullptr;
    }
    void DragLink(TdxBarManager* Manager, TdxBarItem* Item, TdxBarItemLink* Link, HWND Source,
                  POINT Press) const override {
        DragItem(Manager, Item, Link, Source, Press);
    }
    void CloseSubMenuEditorMenu(BarControl* Menu) const override {
        if (Menu != nullptr) CloseSubMenuEditorMenuLater(Menu);
    }
    void Refresh(TdxBarManager* Manager) const override {
        if (TdxBarCustomizingForm* form = For(Manager)) {
            form->RefreshCommands();
            form->RefreshOptions();
            form->UpdateLook();
        }
    }
    void RefreshHelpButton(TdxBarManager* Manager) const override {
        if (TdxBarCustomizingForm* form = For(Manager)) form->RefreshHelpButton();
    }
    void BarAdded(TdxBar* Bar) const override {
        if (TdxBarCustomizingForm* form = For(Bar->BarManager())) form->BarAdded(Bar);
    }
    void BarDeleted(TdxBar* Bar) const override {
        if (TdxBarCustomizingForm* form = For(Bar->BarManager())) form->BarDeleted(Bar);
    }
    void BarChanged(TdxBar* Bar) const override {
        if (TdxBarCustomizingForm* form = For(Bar->BarManager())) form->BarChanged(Bar);
    }
    void CommandDestroyed(TdxBarManager* Manager) const override {
        if (TdxBarCustomizingForm* form = For(Manager)) form->CommandDestroyed();
    }
    void RefreshCommands(TdxBarManager* Manager) const override {
        if (TdxBarCustomizingForm* form = For(Manager)) form->RefreshCommands();
    }
    void SelectCommand(TdxBarItem* Item, bool Force) const override {
        TdxBarCustomizingForm* form = For(Item->BarManager());
        if (form == nullptr) return;
        form->SelectCommand(Item, Force);
        // An item that takes a category joins the list of all commands.
        form->FillAllCommands();
    }
    void CommandCategoryChanged(TdxBarItem* Item) const override {
        if (TdxBarCustomizingForm* form = For(Item->BarManager())) form->CommandCategoryChanged(Item);
    }
    void RefreshGroups(TdxBarManager* Manager) const override {
        if (TdxBarCustomizingForm* form = For(Manager)) form->RefreshGroups();
    }
    void ParentFormShown(TdxBarManager* Manager, bool Shown) const override {
        TdxBarCustomizingForm* form = For(Manager);
        if (form == nullptr || !form->HandleAllocated()) return;
        ShowWindow(form->Handle(), Shown ? SW_SHOW : SW_HIDE);
        if (TdxBarSubMenuEditor* editor = GetSubMenuEditor(); editor != nullptr && editor->HandleAllocated())
            ShowWindow(editor->Handle(), Shown ? SW_SHOWNA : SW_HIDE);
    }
    void CategoriesChanged(TdxBarManager* Manager) const override {
        if (TdxBarCustomizingForm* form = For(Manager)) form->RefreshCategories();
    }

private:
    // Nothing reaches a window that is being made or is going.
    static TdxBarCustomizingForm* For(TdxBarManager* Manager) {
        if (customizingForm == nullptr || destroyingCustomizingForm) return nullptr;
        return customizingForm->BarManager() == Manager ? customizingForm : nullptr;
    }
};

const FormReceiver formReceiver;

} // namespace

SIZE TextSize(const TFont& Font, const std::string& Text) {
    pw::gui::WindowDC screen(nullptr);
    const pw::gdi::SelectedObject font(screen.Get(), Font.Handle());
    SIZE size{};
    GetTextExtentPoint32(screen.Get(), Text, &size);
    return size;
}

int CaptionWidth(TCustomForm* Form, const std::string& Caption) {
    return TextSize(Form->Font(), CommandCaption(Caption)).cx;
}

TdxBarCustomizingForm::TdxBarCustomizingForm(TdxBarManager* Manager) : TForm(nullptr), manager_(Manager) {
    SetName("dxBarCustomizingForm");
    SetCaption(LoadBarString(barstr::Customize));
    SetBorderStyle(bsDialog);
    SetBorderIcons(TBorderIcons{biSystemMenu});
    SetPosition(poScreenCenter);
    SetClientWidth(366);
    SetClientHeight(310);
    Font().SetName(manager_->Font()->Name());
    Font().SetCharset(manager_->Font()->Charset());

    PageControl = Place<TPageControl>(this, this, "PageControl", 6, 8, 354, 266);
    TabSheet1 = Page(this, PageControl, "TabSheet1", barstr::ToolbarsPage);
    TabSheet2 = Page(this, PageControl, "TabSheet2", barstr::CommandsPage);
    TabSheet3 = Page(this, PageControl, "TabSheet3", barstr::OptionsPage);
    BuildToolbarsPage();
    BuildCommandsPage();
    BuildOptionsPage();
    if (manager_->Designing()) {
        BuildAllCommandsPage();
        BuildGroupsPage();
    }
    PageControl->SetActivePageIndex(0);
    PageControl->OnChange = [this](TObject*) { PageControlChange(); };

    const std::string close = LoadBarString(barstr::Close);
    const int closeWidth = CaptionWidth(this, close) + 49;
    BClose = PlaceButton(this, this, "BClose", close, ClientWidth() - 6 - closeWidth, 282, closeWidth);
    BClose->SetDefault(true);
    BClose->SetCancel(true);
    BClose->SetModalResult(mrOk);
    BClose->OnClick = [this](TObject*) { Close(); };
    BHelp = Place<TBitBtn>(this, this, "BHelp", 6, 282, 24, 23);
    BHelp->OnClick = [this](TObject*) { BHelpClick(); };
    RefreshHelpButton();

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

void TdxBarCustomizingForm::BuildCommandsPage() {
    auto* categories = Place<TLabel>(this, TabSheet2, "LabelCategories", 6, 6, 100, 13);
    categories->SetCaption(LoadBarString(barstr::Categories));
    auto* commands = Place<TLabel>(this, TabSheet2, "LabelCommands", 148, 6, 100, 13);
    commands->SetCaption(LoadBarString(barstr::Commands));
    LCategories = Place<TListBox>(this, TabSheet2, "LCategories", 5, 25, 135, 146);
    LCategories->OnClick = [this](TObject*) { LCategoriesClick(); };
    LCategories->OnMouseDown = [this](TObject*, TMouseButton Button, TShiftState, int X, int Y) {
        LCategoriesMouseDown(Button, X, Y);
    };
    categories->SetFocusControl(LCategories);
    CommandsListBox = Place<TCommandsListBox>(this, TabSheet2, "CommandsListBox", 146, 25, 194, 146);
    CommandsListBox->SetBarManager(manager_);
    CommandsListBox->OnClick = [this](TObject*) { LCommandsClick(); };
    commands->SetFocusControl(CommandsListBox);
    auto* description = Place<TLabel>(this, TabSheet2, "LabelDescription", 5, 177, 100, 13);
    description->SetCaption(LoadBarString(barstr::Description));
    DescriptionLabel = Place<TLabel>(this, TabSheet2, "DescriptionLabel", 5, 195, 335, 40);
    DescriptionLabel->SetWordWrap(true);
    DescriptionLabel->SetCaption("");
    if (manager_->Designing()) BuildDesignMenus();
}

void TdxBarCustomizingForm::FillCategories() {
    TdxBarManagerCategories* categories = manager_->Categories();
    LCategories->Items().BeginUpdate();
    LCategories->Clear();
    for (int i = 0; i < categories->Count(); ++i)
        if (manager_->Designing() || manager_->CategoryVisible(i))
            LCategories->Items().Add(categories->Strings(i));
    LCategories->Items().EndUpdate();
    if (LCategories->Items().Count() > 0) LCategories->SetItemIndex(0);
}

void TdxBarCustomizingForm::RefreshCategories() {
    const int row = LCategories->ItemIndex();
    FillCategories();
    const int count = LCategories->Items().Count();
    LCategories->SetItemIndex(count == 0 ? -1 : std::clamp(row, 0, count - 1));
    LCategoriesClick();
}

int TdxBarCustomizingForm::CategoryRow(int Category) const {
    if (Category < 0 || Category >= manager_->Categories()->Count()) return -1;
    if (manager_->Designing()) return Category;
    if (!manager_->CategoryVisible(Category)) return -1;
    int row = 0;
    for (int i = 0; i < Category; ++i)
        if (manager_->CategoryVisible(i)) ++row;
    return row;
}

void TdxBarCustomizingForm::PageControlChange() {
    TTabSheet* page = PageControl->ActivePage();
    if (page == TabSheet1) {
        BarsListBoxClick();
    } else if (page == TabSheet2) {
        // No form designer runs in a program: nothing is selected in one to show here.
        if (manager_->Designing()) LCommandsClick();
    }
    // The Options page shows what RefreshOptions put there; what the All commands and Groups pages
    // would pass on is a form designer's selection, and no designer runs in a program.
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
    // A choice the window follows (made on the bars, or by code) leaves the bars' selection, and the
    // menu it may have open, as they are.
    if (!selectingCommand_) manager_->SetSelectedItem(nullptr);
    const int row = CommandsListBox->ItemIndex();
    TdxBarItem* item =
        row >= 0 && row < CommandsListBox->Items().Count() ? CommandsListBox->ItemOf(row) : nullptr;
    DescriptionLabel->SetCaption(item != nullptr ? item->Description() : std::string());
}

void TdxBarCustomizingForm::RefreshCommands() {
    CommandsListBox->Invalidate();
    TemporaryChange selecting(selectingCommand_, true);
    LCommandsClick();
    RefreshAllCommandsWidths();
}

void TdxBarCustomizingForm::SelectCommand(TdxBarItem* Item, bool Force) {
    TemporaryChange selecting(selectingCommand_, true);
    // Rows are categories less the hidden ones; an item of a hidden category is not shown.
    const int category = CategoryRow(Item->Category());
    if (category < 0) return;
    // The list is filled again also when the item is new to the category shown: it has no row yet.
    const bool listed = CommandsListBox->Items().IndexOfObject(Item) >= 0;
    if (Force || LCategories->ItemIndex() != category || !listed) {
        LCategories->SetItemIndex(category);
        LCategoriesClick();
    }
    CommandsListBox->SetItemIndex(CommandsListBox->Items().IndexOfObject(Item));
    LCommandsClick();
}

void TdxBarCustomizingForm::CommandCategoryChanged(TdxBarItem* Item) {
    if (LCategories->ItemIndex() >= 0 && LCategories->ItemIndex() == CategoryRow(Item->Category()))
        LCategoriesClick();
}

void TdxBarCustomizingForm::CommandDestroyed() {
    // The window's own deletes keep the list themselves.
    if (!deletingCommand_) {
        const int row = CommandsListBox->ItemIndex();
        LCategoriesClick();
        const int count = CommandsListBox->Items().Count();
        CommandsListBox->SetItemIndex(count == 0 ? -1 : std::min(row, count - 1));
        LCommandsClick();
    }
    FillAllCommands();
    if (!deletingCommand_ && TabSheet4 != nullptr && PageControl->ActivePage() == TabSheet4)
        PageControlChange();
}

void TdxBarCustomizingForm::UpdateLook() {
    CommandsListBox->SetColor(manager_->GetEffectivePaintStyle() == bmsFlat ? clWindow : clBtnFace);
}

void TdxBarCustomizingForm::RefreshHelpButton() {
    BHelp->SetGlyph(manager_->HelpButtonGlyph());
    BHelp->SetVisible(manager_->ShowHelpButton());
}

void TdxBarCustomizingForm::BHelpClick() {
    if (manager_->Designing()) return;
    if (manager_->OnHelpButtonClick) manager_->OnHelpButtonClick(manager_);
    if (manager_->HelpContext() != 0) Application->HelpContext(manager_->HelpContext());
}

void TdxBarCustomizingForm::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_MOUSEWHEEL:
        if (WheelToList(TWMMouseWheel(Message))) return;
        break;
    case WM_ACTIVATE:
        TForm::WndProc(Message);
        WMActivate(TWMActivate(Message));
        return;
    default:
        break;
    }
    TForm::WndProc(Message);
}

void TdxBarCustomizingForm::WMActivate(TWMActivate Message) {
    if (ComponentState().Contains(csDestroying)) return;
    // The customized form keeps an active caption while its customizing window is the active one.
    TCustomForm* form = manager_->ParentForm();
    if (form != nullptr && form->HandleAllocated() && Message.Other() != form->Handle())
        Message.ForwardTo(form->Handle());
    // Coming back to the window refreshes the page shown; a link's customizing menu keeps its state.
    if (Message.Active() != WA_INACTIVE && CustomizingLink() == nullptr) PageControlChange();
}

bool TdxBarCustomizingForm::WheelToList(TWMMouseWheel Wheel) {
    const POINT Screen = Wheel.Pos();
    const int Delta = Wheel.WheelDelta();
    auto* list = dynamic_cast<TListBox*>(FindControl(WindowFromPoint(Screen)));
    if (list == nullptr || dynamic_cast<TListBox*>(ActiveControl()) != nullptr) return false;
    UINT lines = 3;
    SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    for (UINT i = 0; i < lines; ++i)
        SendMessage(list->Handle(), WM_VSCROLL, Delta > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
    return true;
}

void TdxBarCustomizingForm::CreateParams(TCreateParams& Params) {
    TForm::CreateParams(Params);
    // A dialog frame without the sizing border; the screen under it is kept while it shows.
    Params.Style |= WS_POPUP | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU;
    Params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
    Params.WindowClass.style |= CS_SAVEBITS | CS_OWNDC;
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
    FreeSubMenuEditor();
    if (Manager->OnHideCustomizingForm) Manager->OnHideCustomizingForm(Manager);
}

void InstallCustomizingForm() {
    SetCustomizingReceiver(&formReceiver);
}

} // namespace bars
