#include "app/auto_prompter.h"

#include <ostream>

namespace mainwin {

pw::vcl::PromptAnswer AutoPrompter::Ask(const pw::vcl::PromptRequest& Request) {
    if (Request.kind == pw::vcl::PromptKind::Message) {
        std::string text = Request.text;
        for (char& c : text)
            if (c == '\r') c = ' ';
        out_ << "pathweaver: " << (Request.caption.empty() ? "" : Request.caption + ": ") << text
             << std::endl;
    }
    return pw::vcl::DefaultAnswer(Request);
}

} // namespace mainwin
