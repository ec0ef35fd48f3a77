#include "vcl_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/gui/message_loop.h"
#include "platform/vcl/application.h"

namespace vcl_test {

TTestBox::TTestBox(TComponent* AOwner, std::vector<std::string>* Log) : TCustomControl(AOwner), log_(Log) {
    SetTabStop(true);
    SetBounds(0, 0, 40, 20);
    if (log_) {
        OnEnter = [this](TObject*) { log_->push_back("enter " + Name()); };
        OnExit = [this](TObject*) { log_->push_back("exit " + Name()); };
    }
}

void TTestBox::Paint() {
    Canvas().Brush().SetColor(Fill);
    Canvas().FillRect(ClientRect());
}

TTestGlyph::TTestGlyph(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetBounds(0, 0, 30, 30);
}

void TTestGlyph::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_DIALOGCHAR:
        if (Enabled() && Visible() && IsAccel(TWMChar(Message).CharCode(), Caption())) {
            Click();
            Message.Result = 1;
        }
        return;
    case CM_MOUSEENTER:
        ++Enters;
        return;
    case CM_MOUSELEAVE:
        ++Leaves;
        return;
    case CM_HINTSHOW:
        if (OnHintShow) Message.Result = OnHintShow(TCMHintShow(Message));
        return;
    default:
        TGraphicControl::WndProc(Message);
    }
}

void TTestGlyph::Paint() {
    Canvas().Brush().SetColor(Fill);
    Canvas().FillRect(TRect{0, 0, Width(), Height()});
}

TScriptedPrompter::TScriptedPrompter() {
    pw::vcl::SetPrompter(this);
}

TScriptedPrompter::~TScriptedPrompter() {
    pw::vcl::SetPrompter(nullptr);
}

pw::vcl::PromptAnswer TScriptedPrompter::Ask(const pw::vcl::PromptRequest& request) {
    Asked.push_back(request);
    if (Answers.empty()) return pw::vcl::DefaultAnswer(request);
    pw::vcl::PromptAnswer a = Answers.front();
    Answers.erase(Answers.begin());
    return a;
}

TForm* MakeForm(int ClientWidth, int ClientHeight) {
    auto* form = new TForm(nullptr);
    form->SetBounds(100, 100, 200, 200);
    form->SetClientWidth(ClientWidth);
    form->SetClientHeight(ClientHeight);
    return form;
}

void ShowAndPump(TForm* form) {
    form->Show();
    Pump();
}

} // namespace vcl_test
