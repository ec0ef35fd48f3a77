#pragma once
// Every question the program asks a person goes through one prompt interface: message boxes, input
// boxes and the file, folder and colour dialogs. Tests install their own answerer; with nobody at the
// screen the default answer is given.
#include <string>
#include <vector>

#include "platform/gui/prompt_request.h"

namespace pw::vcl {

using pw::gui::PromptAnswer;
using pw::gui::PromptButton;
using pw::gui::PromptKind;
using pw::gui::PromptRequest;
using pw::gui::ToolkitNameFilters;

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
// The toolkit's own dialogs, through the window system's backend (the default answer without one).
PromptAnswer AskToolkit(const PromptRequest& request);
// A message box of the program's own for a person at the screen, in place of the toolkit's (nullptr:
// the toolkit's again); the controls library, above this one, brings it.
using MessageWindow = PromptAnswer (*)(const PromptRequest& request);
void SetMessageWindow(MessageWindow window);

} // namespace pw::vcl
