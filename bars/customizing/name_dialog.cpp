#include "bars/customizing/name_dialog.h"

#include <memory>

#include "bars/core/bar_manager.h"
#include "bars/core/bar_strings.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/customizing/customizing_form.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/edit.h"
#include "platform/stdctrls/label.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"

namespace bars {

namespace {

int CaptionId(bool IsCategory, NameDialogKind Kind) {
    if (!IsCategory) return Kind == NameDialogKind::Add ? barstr::AddToolbar : barstr::RenameToolbar;
    switch (Kind) {
    case NameDialogKind::Add:
        return barstr::AddCategory;
    case NameDialogKind::InsertOrRename:
        return barstr::InsertCategory;
    case NameDialogKind::Rename:
        break;
    }
    return barstr::RenameCategory;
}

} // namespace

TdxBarNameEd::TdxBarNameEd(bool IsCategory, NameDialogKind Kind, TdxBar* EditedBar, TdxBarManager* Manager)
    : TForm(nullptr), isCategory_(IsCategory), editedBar_(EditedBar), manager_(Manager) {
    SetName("dxBarNameEd");
    SetBorderStyle(bsDialog);
    SetBorderIcons(TBorderIcons{});
    SetFormStyle(fsStayOnTop);
    SetPosition(poScreenCenter);
    SetClientWidth(266);
    SetClientHeight(87);
    if (TdxBarCustomizingForm* window = GetCustomizingForm()) Font().Assign(&window->Font());
    SetCaption(LoadBarString(CaptionId(IsCategory, Kind)));

    LName = new TLabel(this);
    LName->SetName("LName");
    LName->SetParent(this);
    LName->SetBounds(8, 8, 250, 13);
    LName->SetCaption(LoadBarString(IsCategory ? barstr::CategoryName : barstr::ToolbarName));
    EName = new TEdit(this);
    EName->SetName("EName");
    EName->SetParent(this);
    EName->SetBounds(8, 27, 251, 21);
    EName->OnChange = [this](TObject*) { BOK->SetEnabled(!EName->Text().empty()); };
    LName->SetFocusControl(EName);
    BOK = new TButton(this);
    BOK->SetName("BOK");
    BOK->SetParent(this);
    BOK->SetBounds(106, 58, 75, 23);
    BOK->SetCaption(LoadBarString(barstr::Ok));
    BOK->SetDefault(true);
    BOK->SetModalResult(mrOk);
    BCancel = new TButton(this);
    BCancel->SetName("BCancel");
    BCancel->SetParent(this);
    BCancel->SetBounds(186, 58, 75, 23);
    BCancel->SetCaption(LoadBarString(barstr::Cancel));
    BCancel->SetCancel(true);
    BCancel->SetModalResult(mrCancel);
    SetActiveControl(EName);
    OnCloseQuery = [this](TObject*, bool& CanClose) { FormCloseQuery(CanClose); };
    DoCreate();
}

void TdxBarNameEd::FormCloseQuery(bool& CanClose) {
    if (ModalResult() != mrOk || isCategory_) return;
    const std::string name = EName->Text();
    TdxBars* bars = manager_->Bars();
    for (int i = 0; i < bars->Count(); ++i) {
        TdxBar* bar = bars->Items(i);
        if (bar->Caption() != name || bar == editedBar_) continue;
        Application->MessageBox(FormatBarString(barstr::DuplicateToolbarName, name), Application->Title(),
                                MB_ICONERROR);
        CanClose = false;
        return;
    }
}

bool ShowNameDialog(std::string& Name, bool IsCategory, NameDialogKind Kind, TdxBar* Bar,
                    TdxBarManager* Manager) {
    auto dialog = std::make_unique<TdxBarNameEd>(IsCategory, Kind, Bar, Manager);
    dialog->EName->SetText(Name);
    dialog->BOK->SetEnabled(!Name.empty());
    if (dialog->ShowModal() != mrOk) return false;
    Name = dialog->EName->Text();
    return true;
}

} // namespace bars
