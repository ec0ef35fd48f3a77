#include "bars/windows/quick_customize.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_strings.h"
#include "bars/core/bar_unit.h"
#include "bars/core/item_links.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/painters/painter.h"
#include "bars/windows/loop_call.h"
#include "lookandfeel/object_links.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "platform/rtl/wintypes.h"
#include "platform/vcl/shortcut.h"

namespace bars {
namespace {

constexpr UINT CloseCheckInterval = 200;

// The drop-down open now (one in the process at a time, as an open menu chain is) and the timer that
// closes it when another bar has taken the menus.
TdxBarQuickControl* current = nullptr;
UINT_PTR closeTimer = 0;
// Every drop-down not yet freed, open or waiting to be freed.
std::vector<TdxBarQuickControl*> living;

// A link shows on its toolbar only with a control of some size; the others did not fit.
bool DidNotFit(TdxBarItemLink* Link) {
    const RECT r = Link->ItemRect();
    return Link->Control() == nullptr || r.right <= r.left || r.bottom <= r.top;
}

void StopCloseTimer() {
    if (closeTimer != 0) KillTimer(nullptr, closeTimer);
    closeTimer = 0;
}

void CloseTimerProc(HWND, UINT, UINT_PTR, DWORD) {
    StopCloseTimer();
    TdxBarQuickControl* quick = current;
    BarControl* active = GetActiveBarControl();
    if (quick == nullptr || active == nullptr || active == quick || quick->SourceBar() == nullptr) return;
    try {
        quick->SourceBar()->SetMarkState(0);
    } catch (...) {
        // A handler's failure while the drop-down closes must not escape into the timer.
    }
}

// The square of a check line: a check item without a picture, drawn down while the source shows.
class CheckCell : public ItemPaintView {
public:
    explicit CheckCell(ItemPaintView& Line) : line_(Line) {}
    BarPaintView& ParentView() const override { return line_.ParentView(); }
    bool PaintEnabled() const override { return line_.PaintEnabled(); }
    std::string PaintCaption() const override { return std::string(); }
    bool IsCheckItem() const override { return true; }

private:
    ItemPaintView& line_;
};

} // namespace

TdxBarItemLink* TdxBarQuickCustItem::SourceLink(const TdxBarItemLink* Link) const {
    const auto it = sources_.find(Link);
    return it != sources_.end() ? it->second : nullptr;
}

void TdxBarQuickCustItem::SetSourceLink(const TdxBarItemLink* Link, TdxBarItemLink* Source) {
    sources_[Link] = Source;
}

std::unique_ptr<ItemControl> CreateQuickCustExtButtonControl(TdxBarItemLink* Link) {
    return std::make_unique<TdxBarQuickCustExtButtonControl>(Link);
}

std::unique_ptr<ItemControl> CreateQuickCustItemControl(TdxBarItemLink* Link) {
    return std::make_unique<TdxBarQuickCustItemControl>(Link);
}

TdxBarItemLink* TdxBarQuickCustItemControl::SourceLink() const {
    auto* item = dynamic_cast<TdxBarQuickCustItem*>(Item());
    return item != nullptr ? item->SourceLink(link_) : nullptr;
}

std::string TdxBarQuickCustItemControl::GetCaption() const {
    TdxBarItemLink* source = SourceLink();
    return source != nullptr ? source->Caption() : TdxBarButtonControl::GetCaption();
}

std::string TdxBarQuickCustItemControl::GetHint() const {
    TdxBarItemLink* source = SourceLink();
    return source != nullptr && source->Item() != nullptr ? source->Item()->Hint()
                                                          : TdxBarButtonControl::GetHint();
}

TBitmap* TdxBarQuickCustItemControl::PaintGlyph() const {
    TdxBarItemLink* source = SourceLink();
    return source != nullptr ? source->Glyph() : TdxBarButtonControl::PaintGlyph();
}

int TdxBarQuickCustItemControl::PaintImageIndex() const {
    TdxBarItemLink* source = SourceLink();
    if (source == nullptr) return TdxBarButtonControl::PaintImageIndex();
    return source->Item() != nullptr ? source->Item()->GetImageIndex() : -1;
}

std::string TdxBarQuickCustItemControl::ShortCutText() const {
    TdxBarItemLink* source = SourceLink();
    if (source == nullptr) return TdxBarButtonControl::ShortCutText();
    TdxBarItem* item = source->Item();
    return item != nullptr && item->ShortCut() != scNone ? ShortCutToText(item->ShortCut()) : std::string();
}

int TdxBarQuickCustItemControl::GetWidth() const {
    // The room of a menu line and, before it, the square as high as the line.
    return CalcDefaultWidth() + CalcDefaultHeight();
}

void TdxBarQuickCustItemControl::ControlClick(bool ByMouse) {
    TdxBarItemLink* source = SourceLink();
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    const TcxObjectLinkPtr sourceAlive = MakeObjectLink(source);
    TdxBarButtonControl::ControlClick(ByMouse);
    // The toolbar shows or hides the button at once; the menu stays open with the line's new state.
    if (source == nullptr || sourceAlive->Ref == nullptr || !GetEnabled()) return;
    source->SetVisible(!source->Visible());
    if (source->BarManager() != nullptr) source->BarManager()->NoteUserChange();
    if (self->Ref != nullptr) Repaint();
}

void TdxBarQuickCustItemControl::Draw(HDC DC, const RECT& R, int) {
    if (R.right <= R.left) return;
    const TdxBarItemControlPainter& painter = Painter();
    const bool selected = IsSelected();
    RECT check = R;
    int start = R.left;
    painter.CalcQuickCheckRect(*this, DC, false, start, check);
    if (HasCheck()) {
        TdxBarItemLink* source = SourceLink();
        CheckCell cell(*this);
        ItemState state;
        state.Down = source != nullptr && source->Visible();
        // A flat line shows the square in the line's hot look; otherwise it stands as its own box.
        state.Selected = selected && painter.IsQuickItemFlat();
        state.Enabled = GetEnabled();
        painter.DrawGlyph(cell, DC, check, state, nullptr);
    } else {
        painter.DrawBackground(*this, DC, false, ParentView().BkBrush(), check);
    }
    DrawMenuLine(DC, RECT{start, R.top, R.right, R.bottom});
    painter.CalcQuickItemRects(*this, DC, selected, check, R);
}

TdxBarQuickControl::TdxBarQuickControl(TdxBarControl* Source, TdxBar* HiddenBar)
    : TdxBarControl(Source->Manager(), HiddenBar), source_(Source) {
    hasCaption_ = false;
    living.push_back(this);
}

TdxBarQuickControl::~TdxBarQuickControl() {
    std::erase(living, this);
    if (current == this) {
        current = nullptr;
        StopCloseTimer();
    }
    // The controls of its links go before the links.
    TdxBar* hidden = Bar();
    ForgetBar();
    if (TdxBarQuickSubItem* sub = QuickSubItem()) sub->ItemLinks()->Clear();
    delete QuickCustItem();
    if (ownsBar_ && hidden != nullptr) delete hidden;
}

void TdxBarQuickControl::ManagerGoing(TdxBarManager* Manager) {
    // The manager frees its bars, the hidden ones too: a drop-down waiting to be freed lets go of its bar.
    // They go last first: the drop-down's hidden bar, and the drop-down with it, before the toolbar
    // that opened it, which must not release it then.
    for (TdxBarQuickControl* quick : std::vector<TdxBarQuickControl*>(living))
        if (quick->Manager() == Manager) {
            if (quick->source_ != nullptr) quick->source_->QuickControlGone(quick);
            quick->source_ = nullptr;
            quick->ForgetBar();
            quick->ownsBar_ = false;
        }
}

TdxBarQuickSubItem* TdxBarQuickControl::QuickSubItem() const {
    return subItemAlive_ != nullptr && subItemAlive_->Ref != nullptr ? quickSubItem_ : nullptr;
}

TdxBarQuickCustItem* TdxBarQuickControl::QuickCustItem() const {
    return custItemAlive_ != nullptr && custItemAlive_->Ref != nullptr ? quickCustItem_ : nullptr;
}

HBRUSH TdxBarQuickControl::GetBkBrush() const {
    return Painter().GetQuickControlBrush(const_cast<TdxBarQuickControl&>(*this));
}

void TdxBarQuickControl::HideAll() {
    TdxBarControl* source = source_;
    const bool wasActive = GetActiveBarControl() == this;
    const TcxObjectLinkPtr sourceAlive = MakeObjectLink(source);
    TdxBarControl::HideAll();
    if (source == nullptr || sourceAlive->Ref == nullptr) return;
    // A press on the mark closed it: that press must not open it again.
    POINT p{0, 0};
    GetCursorPos(p);
    if (wasActive && (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0 && PtInRect(source->MarkScreenRect(), p))
        source->IgnoreNextMouseUp();
    source->SetMarkState(0);
}

SIZE TdxBarQuickControl::WindowSize() {
    SIZE size{0, 0};
    // The narrowest wrap: rows as wide as the widest control ("&Add or Remove Buttons").
    CalcSize(dsNone, 0, size);
    const TdxBarItemControlPainter& painter = Painter();
    return SIZE{size.cx + 2 * painter.GetFloatingBorderWidth(),
                size.cy + 2 * painter.GetFloatingBorderHeight()};
}

LRESULT TdxBarQuickControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCHITTEST: {
        // Its frame neither sizes nor moves it.
        const LRESULT hit = TdxBarControl::WndProc(Message);
        return hit == HTCLIENT ? HTCLIENT : HTBORDER;
    }
    case WM_RBUTTONDOWN:
        // No toolbars popup from here.
        return DefaultHandler(Message);
    case WM_WINDOWPOSCHANGED: {
        const LRESULT result = TdxBarControl::WndProc(Message);
        const WINDOWPOS* pos = TWMWindowPosMsg(Message).WindowPos();
        if (pos != nullptr && (pos->flags & SWP_HIDEWINDOW) != 0 && !DestroyingControls() &&
            source_ != nullptr)
            source_->SetMarkState(0);
        return result;
    }
    default:
        return TdxBarControl::WndProc(Message);
    }
}

void TdxBarQuickControl::FillAddRemove() {
    TdxBar* bar = source_ != nullptr ? source_->Bar() : nullptr;
    TdxBarManager* manager = Manager();
    if (QuickSubItem() == nullptr || bar == nullptr || manager == nullptr) return;
    FreeUnlinkedTempItems();
    TdxBarItemLinks* lines = quickSubItem_->ItemLinks();
    lines->Clear();
    delete QuickCustItem();
    quickCustItem_ = new TdxBarQuickCustItem(nullptr);
    quickCustItem_->SetBarManager(manager);
    custItemAlive_ = MakeObjectLink(quickCustItem_);
    TdxBarItemLinks* source = bar->ItemLinks();
    for (int i = 0; i < source->Count(); ++i) {
        TdxBarItemLink* link = source->Items(i);
        if (link->Item() == nullptr || link->Item()->BarManager() != manager) continue;
        TdxBarItemLink* line = lines->Add();
        line->SetItem(quickCustItem_);
        quickCustItem_->SetSourceLink(line, link);
    }
    if (manager->CanCustomize() && bar->AllowCustomizing() && bar->CanReset()) {
        auto* reset = new TdxBarQuickCustExtButton(nullptr);
        reset->SetBarManager(manager);
        TempItems().push_back(reset);
        reset->SetCaption(LoadBarString(barstr::ResetToolbar));
        const std::shared_ptr<TcxObjectLink> sourceAlive = MakeObjectLink(source_);
        // The reset runs from the loop, once the menus have closed: it rebuilds the toolbar's links.
        reset->SetOnClick([sourceAlive, bar](TObject*) {
            CallFromLoop([sourceAlive, bar] {
                if (sourceAlive->Ref != nullptr) bar->Reset();
            });
        });
        TdxBarItemLink* line = lines->Add();
        line->SetItem(reset);
        line->SetBeginGroup(true);
    }
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

TdxBarQuickControl* ShowQuickControl(TdxBarControl* Source) {
    TdxBar* bar = Source != nullptr ? Source->Bar() : nullptr;
    TdxBarManager* manager = Source != nullptr ? Source->Manager() : nullptr;
    if (bar == nullptr || manager == nullptr || manager->Bars() == nullptr || Source->Handle() == nullptr)
        return nullptr;
    FreeUnlinkedTempItems();
    TdxBar* hidden = manager->Bars()->Add();
    hidden->SetHidden(true);
    hidden->SetShowMark(false);
    hidden->SetAllowClose(false);
    hidden->SetNotDocking(AllDockingStyles);
    hidden->Font()->Assign(bar->Font());
    hidden->SetUseOwnFont(bar->UseOwnFont());
    auto made = std::make_unique<TdxBarQuickControl>(Source, hidden);
    TdxBarQuickControl* quick = made.get();
    hidden->ItemLinks()->SetBarControl(std::move(made));
    current = quick;
    const RECT mark = Source->MarkScreenRect();
    quick->SetOwnerItem(mark, Source);

    auto* addRemove = new TdxBarQuickSubItem(nullptr);
    addRemove->SetBarManager(manager);
    TempItems().push_back(addRemove);
    quick->quickSubItem_ = addRemove;
    quick->subItemAlive_ = MakeObjectLink(addRemove);
    addRemove->SetCaption(LoadBarString(barstr::AddOrRemoveButtons));
    addRemove->SetEnabled(bar->AllowQuickCustomizing());
    if (bar->AllowQuickCustomizing()) {
        const std::shared_ptr<TcxObjectLink> alive = MakeObjectLink(quick);
        addRemove->OnPopup = [alive, quick](TObject*) {
            if (alive->Ref != nullptr) quick->FillAddRemove();
        };
    }
    TdxBarItemLinks* links = hidden->ItemLinks();
    for (TdxBarItemLink* link : std::vector<TdxBarItemLink*>(bar->ItemLinks()->VisibleLinks())) {
        if (!DidNotFit(link) || link->Item() == nullptr) continue;
        TdxBarItemLink* copy = links->Add();
        copy->Assign(link);
        // Uses are counted on the toolbar's own link.
        copy->SetMasterLink(link);
    }
    TdxBarItemLink* last = links->Add();
    last->SetItem(addRemove);
    last->SetBeginGroup(true);

    quick->SetDocked(dsNone, nullptr);
    if (quick->Handle() == nullptr) {
        ReleaseQuickControl(quick);
        return nullptr;
    }
    const SIZE size = quick->WindowSize();
    MONITORINFO info;
    GetMonitorInfo(MonitorFromPoint(POINT{mark.left, mark.top}, MONITOR_DEFAULTTONEAREST), info);
    const POINT at = QuickControlPlace(mark, size, IsVerticalBarControl(Source),
                                       Source->DockingStyle() == dsNone, info.rcWork);
    SetWindowPos(quick->Handle(), nullptr, at.x, at.y, size.cx, size.cy,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOZORDER);
    return quick;
}

void ReleaseQuickControl(TdxBarQuickControl* Control) {
    if (Control == nullptr) return;
    Control->source_ = nullptr;
    if (current == Control) {
        current = nullptr;
        StopCloseTimer();
    }
    if (Control->Handle() != nullptr) ShowWindow(Control->Handle(), SW_HIDE);
    TdxBar* hidden = Control->Bar();
    TdxBarManager* manager = Control->Manager();
    // A manager on its way frees its bars itself, the hidden bar and this window with it.
    if (hidden == nullptr || manager == nullptr || manager->IsDestroying()) return;
    Control->ownsBar_ = true;
    TCustomdxBarControl::ReleaseLater(hidden->ItemLinks()->ReleaseBarControl());
}

TdxBarQuickControl* CurrentQuickControl() {
    return current;
}

bool QuickControlShown() {
    return current != nullptr;
}

void QuickControlSelectionElsewhere(const TCustomdxBarControl* Bar) {
    if (current == nullptr || current == Bar || current->IsActive() || closeTimer != 0) return;
    closeTimer = SetTimer(nullptr, 0, CloseCheckInterval, &CloseTimerProc);
}

void CloseQuickControlOnPress(UINT Msg, HWND Window, POINT P) {
    TdxBarQuickControl* quick = current;
    const bool button = (Msg >= WM_LBUTTONDOWN && Msg <= WM_MBUTTONDBLCLK) ||
                        (Msg >= WM_NCLBUTTONDOWN && Msg <= WM_NCMBUTTONDBLCLK);
    if (quick == nullptr || quick->IsActive() || !button || quick->SourceBar() == nullptr) return;
    if (Window != nullptr && Window == quick->Handle()) return;
    TdxBarControl* source = quick->SourceBar();
    // The mark that opened it toggles it itself.
    if (Window != nullptr && Window == source->Handle() && PtInRect(source->MarkScreenRect(), P) &&
        Msg != WM_RBUTTONDOWN)
        return;
    source->SetMarkState(0);
}

} // namespace bars
