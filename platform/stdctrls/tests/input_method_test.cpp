// Text an input method commits reaches the focused control as characters, whatever its script. The
// events are sent to the toolkit's window as the input method sends them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QWidget>

#include "platform/commctrl/std_controls.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/window.h"
#include "platform/stdctrls/edit.h"
#include "platform/vcl/form.h"
#include "test_support.h"

using namespace stdctrls_test;

namespace {

QWidget* ToolkitWindowTitled(const std::string& title) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->windowTitle() == QString::fromStdString(title)) return widget;
    return nullptr;
}

// A composition shown and changed, then committed, as an input method delivers it.
void Compose(QWidget* widget, const QString& reading, const QString& committed) {
    for (qsizetype n = 1; n <= reading.size(); ++n) {
        QInputMethodEvent composing(reading.left(n), {});
        QCoreApplication::sendEvent(widget, &composing);
    }
    QInputMethodEvent commit;
    commit.setCommitString(committed);
    QCoreApplication::sendEvent(widget, &commit);
    Pump();
}

// A key pressed and released as the toolkit reports it from the keyboard: its key code and its text.
void Press(QWidget* widget, int key, const QString& text, Qt::KeyboardModifiers held = Qt::NoModifier) {
    QKeyEvent down(QEvent::KeyPress, key, held, text);
    QCoreApplication::sendEvent(widget, &down);
    QKeyEvent up(QEvent::KeyRelease, key, held, text);
    QCoreApplication::sendEvent(widget, &up);
    Pump();
}

// ü, é, ß and € as a German or French keyboard types them: keys that have no virtual key of ours.
void TypeAccents(QWidget* widget) {
    Press(widget, Qt::Key_Udiaeresis, QString::fromUtf8("ü"));
    Press(widget, Qt::Key_Eacute, QString::fromUtf8("é"));
    Press(widget, Qt::Key_ssharp, QString::fromUtf8("ß"));
    Press(widget, 0x20AC, QString::fromUtf8("€"), Qt::GroupSwitchModifier);
    Press(widget, Qt::Key_Udiaeresis, QString::fromUtf8("Ü"), Qt::ShiftModifier);
    // A dead key types nothing by itself; its composition arrives as the input method commits it, or
    // with the next key's text.
    Press(widget, Qt::Key_Dead_Circumflex, QString());
    Compose(widget, QString(), QString::fromUtf8("ê"));
    Press(widget, Qt::Key_Dead_Acute, QString());
    Press(widget, Qt::Key_A, QString::fromUtf8("á"));
    // Alt with such a key is a command, and a control character is no text.
    Press(widget, Qt::Key_Udiaeresis, QString::fromUtf8("ü"), Qt::AltModifier);
    Press(widget, Qt::Key_Odiaeresis, QString(QChar(0x1C)), Qt::ControlModifier);
}

} // namespace

TEST(TypedKeys, KeysWithoutAVirtualKeyTypeTheirCharactersIntoEveryEdit) {
    TForm* form = MakeForm();
    form->SetCaption("Typed keys form");
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    form->Show();
    Pump();
    HWND plain = CreateWindowEx(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 60, 200, 24,
                                form->Handle(), nullptr, nullptr, nullptr);
    ASSERT_NE(plain, nullptr);
    Pump();
    QWidget* widget = ToolkitWindowTitled("Typed keys form");
    ASSERT_NE(widget, nullptr);

    edit->SetFocus();
    Pump();
    Press(widget, Qt::Key_O, "O");
    TypeAccents(widget);
    Press(widget, Qt::Key_Space, " ");
    EXPECT_EQ(edit->Text(), "Oüéß€Üêá ");

    // AltGr, held for € or @ and let go, is no Alt: the menu bar would take the keys after it.
    QKeyEvent altGr(QEvent::KeyPress, Qt::Key_AltGr, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &altGr);
    Pump();
    EXPECT_GE(GetKeyState(VK_MENU), 0);
    QKeyEvent altGrUp(QEvent::KeyRelease, Qt::Key_AltGr, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &altGrUp);
    Press(widget, Qt::Key_At, "@");
    EXPECT_EQ(edit->Text(), "Oüéß€Üêá @");

    SetFocus(plain);
    Pump();
    TypeAccents(widget);
    EXPECT_EQ(GetWindowText(plain), "üéß€Üêá");
    EXPECT_EQ(edit->Text(), "Oüéß€Üêá @");
    delete form;
}

TEST(InputMethod, CommittedTextReachesEditsAsCharactersInAnyScript) {
    TForm* form = MakeForm();
    form->SetCaption("Input method form");
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    form->Show();
    Pump();
    HWND plain = CreateWindowEx(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 60, 200, 24,
                                form->Handle(), nullptr, nullptr, nullptr);
    ASSERT_NE(plain, nullptr);
    Pump();
    QWidget* widget = ToolkitWindowTitled("Input method form");
    ASSERT_NE(widget, nullptr);
    EXPECT_TRUE(widget->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_TRUE(widget->inputMethodQuery(Qt::ImEnabled).toBool());

    // Only the committed text arrives; the reading typed on the way is the input method's.
    edit->SetFocus();
    Pump();
    Compose(widget, QString::fromUtf8("にほんご"), QString::fromUtf8("日本語"));
    EXPECT_EQ(edit->Text(), "日本語");
    Compose(widget, QString::fromUtf8("さいと"), QString::fromUtf8("サイト"));
    EXPECT_EQ(edit->Text(), "日本語サイト");

    // The edit window class itself, with a character beyond the 16-bit range among them.
    SetFocus(plain);
    Pump();
    Compose(widget, QString::fromUtf8("とうきょう"), QString::fromUtf8("東京𠮷野家"));
    EXPECT_EQ(GetWindowText(plain), "東京𠮷野家");
    EXPECT_EQ(edit->Text(), "日本語サイト");

    // The test entry takes the same path.
    pw::gui::SimulateText(U"。");
    Pump();
    EXPECT_EQ(GetWindowText(plain), "東京𠮷野家。");
    delete form;
}
