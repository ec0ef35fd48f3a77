#include "platform/gui/message_loop.h"
#include "platform/rtl/terminal_text.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <optional>
#include <vector>

#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/gui/backend.h"
#include "platform/gui/gui_state.h"
#include "platform/gui/message_views.h"
#include "platform/rtl/exception.h"

namespace pw::gui {
namespace {

std::atomic<Backend*> backend{nullptr};
std::atomic<DWORD> guiThreadId{0};
std::function<void()> idleCallback;
std::function<void(const std::exception&)> exceptionHandler;

// While a loop of ours waits in the toolkit, the toolkit's pump must not dispatch: the loop does that
// itself once the wait returns. A deeper toolkit loop (a modal dialog) is foreign and may pump.
thread_local int waitDepth = 0;
thread_local int waitLoopLevel = 0;
// Window procedures running on this thread; objects can only be freed safely when none is.
thread_local int procedureDepth = 0;
// When the GUI thread last passed through the toolkit's loop (a look, or its sleep there); none yet.
thread_local DWORD lastPass = 0;
thread_local bool passed = false;
// A pass sees what had come by then. Input that comes after waits for the next pass: at the next turn of
// long work, which turns the loop every 5 ms (4 or more on this millisecond clock), or when the thread
// sleeps, which it does in the toolkit's loop when there is a screen.
constexpr DWORD kPassFreshFor = 4;

void ReportException(const std::exception& e) {
    std::function<void(const std::exception&)> handler;
    {
        Guard g(Lock());
        handler = exceptionHandler;
    }
    if (handler) {
        try {
            handler(e);
            return;
        } catch (const std::exception&) {
            // The handler failing too must not take the loop down; the text still reaches stderr.
        }
    }
    std::fprintf(stderr, "%s\n", EscapeControlCharacters(e.what()).c_str());
}

LRESULT CallProcedureUnchecked(const Window& w, UINT msg, WPARAM wParam, LPARAM lParam);

void NotePass() {
    lastPass = Now();
    passed = true;
}

// A pass through the toolkit's loop without waiting, on the GUI thread, unless the last one was so recent
// that only what was posted to it since can be new: its other events come from the screen, which the last
// pass saw, from its timers, and from the program, which says when it gave it work. A thread woken on its
// queue thus passes through the toolkit once for the wake, and a turn that runs many messages once for
// them all.
void LookAtToolkit(ThreadQueue& q, Backend& b) {
    PresentDamageWhenPainted(q);
    const bool pass = !passed || Now() - lastPass >= kPassFreshFor || b.GivenWork();
    // Whatever the toolkit runs now runs inside this loop of ours, not a foreign one.
    ++waitDepth;
    waitLoopLevel = b.LoopLevel();
    if (pass)
        b.ProcessEvents(0);
    else
        b.RunPostedEvents();
    --waitDepth;
    if (pass) NotePass();
}

bool MatchesWindow(HWND filter, HWND target) {
    if (!filter) return true;
    if (filter == reinterpret_cast<HWND>(-1)) return target == nullptr;
    return target == filter || ::IsChild(filter, target);
}

bool MatchesRange(UINT min, UINT max, UINT msg) {
    if (min == 0 && max == 0) return true;
    return msg >= min && msg <= max;
}

// Sleeps while the word still holds seen, at most waitNs (-1: no limit); returns early on a signal too.
void SleepOnWord(std::atomic<uint32_t>& word, uint32_t seen, long waitNs) {
    timespec limit{};
    if (waitNs >= 0) {
        limit.tv_sec = waitNs / 1000000000;
        limit.tv_nsec = waitNs % 1000000000;
    }
    syscall(SYS_futex, reinterpret_cast<uint32_t*>(&word), FUTEX_WAIT_PRIVATE, seen,
            waitNs >= 0 ? &limit : nullptr, nullptr, 0);
}

void WakeWord(std::atomic<uint32_t>& word) {
    syscall(SYS_futex, reinterpret_cast<uint32_t*>(&word), FUTEX_WAKE_PRIVATE, 1, nullptr, nullptr, 0);
}

void WaitForWork(ThreadQueue& q, DWORD timeoutMs) {
    PresentDamage();
    Backend* b = backend.load();
    if (b && IsGuiThread() && b->SleepsInToolkit()) {
        {
            Guard g(Lock());
            if (q.signalled) {
                q.signalled = false;
                return;
            }
        }
        int saved = waitLoopLevel;
        waitLoopLevel = b->LoopLevel();
        ++waitDepth;
        b->ProcessEvents(timeoutMs == INFINITE ? -1 : static_cast<int>(timeoutMs));
        --waitDepth;
        waitLoopLevel = saved;
        NotePass();
        Guard g(Lock());
        q.signalled = false;
        return;
    }
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    Guard g(Lock());
    while (!q.signalled) {
        const uint32_t seen = q.wakeWord.load();
        long waitNs = -1;
        if (timeoutMs != INFINITE) {
            waitNs = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - Clock::now()).count();
            if (waitNs <= 0) break;
        }
        q.sleeping = true;
        g.unlock();
        SleepOnWord(q.wakeWord, seen, waitNs);
        q.sleeping = false;
        g.lock();
    }
    q.signalled = false;
}

// Delivers the messages other threads sent to this one; true when any ran.
bool ReceiveSentMessages(ThreadQueue& q) {
    bool any = false;
    for (;;) {
        std::shared_ptr<SentMessage> sent;
        {
            Guard g(Lock());
            if (q.incoming.empty()) return any;
            sent = q.incoming.front();
            q.incoming.pop_front();
            ++q.handlingSent;
        }
        any = true;
        LRESULT result = 0;
        if (auto w = FindLiveWindow(sent->hwnd))
            result = CallProcedure(*w, sent->msg, sent->wParam, sent->lParam);
        Guard g(Lock());
        --q.handlingSent;
        sent->result = result;
        sent->done = true;
        if (sent->sender) Signal(*sent->sender);
    }
}

void RunIdleWork() {
    if (!IsGuiThread()) return;
    std::function<void()> idle;
    {
        Guard g(Lock());
        idle = idleCallback;
    }
    if (!idle) return;
    try {
        idle();
    } catch (const std::exception& e) {
        ReportException(e);
    }
}

std::optional<size_t> DueTimer(ThreadQueue& q, HWND filter, DWORD now) {
    std::optional<size_t> best;
    for (size_t i = 0; i < q.timers.size(); ++i) {
        const Timer& t = q.timers[i];
        if (static_cast<int32_t>(now - t.due) < 0 || !MatchesWindow(filter, t.hwnd)) continue;
        if (!best || static_cast<int32_t>(t.due - q.timers[*best].due) < 0) best = i;
    }
    return best;
}

DWORD MillisUntilNextTimer(ThreadQueue& q, DWORD now) {
    DWORD wait = INFINITE;
    for (const Timer& t : q.timers) {
        int32_t d = static_cast<int32_t>(t.due - now);
        DWORD ms = d <= 0 ? 0 : static_cast<DWORD>(d);
        wait = std::min(wait, ms);
    }
    return wait;
}

POINT CurrentCursor() {
    POINT p;
    ::GetCursorPos(p);
    return p;
}

// One look at everything this thread could return, in Win32 priority order: posted and input messages,
// WM_QUIT, WM_PAINT, WM_TIMER.
bool TakeMessage(ThreadQueue& q, MSG& msg, HWND filter, UINT min, UINT max, bool remove) {
    Guard g(Lock());
    for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
        if (!MatchesWindow(filter, it->msg.hwnd) || !MatchesRange(min, max, it->msg.message)) continue;
        msg = it->msg;
        if (remove) {
            if (it->keys) {
                q.syncKeys = *it->keys;
                q.haveSyncKeys = true;
            }
            q.posted.erase(it);
        }
        q.lastTime = msg.time;
        q.lastPos = msg.pt;
        return true;
    }
    if (q.quitPosted && MatchesRange(min, max, WM_QUIT) &&
        (!filter || filter == reinterpret_cast<HWND>(-1))) {
        msg = MSG{};
        msg.message = WM_QUIT;
        msg.wParam = static_cast<WPARAM>(q.quitCode);
        msg.time = Now();
        if (remove) q.quitPosted = false;
        return true;
    }
    if (MatchesRange(min, max, WM_PAINT)) {
        HWND target = filter == reinterpret_cast<HWND>(-1) ? nullptr : NextWindowToPaint(q, filter);
        if (target) {
            msg = MSG{};
            msg.hwnd = target;
            msg.message = WM_PAINT;
            msg.time = Now();
            msg.pt = q.lastPos;
            return true;
        }
    }
    if (MatchesRange(min, max, WM_TIMER)) {
        DWORD now = Now();
        if (auto i = DueTimer(q, filter, now)) {
            Timer& t = q.timers[*i];
            msg = MSG{};
            msg.hwnd = t.hwnd;
            msg.message = WM_TIMER;
            msg.wParam = t.id;
            msg.lParam = reinterpret_cast<LPARAM>(t.proc);
            msg.time = now;
            msg.pt = q.lastPos;
            // Missed periods are coalesced into this one message.
            if (remove) t.due = now + t.elapse;
            q.lastTime = now;
            return true;
        }
    }
    return false;
}

// look: the toolkit is asked for its events first (a look that follows another with nothing run in
// between finds nothing new there).
bool Fetch(MSG& msg, HWND filter, UINT min, UINT max, bool remove, bool wait, bool look = true) {
    auto q = CurrentQueue();
    for (;;) {
        // A loop waiting for one window's messages ends when that window goes.
        if (filter && filter != reinterpret_cast<HWND>(-1) && !FindLiveWindow(filter)) return false;
        ReceiveSentMessages(*q);
        RunIdleWork();
        Backend* b = backend.load();
        if (look && b && IsGuiThread()) {
            LookAtToolkit(*q, *b);
            ReceiveSentMessages(*q);
        }
        if (TakeMessage(*q, msg, filter, min, max, remove)) return true;
        if (!wait) return false;
        DWORD timeout;
        {
            Guard g(Lock());
            timeout = MillisUntilNextTimer(*q, Now());
            if (!q->incoming.empty()) continue;
        }
        WaitForWork(*q, timeout);
    }
}

} // namespace

void SetBackend(Backend* b) {
    backend = b;
    guiThreadId = b ? ::GetCurrentThreadId() : 0;
    // The GUI thread's queue is made with the toolkit rather than with the first window: making it
    // registers the thread's cleanup, which waits while any other thread loads a library (a crawl's
    // worker loading the network library, say), and the first window is part of the program's start.
    if (b) CurrentQueue();
}

Backend* CurrentBackend() {
    return backend.load();
}

bool IsGuiThread() {
    return guiThreadId.load() != 0 && guiThreadId.load() == ::GetCurrentThreadId();
}

void WakeThread(ThreadQueue& q) {
    // Only the queue's own thread sleeps on it, and only while it says so: an awake thread looks at its
    // queue again before it sleeps, and is spared the system call.
    q.wakeWord.fetch_add(1);
    const bool asleep = q.sleeping.load();
    if (asleep) WakeWord(q.wakeWord);
    Backend* b = backend.load();
    if (!b || q.threadId != guiThreadId.load()) return;
    // The GUI thread running a procedure from one of our loops looks at its queue again before it waits:
    // it needs no wake-up, which costs the toolkit a system call. Inside a wait, or inside a loop of the
    // toolkit's (a modal dialog), it does.
    if (IsGuiThread() && waitDepth == 0 && b->LoopLevel() == 0) return;
    // Asleep on its queue, it was set to sleep with the signal unseen and has just been woken.
    if (asleep) return;
    b->Wake();
}

void SetIdleCallback(std::function<void()> callback) {
    Guard g(Lock());
    idleCallback = std::move(callback);
}

void SetExceptionHandler(std::function<void(const std::exception&)> handler) {
    Guard g(Lock());
    exceptionHandler = std::move(handler);
}

void WakeGuiThread() {
    DWORD id = guiThreadId.load();
    if (auto q = id ? QueueOfThread(id) : nullptr) {
        Guard g(Lock());
        Signal(*q);
    } else if (Backend* b = backend.load()) {
        b->Wake();
    }
}

void LetToolkitCatchUp() {
    Backend* b = backend.load();
    if (!b || !IsGuiThread()) return;
    PresentDamage();
    const int saved = waitLoopLevel;
    waitLoopLevel = b->LoopLevel();
    ++waitDepth;
    b->ProcessEvents(0);
    --waitDepth;
    waitLoopLevel = saved;
    NotePass();
}

int PumpFromForeignLoop() {
    Backend* b = backend.load();
    if (waitDepth > 0 && (!b || b->LoopLevel() <= waitLoopLevel)) return -1;
    ProcessMessages();
    auto q = CurrentQueue();
    Guard g(Lock());
    DWORD ms = MillisUntilNextTimer(*q, Now());
    return ms == INFINITE ? -1 : static_cast<int>(ms);
}

LRESULT CallProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto w = FindWindow(hwnd);
    return w ? CallProcedure(*w, msg, wParam, lParam) : 0;
}

LRESULT CallProcedure(const Window& w, UINT msg, WPARAM wParam, LPARAM lParam) {
    struct Depth {
        Depth() { ++procedureDepth; }
        ~Depth() { --procedureDepth; }
    } depth;
    try {
        return CallProcedureUnchecked(w, msg, wParam, lParam);
    } catch (const std::exception& e) {
        ReportException(e);
        return 0;
    }
}

bool InsideProcedure() {
    return procedureDepth > 0;
}

} // namespace pw::gui

namespace pw::gui {
namespace {

LRESULT CallProcedureUnchecked(const Window& w, UINT msg, WPARAM wParam, LPARAM lParam) {
    const HWND hwnd = w.handle;
    CWPSTRUCT cwp{lParam, wParam, msg, hwnd};
    RunHooks(WH_CALLWNDPROC, HC_ACTION, 0, reinterpret_cast<LPARAM>(&cwp));
    WNDPROC proc;
    TWndMethod method;
    {
        Guard g(Lock());
        proc = w.proc;
        method = w.method;
    }
    if (method) {
        TMessage m{msg, wParam, lParam, 0};
        method(m);
        return m.Result;
    }
    if (proc) return proc(hwnd, msg, wParam, lParam);
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

// Sends to a window of another thread and waits, serving messages sent to this thread meanwhile.
LRESULT SendAcross(const std::shared_ptr<Window>& w, UINT msg, WPARAM wParam, LPARAM lParam, DWORD timeoutMs,
                   bool* timedOut) {
    auto self = CurrentQueue();
    auto sent = std::make_shared<SentMessage>();
    sent->hwnd = w->handle;
    sent->msg = msg;
    sent->wParam = wParam;
    sent->lParam = lParam;
    sent->sender = self;
    const std::shared_ptr<ThreadQueue> target = w->queue;
    {
        Guard g(Lock());
        if (!target->alive) return 0;
        target->incoming.push_back(sent);
        Signal(*target);
    }
    DWORD start = Now();
    for (;;) {
        ReceiveSentMessages(*self);
        DWORD wait = INFINITE;
        {
            Guard g(Lock());
            if (sent->done) return sent->result;
            // A receiving thread that ends wakes its senders.
            if (!w->queue->alive) return 0;
            if (!self->incoming.empty()) continue;
            if (timeoutMs != INFINITE) {
                DWORD spent = Now() - start;
                if (spent >= timeoutMs) {
                    // Too late: the receiver must not run it any more.
                    auto& in = w->queue->incoming;
                    in.erase(std::remove(in.begin(), in.end(), sent), in.end());
                    if (timedOut) *timedOut = true;
                    return 0;
                }
                wait = timeoutMs - spent;
            }
        }
        // No thread waits awake: a crawl that fetches ahead keeps the GUI thread busy while the worker
        // waits, and the processor time a spin burns is then taken from the thread it waits for.
        WaitForWork(*self, wait);
    }
}

} // namespace

void KillWindowTimers(ThreadQueue& q, HWND hwnd) {
    std::erase_if(q.timers, [&](const Timer& t) { return t.hwnd == hwnd; });
}

void DropPostedFor(ThreadQueue& q, HWND hwnd) {
    std::erase_if(q.posted, [&](const QueuedMessage& m) { return m.msg.hwnd == hwnd; });
}

} // namespace pw::gui

using namespace pw::gui;

BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!hwnd) return PostThreadMessage(GetCurrentThreadId(), msg, wParam, lParam);
    auto w = FindLiveWindow(hwnd);
    if (!w) return FALSE_;
    POINT pt = CurrentCursor();
    const std::shared_ptr<ThreadQueue> target = w->queue;
    {
        Guard g(Lock());
        if (!target->alive) return FALSE_;
        target->posted.push_back(QueuedMessage{MSG{hwnd, msg, wParam, lParam, Now(), pt, 0}, nullptr});
        Signal(*target);
    }
    return TRUE_;
}

BOOL PostThreadMessage(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto q = threadId == GetCurrentThreadId() ? CurrentQueue() : QueueOfThread(threadId);
    if (!q) return FALSE_;
    POINT pt = CurrentCursor();
    Guard g(Lock());
    q->posted.push_back(QueuedMessage{MSG{nullptr, msg, wParam, lParam, Now(), pt, 0}, nullptr});
    Signal(*q);
    return TRUE_;
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto w = FindLiveWindow(hwnd);
    if (!w) return 0;
    if (w->queue->threadId == GetCurrentThreadId()) return CallProcedure(*w, msg, wParam, lParam);
    return SendAcross(w, msg, wParam, lParam, INFINITE, nullptr);
}

LRESULT SendMessageTimeout(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT, UINT timeoutMs,
                           uintptr_t* result) {
    auto w = FindLiveWindow(hwnd);
    if (!w) return 0;
    LRESULT r;
    if (w->queue->threadId == GetCurrentThreadId()) {
        r = CallProcedure(*w, msg, wParam, lParam);
    } else {
        bool timedOut = false;
        r = SendAcross(w, msg, wParam, lParam, timeoutMs, &timedOut);
        if (timedOut) return 0;
    }
    if (result) *result = static_cast<uintptr_t>(r);
    return 1;
}

BOOL GetMessage(MSG& msg, HWND hwnd, UINT filterMin, UINT filterMax) {
    if (!Fetch(msg, hwnd, filterMin, filterMax, true, true)) return -1;
    return msg.message == WM_QUIT ? FALSE_ : TRUE_;
}

BOOL PeekMessage(MSG& msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (hwnd && hwnd != reinterpret_cast<HWND>(-1) && !FindLiveWindow(hwnd)) return FALSE_;
    return Fetch(msg, hwnd, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0, false) ? TRUE_ : FALSE_;
}

BOOL TranslateMessage(const MSG& msg) {
    if ((msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) || msg.lPrivate == 0) return FALSE_;
    UINT charMsg = msg.message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
    auto q = CurrentQueue();
    Guard g(Lock());
    // The character comes before any later input.
    q->posted.push_front(
        QueuedMessage{MSG{msg.hwnd, charMsg, msg.lPrivate, msg.lParam, msg.time, msg.pt, 0}, nullptr});
    return TRUE_;
}

LRESULT DispatchMessage(const MSG& msg) {
    TMessage m = MessageOf(msg);
    if (msg.message == WM_TIMER && TWMTimer(m).TimerProc()) {
        const TWMTimer timer(m);
        auto q = CurrentQueue();
        TIMERPROC proc = nullptr;
        {
            Guard g(Lock());
            // Only a callback that a live timer names is called.
            for (const Timer& t : q->timers)
                if (t.hwnd == msg.hwnd && t.id == timer.TimerID() && t.proc == timer.TimerProc())
                    proc = t.proc;
        }
        if (proc) {
            try {
                proc(msg.hwnd, WM_TIMER, timer.TimerID(), Now());
            } catch (const std::exception& e) {
                ReportException(e);
            }
        }
        return 0;
    }
    auto target = msg.hwnd ? FindLiveWindow(msg.hwnd) : nullptr;
    // Only the thread that owns a window runs its procedure.
    if (!target || target->queue->threadId != GetCurrentThreadId()) return 0;
    LRESULT r = CallProcedure(*target, msg.message, msg.wParam, msg.lParam);
    if (msg.message == WM_PAINT) {
        // A procedure that ignores WM_PAINT would otherwise be asked again forever.
        Guard g(Lock());
        if (target->destroyed) return r;
        target->update = Region();
        target->frameInvalid = false;
        target->erasePending = false;
    }
    return r;
}

BOOL WaitMessage() {
    auto q = CurrentQueue();
    MSG m;
    if (Fetch(m, nullptr, 0, 0, false, false)) return TRUE_;
    DWORD timeout;
    {
        Guard g(Lock());
        timeout = MillisUntilNextTimer(*q, Now());
    }
    WaitForWork(*q, timeout);
    return TRUE_;
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL, DWORD timeoutMs, DWORD wakeMask) {
    auto q = CurrentQueue();
    // Each event wakes this thread's queue when it is set, for as long as the wait lasts.
    struct Watch {
        TEvent* event;
        int id;
    };
    std::vector<Watch> watches;
    struct Unwatch {
        std::vector<Watch>& watches;
        ~Unwatch() {
            for (const Watch& w : watches)
                w.event->RemoveWaker(w.id);
        }
    } unwatch{watches};
    for (DWORD i = 0; i < count; ++i) {
        auto* event = static_cast<TEvent*>(handles[i]);
        watches.push_back(Watch{event, event->AddWaker([q] {
                                    Guard g(Lock());
                                    Signal(*q);
                                })});
    }
    DWORD start = Now();
    for (;;) {
        for (DWORD i = 0; i < count; ++i)
            if (watches[i].event->WaitFor(0) == wrSignaled) return WAIT_OBJECT_0 + i;
        Backend* b = backend.load();
        if (b && IsGuiThread()) LookAtToolkit(*q, *b);
        DWORD wait;
        {
            Guard g(Lock());
            DWORD now = Now();
            bool ready = ((wakeMask & QS_SENDMESSAGE) && !q->incoming.empty()) ||
                         ((wakeMask & (QS_POSTMESSAGE | QS_KEY | QS_MOUSEMOVE | QS_MOUSEBUTTON)) &&
                          (!q->posted.empty() || q->quitPosted)) ||
                         ((wakeMask & QS_PAINT) && HasPaintPending(*q)) ||
                         ((wakeMask & QS_TIMER) && DueTimer(*q, nullptr, now));
            if (ready) return WAIT_OBJECT_0 + count;
            DWORD spent = now - start;
            if (timeoutMs != INFINITE && spent >= timeoutMs) return WAIT_TIMEOUT;
            wait = timeoutMs == INFINITE ? INFINITE : timeoutMs - spent;
            if (wakeMask & QS_TIMER) wait = std::min(wait, MillisUntilNextTimer(*q, now));
        }
        WaitForWork(*q, wait);
    }
}

void PostQuitMessage(int exitCode) {
    auto q = CurrentQueue();
    Guard g(Lock());
    q->quitPosted = true;
    q->quitCode = exitCode;
    Signal(*q);
}

DWORD GetMessagePos() {
    auto q = CurrentQueue();
    Guard g(Lock());
    return static_cast<DWORD>(MAKELPARAM(static_cast<WORD>(q->lastPos.x), static_cast<WORD>(q->lastPos.y)));
}

LONG GetMessageTime() {
    auto q = CurrentQueue();
    Guard g(Lock());
    return static_cast<LONG>(q->lastTime);
}

BOOL InSendMessage() {
    auto q = CurrentQueue();
    Guard g(Lock());
    return q->handlingSent > 0 ? TRUE_ : FALSE_;
}

BOOL ReplyMessage(LRESULT) {
    return FALSE_;
}

DWORD GetQueueStatus(UINT flags) {
    auto q = CurrentQueue();
    Guard g(Lock());
    DWORD status = 0;
    if (!q->posted.empty() || q->quitPosted) status |= QS_POSTMESSAGE;
    if (!q->incoming.empty()) status |= QS_SENDMESSAGE;
    if (HasPaintPending(*q)) status |= QS_PAINT;
    if (DueTimer(*q, nullptr, Now())) status |= QS_TIMER;
    status &= flags;
    return status | (status << 16);
}

void RepostQuit(const MSG& quit) {
    TMessage m = MessageOf(quit);
    PostQuitMessage(TWMQuit(m).ExitCode());
}

namespace {

// Dispatches a message taken from the queue; a WM_QUIT goes back for the outer loop and answers false.
bool DispatchUnlessQuit(const MSG& msg) {
    if (msg.message == WM_QUIT) {
        RepostQuit(msg);
        return false;
    }
    TranslateMessage(msg);
    DispatchMessage(msg);
    return true;
}

} // namespace

bool ProcessMessages(const std::function<bool()>& ended) {
    MSG msg;
    while (!ended || !ended()) {
        if (!PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) return true;
        if (!DispatchUnlessQuit(msg)) return false;
    }
    return false;
}

bool ProcessMessagesUnpainted() {
    MSG msg;
    // Everything above WM_PAINT first (input, timers, WM_QUIT, the posted messages of the program), then
    // the few below it, from the same look at the toolkit: a long work turns this loop every few
    // milliseconds, and a look costs a system call.
    while (PeekMessage(msg, nullptr, WM_PAINT + 1, 0xFFFFFFFFu, PM_REMOVE) ||
           Fetch(msg, nullptr, WM_NULL, WM_PAINT - 1, true, false, false))
        if (!DispatchUnlessQuit(msg)) return false;
    return true;
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
    std::shared_ptr<ThreadQueue> q;
    if (hwnd) {
        auto w = FindLiveWindow(hwnd);
        if (!w) return 0;
        q = w->queue;
    } else {
        q = CurrentQueue();
    }
    // Times are kept as wrapping milliseconds: a longer elapse (INFINITE, say) would wrap round to "due
    // now" and fire on every turn of the loop.
    elapseMs = std::clamp<UINT>(elapseMs, 10, 0x7FFFFFFF);
    Guard g(Lock());
    for (Timer& t : q->timers)
        if (t.hwnd == hwnd && t.id == id && (hwnd || id != 0)) {
            t.elapse = elapseMs;
            t.proc = proc;
            t.due = Now() + elapseMs;
            Signal(*q);
            return hwnd ? (id ? id : 1) : t.id;
        }
    if (!hwnd) {
        static UINT_PTR nextThreadTimer = 0x7F00;
        id = ++nextThreadTimer;
    }
    q->timers.push_back(Timer{hwnd, id, elapseMs, proc, Now() + elapseMs});
    Signal(*q);
    return hwnd ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    std::shared_ptr<ThreadQueue> q;
    if (hwnd) {
        auto w = FindWindow(hwnd);
        if (!w) return FALSE_;
        q = w->queue;
    } else {
        q = CurrentQueue();
    }
    Guard g(Lock());
    auto before = q->timers.size();
    std::erase_if(q->timers, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    return before != q->timers.size() ? TRUE_ : FALSE_;
}
