#include "platform/stdctrls/edit.h"

#include <algorithm>

#include "platform/commctrl/common_controls.h"
#include "platform/commctrl/std_controls.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/strings.h"

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
    InitCommonControls();
    SetBounds(0, 0, 121, 21);
    SetTabStop(true);
    SetColor(clWindow);
    controlStyle_ = TControlStyle{csClickEvents, csSetCaption, csDoubleClicks};
}

void TCustomEdit::TakeText(std::string& Value) {
    if (!HandleAllocated() ||
        (static_cast<size_t>(SendMessage(Handle(), WM_GETTEXTLENGTH, 0, 0)) == Value.size() &&
         GetText() == Value)) {
        SetText(Value);
        std::string().swap(Value);
        return;
    }
    SendMessage(Handle(), EM_TAKETEXT, 0, reinterpret_cast<LPARAM>(&Value));
    Perform(CM_TEXTCHANGED, 0, 0);
}

DWORD TCustomEdit::EditStyle() const {
    return ES_AUTOHSCROLL;
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "EDIT");
    Params.Style |= EditStyle();
    if (borderStyle_ == bsSingle) Params.Style |= WS_BORDER;
    if (readOnly_) Params.Style |= ES_READONLY;
    if (charCase_ == ecUpperCase) Params.Style |= ES_UPPERCASE;
    if (charCase_ == ecLowerCase) Params.Style |= ES_LOWERCASE;
    if (passwordChar_) Params.Style |= ES_PASSWORD;
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
    if (borderStyle_ == Value) return;
    borderStyle_ = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TCustomEdit::CreateWnd() {
    // The window's first text is the caption it is made with; that is no change the user made.
    {
        TemporaryChange<bool> creating(creating_, true);
        TWinControl::CreateWnd();
    }
    HWND h = Handle();
    SendMessage(h, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
    if (passwordChar_) SendMessage(h, EM_SETPASSWORDCHAR, static_cast<unsigned char>(passwordChar_), 0);
    SendMessage(h, EM_SETMODIFY, modified_ ? 1 : 0, 0);
    SendMessage(h, EM_SETSEL, static_cast<WPARAM>(savedSelStart_),
                static_cast<LPARAM>(savedSelStart_ + savedSelLength_));
}

void TCustomEdit::DestroyWnd() {
    if (HandleAllocated()) {
        modified_ = Modified();
        savedSelStart_ = SelStart();
        savedSelLength_ = SelLength();
    }
    TWinControl::DestroyWnd();
}

void TCustomEdit::SetMaxLength(int Value) {
    maxLength_ = std::max(0, Value);
    if (HandleAllocated()) SendMessage(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TCustomEdit::SetReadOnly(bool Value) {
    readOnly_ = Value;
    if (HandleAllocated()) SendMessage(Handle(), EM_SETREADONLY, Value ? 1 : 0, 0);
}

void TCustomEdit::SetPasswordChar(char Value) {
    if (passwordChar_ == Value) return;
    passwordChar_ = Value;
    RecreateWnd();
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
    if (charCase_ == Value) return;
    charCase_ = Value;
    if (Value == ecUpperCase) SetText(UpperCase(Text()));
    if (Value == ecLowerCase) SetText(LowerCase(Text()));
    RecreateWnd();
}

bool TCustomEdit::Modified() {
    if (HandleAllocated()) return SendMessage(Handle(), EM_GETMODIFY, 0, 0) != 0;
    return modified_;
}

void TCustomEdit::SetModified(bool Value) {
    modified_ = Value;
    if (HandleAllocated()) SendMessage(Handle(), EM_SETMODIFY, Value ? 1 : 0, 0);
}

int TCustomEdit::SelStart() {
    DWORD start = 0, end = 0;
    SendMessage(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(start);
}

void TCustomEdit::SetSelStart(int Value) {
    SendMessage(Handle(), EM_SETSEL, static_cast<WPARAM>(Value), static_cast<LPARAM>(Value));
    // Placing the caret by program shows it, as callers moving to the end of a log rely on.
    SendMessage(Handle(), EM_SCROLLCARET, 0, 0);
}

int TCustomEdit::SelLength() {
    DWORD start = 0, end = 0;
    SendMessage(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(end - start);
}

void TCustomEdit::SetSelLength(int Value) {
    const int start = SelStart();
    SendMessage(Handle(), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + Value));
}

std::string TCustomEdit::SelText() {
    const std::string text = Text();
    const auto start = static_cast<size_t>(std::min<int>(SelStart(), static_cast<int>(text.size())));
    return text.substr(start, static_cast<size_t>(SelLength()));
}

void TCustomEdit::SetSelText(const std::string& Value) {
    SendMessage(Handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(Value.c_str()));
}

void TCustomEdit::SelectAll() {
    SendMessage(Handle(), EM_SETSEL, 0, -1);
}

void TCustomEdit::CopyToClipboard() {
    SendMessage(Handle(), WM_COPY, 0, 0);
}

void TCustomEdit::CutToClipboard() {
    SendMessage(Handle(), WM_CUT, 0, 0);
}

void TCustomEdit::PasteFromClipboard() {
    SendMessage(Handle(), WM_PASTE, 0, 0);
}

void TCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

void TCustomEdit::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CN_COMMAND:
        return CNCommand(TWMCommand(Message));
    case CM_TEXTCHANGED:
        return CMTextChanged(Message);
    default:
        return TWinControl::WndProc(Message);
    }
}

void TCustomEdit::CNCommand(TWMCommand Message) {
    if (Message.NotifyCode() == EN_CHANGE && !creating_) Change();
}

// The window reports the change with EN_CHANGE; without one, nothing would.
void TCustomEdit::CMTextChanged(TMessage& Message) {
    TWinControl::WndProc(Message);
    if (!HandleAllocated()) Change();
}

// Coming to the edit from another control by keyboard selects the whole text; a click places the caret
// instead, and the form's window activated again finds the selection as it was left.
void TCustomEdit::DoEnter() {
    if (autoSelect_ && !(EditStyle() & ES_MULTILINE) && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
    TWinControl::DoEnter();
}

TEdit::TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

// Memo.

TMemo::TMemo(TComponent* AOwner) : TCustomEdit(AOwner), lines_(std::make_unique<TMemoStrings>(*this)) {
    SetBounds(0, 0, 185, 89);
    SetAutoSelect(false);
}

TMemo::~TMemo() = default;

DWORD TMemo::EditStyle() const {
    DWORD style = ES_MULTILINE | ES_AUTOVSCROLL;
    if (!wordWrap_ || scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) style |= ES_AUTOHSCROLL;
    if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) style |= WS_VSCROLL;
    if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) style |= WS_HSCROLL;
    return style;
}

void TMemo::SetScrollBars(TScrollStyle Value) {
    if (scrollBars_ == Value) return;
    scrollBars_ = Value;
    RecreateWnd();
}

void TMemo::SetWordWrap(bool Value) {
    if (wordWrap_ == Value) return;
    wordWrap_ = Value;
    RecreateWnd();
}

TPoint TMemo::CaretPos() {
    DWORD start = 0, end = 0;
    SendMessage(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const int line = static_cast<int>(SendMessage(Handle(), EM_LINEFROMCHAR, end, 0));
    const int lineStart = static_cast<int>(SendMessage(Handle(), EM_LINEINDEX, static_cast<WPARAM>(line), 0));
    return TPoint{static_cast<int>(end) - lineStart, line};
}

void TMemo::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        return WMGetDlgCode(Message);
    case WM_CHAR:
        return WMChar(TWMChar(Message));
    default:
        return TCustomEdit::WndProc(Message);
    }
}

void TMemo::WMGetDlgCode(TMessage& Message) {
    TCustomEdit::WndProc(Message);
    if (wantTabs_)
        Message.Result |= DLGC_WANTTAB;
    else
        Message.Result &= ~DLGC_WANTTAB;
    if (!wantReturns_) Message.Result &= ~DLGC_WANTALLKEYS;
}

// Without WantReturns, Enter is the form's (its default button); Ctrl+Enter still breaks the line, as in
// the class library's memo.
void TMemo::WMChar(TWMChar Message) {
    if (Message.Character() == VK_RETURN && !wantReturns_ && GetKeyState(VK_CONTROL) >= 0) return;
    TCustomEdit::WndProc(Message);
}

// The memo's lines. The window holds the text; lines are separated by CR LF in it.

namespace {
std::string LineOf(HWND h, int index) {
    const auto start = SendMessage(h, EM_LINEINDEX, static_cast<WPARAM>(index), 0);
    if (start < 0) return {};
    const auto length = SendMessage(h, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
    const std::string text = GetWindowText(h);
    return text.substr(static_cast<size_t>(start), static_cast<size_t>(length));
}
} // namespace

namespace {
// The text ends with a line break: the window's last line is empty and starts at the very end. Asked
// without copying the text, so adding a line costs the same however many there are.
bool EndsWithBreak(HWND h, LRESULT length) {
    return length > 0 && SendMessage(h, EM_LINELENGTH, static_cast<WPARAM>(length), 0) == 0;
}
} // namespace

int TMemoStrings::Count() const {
    HWND h = memo_.Handle();
    const LRESULT length = SendMessage(h, WM_GETTEXTLENGTH, 0, 0);
    if (length == 0) return 0;
    int count = static_cast<int>(SendMessage(h, EM_GETLINECOUNT, 0, 0));
    // A line break at the very end leaves an empty last line in the window that is no entry.
    if (EndsWithBreak(h, length)) --count;
    return count;
}

std::string TMemoStrings::Get(int index) const {
    if (index < 0 || index >= Count()) IndexError(index);
    return LineOf(memo_.Handle(), index);
}

int TMemoStrings::Add(const std::string& s) {
    return static_cast<int>(
        SendMessage(memo_.Handle(), EM_APPENDLINE, 0, reinterpret_cast<LPARAM>(s.c_str())));
}

void TMemoStrings::Insert(int index, const std::string& s) {
    const int count = Count();
    if (index < 0 || index > count) IndexError(index);
    HWND h = memo_.Handle();
    LRESULT at;
    std::string insert;
    if (index < count) {
        at = SendMessage(h, EM_LINEINDEX, static_cast<WPARAM>(index), 0);
        insert = s + "\r\n";
    } else {
        at = SendMessage(h, WM_GETTEXTLENGTH, 0, 0);
        if (at > 0 && !EndsWithBreak(h, at)) insert = "\r\n";
        insert += s + "\r\n";
    }
    SendMessage(h, EM_SETSEL, static_cast<WPARAM>(at), at);
    SendMessage(h, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(insert.c_str()));
}

void TMemoStrings::Delete(int index) {
    const int count = Count();
    if (index < 0 || index >= count) IndexError(index);
    HWND h = memo_.Handle();
    const auto start = SendMessage(h, EM_LINEINDEX, static_cast<WPARAM>(index), 0);
    LRESULT end = SendMessage(h, EM_LINEINDEX, static_cast<WPARAM>(index + 1), 0);
    if (end < 0) end = static_cast<LRESULT>(GetWindowText(h).size());
    SendMessage(h, EM_SETSEL, static_cast<WPARAM>(start), end);
    SendMessage(h, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(""));
}

void TMemoStrings::Put(int index, const std::string& s) {
    if (index < 0 || index >= Count()) IndexError(index);
    HWND h = memo_.Handle();
    const auto start = SendMessage(h, EM_LINEINDEX, static_cast<WPARAM>(index), 0);
    const auto length = SendMessage(h, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
    SendMessage(h, EM_SETSEL, static_cast<WPARAM>(start), start + length);
    SendMessage(h, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(s.c_str()));
}

void TMemoStrings::Clear() {
    memo_.SetText("");
}

void TMemoStrings::SetText(std::string_view text) {
    // Line breaks of any kind become the window's CR LF.
    std::string normal;
    normal.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            normal += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (text[i] == '\n') {
            normal += "\r\n";
        } else {
            normal += text[i];
        }
    }
    memo_.SetText(normal);
}

void TMemoStrings::SetUpdateState(bool updating) {
    if (!memo_.HandleAllocated()) return;
    SendMessage(memo_.Handle(), WM_SETREDRAW, updating ? 0 : 1, 0);
    if (!updating) memo_.Refresh();
}
