// Focus, tab order and keys of a windowed control: which control can take the focus, the next one in tab
// order, and the key messages handed to its handlers, its form's dialog keys and accelerators.

#include "platform/vcl/win_control.h"

#include <algorithm>

#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/vcl/form.h"

bool TWinControl::CanFocus() const {
    // The form's own visibility does not count: its active control may be chosen before it shows.
    const TCustomForm* form = GetParentForm(this);
    for (const TControl* c = this; c && c != form; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

bool TWinControl::Focused() const {
    return handle_ && GetFocus() == handle_;
}

void TWinControl::SetFocus() {
    if (TCustomForm* form = GetParentForm(this)) {
        form->FocusControl(this);
    } else if (parentWindow_ || !parent_) {
        ::SetFocus(Handle());
    }
}

int TWinControl::TabOrder() const {
    if (!parent_) return -1;
    auto& list = parent_->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int Value) {
    if (!parent_) return;
    auto& list = parent_->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    Value = std::clamp(Value, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + Value, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const {
    for (TWinControl* c : tabList_) {
        List.push_back(c);
        c->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    int n = static_cast<int>(list.size());
    auto found = std::find(list.begin(), list.end(), CurControl);
    int start = found == list.end() ? (GoForward ? n - 1 : 0) : static_cast<int>(found - list.begin());
    int i = start;
    do {
        i = GoForward ? (i + 1) % n : (i + n - 1) % n;
        TWinControl* c = list[static_cast<size_t>(i)];
        if (c->CanFocus() && (!CheckTabStop || c->TabStop()) && (!CheckParent || c->Parent() == this))
            return c;
    } while (i != start);
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    if (TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop))
        next->SetFocus();
}

void TWinControl::WMSetFocus(TMessage& Message) {
    DefaultHandler(Message);
    if (TCustomForm* form = GetParentForm(this)) form->SetFocusedControl(this);
}

// A key the control does not want as input may be a dialog key of its form (Tab, arrows, Enter...).
void TWinControl::CNKeyDown(TWMKey Message) {
    // Ctrl+Tab, Ctrl+PageDown and the like turn the pages around the focus, whatever control has it: the
    // form hears of them before the control does.
    const WORD key = Message.CharCode();
    if ((key == VK_TAB || key == VK_NEXT || key == VK_PRIOR) && GetKeyState(VK_CONTROL) < 0 &&
        GetKeyState(VK_MENU) >= 0)
        if (TCustomForm* form = GetParentForm(this))
            if (form->Perform(CM_DIALOGKEY, key, Message.KeyData()) != 0) {
                Message.Result = 1;
                return;
            }
    LRESULT mask = 0;
    switch (Message.CharCode()) {
    case VK_TAB:
        mask = DLGC_WANTTAB;
        break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        mask = DLGC_WANTARROWS;
        break;
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_CANCEL:
        mask = DLGC_WANTALLKEYS;
        break;
    default:
        break;
    }
    if (mask && Perform(CM_WANTSPECIALKEY, Message.CharCode(), Message.KeyData()) == 0 &&
        (Perform(WM_GETDLGCODE, 0, 0) & mask) == 0) {
        if (TCustomForm* form = GetParentForm(this))
            if (form->Perform(CM_DIALOGKEY, Message.CharCode(), Message.KeyData()) != 0) Message.Result = 1;
    }
}

void TWinControl::CNChar(TWMChar Message) {
    if ((Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0) DialogChar(Message);
}

// A character the control does not take may be a form's accelerator.
void TWinControl::DialogChar(TWMChar Message) {
    if (TCustomForm* form = GetParentForm(this))
        if (form->Perform(CM_DIALOGCHAR, Message.Character(), Message.KeyData()) != 0) Message.Result = 1;
}

void TWinControl::HandleKeyMessage(TMessage& Message) {
    auto alive = AliveToken();
    switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (!KeyDownHandled(TWMKey(Message)) && !alive.expired()) DefaultHandler(Message);
        return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (!KeyUpHandled(TWMKey(Message)) && !alive.expired()) DefaultHandler(Message);
        return;
    case WM_CHAR:
    case WM_SYSCHAR:
        if (!CharHandled(TWMChar(Message)) && !alive.expired()) DefaultHandler(Message);
        return;
    default:
        DefaultHandler(Message);
    }
}

// Each of these answers true when the key went no further: the control took it, or a handler freed it.
// A key handler may change the key before the window sees it.
bool TWinControl::KeyDownHandled(TWMKey Message) {
    auto alive = AliveToken();
    if (Perform(CN_BASE + Message.Msg, Message.CharCode(), Message.KeyData()) != 0 || alive.expired())
        return true;
    WORD key = Message.CharCode();
    if (!DoKeyDown(key, KeyDataToShiftState(Message.KeyData())) || alive.expired()) return true;
    Message.SetCharCode(key);
    return false;
}

bool TWinControl::KeyUpHandled(TWMKey Message) {
    auto alive = AliveToken();
    WORD key = Message.CharCode();
    if (!DoKeyUp(key, KeyDataToShiftState(Message.KeyData())) || alive.expired()) return true;
    Message.SetCharCode(key);
    return false;
}

bool TWinControl::CharHandled(TWMChar Message) {
    auto alive = AliveToken();
    if (Perform(Message.Msg == WM_CHAR ? CN_CHAR : CN_SYSCHAR, Message.Character(), Message.KeyData()) != 0 ||
        alive.expired())
        return true;
    if (Message.Msg != WM_CHAR || Message.Character() >= 0x80) return false;
    char key = static_cast<char>(Message.Character());
    if (!DoKeyPress(key) || alive.expired()) return true;
    Message.SetCharacter(static_cast<unsigned char>(key));
    return false;
}

bool TWinControl::DoKeyDown(WORD& Key, TShiftState Shift) {
    TCustomForm* form = GetParentForm(this);
    if (form && form != static_cast<TControl*>(this) && form->KeyPreview()) {
        auto alive = AliveToken();
        if (!static_cast<TWinControl*>(form)->DoKeyDown(Key, Shift) || alive.expired()) return false;
    }
    KeyDown(Key, Shift);
    return Key != 0;
}

bool TWinControl::DoKeyUp(WORD& Key, TShiftState Shift) {
    TCustomForm* form = GetParentForm(this);
    if (form && form != static_cast<TControl*>(this) && form->KeyPreview()) {
        auto alive = AliveToken();
        if (!static_cast<TWinControl*>(form)->DoKeyUp(Key, Shift) || alive.expired()) return false;
    }
    KeyUp(Key, Shift);
    return Key != 0;
}

bool TWinControl::DoKeyPress(char& Key) {
    TCustomForm* form = GetParentForm(this);
    if (form && form != static_cast<TControl*>(this) && form->KeyPreview()) {
        auto alive = AliveToken();
        if (!static_cast<TWinControl*>(form)->DoKeyPress(Key) || alive.expired()) return false;
    }
    KeyPress(Key);
    return Key != 0;
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
    if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key) {
    if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}
