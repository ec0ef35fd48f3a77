#pragma once
// An "xdg-open" of the test's own first on PATH, which writes down each address it is asked to open.
#include <filesystem>
#include <string>
#include <vector>

namespace app_test {

class FakeOpener {
public:
    explicit FakeOpener(const std::filesystem::path& Dir);
    ~FakeOpener();
    // What was opened, in order, once Count have arrived (pumping messages, with a deadline).
    std::vector<std::string> Opened(size_t Count = 1) const;
    // What was opened so far.
    std::vector<std::string> OpenedNow() const;

private:
    std::filesystem::path log_;
    std::string oldPath_;
};

} // namespace app_test
