#pragma once
#include "platform/gui/prompt_request.h"

namespace pw::gui::qt {

// Shows the toolkit's dialog for the request and waits for the person's answer (a local loop runs).
PromptAnswer AskWithDialog(const PromptRequest& request);

} // namespace pw::gui::qt
