#pragma once
// The process-wide tables of the window system: windows by handle, window classes, the message queue
// of each thread, and the front-to-back list of top-level windows. One lock guards them; it is never
// held while a window procedure, a hook, a user callback or the toolkit runs, nor for pixel work: a
// window's pixels belong to its own thread.
#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/gdi/region.h"
#include "platform/gdi/surface.h"
#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"

namespace pw::gui {

class HostWindow;

struct WindowClassInfo {
    std::string name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    HBRUSH background = nullptr;
    HCURSOR cursor = nullptr;
    HICON icon = nullptr;
};

struct ThreadQueue;

struct Window {
    HWND handle = nullptr;
    std::shared_ptr<WindowClassInfo> cls;
    std::shared_ptr<ThreadQueue> queue;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;      // child windows only
    HWND owner = nullptr;       // top-level windows only
    std::vector<HWND> children; // front to back
    RECT rect;                  // child: in the parent's client coordinates; top-level: on the screen
    RECT client;                // in window coordinates
    WNDPROC proc = nullptr;
    TWndMethod method; // AllocateHWnd windows
    LONG_PTR userData = 0;
    LONG_PTR id = 0;
    std::string text;
    // Top-level windows: the backing store every window inside paints into. Children: only the copy
    // WindowSurface made of their area.
    Surface surface;
    Region update; // window coordinates
    bool erasePending = false;
    bool drawnUnseen = false; // top-level: a DC drew nothing while it was hidden
    bool frameInvalid = false;
    bool redrawEnabled = true;
    bool created = false;
    bool destroying = false; // DestroyWindow has begun
    bool destroyed = false;
    bool minimized = false;
    bool maximized = false;
    bool messageOnly = false;
    RECT restoreRect;
    BYTE alpha = 255;
    bool perPixelAlpha = false; // the image holds premultiplied alpha (UpdateLayeredWindow)
    BYTE fadeAlpha = 255;       // the share of its opacity a fade (AnimateWindow) lets through now
    HRGN windowRgn = nullptr;
    std::unique_ptr<HostWindow> host;
    Region unpresented; // top-level windows: changed in the store, not yet handed to the host
    // Unowned windows: which of them and the windows they own was last active. Top-level windows: where
    // the focus was as they last lost the activation.
    HWND lastActivePopup = nullptr;
    HWND lastFocus = nullptr;

    bool IsChild() const { return (style & WS_CHILD) != 0 && parent != nullptr; }
    bool Visible() const { return (style & WS_VISIBLE) != 0; }
    int Width() const { return rect.right - rect.left; }
    int Height() const { return rect.bottom - rect.top; }
    // How opaque the screen shows the window: its layered alpha, through a fade under way.
    BYTE Opacity() const {
        const unsigned own = (exStyle & WS_EX_LAYERED) ? alpha : 255;
        return static_cast<BYTE>((own * fadeAlpha + 127) / 255);
    }
};

struct SentMessage {
    HWND hwnd = nullptr;
    UINT msg = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 0;
    // Set under the lock after result; a waiting sender may also watch it without the lock.
    std::atomic<bool> done{false};
    std::shared_ptr<ThreadQueue> sender;
};

struct Timer {
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    UINT elapse = 0;
    TIMERPROC proc = nullptr;
    DWORD due = 0;
};

struct Hook {
    HHOOK handle = nullptr;
    int kind = 0;
    HOOKPROC proc = nullptr;
};

using KeyStates = std::array<BYTE, 256>;

// A posted message; input messages carry the key state of their moment, which GetKeyState reports
// once the message has been taken from the queue.
struct QueuedMessage {
    MSG msg;
    std::shared_ptr<const KeyStates> keys;
};

struct ThreadQueue : std::enable_shared_from_this<ThreadQueue> {
    DWORD threadId = 0;
    std::thread::id thread;
    std::deque<QueuedMessage> posted;
    KeyStates syncKeys{};
    bool haveSyncKeys = false;
    std::deque<std::shared_ptr<SentMessage>> incoming;
    std::vector<Timer> timers;
    std::vector<Hook> hooks; // newest first
    bool quitPosted = false;
    int quitCode = 0;
    bool signalled = false;
    // The owning thread sleeps on this word (a futex): every wake-up bumps it, so one that comes between
    // the look at signalled and the sleep ends the sleep at once, and the waker takes no lock to wake it.
    std::atomic<uint32_t> wakeWord{0};
    std::atomic<bool> sleeping{false};
    // What GetMessagePos/GetMessageTime report.
    DWORD lastTime = 0;
    POINT lastPos;
    int handlingSent = 0;
    bool alive = true;
    // Touched by the owning thread alone: its top-level windows whose store changed since their host was
    // last told, and the looks that put off telling them while paints were pending.
    std::vector<std::weak_ptr<Window>> unpresented;
    int presentDeferrals = 0;
};

// The window-table lock: recursive, and the threads that Signal asks to wake while it is held are woken
// once the calling thread's outermost hold ends, so a woken thread never blocks at once on the lock its
// waker still holds, and no toolkit call runs under it.
class TableLock {
public:
    void lock();
    bool try_lock();
    void unlock();

private:
    std::mutex mutex_;
};
TableLock& Lock();
using Guard = std::unique_lock<TableLock>;

// All lookups take the lock themselves; the returned pointer keeps the object alive, not the handle.
std::shared_ptr<Window> FindWindow(HWND hwnd);
std::shared_ptr<Window> FindLiveWindow(HWND hwnd); // nullptr once destruction has begun
// The same for a caller that holds the lock, and only while it does.
Window* FindLiveWindowLocked(HWND hwnd);
HWND NewWindowHandle(std::shared_ptr<Window> window);
void RemoveWindowHandle(HWND hwnd);
std::vector<HWND>& TopLevelOrder(); // front to back; caller holds the lock
// Has the toolkit hold the pointer for the program while a window holds the capture, showing the cursor
// set last (GUI thread, where a toolkit shows windows; nothing elsewhere).
void HoldPointer(bool hold);
// A host that goes is no longer known to show any cursor.
void ForgetCursorHost(const HostWindow* host);
std::shared_ptr<WindowClassInfo> FindClass(const std::string& name);
void RegisterClassInfo(std::shared_ptr<WindowClassInfo> info);
bool UnregisterClassInfo(const std::string& name);

std::shared_ptr<ThreadQueue> CurrentQueue();
std::shared_ptr<ThreadQueue> QueueOfThread(DWORD threadId);
// Marks the queue as having work and wakes its thread once the lock is released; caller holds the lock.
void Signal(ThreadQueue& queue);
// Wakes the queue's thread at once (its condition variable, or the toolkit's loop on the GUI thread).
void WakeThread(ThreadQueue& queue);

DWORD Now();

// The procedure call with the call-window-procedure hooks, used by every delivery.
LRESULT CallProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// The same for a window the caller has found already.
LRESULT CallProcedure(const Window& w, UINT msg, WPARAM wParam, LPARAM lParam);

// Calls the thread's hooks of one kind, newest first; the answer of the chain (non-zero swallows input).
LRESULT RunHooks(int kind, int code, WPARAM wParam, LPARAM lParam);

// Geometry helpers (caller holds the lock or owns the window).
POINT ClientOriginOnScreen(const Window& w);
POINT WindowOriginOnScreen(const Window& w);
RECT ScreenRectOf(const Window& w);

// The top-level window that hosts this one (itself when top-level).
HWND RootOf(HWND hwnd);

// Window state helpers shared by the files of this folder.
void RecalcClient(HWND hwnd, bool sendMessage);
// The front-to-back list the window is ordered in (its parent's children, or the top-level windows);
// nullptr for a message-only window. Caller holds the lock.
std::vector<HWND>* SiblingList(Window& w);
// Moves the window behind insertAfter (or to HWND_TOP, HWND_BOTTOM...) in that list; topmost windows stay
// ahead of the others, owned windows ahead of their owner. Caller holds the lock.
void PlaceInOrder(Window& w, HWND insertAfter);
// The toolkit is told to put the top-level window back behind the nearest shown window in front of it
// in that list, where the screen may have brought it further forward (shown again, clicked).
void KeepStackedBehind(HWND hwnd);
// Gives a top-level window of the GUI thread its toolkit window, when a toolkit runs.
void EnsureHost(const std::shared_ptr<Window>& w);
// Adds windowRect (window coordinates; nullptr: all of it) to the window's update region; children
// says its descendants under it are invalid too (they always are when the window does not clip them).
void InvalidateWindowArea(HWND hwnd, const RECT* windowRect, bool erase, bool frame, bool children);
// What a child's move, resize, hiding, showing or restacking laid bare or covered: the parent and every
// descendant under the area (parent's client coordinates) paint it again.
void InvalidateUncovered(HWND parent, const Region& clientArea);
// Hands the changed part of a top-level window's store (its coordinates) to the screen. The GUI thread
// gathers what its paints change and hands it over at once when its loop next asks the toolkit for
// events with no paint left to do (PresentDamage), so that a window painted in parts is copied once.
void ShowDamage(const std::shared_ptr<Window>& root, const Region& damage);
// Lets the toolkit run its pending events once, so that the screen catches up with what the windows
// show, without serving our queue: a caller that must not dispatch (a fade) stays in charge.
void LetToolkitCatchUp();
// Hands over what this thread gathered; with WhenPainted, only once no window of the queue still needs
// painting (or after a few asks, should one never stop needing it).
void PresentDamage();
void PresentDamageWhenPainted(ThreadQueue& queue);
// The whole visible area of the window changed.
void RefreshHost(HWND hwnd);
// A window going drops the capture, focus, activation and tracking held in it; a hidden one keeps the
// capture (a hidden window may still track the mouse, as Win32's own menus do).
void OnWindowDestroyedInput(HWND hwnd);
void OnWindowHiddenInput(HWND hwnd);
void KillWindowTimers(ThreadQueue& queue, HWND hwnd);
void DropPostedFor(ThreadQueue& queue, HWND hwnd);
bool HasPaintPending(ThreadQueue& queue);
// The first window needing paint, parents before children; filter limits it to a window and its
// children (nullptr: any).
HWND NextWindowToPaint(ThreadQueue& queue, HWND filter);
void ActivateOnShow(HWND hwnd);

} // namespace pw::gui
