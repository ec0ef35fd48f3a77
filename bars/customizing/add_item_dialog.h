#pragma once
// The dialog that makes a new bar item: its class (of those the dialog offers), category, name and
// caption. A name the form cannot take keeps the dialog open with a fresh name proposed.
#include <string>

#include "platform/vcl/form.h"

class TButton;
class TComboBox;
class TEdit;
class TdxBarItem;
class TdxBarManager;

namespace bars {

class TdxBarItemAddEditor : public TForm {
public:
    TdxBarItemAddEditor(TdxBarManager* Manager, int CategoryIndex);
    std::string ClassName() const override { return "TdxBarItemAddEditor"; }
    TdxBarItem* CreatedItem() const { return createdItem_; }
    // Proposes the name the manager gives the chosen class.
    void ComboBox1Click();
    void BOkClick();

    TComboBox* ComboBox1 = nullptr;
    TComboBox* ComboBox2 = nullptr;
    TEdit* Edit1 = nullptr;
    TEdit* Edit2 = nullptr;
    TButton* BOk = nullptr;
    TButton* BCancel = nullptr;

private:
    TdxBarManager* manager_;
    TdxBarItem* createdItem_ = nullptr;
};

// The item made, or nullptr on Cancel.
TdxBarItem* ShowAddItemDialog(TdxBarManager* Manager, int CategoryIndex);

} // namespace bars
