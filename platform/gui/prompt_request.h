#pragma once
// A question for a person, as the toolkit's own dialogs ask it: message box, input box, file, folder and
// colour dialogs. The class library's prompt interface builds these; the backend shows them.
#include <string>
#include <vector>

#include "platform/rtl/colors.h"
#include "platform/rtl/wintypes.h"

namespace pw::gui {

enum class PromptKind { Message, Input, OpenFile, SaveFile, SelectFolder, Color };

struct PromptButton {
    std::string caption;
    int result = 0;
};

struct PromptRequest {
    PromptKind kind = PromptKind::Message;
    std::string caption;
    std::string text;
    // One of the MB_ICON* values, 0 for none.
    unsigned icon = 0;
    // Message: the window the box belongs to and is kept in front of; none for a box of its own.
    HWND owner = nullptr;
    std::vector<PromptButton> buttons;
    size_t defaultButton = 0;
    // What closing the box without a button answers.
    int cancelResult = 0;
    // Input: the proposed text; file and folder dialogs: the proposed file name or folder.
    std::string value;
    // Input: the text typed is shown as "*" (a password).
    bool masked = false;
    std::string filter;
    int filterIndex = 1;
    std::string initialDir;
    std::string defaultExt;
    bool multiSelect = false;
    TColor color = 0;
};

struct PromptAnswer {
    // Message: the chosen button's result; other kinds: IDOK or IDCANCEL.
    int result = 0;
    std::string value;
    std::vector<std::string> files;
    int filterIndex = 1;
    TColor color = 0;
};

// A dialog filter "Web pages|*.htm;*.html|All files|*.*" as the toolkit's name filters:
// "Web pages (*.htm *.html)", "All files (*)". Empty patterns are dropped; a description without
// patterns is left out.
std::vector<std::string> ToolkitNameFilters(const std::string& filter);

} // namespace pw::gui
