#pragma once
// File and folder helpers of the application. Paths use "/".
#include "platform/rtl/date_time.h"
#include "platform/rtl/file_types.h" // IsFileTypeInList
#include "platform/rtl/paths.h"      // DesktopFolder

#include <string>

// Appends Text and CR LF to an existing file; EInOutError when the file cannot be opened or written.
bool AppendLine(const std::string& Text, const std::string& FileName);
// The folder of the running program, with a trailing "/".
std::string ProgramFolder();
std::string ModuleFolder();
// S with a "/" appended when it is not empty and does not end with one.
std::string IncludeBackslash(const std::string& S);
// The whole file; EFOpenError when it cannot be opened.
std::string ReadFileText(const std::string& FileName);
// The user's desktop folder as the desktop's user-dirs file names it, else the home folder; no trailing "/".
// Name holds one of \ / : * ? " < > | (names that not every file system the user shares to accepts).
bool HasInvalidFileNameChars(const std::string& Name);
// Replaces the file as a whole (through a temporary file); EFCreateError on failure.
bool WriteStringToFile(const std::string& Text, const std::string& FileName);
// The file's last-write time as local time; the current time when it cannot be read.
TDateTime FileDate(const std::string& FileName);
