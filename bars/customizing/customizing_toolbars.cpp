// The customizing window's Toolbars page: the list of bars and what may be done with the chosen one.
#include <algorithm>
#include <string>

#include "bars/core/bar_manager.h"
#include "bars/core/bar_strings.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/customizing/bars_list.h"
#include "bars/customizing/customizing_form.h"
#include "bars/customizing/customizing_layout.h"
#include "bars/customizing/name_dialog.h"
#include "platform/gui/paint.h"
#include "platform/gui/system.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/label.h"
#include "platform/stdctrls/page_control.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"

namespace bars {

namespace {

bool CaptionTaken(TdxBars* Bars, const std::string& Caption) {
    for (int i = 0; i < Bars->Count(); ++i)
        if (Bars->Items(i)->Caption() == Caption) return true;
    return false;
}

} // namespace

void TdxBarCustomizingForm::BuildToolbarsPage() {
    auto* label = Place<TLabel>(this, TabSheet1, "LabelToobars", 4, 4, 100, 13);
    label->SetCaption(LoadBarString(barstr::Toolbars));
    BarsListBox = Place<TCheckListBox>(this, TabSheet1, "BarsListBox", 4, 20, 227, 213);
    BarsListBox->SetBarManager(manager_);
    BarsListBox->OnClick = [this](TObject*) { BarsListBoxClick(); };
    label->SetFocusControl(BarsListBox);
    BBarNew = PlaceButton(this, TabSheet1, "BBarNew", LoadBarString(barstr::NewToolbar), 239, 21, 104);
    BBarNew->OnClick = [this](TObject*) { BBarNewClick(); };
    BBarRename =
        PlaceButton(this, TabSheet1, "BBarRename", LoadBarString(barstr::RenameToolbarButton), 239, 50, 104);
    BBarRename->OnClick = [this](TObject*) { BBarRenameClick(); };
    BBarDelete =
        PlaceButton(this, TabSheet1, "BBarDelete", LoadBarString(barstr::DeleteToolbar), 239, 79, 104);
    BBarDelete->OnClick = [this](TObject*) { BBarDeleteClick(); };
    BBarReset =
        PlaceButton(this, TabSheet1, "BBarReset", LoadBarString(barstr::ResetToolbarButton), 239, 108, 104);
    // A reset reloads the state read from the form, which only a manager read once has.
    BBarReset->SetVisible(!manager_->Designing() && manager_->AllowReset() &&
                          manager_->ReadStateCount() == 1);
    BBarReset->OnClick = [this](TObject*) { BBarResetClick(); };
}

void TdxBarCustomizingForm::FillBars() {
    TdxBars* bars = manager_->Bars();
    int selected = -1;
    BarsListBox->Items().BeginUpdate();
    for (int i = 0; i < bars->Count(); ++i) {
        TdxBar* bar = bars->Items(i);
        if (bar->Hidden() && !manager_->Designing()) continue;
        int row = BarsListBox->Items().AddObject(bar->Caption(), bar);
        if (selected < 0 && bar->Visible()) selected = row;
    }
    BarsListBox->Items().EndUpdate();
    BarsListBox->SetItemIndex(selected);
    BarsListBoxClick();
}

int TdxBarCustomizingForm::BarRow(const TdxBar* Bar) {
    for (int i = 0; i < BarsListBox->Items().Count(); ++i)
        if (BarsListBox->BarOf(i) == Bar) return i;
    return -1;
}

TdxBar* TdxBarCustomizingForm::SelectedBar() {
    const int row = BarsListBox->ItemIndex();
    return row >= 0 && row < BarsListBox->Items().Count() ? BarsListBox->BarOf(row) : nullptr;
}

void TdxBarCustomizingForm::SelectBarRow(int Row) {
    const int count = BarsListBox->Items().Count();
    BarsListBox->SetItemIndex(count == 0 ? -1 : std::clamp(Row, 0, count - 1));
    BarsListBoxClick();
}

void TdxBarCustomizingForm::BarsListBoxClick() {
    TdxBar* bar = SelectedBar();
    // Outside design, only the bars the user made count: the predefined ones come with the form.
    const bool userBar = bar != nullptr && (manager_->Designing() || !bar->CreatedFromStream());
    BBarRename->SetEnabled(userBar);
    BBarDelete->SetEnabled(userBar && (manager_->Designing() || (bar->AllowClose() && !bar->IsMainMenu())));
    BBarReset->SetEnabled(bar != nullptr && bar->CreatedFromStream() && bar->AllowReset());
}

void TdxBarCustomizingForm::BBarNewClick() {
    TdxBars* bars = manager_->Bars();
    const std::string prefix = LoadBarString(barstr::CustomToolbarPrefix);
    std::string name;
    for (int n = 1; name.empty() || CaptionTaken(bars, name); ++n)
        name = prefix + std::to_string(n);
    if (!ShowNameDialog(name, false, NameDialogKind::Add, nullptr, manager_)) return;

    TdxBar* bar = bars->Add();
    bar->SetCaption(name);
    // It floats beside the window: to its left, or to its right where the left has no room.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfo(MonitorFromPoint(POINT{Left(), Top()}, MONITOR_DEFAULTTONEAREST), monitor);
    int left = Left() - 50;
    if (left < monitor.rcWork.left) left = Left() + Width() + 10;
    int top = Top();
    if (monitor.rcWork.top > top) top = monitor.rcWork.top + 10;
    bar->SetFloatLeft(left);
    bar->SetFloatTop(top);
    bar->SetVisible(true);
    BarAdded(bar);
    SelectBarRow(BarRow(bar));
}

void TdxBarCustomizingForm::BBarRenameClick() {
    TdxBar* bar = SelectedBar();
    if (bar == nullptr) return;
    const int row = BarsListBox->ItemIndex();
    std::string name = bar->Caption();
    if (!ShowNameDialog(name, false, NameDialogKind::InsertOrRename, bar, manager_)) return;
    bar->SetCaption(name);
    SelectBarRow(row);
}

void TdxBarCustomizingForm::BBarDeleteClick() {
    TdxBar* bar = SelectedBar();
    if (bar == nullptr) return;
    const int row = BarsListBox->ItemIndex();
    const std::string question =
        FormatBarString(barstr::ConfirmDeleteToolbar, BarsListBox->Items().Strings(row));
    if (Application->MessageBox(question, Application->Title(), MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
        return;
    BarsListBox->Items().Delete(row);
    SelectBarRow(row);
    bar->SetIndex(manager_->Bars()->Count() - 1);
    BarsListBoxClick();
    delete bar;
}

void TdxBarCustomizingForm::BBarResetClick() {
    if (TdxBar* bar = SelectedBar()) bar->Reset();
}

void TdxBarCustomizingForm::BarAdded(TdxBar* Bar) {
    if ((Bar->Hidden() && !manager_->Designing()) || BarRow(Bar) >= 0) return;
    BarsListBox->Items().AddObject(Bar->Caption(), Bar);
    BarsListBoxClick();
}

void TdxBarCustomizingForm::BarDeleted(TdxBar* Bar) {
    const int row = BarRow(Bar);
    if (row < 0) return;
    const bool chosen = BarsListBox->ItemIndex() == row;
    BarsListBox->Items().Delete(row);
    if (chosen) SelectBarRow(row);
    BarsListBoxClick();
}

void TdxBarCustomizingForm::BarChanged(TdxBar* Bar) {
    const int row = BarRow(Bar);
    if (row < 0) return;
    if (BarsListBox->Items().Strings(row) != Bar->Caption()) {
        // The row is made again with its new text; the choice stays where it was.
        const int chosen = BarsListBox->ItemIndex();
        BarsListBox->Items().SetStrings(row, Bar->Caption());
        BarsListBox->SetItemIndex(chosen);
    }
    BarsListBoxClick();
    const TRect rect = BarsListBox->ItemRect(row);
    if (BarsListBox->HandleAllocated()) InvalidateRect(BarsListBox->Handle(), &rect, false);
}

} // namespace bars
