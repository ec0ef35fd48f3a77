#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/gdi/surface.h"
#include "platform/gui/caret.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "test_support.h"

using namespace commctrl_test;

namespace {

std::pair<DWORD, DWORD> Sel(HWND edit) {
    DWORD s = 0, e = 0;
    Send(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    return {s, e};
}

void ShiftKey(BYTE vk) {
    KeyWhileHeld(VK_SHIFT, vk);
}

void CtrlKey(BYTE vk) {
    KeyWhileHeld(VK_CONTROL, vk);
}

} // namespace

TEST(Edit, TypingMovesByCodePointAndEditsUtf8) {
    Host host;
    HWND edit = host.Add("EDIT", "", ES_AUTOHSCROLL | WS_TABSTOP, RECT{10, 10, 200, 32}, WS_EX_CLIENTEDGE);
    SetFocus(edit);
    Type("h\xC3\xA9llo \xF0\x9F\x98\x80!");
    EXPECT_EQ(Text(edit), "h\xC3\xA9llo \xF0\x9F\x98\x80!");
    EXPECT_EQ(Send(edit, WM_GETTEXTLENGTH), 12);
    Key(VK_LEFT);
    Key(VK_BACK); // the four-byte emoji goes as one
    EXPECT_EQ(Text(edit), "h\xC3\xA9llo !");
    Key(VK_HOME);
    Key(VK_RIGHT);
    EXPECT_EQ(Sel(edit), std::make_pair(DWORD{1}, DWORD{1}));
    ShiftKey(VK_RIGHT);
    EXPECT_EQ(Sel(edit), std::make_pair(DWORD{1}, DWORD{3}));
    Type("e");
    EXPECT_EQ(Text(edit), "hello !");
    // EM_SETSEL positions inside a code point fall back to its start.
    Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("\xC3\xA9t\xC3\xA9"));
    Send(edit, EM_SETSEL, 1, 4);
    EXPECT_EQ(Sel(edit), std::make_pair(DWORD{0}, DWORD{3}));
    Send(edit, EM_SETSEL, 0, -1);
    EXPECT_EQ(Sel(edit), std::make_pair(DWORD{0}, DWORD{5}));
    // A buffer too small for the last code point gets none of it.
    char buffer[3] = {};
    EXPECT_EQ(Send(edit, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer)), 2);
    EXPECT_STREQ(buffer, "\xC3\xA9");
    // Single-line edits keep only the first line of what they are given.
    Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("one\r\ntwo"));
    EXPECT_EQ(Text(edit), "one");
}

TEST(Edit, WordMovesDeletesAndSelectAllByKeyboard) {
    Host host;
    HWND edit = host.Add("EDIT", "alpha beta gamma", ES_AUTOHSCROLL, RECT{10, 10, 200, 32});
    SetFocus(edit);
    Send(edit, EM_SETSEL, 0, 0);
    CtrlKey(VK_RIGHT);
    EXPECT_EQ(Sel(edit).first, 6u);
    pw::gui::SetKeyDown(VK_CONTROL, true);
    ShiftKey(VK_RIGHT);
    pw::gui::SetKeyDown(VK_CONTROL, false);
    EXPECT_EQ(Sel(edit), std::make_pair(DWORD{6}, DWORD{11}));
    Key(VK_DELETE);
    EXPECT_EQ(Text(edit), "alpha gamma");
    CtrlKey(VK_END);
    CtrlKey(VK_BACK);
    EXPECT_EQ(Text(edit), "alpha ");
    CtrlKey('A');
    EXPECT_EQ(Sel(edit), std::make_pair(DWORD{0}, DWORD{6}));
    ShiftKey(VK_HOME);
    EXPECT_EQ(Sel(edit), std::make_pair(DWORD{0}, DWORD{0}));
}

TEST(Edit, ClipboardCutCopyPasteAndOneLevelUndo) {
    Host host;
    HWND edit = host.Add("EDIT", "copy \xE2\x82\xAC me", ES_AUTOHSCROLL, RECT{10, 10, 200, 32});
    SetFocus(edit);
    Send(edit, EM_SETSEL, 5, 8);
    CtrlKey('C');
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), "\xE2\x82\xAC");
    Send(edit, EM_SETSEL, 0, 5);
    CtrlKey('X');
    EXPECT_EQ(Text(edit), "\xE2\x82\xAC me");
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), "copy ");
    CtrlKey(VK_END);
    CtrlKey('V');
    EXPECT_EQ(Text(edit), "\xE2\x82\xAC me"
                          "copy ");
    EXPECT_TRUE(Send(edit, EM_CANUNDO));
    CtrlKey('Z');
    EXPECT_EQ(Text(edit), "\xE2\x82\xAC me");
    CtrlKey('Z'); // a second undo redoes
    EXPECT_EQ(Text(edit), "\xE2\x82\xAC me"
                          "copy ");
    // Pasting several lines into a single-line edit keeps the first.
    ASSERT_TRUE(OpenClipboard(edit));
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, "first\nsecond");
    CloseClipboard();
    Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    EXPECT_FALSE(Send(edit, EM_CANUNDO));
    Send(edit, WM_PASTE);
    EXPECT_EQ(Text(edit), "first");
    // Passwords never leave through the clipboard.
    HWND password = host.Add("EDIT", "secret", ES_PASSWORD, RECT{10, 40, 200, 62}, 0, 2);
    Send(password, EM_SETSEL, 0, -1);
    Send(password, WM_COPY);
    Send(password, WM_CUT);
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), "first\nsecond");
    EXPECT_EQ(Text(password), "secret");
}

TEST(Edit, ReadOnlyNumberLimitAndModifyFlag) {
    Host host;
    HWND edit = host.Add("EDIT", "fixed", ES_READONLY, RECT{10, 10, 200, 32});
    SetFocus(edit);
    Type("x");
    Key(VK_BACK);
    Send(edit, WM_CUT);
    EXPECT_EQ(Text(edit), "fixed");
    EXPECT_FALSE(Send(edit, EM_GETMODIFY));
    Send(edit, EM_SETREADONLY, FALSE_);
    CtrlKey(VK_END);
    Type("!");
    EXPECT_EQ(Text(edit), "fixed!");
    EXPECT_TRUE(Send(edit, EM_GETMODIFY));
    Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("reset"));
    EXPECT_FALSE(Send(edit, EM_GETMODIFY));

    HWND number = host.Add("EDIT", "", ES_NUMBER, RECT{10, 40, 200, 62}, 0, 2);
    SetFocus(number);
    Send(number, EM_LIMITTEXT, 4);
    Type("1a2b345");
    EXPECT_EQ(Text(number), "1234");
    EXPECT_EQ(host.Codes(number).back(), EN_MAXTEXT);
    // A replacement that would pass the limit is cut on a code point.
    Send(number, EM_SETSEL, 0, -1);
    Send(number, EM_REPLACESEL, TRUE_, reinterpret_cast<LPARAM>("\xC3\xA9\xC3\xA9\xC3\xA9"));
    EXPECT_EQ(Text(number), "\xC3\xA9\xC3\xA9");
}

TEST(Edit, ChangeNotificationsComeFromTypingAndSetText) {
    Host host;
    HWND edit = host.Add("EDIT", "", ES_AUTOHSCROLL, RECT{10, 10, 200, 32});
    SetFocus(edit);
    host.Notices().clear();
    Type("ab");
    Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("xyz"));
    Send(edit, EM_SETSEL, 0, 1); // selection alone is no change
    Send(edit, EM_REPLACESEL, FALSE_, reinterpret_cast<LPARAM>("Q"));
    EXPECT_EQ(host.Codes(edit), (std::vector<UINT>{EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE, EN_UPDATE,
                                                   EN_CHANGE, EN_UPDATE, EN_CHANGE}));
    EXPECT_EQ(Text(edit), "Qyz");
    EXPECT_FALSE(Send(edit, EM_CANUNDO));
    HWND other = host.Add("EDIT", "", 0, RECT{10, 40, 200, 62}, 0, 2);
    host.Notices().clear();
    SetFocus(other);
    EXPECT_EQ(host.Codes(edit), std::vector<UINT>{EN_KILLFOCUS});
    EXPECT_EQ(host.Codes(other), std::vector<UINT>{EN_SETFOCUS});
}

TEST(Edit, MultiLineQueriesAndNavigation) {
    Host host;
    HWND memo = host.Add("EDIT", "first\r\nsecond line\r\n\r\nlast",
                         ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL, RECT{10, 10, 300, 200}, WS_EX_CLIENTEDGE);
    EXPECT_EQ(Send(memo, WM_GETDLGCODE) & DLGC_WANTALLKEYS, DLGC_WANTALLKEYS);
    EXPECT_EQ(Send(memo, EM_GETLINECOUNT), 4);
    EXPECT_EQ(Send(memo, EM_LINEINDEX, 1), 7);
    EXPECT_EQ(Send(memo, EM_LINEINDEX, 3), 22);
    EXPECT_EQ(Send(memo, EM_LINEINDEX, 4), -1);
    EXPECT_EQ(Send(memo, EM_LINELENGTH, 8), 11);
    EXPECT_EQ(Send(memo, EM_LINELENGTH, 20), 0);
    EXPECT_EQ(Send(memo, EM_LINEFROMCHAR, 6), 0); // the break belongs to its line
    EXPECT_EQ(Send(memo, EM_LINEFROMCHAR, 7), 1);
    EXPECT_EQ(Send(memo, EM_LINEFROMCHAR, 26), 3);
    char line[32] = {};
    WORD size = sizeof line;
    std::memcpy(line, &size, sizeof size);
    EXPECT_EQ(Send(memo, EM_GETLINE, 1, reinterpret_cast<LPARAM>(line)), 11);
    EXPECT_EQ(std::string(line, 11), "second line");

    SetFocus(memo);
    Send(memo, EM_SETSEL, 3, 3);
    Key(VK_DOWN);
    EXPECT_EQ(Send(memo, EM_LINEFROMCHAR, -1), 1);
    Key(VK_END);
    Key(VK_RIGHT); // over the line break in one step
    Key(VK_RIGHT);
    EXPECT_EQ(Send(memo, EM_LINEFROMCHAR, -1), 3);
    Key(VK_RETURN);
    EXPECT_EQ(Send(memo, EM_GETLINECOUNT), 5);
    Key(VK_BACK);
    EXPECT_EQ(Text(memo), "first\r\nsecond line\r\n\r\nlast");
}

TEST(Edit, LinesCountsAndCharactersOutOfRangeAreRefused) {
    Host host;
    HWND memo =
        host.Add("EDIT", "1\r\n2\r\n3\r\n4\r\n5\r\n6", ES_MULTILINE | WS_VSCROLL, RECT{10, 10, 300, 50});
    char line[16] = {};
    WORD size = sizeof line;
    std::memcpy(line, &size, sizeof size);
    // Negative, past the end, and wider than an int (whose low half names the first line).
    for (WPARAM bad : {static_cast<WPARAM>(-2), WPARAM{6}, WPARAM{1} << 32}) {
        SCOPED_TRACE(static_cast<intptr_t>(bad));
        EXPECT_EQ(Send(memo, EM_LINEINDEX, bad), -1);
        EXPECT_EQ(Send(memo, EM_GETLINE, bad, reinterpret_cast<LPARAM>(line)), 0);
    }
    // Scrolling by the most an int holds ends at the last page instead of wrapping around.
    Send(memo, EM_LINESCROLL, 0, 1);
    Send(memo, EM_LINESCROLL, 0, 0x7FFFFFFF);
    const LRESULT bottom = Send(memo, EM_GETFIRSTVISIBLELINE);
    EXPECT_GT(bottom, 0);
    Send(memo, EM_LINESCROLL, 0, LPARAM{1} << 40);
    EXPECT_EQ(Send(memo, EM_GETFIRSTVISIBLELINE), bottom);
    Send(memo, EM_LINESCROLL, 0, -(LPARAM{1} << 40));
    EXPECT_EQ(Send(memo, EM_GETFIRSTVISIBLELINE), 0);
    // A mask that is no character leaves the mask as it was.
    HWND password = host.Add("EDIT", "secret", ES_PASSWORD, RECT{10, 70, 200, 90});
    Send(password, EM_SETPASSWORDCHAR, 0x110000);
    EXPECT_EQ(Send(password, EM_GETPASSWORDCHAR), 0);
    Send(password, EM_SETPASSWORDCHAR, 0x1F512); // beyond the first plane, four bytes in UTF-8
    EXPECT_EQ(Send(password, EM_GETPASSWORDCHAR), 0x1F512);
    // A limit beyond the largest one is no limit, not a wrapped small one.
    Send(password, EM_LIMITTEXT, static_cast<WPARAM>(-1));
    EXPECT_EQ(Send(password, EM_GETLIMITTEXT), 0x7FFFFFFE);
}

TEST(Edit, AppendingManyLinesScrollsTheCaretIntoView) {
    Host host(500, 400);
    HWND memo = host.Add("EDIT", "", ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | WS_VSCROLL,
                         RECT{10, 10, 400, 200}, WS_EX_CLIENTEDGE);
    Send(memo, EM_LIMITTEXT, 0);
    for (int i = 0; i < 250; ++i) {
        const std::string line = (i ? "\r\n" : "") + std::string("log line ") + std::to_string(i);
        const LRESULT end = Send(memo, WM_GETTEXTLENGTH);
        Send(memo, EM_SETSEL, static_cast<WPARAM>(end), end);
        Send(memo, EM_REPLACESEL, FALSE_, reinterpret_cast<LPARAM>(line.c_str()));
        Send(memo, EM_SCROLLCARET);
        Pump();
    }
    EXPECT_EQ(Send(memo, EM_GETLINECOUNT), 250);
    const LRESULT top = Send(memo, EM_GETFIRSTVISIBLELINE);
    EXPECT_GT(top, 230);
    EXPECT_LE(top, 249);
    const SCROLLINFO si = ScrollInfo(memo, SB_VERT);
    EXPECT_EQ(si.nMax, 249);
    EXPECT_EQ(si.nPos, top);
    // The scroll bar's arrow scrolls back one line.
    Send(memo, WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(Send(memo, EM_GETFIRSTVISIBLELINE), top - 1);
    Send(memo, WM_VSCROLL, SB_TOP);
    EXPECT_EQ(Send(memo, EM_GETFIRSTVISIBLELINE), 0);
    // With redraw off the text still changes.
    Send(memo, WM_SETREDRAW, FALSE_);
    Send(memo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("quiet"));
    Send(memo, WM_SETREDRAW, TRUE_);
    EXPECT_EQ(Text(memo), "quiet");
}

TEST(Edit, MouseSelectsByDragAndWordByDoubleClick) {
    Host host;
    HWND edit = host.Add("EDIT", "some words here", ES_AUTOHSCROLL, RECT{10, 10, 300, 32});
    Click(edit, 1, 8);
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(Sel(edit), std::make_pair(DWORD{0}, DWORD{0}));
    Drag(edit, POINT{1, 8}, POINT{290, 8});
    EXPECT_EQ(Sel(edit), std::make_pair(DWORD{0}, DWORD{15}));
    EXPECT_EQ(GetCapture(), nullptr);
    Click(edit, 50, 8, true);
    EXPECT_EQ(Sel(edit), std::make_pair(DWORD{5}, DWORD{11}));
}

TEST(Edit, MultiLineWithoutAutoHScrollWrapsAtWords) {
    Host host;
    const std::string sentence = "the quick brown fox jumps over the lazy dog again and again";
    HWND wrapped = host.Add("EDIT", sentence.c_str(), ES_MULTILINE, RECT{10, 10, 110, 200});
    HWND wide =
        host.Add("EDIT", sentence.c_str(), ES_MULTILINE | ES_AUTOHSCROLL, RECT{120, 10, 220, 200}, 0, 2);
    EXPECT_EQ(Send(wide, EM_GETLINECOUNT), 1);
    const LRESULT lines = Send(wrapped, EM_GETLINECOUNT);
    EXPECT_GT(lines, 2);
    std::string joined;
    for (LRESULT i = 0; i < lines; ++i) {
        const LRESULT start = Send(wrapped, EM_LINEINDEX, static_cast<WPARAM>(i));
        const LRESULT length = Send(wrapped, EM_LINELENGTH, static_cast<WPARAM>(start));
        if (i > 0) {
            EXPECT_NE(sentence[static_cast<size_t>(start)], ' '); // lines start at a word
            EXPECT_EQ(sentence[static_cast<size_t>(start) - 1], ' ');
        }
        joined += sentence.substr(static_cast<size_t>(start), static_cast<size_t>(length));
    }
    EXPECT_EQ(joined, sentence); // wrapping adds and loses nothing
    EXPECT_EQ(Text(wrapped), sentence);
    // A word longer than the line is cut inside; a wider window needs fewer lines.
    Send(wrapped, WM_SETTEXT, 0,
         reinterpret_cast<LPARAM>("abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz"));
    EXPECT_GT(Send(wrapped, EM_GETLINECOUNT), 1);
    Send(wrapped, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(sentence.c_str()));
    MoveWindow(wrapped, 10, 10, 300, 190, TRUE_);
    EXPECT_LT(Send(wrapped, EM_GETLINECOUNT), lines);
}

TEST(Edit, HorizontalScrollBarOfAWideMemo) {
    Host host;
    HWND memo = host.Add("EDIT", "short\r\na much longer line of text that does not fit into the memo at all",
                         ES_MULTILINE | ES_AUTOHSCROLL | WS_HSCROLL, RECT{10, 10, 160, 100});
    const SCROLLINFO si = ScrollInfo(memo, SB_HORZ);
    EXPECT_GT(si.nMax, static_cast<int>(si.nPage));
    Send(memo, WM_HSCROLL, SB_LINERIGHT);
    EXPECT_EQ(GetScrollPos(memo, SB_HORZ), 8);
    Send(memo, WM_HSCROLL, SB_RIGHT);
    EXPECT_EQ(GetScrollPos(memo, SB_HORZ), si.nMax + 1 - static_cast<int>(si.nPage));
    Send(memo, WM_HSCROLL, SB_LEFT);
    EXPECT_EQ(GetScrollPos(memo, SB_HORZ), 0);
    // Moving the caret to the end of the long line brings it into view.
    SetFocus(memo);
    Send(memo, EM_SETSEL, 7, 7);
    Key(VK_END);
    EXPECT_GT(GetScrollPos(memo, SB_HORZ), 0);
}

TEST(Edit, LinesAddedAtTheBottomLookAsAFullRepaintDrawsThem) {
    Host host(500, 400);
    // Wrapped and unwrapped, with a horizontal bar or without.
    HWND wrapped = host.Add("EDIT", "", ES_MULTILINE | ES_READONLY | WS_VSCROLL, RECT{10, 10, 240, 150},
                            WS_EX_CLIENTEDGE);
    HWND plain =
        host.Add("EDIT", "", ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL,
                 RECT{250, 10, 490, 163}, WS_EX_CLIENTEDGE, 2);
    for (HWND memo : {wrapped, plain}) {
        Send(memo, EM_LIMITTEXT, 0);
        for (int i = 0; i < 60; ++i) {
            std::string line = (i ? "\r\n" : "") + std::string("line ") + std::to_string(i);
            if (i % 7 == 3) line += " with words enough to run past the right edge of the memo and wrap";
            if (i % 11 == 5) line += " http://127.0.0.1:8080/" + std::string(90, 'x') + ".html";
            const LRESULT end = Send(memo, WM_GETTEXTLENGTH);
            Send(memo, EM_SETSEL, static_cast<WPARAM>(end), end);
            Send(memo, EM_REPLACESEL, FALSE_, reinterpret_cast<LPARAM>(line.c_str()));
            if (i % 5 == 4) continue; // two lines before the next paint
            Pump();
            const Surface shown = pw::gui::ComposeWindow(memo);
            InvalidateRect(memo, nullptr, TRUE_);
            UpdateWindow(memo);
            const Surface full = pw::gui::ComposeWindow(memo);
            ASSERT_EQ(shown.Width(), full.Width());
            for (int y = 0; y < full.Height(); ++y)
                for (int x = 0; x < full.Width(); ++x)
                    ASSERT_EQ(shown.Pixel(x, y), full.Pixel(x, y))
                        << (memo == wrapped ? "wrapped" : "plain") << " memo, line " << i << ", at " << x
                        << "," << y;
        }
    }
}

TEST(Edit, TheFocusedEditOwnsTheSystemCaretWhereItsTextsCaretIs) {
    Host host;
    HWND edit = host.Add("EDIT", "", ES_AUTOHSCROLL | WS_TABSTOP, RECT{10, 10, 200, 32}, WS_EX_CLIENTEDGE);
    HWND other =
        host.Add("EDIT", "", ES_AUTOHSCROLL | WS_TABSTOP, RECT{10, 40, 200, 62}, WS_EX_CLIENTEDGE, 2);
    POINT start{}, end{};
    SetFocus(edit);
    Pump();
    ASSERT_TRUE(GetCaretPos(start));
    EXPECT_TRUE(pw::gui::CaretShown(edit));
    Type("wide text");
    ASSERT_TRUE(GetCaretPos(end));
    EXPECT_EQ(end.y, start.y);
    EXPECT_GT(end.x, start.x + 30);
    Key(VK_HOME);
    POINT home{};
    ASSERT_TRUE(GetCaretPos(home));
    EXPECT_EQ(home, start);
    // A hidden caret is not drawn, and moving to the other edit takes the caret along.
    EXPECT_TRUE(HideCaret(edit));
    EXPECT_FALSE(pw::gui::CaretShown(edit));
    EXPECT_TRUE(ShowCaret(edit));
    SetFocus(other);
    Pump();
    EXPECT_FALSE(HideCaret(edit));
    EXPECT_TRUE(pw::gui::CaretShown(other));
    SetFocus(nullptr);
    POINT none{};
    EXPECT_FALSE(GetCaretPos(none));
}
