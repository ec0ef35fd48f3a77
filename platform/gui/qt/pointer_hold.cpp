#include "platform/gui/qt/pointer_hold.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWheelEvent>
#include <QWindow>

#include "platform/gui/input.h"
#include "platform/gui/qt/host_widget.h"
#include "platform/gui/qt/toolkit_work.h"

namespace pw::gui::qt {
namespace {

QPointer<PointerHolder> holder;

} // namespace

PointerHolder::PointerHolder()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint |
                           Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setFocusPolicy(Qt::NoFocus);
    // Moves with no button held count too (a menu follows the pointer over other windows).
    setMouseTracking(true);
    // Off every screen: the pointer is never over it, so nothing of it is ever seen or pointed at.
    setGeometry(-100, -100, 1, 1);
    holder = this;
}

void PointerHolder::Hold() {
    if (holding_) return;
    NoteToolkitWork();
    // Mapped once and kept so: a grab takes a mapped window, and the map goes to the X server ahead of
    // the grab. Mapped again only after another program unmapped it.
    QWindow* window = windowHandle();
    if (!isVisible() || (!awaitingMap_ && window && !window->isExposed())) {
        if (isVisible()) hide();
        show();
        awaitingMap_ = true;
        if ((window = windowHandle())) window->installEventFilter(this);
    }
    grabMouse();
    holding_ = true;
}

void PointerHolder::LetGo() {
    if (!holding_) return;
    NoteToolkitWork();
    holding_ = false;
    releaseMouse();
}

bool PointerHolder::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() != QEvent::Expose || watched != windowHandle()) return QWidget::eventFilter(watched, e);
    // What the X server reported before the window was mapped again is over.
    if (windowHandle()->isExposed()) {
        awaitingMap_ = false;
    } else if (holding_ && !awaitingMap_) {
        // The X server ends a grab whose window is no longer viewable (another program unmapped it): the
        // program no longer has the pointer, and its capture ends as one taken away.
        LetGo();
        InjectCaptureLost();
    }
    return QWidget::eventFilter(watched, e);
}

void PointerHolder::mousePressEvent(QMouseEvent* e) {
    InjectMouseEvent(*e, MouseAction::Down, nullptr);
}
void PointerHolder::mouseReleaseEvent(QMouseEvent* e) {
    InjectMouseEvent(*e, MouseAction::Up, nullptr);
}
void PointerHolder::mouseDoubleClickEvent(QMouseEvent* e) {
    InjectMouseEvent(*e, MouseAction::Down, nullptr);
}
void PointerHolder::mouseMoveEvent(QMouseEvent* e) {
    InjectMouseEvent(*e, MouseAction::Move, nullptr);
}
void PointerHolder::wheelEvent(QWheelEvent* e) {
    InjectWheelEvent(*e, nullptr);
}

bool PointerHeld() {
    return holder && holder->Holding();
}

QWidget* PointerHolderWidget() {
    return holder.data();
}

PointerHoldPause::PointerHoldPause() {
    if (!PointerHeld()) return;
    holder->LetGo();
    paused_ = true;
}

PointerHoldPause::~PointerHoldPause() {
    if (paused_ && holder && GetCapture() != nullptr) holder->Hold();
}

} // namespace pw::gui::qt
