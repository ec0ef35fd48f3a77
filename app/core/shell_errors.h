#pragma once
// Why opening a document with its associated program failed, by the shell's result code.
#include <string>

inline constexpr const char* ShellErrorCaption = "Error";
inline constexpr const char* PathTooLongText =
    "The path to the file is too long, please ensure the path is less than 255 characters.";

// The text for a result below 33; empty for 33 and above (success).
std::string ShellErrorText(int Code);
// The whole message box text: "Unable to execute file:\n\n" + the code's text; empty for success.
std::string ShellErrorMessage(int Code);
// The same, naming what could not be opened: "Unable to execute file:\n\n" + File + "\n\n" + the text.
std::string ShellErrorMessage(int Code, const std::string& File);
