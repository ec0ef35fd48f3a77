#pragma once
// Throw-away folders and whole-file reads and writes for tests.
#include <string>

namespace testsupport {

// A fresh folder under /tmp, removed with its contents when the object goes.
class TempDir {
public:
    // Throws std::runtime_error when the folder cannot be made.
    explicit TempDir(const std::string& prefix = "pw-test");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Writes the file whole, making its folders first.
void WriteFile(const std::string& path, const std::string& content);
// The file's bytes; empty when it cannot be read.
std::string ReadFile(const std::string& path);

} // namespace testsupport
