#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QEvent>
#include <QImage>
#include <QMimeData>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QtGui/qguiapplication_platform.h>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#if defined(PW_HAVE_XCB) && QT_CONFIG(xcb)
#include <xcb/xcb.h>
#endif

#include "platform/gdi/metrics.h"
#include "platform/gdi/surface.h"
#include "platform/gui/backend.h"
#include "platform/gui/drop_files.h"
#include "platform/gui/gui_state.h"
#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/qt/gdi_toolkit.h"
#include "platform/gui/qt/gui_application.h"
#include "platform/gui/qt/host_widget.h"
#include "platform/gui/qt/pointer_hold.h"
#include "platform/gui/qt/qt_dialogs.h"
#include "platform/gui/qt/qt_keys.h"
#include "platform/gui/qt/toolkit_work.h"
#include "platform/gui/system.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/thread.h"

namespace pw::gui::qt {
namespace {

QtMessageHandler previousHandler = nullptr;

// The offscreen platform complains about every window shown, every opacity set and every size limit
// given to a dialog that has no window manager to read it, and a server without a login session has no
// runtime folder (the toolkit then uses its own); that is noise, not a fault, and it would reach the mail
// of every unattended run.
void FilterMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text == QLatin1String("This plugin does not support raise()") ||
        text == QLatin1String("This plugin does not support setting window opacity") ||
        text == QLatin1String("This plugin does not support propagateSizeHints()") ||
        text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    if (previousHandler) previousHandler(type, context, text);
}

constexpr QEvent::Type kPumpEvent = static_cast<QEvent::Type>(QEvent::User + 0x5057);

// Receives wake-ups from any thread. Inside one of our loops the wake-up only ends the wait; inside a
// loop of Qt's (a modal dialog) it serves our queue.
class Pump : public QObject {
public:
    std::atomic<bool> pending{false};

    void Arm(int ms) {
        if (ms < 0) {
            timer_.stop();
            return;
        }
        timer_.start(ms);
    }

    Pump() {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { Run(); });
    }

protected:
    void customEvent(QEvent* e) override {
        if (e->type() != kPumpEvent) return;
        pending = false;
        Run();
    }

private:
    void Run() {
        try {
            Arm(PumpFromForeignLoop());
        } catch (const std::exception&) {
        }
    }
    QTimer timer_;
};

class QtBackend : public Backend {
public:
    QtBackend() : offscreen_(QGuiApplication::platformName() == QLatin1String("offscreen")) {
        if (!offscreen_) holder_ = std::make_unique<PointerHolder>();
    }

    void HoldPointer(bool hold) override {
        if (!holder_) return;
        if (hold)
            holder_->Hold();
        else
            holder_->LetGo();
    }

    bool HoldsPointer() const override { return holder_ && holder_->Holding(); }

    void SetHeldCursorShape(uintptr_t cursorId, const Surface* image, POINT hotSpot) override {
        NoteToolkitWork();
        if (holder_) holder_->setCursor(CursorFor(cursorId, image, hotSpot));
    }

    std::unique_ptr<HostWindow> CreateHost(HWND hwnd, const HostParams& params) override {
        return std::make_unique<QtHost>(hwnd, params);
    }

    void ProcessEvents(int timeoutMs) override {
        TakeToolkitWork();
        SendDeferredDeletes();
        if (timeoutMs == 0) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            return;
        }
        QTimer limit;
        limit.setSingleShot(true);
        if (timeoutMs > 0) limit.start(timeoutMs);
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }

    bool GivenWork() const override { return ToolkitWorkNoted(); }

    void RunPostedEvents() override {
        SendDeferredDeletes();
        QCoreApplication::sendPostedEvents();
    }

    void Wake() override {
        if (pump_.pending.exchange(true)) return;
        QCoreApplication::postEvent(&pump_, new QEvent(kPumpEvent));
    }

    int LoopLevel() const override { return QThread::currentThread()->loopLevel(); }

    bool SleepsInToolkit() const override { return !offscreen_; }

    bool ShowsWindows() const override { return !offscreen_; }
    bool DeliverKey(const KeyInput& input) override { return SendKeyEvent(input); }

    std::vector<ScreenInfo> QueryScreens() const override {
        std::vector<ScreenInfo> out;
        if (offscreen_) {
            out.push_back(ScreenInfo{RECT{0, 0, 1024, 768}, RECT{0, 0, 1024, 768}});
            return out;
        }
        for (QScreen* s : QGuiApplication::screens()) {
            QRect g = s->geometry(), a = s->availableGeometry();
            out.push_back(ScreenInfo{RECT{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()},
                                     RECT{a.left(), a.top(), a.left() + a.width(), a.top() + a.height()}});
        }
        return out;
    }

    bool ComposesTranslucentWindows() const override {
        if (offscreen_) return true;
#if defined(PW_HAVE_XCB) && QT_CONFIG(xcb)
        // On X11 a compositing manager owns the selection _NET_WM_CM_S<screen>; Wayland always composes.
        if (auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>()) {
            xcb_connection_t* connection = x11->connection();
            if (connection == nullptr) return false;
            int screen = 0;
            if (const char* display = std::getenv("DISPLAY"); display != nullptr)
                if (const char* dot = std::strrchr(display, '.'); dot != nullptr) screen = std::atoi(dot + 1);
            const std::string name = "_NET_WM_CM_S" + std::to_string(screen);
            xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
                connection, xcb_intern_atom(connection, 1, static_cast<uint16_t>(name.size()), name.c_str()),
                nullptr);
            if (atom == nullptr) return false;
            const xcb_atom_t selection = atom->atom;
            std::free(atom);
            if (selection == XCB_ATOM_NONE) return false;
            xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
                connection, xcb_get_selection_owner(connection, selection), nullptr);
            if (owner == nullptr) return false;
            const bool composed = owner->owner != XCB_WINDOW_NONE;
            std::free(owner);
            return composed;
        }
#endif
        return true;
    }

    std::string ClipboardText() const override {
        return QGuiApplication::clipboard()->text().toStdString();
    }

    void SetClipboardText(const std::string& text) override {
        NoteToolkitWork();
        QGuiApplication::clipboard()->setText(QString::fromStdString(text));
    }

    void ClearClipboard() override {
        NoteToolkitWork();
        QGuiApplication::clipboard()->clear();
    }

    void SetClipboardContents(const ClipboardContents& contents) override {
        NoteToolkitWork();
        auto* data = new QMimeData;
        for (const ClipboardItem& item : contents) {
            if (item.image) {
                const Surface& s = *item.image;
                if (s.Width() <= 0 || s.Height() <= 0) continue;
                // A clipboard bitmap has no alpha: RGB32 ignores the surface's alpha byte.
                const QImage image(reinterpret_cast<const uchar*>(s.Bits()), s.Width(), s.Height(),
                                   s.Width() * 4, QImage::Format_RGB32);
                data->setImageData(image.copy());
            } else if (item.mimeType == "text/plain") {
                data->setText(QString::fromStdString(item.bytes));
            } else {
                data->setData(QString::fromStdString(item.mimeType),
                              QByteArray(item.bytes.data(), static_cast<qsizetype>(item.bytes.size())));
            }
        }
        QGuiApplication::clipboard()->setMimeData(data);
    }

    std::vector<std::string> ClipboardTypes() const override {
        std::vector<std::string> types;
        if (const QMimeData* data = QGuiApplication::clipboard()->mimeData())
            for (const QString& type : data->formats())
                types.push_back(type.toStdString());
        return types;
    }

    std::string ClipboardBytes(const std::string& mimeType) const override {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        if (!data) return {};
        const QByteArray bytes = data->data(QString::fromStdString(mimeType));
        return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
    }

    bool ClipboardImage(Surface& surface) const override {
        const QImage image = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
        if (image.isNull()) return false;
        surface.Resize(image.width(), image.height());
        for (int y = 0; y < image.height(); ++y)
            std::memcpy(surface.Bits() + static_cast<size_t>(y) * image.width(), image.constScanLine(y),
                        static_cast<size_t>(image.width()) * 4);
        return true;
    }

    DWORD DragFiles(HWND host, const std::vector<std::string>& files, DWORD allowedEffects) override {
        // What the toolkit's own loop leaves behind (the drag freed later) runs at the next pass.
        ScopeGuard noted([] { NoteToolkitWork(); });
        auto window = FindLiveWindow(host);
        auto* qtHost = window ? dynamic_cast<QtHost*>(window->host.get()) : nullptr;
        if (!qtHost || !qtHost->Widget()) return DROPEFFECT_NONE;
        Qt::DropActions actions;
        if (allowedEffects & DROPEFFECT_COPY) actions |= Qt::CopyAction;
        if (allowedEffects & DROPEFFECT_MOVE) actions |= Qt::MoveAction;
        if (allowedEffects & DROPEFFECT_LINK) actions |= Qt::LinkAction;
        // The drag runs the toolkit's own loop until the drop; our queue is served from it meanwhile. The
        // toolkit frees the drag when it is over.
        // The toolkit's drag needs the pointer itself.
        const PointerHoldPause pause;
        QDrag* drag = new QDrag(qtHost->Widget());
        drag->setMimeData(FilesMimeData(files));
        const Qt::DropAction done = drag->exec(actions, Qt::CopyAction);
        switch (done) {
        case Qt::CopyAction:
            return DROPEFFECT_COPY;
        case Qt::MoveAction:
            return DROPEFFECT_MOVE;
        case Qt::LinkAction:
            return DROPEFFECT_LINK;
        default:
            return DROPEFFECT_NONE;
        }
    }

    PromptAnswer Ask(const PromptRequest& request) override {
        ScopeGuard noted([] { NoteToolkitWork(); });
        // The person answers with the pointer too.
        const PointerHoldPause pause;
        return AskWithDialog(request);
    }

    bool Offscreen() const {
        return offscreen_;
    }

private:
    static void SendDeferredDeletes() {
        // Qt frees deleteLater objects only from an event loop it runs itself, which our loops are not.
        // With no window procedure and no toolkit event handler on the stack, nothing can still be
        // using them.
        if (!InsideProcedure() && qt::HostWidget::HandlersRunning() == 0)
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    bool offscreen_;
    mutable Pump pump_;
    std::unique_ptr<PointerHolder> holder_;
};

} // namespace
} // namespace pw::gui::qt

namespace pw::gui {

void SelectPlatformForEnvironment() {
    auto set = [](const char* name) { return name && *name; };
    if (set(std::getenv("QT_QPA_PLATFORM"))) return;
    bool x11 = set(std::getenv("DISPLAY")), wayland = set(std::getenv("WAYLAND_DISPLAY"));
    if (!x11 && !wayland)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    else if (x11 && wayland)
        // Windows place themselves at screen positions, which Wayland does not allow; XWayland does.
        setenv("QT_QPA_PLATFORM", "xcb", 1);
}

struct GuiApplication::Impl {
    std::unique_ptr<QApplication> app;
    std::unique_ptr<qt::QtBackend> backend;
};

GuiApplication::GuiApplication(int& argc, char** argv) : impl_(std::make_unique<Impl>()) {
    qt::previousHandler = qInstallMessageHandler(qt::FilterMessages);
    // Through shared memory, every paint that touches what the last one showed waits for the X server
    // to answer first: a hot button or a changed label then costs a round trip on top of its pixels.
    // Sent down the connection, a button's pixels cost less than that wait; only a whole window's are
    // dearer, and those come with a resize or a new page, not with each move of the pointer.
    const bool shmChosen = std::getenv("QT_XCB_NO_MITSHM") != nullptr;
    if (!shmChosen) setenv("QT_XCB_NO_MITSHM", "1", 1);
    // Without a screen the toolkit's loop only carries our own wake-ups: its plain poll loop turns for
    // less than the GLib one, which prepares and checks every source at each of the many turns a crawl
    // of a slow server makes.
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const bool plainLoop =
        platform && std::strncmp(platform, "offscreen", 9) == 0 && std::getenv("QT_NO_GLIB") == nullptr;
    if (plainLoop) setenv("QT_NO_GLIB", "1", 1);
    impl_->app = std::make_unique<QApplication>(argc, argv);
    qt::InstallGdiToolkit();
    // The connection is made: the programs this one starts get the environment it was given.
    if (!shmChosen) unsetenv("QT_XCB_NO_MITSHM");
    if (plainLoop) unsetenv("QT_NO_GLIB");
    impl_->backend = std::make_unique<qt::QtBackend>();
    SetBackend(impl_->backend.get());
    SetScreens(impl_->backend->QueryScreens());
    qt::QtBackend* backend = impl_->backend.get();
    if (!backend->Offscreen()) {
        QObject::connect(
            impl_->app.get(), &QGuiApplication::applicationStateChanged,
            [](Qt::ApplicationState state) { InjectAppActivation(state == Qt::ApplicationActive); });
        // A screen added, gone or resized, or a panel that changed a work area: every window hears it.
        auto screensChanged = [backend] { ChangeScreens(backend->QueryScreens()); };
        auto watch = [screensChanged](QScreen* screen) {
            QObject::connect(screen, &QScreen::availableGeometryChanged, screensChanged);
            QObject::connect(screen, &QScreen::geometryChanged, screensChanged);
        };
        for (QScreen* screen : QGuiApplication::screens())
            watch(screen);
        QObject::connect(impl_->app.get(), &QGuiApplication::screenAdded,
                         [watch, screensChanged](QScreen* s) {
                             watch(s);
                             screensChanged();
                         });
        QObject::connect(impl_->app.get(), &QGuiApplication::screenRemoved,
                         [screensChanged](QScreen*) { screensChanged(); });
    }
    SetWakeMainThread([] { WakeGuiThread(); });
    SetIdleCallback([] {
        if (IsMainThread()) CheckSynchronize(0);
    });
}

GuiApplication::~GuiApplication() {
    SetIdleCallback(nullptr);
    SetWakeMainThread(nullptr);
    SetBackend(nullptr);
    ReleaseAllHosts();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    impl_->backend.reset();
    impl_->app.reset();
    qInstallMessageHandler(qt::previousHandler);
}

bool GuiApplication::Headless() const {
    return impl_->backend->Offscreen();
}

} // namespace pw::gui
