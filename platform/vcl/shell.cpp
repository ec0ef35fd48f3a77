#include "platform/vcl/shell.h"

#include "platform/rtl/paths.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <vector>

#include "platform/rtl/files.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/thread.h"

extern char** environ;

namespace {

bool IsAddress(const std::string& file) {
    return file.find("://") != std::string::npos || file.rfind("mailto:", 0) == 0;
}

int ResultOfExit(int status) {
    if (!WIFEXITED(status)) return SE_ERR_NOASSOC;
    switch (WEXITSTATUS(status)) {
    case 0:
        return 42;
    case 2:
        return SE_ERR_FNF;
    case 127:
    case 3:
    case 4:
        return SE_ERR_NOASSOC;
    default:
        return ERROR_BAD_FORMAT;
    }
}

} // namespace

int ShellOpenDocument(const std::string& File, const std::string& Directory, TShellFailure OnFailure) {
    if (File.empty()) return SE_ERR_FNF;
    std::string target = File;
    if (!IsAddress(File)) {
        if (File[0] != '/' && !Directory.empty()) target = Directory + "/" + File;
        if (!FileExists(target) && !DirectoryExists(target)) {
            std::string dir = ExtractFilePath(target);
            return !dir.empty() && !DirectoryExists(dir) ? SE_ERR_PNF : SE_ERR_FNF;
        }
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!Directory.empty() && DirectoryExists(Directory))
        posix_spawn_file_actions_addchdir_np(&actions, Directory.c_str());
    std::string program = "xdg-open";
    std::vector<char*> argv{program.data(), target.data(), nullptr};
    pid_t pid = 0;
    int rc = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return SE_ERR_NOASSOC;
    // A handler may take seconds, or run as long as the viewer it started: the window never waits for
    // it. Its end is awaited aside, and a failure comes back to the main thread.
    std::thread([pid, File, onFailure = std::move(OnFailure)] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        const int code = ResultOfExit(status);
        if (code < 33 && onFailure)
            TThread::Queue(nullptr, [File, code, onFailure] { onFailure(File, code); });
    }).detach();
    return 42;
}

int ShellExecute(HWND Owner, const std::string& Operation, const std::string& File,
                 const std::string& Parameters, const std::string& Directory, int ShowCmd) {
    (void)Owner;
    (void)Parameters;
    (void)ShowCmd;
    if (!Operation.empty() && !SameText(Operation, "open")) return SE_ERR_NOASSOC;
    return ShellOpenDocument(File, Directory, nullptr);
}

bool SHGetSpecialFolderPath(HWND Owner, std::string& Path, int Folder, bool Create) {
    (void)Owner;
    (void)Create;
    switch (Folder) {
    case CSIDL_DESKTOP:
    case CSIDL_DESKTOPDIRECTORY:
        Path = DesktopFolder();
        return true;
    case CSIDL_PERSONAL:
        Path = HomeFolder();
        return true;
    default:
        return false;
    }
}
