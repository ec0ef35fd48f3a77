#pragma once
// The dialog that asks for the name of a new or renamed toolbar or category. A toolbar may not take a
// caption another toolbar of the manager has (letter case counts); the toolbar being renamed may keep
// its own.
#include <string>

#include "platform/vcl/form.h"

class TButton;
class TEdit;
class TLabel;
class TdxBar;
class TdxBarManager;

namespace bars {

enum class NameDialogKind { Add, InsertOrRename, Rename };

class TdxBarNameEd : public TForm {
public:
    TdxBarNameEd(bool IsCategory, NameDialogKind Kind, TdxBar* EditedBar, TdxBarManager* Manager);
    std::string ClassName() const override { return "TdxBarNameEd"; }

    TLabel* LName = nullptr;
    TEdit* EName = nullptr;
    TButton* BOK = nullptr;
    TButton* BCancel = nullptr;

private:
    void FormCloseQuery(bool& CanClose);

    bool isCategory_;
    TdxBar* editedBar_;
    TdxBarManager* manager_;
};

// Kind: Add; InsertOrRename inserts a category or renames a toolbar; Rename renames a category. True
// and the name on OK.
bool ShowNameDialog(std::string& Name, bool IsCategory, NameDialogKind Kind, TdxBar* Bar,
                    TdxBarManager* Manager);

} // namespace bars
