#include "platform/commctrl/edit_model.h"

#include <algorithm>
#include <cstring>

namespace pw::commctrl {
namespace {

bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The length of `text`'s first `n` bytes or fewer that ends on a code point and not inside a "\r\n".
size_t CutAt(std::string_view text, size_t n) {
    while (n > 0 && n < text.size() && IsContinuation(text[n]))
        --n;
    if (n > 0 && n < text.size() && text[n] == '\n' && text[n - 1] == '\r') --n;
    return n;
}

bool IsWordChar(char c) {
    return !(c == ' ' || c == '\t' || c == '\r' || c == '\n');
}

} // namespace

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find_first_of("\r\n"));
}

void EditModel::SetText(std::string text) {
    text_ = std::move(text);
    if (text_.size() > kMaxText) text_.resize(CutAt(text_, kMaxText));
    anchor_ = caret_ = 0;
    hasUndo_ = false;
    dirtyFrom_ = 0;
}

size_t EditModel::Snap(size_t pos) const {
    pos = std::min(pos, text_.size());
    while (pos > 0 && pos < text_.size() && IsContinuation(text_[pos]))
        --pos;
    if (pos > 0 && pos < text_.size() && text_[pos] == '\n' && text_[pos - 1] == '\r') --pos;
    return pos;
}

void EditModel::SetSel(size_t anchor, size_t caret) {
    anchor_ = Snap(anchor);
    caret_ = Snap(caret);
}

bool EditModel::Replace(std::string_view text, bool undoable, size_t room) {
    const size_t start = SelStart();
    const size_t removed = SelEnd() - start;
    // The text goes in as it is, unless it must be cut: a log's lines arrive many at a time. A part of
    // the model's own texts is copied first, as they change below.
    const auto within = [&text](const std::string& s) {
        return !text.empty() && std::less_equal<const char*>()(s.data(), text.data()) &&
               std::less<const char*>()(text.data(), s.data() + s.size());
    };
    std::string own;
    std::string_view insert = text;
    if (within(text_) || within(undoText_)) insert = own = text;
    bool whole = true;
    room = std::min(room, kMaxText - std::min(text_.size(), kMaxText));
    if (insert.size() > room + removed) {
        insert = insert.substr(0, CutAt(text, room + removed));
        whole = false;
    }
    if (undoable) {
        undoText_ = text_;
        undoAnchor_ = anchor_;
        undoCaret_ = caret_;
        hasUndo_ = true;
    }
    // A text appended to again and again (a log) grows by a quarter, not by doubling: a long log keeps
    // little unused room.
    // (A fresh string takes exactly the room asked for; reserving in place would double it.)
    const size_t needed = text_.size() - removed + insert.size();
    if (needed > text_.capacity()) {
        std::string grown;
        grown.reserve(std::max(needed, text_.size() + text_.size() / 4));
        grown += text_;
        text_.swap(grown);
    }
    text_.replace(start, removed, insert);
    anchor_ = caret_ = start + insert.size();
    dirtyFrom_ = std::min(dirtyFrom_, start);
    return whole;
}

bool EditModel::Undo() {
    if (!hasUndo_) return false;
    std::swap(text_, undoText_);
    std::swap(anchor_, undoAnchor_);
    std::swap(caret_, undoCaret_);
    dirtyFrom_ = 0;
    return true;
}

void EditModel::SetWrap(Measure measure, int width) {
    measure_ = std::move(measure);
    wrapWidth_ = measure_ ? std::max(width, 0) : 0;
    dirtyFrom_ = 0;
}

void EditModel::WrapLine(size_t start, size_t end) const {
    if (wrapWidth_ <= 0 || start == end) return;
    const std::string_view text(text_);
    if (measure_(text.substr(start, end - start)) <= wrapWidth_) return;
    size_t lineStart = start;
    int used = 0;
    size_t pos = start;
    while (pos < end) {
        // One word with the spaces after it.
        size_t wordEnd = pos;
        while (wordEnd < end && text_[wordEnd] != ' ' && text_[wordEnd] != '\t')
            ++wordEnd;
        while (wordEnd < end && (text_[wordEnd] == ' ' || text_[wordEnd] == '\t'))
            ++wordEnd;
        size_t visible = wordEnd;
        while (visible > pos && (text_[visible - 1] == ' ' || text_[visible - 1] == '\t'))
            --visible;
        const int width = measure_(text.substr(pos, visible - pos));
        if (used + width <= wrapWidth_ || (pos == lineStart && width <= wrapWidth_)) {
            used += measure_(text.substr(pos, wordEnd - pos));
            pos = wordEnd;
            continue;
        }
        if (pos > lineStart) {
            starts_.push_back(static_cast<uint32_t>(pos));
            lineStart = pos;
            used = 0;
            continue;
        }
        // A word wider than the line fills lines of its own until the rest of it fits one, each found
        // from the line's start: a word of a megabyte (a path thousands of folders deep) costs about its
        // length in measures, not its length for every line it fills.
        bool restFits = false;
        while (pos < visible) {
            const size_t cut = FitFrom(pos, visible);
            // A lone code point counts as fitting there; it is measured like any rest of a word.
            restFits = cut >= visible &&
                       (Next(pos) < visible || measure_(text.substr(pos, visible - pos)) <= wrapWidth_);
            if (restFits) break;
            starts_.push_back(static_cast<uint32_t>(cut));
            lineStart = pos = cut;
            used = 0;
        }
        // Else one code point wider than the line ended the word: its blanks come next, on the new line.
        if (!restFits) continue;
        used = measure_(text.substr(pos, wordEnd - pos));
        pos = wordEnd;
    }
}

size_t EditModel::FitFrom(size_t pos, size_t end) const {
    const std::string_view text(text_);
    // At least one code point; then twice as many each time while they fit, then halving between what
    // fits and what does not.
    size_t cut = Next(pos), over = end;
    for (size_t step = 16; cut < end; step *= 2) {
        size_t probe = cut;
        for (size_t i = 0; i < step && probe < end; ++i)
            probe = Next(probe);
        if (measure_(text.substr(pos, probe - pos)) > wrapWidth_) {
            over = probe;
            break;
        }
        cut = probe;
    }
    while (cut < over && Next(cut) < over) {
        size_t mid = Snap(cut + (over - cut) / 2);
        if (mid <= cut) mid = Next(cut);
        if (measure_(text.substr(pos, mid - pos)) <= wrapWidth_)
            cut = mid;
        else
            over = mid;
    }
    return std::min(cut, end);
}

void EditModel::Reindex() const {
    if (dirtyFrom_ == std::string::npos) return;
    // Lines of the paragraphs before the first change stand as they were: appending a line costs that
    // line, whatever the number of lines before it.
    size_t from = std::min(dirtyFrom_, text_.size());
    dirtyFrom_ = std::string::npos;
    const auto isBreak = [this](size_t i) { return text_[i] == '\n' || text_[i] == '\r'; };
    while (from > 0 &&
           (!isBreak(from - 1) || (text_[from - 1] == '\r' && from < text_.size() && text_[from] == '\n')))
        --from;
    if (!multiLine_) from = 0;
    indexed_ += text_.size() - from;
    starts_.erase(std::lower_bound(starts_.begin(), starts_.end(), from), starts_.end());
    starts_.push_back(static_cast<uint32_t>(from));
    if (multiLine_) {
        const char* text = text_.data();
        const size_t size = text_.size();
        size_t lineStart = from;
        // Lines end in "\n" (or "\r\n"): the next one is found a word at a time; a lone "\r" is rare.
        size_t nextReturn = size;
        if (const void* r = std::memchr(text + from, '\r', size - from))
            nextReturn = static_cast<size_t>(static_cast<const char*>(r) - text);
        for (size_t i = from; i < size;) {
            if (nextReturn < i) {
                const void* r = std::memchr(text + i, '\r', size - i);
                nextReturn = r ? static_cast<size_t>(static_cast<const char*>(r) - text) : size;
            }
            const void* n = std::memchr(text + i, '\n', std::min(nextReturn, size) - i);
            size_t at = n ? static_cast<size_t>(static_cast<const char*>(n) - text) : nextReturn;
            if (at >= size) break;
            const bool crlf = text[at] == '\r' && at + 1 < size && text[at + 1] == '\n';
            WrapLine(lineStart, at);
            if (crlf) ++at;
            lineStart = at + 1;
            starts_.push_back(static_cast<uint32_t>(lineStart));
            i = lineStart;
        }
        WrapLine(lineStart, size);
    }
}

int EditModel::LineCount() const {
    Reindex();
    return static_cast<int>(starts_.size());
}

size_t EditModel::LineStart(int line) const {
    Reindex();
    if (line < 0) return 0;
    if (line >= static_cast<int>(starts_.size())) return text_.size();
    return starts_[static_cast<size_t>(line)];
}

size_t EditModel::LineLength(int line) const {
    Reindex();
    if (line < 0 || line >= static_cast<int>(starts_.size())) return 0;
    const size_t start = starts_[static_cast<size_t>(line)];
    if (!multiLine_) return text_.size();
    size_t end =
        line + 1 < static_cast<int>(starts_.size()) ? starts_[static_cast<size_t>(line) + 1] : text_.size();
    if (end > start && text_[end - 1] == '\n' && end - 1 > start && text_[end - 2] == '\r')
        end -= 2;
    else if (end > start && (text_[end - 1] == '\n' || text_[end - 1] == '\r'))
        end -= 1;
    return end - start;
}

int EditModel::LineOf(size_t pos) const {
    Reindex();
    auto it = std::upper_bound(starts_.begin(), starts_.end(), pos);
    return static_cast<int>(it - starts_.begin()) - 1;
}

size_t EditModel::Next(size_t pos) const {
    if (pos >= text_.size()) return text_.size();
    if (text_[pos] == '\r' && pos + 1 < text_.size() && text_[pos + 1] == '\n') return pos + 2;
    ++pos;
    while (pos < text_.size() && IsContinuation(text_[pos]))
        ++pos;
    return pos;
}

size_t EditModel::Prev(size_t pos) const {
    if (pos == 0) return 0;
    pos = std::min(pos, text_.size());
    if (pos >= 2 && text_[pos - 1] == '\n' && text_[pos - 2] == '\r') return pos - 2;
    --pos;
    while (pos > 0 && IsContinuation(text_[pos]))
        --pos;
    return pos;
}

size_t EditModel::WordRight(size_t pos) const {
    size_t p = pos;
    while (p < text_.size() && IsWordChar(text_[p]))
        p = Next(p);
    while (p < text_.size() && !IsWordChar(text_[p]))
        p = Next(p);
    return p == pos ? Next(p) : p;
}

size_t EditModel::WordLeft(size_t pos) const {
    size_t p = pos;
    while (p > 0 && !IsWordChar(text_[Prev(p)]))
        p = Prev(p);
    while (p > 0 && IsWordChar(text_[Prev(p)]))
        p = Prev(p);
    return p;
}

} // namespace pw::commctrl
