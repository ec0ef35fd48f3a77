// Text an input method commits reaches the focused control as characters, whatever its script. The
// events are sent to the toolkit's window as the input method sends them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QWidget>

#include "platform/commctrl/std_controls.h"
#include "platform/gui/input.h"
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

} // namespace

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
