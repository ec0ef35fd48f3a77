// The "COMBOBOX" class (drop-down with an edit, and drop-down list) and its "ComboLBox" pop-up list.
#include <algorithm>
#include <optional>
#include <string>

#include "platform/commctrl/class_registry.h"
#include "platform/commctrl/control.h"
#include "platform/commctrl/control_views.h"
#include "platform/commctrl/item_list.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/gdi/text.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"

namespace pw::commctrl {
namespace {

inline constexpr int kEditId = 1001;
inline constexpr int kMaxDropItems = 8;
inline constexpr int kButtonWidth = 16;

class ComboBox;

// The pop-up list: it never takes activation or focus; the combo box keeps the keyboard.
class DropList : public Control {
public:
    using Control::Control;
    LRESULT Handle(TMessage& m) override;
    void SetOwner(ComboBox* combo) { combo_ = combo; }
    int top = 0;
    int hot = -1;

private:
    int ItemAt(POINT p) const;
    LRESULT MouseMove(TWMMouse m);
    LRESULT ButtonDown(TWMMouse m);
    LRESULT ButtonUp(TWMMouse m);
    LRESULT CaptureChanged(TWMCaptureChanged m);
    LRESULT VScroll(TWMScroll m);
    LRESULT Paint(TWMPaint m);
    ComboBox* combo_ = nullptr;
};

class ComboBox : public Control {
public:
    using Control::Control;

    ItemList items;
    int itemHeight = 16;

    LRESULT Handle(TMessage& m) override {
        switch (m.Msg) {
        case WM_CREATE:
            return Create();
        case WM_DESTROY:
            return Destroy();
        case WM_PAINT:
            return Paint(TWMPaint(m));
        case WM_ERASEBKGND:
            return 1;
        case WM_CTLCOLOREDIT:
            // The edit inside takes the colours the combo box itself is given.
            return reinterpret_cast<LRESULT>(
                ControlColor(WM_CTLCOLOREDIT, TWMCtlColor(m).ChildDC(), COLOR_WINDOW));
        case WM_SIZE:
            return Layout();
        case WM_SETFONT:
            return FontChanged(TWMSetFont(m));
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_SETFOCUS:
            return GotFocus();
        case WM_KILLFOCUS:
            return LostFocus();
        case WM_COMMAND:
            return EditCommand(TWMCommand(m));
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            return ButtonDown(TWMMouse(m));
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            return KeyPressed(TWMKey(m)) ? 0 : Default(m);
        case WM_CHAR:
            return TypeAhead(TWMChar(m));
        case WM_MOUSEWHEEL:
            return MouseWheel(TWMMouseWheel(m));
        case WM_SETTEXT:
            return SetText(TWMSetText(m));
        case WM_GETTEXT:
            return GetText(TWMGetText(m));
        case WM_GETTEXTLENGTH:
            return GetTextLength(MessageView(m));
        case WM_ENABLE:
            return Enable(TWMFlag(m));
        default:
            return ListMessage(ItemListMsg(m));
        }
    }

    bool Dropped() const { return dropped_; }
    HWND List() const { return list_; }
    int Current() const { return cur_; }

    // A click in the pop-up list: the item (or -1 for outside) ends the drop-down.
    void ListClicked(int index) {
        if (index >= 0) {
            if (index != cur_) {
                Select(index);
                Command(CBN_SELCHANGE);
            }
            Close(true);
        } else {
            Close(false);
        }
    }

    void Close(bool accept) {
        if (!dropped_) return;
        dropped_ = false;
        if (GetCapture() == list_) ReleaseCapture();
        ShowWindow(list_, SW_HIDE);
        Command(accept ? CBN_SELENDOK : CBN_SELENDCANCEL);
        Command(CBN_CLOSEUP);
        Invalidate();
    }

private:
    LRESULT ListMessage(ItemListMsg m) {
        switch (m.Msg) {
        case CB_ADDSTRING:
            return Inserted(items.Add((Style() & CBS_SORT) != 0, m.Text()));
        case CB_INSERTSTRING:
            return InsertString(m.InsertAt(items.Count()), m.Text());
        case CB_DELETESTRING:
            return DeleteString(m.Item(items.Count()));
        case CB_RESETCONTENT:
            return ResetContent();
        case CB_GETCOUNT:
            return items.Count();
        case CB_GETCURSEL:
            return items.Valid(cur_) ? cur_ : CB_ERR;
        case CB_SETCURSEL:
            return SetCurSel(m.Item(items.Count()));
        case CB_GETLBTEXT:
            return items.GetText(m.Item(items.Count()), m.TextOut());
        case CB_GETLBTEXTLEN:
            return items.GetTextLen(m.Item(items.Count()));
        case CB_GETITEMDATA:
            return items.GetData(m.Item(items.Count()));
        case CB_SETITEMDATA:
            return items.SetData(m.Item(items.Count()), m.Data());
        case CB_FINDSTRING:
        case CB_FINDSTRINGEXACT:
        case CB_SELECTSTRING:
            return FindString(m.Msg, m.After(items.Count()), m.Text());
        case CB_SHOWDROPDOWN:
            return ShowDropDown(m.Flag());
        case CB_GETDROPPEDSTATE:
            return Dropped() ? TRUE_ : FALSE_;
        case CB_GETDROPPEDCONTROLRECT:
            return DroppedRect(m.Rect());
        case CB_GETITEMHEIGHT:
            return itemHeight;
        case CB_LIMITTEXT:
            return LimitText(m.Limit());
        case CB_GETEDITSEL:
            return GetEditSel(m.StartOut(), m.EndOut());
        case CB_SETEDITSEL:
            return SetEditSel(m.EditStart(), m.EditEnd());
        default:
            return Default(m);
        }
    }

    // --- window messages ---------------------------------------------------------------------------

    LRESULT Destroy() {
        if (list_) DestroyWindow(list_);
        list_ = nullptr;
        return 0;
    }

    LRESULT FontChanged(TWMSetFont m) {
        if (edit_) m.ForwardTo(edit_);
        Measure();
        if (m.Redraw()) Invalidate();
        return 0;
    }

    LRESULT GotFocus() {
        if (edit_) {
            SetFocus(edit_);
            SendMessage(edit_, EM_SETSEL, 0, -1);
        } else {
            focused_ = true;
            Invalidate();
            Command(CBN_SETFOCUS);
        }
        return 0;
    }

    LRESULT LostFocus() {
        focused_ = false;
        Invalidate();
        if (!edit_) {
            Close(false);
            Command(CBN_KILLFOCUS);
        }
        return 0;
    }

    LRESULT EditCommand(TWMCommand m) {
        if (edit_ && m.Ctl() == edit_) EditNotice(m.NotifyCode());
        return 0;
    }

    LRESULT ButtonDown(TWMMouse m) {
        SetFocus(Hwnd());
        if (!edit_ || PtInRect(ButtonRect(), m.Pos())) Dropped() ? Close(false) : Open();
        return 0;
    }

    LRESULT TypeAhead(TWMChar m) {
        const char32_t c = m.Character();
        if (edit_ || c < 0x20 || c >= 0x80) return 0;
        const int found = items.Find(cur_, std::string(1, static_cast<char>(c)), false);
        if (found >= 0) UserSelect(found);
        return 0;
    }

    LRESULT MouseWheel(TWMMouseWheel m) {
        if (Dropped() || !items.Count()) return 0;
        UserSelect(std::clamp(cur_ + (m.WheelDelta() > 0 ? -1 : 1), 0, items.Count() - 1));
        return 0;
    }

    LRESULT SetText(TWMSetText m) {
        if (edit_) return m.ForwardTo(edit_);
        const int found = m.Text() ? items.Find(-1, m.Text(), true) : -1;
        if (found < 0) return CB_ERR;
        Select(found);
        return TRUE_;
    }

    std::string CurrentText() const { return items.Valid(cur_) ? items.At(cur_).text : std::string(); }

    LRESULT GetText(TWMGetText m) { return edit_ ? m.ForwardTo(edit_) : CopyOut(CurrentText(), m.Buffer()); }

    LRESULT GetTextLength(MessageView m) {
        return edit_ ? m.ForwardTo(edit_) : static_cast<LRESULT>(CurrentText().size());
    }

    LRESULT Enable(TWMFlag m) {
        if (edit_) EnableWindow(edit_, m.On() ? TRUE_ : FALSE_);
        Invalidate();
        return 0;
    }

    // --- list messages -----------------------------------------------------------------------------

    LRESULT InsertString(std::optional<int> at, std::string text) {
        if (!at) return CB_ERR;
        return Inserted(items.Insert(*at, std::move(text)));
    }

    LRESULT Inserted(int index) {
        if (cur_ >= index) ++cur_;
        ListChanged();
        return index;
    }

    LRESULT DeleteString(std::optional<int> item) {
        if (!item) return CB_ERR;
        items.Erase(*item);
        if (cur_ == *item)
            cur_ = -1;
        else if (cur_ > *item)
            --cur_;
        ListChanged();
        return items.Count();
    }

    LRESULT ResetContent() {
        items.Clear();
        cur_ = -1;
        if (edit_) SetEditText("");
        ListChanged();
        return CB_OKAY;
    }

    LRESULT SetCurSel(std::optional<int> item) {
        Select(item.value_or(-1));
        return item ? *item : CB_ERR;
    }

    LRESULT FindString(UINT msg, int after, const std::string& text) {
        const int found = items.Find(after, text, msg == CB_FINDSTRINGEXACT);
        if (found < 0) return CB_ERR;
        if (msg == CB_SELECTSTRING) Select(found);
        return found;
    }

    LRESULT ShowDropDown(bool show) {
        show ? Open() : Close(false);
        return TRUE_;
    }

    LRESULT DroppedRect(RECT* r) const {
        if (r) GetWindowRect(list_, *r);
        return TRUE_;
    }

    LRESULT LimitText(WPARAM limit) {
        if (!edit_) return CB_ERR;
        SendMessage(edit_, EM_LIMITTEXT, limit, 0);
        return TRUE_;
    }

    LRESULT GetEditSel(DWORD* start, DWORD* end) {
        if (!edit_) return CB_ERR;
        return SendMessage(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(start), reinterpret_cast<LPARAM>(end));
    }

    LRESULT SetEditSel(int start, int end) {
        if (!edit_) return CB_ERR;
        SendMessage(edit_, EM_SETSEL, static_cast<WPARAM>(start), end);
        return TRUE_;
    }

    static LRESULT EditSubclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        // Keys that belong to the combo box reach it from its edit.
        TMessage m{msg, wParam, lParam, 0};
        auto* combo = dynamic_cast<ComboBox*>(FindControl(GetParent(hwnd)));
        if ((msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) && combo && combo->KeyPressed(TWMKey(m))) return 0;
        WNDCLASS wc;
        GetClassInfo(nullptr, "EDIT", wc);
        return CallWindowProc(wc.lpfnWndProc, hwnd, msg, wParam, lParam);
    }

    LRESULT Create() {
        Measure();
        if ((Style() & 0x3) == CBS_DROPDOWN) {
            edit_ =
                CreateWindowEx(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 10, 10, Hwnd(),
                               reinterpret_cast<HMENU>(static_cast<uintptr_t>(kEditId)), nullptr, nullptr);
            SetWindowLongPtr(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditSubclass));
            SendMessage(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), 0);
        }
        list_ = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST, "ComboLBox", "",
                               WS_POPUP | WS_BORDER | WS_VSCROLL, 0, 0, 10, 10, GetAncestor(Hwnd(), GA_ROOT),
                               nullptr, nullptr, nullptr);
        if (auto* l = dynamic_cast<DropList*>(FindControl(list_))) l->SetOwner(this);
        return Layout();
    }

    void Measure() {
        ClientDC dc(*this);
        itemHeight = std::max(1, LineHeight(dc.Get()));
    }

    RECT ButtonRect() const {
        RECT c;
        GetClientRect(Hwnd(), c);
        return RECT{std::max(c.left, c.right - 2 - kButtonWidth), c.top + 2, c.right - 2, c.bottom - 2};
    }

    RECT TextRect() const {
        RECT c;
        GetClientRect(Hwnd(), c);
        return RECT{c.left + 3, c.top + 3, ButtonRect().left - 1, c.bottom - 3};
    }

    LRESULT Layout() {
        if (edit_) {
            const RECT t = TextRect();
            MoveWindow(edit_, t.left, t.top, t.right - t.left, t.bottom - t.top, TRUE_);
        }
        return 0;
    }

    void SetEditText(const std::string& text) {
        settingEdit_ = true;
        SetWindowText(edit_, text);
        settingEdit_ = false;
        SendMessage(edit_, EM_SETSEL, 0, -1);
    }

    void Select(int index) {
        cur_ = index;
        if (edit_) SetEditText(items.Valid(index) ? items.At(index).text : std::string());
        if (auto* l = dynamic_cast<DropList*>(FindControl(list_))) {
            l->hot = index;
            const int visible = std::min(kMaxDropItems, std::max(1, items.Count()));
            if (index >= 0 && index < l->top) l->top = index;
            if (index >= l->top + visible) l->top = index - visible + 1;
            SetScrollPos(list_, SB_VERT, l->top, TRUE_);
            InvalidateRect(list_, nullptr, TRUE_);
        }
        Invalidate();
    }

    void UserSelect(int index) {
        if (index == cur_ || !items.Valid(index)) return;
        Select(index);
        Command(CBN_SELCHANGE);
    }

    void ListChanged() {
        Invalidate();
        if (dropped_) PlaceList();
    }

    void PlaceList() {
        RECT r;
        GetWindowRect(Hwnd(), r);
        const int visible = std::min(kMaxDropItems, std::max(1, items.Count()));
        const int height = visible * itemHeight + 2;
        const auto* l = dynamic_cast<DropList*>(FindControl(list_));
        SetRowScrollBar(list_, l ? l->top : 0, items.Count(), visible, true);
        SetWindowPos(list_, HWND_TOPMOST, r.left, r.bottom, r.right - r.left, height,
                     SWP_NOACTIVATE | SWP_SHOWWINDOW);
        InvalidateRect(list_, nullptr, TRUE_);
    }

    void Open() {
        if (dropped_ || !IsWindowEnabled(Hwnd())) return;
        Command(CBN_DROPDOWN);
        dropped_ = true;
        if (auto* l = dynamic_cast<DropList*>(FindControl(list_))) {
            l->hot = cur_;
            l->top = std::clamp(cur_, 0, std::max(0, items.Count() - kMaxDropItems));
        }
        PlaceList();
        SetCapture(list_);
        Invalidate();
    }

    // True when the key was the combo box's to handle.
    bool KeyPressed(TWMKey m) {
        const WORD vk = m.CharCode();
        const bool alt = m.Msg == WM_SYSKEYDOWN || KeyDown(VK_MENU);
        if (vk == VK_F4 || (alt && (vk == VK_DOWN || vk == VK_UP))) {
            Dropped() ? Close(true) : Open();
            return true;
        }
        if (Dropped() && (vk == VK_RETURN || vk == VK_ESCAPE)) {
            Close(vk == VK_RETURN);
            return true;
        }
        if (items.Count() == 0) return vk == VK_UP || vk == VK_DOWN;
        const int page = kMaxDropItems - 1;
        int to;
        switch (vk) {
        case VK_UP:
            to = cur_ < 0 ? 0 : cur_ - 1;
            break;
        case VK_DOWN:
            to = cur_ + 1;
            break;
        case VK_PRIOR:
            to = cur_ - page;
            break;
        case VK_NEXT:
            to = cur_ + page;
            break;
        case VK_HOME:
            if (edit_) return false;
            to = 0;
            break;
        case VK_END:
            if (edit_) return false;
            to = items.Count() - 1;
            break;
        default:
            return false;
        }
        UserSelect(std::clamp(to, 0, items.Count() - 1));
        return true;
    }

    void EditNotice(WORD code) {
        switch (code) {
        case EN_CHANGE:
            if (!settingEdit_) Command(CBN_EDITCHANGE);
            break;
        case EN_UPDATE:
            if (!settingEdit_) Command(CBN_EDITUPDATE);
            break;
        case EN_SETFOCUS:
            focused_ = true;
            Command(CBN_SETFOCUS);
            break;
        case EN_KILLFOCUS:
            focused_ = false;
            Close(false);
            Command(CBN_KILLFOCUS);
            break;
        default:
            break;
        }
    }

    LRESULT Paint(TWMPaint m) {
        PaintDC paint(Hwnd(), m);
        HDC dc = paint.Get();
        RECT c;
        GetClientRect(Hwnd(), c);
        const bool enabled = IsWindowEnabled(Hwnd());
        FillRect(dc, &c,
                 ControlColor(edit_ ? WM_CTLCOLOREDIT : WM_CTLCOLORLISTBOX, dc,
                              enabled ? COLOR_WINDOW : COLOR_BTNFACE));
        RECT edge = c;
        DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
        RECT button = ButtonRect();
        DrawFrameControl(dc, &button, DFC_SCROLL,
                         DFCS_SCROLLCOMBOBOX | (dropped_ ? DFCS_PUSHED | DFCS_FLAT : 0) |
                             (enabled ? 0 : DFCS_INACTIVE));
        if (!edit_) {
            RECT t = TextRect();
            const gdi::SelectedObject fontSelected(dc, Font());
            SetBkMode(dc, TRANSPARENT);
            // With no choice there is no text to highlight: only the focus shows.
            if (focused_ && !dropped_ && items.Valid(cur_)) {
                FillHighlight(dc, t);
            } else if (!enabled) {
                SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
            }
            if (items.Valid(cur_)) DrawItemText(dc, t, items.At(cur_).text);
            if (focused_ && !dropped_) DrawFocusRect(dc, &t);
        }
        return 0;
    }

    HWND edit_ = nullptr;
    HWND list_ = nullptr;
    int cur_ = -1;
    bool dropped_ = false;
    bool focused_ = false;
    bool settingEdit_ = false;
};

int DropList::ItemAt(POINT p) const {
    RECT c;
    GetClientRect(Hwnd(), c);
    if (!combo_ || !PtInRect(c, p)) return -1;
    const int index = top + p.y / std::max(1, combo_->itemHeight);
    return combo_->items.Valid(index) ? index : -1;
}

LRESULT DropList::Handle(TMessage& m) {
    switch (m.Msg) {
    case WM_PAINT:
        return Paint(TWMPaint(m));
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_MOUSEMOVE:
        return MouseMove(TWMMouse(m));
    case WM_LBUTTONDOWN:
        return ButtonDown(TWMMouse(m));
    case WM_LBUTTONUP:
        return ButtonUp(TWMMouse(m));
    case WM_CAPTURECHANGED:
        return CaptureChanged(TWMCaptureChanged(m));
    case WM_VSCROLL:
        return VScroll(TWMScroll(m));
    case WM_MOUSEWHEEL:
        return SendMessage(Hwnd(), WM_VSCROLL, TWMMouseWheel(m).WheelDelta() > 0 ? SB_LINEUP : SB_LINEDOWN,
                           0);
    default:
        return Default(m);
    }
}

LRESULT DropList::MouseMove(TWMMouse m) {
    const int index = ItemAt(m.Pos());
    if (index >= 0 && index != hot) {
        hot = index;
        InvalidateRect(Hwnd(), nullptr, TRUE_);
    }
    return 0;
}

// Outside the list (the capture brings those too) the drop-down ends without a choice; the scroll bar
// keeps it open.
LRESULT DropList::ButtonDown(TWMMouse m) {
    const POINT p = m.Pos();
    RECT w;
    GetWindowRect(Hwnd(), w);
    POINT screen = p;
    ClientToScreen(Hwnd(), screen);
    if (PtInRect(w, screen) && ItemAt(p) < 0) {
        const LRESULT hit = SendMessage(Hwnd(), WM_NCHITTEST, 0, PackPoint(screen));
        if (hit == HTVSCROLL)
            SendMessage(Hwnd(), WM_NCLBUTTONDOWN, static_cast<WPARAM>(hit), PackPoint(screen));
        return 0;
    }
    if (!PtInRect(w, screen) && combo_) combo_->ListClicked(-1);
    return 0;
}

LRESULT DropList::ButtonUp(TWMMouse m) {
    const int index = ItemAt(m.Pos());
    if (index >= 0 && combo_) combo_->ListClicked(index);
    return 0;
}

LRESULT DropList::CaptureChanged(TWMCaptureChanged m) {
    if (combo_ && combo_->Dropped() && m.NewCapture() != Hwnd()) combo_->Close(false);
    return 0;
}

LRESULT DropList::VScroll(TWMScroll m) {
    if (!combo_) return 0;
    const int visible = std::min(kMaxDropItems, std::max(1, combo_->items.Count()));
    const int maxTop = std::max(0, combo_->items.Count() - visible);
    top = std::clamp(ScrolledTop(Hwnd(), m.ScrollCode(), top, visible, maxTop), 0, maxTop);
    SetScrollPos(Hwnd(), SB_VERT, top, TRUE_);
    InvalidateRect(Hwnd(), nullptr, TRUE_);
    return 0;
}

LRESULT DropList::Paint(TWMPaint m) {
    PaintDC paint(Hwnd(), m);
    HDC dc = paint.Get();
    RECT c;
    GetClientRect(Hwnd(), c);
    FillRect(dc, &c, GetSysColorBrush(COLOR_WINDOW));
    if (combo_) {
        const gdi::SelectedObject fontSelected(dc, combo_->Font());
        SetBkMode(dc, TRANSPARENT);
        const int h = std::max(1, combo_->itemHeight);
        for (int i = top; i < combo_->items.Count() && (i - top) * h < c.bottom; ++i) {
            RECT r{c.left, (i - top) * h, c.right, (i - top + 1) * h};
            if (i == hot) {
                FillHighlight(dc, r);
            } else {
                SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            }
            DrawItemText(dc, r, combo_->items.At(i).text);
        }
    }
    return 0;
}

} // namespace

void RegisterComboBoxClass() {
    RegisterControlClass<ComboBox>("COMBOBOX", CS_DBLCLKS | CS_PARENTDC);
    RegisterControlClass<DropList>("ComboLBox", CS_SAVEBITS);
}

} // namespace pw::commctrl
