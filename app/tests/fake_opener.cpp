#include "fake_opener.h"

#include <cstdlib>
#include <fstream>

#include "platform/vcl/application.h"
#include "tests/support/wait.h"

namespace app_test {

FakeOpener::FakeOpener(const std::filesystem::path& Dir) : log_(Dir / "opened.txt") {
    const std::filesystem::path bin = Dir / "opener-bin";
    std::filesystem::create_directories(bin);
    std::ofstream(bin / "xdg-open") << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << log_.string() << "'\n";
    std::filesystem::permissions(bin / "xdg-open", std::filesystem::perms::owner_all);
    oldPath_ = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (bin.string() + ":" + oldPath_).c_str(), 1);
}

FakeOpener::~FakeOpener() {
    setenv("PATH", oldPath_.c_str(), 1);
}

std::vector<std::string> FakeOpener::OpenedNow() const {
    std::vector<std::string> lines;
    std::ifstream in(log_);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> FakeOpener::Opened(size_t Count) const {
    testsupport::WaitUntil([&] {
        Application->ProcessMessages();
        return OpenedNow().size() >= Count;
    });
    return OpenedNow();
}

} // namespace app_test
