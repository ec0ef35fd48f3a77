// A form's size constraints reach the toolkit's window, which the desktop's frame obeys when a person
// resizes or maximizes the window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include "platform/gui/message_loop.h"
#include "platform/gui/messages.h"
#include "platform/vcl/form.h"
#include "vcl_test_support.h"

namespace {

QWidget* ToolkitWindowTitled(const std::string& title) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->windowTitle() == QString::fromStdString(title)) return widget;
    return nullptr;
}

TEST(FormFrame, ConstraintsAreTheTrackSizesOfTheWindowAndItsToolkitWindow) {
    TForm form(nullptr);
    form.SetCaption("Constrained form");
    form.SetBounds(10, 10, 500, 400);
    form.Show();
    vcl_test::Pump();
    QWidget* widget = ToolkitWindowTitled("Constrained form");
    ASSERT_NE(widget, nullptr);
    const QSize before = widget->minimumSize();

    form.Constraints().SetMinWidth(420);
    form.Constraints().SetMinHeight(300);
    form.Constraints().SetMaxHeight(700);
    vcl_test::Pump();
    MINMAXINFO info{};
    info.ptMaxTrackSize = POINT{5000, 5000};
    SendMessage(form.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 420);
    EXPECT_EQ(info.ptMinTrackSize.y, 300);
    EXPECT_EQ(info.ptMaxTrackSize.y, 700);
    EXPECT_NE(before, QSize(420, 300));
    EXPECT_EQ(widget->minimumSize(), QSize(420, 300));
    EXPECT_EQ(widget->maximumSize().height(), 700);
    EXPECT_EQ(widget->maximumSize().width(), QWIDGETSIZE_MAX) << "no limit set, none handed on";

    // A form made smaller than its constraints by code keeps to them as well.
    form.SetBounds(10, 10, 100, 100);
    EXPECT_EQ(form.Width(), 420);
    EXPECT_EQ(form.Height(), 300);
}

} // namespace
