#include "platform/vcl/prompt.h"

#include "platform/gui/backend.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"

namespace pw::vcl {
namespace {

Prompter* installed = nullptr;
MessageWindow messageWindow = nullptr;

} // namespace

void SetMessageWindow(MessageWindow window) {
    messageWindow = window;
}

void SetPrompter(Prompter* prompter) {
    installed = prompter;
}

bool PrompterInstalled() {
    return installed != nullptr;
}

bool PersonAtScreen() {
    return !Application->Headless() && !FindCmdLineSwitch("auto");
}

PromptAnswer DefaultAnswer(const PromptRequest& request) {
    PromptAnswer answer;
    if (request.kind == PromptKind::Message) {
        answer.result = request.defaultButton < request.buttons.size()
                            ? request.buttons[request.defaultButton].result
                            : request.cancelResult;
    } else {
        answer.result = IDCANCEL;
        answer.value = request.value;
        answer.filterIndex = request.filterIndex;
        answer.color = request.color;
    }
    return answer;
}

PromptAnswer AskToolkit(const PromptRequest& request) {
    if (auto* backend = pw::gui::CurrentBackend()) return backend->Ask(request);
    return DefaultAnswer(request);
}

PromptAnswer Ask(const PromptRequest& request) {
    if (installed) return installed->Ask(request);
    if (!PersonAtScreen()) return DefaultAnswer(request);
    if (request.kind == PromptKind::Message && messageWindow != nullptr) return messageWindow(request);
    return AskToolkit(request);
}

} // namespace pw::vcl
