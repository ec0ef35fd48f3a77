#pragma once
// The "EDIT" class, shared by the files that implement it: its messages (edit.cpp), the mouse, the keys
// and the changes they make (edit_input.cpp), the lines' layout, scrolling and caret (edit_layout.cpp),
// and its painting (edit_paint.cpp).
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/commctrl/control.h"
#include "platform/commctrl/control_views.h"
#include "platform/commctrl/edit_model.h"
#include "platform/gdi/scoped.h"

namespace pw::commctrl {

// Single-line and multi-line text editing with a blinking caret.
class Edit : public Control {
public:
    explicit Edit(HWND hwnd) : Control(hwnd), model_(IsMulti(hwnd)) {}
    LRESULT Handle(TMessage& m) override;

private:
    static constexpr UINT_PTR kBlinkTimer = 1;
    static constexpr int kMargin = 2;
    static constexpr size_t kDefaultLimit = 30000;

    LRESULT EditMessage(EditMsg m);

    // --- window messages ---------------------------------------------------------------------------
    LRESULT Create(TWMCreate m);
    LRESULT FontChanged(TWMSetFont m);
    LRESULT Resized();
    LRESULT SetCursorShape(TWMSetCursor m);
    LRESULT TakeText(std::string* text);
    LRESULT SetText(std::string text);
    LRESULT GotFocus();
    LRESULT LostFocus();
    LRESULT Blink(TWMTimer m);
    LRESULT ButtonDown(TWMMouse m);
    LRESULT MouseMove(TWMMouse m);
    LRESULT ButtonUp();
    LRESULT CaptureLost();
    LRESULT MouseWheel(TWMMouseWheel m);
    LRESULT Cut();
    LRESULT Clear();
    LRESULT Undo();

    // --- edit messages -----------------------------------------------------------------------------
    LRESULT ForgetUndo();
    LRESULT GetSel(DWORD* start, DWORD* end) const;
    LRESULT SetSel(EditMsg m);
    LRESULT ReplaceSel(std::string_view text, bool undoable);
    LRESULT AppendLine(std::string_view line);
    LRESULT SetModified(bool modified);
    LRESULT SetLimit(size_t limit);
    LRESULT SetReadOnly(bool readOnly);
    LRESULT SetPasswordChar(std::optional<char32_t> c);
    LRESULT LineIndex(std::optional<int> line) const;
    LRESULT LineLength(size_t pos) const;

    // The unselected characters of the lines the selection touches.
    LRESULT UnselectedAroundSelection() const;

    // The copy has no terminating zero.
    LRESULT GetLine(std::optional<int> line, std::span<char> buffer) const;
    LRESULT ScrollCaretIntoView();
    LRESULT LineScroll(int lines);
    LRESULT GetRect(RECT* r) const;

    // The formatting rectangle (client coordinates) bounds where text is laid out, drawn and clicked;
    // null gives the default back: the client area less the margins. As in Win32, only a multi-line
    // edit takes one.
    LRESULT SetRect(const RECT* r, bool redraw);
    LRESULT SetMargins(EditMsg m);
    static bool IsMulti(HWND hwnd) { return (GetWindowLong(hwnd, GWL_STYLE) & ES_MULTILINE) != 0; }
    bool Multi() const { return (Style() & ES_MULTILINE) != 0; }
    bool ReadOnly() const { return (Style() & ES_READONLY) != 0; }
    bool Password() const { return !Multi() && ((Style() & ES_PASSWORD) || passwordChar_ != 0); }

    // A single-line edit keeps the first line.
    std::string_view Normalize(std::string_view text) const;

    // Multi-line edits without ES_AUTOHSCROLL break their lines at the width of the text area.
    void Rewrap();
    RECT TextArea() const;
    int VisibleLines();

    // The font's line height, asked of the measuring DC once per font.
    int LineH();
    bool Wraps() const { return Multi() && !(Style() & ES_AUTOHSCROLL); }

    // Messages that neither read nor change the lines or the view need not know who can see them.
    static bool LaysOut(UINT msg);

    // A paint is due anyway over part of the window.
    bool PaintPending() const;

    // Whether anyone can see the window follows its and its parents' visibility: a window that becomes
    // visible wraps and measures what it put off, and shows the caret if the last change asked for it.
    void Sync();
    std::string Display(const std::string& text) const;
    static void AppendUtf8(std::string& out, char32_t c);

    // The x of a position within its line, from the line's start, in pixels.
    int XOf(HDC dc, size_t pos);
    int AlignOffset(HDC dc);
    size_t PositionAt(POINT p);
    void SelectionMoved();

    // The one path of every change: the limit, undo, modified flag, scrolling and notifications.
    void ApplyChange(std::string_view text, bool undoable);
    void Changed(bool scroll, int firstChanged = 0, int oldTop = -1, int oldScrollX = 0);

    // A line added at the bottom of a long memo repaints that line, not the memo: the lines above it
    // move up with their pixels, as a scrolled window's do. Anything else repaints the whole text.
    void InvalidateFrom(int firstChanged, int oldTop, int oldScrollX);
    void Insert(const std::string& text);
    LRESULT Copy();
    LRESULT Paste();
    void Move(size_t pos, bool extend);
    size_t VerticalTarget(int lines);
    LRESULT KeyPressed(TWMKey m);
    LRESULT CharTyped(TWMChar m);
    void ScrollLines(int delta);
    LRESULT VScroll(TWMScroll m);
    LRESULT HScroll(TWMScroll m);
    void ScrollToCaret();

    // The caret's top-left in the client area as the text is scrolled now; dc has the font selected.
    POINT CaretPoint(HDC dc);

    // Moves the system caret along with the text's caret (measured only where someone can see it).
    void PlaceCaret();
    void UpdateScrollBars();
    LRESULT Paint(TWMPaint m);

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

} // namespace pw::commctrl
