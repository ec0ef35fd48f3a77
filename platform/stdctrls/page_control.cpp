#include "platform/stdctrls/page_control.h"

#include <algorithm>

#include "platform/commctrl/common_controls.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/format.h"
#include "platform/vcl/form.h"

// Sheet.

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
    controlStyle_ = TControlStyle{csAcceptsControls, csClickEvents, csDoubleClicks};
    SetVisible(false);
    SetAlign(alClient);
    SetColor(clBtnFace);
}

TTabSheet::~TTabSheet() {
    SetPageControl(nullptr);
}

void TTabSheet::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TTabSheet::SetPageControl(TPageControl* Value) {
    if (pageControl_ == Value) return;
    if (pageControl_) pageControl_->RemovePage(this);
    pageControl_ = Value;
    SetParent(Value);
    if (Value) Value->InsertPage(this);
}

int TTabSheet::PageIndex() const {
    if (!pageControl_) return -1;
    const auto& pages = pageControl_->pages_;
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int Value) {
    if (!pageControl_) return;
    auto& pages = pageControl_->pages_;
    const int from = PageIndex();
    const int to = std::clamp(Value, 0, static_cast<int>(pages.size()) - 1);
    if (from == to) return;
    pages.erase(pages.begin() + from);
    pages.insert(pages.begin() + to, this);
    pageControl_->UpdateTabs();
}

int TTabSheet::TabIndex() const {
    if (!pageControl_ || !tabVisible_) return -1;
    int index = 0;
    for (TTabSheet* p : pageControl_->pages_) {
        if (p == this) return index;
        if (p->tabVisible_) ++index;
    }
    return -1;
}

void TTabSheet::SetTabVisible(bool Value) {
    if (tabVisible_ == Value) return;
    tabVisible_ = Value;
    if (pageControl_) pageControl_->UpdateTabs();
}

void TTabSheet::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
        TWinControl::WndProc(Message);
        if (pageControl_) pageControl_->UpdateTabs();
        return;
    case CM_SHOWINGCHANGED:
    case CM_VISIBLECHANGED:
        TWinControl::WndProc(Message);
        if (Message.Msg == CM_VISIBLECHANGED) {
            if (Visible() && OnShow) OnShow(this);
            if (!Visible() && OnHide) OnHide(this);
        }
        return;
    default:
        TWinControl::WndProc(Message);
    }
}

// Page control.

TPageControl::TPageControl(TComponent* AOwner) : TWinControl(AOwner) {
    InitCommonControls();
    controlStyle_ = TControlStyle{csDoubleClicks};
    SetBounds(0, 0, 289, 193);
    SetTabStop(true);
    SetColor(clBtnFace);
}

TPageControl::~TPageControl() {
    for (TTabSheet* p : pages_)
        p->pageControl_ = nullptr;
}

void TPageControl::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, WC_TABCONTROL);
    Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TPageControl::CreateWnd() {
    TWinControl::CreateWnd();
    UpdateTabs();
}

TTabSheet* TPageControl::Pages(int Index) const {
    if (Index < 0 || Index >= PageCount()) throw EListError(Format("List index out of bounds (%d)", Index));
    return pages_[static_cast<size_t>(Index)];
}

void TPageControl::InsertPage(TTabSheet* Page) {
    pages_.push_back(Page);
    UpdateTabs();
}

void TPageControl::RemovePage(TTabSheet* Page) {
    TTabSheet* next = nullptr;
    if (Page == activePage_) {
        next = FindNextPage(Page, true, false);
        if (next == Page) next = nullptr;
    }
    pages_.erase(std::remove(pages_.begin(), pages_.end(), Page), pages_.end());
    if (Page == activePage_) {
        activePage_ = nullptr;
        SetActivePage(next);
    }
    UpdateTabs();
}

bool TPageControl::AnyTabVisible() const {
    return std::any_of(pages_.begin(), pages_.end(), [](const TTabSheet* p) { return p->tabVisible_; });
}

void TPageControl::UpdateTabs() {
    if (!HandleAllocated()) return;
    updatingTabs_ = true;
    SendMessage(Handle(), TCM_DELETEALLITEMS, 0, 0);
    int index = 0;
    for (TTabSheet* p : pages_) {
        if (!p->tabVisible_) continue;
        std::string text = p->Caption();
        TCITEM item;
        item.mask = TCIF_TEXT | TCIF_PARAM;
        item.pszText = text.data();
        item.lParam = reinterpret_cast<LPARAM>(p);
        SendMessage(Handle(), TCM_INSERTITEM, static_cast<WPARAM>(index++), reinterpret_cast<LPARAM>(&item));
    }
    if (activePage_) SendMessage(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(activePage_->TabIndex()), 0);
    updatingTabs_ = false;
    Realign();
    Invalidate();
}

TRect TPageControl::DisplayRect() {
    TRect r = ClientRect();
    AdjustClientRect(r);
    return r;
}

void TPageControl::AlignControls(TControl* AControl, TRect& Rect) {
    TWinControl::AlignControls(AControl, Rect);
    // Hidden pages take the display area too, so that the controls anchored on them keep their
    // distances to its edges whichever page was shown while the control changed its size.
    const TRect display = DisplayRect();
    for (TTabSheet* page : pages_)
        if (!page->Visible())
            page->SetBounds(display.left, display.top, display.right - display.left,
                            display.bottom - display.top);
}

void TPageControl::AdjustClientRect(TRect& Rect) {
    if (!HandleAllocated() || !AnyTabVisible()) {
        // Without tabs the pages fill the control inside its frame: the wizard style.
        Rect = TRect{Rect.left + 4, Rect.top + 4, Rect.right - 4, Rect.bottom - 4};
        return;
    }
    RECT r{Rect.left, Rect.top, Rect.right, Rect.bottom};
    SendMessage(Handle(), TCM_ADJUSTRECT, 0, reinterpret_cast<LPARAM>(&r));
    Rect = TRect{r.left, r.top, r.right, r.bottom};
}

void TPageControl::ShowPage(TTabSheet* Page) {
    if (Page) {
        Page->BringToFront();
        Page->SetVisible(true);
    }
}

void TPageControl::SetActivePage(TTabSheet* Page) {
    if (Page && Page->pageControl_ != this) return;
    if (Page == activePage_) return;
    TTabSheet* old = activePage_;
    TCustomForm* form = GetParentForm(this);
    const bool focusOnOld = form != nullptr && old != nullptr && old->ContainsControl(form->ActiveControl());
    activePage_ = Page;
    ShowPage(Page);
    // The focus does not stay behind on a page that goes: the first control of the new page takes it.
    if (focusOnOld) {
        TWinControl* next = Page ? Page->FindNextControl(nullptr, true, true, false) : nullptr;
        if (next == nullptr && CanFocus()) next = this;
        if (next != nullptr) form->SetActiveControl(next);
    }
    if (old) old->SetVisible(false);
    if (HandleAllocated())
        SendMessage(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(Page ? Page->TabIndex() : -1), 0);
}

void TPageControl::SetActivePageIndex(int Value) {
    SetActivePage(Value >= 0 && Value < PageCount() ? pages_[static_cast<size_t>(Value)] : nullptr);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* Current, bool GoForward, bool CheckTabVisible) const {
    if (pages_.empty()) return nullptr;
    const int count = PageCount();
    int start = Current ? Current->PageIndex() : -1;
    if (start < 0) start = GoForward ? count - 1 : 0;
    int i = start;
    for (int n = 0; n < count; ++n) {
        i = (i + (GoForward ? 1 : count - 1)) % count;
        TTabSheet* p = pages_[static_cast<size_t>(i)];
        if (!CheckTabVisible || p->tabVisible_) return p;
    }
    return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible) {
    TTabSheet* page = FindNextPage(activePage_, GoForward, CheckTabVisible);
    if (page && page != activePage_ && CanChange()) {
        SetActivePage(page);
        Change();
    }
}

bool TPageControl::CanChange() {
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    return allow;
}

void TPageControl::Change() {
    if (OnChange) OnChange(this);
}

void TPageControl::WndProc(TMessage& Message) {
    if (Message.Msg == CN_NOTIFY && !updatingTabs_) return CNNotify(TWMNotify(Message));
    if (Message.Msg == CM_DIALOGKEY) return CMDialogKey(TWMKey(Message));
    TWinControl::WndProc(Message);
}

// Ctrl+Tab and Ctrl+PageDown show the next page, with Shift or PageUp the one before, while the focus is
// on the control or on any control of its pages; a page control inside a page has the first say.
void TPageControl::CMDialogKey(TWMKey Message) {
    TWinControl::WndProc(Message);
    if (Message.Result != 0) return;
    const WORD key = Message.CharCode();
    if ((key != VK_TAB && key != VK_NEXT && key != VK_PRIOR) || GetKeyState(VK_CONTROL) >= 0) return;
    const HWND focus = GetFocus();
    if (!HandleAllocated() || (focus != Handle() && !IsChild(Handle(), focus))) return;
    TTabSheet* page =
        FindNextPage(activePage_, key == VK_TAB ? GetKeyState(VK_SHIFT) >= 0 : key == VK_NEXT, true);
    if (page == nullptr || page == activePage_) return;
    SelectNextPage(key == VK_TAB ? GetKeyState(VK_SHIFT) >= 0 : key == VK_NEXT);
    Message.Result = 1;
}

void TPageControl::CNNotify(TWMNotify Message) {
    const NMHDR* hdr = Message.NMHdr();
    switch (hdr ? hdr->code : 0) {
    case TCN_SELCHANGING:
        Message.Result = CanChange() ? 0 : 1;
        return;
    case TCN_SELCHANGE:
        return TabChanged();
    default:
        return TWinControl::WndProc(Message);
    }
}

// The page of the chosen tab shows.
void TPageControl::TabChanged() {
    const int tab = static_cast<int>(SendMessage(Handle(), TCM_GETCURSEL, 0, 0));
    for (TTabSheet* p : pages_)
        if (p->TabIndex() == tab && tab >= 0) {
            SetActivePage(p);
            break;
        }
    Change();
}
