#include "bars/windows/edit_control.h"

#include <algorithm>
#include <string>

#include "bars/core/bar_edit.h"
#include "bars/core/bar_manager.h"
#include "bars/core/item_links.h"
#include "bars/painters/painter.h"
#include "bars/windows/bar_control.h"
#include "bars/windows/toolbar_control.h"
#include "lookandfeel/object_links.h"
#include "platform/commctrl/common_controls.h"
#include "platform/commctrl/std_controls.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/gdi/text.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/window.h"
#include "platform/vcl/form.h"

namespace bars {

namespace {
inline constexpr int kBoxTextIndent = 3;
}

std::unique_ptr<ItemControl> CreateEditControl(TdxBarItemLink* Link) {
    return std::make_unique<TdxBarEditControl>(Link);
}

TdxBarEditControl::~TdxBarEditControl() {
    if (edit_ == nullptr) return;
    focused_ = false;
    SetWindowLongPtr(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    DestroyWindow(edit_);
}

TdxBarEdit* TdxBarEditControl::EditItem() const {
    return dynamic_cast<TdxBarEdit*>(Item());
}

std::string TdxBarEditControl::EditText() const {
    if (focused_ && edit_ != nullptr) return GetWindowText(edit_);
    TdxBarEdit* item = EditItem();
    return item != nullptr ? item->Text() : std::string();
}

bool TdxBarEditControl::ShowsCaption() const {
    TdxBarEdit* item = EditItem();
    return !OnToolbar() || (item != nullptr && item->ShowCaption());
}

int TdxBarEditControl::CaptionWidth() const {
    if (!ShowsCaption() || ParentBar() == nullptr) return 0;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, ParentBar()->PaintFont());
    RECT r{0, 0, 0, 0};
    std::string caption = GetCaption();
    DrawText(dc, caption.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    DeleteDC(dc);
    return r.right - r.left + 8;
}

int TdxBarEditControl::GetHeight() const {
    const int text = ParentBar() != nullptr ? ParentBar()->TextSize() : 16;
    TdxBarManager* manager = Link() != nullptr ? Link()->BarManager() : nullptr;
    return std::max(text + 6, manager != nullptr ? manager->ButtonHeight() : 0);
}

int TdxBarEditControl::GetWidth() const {
    return CaptionWidth() + (Link() != nullptr ? Link()->Width() : 100);
}

RECT TdxBarEditControl::EditRect() const {
    RECT r = Bounds();
    r.left += CaptionWidth();
    InflateRect(r, -1, -1);
    return r;
}

void TdxBarEditControl::Draw(HDC DC, const RECT& R, int) {
    if (R.right <= R.left) return;
    TCustomdxBarControl* bar = ParentBar();
    if (bar != nullptr) bar->PaintBackground(DC, R, bar->BkBrush());
    SetBkMode(DC, TRANSPARENT);
    HGDIOBJ oldFont = bar != nullptr ? SelectObject(DC, bar->PaintFont()) : nullptr;
    const bool enabled = GetEnabled();
    SetTextColor(DC, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    if (const int caption = CaptionWidth(); caption > 0) {
        RECT c{R.left + 4, R.top, R.left + caption, R.bottom};
        std::string text = GetCaption();
        DrawText(DC, text.c_str(), -1, &c, DT_SINGLELINE | DT_VCENTER);
    }
    RECT box = EditRect();
    FillRect(DC, &box, GetSysColorBrush(enabled ? COLOR_WINDOW : COLOR_BTNFACE));
    FrameRect(DC, &box, GetSysColorBrush(IsSelected() ? COLOR_HIGHLIGHT : COLOR_BTNSHADOW));
    // While editing the window draws the text itself.
    if (!(focused_ && enabled)) {
        RECT t = box;
        t.left += kBoxTextIndent;
        t.right -= kBoxTextIndent;
        const std::string text = EditText();
        SetTextColor(DC, GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
        DrawText(DC, text.c_str(), -1, &t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (oldFont != nullptr) SelectObject(DC, oldFont);
}

void TdxBarEditControl::CreateEditWindow() {
    if (edit_ != nullptr || ParentBar() == nullptr || ParentBar()->Handle() == nullptr) return;
    InitCommonControls();
    edit_ = CreateWindowEx(0, "EDIT", "", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 100, 20, ParentBar()->Handle(),
                           nullptr, nullptr, nullptr);
    if (edit_ == nullptr) return;
    if (TdxBarEdit* item = EditItem(); item != nullptr && item->MaxLength() > 0)
        SendMessage(edit_, EM_LIMITTEXT, static_cast<WPARAM>(item->MaxLength()), 0);
    SetWindowLongPtr(edit_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TdxBarEditControl::EditProc)));
}

void TdxBarEditControl::SetFocused(bool Value) {
    if (Value == focused_) return;
    TdxBarManager* manager = Link() != nullptr ? Link()->BarManager() : nullptr;
    if (Value) {
        CreateEditWindow();
        TdxBarEdit* item = EditItem();
        if (edit_ == nullptr || item == nullptr) return;
        prevFocus_ = GetFocus();
        focused_ = true;
        SendMessage(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(ParentBar()->PaintFont()), 0);
        SendMessage(edit_, EM_SETREADONLY, item->ReadOnly() ? 1 : 0, 0);
        const RECT r = EditRect();
        SetWindowPos(edit_, nullptr, r.left + 1, r.top + 1, r.right - r.left - 2, r.bottom - r.top - 2,
                     SWP_SHOWWINDOW | SWP_NOZORDER | SWP_NOACTIVATE);
        Painter().SetEditMargins(*this, edit_);
        SetWindowText(edit_, item->Text());
        SetFocus(edit_);
        SendMessage(edit_, EM_SETSEL, 0, -1);
        Repaint();
        return;
    }
    focused_ = false;
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    ShowWindow(edit_, SW_HIDE);
    if (manager == nullptr || !manager->IsDestroying()) {
        HWND back = prevFocus_;
        if (back == nullptr || !IsWindowVisible(back)) {
            TCustomForm* form = manager != nullptr ? manager->ParentForm() : nullptr;
            back = form != nullptr && form->HandleAllocated() && IsWindowVisible(form->Handle())
                       ? form->Handle()
                       : nullptr;
        }
        if (back != nullptr && GetFocus() == edit_) SetFocus(back);
    }
    prevFocus_ = nullptr;
    if (self->Ref == nullptr) return;
    // Escape alone leaves the item as it was, even where the manager keeps texts on focus loss.
    if (manager != nullptr && manager->AlwaysSaveText() && !escaping_ && !SaveText()) return;
    Repaint();
}

bool TdxBarEditControl::SaveText() {
    TdxBarEdit* item = EditItem();
    if (item == nullptr || edit_ == nullptr) return true;
    // The whole text, however long: the window holds no more than the item may take.
    const std::string text = GetWindowText(edit_);
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    item->SetText(text);
    return self->Ref != nullptr;
}

void TdxBarEditControl::ControlInactivate(bool Immediately) {
    TdxBarItemControl::ControlInactivate(Immediately);
    SetFocused(false);
}

void TdxBarEditControl::BeforeClick(bool ByMouse) {
    SetFocused(true);
    TdxBarItemControl::BeforeClick(ByMouse);
}

bool TdxBarEditControl::LeaveByKey(WORD Key) {
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    if (Key == VK_RETURN || Key == VK_TAB) {
        if (Key == VK_RETURN && Link() != nullptr) Link()->Use(true);
        if (!SaveText()) return true;
    }
    TCustomdxBarControl* bar = ParentBar();
    const TcxObjectLinkPtr barLink = MakeObjectLink(bar);
    escaping_ = Key == VK_ESCAPE;
    SetFocused(false);
    if (self->Ref == nullptr) return true;
    escaping_ = false;
    if (barLink->Ref == nullptr || bar->Handle() == nullptr) return true;
    switch (Key) {
    case VK_RETURN:
        bar->HideAll();
        break;
    case VK_ESCAPE:
        // The bar keeps the item selected by key, nothing open on it: a second Escape closes the bar,
        // a click edits again.
        if (auto* toolbar = dynamic_cast<TdxBarControl*>(bar); toolbar != nullptr)
            toolbar->SetMenuOpened(false);
        break;
    default:
        SendMessage(bar->Handle(), WM_KEYDOWN, Key, 0);
        break;
    }
    return true;
}

LRESULT TdxBarEditControl::EditProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto* self = reinterpret_cast<TdxBarEditControl*>(GetWindowLongPtr(Wnd, GWLP_USERDATA));
    TMessage message{Msg, WParam, LParam, 0};
    if (self == nullptr) return DefWindowProc(Wnd, message);
    return self->WndProc(message);
}

LRESULT TdxBarEditControl::WndProc(TMessage& Message) {
    const HWND wnd = edit_;
    const WNDPROC previous = previous_;
    switch (Message.Msg) {
    case WM_KEYDOWN: {
        const WORD key = TWMKey(Message).CharCode();
        if (key == VK_RETURN || key == VK_ESCAPE || key == VK_TAB) {
            // The characters these keys make are not typed into the box.
            MSG pending{};
            while (PeekMessage(pending, wnd, WM_CHAR, WM_CHAR, PM_REMOVE)) {
            }
            LeaveByKey(key);
            return 0;
        }
        break;
    }
    case WM_CHAR: {
        const WORD key = TWMKey(Message).CharCode();
        if (key == '\r' || key == '\t' || key == 0x1B) return 0;
        break;
    }
    case WM_KILLFOCUS:
        // The focus went elsewhere while editing: the control leaves edit mode (the window stays).
        if (focused_) {
            const LRESULT result = CallWindowProc(previous, wnd, Message);
            SetFocused(false);
            return result;
        }
        break;
    default:
        break;
    }
    return CallWindowProc(previous, wnd, Message);
}

} // namespace bars
