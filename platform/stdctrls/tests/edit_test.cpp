#include <gtest/gtest.h>

#include "platform/commctrl/std_controls.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/stdctrls/edit.h"
#include "platform/vcl/clipboard.h"
#include "platform/vcl/form.h"
#include "test_support.h"

using namespace stdctrls_test;

TEST(Edit, TextWritesFireOnChangeWithAndWithoutAWindowAndKeepTheirStateAcrossRecreation) {
    TForm* form = MakeForm();
    auto* edit = new TEdit(form);
    int changes = 0;
    edit->OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, edit);
        ++changes;
    };
    edit->SetText("before the window");
    EXPECT_EQ(changes, 1);
    edit->SetText("before the window"); // the same text is no change
    EXPECT_EQ(changes, 1);
    edit->SetParent(form);
    auto* other = new TEdit(form);
    other->SetParent(form);
    other->SetTop(50);
    form->Show();
    Pump();
    // Making the window is no change.
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(edit->Text(), "before the window");
    EXPECT_FALSE(edit->Modified());

    edit->SetText("abc");
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(edit->Modified());

    // Typing changes it too and marks it modified; focus by keyboard selected everything first.
    other->SetFocus();
    Pump();
    edit->SetFocus();
    Pump();
    EXPECT_EQ(edit->SelLength(), 3);
    Type("xy");
    EXPECT_EQ(edit->Text(), "xy");
    EXPECT_EQ(changes, 4);
    EXPECT_TRUE(edit->Modified());

    edit->SetSelStart(1);
    edit->SetSelLength(1);
    EXPECT_EQ(edit->SelText(), "y");
    edit->SetSelText("Z!");
    EXPECT_EQ(edit->Text(), "xZ!");

    // A new password character makes a new window; text, modified flag and selection survive.
    edit->SetSelStart(1);
    edit->SetSelLength(2);
    const int before = changes;
    edit->SetPasswordChar('*');
    EXPECT_EQ(edit->Text(), "xZ!");
    EXPECT_TRUE(edit->Modified());
    EXPECT_EQ(edit->SelStart(), 1);
    EXPECT_EQ(edit->SelLength(), 2);
    EXPECT_EQ(changes, before);
    EXPECT_EQ(SendMessage(edit->Handle(), EM_GETPASSWORDCHAR, 0, 0), '*');
    delete form;
}

// Only coming from another control selects the text: the form activated again after another window had
// the activation finds the caret where it was left, and typing goes on from there.
TEST(Edit, TheSelectionOutlivesTheFormLosingTheActivation) {
    TForm* form = MakeForm();
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetText("abc");
    TForm* other = MakeForm();
    form->Show();
    edit->SetFocus();
    Pump();
    EXPECT_EQ(edit->SelLength(), 3);
    edit->SetSelStart(3);
    other->Show();
    Pump();
    ASSERT_EQ(GetActiveWindow(), other->Handle());
    SetActiveWindow(form->Handle());
    Pump();
    ASSERT_EQ(GetFocus(), edit->Handle());
    EXPECT_EQ(edit->SelLength(), 0);
    Type("d");
    EXPECT_EQ(edit->Text(), "abcd");
    delete other;
    delete form;
}

TEST(Edit, KeyPressCanSwallowEnterAndMaxLengthAndReadOnlyHold) {
    TForm* form = MakeForm();
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    std::string pressed;
    edit->OnKeyPress = [&](TObject*, char& key) {
        pressed += key;
        if (key == '\r') key = 0;
        if (key == 'q') key = 'Q';
    };
    form->Show();
    edit->SetFocus();
    Pump();
    edit->SetMaxLength(4);
    Type("aq");
    Key(VK_RETURN);
    Type("bcdef");
    EXPECT_EQ(edit->Text(), "aQbc");
    EXPECT_EQ(pressed, "aq\rbcdef");
    edit->SetReadOnly(true);
    edit->SelectAll();
    Type("z");
    EXPECT_EQ(edit->Text(), "aQbc");
    // Upper case applies to the text there and to what is typed; the new window keeps the limit.
    edit->SetReadOnly(false);
    edit->SetMaxLength(0);
    edit->SetCharCase(ecUpperCase);
    EXPECT_EQ(edit->Text(), "AQBC");
    edit->SetFocus();
    edit->SetSelStart(4);
    Type("xy");
    EXPECT_EQ(edit->Text(), "AQBCXY");
    delete form;
}

TEST(Memo, LinesLiveInTheWindowAndAppendingKeepsTheCaretAtTheEnd) {
    TForm* form = MakeForm(300, 120);
    auto* memo = new TMemo(form);
    memo->SetParent(form);
    memo->SetBounds(0, 0, 300, 120);
    memo->SetScrollBars(ssVertical);
    int changes = 0;
    memo->OnChange = [&](TObject*) { ++changes; };
    form->Show();
    Pump();

    TStrings& lines = memo->Lines();
    EXPECT_EQ(lines.Count(), 0);
    lines.BeginUpdate();
    for (int i = 0; i < 250; ++i)
        lines.Add("line " + std::to_string(i));
    lines.EndUpdate();
    EXPECT_EQ(lines.Count(), 250);
    EXPECT_EQ(lines[0], "line 0");
    EXPECT_EQ(lines[249], "line 249");
    EXPECT_GT(changes, 0);
    // The caret follows the appended text, and the window scrolled to show it.
    EXPECT_EQ(memo->SelStart(), static_cast<int>(memo->Text().size()));
    EXPECT_EQ(memo->CaretPos().y, 250);
    EXPECT_GT(SendMessage(memo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 200);

    memo->SetSelStart(0);
    EXPECT_EQ(SendMessage(memo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    memo->SetSelStart(static_cast<int>(memo->Text().size()));
    EXPECT_GT(SendMessage(memo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 200);
    memo->SelectAll();
    EXPECT_EQ(memo->SelLength(), static_cast<int>(memo->Text().size()));

    lines.Insert(1, "inserted");
    lines.Delete(0);
    lines.SetStrings(0, "first");
    EXPECT_EQ(lines.Count(), 250);
    EXPECT_EQ(lines[0], "first");
    EXPECT_EQ(lines[1], "line 1");
    EXPECT_THROW(lines.Delete(250), EStringListError);

    lines.SetText("a\nb\r\nc");
    memo->SelectAll();
    memo->CopyToClipboard();
    EXPECT_EQ(Clipboard().AsText(), "a\r\nb\r\nc");
    EXPECT_EQ(memo->Text(), "a\r\nb\r\nc");
    EXPECT_EQ(lines.Count(), 3);
    lines.Clear();
    EXPECT_EQ(lines.Count(), 0);
    delete form;
}

TEST(Memo, ALongTextTakenOverIsTheMemosWithoutACopyLeftBehind) {
    TForm* form = MakeForm(300, 120);
    auto* memo = new TMemo(form);
    auto* edit = new TEdit(form);
    memo->SetWordWrap(false);
    int changes = 0;
    memo->OnChange = [&](TObject*) { ++changes; };
    // Without a window yet, and then with one.
    std::string early = "kept\r\nuntil shown";
    memo->TakeText(early);
    EXPECT_TRUE(early.empty());
    EXPECT_EQ(changes, 1);
    memo->SetParent(form);
    edit->SetParent(form);
    form->Show();
    Pump();
    EXPECT_EQ(memo->Text(), "kept\r\nuntil shown");

    std::string page;
    for (int i = 0; i < 20000; ++i)
        page +=
            "<dt><a href=\"page" + std::to_string(i) + ".html\">Page " + std::to_string(i) + "</a></dt>\r\n";
    const std::string expected = page;
    memo->TakeText(page);
    EXPECT_TRUE(page.empty());
    EXPECT_EQ(page.capacity(), std::string().capacity()) << "the memory went with the text";
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(memo->Text(), expected);
    EXPECT_EQ(memo->Lines().Count(), 20000);
    EXPECT_EQ(memo->Lines()[19999], "<dt><a href=\"page19999.html\">Page 19999</a></dt>");
    EXPECT_FALSE(memo->Modified());
    // The same text again is no change; a one-line edit keeps the first line only.
    std::string same = expected;
    memo->TakeText(same);
    EXPECT_EQ(changes, 2);
    std::string two = "first\r\nsecond";
    edit->TakeText(two);
    EXPECT_EQ(edit->Text(), "first");
    EXPECT_TRUE(two.empty());
    delete form;
}

TEST(Memo, AddedLinesFollowWhateverTheTextEndsWith) {
    TForm* form = MakeForm(300, 120);
    auto* memo = new TMemo(form);
    memo->SetParent(form);
    memo->SetBounds(0, 0, 300, 120);
    form->Show();
    Pump();
    TStrings& lines = memo->Lines();
    EXPECT_EQ(lines.Add("first"), 0);
    EXPECT_EQ(memo->Text(), "first\r\n");
    // A text without a break at its end gets one before the new line; a run of lines added at once
    // counts as its lines.
    memo->SetText("a\r\nb");
    EXPECT_EQ(lines.Add("c"), 2);
    EXPECT_EQ(lines.Add("d\r\ne"), 3);
    EXPECT_EQ(lines.Count(), 5);
    EXPECT_EQ(lines[4], "e");
    EXPECT_EQ(memo->Text(), "a\r\nb\r\nc\r\nd\r\ne\r\n");
    // An empty line is a line too.
    EXPECT_EQ(lines.Add(""), 5);
    EXPECT_EQ(lines.Count(), 6);
    EXPECT_EQ(lines[5], "");
    lines.Clear();
    EXPECT_EQ(lines.Add("again"), 0);
    EXPECT_EQ(lines.Count(), 1);
    delete form;
}

// A log filled before anyone sees it: each line is one change, and the memo shows the last ones once
// its form is shown.
TEST(Memo, ALogFilledWhileHiddenShowsItsEndOnceShown) {
    TForm* form = MakeForm(300, 120);
    auto* memo = new TMemo(form);
    memo->SetParent(form);
    memo->SetBounds(0, 0, 300, 120);
    memo->SetScrollBars(ssVertical);
    int changes = 0;
    memo->OnChange = [&](TObject*) { ++changes; };
    TStrings& lines = memo->Lines();
    for (int i = 0; i < 300; ++i)
        ASSERT_EQ(lines.Add("http://example.test/page" + std::to_string(i) + ".html"), i);
    EXPECT_EQ(changes, 300);
    EXPECT_EQ(lines.Count(), 300);
    EXPECT_EQ(lines[299], "http://example.test/page299.html");
    EXPECT_EQ(memo->SelStart(), static_cast<int>(memo->Text().size()));
    form->Show();
    Pump();
    EXPECT_GT(SendMessage(memo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 250);
    lines.Clear();
    EXPECT_EQ(lines.Add("after"), 0);
    EXPECT_EQ(memo->Text(), "after\r\n");
    delete form;
}

TEST(Memo, ReturnsAndTabsGoToTheFormUnlessTheMemoWantsThem) {
    TForm* form = MakeForm();
    auto* memo = new TMemo(form);
    memo->SetParent(form);
    auto* other = new TEdit(form);
    other->SetParent(form);
    other->SetTop(100);
    form->Show();
    memo->SetFocus();
    Pump();
    Type("a");
    Key(VK_RETURN);
    Type("b");
    EXPECT_EQ(memo->Lines().Count(), 2);
    memo->SetWantReturns(false);
    Key(VK_RETURN);
    EXPECT_EQ(memo->Lines().Count(), 2);
    Key(VK_TAB);
    EXPECT_TRUE(other->Focused());
    delete form;
}
