#pragma once
// A reader that waits in open() for a writer of a named pipe would hang its test. While this object
// lives, such a reader is given a writer (which closes at once) after a deadline of a few seconds, so
// that the fault fails the test instead.
#include <atomic>
#include <string>
#include <thread>

namespace testsupport {

class PipeUnblocker {
public:
    explicit PipeUnblocker(std::string Path);
    ~PipeUnblocker();
    PipeUnblocker(const PipeUnblocker&) = delete;
    PipeUnblocker& operator=(const PipeUnblocker&) = delete;

private:
    void Run();
    std::string path_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace testsupport
