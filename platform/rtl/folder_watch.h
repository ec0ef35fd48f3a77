#pragma once
// Tells a waiting thread that files of one folder appeared, changed or went, as the system reports it
// (inotify): no polling. Stop, from any thread, ends a wait at once, so a watching thread ends with
// its control.
#include <string>

namespace pw::rtl {

enum class WatchResult { Changed, Timeout, Stopped };

class FolderWatch {
public:
    // Watching() is false when the folder cannot be watched (it does not exist, or the system's
    // watches are used up); Wait then only ends by Stop or its time.
    explicit FolderWatch(const std::string& folder);
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    bool Watching() const { return watch_ >= 0; }
    // Waits up to timeoutMs (-1: without end) for changes; every change reported meanwhile is taken
    // at once, so a burst of writes answers Changed once. Stopped once Stop was called, for good.
    WatchResult Wait(int timeoutMs);
    void Stop();

private:
    int inotify_ = -1;
    int watch_ = -1;
    int stop_ = -1;
};

} // namespace pw::rtl
