#pragma once
// What the window system needs from the toolkit that shows its windows. The Qt implementation lives
// in qt/; without one (worker threads, tools without a display) windows simply have no host.
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/prompt_request.h"
#include "platform/rtl/wintypes.h"

class Surface;

namespace pw::gui {

struct ScreenInfo;
struct KeyInput;

// One kind of data on the desktop's clipboard.
struct ClipboardItem {
    // "text/plain" for text (UTF-8); empty for the picture.
    std::string mimeType;
    std::string bytes;
    // The picture, offered in the toolkit's picture types (image/png among them), opaque.
    const Surface* image = nullptr;
};
// What goes on the desktop's clipboard at once, replacing what it held, in the order offered.
using ClipboardContents = std::vector<ClipboardItem>;

enum class HostKind { Normal, Decorated, Tool };

struct HostParams {
    HostKind kind = HostKind::Normal;
    bool topmost = false;
    bool noActivate = false;
    bool transparentForInput = false;
    bool translucent = false; // layered: the image's alpha shows
    // A decorated window's title bar buttons besides the close box (dialogs have neither).
    bool minimizeBox = true;
    bool maximizeBox = true;
    // Whether the person may resize a decorated window by its frame; otherwise its size is the program's.
    bool resizable = true;
    HWND owner = nullptr;
};

// The toolkit's window for one top-level window of ours.
class HostWindow {
public:
    virtual ~HostWindow() = default;
    virtual void SetGeometry(const RECT& screenRect) = 0;
    virtual void SetVisible(bool visible, bool activate) = 0;
    virtual void SetTitle(const std::string& title) = 0;
    virtual void SetOpacity(double opacity) = 0;
    virtual void Raise() = 0;
    // Puts this window directly behind Front on the screen (both shown); false when the toolkit cannot
    // place it against that one (a window no window manager stacks, for one).
    virtual bool PlaceBehind(HostWindow& Front) {
        (void)Front;
        return false;
    }
    // A standard cursor (IDC_*), or an image with its hot spot when image is given.
    virtual void SetCursorShape(uintptr_t cursorId, const Surface* image, POINT hotSpot) = 0;
    // These parts of the window's backing store (window coordinates) changed; the toolkit copies them to
    // the screen when anyone can see the window.
    virtual void Refresh(const std::vector<RECT>& area) = 0;
    // The window's shape (window coordinates); nullptr: its whole rectangle.
    virtual void SetShape(const std::vector<RECT>* shape) = 0;
    // The smallest and largest size the person may give the window by its frame.
    virtual void SetSizeLimits(POINT minSize, POINT maxSize) = 0;
    // The widths of the frame the desktop's window manager puts round the window (title bar, borders):
    // left, top, right and bottom, also before the window is first shown. Zero where it puts none or
    // cannot say.
    virtual RECT FrameMargins() { return RECT{}; }
};

class Backend {
public:
    virtual ~Backend() = default;
    virtual std::unique_ptr<HostWindow> CreateHost(HWND hwnd, const HostParams& params) = 0;
    // Runs the toolkit's events once, waiting at most timeoutMs for one to arrive (0: do not wait).
    virtual void ProcessEvents(int timeoutMs) = 0;
    // Whether the program gave the toolkit work since it last ran its events (changed windows, started
    // timers, a dialog's loop; from any thread), which only running them again carries out. A toolkit that
    // cannot tell answers true.
    virtual bool GivenWork() const { return true; }
    // Runs only what was posted to the toolkit's objects, from any thread, without a pass through its
    // loop (which costs a system call): for the looks for work that come between passes.
    virtual void RunPostedEvents() {}
    // Makes ProcessEvents return, or schedules a pump when no loop of ours runs; any thread.
    virtual void Wake() = 0;
    // Whether the GUI thread sleeps in the toolkit's loop. Without a screen nothing but our own queue
    // has events for it: it sleeps on the queue, and looks at the toolkit when it looks for work.
    virtual bool SleepsInToolkit() const { return true; }
    // The toolkit's event loop depth on the GUI thread, so a pump can tell a foreign modal loop.
    virtual int LoopLevel() const = 0;
    virtual std::vector<ScreenInfo> QueryScreens() const = 0;
    // The desktop's clipboard, as text (UTF-8).
    virtual std::string ClipboardText() const = 0;
    virtual void SetClipboardText(const std::string& text) = 0;
    virtual void ClearClipboard() = 0;
    // The desktop's clipboard beyond text. A toolkit without these keeps text only.
    virtual void SetClipboardContents(const ClipboardContents& contents) {
        for (const ClipboardItem& item : contents)
            if (item.mimeType == "text/plain") return SetClipboardText(item.bytes);
        ClearClipboard();
    }
    // The MIME types the desktop's clipboard offers, in its order.
    virtual std::vector<std::string> ClipboardTypes() const {
        return ClipboardText().empty() ? std::vector<std::string>{} : std::vector<std::string>{"text/plain"};
    }
    // Empty when the clipboard offers nothing of that type.
    virtual std::string ClipboardBytes(const std::string& /*mimeType*/) const { return {}; }
    // The clipboard's picture decoded (opaque); false when it offers none.
    virtual bool ClipboardImage(Surface& /*image*/) const { return false; }
    // Drags the files from the top-level window to wherever the person drops them; answers the
    // DROPEFFECT_* the target chose (0 for none).
    virtual DWORD DragFiles(HWND host, const std::vector<std::string>& files, DWORD allowedEffects) {
        (void)host;
        (void)files;
        (void)allowedEffects;
        return 0;
    }
    // While a window of ours holds the capture the toolkit takes the pointer from the window system, so
    // that every move, press and release comes to the program, over any window and outside it, whatever
    // window hides meanwhile. A hold the window system ends is reported with InjectCaptureLost.
    virtual void HoldPointer(bool hold) { (void)hold; }
    virtual bool HoldsPointer() const { return false; }
    // The shape the pointer shows while held, wherever it is.
    virtual void SetHeldCursorShape(uintptr_t cursorId, const Surface* image, POINT hotSpot) {
        (void)cursorId;
        (void)image;
        (void)hotSpot;
    }
    // Asks a person with the toolkit's own dialog and waits for the answer.
    virtual PromptAnswer Ask(const PromptRequest& request) = 0;
    // Hands a key to the toolkit as its keyboard would, so that it reaches the window system through
    // the toolkit's own key handling (for tests). False when the toolkit has no window for it.
    virtual bool DeliverKey(const KeyInput& /*input*/) { return false; }
    // A person can see the windows (false for a toolkit that draws them nowhere).
    virtual bool ShowsWindows() const { return true; }
    // The desktop blends translucent windows with what lies below them (a compositing window
    // manager runs); without it their alpha shows as black.
    virtual bool ComposesTranslucentWindows() const { return true; }
};

// Installed by the toolkit side on the GUI thread; nullptr removes it.
void SetBackend(Backend* backend);
// Sends a message to every top-level window of this thread (system-wide notifications).
void BroadcastToTopLevels(UINT msg, WPARAM wParam, LPARAM lParam);
// Drops the toolkit windows of every window (before the toolkit goes away); the windows stay.
void ReleaseAllHosts();
Backend* CurrentBackend();
bool IsGuiThread();
// A window procedure runs on this thread (further up the stack).
bool InsideProcedure();
// Called by the toolkit when it gives control to a loop that is not ours (a modal dialog), so that our
// queue keeps being served. Answers the milliseconds until the next timer is due, -1 for none.
int PumpFromForeignLoop();

} // namespace pw::gui
