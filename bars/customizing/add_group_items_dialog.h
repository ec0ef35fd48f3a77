#pragma once
// The dialog that picks items and groups to add to a bar group: the manager's other groups under one
// heading, then each category's items under the category's name; the members the group has already
// are greyed. The chosen objects are appended to the caller's list on OK (headings add nothing).
#include <string>
#include <vector>

#include "platform/stdctrls/list_controls.h"
#include "platform/vcl/form.h"

class TButton;
class TComponent;
class TdxBarGroup;

namespace bars {

class TfrmAddGroupItems : public TForm {
public:
    TfrmAddGroupItems(TdxBarGroup* Group, std::vector<TComponent*>* ResultList);
    std::string ClassName() const override { return "TfrmAddGroupItems"; }

    TListBox* lbGroupItems = nullptr;
    TButton* btnOk = nullptr;
    TButton* btnCancel = nullptr;

private:
    void Fill();
    void DrawRow(int Index, const TRect& Rect, TOwnerDrawState State);
    void FormCloseQuery(bool& CanClose);

    TdxBarGroup* group_;
    std::vector<TComponent*>* resultList_;
};

// True on OK, with the chosen items and groups appended to List.
bool ShowAddGroupItemsDialog(TdxBarGroup* Group, std::vector<TComponent*>& List);

} // namespace bars
