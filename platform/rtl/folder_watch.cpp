#include "platform/rtl/folder_watch.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace pw::rtl {
namespace {

// A file written, made, renamed in or out, removed or given other rights; and the folder itself going.
constexpr uint32_t kWatchedEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE |
                                    IN_MODIFY | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;

} // namespace

FolderWatch::FolderWatch(const std::string& folder)
    : inotify_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), stop_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    if (inotify_ >= 0 && !folder.empty())
        watch_ = inotify_add_watch(inotify_, folder.c_str(), kWatchedEvents | IN_ONLYDIR);
}

FolderWatch::~FolderWatch() {
    if (inotify_ >= 0) close(inotify_);
    if (stop_ >= 0) close(stop_);
}

WatchResult FolderWatch::Wait(int timeoutMs) {
    pollfd fds[2] = {{stop_, POLLIN, 0}, {watch_ >= 0 ? inotify_ : -1, POLLIN, 0}};
    int ready = 0;
    while ((ready = poll(fds, 2, timeoutMs)) < 0 && errno == EINTR) {
    }
    if (fds[0].revents != 0) return WatchResult::Stopped;
    if (ready <= 0 || fds[1].revents == 0) return WatchResult::Timeout;
    // Only that something changed matters to the watcher, not what: the events are read and dropped.
    alignas(inotify_event) char buffer[4096];
    while (read(inotify_, buffer, sizeof buffer) > 0) {
    }
    return WatchResult::Changed;
}

void FolderWatch::Stop() {
    const uint64_t one = 1;
    while (write(stop_, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

} // namespace pw::rtl
