#pragma once
// The text of an edit control: UTF-8 content, the selection, lines and one level of undo. Positions
// are byte offsets kept on code point boundaries; a "\r\n" line break counts as one step.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pw::commctrl {

class EditModel {
public:
    // Line starts are kept in 4 bytes each (a log of many short lines is mostly its index otherwise), so a
    // text holds at most this many bytes; more is cut at a code point.
    static constexpr size_t kMaxText = UINT32_MAX;

    explicit EditModel(bool multiLine = false) : multiLine_(multiLine) {}

    const std::string& Text() const { return text_; }
    // Replaces everything; the caret goes to the start and undo is forgotten. Text past kMaxText is cut.
    void SetText(std::string text);
    size_t Anchor() const { return anchor_; }
    size_t Caret() const { return caret_; }
    size_t SelStart() const { return anchor_ < caret_ ? anchor_ : caret_; }
    size_t SelEnd() const { return anchor_ < caret_ ? caret_ : anchor_; }
    bool HasSelection() const { return anchor_ != caret_; }
    std::string Selected() const { return text_.substr(SelStart(), SelEnd() - SelStart()); }
    void SetSel(size_t anchor, size_t caret);
    // Replaces the selection, leaving the caret after the new text; the previous state becomes the undo
    // step when undoable. Inserts at most `room` bytes more than it removes (cut at a code point); returns
    // false when it had to cut.
    bool Replace(std::string_view text, bool undoable, size_t room = std::string::npos);
    bool CanUndo() const { return hasUndo_; }
    void ForgetUndo() { hasUndo_ = false; }
    // Swaps the text and selection with the undo step, so a second undo redoes.
    bool Undo();

    // Lines of a multi-line text wider than `width` (measured by `measure`) break after a word, or inside
    // a word longer than the whole width; a width of 0 turns wrapping off.
    using Measure = std::function<int(std::string_view)>;
    void SetWrap(Measure measure, int width);

    int LineCount() const;
    size_t LineStart(int line) const;
    // Bytes of the line without its break.
    size_t LineLength(int line) const;
    int LineOf(size_t pos) const;
    std::string Line(int line) const { return text_.substr(LineStart(line), LineLength(line)); }

    size_t Next(size_t pos) const;
    size_t Prev(size_t pos) const;
    size_t WordRight(size_t pos) const;
    size_t WordLeft(size_t pos) const;
    // The nearest valid position at or before pos.
    size_t Snap(size_t pos) const;
    // Bytes the line index has gone through so far: the work that changes have cost it.
    size_t IndexedBytes() const { return indexed_; }

private:
    void Reindex() const;
    void WrapLine(size_t start, size_t end) const;
    // The end of the longest run from pos, before end, that fits the width: at least one code point.
    size_t FitFrom(size_t pos, size_t end) const;

    bool multiLine_;
    std::string text_;
    size_t anchor_ = 0;
    size_t caret_ = 0;
    bool hasUndo_ = false;
    std::string undoText_;
    size_t undoAnchor_ = 0;
    size_t undoCaret_ = 0;
    mutable std::vector<uint32_t> starts_{0};
    // Where the lines need working out again from (npos: nowhere).
    mutable size_t dirtyFrom_ = std::string::npos;
    mutable size_t indexed_ = 0;
    Measure measure_;
    int wrapWidth_ = 0;
};

// Text with line breaks removed after the first line, for single-line edits.
std::string FirstLine(const std::string& text);

} // namespace pw::commctrl
