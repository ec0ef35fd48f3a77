// The toolkit's own message box, driven with the keys and the close button a person would use.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "platform/vcl/dialogs.h"
#include "platform/vcl/prompt.h"

namespace {

// Hands every question to the toolkit, as with a person at the screen.
class ToolkitPrompter : public pw::vcl::Prompter {
public:
    ToolkitPrompter() { pw::vcl::SetPrompter(this); }
    ~ToolkitPrompter() override { pw::vcl::SetPrompter(nullptr); }
    pw::vcl::PromptAnswer Ask(const pw::vcl::PromptRequest& Request) override {
        return pw::vcl::AskToolkit(Request);
    }
};

enum class Gesture { Escape, CloseButton };

// Shows the box, makes the gesture once it is up, and answers what the box returned. A box that
// ignores the gesture is ended with its first button after a while, so the test fails instead of hanging.
int AnswerWith(UINT type, Gesture gesture) {
    ToolkitPrompter prompter;
    int tries = 0;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        if (++tries > 50) {
            box->buttons().front()->click();
            return;
        }
        if (gesture == Gesture::Escape) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(box, &press);
        } else {
            box->close();
        }
    });
    timer.start();
    return MessageBox(nullptr, "Do you wish to save this profile?", "Save Profile", type | MB_ICONQUESTION);
}

TEST(ToolkitMessageBox, EscapeAndTheCloseButtonAnswerWhatClosingTheBoxMeans) {
    struct Case {
        UINT type;
        int closed;
    };
    for (const Case& c : {Case{MB_YESNOCANCEL, IDCANCEL}, Case{MB_OKCANCEL, IDCANCEL}, Case{MB_YESNO, IDNO},
                          Case{MB_RETRYCANCEL, IDCANCEL}, Case{MB_OK, IDOK}}) {
        EXPECT_EQ(AnswerWith(c.type, Gesture::Escape), c.closed) << "Escape, type " << c.type;
        EXPECT_EQ(AnswerWith(c.type, Gesture::CloseButton), c.closed) << "close button, type " << c.type;
    }
}

} // namespace
