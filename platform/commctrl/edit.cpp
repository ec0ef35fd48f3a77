// The "EDIT" class: its window and edit messages, and its registration.
#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "platform/commctrl/class_registry.h"
#include "platform/commctrl/edit_control.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/text.h"
#include "platform/gui/caret.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"

namespace pw::commctrl {

LRESULT Edit::Handle(TMessage& m) {
    if (LaysOut(m.Msg)) Sync();
    if (m.Msg >= EM_GETSEL && m.Msg <= EM_GETLIMITTEXT) return EditMessage(EditMsg(m));
    switch (m.Msg) {
    case WM_CREATE:
        return Create(TWMCreate(m));
    case WM_PAINT:
        return Paint(TWMPaint(m));
    case WM_ERASEBKGND:
        return 1;
    case WM_SETFONT:
        return FontChanged(TWMSetFont(m));
    case WM_SIZE:
        return Resized();
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | (Multi() ? DLGC_WANTALLKEYS : 0);
    case WM_SETCURSOR:
        return SetCursorShape(TWMSetCursor(m));
    case WM_SETTEXT:
        return SetText(TWMSetText(m).String());
    case EM_TAKETEXT:
        return TakeText(EditMsg(m).TakenText());
    case EM_APPENDLINE:
        return AppendLine(EditMsg(m).Text());
    case WM_GETTEXT:
        return CopyOut(model_.Text(), TWMGetText(m).Buffer());
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(model_.Text().size());
    case WM_SETFOCUS:
        return GotFocus();
    case WM_KILLFOCUS:
        return LostFocus();
    case WM_TIMER:
        return Blink(TWMTimer(m));
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return ButtonDown(TWMMouse(m));
    case WM_MOUSEMOVE:
        return MouseMove(TWMMouse(m));
    case WM_LBUTTONUP:
        return ButtonUp();
    case WM_CAPTURECHANGED:
        return CaptureLost();
    case WM_KEYDOWN:
        return KeyPressed(TWMKey(m));
    case WM_CHAR:
        return CharTyped(TWMChar(m));
    case WM_MOUSEWHEEL:
        return MouseWheel(TWMMouseWheel(m));
    case WM_VSCROLL:
        return VScroll(TWMScroll(m));
    case WM_HSCROLL:
        return HScroll(TWMScroll(m));
    case WM_CUT:
        return Cut();
    case WM_COPY:
        return Copy();
    case WM_PASTE:
        return Paste();
    case WM_CLEAR:
        return Clear();
    case WM_UNDO:
        return Undo();
    default:
        return Default(m);
    }
}

LRESULT Edit::EditMessage(EditMsg m) {
    switch (m.Msg) {
    case EM_UNDO:
        return Undo();
    case EM_CANUNDO:
        return model_.CanUndo() ? TRUE_ : FALSE_;
    case EM_EMPTYUNDOBUFFER:
        return ForgetUndo();
    case EM_GETSEL:
        return GetSel(m.StartOut(), m.EndOut());
    case EM_SETSEL:
        return SetSel(m);
    case EM_REPLACESEL:
        return ReplaceSel(m.Text(), m.CanUndo());
    case EM_SCROLLCARET:
        return ScrollCaretIntoView();
    case EM_GETMODIFY:
        return modified_ ? TRUE_ : FALSE_;
    case EM_SETMODIFY:
        return SetModified(m.Flag());
    case EM_LIMITTEXT:
        return SetLimit(m.Limit());
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(limit_);
    case EM_SETREADONLY:
        return SetReadOnly(m.Flag());
    case EM_SETPASSWORDCHAR:
        return SetPasswordChar(m.PasswordChar());
    case EM_GETPASSWORDCHAR:
        return static_cast<LRESULT>(passwordChar_);
    case EM_GETLINECOUNT:
        return model_.LineCount();
    case EM_LINEINDEX:
        return LineIndex(m.OfCaret() ? model_.LineOf(model_.Caret()) : m.Line(model_.LineCount()));
    case EM_LINELENGTH:
        return m.OfSelection() ? UnselectedAroundSelection() : LineLength(m.Position(model_.Text().size()));
    case EM_LINEFROMCHAR:
        return model_.LineOf(m.OfSelection() ? model_.SelStart() : m.Position(model_.Text().size()));
    case EM_GETLINE:
        return GetLine(m.Line(model_.LineCount()), m.LineBuffer());
    case EM_GETFIRSTVISIBLELINE:
        return Multi() ? topLine_ : 0;
    case EM_LINESCROLL:
        return LineScroll(m.ScrollLines());
    case EM_GETRECT:
        return GetRect(m.Rect());
    case EM_SETRECT:
        return SetRect(m.Rect(), true);
    case EM_SETRECTNP:
        return SetRect(m.Rect(), false);
    case EM_SETMARGINS:
        return SetMargins(m);
    case EM_GETMARGINS:
        return static_cast<LRESULT>(
            MAKELPARAM(static_cast<WORD>(leftMargin_), static_cast<WORD>(rightMargin_)));
    default:
        return Default(m);
    }
}

LRESULT Edit::Create(TWMCreate m) {
    const CREATESTRUCT* cs = m.CreateStruct();
    model_.SetText(std::string(Normalize(cs && cs->lpszName ? cs->lpszName : "")));
    seen_ = IsWindowVisible(Hwnd()) != 0;
    widthsFrom_ = 0;
    Rewrap();
    UpdateScrollBars();
    return 0;
}

LRESULT Edit::FontChanged(TWMSetFont m) {
    Rewrap();
    UpdateScrollBars();
    if (m.Redraw()) Invalidate();
    return 0;
}

LRESULT Edit::Resized() {
    // A new size gives the default formatting rectangle back.
    formatRect_.reset();
    Rewrap();
    UpdateScrollBars();
    return 0;
}

LRESULT Edit::SetCursorShape(TWMSetCursor m) {
    if (m.HitTest() != HTCLIENT) return Default(m);
    SetCursor(LoadCursor(nullptr, IDC_IBEAM));
    return TRUE_;
}

LRESULT Edit::TakeText(std::string* text) {
    if (!text) return FALSE_;
    std::string taken;
    taken.swap(*text);
    return SetText(std::move(taken));
}

LRESULT Edit::SetText(std::string text) {
    if (!Multi()) text = FirstLine(text);
    model_.SetText(std::move(text));
    widthsFrom_ = 0;
    modified_ = false;
    // The window keeps no text of its own: the model holds it.
    TMessage none{WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""), 0};
    Default(none);
    scrollX_ = 0;
    topLine_ = 0;
    Changed(false);
    return TRUE_;
}

LRESULT Edit::GotFocus() {
    focused_ = true;
    caretOn_ = true;
    // The system caret tells others where typing goes (a context menu from the keyboard opens there).
    CreateCaret(Hwnd(), nullptr, 1, LineH());
    PlaceCaret();
    ShowCaret(Hwnd());
    // INFINITE: the desktop wants a caret that does not blink.
    if (GetCaretBlinkTime() != INFINITE) SetTimer(Hwnd(), kBlinkTimer, GetCaretBlinkTime(), nullptr);
    Invalidate();
    Command(EN_SETFOCUS);
    return 0;
}

LRESULT Edit::LostFocus() {
    focused_ = false;
    if (HideCaret(Hwnd())) DestroyCaret();
    KillTimer(Hwnd(), kBlinkTimer);
    Invalidate();
    Command(EN_KILLFOCUS);
    return 0;
}

LRESULT Edit::Blink(TWMTimer m) {
    if (m.TimerID() != kBlinkTimer) return 0;
    caretOn_ = !caretOn_;
    Invalidate();
    return 0;
}

LRESULT Edit::ForgetUndo() {
    model_.ForgetUndo();
    return 0;
}

LRESULT Edit::GetSel(DWORD* start, DWORD* end) const {
    if (start) *start = static_cast<DWORD>(model_.SelStart());
    if (end) *end = static_cast<DWORD>(model_.SelEnd());
    const size_t s = std::min<size_t>(model_.SelStart(), 0xFFFF),
                 e = std::min<size_t>(model_.SelEnd(), 0xFFFF);
    return MAKELPARAM(static_cast<WORD>(s), static_cast<WORD>(e));
}

LRESULT Edit::SetSel(EditMsg m) {
    const size_t size = model_.Text().size();
    if (m.Deselects())
        model_.SetSel(model_.Caret(), model_.Caret());
    else
        model_.SetSel(m.Start(size), m.End(size));
    // Without the focus neither the selection nor the caret shows (unless ES_NOHIDESEL): nothing
    // to draw again.
    PlaceCaret();
    if (focused_ || (Style() & ES_NOHIDESEL)) Invalidate();
    return 0;
}

LRESULT Edit::ReplaceSel(std::string_view text, bool undoable) {
    ApplyChange(Normalize(text), undoable);
    return 0;
}

LRESULT Edit::AppendLine(std::string_view line) {
    const size_t size = model_.Text().size();
    // A break at the very end leaves an empty last line, which the new line takes.
    const bool broken = size > 0 && model_.LineLength(model_.LineOf(size)) == 0;
    const int index = size == 0 ? 0 : model_.LineCount() - (broken ? 1 : 0);
    std::string insert;
    insert.reserve(line.size() + 4);
    if (size > 0 && !broken) insert = "\r\n";
    insert += line;
    insert += "\r\n";
    model_.SetSel(size, size);
    if (focused_ || (Style() & ES_NOHIDESEL)) Invalidate();
    ApplyChange(Normalize(insert), false);
    return index;
}

LRESULT Edit::SetModified(bool modified) {
    modified_ = modified;
    return 0;
}

LRESULT Edit::SetLimit(size_t limit) {
    limit_ = limit;
    return 0;
}

LRESULT Edit::SetReadOnly(bool readOnly) {
    const DWORD style = readOnly ? (Style() | ES_READONLY) : (Style() & ~ES_READONLY);
    SetWindowLong(Hwnd(), GWL_STYLE, static_cast<LONG>(style));
    Invalidate();
    return TRUE_;
}

LRESULT Edit::SetPasswordChar(std::optional<char32_t> c) {
    if (!c) return 0;
    passwordChar_ = *c;
    Invalidate();
    return 0;
}

LRESULT Edit::LineIndex(std::optional<int> line) const {
    return line ? static_cast<LRESULT>(model_.LineStart(*line)) : -1;
}

LRESULT Edit::LineLength(size_t pos) const {
    return static_cast<LRESULT>(model_.LineLength(model_.LineOf(pos)));
}

LRESULT Edit::UnselectedAroundSelection() const {
    const int first = model_.LineOf(model_.SelStart()), last = model_.LineOf(model_.SelEnd());
    return static_cast<LRESULT>(model_.SelStart() - model_.LineStart(first) + model_.LineStart(last) +
                                model_.LineLength(last) - model_.SelEnd());
}

LRESULT Edit::GetLine(std::optional<int> line, std::span<char> buffer) const {
    if (!line || buffer.empty()) return 0;
    const std::string text = model_.Line(*line);
    const size_t n = std::min(buffer.size(), text.size());
    text.copy(buffer.data(), n);
    return static_cast<LRESULT>(n);
}

LRESULT Edit::ScrollCaretIntoView() {
    ScrollToCaret();
    return TRUE_;
}

LRESULT Edit::LineScroll(int lines) {
    if (Multi()) ScrollLines(lines);
    return TRUE_;
}

LRESULT Edit::GetRect(RECT* r) const {
    if (r) *r = TextArea();
    return 0;
}

LRESULT Edit::SetRect(const RECT* r, bool redraw) {
    if (!Multi()) return 0;
    formatRect_.reset();
    if (r) {
        RECT f = *r;
        f.right = std::max(f.left, f.right);
        f.bottom = std::max(f.top, f.bottom);
        formatRect_ = f;
    }
    Rewrap();
    UpdateScrollBars();
    ScrollToCaret();
    if (redraw) Invalidate();
    return 0;
}

LRESULT Edit::SetMargins(EditMsg m) {
    if (m.MarginsFromFont()) {
        // Half the font's average character width on each side, as narrow as the font allows.
        TEXTMETRIC tm;
        SelectObject(measureDc_.Get(), Font());
        const int margin =
            GetTextMetrics(measureDc_.Get(), &tm) ? static_cast<int>(tm.tmAveCharWidth / 2) : 0;
        leftMargin_ = rightMargin_ = margin;
    }
    if (m.SetsLeftMargin()) leftMargin_ = m.LeftMargin();
    if (m.SetsRightMargin()) rightMargin_ = m.RightMargin();
    formatRect_.reset();
    Rewrap();
    UpdateScrollBars();
    ScrollToCaret();
    Invalidate();
    return 0;
}

std::string_view Edit::Normalize(std::string_view text) const {
    return Multi() ? text : text.substr(0, text.find_first_of("\r\n"));
}

bool Edit::LaysOut(UINT msg) {
    switch (msg) {
    case WM_GETTEXTLENGTH:
    case WM_GETTEXT:
    case WM_GETDLGCODE:
    case WM_SETCURSOR:
    case WM_ERASEBKGND:
    case WM_TIMER:
    case EM_GETSEL:
    case EM_SETSEL:
    case EM_GETMODIFY:
    case EM_SETMODIFY:
    case EM_LIMITTEXT:
    case EM_GETLIMITTEXT:
    case EM_CANUNDO:
    case EM_EMPTYUNDOBUFFER:
        return false;
    default:
        return true;
    }
}

void RegisterEditClass() {
    RegisterControlClass<Edit>("EDIT", CS_DBLCLKS);
}

} // namespace pw::commctrl
