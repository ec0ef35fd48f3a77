// Files cross between programs through the toolkit's drag and drop: a drop reaches the window under it
// that takes files (or the nearest one above it) as WM_DROPFILES, whose drop handle reads the files and
// the point until it is finished; a drag out of a window carries the files as file addresses.
#include "platform/gui/drop_files.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>

#include <string>
#include <vector>

#include "gui_test_support.h"
#include "platform/gui/input.h"
#include "tests/support/child_process.h"
#include "tests/support/peer_process.h"

using namespace gui_test;

namespace {

std::vector<std::string> FilesOf(HDROP drop) {
    std::vector<std::string> files;
    const UINT count = DragQueryFile(drop, 0xFFFFFFFFu, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::string file(DragQueryFile(drop, i, nullptr, 0), '\0');
        DragQueryFile(drop, i, file.data(), static_cast<UINT>(file.size() + 1));
        files.push_back(file);
    }
    return files;
}

// The drop handle each WM_DROPFILES of the window brought.
std::vector<HDROP> DropsOf(HWND hwnd) {
    std::vector<HDROP> drops;
    for (const Seen& seen : SeenOf(hwnd, WM_DROPFILES))
        drops.push_back(reinterpret_cast<HDROP>(seen.wParam));
    return drops;
}

QWidget* ToolkitWindowAt(const RECT& r) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() &&
            widget->geometry() == QRect(r.left, r.top, r.right - r.left, r.bottom - r.top))
            return widget;
    return nullptr;
}

// Moves the pointer of a running drag to the point and lets the button go there, as a person would.
void DropAt(QPoint global) {
    QTimer::singleShot(0, [global] {
        QWidget* any = QApplication::topLevelWidgets().front();
        QCoreApplication::postEvent(any, new QMouseEvent(QEvent::MouseMove,
                                                         QPointF(any->mapFromGlobal(global)), QPointF(global),
                                                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(any, new QMouseEvent(QEvent::MouseButtonRelease,
                                                         QPointF(any->mapFromGlobal(global)), QPointF(global),
                                                         Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
    });
}

TEST(DropFiles, TheWindowThatTakesFilesGetsThemAndTheirPoint) {
    HWND top = MakeTopLevel(RECT{100, 100, 400, 300});
    HWND takes = MakeChild(top, RECT{10, 10, 110, 110});
    MakeChild(top, RECT{150, 10, 250, 110}); // takes no files
    DragAcceptFiles(takes, TRUE_);
    Pump();
    Log().clear();
    ASSERT_TRUE(pw::gui::DropFiles(top, POINT{100 + 30, 100 + 40}, {"/tmp/a.html", "/tmp/b c.gif"}));
    EXPECT_FALSE(pw::gui::DropFiles(top, POINT{100 + 160, 100 + 40}, {"/tmp/a.html"})) << "nobody takes them";
    Pump();
    const std::vector<HDROP> drops = DropsOf(takes);
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(FilesOf(drops[0]), (std::vector<std::string>{"/tmp/a.html", "/tmp/b c.gif"}));
    POINT at{};
    ASSERT_TRUE(DragQueryPoint(drops[0], at));
    EXPECT_EQ(at.x, 20);
    EXPECT_EQ(at.y, 30);
    char small[5];
    EXPECT_EQ(DragQueryFile(drops[0], 1, small, sizeof small), 4u);
    EXPECT_STREQ(small, "/tmp");
    EXPECT_EQ(DragQueryFile(drops[0], 2, small, sizeof small), 0u);
    DragFinish(drops[0]);
    EXPECT_EQ(DragQueryFile(drops[0], 0xFFFFFFFFu, nullptr, 0), 0u) << "a finished drop reads empty";
    EXPECT_FALSE(DragQueryPoint(drops[0], at));

    // A window that takes files takes those dropped on its children; a disabled one takes none.
    EnableWindow(takes, FALSE_);
    EXPECT_EQ(pw::gui::FileDropTargetAt(top, POINT{100 + 30, 100 + 40}), nullptr);
    DragAcceptFiles(top, TRUE_);
    EXPECT_EQ(pw::gui::FileDropTargetAt(top, POINT{100 + 160, 100 + 40}), top);
    EnableWindow(top, FALSE_);
    EXPECT_EQ(pw::gui::FileDropTargetAt(top, POINT{100 + 160, 100 + 40}), nullptr);
}

// Offscreen the toolkit drags nothing: the test runs again in a child on an X server of its own, where
// the drag goes through the desktop's protocol between windows. True in the parent, which is done then.
bool RanOnXServer() {
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) return false;
    const std::string test = std::string(::testing::UnitTest::GetInstance()->current_test_suite()->name()) +
                             "." + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    if (!HaveProgram("Xvfb")) {
        ADD_FAILURE() << "Xvfb is needed for " << test;
        return true;
    }
    PeerProcess xvfb({"Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    if (xvfb.FirstLine().empty()) {
        ADD_FAILURE() << "Xvfb did not start";
        return true;
    }
    const std::string display = ":" + xvfb.FirstLine();
    setenv("DISPLAY", display.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    EXPECT_EQ(testsupport::RunTestInChild(test), 0);
    unsetenv("DISPLAY");
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    return true;
}

TEST(DropFiles, AFileManagersDragIsDroppedOnTheWindowThatTakesFiles) {
    if (RanOnXServer()) return;
    const RECT r{100, 100, 400, 300};
    HWND top = MakeTopLevel(r);
    HWND takes = MakeChild(top, RECT{10, 10, 110, 110});
    DragAcceptFiles(takes, TRUE_);
    Pump();
    QWidget* widget = ToolkitWindowAt(r);
    ASSERT_NE(widget, nullptr);
    Log().clear();
    // Another program's drag: file addresses only.
    QWidget other;
    auto* mime = new QMimeData;
    mime->setUrls({QUrl::fromLocalFile("/tmp/site map.html")});
    QDrag* drag = new QDrag(&other);
    drag->setMimeData(mime);
    DropAt(QPoint(100 + 50, 100 + 50));
    EXPECT_EQ(drag->exec(Qt::CopyAction | Qt::MoveAction), Qt::CopyAction);
    Pump();
    const std::vector<HDROP> drops = DropsOf(takes);
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(FilesOf(drops[0]), std::vector<std::string>{"/tmp/site map.html"});
    DragFinish(drops[0]);

    // Where no window takes files the drop is refused.
    auto* again = new QMimeData;
    again->setUrls({QUrl::fromLocalFile("/tmp/other.html")});
    QDrag* refused = new QDrag(&other);
    refused->setMimeData(again);
    DropAt(QPoint(100 + 200, 100 + 150));
    EXPECT_EQ(refused->exec(Qt::CopyAction), Qt::IgnoreAction);
}

// A widget of the toolkit's own, as another program: it keeps the file addresses dropped on it.
class Receiver : public QWidget {
public:
    QByteArray uriList;

protected:
    void dragEnterEvent(QDragEnterEvent* e) override { e->acceptProposedAction(); }
    void dragMoveEvent(QDragMoveEvent* e) override { e->acceptProposedAction(); }
    void dropEvent(QDropEvent* e) override {
        uriList = e->mimeData()->data("text/uri-list");
        e->acceptProposedAction();
    }
};

TEST(DropFiles, ADragOutCarriesTheFilesAsFileAddresses) {
    if (RanOnXServer()) return;
    HWND top = MakeTopLevel(RECT{100, 100, 400, 300});
    Pump();
    Receiver receiver;
    receiver.setAcceptDrops(true);
    receiver.setGeometry(500, 100, 200, 200);
    receiver.show();
    Pump();
    DropAt(QPoint(600, 200));
    EXPECT_EQ(DoDragDropFiles(top, {"/tmp/pages/site map.html", "/tmp/pages/smfile.gif"}, DROPEFFECT_COPY),
              DROPEFFECT_COPY);
    EXPECT_EQ(receiver.uriList.toStdString(),
              "file:///tmp/pages/site%20map.html\r\nfile:///tmp/pages/smfile.gif\r\n");
    EXPECT_EQ(DoDragDropFiles(top, {}, DROPEFFECT_COPY), DROPEFFECT_NONE) << "nothing to drag";
}

} // namespace
