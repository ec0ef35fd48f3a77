// The "EDIT" class: the mouse, the keys, the clipboard and the changes they make.
#include <algorithm>
#include <string>

#include "platform/commctrl/edit_control.h"
#include "platform/gdi/text.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"

namespace pw::commctrl {

LRESULT Edit::ButtonDown(TWMMouse m) {
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

LRESULT Edit::MouseMove(TWMMouse m) {
    if (!dragging_ || GetCapture() != Hwnd()) return 0;
    model_.SetSel(model_.Anchor(), PositionAt(m.Pos()));
    SelectionMoved();
    return 0;
}

LRESULT Edit::ButtonUp() {
    if (dragging_) ReleaseCapture();
    return 0;
}

LRESULT Edit::CaptureLost() {
    dragging_ = false;
    return 0;
}

LRESULT Edit::MouseWheel(TWMMouseWheel m) {
    if (!Multi()) return Default(m);
    ScrollLines(-WheelRows(m));
    return 0;
}

LRESULT Edit::Cut() {
    // A password never leaves through the clipboard, so cutting it would only lose it.
    if (!ReadOnly() && !Password() && model_.HasSelection()) {
        Copy();
        ApplyChange(std::string(), true);
    }
    return 0;
}

LRESULT Edit::Clear() {
    if (!ReadOnly() && model_.HasSelection()) ApplyChange(std::string(), true);
    return 0;
}

LRESULT Edit::Undo() {
    if (ReadOnly() || !model_.Undo()) return FALSE_;
    widthsFrom_ = 0;
    modified_ = true;
    Changed(true);
    return TRUE_;
}

void Edit::SelectionMoved() {
    ScrollToCaret();
    caretOn_ = true;
    Invalidate();
}

void Edit::ApplyChange(std::string_view text, bool undoable) {
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

void Edit::Changed(bool scroll, int firstChanged, int oldTop, int oldScrollX) {
    if (scroll)
        ScrollToCaret();
    else
        UpdateScrollBars();
    Command(EN_UPDATE);
    InvalidateFrom(firstChanged, oldTop, oldScrollX);
    Command(EN_CHANGE);
}

void Edit::Insert(const std::string& text) {
    if (ReadOnly()) return;
    const size_t used = model_.Text().size() - (model_.SelEnd() - model_.SelStart());
    if (used + text.size() > limit_) {
        Command(EN_MAXTEXT);
        return;
    }
    ApplyChange(text, true);
}

LRESULT Edit::Copy() {
    if (!model_.HasSelection() || Password()) return 0;
    if (!OpenClipboard(Hwnd())) return 0;
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, model_.Selected());
    CloseClipboard();
    return 0;
}

LRESULT Edit::Paste() {
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

void Edit::Move(size_t pos, bool extend) {
    model_.SetSel(extend ? model_.Anchor() : pos, pos);
    SelectionMoved();
}

size_t Edit::VerticalTarget(int lines) {
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

LRESULT Edit::KeyPressed(TWMKey m) {
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
        if (!model_.HasSelection()) model_.SetSel(caret, ctrl ? model_.WordLeft(caret) : model_.Prev(caret));
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

LRESULT Edit::CharTyped(TWMChar m) {
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

} // namespace pw::commctrl
