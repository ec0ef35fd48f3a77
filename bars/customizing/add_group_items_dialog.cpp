#include "bars/customizing/add_group_items_dialog.h"

#include <memory>

#include "bars/core/bar_group.h"
#include "bars/core/bar_item.h"
#include "bars/core/bar_manager.h"
#include "bars/core/categories.h"
#include "bars/customizing/customizing_form.h"
#include "bars/customizing/customizing_layout.h"
#include "platform/graphics/canvas.h"
#include "platform/stdctrls/panels.h"

namespace bars {

namespace {

// Rows whose text begins with this are headings.
constexpr char HeadingMark = '~';

} // namespace

TfrmAddGroupItems::TfrmAddGroupItems(TdxBarGroup* Group, std::vector<TComponent*>* ResultList)
    : TForm(nullptr), group_(Group), resultList_(ResultList) {
    SetName("frmAddGroupItems");
    SetCaption("Add Group Items");
    SetPosition(poScreenCenter);
    SetBounds(0, 0, 364, 400);
    if (TdxBarCustomizingForm* window = GetCustomizingForm()) Font().Assign(&window->Font());
    auto* bottom = Place<TPanel>(this, this, "Panel1", 0, 0, 0, 34);
    bottom->SetAlign(alBottom);
    bottom->SetBevelOuter(bvNone);
    bottom->SetCaption("");
    btnOk = PlaceButton(this, bottom, "btnOk", "OK", 190, 5, 75);
    btnOk->SetDefault(true);
    btnOk->SetModalResult(mrOk);
    btnCancel = PlaceButton(this, bottom, "btnCancel", "Cancel", 271, 5, 75);
    btnCancel->SetCancel(true);
    btnCancel->SetModalResult(mrCancel);
    lbGroupItems = Place<TListBox>(this, this, "lbGroupItems", 5, 5, 340, 320);
    lbGroupItems->SetAlign(alClient);
    lbGroupItems->SetStyle(lbOwnerDrawVariable);
    lbGroupItems->SetMultiSelect(true);
    lbGroupItems->Canvas().Font().Assign(&Font());
    lbGroupItems->SetItemHeight(TextSize(Font(), "Qq").cy + 2);
    lbGroupItems->OnDrawItem = [this](TWinControl*, int Index, const TRect& Rect, TOwnerDrawState State) {
        DrawRow(Index, Rect, State);
    };
    OnCloseQuery = [this](TObject*, bool& CanClose) { FormCloseQuery(CanClose); };
    Fill();
    DoCreate();
}

void TfrmAddGroupItems::Fill() {
    TdxBarManager* manager = group_->BarManager();
    TStrings& rows = lbGroupItems->Items();
    rows.BeginUpdate();
    if (manager->GroupCount() > 1) {
        rows.Add(std::string(1, HeadingMark) + "< Groups >");
        for (int i = 0; i < manager->GroupCount(); ++i)
            if (TComponent* group = manager->Groups(i); group != group_) rows.AddObject(group->Name(), group);
    }
    std::vector<TdxBarItem*> items;
    for (int i = 0; i < manager->Categories()->Count(); ++i) {
        if (manager->GetItemsByCategory(i, items) == 0) continue;
        rows.Add(std::string(1, HeadingMark) + manager->Categories()->Strings(i));
        for (TdxBarItem* item : items)
            rows.AddObject(item->Caption(), item);
    }
    rows.EndUpdate();
}

void TfrmAddGroupItems::DrawRow(int Index, const TRect& Rect, TOwnerDrawState State) {
    TCanvas& canvas = lbGroupItems->Canvas();
    const std::string text = lbGroupItems->Items().Strings(Index);
    TObject* object = lbGroupItems->Items().Objects(Index);
    const bool selected = State.Contains(odSelected);
    if (!text.empty() && text[0] == HeadingMark) {
        canvas.Brush().SetColor(clBtnFace);
        canvas.Font().SetColor(clBtnText);
        canvas.TextRect(Rect, Rect.left + 2, Rect.top + 1, text.substr(1));
    } else {
        auto* item = dynamic_cast<TdxBarItem*>(object);
        TRect left = Rect;
        if (item != nullptr) left.right = (Rect.left + Rect.right) / 2 - 1;
        // What the group holds already is shown, greyed.
        if (!selected && group_->IndexOf(static_cast<TComponent*>(object)) >= 0) {
            canvas.Brush().SetColor(clWindow);
            canvas.Font().SetColor(clBtnFace);
        }
        canvas.FillRect(left);
        canvas.Brush().SetStyle(bsClear);
        std::string shown = "   " + text;
        canvas.TextRect(left, left.left, left.top + (left.bottom - left.top - canvas.TextHeight(shown)) / 2,
                        shown);
        canvas.Brush().SetStyle(bsSolid);
        if (item != nullptr) {
            const int middle = left.right + 1;
            canvas.Pen().SetColor(selected ? clHighlightText : clWindowText);
            canvas.MoveTo(middle, Rect.top);
            canvas.LineTo(middle, Rect.bottom);
            const TRect right{middle + 1, Rect.top, Rect.right, Rect.bottom};
            canvas.TextRect(right, middle + 2, Rect.top + 1, item->Name());
        }
    }
    if (Index == lbGroupItems->Items().Count() - 1) {
        TRect below = lbGroupItems->ClientRect();
        below.top = Rect.bottom;
        canvas.Brush().SetColor(clBtnFace);
        canvas.FillRect(below);
    }
}

void TfrmAddGroupItems::FormCloseQuery(bool&) {
    if (ModalResult() != mrOk) return;
    for (int i = 0; i < lbGroupItems->Items().Count(); ++i)
        if (lbGroupItems->Selected(i))
            resultList_->push_back(dynamic_cast<TComponent*>(lbGroupItems->Items().Objects(i)));
}

bool ShowAddGroupItemsDialog(TdxBarGroup* Group, std::vector<TComponent*>& List) {
    auto dialog = std::make_unique<TfrmAddGroupItems>(Group, &List);
    return dialog->ShowModal() == mrOk;
}

} // namespace bars
