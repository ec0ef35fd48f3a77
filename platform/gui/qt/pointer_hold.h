#pragma once
// Holding the pointer for the program while one of our windows has the capture: the window system then
// hands every move, press and release to the program, over any window and outside it, as the loops that
// run with the mouse captured expect.
#include <QWidget>

namespace pw::gui::qt {

// The toolkit's grab is held by a window of its own that nothing of ours hides: a window off the screen,
// outside the window manager's care, mapped from the first hold on. The window a press began in may hide
// meanwhile (a dragged toolbar docking) without the grab ending with it.
class PointerHolder : public QWidget {
public:
    PointerHolder();
    void Hold();
    void LetGo();
    bool Holding() const { return holding_; }

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    bool holding_ = false;
    // Shown, and the X server has not yet reported the window mapped.
    bool awaitingMap_ = false;
};

// Whether the program holds the pointer now (the leave the grab itself causes is no leave of the pointer).
bool PointerHeld();
// The holder's window, for tests that act on it as another program could.
QWidget* PointerHolderWidget();

// The hold set aside while a loop of the toolkit's own needs the pointer (its dialog, a drag of files to
// another program), taken again afterwards when the capture is still held.
class PointerHoldPause {
public:
    PointerHoldPause();
    ~PointerHoldPause();
    PointerHoldPause(const PointerHoldPause&) = delete;
    PointerHoldPause& operator=(const PointerHoldPause&) = delete;

private:
    bool paused_ = false;
};

} // namespace pw::gui::qt
