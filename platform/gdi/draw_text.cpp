#include <algorithm>

#include "platform/gdi/painting.h"
#include "platform/gdi/text.h"
#include "platform/gdi/text_layout.h"

namespace pw::gdi {
namespace {

struct Line {
    std::u16string text;
    std::vector<int> underline; // indices into text
};

// Removes "&" prefixes ("&&" is a literal ampersand) and notes the characters they mark.
Line StripPrefixes(std::u16string_view in, bool keepMarks) {
    Line out;
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] == u'&') {
            if (i + 1 >= in.size()) break;
            if (in[i + 1] != u'&' && keepMarks) out.underline.push_back(static_cast<int>(out.text.size()));
            ++i;
        }
        out.text += in[i];
    }
    return out;
}

std::vector<std::u16string> SplitParagraphs(const std::u16string& s) {
    std::vector<std::u16string> out(1);
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == u'\r' || s[i] == u'\n') {
            if (s[i] == u'\r' && i + 1 < s.size() && s[i + 1] == u'\n') ++i;
            out.emplace_back();
        } else {
            out.back() += s[i];
        }
    }
    return out;
}

class Measurer {
public:
    Measurer(const DcFont& font, bool expandTabs, int tabWidth)
        : font_(font), expand_(expandTabs), tab_(tabWidth) {}

    int Width(std::u16string_view text) const {
        if (!expand_ || text.find(u'\t') == std::u16string_view::npos) return font_.Width(text);
        int x = 0;
        size_t start = 0;
        for (size_t i = 0; i <= text.size(); ++i) {
            if (i < text.size() && text[i] != u'\t') continue;
            x += font_.Width(text.substr(start, i - start));
            if (i < text.size() && tab_ > 0) x = (x / tab_ + 1) * tab_;
            start = i + 1;
        }
        return x;
    }
    // The x of every character's left edge and the total, when the text's widths add up from its
    // start (no tab stops to expand); empty otherwise.
    std::vector<int> Positions(std::u16string_view text) const {
        if (expand_ && text.find(u'\t') != std::u16string_view::npos) return {};
        return CurrentToolkit().CharPositions(font_.lf, text);
    }
    bool ExpandTabs() const { return expand_; }
    int TabWidth() const { return tab_; }

private:
    const DcFont& font_;
    bool expand_;
    int tab_;
};

// Greedy word wrapping: breaks after spaces; a word wider than the width keeps a line to itself.
std::vector<Line> Wrap(const Line& para, int width, const Measurer& m) {
    std::vector<Line> lines;
    const std::u16string& t = para.text;
    // Measured once: a line's width is the difference of two positions.
    const std::vector<int> pos = m.Positions(t);
    size_t start = 0;
    while (true) {
        const std::u16string_view rest = std::u16string_view(t).substr(start);
        size_t end = t.size();
        const auto widthTo = [&](size_t i) {
            return pos.empty() ? m.Width(std::u16string_view(t).substr(start, i - start))
                               : pos[i] - pos[start];
        };
        if (pos.empty() ? m.Width(rest) > width : pos.back() - pos[start] > width) {
            // The last space where the text before it still fits; else the first word overflows alone.
            size_t fitting = std::u16string::npos, first = std::u16string::npos;
            for (size_t i = start + 1; i < t.size(); ++i) {
                if (t[i] != u' ' || t[i - 1] == u' ') continue;
                if (first == std::u16string::npos) first = i;
                if (widthTo(i) > width) break;
                fitting = i;
            }
            if (fitting != std::u16string::npos)
                end = fitting;
            else if (first != std::u16string::npos)
                end = first;
        }
        Line line;
        line.text = t.substr(start, end - start);
        for (int u : para.underline)
            if (u >= static_cast<int>(start) && u < static_cast<int>(end))
                line.underline.push_back(u - static_cast<int>(start));
        // Trailing spaces of a broken line are not drawn.
        while (!line.text.empty() && line.text.back() == u' ' && end < t.size())
            line.text.pop_back();
        lines.push_back(std::move(line));
        if (end >= t.size()) break;
        start = end;
        while (start < t.size() && (t[start] == u' ' || t[start] == u'\t'))
            ++start;
        if (start >= t.size()) break;
    }
    return lines;
}

// How many characters of text are kept before tail for the whole to fit in width.
size_t KeepBefore(const std::u16string& text, size_t from, const std::u16string& tail, int width,
                  const Measurer& m) {
    size_t keep = from;
    const std::vector<int> pos = m.Positions(text);
    if (!pos.empty()) {
        const int tailWidth = m.Width(tail);
        while (keep > 0 && pos[keep] + tailWidth > width)
            --keep;
        return keep;
    }
    while (keep > 0 && m.Width(text.substr(0, keep) + tail) > width)
        --keep;
    return keep;
}

void EndEllipsis(Line& line, int width, const Measurer& m) {
    if (m.Width(line.text) <= width) return;
    const std::u16string dots = u"...";
    const size_t keep = KeepBefore(line.text, line.text.size(), dots, width, m);
    line.text = line.text.substr(0, keep) + dots;
    std::erase_if(line.underline, [keep](int u) { return u >= static_cast<int>(keep); });
}

// Shortens the folders of a path, keeping its last part: "C:\dir\...\file.txt".
void PathEllipsis(Line& line, int width, const Measurer& m) {
    if (m.Width(line.text) <= width) return;
    const size_t sep = line.text.find_last_of(u"\\/");
    if (sep == std::u16string::npos || sep == 0) {
        EndEllipsis(line, width, m);
        return;
    }
    const std::u16string tail = line.text.substr(sep);
    const size_t keep = KeepBefore(line.text, sep, u"..." + tail, width, m);
    line.text = line.text.substr(0, keep) + u"..." + tail;
    line.underline.clear();
    if (m.Width(line.text) > width) EndEllipsis(line, width, m);
}

// A left-aligned line drawn clipped needs no more of its text than reaches the right edge (with room for
// an overhang): a long line is cut there before it is measured or drawn.
void KeepWhatShows(Line& line, int room, const DcFont& font) {
    const int needed = std::max(room, 0) + 2 * font.info.pixelSize;
    size_t chars = static_cast<size_t>(needed) + 16;
    while (chars < line.text.size()) {
        const std::vector<int> pos =
            CurrentToolkit().CharPositions(font.lf, std::u16string_view(line.text).substr(0, chars));
        if (pos.back() >= needed) {
            line.text.resize(chars);
            std::erase_if(line.underline, [chars](int u) { return u >= static_cast<int>(chars); });
            return;
        }
        chars *= 2; // characters narrower than a pixel, such as marks: take more
    }
}

} // namespace
} // namespace pw::gdi

using namespace pw::gdi;

int DrawText(HDC hdc, const char* text, int count, RECT* rect, UINT format) {
    return DrawTextEx(hdc, text, count, rect, format, nullptr);
}

int DrawTextEx(HDC hdc, const char* text, int count, RECT* rect, UINT format, DRAWTEXTPARAMS* params) {
    auto dc = LookupDc(hdc);
    if (!dc || !rect || (!text && count != 0)) return 0;
    const DcFont font = FontOf(*dc);
    const std::u16string source = ToUtf16(text, count);
    if (params) params->uiLengthDrawn = static_cast<UINT>(source.size());

    int tabChars = 8;
    if (format & DT_TABSTOP) {
        tabChars = static_cast<int>((format >> 8) & 0xFF);
        format &= ~0xFF00u & ~DT_TABSTOP; // the high byte carries the tab length instead of flags
    }
    if (params && params->iTabLength > 0) tabChars = params->iTabLength;
    const Measurer m(font, (format & DT_EXPANDTABS) != 0, tabChars * font.info.aveCharWidth);

    RECT box = *rect;
    if (params) {
        box.left += params->iLeftMargin;
        box.right -= params->iRightMargin;
    }
    const int width = box.right - box.left;
    const bool single = (format & DT_SINGLELINE) != 0;
    const bool keepMarks = !(format & (DT_NOPREFIX | DT_HIDEPREFIX));

    std::vector<Line> lines;
    const std::vector<std::u16string> paragraphs =
        single ? std::vector<std::u16string>{source} : SplitParagraphs(source);
    for (const std::u16string& p : paragraphs) {
        Line para = (format & DT_NOPREFIX) ? Line{p, {}} : StripPrefixes(p, keepMarks);
        if ((format & DT_WORDBREAK) && !single) {
            for (Line& l : Wrap(para, width, m))
                lines.push_back(std::move(l));
        } else {
            lines.push_back(std::move(para));
        }
    }
    for (Line& l : lines) {
        if (format & DT_PATH_ELLIPSIS)
            PathEllipsis(l, width, m);
        else if (format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS))
            EndEllipsis(l, width, m);
    }

    const int lineHeight = font.Height() + ((format & DT_EXTERNALLEADING) ? font.info.externalLeading : 0);
    const int total = lineHeight * static_cast<int>(lines.size());
    if (format & DT_CALCRECT) {
        int maxWidth = 0;
        for (const Line& l : lines)
            maxWidth = std::max(maxWidth, m.Width(l.text));
        rect->right = rect->left + maxWidth + (params ? params->iLeftMargin + params->iRightMargin : 0);
        rect->bottom = rect->top + total;
        return total;
    }

    int top = box.top;
    if (single && (format & DT_VCENTER))
        top = (box.top + box.bottom - lineHeight) / 2;
    else if (single && (format & DT_BOTTOM))
        top = box.bottom - lineHeight;

    TargetAccess access(*dc);
    const RECT deviceBox = dc->ToDevice(box);
    const RECT* clip = (format & DT_NOCLIP) ? nullptr : &deviceBox;
    const bool prefixOnly = (format & DT_PREFIXONLY) != 0;
    int y = top;
    for (Line& l : lines) {
        int x = box.left;
        if (format & DT_CENTER)
            x = (box.left + box.right - m.Width(l.text)) / 2;
        else if (format & DT_RIGHT)
            x = box.right - m.Width(l.text);
        else if (clip && !m.ExpandTabs())
            KeepWhatShows(l, box.right - x, font);
        const POINT dev = dc->ToDevice(POINT{x, y});
        if (m.ExpandTabs() && l.text.find(u'\t') != std::u16string::npos) {
            // Draw the tab-separated pieces at their tab stops.
            size_t start = 0;
            int px = 0;
            for (size_t i = 0; i <= l.text.size(); ++i) {
                if (i < l.text.size() && l.text[i] != u'\t') continue;
                TextRun run{
                    l.text.substr(start, i - start), {}, !prefixOnly, dc->st.bkMode == OPAQUE && !prefixOnly};
                for (int u : l.underline)
                    if (u >= static_cast<int>(start) && u < static_cast<int>(i))
                        run.underline.push_back(u - static_cast<int>(start));
                DrawTextRun(*dc, font, run, dev.x + px, dev.y, TA_LEFT | TA_TOP, clip);
                px += font.Width(run.text);
                if (i < l.text.size() && m.TabWidth() > 0) px = (px / m.TabWidth() + 1) * m.TabWidth();
                start = i + 1;
            }
        } else {
            TextRun run{l.text, l.underline, !prefixOnly, dc->st.bkMode == OPAQUE && !prefixOnly};
            DrawTextRun(*dc, font, run, dev.x, dev.y, TA_LEFT | TA_TOP, clip);
        }
        y += lineHeight;
    }
    if (single && (format & (DT_VCENTER | DT_BOTTOM))) return top + total - rect->top;
    return total;
}
