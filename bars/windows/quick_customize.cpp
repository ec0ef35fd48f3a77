#include "bars/windows/quick_customize.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_strings.h"
#include "bars/core/bar_unit.h"
#include "bars/core/item_links.h"
#include "bars/core/popup_menu.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbar.h"
#include "bars/windows/loop_call.h"
#include "bars/windows/owned_items.h"
#include "bars/windows/toolbar_control.h"
#include "lookandfeel/object_links.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/wintypes.h"

namespace bars {
namespace {

// The drop-down's own items, freed once it has closed (its links go first).
struct QuickItems {
    std::unique_ptr<TdxBarPopupMenu> menu;
    std::vector<std::unique_ptr<TdxBarItem>> items;
    ~QuickItems() { menu.reset(); }
};

// A link shows on its toolbar only with a control of some size; the others did not fit.
bool DidNotFit(TdxBarItemLink* Link) {
    const RECT r = Link->ItemRect();
    return Link->Control() == nullptr || r.right <= r.left || r.bottom <= r.top;
}

// "&Add or Remove Buttons" fills its menu as it opens: a check line per link of the toolbar.
void FillAddRemove(QuickItems& Quick, TdxBarManager* Manager, TdxBar* Bar, TdxBarQuickSubItem* Sub,
                   bool& Reset) {
    Sub->ItemLinks()->Clear();
    TdxBarItemLinks* source = Bar->ItemLinks();
    for (int i = 0; i < source->Count(); ++i) {
        TdxBarItemLink* link = source->Items(i);
        if (link->Item() == nullptr || link->Item()->BarManager() != Manager) continue;
        auto* line = AddOwnedItem<TdxBarQuickCustItem>(Quick.items, Manager);
        line->SetSourceLink(link);
        line->SetCaption(link->Caption());
        line->SetGlyph(link->Glyph());
        line->SetButtonStyle(bsChecked);
        line->SetDown(link->Visible());
        Sub->ItemLinks()->Add()->SetItem(line);
    }
    if (Manager->CanCustomize() && Bar->AllowCustomizing() && Bar->CanReset()) {
        auto* reset = AddOwnedItem<TdxBarQuickCustExtButton>(Quick.items, Manager);
        reset->SetCaption(LoadBarString(barstr::ResetToolbar));
        // The reset runs after the drop-down has closed: it rebuilds the links its lines stand for.
        reset->SetOnClick([&Reset](TObject*) { Reset = true; });
        TdxBarItemLink* link = Sub->ItemLinks()->Add();
        link->SetItem(reset);
        link->SetBeginGroup(true);
    }
}

// The toolbar whose drop-down a press on its own mark closed: that press must not open it again.
struct ClosedByMark {
    TdxBarControl* source = nullptr;
    DWORD at = 0;
};
ClosedByMark& LastClose() {
    static ClosedByMark last;
    return last;
}

// The drop-down open now, nullptr when none.
TdxBarPopupMenu*& CurrentQuickMenu() {
    static TdxBarPopupMenu* current = nullptr;
    return current;
}

bool PressOnMark(TdxBarControl* Source) {
    POINT p{0, 0};
    GetCursorPos(p);
    const RECT mark = Source->MarkScreenRect();
    return (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0 && PtInRect(mark, p);
}

// A drop-down asked for from a handler, opened from the loop unless the toolbar went meanwhile.
void ServeQuickCustomization(TdxBarControl* Source, const TcxObjectLink& Alive) {
    if (Alive.Ref == nullptr) return;
    ClosedByMark& last = LastClose();
    if (last.source == Source && GetTickCount() - last.at < GetDoubleClickTime()) {
        last.source = nullptr;
        Source->SetMarkState(0);
        return;
    }
    ShowQuickCustomization(Source);
}

} // namespace

std::unique_ptr<ItemControl> CreateQuickCustExtButtonControl(TdxBarItemLink* Link) {
    return std::make_unique<TdxBarQuickCustExtButtonControl>(Link);
}

std::unique_ptr<ItemControl> CreateQuickCustItemControl(TdxBarItemLink* Link) {
    return std::make_unique<TdxBarQuickCustItemControl>(Link);
}

void TdxBarQuickCustItemControl::ControlClick(bool) {
    auto* item = dynamic_cast<TdxBarQuickCustItem*>(Item());
    if (!GetEnabled() || item == nullptr || item->SourceLink() == nullptr) return;
    TdxBarItemLink* source = item->SourceLink();
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    // The toolbar shows or hides the button at once; the menu stays open with the line's new state.
    source->SetVisible(!source->Visible());
    if (self->Ref == nullptr) return;
    item->SetDown(source->Visible());
    Repaint();
}

POINT QuickControlPlace(const RECT& Mark, SIZE Size, bool Vertical, bool Floating, const RECT& Work) {
    POINT p{Mark.right, Mark.top};
    if (Vertical) {
        if (p.x + Size.cx > Work.right) p.x = Mark.left - Size.cx;
        // A drop-down taller than the screen keeps its top on it.
        p.y = std::max(std::min(p.y, Work.bottom - Size.cy), Work.top);
        return p;
    }
    p = POINT{Floating ? Mark.left : Mark.right - Size.cx, Mark.bottom};
    p.x = std::max(p.x, Work.left);
    p.x = std::min(p.x, Work.right - Size.cx);
    if (p.y + Size.cy > Work.bottom) p.y = Mark.top - Size.cy;
    return p;
}

void ShowQuickCustomization(TdxBarControl* Source) {
    TdxBar* bar = Source != nullptr ? Source->Bar() : nullptr;
    TdxBarManager* manager = Source != nullptr ? Source->Manager() : nullptr;
    if (bar == nullptr || manager == nullptr || Source->Handle() == nullptr) return;
    const TcxObjectLinkPtr alive = MakeObjectLink(Source);
    QuickItems quick;
    quick.menu = std::make_unique<TdxBarPopupMenu>(nullptr);
    quick.menu->SetBarManager(manager);
    TdxBarItemLinks* links = quick.menu->ItemLinks();
    for (TdxBarItemLink* link : std::vector<TdxBarItemLink*>(bar->ItemLinks()->VisibleLinks())) {
        if (!DidNotFit(link) || link->Item() == nullptr) continue;
        TdxBarItemLink* copy = links->Add();
        copy->Assign(link);
        // Uses are counted on the toolbar's own link.
        copy->SetMasterLink(link);
    }
    bool reset = false;
    auto* addRemove = AddOwnedItem<TdxBarQuickSubItem>(quick.items, manager);
    addRemove->SetCaption(LoadBarString(barstr::AddOrRemoveButtons));
    addRemove->SetEnabled(bar->AllowQuickCustomizing());
    addRemove->OnPopup = [&quick, manager, bar, addRemove, &reset](TObject*) {
        FillAddRemove(quick, manager, bar, addRemove, reset);
    };
    TdxBarItemLink* last = links->Add();
    last->SetItem(addRemove);
    last->SetBeginGroup(links->Count() > 1);

    const RECT mark = Source->MarkScreenRect();
    const bool vertical = IsVerticalBarControl(Source), floating = Source->DockingStyle() == dsNone;
    quick.menu->Placement = [mark, vertical, floating](SIZE Size) {
        MONITORINFO info;
        GetMonitorInfo(MonitorFromPoint(POINT{mark.left, mark.top}, MONITOR_DEFAULTTONEAREST), info);
        return QuickControlPlace(mark, Size, vertical, floating, info.rcWork);
    };
    {
        TdxBarPopupMenu* const outer = CurrentQuickMenu();
        CurrentQuickMenu() = quick.menu.get();
        const ScopeGuard restore([outer] { CurrentQuickMenu() = outer; });
        quick.menu->Popup(mark.left, mark.bottom);
    }
    if (alive->Ref == nullptr) return;
    LastClose() = PressOnMark(Source) ? ClosedByMark{Source, GetTickCount()} : ClosedByMark{};
    Source->SetMarkState(0);
    if (reset && alive->Ref != nullptr) bar->Reset();
}

bool QuickControlShown() {
    return CurrentQuickMenu() != nullptr;
}

void PostQuickCustomization(TdxBarControl* Source) {
    if (Source == nullptr) return;
    CallFromLoop([Source, alive = std::shared_ptr<TcxObjectLink>(MakeObjectLink(Source))] {
        ServeQuickCustomization(Source, *alive);
    });
}

} // namespace bars
