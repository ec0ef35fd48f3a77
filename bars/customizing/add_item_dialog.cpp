#include "bars/customizing/add_item_dialog.h"

#include <memory>

#include "bars/core/bar_item.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_strings.h"
#include "bars/core/categories.h"
#include "bars/core/item_registry.h"
#include "bars/customizing/customizing_form.h"
#include "bars/customizing/customizing_layout.h"
#include "platform/rtl/exception.h"
#include "platform/stdctrls/edit.h"
#include "platform/stdctrls/label.h"
#include "platform/stdctrls/list_controls.h"

namespace bars {

TdxBarItemAddEditor::TdxBarItemAddEditor(TdxBarManager* Manager, int CategoryIndex)
    : TForm(nullptr), manager_(Manager) {
    SetName("dxBarItemAddEditor");
    SetCaption("Add New Kestrelo Item");
    SetBorderStyle(bsDialog);
    SetFormStyle(fsStayOnTop);
    SetPosition(poScreenCenter);
    SetClientWidth(263);
    SetClientHeight(150);
    if (TdxBarCustomizingForm* window = GetCustomizingForm()) Font().Assign(&window->Font());
    int top = 12;
    for (const char* caption : {"Type:", "Category:", "Name:", "Caption:"}) {
        Place<TLabel>(this, this, "", 8, top, 47, 13)->SetCaption(caption);
        top += 28;
    }
    ComboBox1 = Place<TComboBox>(this, this, "ComboBox1", 62, 8, 194, 21);
    ComboBox1->SetStyle(csDropDownList);
    ComboBox1->SetDropDownCount(100);
    ComboBox1->OnClick = [this](TObject*) { ComboBox1Click(); };
    ComboBox2 = Place<TComboBox>(this, this, "ComboBox2", 62, 36, 194, 21);
    ComboBox2->SetStyle(csDropDownList);
    Edit1 = Place<TEdit>(this, this, "Edit1", 62, 64, 194, 21);
    Edit2 = Place<TEdit>(this, this, "Edit2", 62, 92, 194, 21);
    Edit2->SetText("New Item");
    BOk = PlaceButton(this, this, "BOk", "OK", 100, 120, 75);
    BOk->SetDefault(true);
    BOk->SetModalResult(mrOk);
    BOk->OnClick = [this](TObject*) { BOkClick(); };
    BCancel = PlaceButton(this, this, "BCancel", "Cancel", 181, 120, 75);
    BCancel->SetCancel(true);
    BCancel->SetModalResult(mrCancel);
    OnShow = [this](TObject*) { SetActiveControl(Edit1); };

    TdxBarManagerCategories* categories = manager_->Categories();
    for (int i = 0; i < categories->Count(); ++i)
        ComboBox2->Items().Add(categories->Strings(i));
    ComboBox2->SetItemIndex(CategoryIndex >= 0 && CategoryIndex < categories->Count() ? CategoryIndex : 0);
    for (int i = 0; i < GetAddListItemClassCount(); ++i)
        ComboBox1->Items().Add(GetAddListItemClass(i)->ItemClassName);
    ComboBox1->SetItemIndex(0);
    ComboBox1Click();
    DoCreate();
}

void TdxBarItemAddEditor::ComboBox1Click() {
    const TRegItemRecord* record = GetAddListItemClass(ComboBox1->ItemIndex());
    if (record != nullptr) Edit1->SetText(GetUniqueItemName(manager_, record->ItemClassName));
}

void TdxBarItemAddEditor::BOkClick() {
    const TRegItemRecord* record = GetAddListItemClass(ComboBox1->ItemIndex());
    if (record == nullptr) return;
    std::unique_ptr<TComponent> made(record->ItemClass(manager_->Owner()));
    auto* item = dynamic_cast<TdxBarItem*>(made.get());
    if (item == nullptr) return;
    try {
        if (item->BarManager() == nullptr) item->SetBarManager(manager_);
        item->SetName(Edit1->Text());
        item->SetCategory(ComboBox2->ItemIndex());
        item->SetCaption(Edit2->Text());
        manager_->DesignerModified();
    } catch (const Exception&) {
        // A name the form refuses: the dialog stays with another name proposed, and says nothing.
        made.reset();
        ComboBox1Click();
        SetModalResult(mrNone);
        return;
    }
    createdItem_ = item;
    made.release();
}

TdxBarItem* ShowAddItemDialog(TdxBarManager* Manager, int CategoryIndex) {
    auto dialog = std::make_unique<TdxBarItemAddEditor>(Manager, CategoryIndex);
    return dialog->ShowModal() == mrOk ? dialog->CreatedItem() : nullptr;
}

} // namespace bars
