#pragma once
// The program's own message box: a dialog of this window system, in the colours and font of the
// program's other windows, with the icon, text and buttons of a message request.
#include <memory>
#include <vector>

#include "platform/vcl/custom_control.h"
#include "platform/vcl/form.h"
#include "platform/vcl/prompt.h"

class TButton;
class TLabel;

namespace pw::stdctrls {

class TMessageForm : public TForm {
public:
    // Request: a message (kind Message) with at least one button; an empty list gets "OK".
    explicit TMessageForm(const pw::vcl::PromptRequest& Request);
    ~TMessageForm() override;
    std::string ClassName() const override { return "TMessageForm"; }
    void WndProc(TMessage& Message) override;
    void CreateParams(TCreateParams& Params) override;

    // The request's answer for how the box was closed: a button's result, or the close result.
    int Answer() const;

    std::vector<TButton*> Buttons;
    TLabel* Message = nullptr;
    // The request's icon; none when it asks for none.
    TGraphicControl* Icon = nullptr;

private:
    pw::vcl::PromptRequest request_;
};

// Shows the box modally and gives its answer.
pw::vcl::PromptAnswer AskMessageForm(const pw::vcl::PromptRequest& Request);
// Message requests go to TMessageForm from now on, instead of the toolkit's own box.
void InstallMessageForm();

} // namespace pw::stdctrls
