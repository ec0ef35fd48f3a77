#include <algorithm>
#include <atomic>
#include <cstring>
#include <unordered_map>

#include "platform/gui/backend.h"
#include "platform/gui/gui_state.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/sync.h"

namespace pw::gui {
namespace {

struct Tables {
    TableLock lock;
    std::unordered_map<HWND, std::shared_ptr<Window>> windows;
    std::vector<HWND> topLevels;
    std::vector<std::shared_ptr<WindowClassInfo>> classes;
    std::unordered_map<DWORD, std::shared_ptr<ThreadQueue>> queues;
    uintptr_t nextHandle = 0x10000;
    std::function<DWORD()> tickSource;
};

Tables& T() {
    static Tables* tables = new Tables; // never destroyed: worker threads may outlive static destruction
    return *tables;
}

std::atomic<DWORD> nextThreadId{1};
thread_local DWORD currentThreadId = 0;
thread_local std::shared_ptr<ThreadQueue> currentQueue;
// How deep this thread holds the table lock, and the queues to wake when it lets go.
thread_local int lockDepth = 0;
thread_local std::vector<std::shared_ptr<ThreadQueue>> wakeOnRelease;
std::atomic<bool> tickSourceSet{false};

} // namespace

// There is one table lock: the depth a thread holds it to tells whether that thread holds it, so only
// the outermost lock and unlock touch the mutex.
void TableLock::lock() {
    if (lockDepth == 0) mutex_.lock();
    ++lockDepth;
}

bool TableLock::try_lock() {
    if (lockDepth == 0 && !mutex_.try_lock()) return false;
    ++lockDepth;
    return true;
}

void TableLock::unlock() {
    if (--lockDepth > 0) return;
    if (wakeOnRelease.empty()) {
        mutex_.unlock();
        return;
    }
    std::vector<std::shared_ptr<ThreadQueue>> wake;
    wake.swap(wakeOnRelease);
    mutex_.unlock();
    for (const auto& q : wake)
        WakeThread(*q);
}

void Signal(ThreadQueue& q) {
    q.signalled = true;
    if (lockDepth == 0) {
        WakeThread(q);
        return;
    }
    auto self = q.shared_from_this();
    if (std::find(wakeOnRelease.begin(), wakeOnRelease.end(), self) == wakeOnRelease.end())
        wakeOnRelease.push_back(std::move(self));
}

TableLock& Lock() {
    return T().lock;
}

std::shared_ptr<Window> FindWindow(HWND hwnd) {
    if (!hwnd) return nullptr;
    Guard g(Lock());
    auto it = T().windows.find(hwnd);
    return it == T().windows.end() ? nullptr : it->second;
}

std::shared_ptr<Window> FindLiveWindow(HWND hwnd) {
    auto w = FindWindow(hwnd);
    return w && !w->destroyed ? w : nullptr;
}

Window* FindLiveWindowLocked(HWND hwnd) {
    auto it = T().windows.find(hwnd);
    return it == T().windows.end() || it->second->destroyed ? nullptr : it->second.get();
}

HWND NewWindowHandle(std::shared_ptr<Window> window) {
    Guard g(Lock());
    T().nextHandle += 4;
    HWND h = reinterpret_cast<HWND>(T().nextHandle);
    window->handle = h;
    T().windows[h] = std::move(window);
    return h;
}

void RemoveWindowHandle(HWND hwnd) {
    Guard g(Lock());
    T().windows.erase(hwnd);
    std::erase(T().topLevels, hwnd);
}

std::vector<HWND>& TopLevelOrder() {
    return T().topLevels;
}

std::shared_ptr<WindowClassInfo> FindClass(const std::string& name) {
    Guard g(Lock());
    for (auto& c : T().classes)
        if (SameText(c->name, name)) return c;
    return nullptr;
}

std::shared_ptr<ThreadQueue> CurrentQueue() {
    if (!currentQueue) {
        auto q = std::make_shared<ThreadQueue>();
        q->threadId = GetCurrentThreadId();
        q->thread = std::this_thread::get_id();
        Guard g(Lock());
        T().queues[q->threadId] = q;
        currentQueue = q;
        // The queue outlives the thread only as long as windows or senders hold it.
        struct Unregister {
            DWORD id;
            ~Unregister() {
                Guard g(Lock());
                auto it = T().queues.find(id);
                if (it == T().queues.end()) return;
                ThreadQueue& q = *it->second;
                q.alive = false;
                // Whoever waits for an answer from this thread gets none: wake them now.
                for (const auto& sent : q.incoming)
                    if (sent->sender) Signal(*sent->sender);
                q.incoming.clear();
                // Windows die with their thread; nobody is left to run their procedures.
                std::vector<HWND> orphans;
                for (auto& [h, w] : T().windows)
                    if (w->queue == it->second) orphans.push_back(h);
                for (HWND h : orphans) {
                    T().windows[h]->destroyed = true;
                    RemoveWindowHandle(h);
                }
                T().queues.erase(it);
            }
        };
        // Made first so that it is destroyed after unregister, which uses it.
        wakeOnRelease.reserve(4);
        thread_local Unregister unregister{q->threadId};
    }
    return currentQueue;
}

std::shared_ptr<ThreadQueue> QueueOfThread(DWORD threadId) {
    Guard g(Lock());
    auto it = T().queues.find(threadId);
    return it == T().queues.end() ? nullptr : it->second;
}

DWORD Now() {
    // Every look for messages asks the time; only tests fix the clock.
    if (!tickSourceSet.load(std::memory_order_acquire)) return static_cast<DWORD>(::GetTickCount());
    std::function<DWORD()> source;
    {
        Guard g(Lock());
        source = T().tickSource;
    }
    return source ? source() : static_cast<DWORD>(::GetTickCount());
}

void SetTickSource(std::function<DWORD()> source) {
    Guard g(Lock());
    T().tickSource = std::move(source);
    tickSourceSet.store(static_cast<bool>(T().tickSource), std::memory_order_release);
}

void RegisterClassInfo(std::shared_ptr<WindowClassInfo> info) {
    Guard g(Lock());
    T().classes.push_back(std::move(info));
}

bool UnregisterClassInfo(const std::string& name) {
    Guard g(Lock());
    for (auto it = T().classes.begin(); it != T().classes.end(); ++it)
        if (SameText((*it)->name, name)) {
            T().classes.erase(it);
            return true;
        }
    return false;
}

} // namespace pw::gui

DWORD GetCurrentThreadId() {
    if (pw::gui::currentThreadId == 0) pw::gui::currentThreadId = pw::gui::nextThreadId++;
    return pw::gui::currentThreadId;
}

ATOM RegisterClass(const WNDCLASS& wc) {
    if (!wc.lpszClassName || !*wc.lpszClassName || pw::gui::FindClass(wc.lpszClassName)) return 0;
    auto info = std::make_shared<pw::gui::WindowClassInfo>();
    info->name = wc.lpszClassName;
    info->style = wc.style;
    info->proc = wc.lpfnWndProc;
    info->background = wc.hbrBackground;
    info->cursor = wc.hCursor;
    info->icon = wc.hIcon;
    pw::gui::RegisterClassInfo(info);
    static std::atomic<ATOM> atoms{0xC000};
    return atoms++;
}

ATOM RegisterClassEx(const WNDCLASSEX& wc) {
    WNDCLASS c;
    c.style = wc.style;
    c.lpfnWndProc = wc.lpfnWndProc;
    c.hCursor = wc.hCursor;
    c.hIcon = wc.hIcon;
    c.hbrBackground = wc.hbrBackground;
    c.lpszClassName = wc.lpszClassName;
    return RegisterClass(c);
}

BOOL UnregisterClass(const char* className, HINSTANCE) {
    return className && pw::gui::UnregisterClassInfo(className);
}

BOOL GetClassInfo(HINSTANCE, const char* className, WNDCLASS& wc) {
    auto info = className ? pw::gui::FindClass(className) : nullptr;
    if (!info) return FALSE_;
    wc = WNDCLASS{};
    wc.style = info->style;
    wc.lpfnWndProc = info->proc;
    wc.hbrBackground = info->background;
    wc.hCursor = info->cursor;
    wc.hIcon = info->icon;
    wc.lpszClassName = info->name.c_str();
    return TRUE_;
}

int GetClassName(HWND hwnd, char* buffer, int maxCount) {
    auto w = pw::gui::FindLiveWindow(hwnd);
    if (!w || !buffer || maxCount <= 0) return 0;
    std::string name = w->cls ? w->cls->name : std::string();
    int n = std::min<int>(static_cast<int>(name.size()), maxCount - 1);
    std::memcpy(buffer, name.data(), static_cast<size_t>(n));
    buffer[n] = 0;
    return n;
}

DWORD GetClassLong(HWND hwnd, int index) {
    auto w = pw::gui::FindLiveWindow(hwnd);
    if (!w || !w->cls || index != GCL_STYLE) return 0;
    pw::gui::Guard g(pw::gui::Lock());
    return w->cls->style;
}

DWORD SetClassLong(HWND hwnd, int index, LONG value) {
    auto w = pw::gui::FindLiveWindow(hwnd);
    if (!w || !w->cls || index != GCL_STYLE) return 0;
    pw::gui::Guard g(pw::gui::Lock());
    DWORD old = w->cls->style;
    w->cls->style = static_cast<DWORD>(value);
    return old;
}
