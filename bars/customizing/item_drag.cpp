#include "bars/customizing/item_drag.h"

#include <algorithm>
#include <cstdlib>

#include "bars/core/bar_cursors.h"
#include "bars/core/bar_item.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_unit.h"
#include "bars/core/customizing_notify.h"
#include "bars/core/item_links.h"
#include "bars/core/sub_item.h"
#include "bars/customizing/customizing_form.h"
#include "bars/windows/bar_control.h"
#include "bars/windows/item_control.h"
#include "bars/windows/sub_item_control.h"
#include "bars/windows/sub_menu_control.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "platform/gui/window_dc.h"
#include "platform/vcl/screen.h"

namespace bars {

namespace {

// How far a link must be dragged along its own bar to gain or lose its group separator.
constexpr int GroupDistance = 4;

// Bar windows come and go during the loop (a dispatched message may rebuild one, a menu closes), so
// every window is held by its handle and found again among the live bar windows when it is needed,
// never kept as a pointer across messages.
TCustomdxBarControl* DragBarWindow(TdxBarManager* Manager, HWND Window) {
    if (Window == nullptr) return nullptr;
    for (BarControl* control : BarControls()) {
        if (control->Handle() != Window) continue;
        auto* bar = dynamic_cast<TCustomdxBarControl*>(control);
        return bar != nullptr && bar->Manager() == Manager && bar->Alive() ? bar : nullptr;
    }
    return nullptr;
}

bool OverCustomizingWindow(HWND Window) {
    TdxBarCustomizingForm* form = GetCustomizingForm();
    if (form == nullptr || !form->HandleAllocated()) return false;
    for (HWND w = Window; w != nullptr; w = GetParent(w))
        if (w == form->Handle()) return true;
    return false;
}

bool CopyKeyDown() {
    return GetKeyState(VK_CONTROL) < 0;
}

// Where a drop at a screen point lands. The link is compared between steps but read only within the
// step that found it.
struct DropPlace {
    HWND window = nullptr;          // the target bar window; none: the drop deletes a dragged link
    bool valid = false;             // the target has a place for the item
    TdxBarItemLink* link = nullptr; // the link the drop goes next to; none: the end of the window
    bool before = false;
    bool group = false;       // dropped after the separator before link: the new link takes it over
    bool onSeparator = false; // the point is on the separator before link
    bool vertical = false;

    bool operator==(const DropPlace& o) const {
        return window == o.window && valid == o.valid && link == o.link && before == o.before &&
               group == o.group && onSeparator == o.onSeparator && vertical == o.vertical;
    }
};

// With no bar window under the pointer (a menu's shadow, a hint or another window lies over it), the
// first shown bar window of the manager whose window holds the point; only a floating one when
// FloatingOnly.
TCustomdxBarControl* BarWindowAround(TdxBarManager* Manager, POINT Screen, bool FloatingOnly) {
    for (BarControl* control : BarControls()) {
        auto* bar = dynamic_cast<TCustomdxBarControl*>(control);
        if (bar == nullptr || bar->Manager() != Manager || !bar->Alive() || bar->Handle() == nullptr ||
            !IsWindowVisible(bar->Handle()))
            continue;
        if (FloatingOnly && (GetWindowLong(bar->Handle(), GWL_STYLE) & WS_CHILD) != 0) continue;
        RECT r{0, 0, 0, 0};
        GetWindowRect(bar->Handle(), r);
        if (PtInRect(r, Screen)) return bar;
    }
    return nullptr;
}

DropPlace DropPlaceAt(TdxBarManager* Manager, TdxBarItem* Item, POINT Screen) {
    DropPlace place;
    const HWND under = FindWindowAtPoint(Screen);
    // The customizing window hides a floating toolbar that it overlaps from the pointer, not from the
    // drop. A docked toolbar behind it does not take the drop: a command pulled a little way inside the
    // window and let go there would land on a bar nobody sees.
    const bool overCustomizing = OverCustomizingWindow(under);
    TCustomdxBarControl* bar = overCustomizing ? nullptr : DragBarWindow(Manager, under);
    if (bar == nullptr) bar = BarWindowAround(Manager, Screen, overCustomizing);
    if (bar == nullptr || !bar->CanCustomizeItems() || bar->ItemLinks() == nullptr) return place;
    place.window = bar->Handle();
    TdxBarItemLinks* links = bar->ItemLinks();
    // A menu never holds itself, nor a menu that holds it.
    if (auto* subItem = dynamic_cast<TCustomdxBarSubItem*>(links->LinksOwner());
        subItem != nullptr && !subItem->CanContainItem(Item))
        return place;
    POINT client = Screen;
    ScreenToClient(bar->Handle(), client);
    bool onSeparator = false, vertical = false, before = false;
    TdxBarItemControl* control = bar->GetDropTarget(client, onSeparator, vertical, before);
    if (control == nullptr) {
        // A bar without links takes the item anywhere.
        place.valid = links->ShownLinks().empty();
        return place;
    }
    place.valid = true;
    place.link = control->Link();
    place.vertical = vertical;
    place.onSeparator = onSeparator;
    // On the separator the new link goes before the control either way; past the separator's middle it
    // begins the group itself.
    place.before = before || onSeparator;
    place.group = onSeparator && !before;
    return place;
}

// The shown link next to Link in its window, Step -1 or 1; none at the ends.
TdxBarItemLink* ShownNeighbour(TdxBarItemLink* Link, int Step) {
    const auto& shown = Link->Links()->ShownLinks();
    for (size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] != Link) continue;
        const long j = static_cast<long>(i) + Step;
        return j >= 0 && j < static_cast<long>(shown.size()) ? shown[static_cast<size_t>(j)] : nullptr;
    }
    return nullptr;
}

// A drop there leaves the dragged link where it is.
bool IsOwnPlace(const DropPlace& P, TdxBarItemLink* Link) {
    if (Link == nullptr || !P.valid || P.link == nullptr || P.link->Links() != Link->Links()) return false;
    if (P.link == Link) return true;
    if (P.group) return false;
    return (P.before && P.link == ShownNeighbour(Link, 1)) ||
           (!P.before && P.link == ShownNeighbour(Link, -1));
}

// The insertion mark: an I across the gap where the drop lands, drawn inverted so that drawing it again
// takes it away.
struct InsertionMark {
    HWND window = nullptr;
    bool vertical = false; // the mark runs across a column: a horizontal line
    int edge = 0;          // the gap, along the bar
    int from = 0, to = 0;  // the mark's extent across the bar
};

InsertionMark InsertionMarkFor(TCustomdxBarControl* Bar, const DropPlace& P) {
    InsertionMark mark;
    auto* control = P.link != nullptr ? dynamic_cast<TdxBarItemControl*>(P.link->Control()) : nullptr;
    if (control == nullptr) return mark;
    const RECT r = P.onSeparator ? control->SeparatorRect : Bar->GetItemRect(control);
    if (IsRectEmpty(r)) return mark;
    mark.window = Bar->Handle();
    mark.vertical = P.vertical;
    // Before the control or after it; on the separator before it, on the separator's near or far side.
    const bool atStart = P.onSeparator ? !P.group : P.before;
    if (P.vertical) {
        mark.edge = atStart ? r.top : r.bottom;
        mark.from = r.left;
        mark.to = r.right;
    } else {
        mark.edge = atStart ? r.left : r.right;
        mark.from = r.top;
        mark.to = r.bottom;
    }
    // At either end of the window the mark stays whole inside it.
    const RECT client = Bar->ClientRect();
    mark.edge = std::clamp(mark.edge, 3, std::max(3, (P.vertical ? client.bottom : client.right) - 3));
    return mark;
}

void InvertInsertionMark(const InsertionMark& M) {
    if (M.window == nullptr || !IsWindow(M.window)) return;
    const pw::gui::WindowDC dc(M.window);
    const pw::gdi::SavedDC saved(dc.Get());
    SetROP2(dc.Get(), R2_NOT);
    SelectObject(dc.Get(), GetStockObject(BLACK_PEN));
    const int e = M.edge;
    // Two lines along the gap, two rows of serif at each end.
    auto line = [&](int a1, int b1, int a2, int b2) {
        if (M.vertical) {
            MoveToEx(dc.Get(), b1, a1, nullptr);
            LineTo(dc.Get(), b2, a2);
        } else {
            MoveToEx(dc.Get(), a1, b1, nullptr);
            LineTo(dc.Get(), a2, b2);
        }
    };
    line(e - 1, M.from + 2, e - 1, M.to - 2);
    line(e, M.from + 2, e, M.to - 2);
    line(e - 3, M.from, e + 3, M.from);
    line(e - 3, M.from + 1, e + 3, M.from + 1);
    line(e - 3, M.to - 2, e + 3, M.to - 2);
    line(e - 3, M.to - 1, e + 3, M.to - 1);
}

// The windows Source's chain opened from Bar down: closing them would end the drag.
bool ChainHolds(TCustomdxBarControl* Bar, HWND Source) {
    for (TCustomdxBarControl* c = Bar != nullptr ? Bar->ChildBar() : nullptr; c != nullptr; c = c->ChildBar())
        if (c->Handle() == Source) return true;
    return false;
}

class LinkDrag {
public:
    LinkDrag(TdxBarManager* Manager, TdxBarItem* Item, TdxBarItemLink* Link, HWND Source)
        : manager_(Manager), item_(Item), link_(Link), source_(Source), lastCtrl_(CopyKeyDown()) {}

    // The pointer moved, Ctrl changed, or the mark's window had a message: the target, the cursor, the
    // mark and the selection follow. Force redraws the mark even where nothing changed.
    void Step(bool Force) {
        POINT p{0, 0};
        GetCursorPos(p);
        const DropPlace place = DropPlaceAt(manager_, item_, p);
        const bool ctrl = CopyKeyDown();
        const bool copy = ctrl || link_ == nullptr;
        Screen->SetCursor(!place.valid ? crdxBarDragNoDrop : copy ? crdxBarDragCopy : crdxBarDrag);
        if (place.window == nullptr) {
            HideMark();
            last_ = place;
            lastCtrl_ = ctrl;
            return;
        }
        if (!Force && place == last_ && ctrl == lastCtrl_) return;
        HideMark();
        last_ = place;
        lastCtrl_ = ctrl;
        Select(place);
        TCustomdxBarControl* bar = DragBarWindow(manager_, place.window);
        if (bar == nullptr || !place.valid) return;
        // The selection's repaint first, or it would paint over the mark.
        UpdateWindow(place.window);
        if (copy || !IsOwnPlace(place, link_)) ShowMark(InsertionMarkFor(bar, place));
    }

    void HideMark() {
        if (!shown_) return;
        shown_ = false;
        if (DragBarWindow(manager_, mark_.window) != nullptr) InvertInsertionMark(mark_);
    }
    HWND MarkWindow() const { return shown_ ? mark_.window : nullptr; }
    // Whether Ctrl was down when the place was last computed: the drop copies then.
    bool Copying() const { return lastCtrl_; }

private:
    void ShowMark(const InsertionMark& M) {
        if (M.window == nullptr) return;
        mark_ = M;
        InvertInsertionMark(mark_);
        shown_ = true;
    }

    // The control under the pointer becomes its window's selection: a menu entry opens its menu,
    // unless the dragged item may not go into it.
    void Select(const DropPlace& P) {
        TCustomdxBarControl* bar = DragBarWindow(manager_, P.window);
        if (bar == nullptr || P.link == nullptr) return;
        auto* control = dynamic_cast<TdxBarItemControl*>(P.link->Control());
        if (control == nullptr || control == bar->Selected()) return;
        // The menu the drag started in stays open: the loop lives on its mouse capture.
        if (bar->Selected() != nullptr && ChainHolds(bar, source_)) return;
        // An entry unselected by a move to another bar left its menu open: it closes now.
        if (bar->Selected() == nullptr && !ChainHolds(bar, source_))
            if (auto* menu = dynamic_cast<TdxBarSubMenuControl*>(bar->ChildBar()))
                if (TdxBarSubItemControl* owner = menu->SubItemOwner();
                    owner != nullptr && owner != control) {
                    owner->ControlInactivate(true);
                    bar = DragBarWindow(manager_, P.window);
                    if (bar == nullptr || P.link->Control() != control) return;
                }
        auto* entry = dynamic_cast<TdxBarSubItemControl*>(control);
        auto* sub = entry != nullptr ? entry->SubItem() : nullptr;
        if (sub != nullptr && !sub->CanContainItem(item_))
            bar->SelectControlByKey(control);
        else
            bar->SelectControlByMouse(control);
    }

    TdxBarManager* manager_;
    TdxBarItem* item_;
    TdxBarItemLink* link_;
    HWND source_;
    DropPlace last_;
    bool lastCtrl_ = false;
    InsertionMark mark_;
    bool shown_ = false;
};

// The window's selection after a drop: the new or re-selected link's control.
void SelectAfterDrop(TdxBarManager* Manager, HWND Window, TdxBarItemLink* Link) {
    TCustomdxBarControl* bar = DragBarWindow(Manager, Window);
    if (bar == nullptr || Link == nullptr) return;
    if (auto* control = dynamic_cast<TdxBarItemControl*>(Link->Control())) bar->SelectControlByKey(control);
}

// A drop on the dragged link's own place: a drag along the bar of at least GroupDistance gives the
// link a separator (right or down) or takes it away (left or up).
bool ToggleGroup(TdxBarManager* Manager, TdxBarItemLink* Link, POINT Offset, POINT At) {
    TCustomdxBarControl* bar =
        DragBarWindow(Manager, Link->BarControl() != nullptr ? Link->BarControl()->Handle() : nullptr);
    if (bar == nullptr) return false;
    const RECT r = Link->ItemRect();
    POINT origin{r.left, r.top};
    ClientToScreen(bar->Handle(), origin);
    const bool vertical =
        !bar->IsToolbar() || bar->DockingStyle() == dsLeft || bar->DockingStyle() == dsRight;
    const int moved = vertical ? At.y - (origin.y + Offset.y) : At.x - (origin.x + Offset.x);
    if (std::abs(moved) < GroupDistance) return false;
    const bool group = moved > 0;
    const HWND window = bar->Handle();
    if (Link->StoredBeginGroup() == group) {
        SelectAfterDrop(Manager, window, Link);
        return false;
    }
    Link->SetBeginGroup(group);
    Manager->DesignerModified();
    SelectAfterDrop(Manager, window, Link);
    return true;
}

bool Drop(TdxBarManager* Manager, TdxBarItem* Item, TdxBarItemLink* Link, POINT Offset, bool Ctrl) {
    POINT p{0, 0};
    GetCursorPos(p);
    const DropPlace place = DropPlaceAt(Manager, Item, p);
    if (place.window == nullptr) {
        if (Link == nullptr || Ctrl) return false;
        // Dropped beside every bar: the link goes, its item stays in its category.
        Manager->SetSelectedItem(nullptr);
        delete Link;
        Manager->DesignerModified();
        return true;
    }
    if (!place.valid) return false;
    if (!Ctrl && IsOwnPlace(place, Link)) return ToggleGroup(Manager, Link, Offset, p);
    TCustomdxBarControl* bar = DragBarWindow(Manager, place.window);
    TdxBarItemLinks* links = bar->ItemLinks();
    int index = links->Count();
    if (place.link != nullptr) index = place.link->Index() + (place.before ? 0 : 1);
    TdxBarItemLink* added = links->Add();
    if (Link != nullptr) added->Assign(Link);
    added->SetItem(Item);
    added->SetIndex(index);
    added->SetBeginGroup(place.group);
    // Past the separator the new link took it over.
    if (place.group) place.link->SetBeginGroup(false);
    if (Link != nullptr && !Ctrl) {
        // Its separator passes to the link after it.
        Manager->SetMovingLink(Link);
        delete Link;
        Manager->SetMovingLink(nullptr);
    }
    Manager->DesignerModified();
    if (TCustomdxBarControl* target = DragBarWindow(Manager, place.window)) {
        // The window lays the new link out at once, so that its control can be selected.
        target->RepaintBar();
        SelectAfterDrop(Manager, place.window, added);
    }
    return true;
}

} // namespace

bool DragItem(TdxBarManager* Manager, TdxBarItem* Item, TdxBarItemLink* Link, HWND Source, POINT Press) {
    Manager->SetDragged(Item, Link);
    Manager->SetDraggingItem(true);
    POINT offset{0, 0};
    if (Link != nullptr && Link->BarControl() != nullptr && Link->BarControl()->Handle() != nullptr) {
        POINT origin{Link->ItemRect().left, Link->ItemRect().top};
        ClientToScreen(Link->BarControl()->Handle(), origin);
        offset = POINT{Press.x - origin.x, Press.y - origin.y};
    }
    const TCursor oldCursor = Screen->Cursor();
    SetCapture(Source);
    LinkDrag drag(Manager, Item, Link, Source);
    bool dropped = false, moved = false;
    MSG msg;
    while (GetCapture() == Source) {
        if (!GetMessage(msg, nullptr, 0, 0)) {
            PostQuitMessage(QuitExitCode(msg));
            break;
        }
        if (msg.message == WM_KEYDOWN && KeyCode(msg) == VK_ESCAPE) break;
        if (msg.message == WM_LBUTTONUP) {
            dropped = true;
            break;
        }
        const bool ctrlKey =
            (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && KeyCode(msg) == VK_CONTROL;
        if (msg.message == WM_MOUSEMOVE || ctrlKey) {
            moved = moved || msg.message == WM_MOUSEMOVE;
            drag.Step(false);
            continue;
        }
        // What the mark's window paints or rebuilds would spoil the inverted mark: it is drawn again after.
        const bool marked = msg.hwnd != nullptr && msg.hwnd == drag.MarkWindow();
        if (marked) drag.HideMark();
        TranslateMessage(msg);
        DispatchMessage(msg);
        if (marked) drag.Step(true);
    }
    drag.HideMark();
    if (GetCapture() == Source) ReleaseCapture();
    Screen->SetCursor(oldCursor);
    if (HWND parked = Manager->DragWindow()) {
        Manager->SetDragWindow(nullptr);
        DestroyWindow(parked);
    }
    Manager->SetDraggingItem(false);
    // The dragged link is framed no longer; a link that went meanwhile has nothing left to drop.
    TdxBarItemLink* dragged = Manager->DragLink();
    if (dragged != nullptr)
        if (ItemControl* control = dragged->Control()) control->Repaint();
    // Ctrl as the pointer's last place showed it (move or copy cursor), not as it is at the release.
    const bool changed = dropped && moved && (Link == nullptr || dragged != nullptr) &&
                         Drop(Manager, Item, dragged, offset, drag.Copying());
    Manager->SetDragged(nullptr, nullptr);
    return changed;
}

bool DragNewItem(TdxBarManager* Manager, TdxBarItem* Item, HWND Source) {
    POINT press{0, 0};
    GetCursorPos(press);
    return DragItem(Manager, Item, nullptr, Source, press);
}

} // namespace bars

namespace bars_detail {

namespace {
class LinkDragging : public bars::CustomizingReceiver {
public:
    void DragLink(TdxBarManager* Manager, TdxBarItem* Item, TdxBarItemLink* Link, HWND Source,
                  POINT Press) const override {
        bars::DragItem(Manager, Item, Link, Source, Press);
    }
};
const LinkDragging linkDragging;
} // namespace

void InstallItemDrag() {
    bars::SetCustomizingReceiver(&linkDragging);
}

} // namespace bars_detail
