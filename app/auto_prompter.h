#pragma once
// The answerer of an unattended run: every message goes to stderr, every question gets its default
// answer and every dialog is cancelled.
#include <iosfwd>

#include "platform/vcl/prompt.h"

namespace mainwin {

class AutoPrompter : public pw::vcl::Prompter {
public:
    explicit AutoPrompter(std::ostream& Out) : out_(Out) {}
    pw::vcl::PromptAnswer Ask(const pw::vcl::PromptRequest& Request) override;

private:
    std::ostream& out_;
};

} // namespace mainwin
