#include "tests/support/pipe_unblocker.h"

#include <chrono>
#include <fcntl.h>
#include <unistd.h>

namespace testsupport {

PipeUnblocker::PipeUnblocker(std::string Path) : path_(std::move(Path)), thread_([this] { Run(); }) {}

PipeUnblocker::~PipeUnblocker() {
    stop_ = true;
    thread_.join();
}

void PipeUnblocker::Run() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!stop_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (std::chrono::steady_clock::now() < deadline) continue;
        // Succeeds only while a reader waits; without one it fails at once (ENXIO).
        const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) ::close(fd);
    }
}

} // namespace testsupport
