#pragma once
// Every question the program asks a person goes through one prompt interface: message boxes, input
// boxes and the file, folder and colour dialogs. Tests install their own answerer; with nobody at the
// screen the default answer is given.
#include <string>
#include <vector>

#include "platform/rtl/colors.h"
#include "platform/rtl/wintypes.h"

namespace pw::vcl {

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

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual PromptAnswer Ask(const PromptRequest& request) = 0;
};

// Installs the answerer (nullptr: back to the default one); the caller keeps it alive.
void SetPrompter(Prompter* prompter);
bool PrompterInstalled();
PromptAnswer Ask(const PromptRequest& request);
// What nobody at the screen answers: the default button, and Cancel for every other dialog.
PromptAnswer DefaultAnswer(const PromptRequest& request);
// A person sees the screen: a display and no unattended run (-auto).
bool PersonAtScreen();
// A dialog filter "Web pages|*.htm;*.html|All files|*.*" as the toolkit's name filters:
// "Web pages (*.htm *.html)", "All files (*)". Empty patterns are dropped; a description without
// patterns is left out.
std::vector<std::string> ToolkitNameFilters(const std::string& filter);
// The toolkit's own dialogs (in qt/).
PromptAnswer AskToolkit(const PromptRequest& request);

} // namespace pw::vcl
