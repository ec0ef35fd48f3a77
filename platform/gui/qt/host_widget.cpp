#include "platform/gui/qt/host_widget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QRegion>
#include <QThread>
#include <QUrl>
#include <QWheelEvent>
#include <QWindow>
#include <algorithm>
#include <functional>
#include <optional>
#include <string>

#include "platform/gdi/surface.h"
#include "platform/gui/drop_files.h"
#include "platform/gui/gui_state.h"
#include "platform/gui/keys.h"
#include "platform/gui/paint.h"
#include "platform/gui/qt/pointer_hold.h"
#include "platform/gui/qt/qt_keys.h"
#include "platform/gui/qt/toolkit_work.h"
#include "platform/gui/qt/x11_window_manager.h"
#include "platform/gui/system.h"

namespace pw::gui::qt {
namespace {

Qt::WindowFlags FlagsFor(const HostParams& p) {
    Qt::WindowFlags f;
    switch (p.kind) {
    case HostKind::Decorated:
        // The window manager shows only the buttons the window's style asks for. An owned window, or one
        // without either box, is a dialog: the toolkit then names its owner to the window manager
        // (transient for it), which keeps it above its owner.
        f = (p.owner || (!p.minimizeBox && !p.maximizeBox) ? Qt::Dialog : Qt::Window) |
            Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
            Qt::WindowCloseButtonHint;
        if (p.minimizeBox) f |= Qt::WindowMinimizeButtonHint;
        if (p.maximizeBox) f |= Qt::WindowMaximizeButtonHint;
        break;
    case HostKind::Normal:
        f = Qt::Window | Qt::FramelessWindowHint;
        break;
    case HostKind::Tool:
        // Qt::Popup would grab the pointer and close itself; our own chain decides instead. A window that
        // never activates stays above every other (a menu, a hint), unless an owner holds it below the
        // top: then, like an owned window that activates, the window manager keeps it above its owner
        // and behind a dialog the owner opens later (a floating toolbar).
        f = (p.noActivate && (p.topmost || !p.owner) ? Qt::ToolTip : Qt::Tool) | Qt::FramelessWindowHint;
        break;
    }
    if (p.noActivate) f |= Qt::WindowDoesNotAcceptFocus;
    if (p.topmost) f |= Qt::WindowStaysOnTopHint;
    if (p.transparentForInput) f |= Qt::WindowTransparentForInput;
    return f;
}

MouseButton ButtonOf(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton:
        return MouseButton::Left;
    case Qt::RightButton:
        return MouseButton::Right;
    case Qt::MiddleButton:
        return MouseButton::Middle;
    default:
        return MouseButton::None;
    }
}

Qt::CursorShape ShapeOf(uintptr_t id) {
    switch (id) {
    case IDC_IBEAM:
        return Qt::IBeamCursor;
    case IDC_WAIT:
        return Qt::WaitCursor;
    case IDC_CROSS:
        return Qt::CrossCursor;
    case IDC_UPARROW:
        return Qt::UpArrowCursor;
    case IDC_SIZENWSE:
        return Qt::SizeFDiagCursor;
    case IDC_SIZENESW:
        return Qt::SizeBDiagCursor;
    case IDC_SIZEWE:
        return Qt::SizeHorCursor;
    case IDC_SIZENS:
        return Qt::SizeVerCursor;
    case IDC_SIZEALL:
        return Qt::SizeAllCursor;
    case IDC_NO:
        return Qt::ForbiddenCursor;
    case IDC_HAND:
        return Qt::PointingHandCursor;
    case IDC_APPSTARTING:
        return Qt::BusyCursor;
    case IDC_HELP:
        return Qt::WhatsThisCursor;
    case 0:
        return Qt::BlankCursor;
    default:
        return Qt::ArrowCursor;
    }
}

} // namespace

HostWidget::HostWidget(HWND hwnd, const HostParams& params)
    : QWidget(nullptr, FlagsFor(params)), hwnd_(hwnd), translucent_(params.translucent) {
    if (translucent_)
        setAttribute(Qt::WA_TranslucentBackground);
    else
        setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(params.noActivate ? Qt::NoFocus : Qt::StrongFocus);
    // Any of our windows may hold the focus of an edit: the input method's text reaches it as characters.
    if (!params.noActivate) setAttribute(Qt::WA_InputMethodEnabled);
    if (params.noActivate) setAttribute(Qt::WA_ShowWithoutActivating);
    if (params.transparentForInput) setAttribute(Qt::WA_TransparentForMouseEvents);
    // Whether a window of ours takes the files is asked at each point of the drag.
    if (!params.noActivate && !params.transparentForInput) setAcceptDrops(true);
}

namespace {
int handlersRunning = 0;
} // namespace

int HostWidget::HandlersRunning() {
    return handlersRunning;
}

bool HostWidget::event(QEvent* e) {
    struct Running {
        Running() { ++handlersRunning; }
        ~Running() { --handlersRunning; }
    } running;
    try {
        // Offscreen, nobody but the layer activates windows; the platform's echoes are ignored.
        bool offscreen = QGuiApplication::platformName() == QLatin1String("offscreen");
        switch (offscreen ? QEvent::None : e->type()) {
        case QEvent::WindowActivate:
            InjectActivation(hwnd_, true);
            break;
        case QEvent::WindowDeactivate:
            InjectActivation(hwnd_, false);
            break;
        default:
            break;
        }
        return QWidget::event(e);
    } catch (const std::exception&) {
        return true;
    }
}

void HostWidget::paintEvent(QPaintEvent* e) {
    // Only the asked-for part is copied from the store; painting happens on this thread, so the store
    // is read without the window-table lock.
    auto w = FindLiveWindow(hwnd_);
    if (!w || w->surface.Width() == 0 || w->surface.Height() == 0) return;
    const Surface& store = w->surface;
    // Only layered windows show their alpha; it is premultiplied, as UpdateLayeredWindow hands it over.
    QImage image(reinterpret_cast<const uchar*>(store.Bits()), store.Width(), store.Height(),
                 store.Width() * 4,
                 translucent_ ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    QPainter painter(this);
    if (translucent_) painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& r : e->region())
        painter.drawImage(r.topLeft(), image, r);
    stale_ -= e->region();
}

void HostWidget::PutPast(const std::vector<RECT>& area) {
    for (const RECT& r : area)
        stale_ += QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
    // Installing again replaces the earlier filter; the window may have been made anew.
    if (QWindow* window = windowHandle()) window->installEventFilter(this);
}

bool HostWidget::eventFilter(QObject* watched, QEvent* e) {
    // Before the toolkit shows an uncovered part from its copy, the parts put past it are painted into
    // the copy again; otherwise a window moved away from ours left what we showed before it came.
    if (e->type() == QEvent::Expose && watched == windowHandle() && !stale_.isEmpty()) update(stale_);
    return QWidget::eventFilter(watched, e);
}

QMimeData* FilesMimeData(const std::vector<std::string>& files) {
    auto* mime = new QMimeData;
    QList<QUrl> urls;
    QStringList paths;
    QByteArray copied = "copy";
    for (const std::string& file : files) {
        const QString path = QString::fromUtf8(file.data(), static_cast<qsizetype>(file.size()));
        urls << QUrl::fromLocalFile(path);
        paths << path;
        copied += "\n" + urls.back().toEncoded();
    }
    mime->setUrls(urls);
    mime->setText(paths.join(QLatin1Char('\n')));
    mime->setData(QStringLiteral("x-special/gnome-copied-files"), copied);
    return mime;
}

std::vector<std::string> LocalFilesOf(const QMimeData* mime) {
    std::vector<std::string> files;
    if (mime == nullptr || !mime->hasUrls()) return files;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdString());
    return files;
}

HWND HostWidget::FileTarget(QDropEvent* e) const {
    if (LocalFilesOf(e->mimeData()).empty()) return nullptr;
    const QPoint g = mapToGlobal(e->position().toPoint());
    return FileDropTargetAt(hwnd_, POINT{g.x(), g.y()});
}

void HostWidget::dragEnterEvent(QDragEnterEvent* e) {
    // Entering is taken whenever there are files, so that the moves over the window follow.
    if (LocalFilesOf(e->mimeData()).empty()) return e->ignore();
    dragMoveEvent(e);
    e->accept();
}

void HostWidget::dragMoveEvent(QDragMoveEvent* e) {
    // The files are copied in: a copy is what the person is offered, whatever the source proposed.
    if (FileTarget(e) && (e->possibleActions() & Qt::CopyAction)) {
        e->setDropAction(Qt::CopyAction);
        e->accept();
    } else {
        e->ignore();
    }
}

void HostWidget::dropEvent(QDropEvent* e) {
    const QPoint g = mapToGlobal(e->position().toPoint());
    if (!(e->possibleActions() & Qt::CopyAction) ||
        !DropFiles(hwnd_, POINT{g.x(), g.y()}, LocalFilesOf(e->mimeData())))
        return e->ignore();
    e->setDropAction(Qt::CopyAction);
    e->accept();
}

void InjectMouseEvent(const QMouseEvent& e, MouseAction action, HWND host) {
    const QPoint g = e.globalPosition().toPoint();
    MouseInput in;
    in.action = action;
    in.button = ButtonOf(e.button());
    in.screen = POINT{g.x(), g.y()};
    in.host = host;
    InjectMouse(in);
}

void InjectWheelEvent(const QWheelEvent& e, HWND host) {
    const QPoint g = e.globalPosition().toPoint();
    MouseInput in;
    in.action = MouseAction::Wheel;
    in.screen = POINT{g.x(), g.y()};
    in.wheelDelta = e.angleDelta().y();
    in.host = host;
    InjectMouse(in);
}

QCursor CursorFor(uintptr_t cursorId, const Surface* image, POINT hot) {
    if (image && image->Width() > 0) {
        QImage img(reinterpret_cast<const uchar*>(image->Bits()), image->Width(), image->Height(),
                   image->Width() * 4, QImage::Format_ARGB32);
        return QCursor(QPixmap::fromImage(img.copy()), hot.x, hot.y);
    }
    return QCursor(ShapeOf(cursorId));
}

void HostWidget::mousePressEvent(QMouseEvent* e) {
    InjectMouseEvent(*e, MouseAction::Down, hwnd_);
}
void HostWidget::mouseReleaseEvent(QMouseEvent* e) {
    InjectMouseEvent(*e, MouseAction::Up, hwnd_);
}
// Our input decides what is a double click, from the class style.
void HostWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    InjectMouseEvent(*e, MouseAction::Down, hwnd_);
}
void HostWidget::mouseMoveEvent(QMouseEvent* e) {
    // A release is lost when the window that took the press goes away while the button is held (a
    // dragged toolbar docking swaps its window): the buttons the toolkit reports with the move put the
    // state right, so that a loop waiting for the release ends.
    struct Held {
        Qt::MouseButton qt;
        MouseButton button;
        int vk;
    };
    for (const Held& held : {Held{Qt::LeftButton, MouseButton::Left, VK_LBUTTON},
                             Held{Qt::RightButton, MouseButton::Right, VK_RBUTTON},
                             Held{Qt::MiddleButton, MouseButton::Middle, VK_MBUTTON}}) {
        if ((e->buttons() & held.qt) || GetAsyncKeyState(held.vk) >= 0) continue;
        const QPoint g = e->globalPosition().toPoint();
        MouseInput in;
        in.action = MouseAction::Up;
        in.button = held.button;
        in.screen = POINT{g.x(), g.y()};
        in.host = hwnd_;
        InjectMouse(in);
    }
    InjectMouseEvent(*e, MouseAction::Move, hwnd_);
}

void HostWidget::wheelEvent(QWheelEvent* e) {
    InjectWheelEvent(*e, hwnd_);
}

void HostWidget::Key(QKeyEvent* e, bool down) {
    BYTE vk = VirtualKeyFromQt(e->key(), (e->modifiers() & Qt::KeypadModifier) != 0);
    const QList<uint> text = e->text().toUcs4();
    const Qt::KeyboardModifiers held = e->modifiers();
    if (!vk) {
        // ü, é, ß, € and every key of a layout beyond ours have no virtual key, yet what they type is the
        // user's text: it arrives as characters, as keys without a virtual key do on Win32. With Alt
        // alone held the key is a command, not text.
        const bool command = (held & Qt::AltModifier) && !(held & Qt::ControlModifier);
        if (!down || command) return;
        std::u32string typed;
        for (uint c : text)
            if (c >= 0x20 && c != 0x7F) typed.push_back(static_cast<char32_t>(c));
        if (!typed.empty()) InjectText(typed);
        return;
    }
    KeyInput in;
    in.vk = vk;
    in.down = down;
    in.autoRepeat = e->isAutoRepeat();
    if (down && !text.isEmpty()) in.text = static_cast<char32_t>(text.front());
    in.host = hwnd_;
    in.modifiers = (held & Qt::ShiftModifier ? kModifierShift : 0) |
                   (held & Qt::ControlModifier ? kModifierCtrl : 0) |
                   (held & Qt::AltModifier ? kModifierAlt : 0);
    InjectKey(in);
}

void HostWidget::keyPressEvent(QKeyEvent* e) {
    Key(e, true);
}
void HostWidget::keyReleaseEvent(QKeyEvent* e) {
    Key(e, false);
}
void HostWidget::inputMethodEvent(QInputMethodEvent* e) {
    // The composition is shown by the input method in its own window; only the committed text is ours.
    const QList<uint> text = e->commitString().toUcs4();
    if (!text.isEmpty()) InjectText(std::u32string(text.begin(), text.end()));
    e->accept();
}

QVariant HostWidget::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImCursorRectangle: {
        // The input method's windows go by the focused window (our controls keep no system caret).
        RECT r{};
        HWND focus = ::GetFocus();
        if (!focus || !::GetWindowRect(focus, r)) return QRect();
        const QPoint at = mapFromGlobal(QPoint(r.left, r.top));
        return QRect(at, QSize(r.right - r.left, r.bottom - r.top));
    }
    default:
        return QWidget::inputMethodQuery(query);
    }
}

void HostWidget::leaveEvent(QEvent*) {
    // Taking the pointer makes the window system report a leave from the window it was over; the
    // moves the holder receives tell where the pointer really goes.
    if (PointerHeld()) return;
    const QPoint now = QCursor::pos();
    InjectMouseExit(POINT{now.x(), now.y()});
}

void HostWidget::closeEvent(QCloseEvent* e) {
    // Our WM_CLOSE handling decides; DefWindowProc destroys the window.
    e->ignore();
    InjectClose(hwnd_);
}

void HostWidget::moveEvent(QMoveEvent*) {
    if (applyingGeometry || !isVisible()) return;
    // The client area's place; pos() would include the window manager's frame. The toolkit hands on what
    // the window manager reported, which may be an earlier place reported late: the X server says where
    // the window is, or the pointer over it would be taken for the pointer elsewhere.
    QPoint p = geometry().topLeft();
    if (const std::optional<QPoint> confirmed = ServerPlace(this)) p = *confirmed;
    RECT r;
    if (::GetWindowRect(hwnd_, r) && (r.left != p.x() || r.top != p.y()))
        ::SetWindowPos(hwnd_, nullptr, p.x(), p.y(), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void HostWidget::resizeEvent(QResizeEvent*) {
    if (applyingGeometry || !isVisible()) return;
    RECT r;
    if (::GetWindowRect(hwnd_, r) && (r.right - r.left != width() || r.bottom - r.top != height()))
        ::SetWindowPos(hwnd_, nullptr, 0, 0, width(), height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

QtHost::QtHost(HWND hwnd, const HostParams& params)
    : widget_(new HostWidget(hwnd, params)), noActivate_(params.noActivate),
      fixedSize_(params.kind == HostKind::Decorated && !params.resizable) {
    NoteToolkitWork();
    if (params.kind == HostKind::Decorated && !params.minimizeBox && !params.maximizeBox)
        MarkWithoutBoxes(widget_);
    if (params.owner) {
        auto owner = FindLiveWindow(params.owner);
        if (auto* host = owner ? dynamic_cast<QtHost*>(owner->host.get()) : nullptr; host && host->Widget()) {
            widget_->winId();
            host->Widget()->winId();
            widget_->windowHandle()->setTransientParent(host->Widget()->windowHandle());
        }
    }
}

bool QtHost::OffGuiThread(std::function<void()> call) {
    if (!widget_ || QThread::currentThread() == widget_->thread()) return false;
    // Qt widgets belong to the GUI thread; a worker's change is carried there, unless the host is
    // gone by then.
    std::weak_ptr<int> alive = alive_;
    QMetaObject::invokeMethod(
        widget_.data(),
        [alive, call = std::move(call)] {
            if (alive.lock()) call();
        },
        Qt::QueuedConnection);
    return true;
}

QtHost::~QtHost() {
    NoteToolkitWork();
    if (widget_) {
        widget_->hide();
        // The widget may be inside one of its own event handlers right now.
        widget_->deleteLater();
    }
}

void QtHost::SetGeometry(const RECT& r) {
    NoteToolkitWork();
    if (!widget_) return;
    if (OffGuiThread([this, r] { SetGeometry(r); })) return;
    widget_->applyingGeometry = true;
    const int width = std::max(1, static_cast<int>(r.right - r.left));
    const int height = std::max(1, static_cast<int>(r.bottom - r.top));
    // A window without a sizing frame keeps the size the program gives it: the window manager then
    // offers neither resizing nor maximizing.
    if (fixedSize_) {
        widget_->setMinimumSize(width, height);
        widget_->setMaximumSize(width, height);
    }
    widget_->setGeometry(r.left, r.top, width, height);
    widget_->applyingGeometry = false;
}

void QtHost::SetSizeLimits(POINT minSize, POINT maxSize) {
    NoteToolkitWork();
    if (!widget_) return;
    if (OffGuiThread([this, minSize, maxSize] { SetSizeLimits(minSize, maxSize); })) return;
    auto limit = [](LONG v) { return static_cast<int>(std::clamp<LONG>(v, 0, QWIDGETSIZE_MAX)); };
    widget_->applyingGeometry = true;
    widget_->setMinimumSize(limit(minSize.x), limit(minSize.y));
    widget_->setMaximumSize(limit(maxSize.x), limit(maxSize.y));
    widget_->applyingGeometry = false;
}

void QtHost::SetVisible(bool visible, bool activate) {
    NoteToolkitWork();
    if (!widget_) return;
    if (OffGuiThread([this, visible, activate] { SetVisible(visible, activate); })) return;
    widget_->applyingGeometry = true;
    if (visible) {
        widget_->setAttribute(Qt::WA_ShowWithoutActivating, noActivate_ || !activate);
        widget_->show();
        if (activate && !noActivate_ && QGuiApplication::platformName() != QLatin1String("offscreen"))
            widget_->activateWindow();
    } else {
        widget_->hide();
    }
    widget_->applyingGeometry = false;
}

void QtHost::SetTitle(const std::string& title) {
    NoteToolkitWork();
    if (OffGuiThread([this, title] { SetTitle(title); })) return;
    if (widget_)
        widget_->setWindowTitle(QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
}

void QtHost::SetOpacity(double opacity) {
    NoteToolkitWork();
    if (OffGuiThread([this, opacity] { SetOpacity(opacity); })) return;
    if (widget_) widget_->setWindowOpacity(opacity);
}

void QtHost::Raise() {
    NoteToolkitWork();
    if (OffGuiThread([this] { Raise(); })) return;
    if (widget_ && widget_->isVisible() && QGuiApplication::platformName() != QLatin1String("offscreen"))
        widget_->raise();
}

bool QtHost::PlaceBehind(HostWindow& Front) {
    NoteToolkitWork();
    auto* front = dynamic_cast<QtHost*>(&Front);
    if (!widget_ || front == nullptr || !front->widget_ || QThread::currentThread() != widget_->thread())
        return false;
    // A window above all others (a menu, a hint) is stacked by nobody: nothing goes behind it, nor is it
    // put behind another.
    for (const HostWidget* w : {widget_.data(), front->widget_.data()})
        if (!w->isVisible() || w->windowType() == Qt::ToolTip) return false;
    return PlaceWindowBehind(widget_, front->widget_);
}

RECT QtHost::FrameMargins() {
    if (!widget_ || QThread::currentThread() != widget_->thread()) return RECT{};
    const std::optional<QMargins> frame = FrameExtents(widget_);
    return frame ? RECT{frame->left(), frame->top(), frame->right(), frame->bottom()} : RECT{};
}

void QtHost::SetCursorShape(uintptr_t cursorId, const Surface* image, POINT hot) {
    NoteToolkitWork();
    if (widget_) widget_->setCursor(CursorFor(cursorId, image, hot));
}

void QtHost::Refresh(const std::vector<RECT>& area) {
    // Nobody sees an offscreen window: nothing is copied.
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) return;
    // update() only schedules a repaint, which Qt allows from any thread only through the event queue.
    if (OffGuiThread([this, area] { Refresh(area); })) return;
    if (!widget_ || PutDirectly(area)) return;
    NoteToolkitWork();
    for (const RECT& r : area)
        widget_->update(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
}

bool QtHost::PutDirectly(const std::vector<RECT>& area) {
    // Translucent windows and windows not on screen yet go through the toolkit, which paints them
    // whole when they are shown.
    if (presenterRefused_ || widget_->Translucent() || !widget_->isVisible()) return false;
    QWindow* window = widget_->windowHandle();
    if (window == nullptr || !window->isExposed()) return false;
    auto w = FindLiveWindow(widget_->Hwnd());
    if (!w) return false;
    if (!presenter_ || !presenter_->Put(widget_, w->surface, area)) {
        presenter_ = X11Presenter::For(widget_);
        presenterRefused_ = presenter_ == nullptr;
        if (!presenter_ || !presenter_->Put(widget_, w->surface, area)) return false;
    }
    widget_->PutPast(area);
    return true;
}

void QtHost::SetShape(const std::vector<RECT>* shape) {
    NoteToolkitWork();
    if (OffGuiThread([this, copy = shape ? std::optional(*shape) : std::nullopt] {
            SetShape(copy ? &*copy : nullptr);
        }))
        return;
    if (!widget_) return;
    if (!shape) {
        widget_->clearMask();
        return;
    }
    QRegion mask;
    for (const RECT& r : *shape)
        mask += QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
    widget_->setMask(mask);
}

} // namespace pw::gui::qt
