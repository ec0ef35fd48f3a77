#pragma once
// Opening files that the user or another program may have replaced by something else: a folder, a
// named pipe, a device, a loop of links. Only a regular file is opened, and never in a way that waits
// (a named pipe without a writer would block an ordinary open for ever).
#include <string>

// path opened with flags (O_CLOEXEC and O_NOCTTY added), or -1 with errno set: EISDIR for a folder,
// EINVAL for anything else that is no regular file. With O_CREAT a missing file is created.
int OpenRegularFile(const std::string& path, int flags, unsigned mode = 0666);

// The symbolic link on the way to path, path itself or one of its folders, that leads to nothing (its
// destination does not exist); empty when there is none. A missing file behind such a link is not missing
// for good: a drive that is not mounted, a folder moved away. It must not be taken for "nothing stored".
std::string LinkLeadingNowhere(const std::string& path);

// What keeps path from being read as a file, in words for a message ("it is a folder", "it is a named
// pipe (FIFO)", "there is no such file", "<folder> is not a folder", ...); empty for a regular file that
// this user may read.
std::string RegularFileProblem(const std::string& path);
// Why an open of path failed with errno error: RegularFileProblem, else the error's own text.
std::string FileOpenProblem(const std::string& path, int error);
// EFOpenError "Cannot open file <path>: <FileOpenProblem>".
[[noreturn]] void RaiseOpenError(const std::string& path, int error);
