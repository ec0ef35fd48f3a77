// A button release the toolkit never delivers (the window that took the press went away while the
// button was held) is made up from the buttons it reports with the next move, so that a loop waiting
// for the release ends.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include "gui_test_support.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"

using namespace gui_test;

namespace {

QWidget* ToolkitWindowAt(const RECT& r) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() &&
            widget->geometry() == QRect(r.left, r.top, r.right - r.left, r.bottom - r.top))
            return widget;
    return nullptr;
}

void Send(QWidget* widget, QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent e(type, QPointF(local), QPointF(widget->mapToGlobal(local)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &e);
    Pump();
}

TEST(LostRelease, AMoveWithoutTheHeldButtonReleasesItOnce) {
    const RECT r{120, 140, 320, 260};
    HWND window = MakeTopLevel(r);
    Pump();
    QWidget* widget = ToolkitWindowAt(r);
    ASSERT_NE(widget, nullptr);
    Send(widget, QEvent::MouseButtonPress, QPoint(10, 10), Qt::LeftButton, Qt::LeftButton);
    EXPECT_LT(GetAsyncKeyState(VK_LBUTTON), 0);
    // Moves with the button held change nothing.
    Send(widget, QEvent::MouseMove, QPoint(30, 12), Qt::NoButton, Qt::LeftButton);
    EXPECT_LT(GetAsyncKeyState(VK_LBUTTON), 0);
    Log().clear();
    // Its release went elsewhere: the next move reports no button.
    Send(widget, QEvent::MouseMove, QPoint(40, 14), Qt::NoButton, Qt::NoButton);
    EXPECT_GE(GetAsyncKeyState(VK_LBUTTON), 0);
    EXPECT_EQ(MessagesOf(window, {WM_LBUTTONUP, WM_MOUSEMOVE}),
              (std::vector<UINT>{WM_LBUTTONUP, WM_MOUSEMOVE}));
    Log().clear();
    Send(widget, QEvent::MouseMove, QPoint(50, 16), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(MessagesOf(window, {WM_LBUTTONUP, WM_MOUSEMOVE}), (std::vector<UINT>{WM_MOUSEMOVE}));
}

} // namespace
