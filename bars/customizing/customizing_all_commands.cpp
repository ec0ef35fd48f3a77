// The customizing window's All commands page (while the form is designed): every item of a category in
// three columns (name, caption, shortcut), or only those whose class has a shortcut to set.
#include <algorithm>
#include <string>

#include "bars/core/bar_item.h"
#include "bars/core/bar_manager.h"
#include "bars/customizing/commands_list.h"
#include "bars/customizing/customizing_form.h"
#include "bars/customizing/customizing_layout.h"
#include "platform/commctrl/std_controls.h"
#include "platform/graphics/canvas.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "platform/rtl/published.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/list_controls.h"
#include "platform/stdctrls/page_control.h"
#include "platform/vcl/shortcut.h"

namespace bars {

namespace {

// The run-time stand-in for asking the class whether it publishes a shortcut.
bool HasShortCut(const TdxBarItem* Item) {
    const TPropertyTable* table = Item->PublishedProperties();
    return table != nullptr && table->Find("ShortCut") != nullptr;
}

} // namespace

void TdxBarCustomizingForm::BuildAllCommandsPage() {
    TabSheet4 = new TTabSheet(this);
    TabSheet4->SetName("TabSheet4");
    TabSheet4->SetPageControl(PageControl);
    TabSheet4->SetCaption(" All commands ");
    LAllCommands = Place<TListBox>(this, TabSheet4, "LAllCommands", 6, 8, 333, 200);
    LAllCommands->SetStyle(lbOwnerDrawFixed);
    LAllCommands->SetItemHeight(16);
    LAllCommands->Canvas().Font().Assign(&Font());
    LAllCommands->OnDrawItem = [this](TWinControl*, int Index, const TRect& Rect, TOwnerDrawState) {
        LAllCommandsDrawItem(Index, Rect);
    };
    CBShowCommandsWithShortCut = PlaceCheck(this, TabSheet4, "CBShowCommandsWithShortCut",
                                            "Show commands that may have a shortcut", 6, 214);
    CBShowCommandsWithShortCut->SetChecked(true);
    CBShowCommandsWithShortCut->OnClick = [this](TObject*) {
        FillAllCommands();
        PageControlChange();
    };
    FillAllCommands();
}

void TdxBarCustomizingForm::FillAllCommands() {
    if (LAllCommands == nullptr) return;
    const int top = LAllCommands->TopIndex();
    const int row = LAllCommands->ItemIndex();
    LAllCommands->Items().BeginUpdate();
    LAllCommands->Clear();
    const bool withShortCut = CBShowCommandsWithShortCut->Checked();
    for (int i = 0; i < manager_->ItemCount(); ++i) {
        TdxBarItem* item = manager_->Items(i);
        if (item->Category() >= 0 && (!withShortCut || HasShortCut(item)))
            LAllCommands->Items().AddObject(item->Name(), item);
    }
    LAllCommands->Items().EndUpdate();
    const int count = LAllCommands->Items().Count();
    LAllCommands->SetTopIndex(std::min(top, std::max(count - 1, 0)));
    LAllCommands->SetItemIndex(count == 0 ? -1 : std::min(row, count - 1));
    RefreshAllCommandsWidths();
}

void TdxBarCustomizingForm::RefreshAllCommandsWidths() {
    if (LAllCommands == nullptr) return;
    const TFont& font = LAllCommands->Canvas().Font();
    nameColumnWidth_ = captionColumnWidth_ = shortCutColumnWidth_ = 0;
    for (int i = 0; i < LAllCommands->Items().Count(); ++i) {
        auto* item = static_cast<TdxBarItem*>(LAllCommands->Items().Objects(i));
        nameColumnWidth_ = std::max(nameColumnWidth_, TextSize(font, item->Name()).cx);
        captionColumnWidth_ = std::max(captionColumnWidth_, TextSize(font, item->Caption()).cx);
        shortCutColumnWidth_ =
            std::max(shortCutColumnWidth_, TextSize(font, ShortCutToText(item->ShortCut())).cx);
    }
    const int extent = nameColumnWidth_ + 15 + captionColumnWidth_ + 10 + shortCutColumnWidth_ + 5;
    if (LAllCommands->HandleAllocated())
        SendMessage(LAllCommands->Handle(), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(extent), 0);
}

void TdxBarCustomizingForm::LAllCommandsDrawItem(int Index, const TRect& Rect) {
    TCanvas& canvas = LAllCommands->Canvas();
    auto* item = static_cast<TdxBarItem*>(LAllCommands->Items().Objects(Index));
    canvas.FillRect(Rect);
    canvas.TextOut(Rect.left + 5, Rect.top, item->Name());
    const int first = Rect.left + nameColumnWidth_ + 10;
    const int second = first + captionColumnWidth_ + 10;
    const bool last = Index == LAllCommands->Items().Count() - 1;
    // The column lines run on below the last row to the bottom of the list.
    const int bottom = last ? LAllCommands->ClientRect().bottom : Rect.bottom;
    if (last) canvas.Pen().SetColor(clWindowText);
    for (int x : {first, second}) {
        canvas.MoveTo(x, Rect.top);
        canvas.LineTo(x, bottom);
    }
    canvas.TextOut(first + 5, Rect.top, item->Caption());
    canvas.TextOut(second + 5, Rect.top, ShortCutToText(item->ShortCut()));
}

} // namespace bars
