#pragma once
// Temporary folders and a private configuration folder and desktop for each test, so that nothing touches
// the user's files.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace appcore_test {

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/pw-test-XXXXXX";
        if (mkdtemp(pattern) != nullptr) path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// HOME and XDG_CONFIG_HOME inside a temporary folder; UserConfigDir() is <tmp>/config/pathweaver/.
class UserFolders {
public:
    UserFolders() : home_("HOME", root_ / "home"), config_("XDG_CONFIG_HOME", root_ / "config") {
        std::filesystem::create_directories(root_.path() / "home");
    }
    const TempDir& root() const { return root_; }
    std::string ConfigDir() const { return root_ / "config/pathweaver/"; }

private:
    TempDir root_;
    ScopedEnv home_;
    ScopedEnv config_;
};

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace appcore_test
