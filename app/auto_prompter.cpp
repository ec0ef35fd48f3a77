#include "app/auto_prompter.h"

#include "app/console_message.h"

namespace mainwin {

pw::vcl::PromptAnswer AutoPrompter::Ask(const pw::vcl::PromptRequest& Request) {
    if (Request.kind == pw::vcl::PromptKind::Message)
        PrintMessage(out_, (Request.caption.empty() ? "" : Request.caption + ": ") + Request.text);
    return pw::vcl::DefaultAnswer(Request);
}

} // namespace mainwin
