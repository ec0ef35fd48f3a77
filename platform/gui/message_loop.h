#pragma once
// The message queue of each thread: posting, sending (direct or across threads), fetching, dispatch,
// timers and the default window procedure.
#include <exception>
#include <functional>

#include "platform/gui/messages.h"
#include "platform/gui/window_defs.h"
#include "platform/rtl/sync.h"

inline constexpr UINT PM_NOREMOVE = 0x0000;
inline constexpr UINT PM_REMOVE = 0x0001;
inline constexpr UINT PM_NOYIELD = 0x0002;

inline constexpr UINT SMTO_NORMAL = 0x0000;
inline constexpr UINT SMTO_BLOCK = 0x0001;
inline constexpr UINT SMTO_ABORTIFHUNG = 0x0002;

inline constexpr DWORD QS_KEY = 0x0001;
inline constexpr DWORD QS_MOUSEMOVE = 0x0002;
inline constexpr DWORD QS_MOUSEBUTTON = 0x0004;
inline constexpr DWORD QS_POSTMESSAGE = 0x0008;
inline constexpr DWORD QS_TIMER = 0x0010;
inline constexpr DWORD QS_PAINT = 0x0020;
inline constexpr DWORD QS_SENDMESSAGE = 0x0040;
inline constexpr DWORD QS_ALLINPUT = 0x04FF;
inline constexpr DWORD WAIT_OBJECT_0 = 0;
inline constexpr DWORD WAIT_TIMEOUT = 258;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;

BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessage(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageTimeout(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeoutMs,
                           uintptr_t* result);
// 0 on WM_QUIT, -1 on a failure (a stale hwnd filter), otherwise 1.
BOOL GetMessage(MSG& msg, HWND hwnd, UINT filterMin, UINT filterMax);
BOOL PeekMessage(MSG& msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL TranslateMessage(const MSG& msg);
LRESULT DispatchMessage(const MSG& msg);
BOOL WaitMessage();
// Waits until one of the events (TEvent::Handle()) is set (WAIT_OBJECT_0 + its index; an auto-reset
// event is reset), input of the given kinds arrives (WAIT_OBJECT_0 + count) or the timeout passes
// (WAIT_TIMEOUT). The thread sleeps meanwhile: setting an event wakes it. waitAll is not supported.
DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD timeoutMs,
                                DWORD wakeMask);
void PostQuitMessage(int exitCode);
// A local loop that takes WM_QUIT off the queue puts it back, with its exit code, for the loop that owns
// the queue.
void RepostQuit(const MSG& quit);
DWORD GetMessagePos();
LONG GetMessageTime();
BOOL InSendMessage();
BOOL ReplyMessage(LRESULT result);
DWORD GetQueueStatus(UINT flags);
DWORD GetCurrentThreadId();

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// The default handling of a message a procedure passes on unchanged.
inline LRESULT DefWindowProc(HWND hwnd, const TMessage& m) {
    return DefWindowProc(hwnd, m.Msg, m.WParam, m.LParam);
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

// Runs every sent, posted, timer and paint message that is due, as a local loop would, without
// waiting; returns false once WM_QUIT was seen (it stays posted for the outer loop). `ended`, when given,
// is asked before each message: once it answers true nothing more is answered and false is returned (a
// loop inside a modal one whose result is set, which answers no message after the one that set it).
bool ProcessMessages(const std::function<bool()>& ended = {});
// The same without WM_PAINT: input, timers and posted messages are answered while the windows are
// drawn later, at a pace of the caller's choosing.
bool ProcessMessagesUnpainted();

namespace pw::gui {
// A test may fix the clock that message times and timers read; nullptr restores the runtime's
// GetTickCount.
void SetTickSource(std::function<DWORD()> source);
// Called by the loop whenever it runs on the GUI thread, so that work queued for it from other threads
// (the runtime's synchronize queue) is done whatever loop is turning.
void SetIdleCallback(std::function<void()> callback);
// Makes the GUI thread's loop turn soon; safe from any thread.
void WakeGuiThread();
// Receives an exception a window procedure let escape (the application shows it); without one the
// text goes to stderr.
void SetExceptionHandler(std::function<void(const std::exception& error)> handler);
} // namespace pw::gui
