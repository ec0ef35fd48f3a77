// The menu window: making and placing it, scrolling, recent-items expansion, its messages and closing;
// its layout and painting are in sub_menu_paint.cpp, its mouse and keys in sub_menu_input.cpp.
#include "bars/windows/sub_menu_control.h"

#include <algorithm>
#include <optional>
#include <random>

#include "bars/core/backgrounds.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_strings.h"
#include "bars/core/bar_unit.h"
#include "bars/core/container_item.h"
#include "bars/core/item_links.h"
#include "bars/core/popup_menu.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/painters/painter.h"
#include "bars/windows/bar_hints.h"
#include "bars/windows/dock_control.h"
#include "bars/windows/item_control.h"
#include "bars/windows/sub_item_control.h"
#include "bars/windows/toolbar_control.h"
#include "lookandfeel/object_links.h"
#include "platform/gdi/palettes.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/layered.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/paint.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "platform/gui/window_dc.h"
#include "platform/rtl/wintypes.h"
#include "platform/vcl/form.h"

namespace bars {

namespace {

// The shadows and animations of every menu window, handed in with the bar windows.
MenuDecorator* decorator = nullptr;

// A colour relative to the palette selected into the DC.
constexpr COLORREF PaletteRgb(COLORREF Color) {
    return 0x02000000 | Color;
}

TdxBarMenuAnimations RandomAnimation() {
    // One sequence for the process, from a fixed seed: a run repeats its animations.
    static std::minstd_rand generator(12345);
    const int n = static_cast<int>(generator() % 100);
    return n < 33 ? maUnfold : n < 66 ? maSlide : maFade;
}

} // namespace

COLORREF RarelyUsedColor() {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    auto lighter = [](int Channel) { return static_cast<BYTE>(std::min(Channel + 20, 255)); };
    return RGB(lighter(GetRValue(face)), lighter(GetGValue(face)), lighter(GetBValue(face)));
}

void SetMenuDecorator(MenuDecorator* Decorator) {
    decorator = Decorator;
}

std::unique_ptr<BarControl> CreateSubMenuControl(TdxBarItemLinks* Links) {
    return std::make_unique<TdxBarSubMenuControl>(Links->BarManager(), Links);
}

TdxBarSubMenuControl::TdxBarSubMenuControl(TdxBarManager* AOwner, TdxBarItemLinks* ALinks)
    : TCustomdxBarControl(AOwner, ALinks) {}

TdxBarSubMenuControl::~TdxBarSubMenuControl() {
    // Freed by its links (the item goes) without FreeMenu: close first.
    if (!freeing_) {
        freeing_ = true;
        CloseWindow();
        if (ParentBar() != nullptr && ParentBar()->ChildBar() == this) ParentBar()->SetChildBar(nullptr);
    }
}

ItemControl* TdxBarSubMenuControl::OpenedBy() const {
    if (subItemOwner_ != nullptr) return subItemOwner_;
    return dropDownOwner_;
}

int TdxBarSubMenuControl::SideBarWidth() const {
    TObject* owner = links_ != nullptr ? links_->LinksOwner() : nullptr;
    if (auto* subItem = dynamic_cast<TCustomdxBarSubItem*>(owner)) return subItem->BarSize();
    if (auto* popup = dynamic_cast<TdxBarPopupMenu*>(owner)) return popup->BarSize();
    return 0;
}

TBitmap* TdxBarSubMenuControl::OwnBackgroundBitmap() const {
    auto* popup = dynamic_cast<TdxBarPopupMenu*>(links_ != nullptr ? links_->LinksOwner() : nullptr);
    return popup != nullptr ? popup->BackgroundBitmap() : nullptr;
}

bool TdxBarSubMenuControl::IsFreePopup() const {
    if (auto* parent = dynamic_cast<const TdxBarSubMenuControl*>(ParentBar())) return parent->IsFreePopup();
    return ownerWidth_ == 0 && ownerHeight_ == 0;
}

bool TdxBarSubMenuControl::RecentItemsInForce() const {
    return manager_ != nullptr && manager_->UseRecentItems() && links_ != nullptr &&
           links_->UseRecentItemsEffective();
}

bool TdxBarSubMenuControl::IsMarkVisible() const {
    return RecentItemsInForce() && links_->CanVisibleItemCount() < links_->VisibleItemCount();
}

RECT TdxBarSubMenuControl::MarkRect() const {
    if (!IsMarkVisible()) return RECT{0, 0, 0, 0};
    RECT r = ClientRect();
    RECT inner{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
    Painter().DeflateSubMenuRect(inner);
    inner.left = std::max(inner.left, SideBarWidth() + inner.left);
    inner.top = inner.bottom - MarkLineHeight();
    return inner;
}

bool TdxBarSubMenuControl::ShowsRarelyUsedItems() const {
    // Told while a rarely used line paints its background, which then is its own.
    return drawingLine_ != nullptr && drawingLine_->RarelyUsed;
}

bool TdxBarSubMenuControl::HasBottomArrow() const {
    if (links_ == nullptr || topIndex_ < 0) return false;
    return static_cast<int>(links_->ShownLinks().size()) - topIndex_ > visibleCount_;
}

int TdxBarSubMenuControl::GetSeparatorSize() const {
    return Painter().GetSubMenuSeparatorHeight();
}

HBRUSH TdxBarSubMenuControl::GetBkBrush() const {
    if (drawingLine_ != nullptr && drawingLine_->RarelyUsed && rarelyUsedBrush_ != nullptr &&
        !Painter().DrawsFlatMenuLines())
        return rarelyUsedBrush_;
    return Painter().GetSubMenuBkBrush();
}

void TdxBarSubMenuControl::CreateRarelyUsedBrush() {
    DeleteRarelyUsedBrush();
    const COLORREF color = RarelyUsedColor();
    // A screen of 256 colours or fewer shows the colour only through a palette of its own.
    if (ScreenBitsPerPixel() <= 8 && RecentItemsInForce()) {
        LOGPALETTE palette;
        palette.palNumEntries = 1;
        palette.palPalEntry[0] = PALETTEENTRY{GetRValue(color), GetGValue(color), GetBValue(color), 0};
        rarelyUsedPalette_ = CreatePalette(&palette);
        rarelyUsedBrush_ = CreateSolidBrush(PaletteRgb(color));
        return;
    }
    rarelyUsedBrush_ = CreateSolidBrush(color);
}

void TdxBarSubMenuControl::DeleteRarelyUsedBrush() {
    if (rarelyUsedBrush_ != nullptr) DeleteObject(rarelyUsedBrush_);
    if (rarelyUsedPalette_ != nullptr) DeleteObject(rarelyUsedPalette_);
    rarelyUsedBrush_ = nullptr;
    rarelyUsedPalette_ = nullptr;
}

void TdxBarSubMenuControl::CalcMetrics() {
    TCustomdxBarControl::CalcMetrics();
    int line = textSize_, check = 0, glyph = 0;
    Painter().CalcSubMenuMetrics(*this, textSize_, line, check, arrowWidth_, glyph, markLineHeight_);
    textSize_ = line;
    textIndent_ = std::max(textSize_ / 5, 4);
}

void TdxBarSubMenuControl::CreateControls() {
    ++changingOwnLinks_;
    if (handle_ != nullptr) ExpandContainers();
    --changingOwnLinks_;
    TCustomdxBarControl::CreateControls();
    layoutValid_ = false;
}

void TdxBarSubMenuControl::DestroyControls() {
    // First: a container's line that shows again may get a control, which goes with the others.
    ++changingOwnLinks_;
    CollapseContainers();
    --changingOwnLinks_;
    TCustomdxBarControl::DestroyControls();
    layoutValid_ = false;
}

void TdxBarSubMenuControl::ExpandContainers() {
    if (expandingContainers_ || !expansions_.empty() || links_ == nullptr || IsCustomizing()) return;
    expandingContainers_ = true;
    for (TdxBarItemLink* link : std::vector<TdxBarItemLink*>(links_->VisibleLinks())) {
        auto* container = dynamic_cast<TCustomdxBarContainerItem*>(link->Item());
        if (container == nullptr || !container->HasContent()) continue;
        const TcxObjectLinkPtr alive = MakeObjectLink(container);
        std::vector<TdxBarItemLink*> before;
        for (int i = 0; i < links_->Count(); ++i)
            before.push_back(links_->Items(i));
        container->ExpandInto(links_, link->Index() + 1, link, true);
        if (alive->Ref == nullptr || links_ == nullptr) break;
        Expansion expansion{link, {}};
        for (int i = 0; i < links_->Count(); ++i)
            if (std::find(before.begin(), before.end(), links_->Items(i)) == before.end())
                expansion.Generated.push_back(links_->Items(i));
        container->SetExpanded(true);
        // The generated lines stand in for the container's own.
        link->SetVisible(false);
        expansions_.push_back(std::move(expansion));
    }
    expandingContainers_ = false;
}

void TdxBarSubMenuControl::CollapseContainers() {
    if (expandingContainers_ || expansions_.empty() || links_ == nullptr) return;
    expandingContainers_ = true;
    auto alive = [this](TdxBarItemLink* link) {
        for (int i = 0; i < links_->Count(); ++i)
            if (links_->Items(i) == link) return true;
        return false;
    };
    for (auto it = expansions_.rbegin(); it != expansions_.rend(); ++it) {
        for (TdxBarItemLink* generated : it->Generated)
            if (alive(generated)) delete generated;
        // The container keeps what it made until it expands again (a clicked line's item still runs).
        if (alive(it->Source)) it->Source->SetVisible(true);
    }
    expansions_.clear();
    expandingContainers_ = false;
}

void TdxBarSubMenuControl::RepaintBar() {
    if (handle_ == nullptr || freeing_ || DestroyingControls() || expandingContainers_) return;
    // While customizing the selected line outlives the rebuild, as on a toolbar, while it is the link
    // being worked on (a link just dropped here), not once the selection went to another bar.
    TdxBarItemLink* selected =
        IsCustomizing() && Selected() != nullptr && manager_->SelectedItem() == Selected()
            ? Selected()->Link()
            : nullptr;
    DestroyControls();
    CreateControls();
    // The lines may have changed their number or width: the window takes its new size where it is.
    RECT window{0, 0, 0, 0};
    GetWindowRect(handle_, window);
    requested_ = POINT{savedPos_.x, savedPos_.y};
    Place(CalcSize());
    CalcLayout();
    // Selected once laid out, or the old size would scroll the line into view.
    if (selected != nullptr && selected->Control() != nullptr)
        SelectControlByKey(dynamic_cast<TdxBarItemControl*>(selected->Control()));
    InvalidateRect(handle_, nullptr, FALSE_);
}

// Showing.

void TdxBarSubMenuControl::ShowMenu() {
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    if (OnPopup) OnPopup(this);
    if (self->Ref == nullptr || freeing_) return;
    TdxBarManager* manager = manager_;
    if (auto* top = dynamic_cast<TCustomdxBarControl*>(GetTopToolbarControl(this)); top != nullptr)
        if (top->Manager() != nullptr) manager = top->Manager();
    animation_ = manager != nullptr ? manager->MenuAnimations() : maNone;
    if (animation_ == maRandom) animation_ = RandomAnimation();
    animating_ = animating_ && animation_ != maNone && animation_ != maFade && links_ != nullptr &&
                 !links_->ShownLinks().empty() && manager_ != nullptr &&
                 !manager_->IsCustomizingOrDesigning();
    if (handle_ == nullptr) CreateWnd();
    if (self->Ref == nullptr || handle_ == nullptr) return;
    if (animation_ == maFade && User32Procs().AnimateWindow != nullptr)
        User32Procs().AnimateWindow(handle_, 150, AW_BLEND);
    else
        SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                         (animating_ ? 0 : SWP_SHOWWINDOW));
    // The menu's own first frame comes first; its shadow windows follow.
    ProcessPaintMessages();
    if (decorator != nullptr && self->Ref != nullptr && handle_ != nullptr) decorator->Shown(*this);
}

void TdxBarSubMenuControl::CreateWnd() {
    CreateRarelyUsedBrush();
    TCustomForm* form = manager_ != nullptr ? manager_->ParentForm() : nullptr;
    HWND owner = parentWindow_;
    if (owner == nullptr && form != nullptr && form->HandleAllocated()) owner = form->Handle();
    // A menu never takes the activation: the form keeps it, and the keyboard comes through the hooks.
    CreateWindowHandle(WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                       WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, owner,
                       RECT{requested_.x, requested_.y, requested_.x + 1, requested_.y + 1});
    savedPos_ = requested_;
    markState_ = 0;
    SetActive(true);
    if (links_ != nullptr)
        links_->SetRecentItemCount(RecentItemsInForce() && !MenusExpanded() ? links_->GetRecentItemCount()
                                                                            : -1);
    CreateControls();
    topIndex_ = 0;
    Place(CalcSize());
    CalcLayout();
    if (animating_ && !(decorator != nullptr && decorator->StartAnimation(*this))) animating_ = false;
    PlayMenuSound(0);
}

SIZE TdxBarSubMenuControl::CalcSize() {
    int widest = 0, height = 0;
    if (links_ != nullptr) {
        MarkRarelyUsed(0);
        const auto& shown = links_->ShownLinks();
        for (size_t i = 0; i < shown.size(); ++i) {
            auto* control = dynamic_cast<TdxBarItemControl*>(shown[i]->Control());
            if (control == nullptr) continue;
            height += RunStartGap(control);
            if (i > 0 && shown[i]->BeginGroup()) height += GetSeparatorSize();
            height += control->GetHeightInBar();
            widest = std::max(widest, control->GetWidthInBar());
        }
    }
    return Painter().CalcSubMenuSize(*this, widest, height, IsMarkVisible());
}

bool TdxBarSubMenuControl::IsCustomizing() const {
    for (const TCustomdxBarControl* bar = this; bar != nullptr; bar = bar->ParentBar())
        if (const auto* menu = dynamic_cast<const TdxBarSubMenuControl*>(bar);
            menu && menu->ignoresCustomizing_)
            return false;
    return TCustomdxBarControl::IsCustomizing();
}

void TdxBarSubMenuControl::Place(SIZE Size) {
    int left = requested_.x, top = requested_.y;
    const int width = Size.cx;
    int height = Size.cy;
    MONITORINFO info;
    GetMonitorInfo(MonitorFromPoint(requested_, MONITOR_DEFAULTTONEAREST), info);
    const RECT work = info.rcWork;
    flippedLeft_ = flippedUp_ = false;
    if (placement_) {
        const POINT at = placement_(Size);
        left = at.x;
        top = std::max(at.y, work.top);
        // A menu taller than the room below scrolls.
        height = std::min(height, static_cast<int>(work.bottom) - top);
        SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        layoutValid_ = false;
        return;
    }
    if (left + width > work.right) {
        if (ownerWidth_ > 0) {
            // To the other side of the item when there is more room there.
            if (left - ownerWidth_ - work.left > work.right - left) {
                left = left - ownerWidth_ - width;
                flippedLeft_ = true;
            }
        } else {
            left = work.right - width;
        }
    }
    left = std::max(std::min(left, static_cast<int>(work.right) - width), static_cast<int>(work.left));
    if (top + height > work.bottom) {
        if (ownerHeight_ > 0) {
            if (top - ownerHeight_ - work.top > work.bottom - top) {
                top = top - ownerHeight_ - height;
                flippedUp_ = true;
            } else {
                // The menu scrolls.
                height = work.bottom - top;
            }
        } else if (ownerWidth_ == 0) {
            if (top - height >= work.top) {
                top -= height;
                flippedUp_ = true;
            } else {
                top = work.bottom - height;
            }
        } else {
            top = work.bottom - height;
        }
    }
    if (top < work.top) {
        if (flippedUp_ && ownerHeight_ > 0) {
            height -= work.top - top;
        } else {
            height = std::min(height, static_cast<int>(work.bottom - work.top));
        }
        top = work.top;
    }
    SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    layoutValid_ = false;
}

// Scrolling.

void TdxBarSubMenuControl::SetTopIndex(int Value) {
    Value = std::max(Value, 0);
    if (Value == topIndex_) return;
    topIndex_ = Value;
    CalcLayout();
    if (handle_ != nullptr) InvalidateRect(handle_, nullptr, FALSE_);
}

void TdxBarSubMenuControl::ScrollIntoView(TdxBarItemControl* Control) {
    const int index = ShownIndex(Control);
    if (index < 0) return;
    if (HasTopArrow() && index <= topIndex_) {
        SetTopIndex(index - 1);
        return;
    }
    // Raised one line at a time until the line shows above the bottom arrow.
    for (int guard = 0; guard < 10000 && HasBottomArrow() && index >= topIndex_ + visibleCount_ - 1;
         ++guard) {
        const int before = topIndex_;
        SetTopIndex(topIndex_ + 1);
        if (topIndex_ == before) break;
    }
}

void TdxBarSubMenuControl::ScrollTick() {
    POINT p{0, 0};
    GetCursorPos(p);
    POINT client = p;
    ScreenToClient(handle_, client);
    const bool up = scrollUp_;
    const bool onArrow = up ? HasTopArrow() && PtInRect(topArrow_, client)
                            : HasBottomArrow() && PtInRect(bottomArrow_, client);
    if (onArrow) {
        SetTopIndex(topIndex_ + (up ? -1 : 1));
        UpdateWindow(handle_);
        return;
    }
    KillTimer(handle_, ScrollTimerId);
    scrollTimer_ = 0;
    scrollCursorPos_ = POINT{-1, -1};
    // The line under the pointer hot-tracks again.
    ForgetCursorPos();
    SendMessage(handle_, WM_MOUSEMOVE, 0, PackPoint(client));
}

// Recent items.

void TdxBarSubMenuControl::KillDelayTimer() {
    if (delayTimer_ != 0 && handle_ != nullptr) KillTimer(handle_, delayTimer_);
    delayTimer_ = 0;
}

void TdxBarSubMenuControl::StartDelayTimer(UINT_PTR Id, UINT Elapse) {
    KillDelayTimer();
    if (handle_ == nullptr) return;
    delayTimer_ = SetTimer(handle_, Id, Elapse, nullptr);
}

void TdxBarSubMenuControl::SetActive(bool Value) {
    const bool first = Value && !IsActive();
    TCustomdxBarControl::SetActive(Value);
    if (first && markState_ == 0 && RecentItemsInForce() && !MenusExpanded() &&
        manager_->ShowFullMenusAfterDelay())
        StartDelayTimer(ExpandTimerId, ExpandDelay);
}

void TdxBarSubMenuControl::SetSelectedItemControl(TdxBarItemControl* Control) {
    TCustomdxBarControl::SetSelectedItemControl(Control);
    if (!Alive() || freeing_) return;
    if (markState_ == 0 && IsActive() && RecentItemsInForce() && !MenusExpanded() &&
        manager_->ShowFullMenusAfterDelay())
        StartDelayTimer(ShowMarkTimerId, ExpandDelay);
}

void TdxBarSubMenuControl::SelectControlByKey(TdxBarItemControl* Control) {
    TCustomdxBarControl::SelectControlByKey(Control);
    if (Alive() && Control != nullptr && Selected() == Control) ScrollIntoView(Control);
}

void TdxBarSubMenuControl::SetMarkState(int Value) {
    if (!RecentItemsInForce() || IsCustomizing()) return;
    if (Value == 1 && Selected() != nullptr && Selected()->IsWindowControl() && Selected()->IsEditing())
        Value = 0;
    if (Value == markState_) return;
    markState_ = Value;
    if (Value == 2) {
        Expand();
        return;
    }
    InvalidateMark();
    if (manager_->ShowFullMenusAfterDelay()) {
        KillDelayTimer();
        POINT p{0, 0};
        GetCursorPos(p);
        ScreenToClient(handle_, p);
        if (Value == 1 && PtInRect(MarkRect(), p)) StartDelayTimer(ExpandTimerId, MarkExpandDelay);
    } else {
        // Without the delay the button says how to expand.
        UpdateHint(manager_, Value == 1, Value == 1 ? LoadBarString(barstr::Expand) : std::string());
    }
}

HFONT TdxBarSubMenuControl::GetFontHandle() const {
    TObject* owner = links_ != nullptr ? links_->LinksOwner() : nullptr;
    if (auto* popup = dynamic_cast<TdxBarPopupMenu*>(owner); popup != nullptr && popup->UseOwnFont())
        return popup->FontHandle();
    if (ParentBar() != nullptr) return ParentBar()->GetFontHandle();
    return TCustomdxBarControl::GetFontHandle();
}

void TdxBarSubMenuControl::Expand() {
    if (!IsMarkVisible() || handle_ == nullptr) return;
    SetMenusExpanded(true);
    animating_ = true;
    reshowing_ = true;
    CloseWindow();
    reshowing_ = false;
    requested_ = savedPos_;
    ShowMenu();
}

// Closing.

void TdxBarSubMenuControl::StopAnimation() {
    if (decorator != nullptr && animating_ && handle_ != nullptr) decorator->StopAnimation(*this);
    animating_ = false;
}

void TdxBarSubMenuControl::CloseWindow() {
    StopAnimation();
    if (handle_ != nullptr) {
        if (scrollTimer_ != 0) KillTimer(handle_, ScrollTimerId);
        KillDelayTimer();
    }
    scrollTimer_ = 0;
    if (auto* child = dynamic_cast<TdxBarSubMenuControl*>(ChildBar());
        child != nullptr && !child->Freeing()) {
        if (TdxBarSubItemControl* owner = child->SubItemOwner(); owner != nullptr && owner->Parent() == this)
            owner->ControlInactivate(true);
        else
            child->FreeMenu();
    }
    if (!reshowing_) SetActive(false);
    if (handle_ == nullptr) {
        DeleteRarelyUsedBrush();
        return;
    }
    if (decorator != nullptr) decorator->Hiding(*this);
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    if (!reshowing_) HandBackToDropDownOwner();
    if (self->Ref == nullptr || handle_ == nullptr) return;
    if (!ParkWhileDragged()) {
        DestroyControls();
        DestroyWindowHandle();
    }
    DeleteRarelyUsedBrush();
    if (!reshowing_ && OnCloseUp) OnCloseUp(this);
}

bool TdxBarSubMenuControl::ParkWhileDragged() {
    if (manager_ == nullptr || !manager_->DraggingItem() || manager_->DragWindow() != nullptr) return false;
    TdxBarItemLink* dragged = manager_->DragLink();
    if (dragged == nullptr || links_ == nullptr || dragged->Links() != links_) return false;
    HWND window = handle_;
    // The window answers as any plain window from now on; the drag destroys it when it ends.
    EndMouseTracking(window);
    SetWindowLongPtr(window, GWLP_USERDATA, 0);
    ShowWindow(window, SW_HIDE);
    handle_ = nullptr;
    manager_->SetDragWindow(window);
    DestroyControls();
    return true;
}

void TdxBarSubMenuControl::HandBackToDropDownOwner() {
    TdxBarButtonControl* owner = dropDownOwner_;
    dropDownOwner_ = nullptr;
    TCustomdxBarControl* bar = owner != nullptr ? owner->ParentBar() : nullptr;
    if (bar == nullptr || !bar->Alive() || bar->Handle() == nullptr) return;
    const TcxObjectLinkPtr ownerAlive = MakeObjectLink(owner);
    owner->CloseUp();
    if (ownerAlive->Ref == nullptr) return;
    // A press on the button itself is the button's again (its bar holds it until the release); a key
    // that closed only this menu leaves the bar as it is; anything else (a chosen line, a click
    // elsewhere) ends the bar's chain too.
    if (owner->IsMouseOverAndPressed()) {
        bar->TakeOverPress(owner);
        return;
    }
    if (GetKeyState(VK_ESCAPE) < 0 || GetKeyState(VK_LEFT) < 0 || GetKeyState(VK_RIGHT) < 0) return;
    bar->HideAll();
}

void TdxBarSubMenuControl::FreeMenu() {
    if (freeing_) return;
    freeing_ = true;
    CloseWindow();
    if (ParentBar() != nullptr && ParentBar()->ChildBar() == this) ParentBar()->SetChildBar(nullptr);
    // Everything that refers to this window lets go now; the memory goes once no handler of it runs.
    std::unique_ptr<BarControl> owned;
    if (links_ != nullptr && links_->BarControl() == this) owned = links_->ReleaseBarControl();
    destroying_ = true;
    subItemOwner_ = nullptr;
    dropDownOwner_ = nullptr;
    if (manager_ != nullptr && manager_->SelectedItem() != nullptr &&
        manager_->SelectedItem()->Parent() == this)
        manager_->ForgetSelectedItem(manager_->SelectedItem());
    links_ = nullptr;
    manager_ = nullptr;
    UnregisterBarControl(this);
    ClearObjectLinks(this);
    ReleaseLater(std::move(owned));
}

void TdxBarSubMenuControl::SelectFirstLine() {
    if (links_ == nullptr) return;
    if (TdxBarItemLink* link = links_->FirstSelectable())
        if (auto* control = dynamic_cast<TdxBarItemControl*>(link->Control())) SelectControlByKey(control);
}

void TdxBarSubMenuControl::HideAll() {
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    TCustomdxBarControl::HideAll();
    // A menu at the root of its chain (a popup menu) closes itself.
    if (self->Ref != nullptr && ParentBar() == nullptr) FreeMenu();
}

// Messages.

LRESULT TdxBarSubMenuControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCCALCSIZE:
        if (RECT* r = TWMNCCalcSize(Message).ClientRect()) {
            r->left += 1;
            r->top += 1 + DetachHeight();
            r->right = std::max(r->left, r->right - 1);
            r->bottom = std::max(r->top, r->bottom - 1);
        }
        return 0;
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_MOUSELEAVE:
        SetDetachHot(false);
        return TCustomdxBarControl::WndProc(Message);
    case WM_LBUTTONDBLCLK:
        // A quick second press on the strip is a press like any other.
        if (HasDetachBar() && TWMMouse(Message).Pos().y < 0) {
            WMLButtonDown(TWMMouse(Message));
            return 0;
        }
        return TCustomdxBarControl::WndProc(Message);
    case WM_NCPAINT:
        NCPaint(TWMNCPaint(Message).PrintDC());
        return 0;
    case WM_NCACTIVATE:
        return 1;
    case WM_TIMER:
        WMTimer(TWMTimer(Message).TimerID());
        return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: {
        // In a menu shown at a point the right button acts as the left one.
        if (!IsFreePopup()) return TCustomdxBarControl::WndProc(Message);
        const TWMMouse mouse(Message);
        TMessage left{Message.Msg == WM_RBUTTONDOWN ? WM_LBUTTONDOWN : WM_LBUTTONUP, mouse.Keys(),
                      PackPoint(mouse.Pos()), 0};
        return TCustomdxBarControl::WndProc(left);
    }
    case WM_WINDOWPOSCHANGED:
        DefaultHandler(Message);
        if (const WINDOWPOS* pos = TWMWindowPosMsg(Message).WindowPos();
            pos != nullptr && (pos->flags & (SWP_NOSIZE | SWP_NOMOVE)) != (SWP_NOSIZE | SWP_NOMOVE)) {
            layoutValid_ = false;
            if (decorator != nullptr) decorator->Moved(*this);
        }
        return 0;
    default:
        return TCustomdxBarControl::WndProc(Message);
    }
}

void TdxBarSubMenuControl::NCPaint(HDC PrintDC) {
    if (handle_ == nullptr) return;
    std::optional<pw::gui::WindowDC> own;
    if (PrintDC == nullptr) own.emplace(handle_, pw::gui::WindowDC::Area::Window);
    HDC dc = PrintDC != nullptr ? PrintDC : own->Get();
    RECT window{0, 0, 0, 0};
    GetWindowRect(handle_, window);
    const RECT all{0, 0, window.right - window.left, window.bottom - window.top};
    Painter().DrawSubMenuBorder(*this, dc, all);
    // Where the item that opened it touches the border, the border stays open in the item's face.
    RECT joint = GetJointRect(false);
    if (IsRectEmpty(joint)) return;
    OffsetRect(joint, -window.left, -window.top);
    FillRect(dc, &joint, Painter().GetManagerBrush(manager_));
}

void TdxBarSubMenuControl::WMTimer(UINT_PTR Id) {
    if (Id == ScrollTimerId) {
        if (scrollTimer_ != 0) ScrollTick();
        return;
    }
    if (Id != ShowMarkTimerId && Id != ExpandTimerId) return;
    KillTimer(handle_, Id);
    if (Id == delayTimer_) delayTimer_ = 0;
    if (Id == ShowMarkTimerId) {
        if (ChildBar() == nullptr) SetMarkState(1);
    } else {
        SetMarkState(2);
    }
}

TdxBar* TdxBarSubMenuControl::DetachingBar() const {
    auto* item =
        subItemOwner_ != nullptr ? dynamic_cast<TCustomdxBarSubItem*>(subItemOwner_->Item()) : nullptr;
    if (item == nullptr || !item->Detachable() || manager_ == nullptr) return nullptr;
    const int index = item->DetachingBar();
    return index >= 0 && index < manager_->Bars()->Count() ? manager_->Bars()->Items(index) : nullptr;
}

int TdxBarSubMenuControl::DetachHeight() const {
    return HasDetachBar() ? Painter().GetSubMenuDetachHeight(const_cast<TdxBarSubMenuControl&>(*this)) : 0;
}

void TdxBarSubMenuControl::SetDetachHot(bool Value) {
    if (Value == detachHot_) return;
    detachHot_ = Value;
    NCPaint();
    UpdateHint(manager_, Value, Value ? LoadBarString(barstr::DragToFloat) : std::string());
}

TContainerItemSubMenuControl::TContainerItemSubMenuControl(TdxBarManager* AOwner, TdxBarItemLinks* ALinks)
    : TdxBarSubMenuControl(AOwner, ALinks),
      container_(MakeObjectLink(dynamic_cast<TCustomdxBarContainerItem*>(ALinks->LinksOwner()))) {}

TContainerItemSubMenuControl::~TContainerItemSubMenuControl() {
    // The container releases what it made once the window is gone.
    if (auto* container = static_cast<TCustomdxBarContainerItem*>(container_->Ref))
        container->ClearExpansion();
}

void TContainerItemSubMenuControl::CreateControls() {
    auto* container =
        dynamic_cast<TCustomdxBarContainerItem*>(links_ != nullptr ? links_->LinksOwner() : nullptr);
    if (container != nullptr && !filled_ && handle_ != nullptr) {
        // The container fills its own links for the line that opened the menu.
        filled_ = true;
        TdxBarItemLink* source = SubItemOwner() != nullptr ? SubItemOwner()->Link() : nullptr;
        ++changingOwnLinks_;
        container->ExpandInto(links_, 0, source, true);
        --changingOwnLinks_;
        if (links_ == nullptr) return;
    }
    TdxBarSubMenuControl::CreateControls();
}

void TContainerItemSubMenuControl::DestroyControls() {
    TdxBarSubMenuControl::DestroyControls();
    auto* container =
        dynamic_cast<TCustomdxBarContainerItem*>(links_ != nullptr ? links_->LinksOwner() : nullptr);
    if (container == nullptr || !filled_) return;
    filled_ = false;
    // What it generated stays until the window is freed: a clicked line's item still runs.
    ++changingOwnLinks_;
    container->CollapseFrom(links_, 0);
    --changingOwnLinks_;
}

} // namespace bars
