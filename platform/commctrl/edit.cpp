// The "EDIT" class: single-line and multi-line text editing with a blinking caret.
#include <algorithm>
#include <climits>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "platform/commctrl/class_registry.h"
#include "platform/commctrl/control.h"
#include "platform/commctrl/control_views.h"
#include "platform/commctrl/edit_model.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/gdi/text.h"
#include "platform/gui/caret.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"

namespace pw::commctrl {
namespace {

inline constexpr UINT_PTR kBlinkTimer = 1;
inline constexpr int kMargin = 2;
inline constexpr size_t kDefaultLimit = 30000;

class Edit : public Control {
public:
    explicit Edit(HWND hwnd) : Control(hwnd), model_(IsMulti(hwnd)) {}

    LRESULT Handle(TMessage& m) override {
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

private:
    LRESULT EditMessage(EditMsg m) {
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
            return m.OfSelection() ? UnselectedAroundSelection()
                                   : LineLength(m.Position(model_.Text().size()));
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

    // --- window messages ---------------------------------------------------------------------------

    LRESULT Create(TWMCreate m) {
        const CREATESTRUCT* cs = m.CreateStruct();
        model_.SetText(std::string(Normalize(cs && cs->lpszName ? cs->lpszName : "")));
        seen_ = IsWindowVisible(Hwnd()) != 0;
        widthsFrom_ = 0;
        Rewrap();
        UpdateScrollBars();
        return 0;
    }

    LRESULT FontChanged(TWMSetFont m) {
        Rewrap();
        UpdateScrollBars();
        if (m.Redraw()) Invalidate();
        return 0;
    }

    LRESULT Resized() {
        // A new size gives the default formatting rectangle back.
        formatRect_.reset();
        Rewrap();
        UpdateScrollBars();
        return 0;
    }

    LRESULT SetCursorShape(TWMSetCursor m) {
        if (m.HitTest() != HTCLIENT) return Default(m);
        SetCursor(LoadCursor(nullptr, IDC_IBEAM));
        return TRUE_;
    }

    LRESULT TakeText(std::string* text) {
        if (!text) return FALSE_;
        std::string taken;
        taken.swap(*text);
        return SetText(std::move(taken));
    }

    LRESULT SetText(std::string text) {
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

    LRESULT GotFocus() {
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

    LRESULT LostFocus() {
        focused_ = false;
        if (HideCaret(Hwnd())) DestroyCaret();
        KillTimer(Hwnd(), kBlinkTimer);
        Invalidate();
        Command(EN_KILLFOCUS);
        return 0;
    }

    LRESULT Blink(TWMTimer m) {
        if (m.TimerID() != kBlinkTimer) return 0;
        caretOn_ = !caretOn_;
        Invalidate();
        return 0;
    }

    LRESULT ButtonDown(TWMMouse m) {
        SetFocus(Hwnd());
        const size_t pos = PositionAt(m.Pos());
        if (m.Msg == WM_LBUTTONDBLCLK)
            model_.SetSel(model_.WordLeft(model_.Next(pos)), model_.WordRight(pos));
        else
            model_.SetSel((m.Keys() & MK_SHIFT) ? model_.Anchor() : pos, pos);
        SetCapture(Hwnd());
        dragging_ = true;
        SelectionMoved();
        return 0;
    }

    LRESULT MouseMove(TWMMouse m) {
        if (!dragging_ || GetCapture() != Hwnd()) return 0;
        model_.SetSel(model_.Anchor(), PositionAt(m.Pos()));
        SelectionMoved();
        return 0;
    }

    LRESULT ButtonUp() {
        if (dragging_) ReleaseCapture();
        return 0;
    }

    LRESULT CaptureLost() {
        dragging_ = false;
        return 0;
    }

    LRESULT MouseWheel(TWMMouseWheel m) {
        if (!Multi()) return Default(m);
        ScrollLines(-WheelRows(m));
        return 0;
    }

    LRESULT Cut() {
        // A password never leaves through the clipboard, so cutting it would only lose it.
        if (!ReadOnly() && !Password() && model_.HasSelection()) {
            Copy();
            ApplyChange(std::string(), true);
        }
        return 0;
    }

    LRESULT Clear() {
        if (!ReadOnly() && model_.HasSelection()) ApplyChange(std::string(), true);
        return 0;
    }

    LRESULT Undo() {
        if (ReadOnly() || !model_.Undo()) return FALSE_;
        widthsFrom_ = 0;
        modified_ = true;
        Changed(true);
        return TRUE_;
    }

    // --- edit messages -----------------------------------------------------------------------------

    LRESULT ForgetUndo() {
        model_.ForgetUndo();
        return 0;
    }

    LRESULT GetSel(DWORD* start, DWORD* end) const {
        if (start) *start = static_cast<DWORD>(model_.SelStart());
        if (end) *end = static_cast<DWORD>(model_.SelEnd());
        const size_t s = std::min<size_t>(model_.SelStart(), 0xFFFF),
                     e = std::min<size_t>(model_.SelEnd(), 0xFFFF);
        return MAKELPARAM(static_cast<WORD>(s), static_cast<WORD>(e));
    }

    LRESULT SetSel(EditMsg m) {
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

    LRESULT ReplaceSel(std::string_view text, bool undoable) {
        ApplyChange(Normalize(text), undoable);
        return 0;
    }

    LRESULT AppendLine(std::string_view line) {
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

    LRESULT SetModified(bool modified) {
        modified_ = modified;
        return 0;
    }

    LRESULT SetLimit(size_t limit) {
        limit_ = limit;
        return 0;
    }

    LRESULT SetReadOnly(bool readOnly) {
        const DWORD style = readOnly ? (Style() | ES_READONLY) : (Style() & ~ES_READONLY);
        SetWindowLong(Hwnd(), GWL_STYLE, static_cast<LONG>(style));
        Invalidate();
        return TRUE_;
    }

    LRESULT SetPasswordChar(std::optional<char32_t> c) {
        if (!c) return 0;
        passwordChar_ = *c;
        Invalidate();
        return 0;
    }

    LRESULT LineIndex(std::optional<int> line) const {
        return line ? static_cast<LRESULT>(model_.LineStart(*line)) : -1;
    }

    LRESULT LineLength(size_t pos) const {
        return static_cast<LRESULT>(model_.LineLength(model_.LineOf(pos)));
    }

    // The unselected characters of the lines the selection touches.
    LRESULT UnselectedAroundSelection() const {
        const int first = model_.LineOf(model_.SelStart()), last = model_.LineOf(model_.SelEnd());
        return static_cast<LRESULT>(model_.SelStart() - model_.LineStart(first) + model_.LineStart(last) +
                                    model_.LineLength(last) - model_.SelEnd());
    }

    // The copy has no terminating zero.
    LRESULT GetLine(std::optional<int> line, std::span<char> buffer) const {
        if (!line || buffer.empty()) return 0;
        const std::string text = model_.Line(*line);
        const size_t n = std::min(buffer.size(), text.size());
        text.copy(buffer.data(), n);
        return static_cast<LRESULT>(n);
    }

    LRESULT ScrollCaretIntoView() {
        ScrollToCaret();
        return TRUE_;
    }

    LRESULT LineScroll(int lines) {
        if (Multi()) ScrollLines(lines);
        return TRUE_;
    }

    LRESULT GetRect(RECT* r) const {
        if (r) *r = TextArea();
        return 0;
    }

    // The formatting rectangle (client coordinates) bounds where text is laid out, drawn and clicked;
    // null gives the default back: the client area less the margins. As in Win32, only a multi-line
    // edit takes one.
    LRESULT SetRect(const RECT* r, bool redraw) {
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

    LRESULT SetMargins(EditMsg m) {
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

    static bool IsMulti(HWND hwnd) { return (GetWindowLong(hwnd, GWL_STYLE) & ES_MULTILINE) != 0; }
    bool Multi() const { return (Style() & ES_MULTILINE) != 0; }
    bool ReadOnly() const { return (Style() & ES_READONLY) != 0; }
    bool Password() const { return !Multi() && ((Style() & ES_PASSWORD) || passwordChar_ != 0); }

    // A single-line edit keeps the first line.
    std::string_view Normalize(std::string_view text) const {
        return Multi() ? text : text.substr(0, text.find_first_of("\r\n"));
    }

    // Multi-line edits without ES_AUTOHSCROLL break their lines at the width of the text area.
    void Rewrap() {
        widthsFrom_ = 0;
        // Unseen, lines are not measured for wrapping: they wrap when the window is shown.
        if (!Wraps() || !seen_) {
            model_.SetWrap(nullptr, 0);
            return;
        }
        SelectObject(measureDc_.Get(), Font());
        const RECT area = TextArea();
        HDC dc = measureDc_.Get();
        model_.SetWrap([dc](std::string_view text) { return TextWidth(dc, text); },
                       std::max(1, static_cast<int>(area.right - area.left) - 1));
    }

    RECT TextArea() const {
        if (formatRect_) return *formatRect_;
        RECT r;
        GetClientRect(Hwnd(), r);
        r.left = std::min(r.right, r.left + leftMargin_);
        r.right = std::max(r.left, r.right - rightMargin_);
        r.top += Multi() ? 0 : 1;
        return r;
    }

    int VisibleLines() {
        const RECT r = TextArea();
        return std::max(1, static_cast<int>((r.bottom - r.top) / LineH()));
    }

    // The font's line height, asked of the measuring DC once per font.
    int LineH() {
        const HFONT font = Font();
        if (lineHeight_ <= 0 || font != heightFont_) {
            SelectObject(measureDc_.Get(), font);
            lineHeight_ = std::max(1, LineHeight(measureDc_.Get()));
            heightFont_ = font;
        }
        return lineHeight_;
    }

    bool Wraps() const { return Multi() && !(Style() & ES_AUTOHSCROLL); }

    // Messages that neither read nor change the lines or the view need not know who can see them.
    static bool LaysOut(UINT msg) {
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

    // A paint is due anyway over part of the window.
    bool PaintPending() const {
        RECT r{};
        return GetUpdateRect(Hwnd(), &r, FALSE_) != 0;
    }

    // Whether anyone can see the window follows its and its parents' visibility: a window that becomes
    // visible wraps and measures what it put off, and shows the caret if the last change asked for it.
    void Sync() {
        const bool seen = IsWindowVisible(Hwnd()) != 0;
        if (seen == seen_) return;
        seen_ = seen;
        if (Wraps()) {
            Rewrap();
        }
        if (!seen) return;
        if (caretPending_) {
            ScrollToCaret();
        } else {
            topLine_ = std::clamp(topLine_, 0, std::max(0, model_.LineCount() - VisibleLines()));
            UpdateScrollBars();
        }
    }

    std::string Display(const std::string& text) const {
        if (!Password()) return text;
        std::string out;
        const char32_t mask = passwordChar_ ? passwordChar_ : U'*';
        for (size_t i = 0; i < text.size(); ++i)
            if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) AppendUtf8(out, mask);
        return out;
    }

    static void AppendUtf8(std::string& out, char32_t c) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }

    // The x of a position within its line, from the line's start, in pixels.
    int XOf(HDC dc, size_t pos) {
        const int line = model_.LineOf(pos);
        const size_t start = model_.LineStart(line);
        if (pos <= start) return 0;
        return TextWidth(dc, Display(model_.Text().substr(start, pos - start)));
    }

    int AlignOffset(HDC dc) {
        if (Multi() || (Style() & (ES_CENTER | ES_RIGHT)) == 0) return 0;
        const RECT r = TextArea();
        const int room = (r.right - r.left) - TextWidth(dc, Display(model_.Text()));
        if (room <= 0) return 0;
        return (Style() & ES_RIGHT) ? room : room / 2;
    }

    size_t PositionAt(POINT p) {
        ClientDC dc(*this);
        const RECT area = TextArea();
        int line = 0;
        if (Multi()) {
            const int h = std::max(1, LineHeight(dc.Get()));
            line = std::clamp(topLine_ + (p.y - area.top) / h - (p.y < area.top ? 1 : 0), 0,
                              model_.LineCount() - 1);
        }
        const int x = p.x - area.left + scrollX_ - AlignOffset(dc.Get());
        const size_t start = model_.LineStart(line), end = start + model_.LineLength(line);
        size_t pos = start;
        int previous = 0;
        while (pos < end) {
            const size_t next = model_.Next(pos);
            const int w = TextWidth(dc.Get(), Display(model_.Text().substr(start, next - start)));
            if (x < (previous + w) / 2 + (previous + w) % 2) break;
            previous = w;
            pos = next;
        }
        return pos;
    }

    void SelectionMoved() {
        ScrollToCaret();
        caretOn_ = true;
        Invalidate();
    }

    // The one path of every change: the limit, undo, modified flag, scrolling and notifications.
    void ApplyChange(std::string_view text, bool undoable) {
        const size_t size = model_.Text().size();
        const size_t from = model_.SelStart();
        // The first line the change can reach: the line before the one it starts in, for a word that
        // wraps back. Lines above it keep their text and only move if the view scrolls.
        const int firstChanged = model_.HasSelection() ? 0 : std::max(0, model_.LineOf(from) - 1);
        const int oldTop = topLine_, oldScrollX = scrollX_;
        widthsFrom_ = std::min(widthsFrom_, from);
        const bool whole = model_.Replace(text, undoable, limit_ > size ? limit_ - size : 0);
        modified_ = true;
        Changed(true, firstChanged, oldTop, oldScrollX);
        if (!whole) Command(EN_MAXTEXT);
    }

    void Changed(bool scroll, int firstChanged = 0, int oldTop = -1, int oldScrollX = 0) {
        if (scroll)
            ScrollToCaret();
        else
            UpdateScrollBars();
        Command(EN_UPDATE);
        InvalidateFrom(firstChanged, oldTop, oldScrollX);
        Command(EN_CHANGE);
    }

    // A line added at the bottom of a long memo repaints that line, not the memo: the lines above it
    // move up with their pixels, as a scrolled window's do. Anything else repaints the whole text.
    void InvalidateFrom(int firstChanged, int oldTop, int oldScrollX) {
        if (!seen_ || !Multi() || oldTop < 0 || firstChanged <= 0 || focused_ || scrollX_ != oldScrollX ||
            model_.HasSelection() || !RedrawOn() || PaintPending()) {
            // Hidden, nothing moves; with a paint still to come, lines added meanwhile are drawn by it
            // rather than moving the pixels once per line.
            Invalidate();
            return;
        }
        const RECT area = TextArea();
        const int h = LineH();
        const int shown = static_cast<int>((area.bottom - area.top) / h);
        // Lines that were cut off at the bottom are drawn again in full.
        const int keep = std::min(firstChanged, oldTop + shown);
        const int moved = topLine_ - oldTop;
        if (moved < 0 || keep - topLine_ <= 0) {
            Invalidate();
            return;
        }
        RECT client;
        GetClientRect(Hwnd(), client);
        if (moved > 0) ScrollWindowEx(Hwnd(), 0, -moved * h, &client, &client, nullptr, nullptr, 0);
        RECT rest = client;
        rest.top = area.top + (keep - topLine_) * h;
        if (rest.top < rest.bottom) InvalidateRect(Hwnd(), &rest, TRUE_);
    }

    void Insert(const std::string& text) {
        if (ReadOnly()) return;
        const size_t used = model_.Text().size() - (model_.SelEnd() - model_.SelStart());
        if (used + text.size() > limit_) {
            Command(EN_MAXTEXT);
            return;
        }
        ApplyChange(text, true);
    }

    LRESULT Copy() {
        if (!model_.HasSelection() || Password()) return 0;
        if (!OpenClipboard(Hwnd())) return 0;
        EmptyClipboard();
        SetClipboardData(CF_UNICODETEXT, model_.Selected());
        CloseClipboard();
        return 0;
    }

    LRESULT Paste() {
        if (ReadOnly()) return 0;
        std::string text = GetClipboardData(CF_UNICODETEXT);
        if (!Multi()) text = FirstLine(text);
        if (text.empty()) return 0;
        const size_t used = model_.Text().size() - (model_.SelEnd() - model_.SelStart());
        if (used >= limit_) {
            Command(EN_MAXTEXT);
            return 0;
        }
        ApplyChange(text, true);
        return 0;
    }

    void Move(size_t pos, bool extend) {
        model_.SetSel(extend ? model_.Anchor() : pos, pos);
        SelectionMoved();
    }

    size_t VerticalTarget(int lines) {
        ClientDC dc(*this);
        const int x = XOf(dc.Get(), model_.Caret());
        const int line = std::clamp(model_.LineOf(model_.Caret()) + lines, 0, model_.LineCount() - 1);
        const size_t start = model_.LineStart(line), end = start + model_.LineLength(line);
        size_t pos = start;
        while (pos < end) {
            const size_t next = model_.Next(pos);
            if (TextWidth(dc.Get(), Display(model_.Text().substr(start, next - start))) > x) break;
            pos = next;
        }
        return pos;
    }

    LRESULT KeyPressed(TWMKey m) {
        const WORD vk = m.CharCode();
        const bool shift = KeyDown(VK_SHIFT), ctrl = KeyDown(VK_CONTROL);
        const size_t caret = model_.Caret();
        const int line = model_.LineOf(caret);
        switch (vk) {
        case VK_LEFT:
            if (!shift && model_.HasSelection())
                Move(model_.SelStart(), false);
            else
                Move(ctrl ? model_.WordLeft(caret) : model_.Prev(caret), shift);
            break;
        case VK_RIGHT:
            if (!shift && model_.HasSelection())
                Move(model_.SelEnd(), false);
            else
                Move(ctrl ? model_.WordRight(caret) : model_.Next(caret), shift);
            break;
        case VK_UP:
            if (Multi()) Move(VerticalTarget(-1), shift);
            break;
        case VK_DOWN:
            if (Multi()) Move(VerticalTarget(1), shift);
            break;
        case VK_PRIOR:
            if (Multi()) Move(VerticalTarget(-VisibleLines()), shift);
            break;
        case VK_NEXT:
            if (Multi()) Move(VerticalTarget(VisibleLines()), shift);
            break;
        case VK_HOME:
            Move(ctrl ? 0 : model_.LineStart(line), shift);
            break;
        case VK_END:
            Move(ctrl ? model_.Text().size() : model_.LineStart(line) + model_.LineLength(line), shift);
            break;
        case VK_DELETE:
            if (ReadOnly()) break;
            if (shift) {
                SendMessage(Hwnd(), WM_CUT, 0, 0);
            } else {
                if (!model_.HasSelection())
                    model_.SetSel(caret, ctrl ? model_.WordRight(caret) : model_.Next(caret));
                if (model_.HasSelection()) ApplyChange(std::string(), true);
            }
            break;
        case VK_BACK:
            if (ReadOnly()) break;
            if (!model_.HasSelection())
                model_.SetSel(caret, ctrl ? model_.WordLeft(caret) : model_.Prev(caret));
            if (model_.HasSelection()) ApplyChange(std::string(), true);
            break;
        case VK_RETURN:
            if (Multi() && !ctrl) Insert("\r\n");
            break;
        case VK_INSERT:
            if (ctrl) SendMessage(Hwnd(), WM_COPY, 0, 0);
            if (shift) SendMessage(Hwnd(), WM_PASTE, 0, 0);
            break;
        default:
            if (ctrl && !shift) {
                if (vk == 'A') {
                    model_.SetSel(0, model_.Text().size());
                    SelectionMoved();
                } else if (vk == 'C') {
                    SendMessage(Hwnd(), WM_COPY, 0, 0);
                } else if (vk == 'X') {
                    SendMessage(Hwnd(), WM_CUT, 0, 0);
                } else if (vk == 'V') {
                    SendMessage(Hwnd(), WM_PASTE, 0, 0);
                } else if (vk == 'Z') {
                    SendMessage(Hwnd(), EM_UNDO, 0, 0);
                }
            }
            break;
        }
        return 0;
    }

    LRESULT CharTyped(TWMChar m) {
        char32_t c = m.Character();
        // Control characters are acted on at the key-down.
        if (c < 0x20 || c == 0x7F || (KeyDown(VK_CONTROL) && !KeyDown(VK_MENU)) || c > 0x10FFFF ||
            (c >= 0xD800 && c < 0xE000))
            return 0;
        if (ReadOnly()) return 0;
        if ((Style() & ES_NUMBER) && !(c >= '0' && c <= '9')) {
            MessageBeep(0);
            return 0;
        }
        if ((Style() & ES_UPPERCASE) && c >= 'a' && c <= 'z') c -= 32;
        if ((Style() & ES_LOWERCASE) && c >= 'A' && c <= 'Z') c += 32;
        std::string text;
        AppendUtf8(text, c);
        Insert(text);
        return 0;
    }

    void ScrollLines(int delta) {
        const int maxTop = std::max(0, model_.LineCount() - VisibleLines());
        const int top = std::clamp(topLine_ + delta, 0, maxTop);
        if (top == topLine_) return;
        caretPending_ = false;
        topLine_ = top;
        UpdateScrollBars();
        Invalidate();
    }

    LRESULT VScroll(TWMScroll m) {
        if (!Multi()) return 0;
        const int wanted = ScrolledTop(Hwnd(), m.ScrollCode(), topLine_, VisibleLines(), model_.LineCount());
        if (wanted != topLine_) ScrollLines(wanted - topLine_);
        return 0;
    }

    LRESULT HScroll(TWMScroll m) {
        if (!Multi()) return 0;
        const RECT area = TextArea();
        const int page = std::max(1, static_cast<int>(area.right - area.left));
        SCROLLINFO si;
        si.fMask = SIF_RANGE | SIF_TRACKPOS;
        GetScrollInfo(Hwnd(), SB_HORZ, si);
        const int maxX = std::max(0, si.nMax + 1 - page);
        int x = scrollX_;
        switch (m.ScrollCode()) {
        case SB_LINELEFT:
            x -= 8;
            break;
        case SB_LINERIGHT:
            x += 8;
            break;
        case SB_PAGELEFT:
            x -= page;
            break;
        case SB_PAGERIGHT:
            x += page;
            break;
        case SB_LEFT:
            x = 0;
            break;
        case SB_RIGHT:
            x = maxX;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            x = si.nTrackPos;
            break;
        default:
            return 0;
        }
        x = std::clamp(x, 0, maxX);
        if (x == scrollX_) return 0;
        scrollX_ = x;
        UpdateScrollBars();
        Invalidate();
        return 0;
    }

    void ScrollToCaret() {
        const RECT area = TextArea();
        const int width = area.right - area.left;
        if (Multi()) {
            const int line = model_.LineOf(model_.Caret());
            const int visible = VisibleLines();
            if (line < topLine_) topLine_ = line;
            if (line >= topLine_ + visible) topLine_ = line - visible + 1;
        }
        // Unseen, lines are not wrapped nor measured: the caret is brought into view once they are.
        caretPending_ = !seen_;
        if (seen_) {
            SelectObject(measureDc_.Get(), Font());
            const int x = XOf(measureDc_.Get(), model_.Caret());
            if (x < scrollX_) scrollX_ = std::max(0, x - width / 3);
            if (x > scrollX_ + width - 1) scrollX_ = x - width + 1 + width / 3;
        }
        UpdateScrollBars();
        PlaceCaret();
    }

    // The caret's top-left in the client area as the text is scrolled now; dc has the font selected.
    POINT CaretPoint(HDC dc) {
        const RECT area = TextArea();
        const int line = model_.LineOf(model_.Caret()) - (Multi() ? topLine_ : 0);
        return POINT{static_cast<LONG>(area.left - scrollX_ + AlignOffset(dc) + XOf(dc, model_.Caret())),
                     static_cast<LONG>(area.top + line * LineH())};
    }

    // Moves the system caret along with the text's caret (measured only where someone can see it).
    void PlaceCaret() {
        if (!focused_ || !seen_) return;
        SelectObject(measureDc_.Get(), Font());
        const POINT p = CaretPoint(measureDc_.Get());
        SetCaretPos(p.x, p.y);
    }

    void UpdateScrollBars() {
        if (!Multi()) return;
        // Unseen, the widths wait: the horizontal bar is set when the window is shown.
        if ((Style() & WS_HSCROLL) && seen_) {
            SelectObject(measureDc_.Get(), Font());
            // Lines before the one a change could have rewrapped keep their widths: appending a line
            // measures that line alone.
            const int lines = model_.LineCount();
            if (widthsFrom_ != std::string::npos) {
                const int first = std::max(0, model_.LineOf(widthsFrom_) - 1);
                widest_.resize(std::min<size_t>(widest_.size(), static_cast<size_t>(first)));
                widthsFrom_ = std::string::npos;
            }
            widest_.resize(std::min<size_t>(widest_.size(), static_cast<size_t>(lines)));
            for (int line = static_cast<int>(widest_.size()); line < lines; ++line)
                widest_.push_back(std::max(widest_.empty() ? 0 : widest_.back(),
                                           TextWidth(measureDc_.Get(), model_.Line(line))));
            const int widest = widest_.empty() ? 0 : widest_.back();
            const RECT area = TextArea();
            SCROLLINFO h;
            h.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
            h.nMax = widest + 1;
            h.nPage = static_cast<UINT>(std::max(1, static_cast<int>(area.right - area.left)));
            h.nPos = scrollX_;
            SetScrollInfo(Hwnd(), SB_HORZ, h, RedrawOn() ? TRUE_ : FALSE_);
        }
        if (!(Style() & WS_VSCROLL)) return;
        SCROLLINFO si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
        si.nMin = 0;
        si.nMax = model_.LineCount() - 1;
        si.nPage = static_cast<UINT>(VisibleLines());
        si.nPos = topLine_;
        SetScrollInfo(Hwnd(), SB_VERT, si, RedrawOn() && seen_ ? TRUE_ : FALSE_);
    }

    LRESULT Paint(TWMPaint m) {
        PaintDC paint(Hwnd(), m);
        HDC dc = paint.Get();
        RECT client;
        GetClientRect(Hwnd(), client);
        const bool enabled = IsWindowEnabled(Hwnd());
        const bool plain = ReadOnly() || !enabled;
        HBRUSH brush = ControlColor(plain ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT, dc,
                                    plain ? COLOR_BTNFACE : COLOR_WINDOW);
        FillRect(dc, &client, brush);
        const gdi::SelectedObject fontSelected(dc, Font());
        const RECT area = TextArea();
        // Nothing of the text shows outside the formatting rectangle.
        IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
        const int h = std::max(1, LineHeight(dc));
        const bool showSel = focused_ || (Style() & ES_NOHIDESEL);
        const int first = Multi() ? topLine_ : 0;
        const int last = Multi() ? std::min(model_.LineCount(), first + (area.bottom - area.top) / h + 1) : 1;
        const int x0 = area.left - scrollX_ + AlignOffset(dc);
        SetBkMode(dc, TRANSPARENT);
        if (!enabled) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        const COLORREF normal = GetTextColor(dc);
        for (int line = first; line < last; ++line) {
            const int y = area.top + (line - first) * h;
            const size_t start = model_.LineStart(line), end = start + model_.LineLength(line);
            const size_t s = std::clamp(model_.SelStart(), start, end),
                         e = std::clamp(model_.SelEnd(), start, end);
            const std::string before = Display(model_.Text().substr(start, s - start));
            const std::string selected = Display(model_.Text().substr(s, e - s));
            const std::string after = Display(model_.Text().substr(e, end - e));
            int x = x0;
            SetTextColor(dc, normal);
            TextOut(dc, x, y, before.c_str(), static_cast<int>(before.size()));
            x += TextWidth(dc, before);
            if (!selected.empty() ||
                (showSel && model_.SelEnd() > end && model_.SelStart() <= end && Multi())) {
                const int w = TextWidth(dc, selected);
                if (showSel && model_.HasSelection()) {
                    RECT sel{x, y, x + std::max(w, 1), y + h};
                    FillHighlight(dc, sel);
                }
                TextOut(dc, x, y, selected.c_str(), static_cast<int>(selected.size()));
                x += w;
            }
            SetTextColor(dc, normal);
            TextOut(dc, x, y, after.c_str(), static_cast<int>(after.size()));
        }
        // Scrolling moves the caret without a word to it: it goes where it is drawn.
        if (focused_) {
            const POINT at = CaretPoint(dc);
            SetCaretPos(at.x, at.y);
        }
        if (focused_ && caretOn_ && pw::gui::CaretShown(Hwnd())) {
            const int line = model_.LineOf(model_.Caret());
            if (line >= first && line < last) {
                const int x = x0 + XOf(dc, model_.Caret());
                const int y = area.top + (line - first) * h;
                RECT caret{x, y, x + 1, y + h};
                InvertRect(dc, &caret);
            }
        }
        return 0;
    }

    EditModel model_;
    // Text is measured here, whether or not the window is shown.
    gdi::MemoryDC measureDc_{nullptr};
    bool modified_ = false;
    bool focused_ = false;
    bool caretOn_ = false;
    bool dragging_ = false;
    size_t limit_ = kDefaultLimit;
    char32_t passwordChar_ = 0;
    int scrollX_ = 0;
    int topLine_ = 0;
    int leftMargin_ = kMargin;
    int rightMargin_ = kMargin;
    // Set by EM_SETRECT; none while the default one holds.
    std::optional<RECT> formatRect_;
    // The widest line so far, line by line, for the horizontal scroll bar; stale from widthsFrom_ on.
    std::vector<int> widest_;
    size_t widthsFrom_ = 0;
    // Anyone can see the window (it and its parents are visible): only then is text wrapped and measured.
    bool seen_ = false;
    // The caret was to be shown while the window was not seen.
    bool caretPending_ = false;
    int lineHeight_ = 0;
    HFONT heightFont_ = nullptr;
};

} // namespace

void RegisterEditClass() {
    RegisterControlClass<Edit>("EDIT", CS_DBLCLKS);
}

} // namespace pw::commctrl
