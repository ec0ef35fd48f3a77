#include "bars/windows/edit_control.h"

#include <algorithm>
#include <string>

#include "bars/core/bar_combo.h"
#include "bars/core/bar_edit.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/item_links.h"
#include "bars/painters/painter.h"
#include "bars/windows/bar_control.h"
#include "bars/windows/bar_hooks.h"
#include "bars/windows/toolbar_control.h"
#include "lookandfeel/object_links.h"
#include "platform/commctrl/common_controls.h"
#include "platform/commctrl/std_controls.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/text.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/graphics_objects.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/window.h"
#include "platform/rtl/wintypes.h"
#include "platform/vcl/control_types.h"
#include "platform/vcl/form.h"

namespace bars {

namespace {

// The mouse messages whose point is in the window's client coordinates.
bool IsClientMouseMessage(UINT Msg) {
    return Msg >= WM_MOUSEMOVE && Msg <= WM_MBUTTONDBLCLK;
}

} // namespace

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

bool TdxBarEditControl::IsSelected() const {
    return TdxBarItemControl::IsSelected() && (Parent() == nullptr || !Parent()->IsCustomizing());
}

bool TdxBarEditControl::IsReadOnly() const {
    TdxBarEdit* item = EditItem();
    return item != nullptr && (item->ReadOnly() || item->EditorHidden());
}

bool TdxBarEditControl::ShowsCaption() const {
    TdxBarEdit* item = EditItem();
    return !OnToolbar() || (item != nullptr && item->ShowCaption());
}

int TdxBarEditControl::CaptionWidth() const {
    if (!ShowsCaption() || ParentBar() == nullptr) return 0;
    const pw::gdi::MemoryDC dc(nullptr);
    const pw::gdi::SelectedObject font(dc.Get(), ParentBar()->PaintFont());
    SIZE size{0, 0};
    GetTextExtentPoint32(dc.Get(), StripAmpersands(GetCaption()), &size);
    return Painter().CalcButtonWidth(const_cast<TdxBarEditControl&>(*this), size.cx);
}

int TdxBarEditControl::GetHeight() const {
    const int text = ParentBar() != nullptr ? ParentBar()->TextSize() : 16;
    TdxBarManager* manager = Link() != nullptr ? Link()->BarManager() : nullptr;
    return std::max(text + 6, manager != nullptr ? manager->ButtonHeight() : 0);
}

int TdxBarEditControl::GetWidth() const {
    return CaptionWidth() + (Link() != nullptr ? Link()->Width() : 100);
}

ItemState TdxBarEditControl::PaintState(int PaintType) const {
    ItemState state;
    state.Selected = IsSelected();
    state.Enabled = GetEnabled();
    state.InMenu = PaintType == 1;
    return state;
}

void TdxBarEditControl::Draw(HDC DC, const RECT& R, int PaintType) {
    if (R.right <= R.left) return;
    const ItemState state = PaintState(PaintType);
    const TdxBarItemControlPainter& painter = Painter();
    RECT r = R;
    if (ShowsCaption()) painter.DrawEditCaption(*this, DC, state, r);
    painter.DrawEditBorder(*this, DC, state, r);
    DrawBoxExtras(DC, state, r);
    if (state.Enabled) SetWindowRect(r);
    if (focused_ && state.Enabled && HasEditor()) {
        // The window draws the text itself; the box's strips above and below it take its colour.
        COLORREF text = 0, back = 0;
        painter.GetEditColors(*this, text, back);
        const RECT window = WindowBounds(r);
        const pw::gdi::OwnedObject<HBRUSH> brush(CreateSolidBrush(back));
        const RECT above{r.left, r.top, r.right, window.top}, below{r.left, window.bottom, r.right, r.bottom};
        FillRect(DC, &above, brush.Get());
        FillRect(DC, &below, brush.Get());
        return;
    }
    painter.DrawEditText(*this, DC, EditText(), r);
}

bool TdxBarEditControl::DrawItemValue(HDC DC, const RECT& R, COLORREF Text, COLORREF Back) {
    // Only an owner-drawn combo draws its value itself; plain text stays where the edit window shows it.
    auto* combo = dynamic_cast<TdxBarCustomCombo*>(EditItem());
    if (combo == nullptr || !combo->OnDrawItem || ParentBar() == nullptr) return false;
    TdxBarEdit* item = combo;
    TCanvas canvas;
    canvas.SetHandle(DC);
    canvas.Font().SetHandle(ParentBar()->PaintFont());
    canvas.Font().SetColor(static_cast<TColor>(Text));
    canvas.Brush().SetColor(static_cast<TColor>(Back));
    item->DrawCustomizingImage(ListIndex(), &canvas, Link(), R);
    // The DC gets its own objects back.
    canvas.SetHandle(nullptr);
    return true;
}

RECT TdxBarEditControl::WindowBounds(const RECT& R) const {
    if (!HasEditor()) return RECT{R.left, R.top, R.left, R.bottom};
    if (ParentBar() == nullptr) return R;
    const pw::gdi::MemoryDC dc(nullptr);
    const pw::gdi::SelectedObject font(dc.Get(), ParentBar()->PaintFont());
    TEXTMETRIC tm{};
    GetTextMetrics(dc.Get(), &tm);
    // The edit keeps the room above its line that the painter's formatting leaves, and as much below.
    const int height = static_cast<int>(tm.tmHeight) + 2 * textInset_;
    if (height >= R.bottom - R.top) return R;
    const int top = R.top + (R.bottom - R.top - height) / 2;
    return RECT{R.left, top, R.right, top + height};
}

void TdxBarEditControl::SetWindowRect(const RECT& R) {
    windowRect_ = R;
    if (edit_ == nullptr || !IsWindowVisible(edit_)) return;
    RECT now{};
    GetWindowRect(edit_, now);
    MapWindowPoints(nullptr, ParentBar()->Handle(), now);
    const RECT bounds = WindowBounds(R);
    if (EqualRect(now, bounds)) return;
    SetWindowPos(edit_, nullptr, bounds.left, bounds.top, bounds.right - bounds.left,
                 bounds.bottom - bounds.top, SWP_NOZORDER | SWP_NOACTIVATE);
    Painter().SetEditMargins(*this, edit_);
}

RECT TdxBarEditControl::EditPartRect() {
    if (windowRect_.right <= windowRect_.left && ParentBar() != nullptr) {
        // Not drawn yet: drawn once aside, which lays the parts out.
        const RECT bounds = Bounds();
        const pw::gdi::MemoryDC dc(nullptr, std::max(1, static_cast<int>(bounds.right)),
                                   std::max(1, static_cast<int>(bounds.bottom)));
        Draw(dc.Get(), bounds, OnToolbar() ? 0 : 1);
    }
    return windowRect_;
}

void TdxBarEditControl::CreateEditWindow() {
    if (edit_ != nullptr || ParentBar() == nullptr || ParentBar()->Handle() == nullptr) return;
    InitCommonControls();
    edit_ = CreateWindowEx(0, "EDIT", "", Painter().GetEditWindowStyle() | WS_CHILD, 0, 0, 100, 100,
                           ParentBar()->Handle(), nullptr, nullptr, nullptr);
    if (edit_ == nullptr) return;
    // Where the painter has the edit put its text: the window is placed so that the text being edited
    // stands where the painter draws it.
    Painter().SetEditMargins(*this, edit_);
    RECT format{0, 0, 0, 0};
    SendMessage(edit_, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    textInset_ = std::max(0, static_cast<int>(format.top));
    TdxBarEdit* item = EditItem();
    if (item != nullptr) {
        settingText_ = true;
        SetWindowText(edit_, item->Text());
        settingText_ = false;
        if (item->MaxLength() > 0)
            SendMessage(edit_, EM_LIMITTEXT, static_cast<WPARAM>(item->MaxLength()), 0);
    }
    SetWindowLongPtr(edit_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TdxBarEditControl::EditProc)));
}

void TdxBarEditControl::SetEditText(const std::string& S) {
    if (edit_ == nullptr) {
        Repaint();
        return;
    }
    const bool changed = GetWindowText(edit_) != S;
    settingText_ = true;
    SetWindowText(edit_, S);
    settingText_ = false;
    Painter().SelectAllEditText(*this, edit_, changed);
    if (!focused_) Repaint();
}

void TdxBarEditControl::SetFocused(bool Value) {
    if (Value == focused_) return;
    TdxBarManager* manager = Link() != nullptr ? Link()->BarManager() : nullptr;
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    if (Value) {
        CreateEditWindow();
        TdxBarEdit* item = EditItem();
        if (edit_ == nullptr || item == nullptr) return;
        prevFocus_ = GetFocus();
        if (prevFocus_ == nullptr || !IsWindowVisible(prevFocus_)) {
            TCustomForm* form = manager != nullptr ? manager->ParentForm() : nullptr;
            prevFocus_ = form != nullptr && form->HandleAllocated() ? form->Handle() : nullptr;
        }
        focused_ = true;
        startingEdit_ = true;
        SendMessage(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(ParentBar()->PaintFont()), 0);
        SendMessage(edit_, EM_SETREADONLY, IsReadOnly() ? 1 : 0, 0);
        if (!Active()) ControlActivate(true);
        const RECT r = WindowBounds(EditPartRect());
        SetWindowPos(edit_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_SHOWWINDOW | SWP_NOZORDER | SWP_NOACTIVATE);
        Painter().SetEditMargins(*this, edit_);
        settingText_ = true;
        SetWindowText(edit_, item->Text());
        settingText_ = false;
        SetFocus(edit_);
        if (self->Ref == nullptr) return;
        startingEdit_ = false;
        Repaint();
        return;
    }
    focused_ = false;
    sysKeyDepth_ = 0;
    HWND back = prevFocus_;
    prevFocus_ = nullptr;
    // Escape alone leaves the item as it was, even where the manager keeps texts on focus loss. The text
    // is read now: giving the focus back may close the bar (a menu) and free this control.
    const bool keep = manager != nullptr && manager->AlwaysSaveText() && !escaping_ && edit_ != nullptr;
    const std::string text = keep ? GetWindowText(edit_) : std::string();
    TdxBarEdit* item = EditItem();
    const TcxObjectLinkPtr itemLink = MakeObjectLink(item);
    const HWND edit = edit_;
    const HWND after = ParentBar() != nullptr ? GetWindow(ParentBar()->Handle(), GW_HWNDNEXT) : nullptr;
    ShowWindow(edit, SW_HIDE);
    if (self->Ref != nullptr && (manager == nullptr || !manager->IsDestroying())) {
        if (back == nullptr || !IsWindowVisible(back)) {
            TCustomForm* form = manager != nullptr ? manager->ParentForm() : nullptr;
            back = form != nullptr && form->HandleAllocated() && IsWindowVisible(form->Handle())
                       ? form->Handle()
                       : after;
        }
        if (back != nullptr && GetFocus() == edit) SetFocus(back);
    }
    if (keep && itemLink->Ref != nullptr) item->SetText(text);
    if (self->Ref == nullptr) return;
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
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    // Editing starts with the whole text selected; a click beside the box meanwhile leaves the caret.
    const bool starting = !focused_;
    SetFocused(true);
    if (self->Ref == nullptr) return;
    TdxBarItemControl::BeforeClick(ByMouse);
    if (self->Ref != nullptr && starting && focused_ && edit_ != nullptr)
        SendMessage(edit_, EM_SETSEL, 0, -1);
}

bool TdxBarEditControl::LeaveByKey(WORD Key) {
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    if (Key == VK_RETURN || Key == VK_TAB) {
        if (Key == VK_RETURN && Link() != nullptr) Link()->Use(true);
        if (!SaveText() || self->Ref == nullptr) return true;
        // A handler of the change closed the editing meanwhile.
        if (edit_ == nullptr || !IsWindowVisible(edit_)) return true;
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

void TdxBarEditControl::PurgeChars() const {
    MSG pending{};
    while (PeekMessage(pending, edit_, WM_CHAR, WM_CHAR, PM_REMOVE)) {
    }
}

bool TdxBarEditControl::OfferKey(TMessage& Message) {
    TdxBarEdit* item = EditItem();
    if (item == nullptr) return true;
    if (Message.Msg == WM_CHAR) {
        const TWMChar view(Message);
        if (view.CharCode() > 0xFF) return true;
        char key = static_cast<char>(view.CharCode());
        item->DoKeyPress(key);
        if (key == 0) return false;
        Message = TMessage{WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(key)), view.KeyData(), 0};
        return true;
    }
    const TWMKey view(Message);
    WORD key = view.CharCode();
    const TShiftState shift = KeyDataToShiftState(view.KeyData());
    if (Message.Msg == WM_KEYDOWN)
        item->DoKeyDown(key, shift);
    else
        item->DoKeyUp(key, shift);
    if (key == 0) return false;
    Message = TMessage{Message.Msg, key, view.KeyData(), 0};
    return true;
}

LRESULT TdxBarEditControl::WndProc(TMessage& Message) {
    if (Message.Msg == WM_COMMAND && TWMCommand(Message).NotifyCode() == EN_CHANGE) {
        if (!settingText_)
            if (TdxBarEdit* item = EditItem()) item->DoCurChange();
        return 0;
    }
    return BaseWndProc(Message);
}

LRESULT TdxBarEditControl::BaseWndProc(TMessage& Message) {
    const HWND wnd = edit_;
    const WNDPROC previous = previous_;
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    TCustomdxBarControl* bar = ParentBar();
    switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR: {
        if (!OfferKey(Message) || self->Ref == nullptr) return 0;
        const WORD key = TWMKey(Message).CharCode();
        if (Message.Msg == WM_KEYDOWN && (key == VK_RETURN || key == VK_ESCAPE || key == VK_TAB)) {
            // The characters these keys make are not typed into the box.
            PurgeChars();
            LeaveByKey(key);
            return 0;
        }
        if (Message.Msg == WM_CHAR && (key == '\r' || key == '\t' || key == 0x1B)) return 0;
        break;
    }
    case WM_SETFOCUS:
        if (TdxBarEdit* item = EditItem()) item->DoEnter();
        if (self->Ref == nullptr) return 0;
        break;
    case WM_KILLFOCUS: {
        if (TdxBarEdit* item = EditItem()) item->DoExit();
        if (self->Ref == nullptr || !focused_) break;
        // The focus went elsewhere while editing: the bars close and the control leaves edit mode.
        const LRESULT result = CallWindowProc(previous, wnd, Message);
        PurgeChars();
        if (bar != nullptr) bar->HideAll();
        if (self->Ref != nullptr) SetFocused(false);
        return result;
    }
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP: {
        if (Message.Msg == WM_SYSKEYDOWN) {
            ++sysKeyDepth_;
        } else if (sysKeyDepth_ == 0) {
            return 0;
        } else {
            --sysKeyDepth_;
        }
        const TWMKey view(Message);
        const WORD key = view.CharCode();
        const bool altDown = Message.Msg == WM_SYSKEYDOWN && key == VK_MENU;
        // Shift+F10 asks the edit for its context menu: the editing goes on.
        if (Message.Msg == WM_SYSKEYDOWN && key == VK_F10 && GetKeyState(VK_SHIFT) < 0) break;
        // Alt with another key, or Alt let go with nothing between, leaves the editing (and the bar's
        // keyboard mode); the key then goes to the bars as if typed outside: Alt alone enters the menu
        // bar, Alt with a letter its accelerator. Alt let go after a key the box used (Alt+Down) stays.
        if (!altDown && (key != VK_MENU || AltPressedAlone())) {
            sysKeyDepth_ = 0;
            if (bar != nullptr) bar->HideAll();
            if (self->Ref == nullptr) return 0;
        }
        if (PassEditorKey(altDown, key, view.KeyData()) || self->Ref == nullptr) return 0;
        break;
    }
    case WM_RBUTTONDOWN: {
        // Over the edit the bar's own context menus keep working.
        POINT p = TWMMouse(Message).Pos();
        if (bar != nullptr && bar->Handle() != nullptr) {
            MapWindowPoints(wnd, bar->Handle(), &p, 1);
            SendMessage(bar->Handle(), WM_RBUTTONDOWN, TWMMouse(Message).Keys(), MAKELPARAM(p.x, p.y));
        }
        return 0;
    }
    case WM_DESTROY: {
        SetFocused(false);
        if (self->Ref == nullptr) return 0;
        const LRESULT result = CallWindowProc(previous, wnd, Message);
        SetWindowLongPtr(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        if (self->Ref != nullptr && edit_ == wnd) edit_ = nullptr;
        return result;
    }
    default:
        if (IsClientMouseMessage(Message.Msg) && bar != nullptr && bar->Handle() != nullptr &&
            GetCapture() != wnd) {
            // The caption part of the control belongs to the bar.
            POINT p = TWMMouse(Message).Pos();
            MapWindowPoints(wnd, bar->Handle(), &p, 1);
            if (!PtInRect(windowRect_, p) && PtInRect(Bounds(), p)) return 0;
        }
        break;
    }
    return CallWindowProc(previous, wnd, Message);
}

} // namespace bars
