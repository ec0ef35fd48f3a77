#pragma once
// The Qt window behind one top-level window of ours: shows the composed image and turns Qt's input,
// activation and geometry events into our input entries.
#include <QCursor>
#include <QPointer>
#include <QRegion>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/backend.h"
#include "platform/gui/input.h"
#include "platform/gui/qt/x11_present.h"

class QMimeData;
class QMouseEvent;
class QWheelEvent;

namespace pw::gui::qt {

class HostWidget : public QWidget {
public:
    HostWidget(HWND hwnd, const HostParams& params);
    HWND Hwnd() const { return hwnd_; }
    bool Translucent() const { return translucent_; }
    // The area went to the screen past the toolkit, whose copy of the window is now out of date there.
    // The toolkit shows exposed parts from that copy, so the window watches them from then on.
    void PutPast(const std::vector<RECT>& area);
    // Event handlers of host widgets on the stack right now.
    static int HandlersRunning();
    // While true, geometry changes come from our side and are not reported back.
    bool applyingGeometry = false;

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void leaveEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    // The window under the drag's point that takes its files; nullptr when none does or it holds none.
    HWND FileTarget(QDropEvent* e) const;
    void Key(QKeyEvent* e, bool down);
    HWND hwnd_;
    bool translucent_;
    // Where the toolkit's copy of the window no longer holds what the store holds.
    QRegion stale_;
};

// A pointer event of the toolkit handed to our input; host names the window it came to (nullptr: none of
// ours, the pointer's place tells).
void InjectMouseEvent(const QMouseEvent& e, MouseAction action, HWND host);
void InjectWheelEvent(const QWheelEvent& e, HWND host);
// The toolkit's cursor for a standard cursor (IDC_*), or for an image with its hot spot.
QCursor CursorFor(uintptr_t cursorId, const Surface* image, POINT hotSpot);

// Files as file managers hand them over: file addresses (text/uri-list), the paths as text, and the
// list the GNOME and other desktops' file managers paste from.
QMimeData* FilesMimeData(const std::vector<std::string>& files);
// The local files a drag or the clipboard carries.
std::vector<std::string> LocalFilesOf(const QMimeData* mime);

class QtHost : public HostWindow {
public:
    QtHost(HWND hwnd, const HostParams& params);
    ~QtHost() override;
    void SetGeometry(const RECT& screenRect) override;
    void SetVisible(bool visible, bool activate) override;
    void SetTitle(const std::string& title) override;
    void SetOpacity(double opacity) override;
    void Raise() override;
    bool PlaceBehind(HostWindow& Front) override;
    RECT FrameMargins() override;
    void SetCursorShape(uintptr_t cursorId, const Surface* image, POINT hotSpot) override;
    void Refresh(const std::vector<RECT>& area) override;
    void SetShape(const std::vector<RECT>* shape) override;
    void SetSizeLimits(POINT minSize, POINT maxSize) override;
    HostWidget* Widget() const { return widget_; }

private:
    // True when the call was handed to the GUI thread instead of running here.
    bool OffGuiThread(std::function<void()> call);
    // True when the area went to the X server straight from the window's store.
    bool PutDirectly(const std::vector<RECT>& area);
    QPointer<HostWidget> widget_;
    std::unique_ptr<X11Presenter> presenter_;
    bool presenterRefused_ = false;
    bool noActivate_;
    // A decorated window without a sizing frame: its size limits follow the size it is given.
    bool fixedSize_;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

} // namespace pw::gui::qt
