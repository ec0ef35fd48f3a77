#pragma once
// Real folders for the scan tests, made under /tmp and removed afterwards.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace results_test {

class TempSite {
public:
    TempSite() {
        char pattern[] = "/tmp/pw-results-XXXXXX";
        if (mkdtemp(pattern) != nullptr) root_ = std::string(pattern) + "/site/";
        std::filesystem::create_directories(root_);
    }
    ~TempSite() {
        std::error_code ignored;
        std::filesystem::path top = std::filesystem::path(root_).parent_path().parent_path();
        for (auto it = std::filesystem::recursive_directory_iterator(top, ignored);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ignored))
            if (!it->is_symlink()) chmod(it->path().c_str(), 0700);
        std::filesystem::remove_all(top, ignored);
    }
    TempSite(const TempSite&) = delete;
    TempSite& operator=(const TempSite&) = delete;

    // The scanned folder, with its trailing "/".
    const std::string& Root() const { return root_; }
    std::string Write(const std::string& relative, const std::string& bytes) const {
        std::filesystem::path p = root_ + relative;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }
    std::string Folder(const std::string& relative) const {
        std::filesystem::create_directories(root_ + relative);
        return root_ + relative;
    }
    void Touch(const std::string& relative, std::time_t when) const {
        struct timespec times[2] = {{when, 0}, {when, 0}};
        utimensat(AT_FDCWD, (root_ + relative).c_str(), times, 0);
    }

private:
    std::string root_;
};

class ScopedTz {
public:
    explicit ScopedTz(const char* zone) {
        if (const char* old = std::getenv("TZ")) old_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTz() {
        if (old_)
            setenv("TZ", old_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    ScopedTz(const ScopedTz&) = delete;
    ScopedTz& operator=(const ScopedTz&) = delete;

private:
    std::optional<std::string> old_;
};

} // namespace results_test
