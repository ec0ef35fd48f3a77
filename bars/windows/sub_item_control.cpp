// Sub-item entries: opening and closing their menus, at once or through the shared pending timer.
#include "bars/windows/sub_item_control.h"

#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/container_item.h"
#include "bars/core/item_links.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbar.h"
#include "bars/painters/painter.h"
#include "bars/windows/sub_menu_control.h"
#include "bars/windows/toolbar_control.h"
#include "lookandfeel/object_links.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/scoped.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "platform/vcl/application.h"

namespace bars {

namespace {

// The one delayed open or close of the process: the control, what it waits for, and the timer.
TdxBarSubItemControl* pendingSubItem = nullptr;
bool pendingOpen = false;
UINT_PTR pendingTimer = 0;

void PendingTimerProc(HWND, UINT, uintptr_t, DWORD) {
    if (pendingOpen)
        TdxBarSubItemControl::OpenTimerProc();
    else
        TdxBarSubItemControl::CloseTimerProc();
}

bool ParentIsMainMenu(const TCustomdxBarControl* parent) {
    return parent != nullptr && parent->Bar() != nullptr && parent->Bar()->IsMainMenu();
}

// Takes the pending control off the timer before it runs: what runs may start another delayed open,
// which must stay pending.
TdxBarSubItemControl* TakePending() {
    TdxBarSubItemControl* control = pendingSubItem;
    if (pendingTimer != 0) KillTimer(nullptr, pendingTimer);
    pendingTimer = 0;
    pendingSubItem = nullptr;
    return control;
}

} // namespace

TdxBarSubItemControl* PendingSubItem() {
    return pendingSubItem;
}

bool PendingOpen() {
    return pendingSubItem != nullptr && pendingOpen;
}

std::unique_ptr<ItemControl> CreateSubItemControl(TdxBarItemLink* Link) {
    return std::make_unique<TdxBarSubItemControl>(Link);
}

TdxBarSubItemControl::~TdxBarSubItemControl() {
    CancelPendingTimer();
    TCustomdxBarSubItem* item = SubItem();
    if (item != nullptr && !item->IsDestroying())
        if (TdxBarSubMenuControl* menu = GetSubMenuControl(); menu != nullptr && menu->SubItemOwner() == this)
            menu->FreeMenu();
    active_ = false;
}

TCustomdxBarSubItem* TdxBarSubItemControl::SubItem() const {
    return dynamic_cast<TCustomdxBarSubItem*>(Item());
}

void TdxBarSubItemControl::GlyphChanged() {
    if (parent_ != nullptr) parent_->RepaintBar();
}

bool TdxBarSubItemControl::ShowsCaption() const {
    return SubItem() == nullptr || SubItem()->ShowCaption();
}

bool TdxBarSubItemControl::IsMenuJoinedToItem() const {
    return parent_ != nullptr && parent_->IsMenuJoinedToItem();
}

TdxBarSubMenuControl* TdxBarSubItemControl::GetSubMenuControl() const {
    TCustomdxBarSubItem* item = SubItem();
    if (item == nullptr || item->ItemLinks() == nullptr) return nullptr;
    return dynamic_cast<TdxBarSubMenuControl*>(item->ItemLinks()->BarControl());
}

TCustomdxBarControl* TdxBarSubItemControl::GetChildBarControl() const {
    TdxBarSubMenuControl* menu = GetSubMenuControl();
    return menu != nullptr && menu->SubItemOwner() == this ? menu : nullptr;
}

bool TdxBarSubItemControl::MenuOpen() const {
    return GetChildBarControl() != nullptr;
}

TdxBarSubMenuControl* TdxBarSubItemControl::CreateSubMenuControl() {
    TCustomdxBarSubItem* item = SubItem();
    if (item == nullptr || item->ItemLinks() == nullptr) return nullptr;
    return dynamic_cast<TdxBarSubMenuControl*>(item->ItemLinks()->CreateBarControl());
}

int TdxBarSubItemControl::GetHeight() const {
    auto& self = const_cast<TdxBarSubItemControl&>(*this);
    if (!OnToolbar()) {
        int height = parent_->TextSize();
        Painter().AdjustItemHeight(height);
        return height;
    }
    return Painter().CalcSubItemHeight(self, ShowsCaption(), ParentIsMainMenu(parent_));
}

int TdxBarSubItemControl::GetWidth() const {
    auto& self = const_cast<TdxBarSubItemControl&>(*this);
    if (!OnToolbar()) {
        const SIZE caption = [&] {
            SIZE size{0, 0};
            const pw::gdi::MemoryDC dc(nullptr);
            const pw::gdi::SelectedObject font(dc.Get(), parent_->GetFontHandle());
            GetTextExtentPoint32(dc.Get(), StripAmpersands(GetCaption()), &size);
            return size;
        }();
        int width = caption.cx + 2 * parent_->TextSize() + 3;
        Painter().AdjustItemWidth(width);
        return width;
    }
    return Painter().CalcSubItemWidth(self, ShowsCaption(), ParentIsMainMenu(parent_));
}

void TdxBarSubItemControl::Draw(HDC DC, const RECT& R, int PaintType) {
    if (R.right <= R.left) return;
    ItemState state;
    state.Selected = IsSelected();
    const bool opened = active_ && MenuOpen();
    state.Pressed = opened;
    state.Down = opened;
    state.DroppedDown = opened && IsMenuJoinedToItem();
    state.Enabled = GetEnabled();
    state.InMenu = PaintType == 1;
    Painter().DrawSubItem(*this, DC, R, state, ShowsCaption(), ParentIsMainMenu(parent_));
}

void TdxBarSubItemControl::CancelPendingTimer() {
    if (pendingSubItem == this) TakePending();
}

void TdxBarSubItemControl::StartPendingTimer(bool Open) {
    TakePending();
    pendingSubItem = this;
    pendingOpen = Open;
    pendingTimer = SetTimer(nullptr, 0, Delay, &PendingTimerProc);
}

void TdxBarSubItemControl::OpenTimerProc() {
    TdxBarSubItemControl* control = TakePending();
    if (control == nullptr) return;
    // The timer is gone already; a handler's failure is the application's to report, as any timer's.
    try {
        control->ControlActivate(true);
    } catch (...) {
        if (Application != nullptr) Application->HandleException(nullptr);
    }
}

void TdxBarSubItemControl::CloseTimerProc() {
    TdxBarSubItemControl* control = TakePending();
    if (control == nullptr) return;
    try {
        control->ControlInactivate(true);
    } catch (...) {
        if (Application != nullptr) Application->HandleException(nullptr);
    }
}

void TdxBarSubItemControl::ControlActivate(bool Immediately) {
    if (!CanOpen()) return;
    if (TdxBarSubMenuControl* menu = GetSubMenuControl()) {
        TdxBarSubItemControl* owner = menu->SubItemOwner();
        if (owner == this) {
            // Already open here: the pointer came back before a pending close.
            CancelPendingTimer();
            return;
        }
        // Another link of the same item has it open.
        if (owner != nullptr) owner->ControlInactivate(true);
    }
    TdxBarItemControl::ControlActivate(Immediately);
    TdxBarManager* manager = link_ != nullptr ? link_->BarManager() : nullptr;
    if (manager == nullptr || parent_ == nullptr) return;
    if (!GetEnabled() && !manager->Designing()) return;
    if (OnToolbar()) {
        auto* toolbar = dynamic_cast<TdxBarControl*>(parent_);
        if (!parent_->IsCustomizing() && (toolbar == nullptr || !toolbar->MenuOpened())) return;
        Immediately = true;
    }
    if (!Immediately && !manager->IsCustomizingOrDesigning()) {
        TdxBarSubItemControl* previous = pendingSubItem;
        const TcxObjectLinkPtr self = MakeObjectLink(this);
        TakePending();
        // A control of a menu other than the one this menu came from closes at once.
        if (previous != nullptr && previous != this && previous->parent_ != parent_->ParentBar())
            previous->ControlInactivate(true);
        if (self->Ref != nullptr) StartPendingTimer(true);
        return;
    }
    OpenMenu();
}

void TdxBarSubItemControl::OpenMenu() {
    TCustomdxBarSubItem* item = SubItem();
    if (item == nullptr) return;
    TCustomdxBarControl* parent = parent_;
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    const TcxObjectLinkPtr window = MakeObjectLink(parent);
    const TcxObjectLinkPtr itemLink = MakeObjectLink(item);
    // The item's handlers may free the item, this control or its window.
    auto gone = [&] {
        return self->Ref == nullptr || window->Ref == nullptr || itemLink->Ref == nullptr ||
               !parent->Alive() || !parent->FindLinkControl(this);
    };
    item->DoPopup();
    if (gone() || !active_) return;
    item->DirectClick();
    // A handler that moved the selection on (a nested loop, a dialog) closed this entry meanwhile.
    if (gone() || !active_) return;
    TdxBarSubMenuControl* menu = CreateSubMenuControl();
    if (menu == nullptr) return;
    const RECT screen = ScreenRect();
    if (IsMenuJoinedToItem()) menu->SetOwnerItem(screen, parent);
    const RECT r = Bounds();
    POINT p{r.left, r.bottom};
    if (!parent->IsToolbar()) {
        p = POINT{r.right, r.top - Painter().GetSubMenuBorderSize()};
        menu->SetOwnerWidth(r.right - r.left);
    } else if (IsVerticalBarControl(parent)) {
        p = POINT{r.right, r.top};
        menu->SetOwnerWidth(r.right - r.left);
    } else {
        menu->SetOwnerHeight(r.bottom - r.top);
    }
    menu->SetSubItemOwner(this);
    if (parent->Handle() != nullptr) ClientToScreen(parent->Handle(), p);
    menu->SetRequestedPos(p);
    parent->SetChildBar(menu);
    menu->SetParentBar(parent);
    if (parent->IsToolbar()) Repaint();
    menu->SetAnimating(AnimateOpen);
    AnimateOpen = false;
    menu->ShowMenu();
    if (self->Ref != nullptr && Painter().IsArrowButtonSeparate()) Repaint();
}

void TdxBarSubItemControl::ControlInactivate(bool Immediately) {
    if (!CanOpen()) return;
    TdxBarManager* manager = link_ != nullptr ? link_->BarManager() : nullptr;
    if (!OnToolbar() && !Immediately && pendingTimer == 0 && parent_ != nullptr &&
        !parent_->DestroyingControls() && manager != nullptr && !manager->IsCustomizingOrDesigning()) {
        StartPendingTimer(false);
        return;
    }
    TdxBarSubMenuControl* menu = GetSubMenuControl();
    if (menu != nullptr && menu->SubItemOwner() != this && menu->SubItemOwner() != nullptr) menu = nullptr;
    if (menu != nullptr) menu->SetSubItemOwner(nullptr);
    TdxBarItemControl::ControlInactivate(Immediately);
    CancelPendingTimer();
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    TCustomdxBarSubItem* item = SubItem();
    const TcxObjectLinkPtr itemLink = MakeObjectLink(item);
    if (menu != nullptr) menu->FreeMenu();
    if (self->Ref != nullptr && parent_ != nullptr && parent_->IsToolbar()) Repaint();
    // The menu is gone before its close-up is told.
    if (menu != nullptr && itemLink->Ref != nullptr) item->DoCloseUp();
}

void TdxBarSubItemControl::ControlClick(bool ByMouse) {
    const bool openedByPress = openedByPress_;
    openedByPress_ = false;
    if (ByMouse && openedByPress && MenuOpen()) return;
    TdxBarItemControl::ControlClick(ByMouse);
}

void TdxBarSubItemControl::BeforeClick(bool ByMouse) {
    openedByPress_ = false;
    if (MenuOpen()) {
        TdxBarManager* manager = link_ != nullptr ? link_->BarManager() : nullptr;
        // Only the standard style closes a menu on a second click of its entry.
        if (!parent_->IsCustomizing() && manager != nullptr &&
            manager->GetEffectivePaintStyle() != bmsStandard)
            return;
        ControlInactivate(true);
        return;
    }
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    ControlActivate(true);
    if (self->Ref == nullptr) return;
    if (ByMouse) {
        openedByPress_ = MenuOpen();
        return;
    }
    TdxBarSubMenuControl* menu = GetSubMenuControl();
    if (menu == nullptr || menu->ItemLinks() == nullptr) return;
    if (TdxBarItemLink* first = menu->ItemLinks()->FirstSelectable())
        menu->SelectControlByKey(dynamic_cast<TdxBarItemControl*>(first->Control()));
}

void TdxBarSubItemControl::KeyDown(WORD Key) {
    if (Key == VK_RIGHT) ControlClick(false);
}

bool TdxBarSubItemControl::WantsKey(WORD Key) const {
    return Key == VK_RIGHT && parent_ != nullptr && !parent_->IsToolbar();
}

std::unique_ptr<ItemControl> CreateContainerItemControl(TdxBarItemLink* Link) {
    return std::make_unique<TdxBarContainerItemControl>(Link);
}

TdxBarSubMenuControl* TdxBarContainerItemControl::CreateSubMenuControl() {
    TdxBarManager* manager = link_ != nullptr ? link_->BarManager() : nullptr;
    if (manager == nullptr || manager->IsCustomizingOrDesigning()) return nullptr;
    return TdxBarSubItemControl::CreateSubMenuControl();
}

std::string TdxBarContainerItemControl::GetCaption() const {
    const std::string caption = TdxBarSubItemControl::GetCaption();
    if (!OnToolbar() && Item() != nullptr && !Item()->HasContent()) return "(" + caption + ")";
    return caption;
}

bool TdxBarContainerItemControl::IsExpandable() const {
    TdxBarManager* manager = link_ != nullptr ? link_->BarManager() : nullptr;
    return manager == nullptr || !manager->IsCustomizingOrDesigning();
}

void TdxBarContainerItemControl::Draw(HDC DC, const RECT& R, int PaintType) {
    if (PaintType != 1) {
        TdxBarSubItemControl::Draw(DC, R, PaintType);
        return;
    }
    if (R.right <= R.left) return;
    ItemState state;
    state.Selected = IsSelected();
    state.Enabled = GetEnabled();
    state.InMenu = true;
    Painter().DrawButtonBackground(*this, DC, state, R);
}

} // namespace bars
