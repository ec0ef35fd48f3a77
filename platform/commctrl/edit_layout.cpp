// The "EDIT" class: the lines laid out and measured, the view scrolled, the caret placed.
#include <algorithm>
#include <string>

#include "platform/commctrl/edit_control.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/text.h"
#include "platform/gui/caret.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"

namespace pw::commctrl {

void Edit::Rewrap() {
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

RECT Edit::TextArea() const {
    if (formatRect_) return *formatRect_;
    RECT r;
    GetClientRect(Hwnd(), r);
    r.left = std::min(r.right, r.left + leftMargin_);
    r.right = std::max(r.left, r.right - rightMargin_);
    r.top += Multi() ? 0 : 1;
    return r;
}

int Edit::VisibleLines() {
    const RECT r = TextArea();
    return std::max(1, static_cast<int>((r.bottom - r.top) / LineH()));
}

int Edit::LineH() {
    const HFONT font = Font();
    if (lineHeight_ <= 0 || font != heightFont_) {
        SelectObject(measureDc_.Get(), font);
        lineHeight_ = std::max(1, LineHeight(measureDc_.Get()));
        heightFont_ = font;
    }
    return lineHeight_;
}

bool Edit::PaintPending() const {
    RECT r{};
    return GetUpdateRect(Hwnd(), &r, FALSE_) != 0;
}

void Edit::Sync() {
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

std::string Edit::Display(const std::string& text) const {
    if (!Password()) return text;
    std::string out;
    const char32_t mask = passwordChar_ ? passwordChar_ : U'*';
    for (size_t i = 0; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) AppendUtf8(out, mask);
    return out;
}

void Edit::AppendUtf8(std::string& out, char32_t c) {
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

int Edit::XOf(HDC dc, size_t pos) {
    const int line = model_.LineOf(pos);
    const size_t start = model_.LineStart(line);
    if (pos <= start) return 0;
    return TextWidth(dc, Display(model_.Text().substr(start, pos - start)));
}

int Edit::AlignOffset(HDC dc) {
    if (Multi() || (Style() & (ES_CENTER | ES_RIGHT)) == 0) return 0;
    const RECT r = TextArea();
    const int room = (r.right - r.left) - TextWidth(dc, Display(model_.Text()));
    if (room <= 0) return 0;
    return (Style() & ES_RIGHT) ? room : room / 2;
}

size_t Edit::PositionAt(POINT p) {
    ClientDC dc(*this);
    const RECT area = TextArea();
    int line = 0;
    if (Multi()) {
        const int h = std::max(1, LineHeight(dc.Get()));
        line =
            std::clamp(topLine_ + (p.y - area.top) / h - (p.y < area.top ? 1 : 0), 0, model_.LineCount() - 1);
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

void Edit::ScrollLines(int delta) {
    const int maxTop = std::max(0, model_.LineCount() - VisibleLines());
    const int top = std::clamp(topLine_ + delta, 0, maxTop);
    if (top == topLine_) return;
    caretPending_ = false;
    topLine_ = top;
    UpdateScrollBars();
    Invalidate();
}

LRESULT Edit::VScroll(TWMScroll m) {
    if (!Multi()) return 0;
    const int wanted = ScrolledTop(Hwnd(), m.ScrollCode(), topLine_, VisibleLines(), model_.LineCount());
    if (wanted != topLine_) ScrollLines(wanted - topLine_);
    return 0;
}

LRESULT Edit::HScroll(TWMScroll m) {
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

void Edit::ScrollToCaret() {
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

POINT Edit::CaretPoint(HDC dc) {
    const RECT area = TextArea();
    const int line = model_.LineOf(model_.Caret()) - (Multi() ? topLine_ : 0);
    return POINT{static_cast<LONG>(area.left - scrollX_ + AlignOffset(dc) + XOf(dc, model_.Caret())),
                 static_cast<LONG>(area.top + line * LineH())};
}

void Edit::PlaceCaret() {
    if (!focused_ || !seen_) return;
    SelectObject(measureDc_.Get(), Font());
    const POINT p = CaretPoint(measureDc_.Get());
    SetCaretPos(p.x, p.y);
}

void Edit::UpdateScrollBars() {
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

} // namespace pw::commctrl
