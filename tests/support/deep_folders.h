#pragma once
// A chain of folders deeper than the system's path limit, made and removed folder by folder from an open
// one, as no path to its bottom can be given whole.
#include <string>
#include <vector>

namespace testsupport {

class DeepFolders {
public:
    // Levels folders one inside the other below Top, with a page in every PageEvery-th one (none for 0).
    // NameLength 0 names each folder after its level ("folder-007"); any other gives every folder the
    // same name of that many letters.
    DeepFolders(const std::string& Top, int Levels, int PageEvery = 0, int NameLength = 0);
    ~DeepFolders();
    DeepFolders(const DeepFolders&) = delete;
    DeepFolders& operator=(const DeepFolders&) = delete;

    std::string Name(int Level) const;
    static std::string PageName(int Level) { return "page-" + std::to_string(Level) + ".html"; }
    // The path of the folder at a level below the top, with its "/".
    std::string Relative(int Level) const;
    // The levels that got a page.
    const std::vector<int>& Pages() const { return made_; }
    // Every level was made.
    bool Made() const { return levels_ == madeLevels_; }

private:
    std::string top_;
    int levels_;
    int nameLength_;
    int madeLevels_ = 0;
    std::vector<int> made_;
};

} // namespace testsupport
