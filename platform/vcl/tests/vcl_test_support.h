#pragma once
// Shared pieces of the class-library tests: the shared pump, and small controls that record what
// happens to them.
#include <functional>
#include <string>
#include <vector>

#include "platform/vcl/application.h"
#include "platform/vcl/custom_control.h"
#include "platform/vcl/form.h"
#include "platform/vcl/prompt.h"
#include "tests/support/gui/pump.h"

namespace vcl_test {

using testsupport::Pump;
using testsupport::PumpFor;
using testsupport::PumpTimerTicks;
using testsupport::PumpUntil;

// A windowed control that can take the focus and records its events by name.
class TTestBox : public TCustomControl {
public:
    explicit TTestBox(TComponent* AOwner, std::vector<std::string>* Log = nullptr);
    std::string ClassName() const override { return "TTestBox"; }
    TColor Fill = clWhite;

protected:
    void Paint() override;

private:
    std::vector<std::string>* log_;
};

// A windowless control with a caption whose accelerator clicks it.
class TTestGlyph : public TGraphicControl {
public:
    explicit TTestGlyph(TComponent* AOwner);
    std::string ClassName() const override { return "TTestGlyph"; }
    void WndProc(TMessage& Message) override;
    TColor Fill = clRed;
    int Enters = 0;
    int Leaves = 0;
    // Answers CM_HINTSHOW: may change the hint (its LParam is the hint information) and cancel it.
    std::function<LRESULT(TCMHintShow)> OnHintShow;

protected:
    void Paint() override;
};

// Answers every prompt with the next queued answer, or the default one when none is left.
class TScriptedPrompter : public pw::vcl::Prompter {
public:
    TScriptedPrompter();
    ~TScriptedPrompter() override;
    pw::vcl::PromptAnswer Ask(const pw::vcl::PromptRequest& request) override;
    std::vector<pw::vcl::PromptRequest> Asked;
    std::vector<pw::vcl::PromptAnswer> Answers;
};

// A form placed on the screen, with nothing else open.
TForm* MakeForm(int ClientWidth = 300, int ClientHeight = 200);
// Shows the form and pumps, so that it is painted and active.
void ShowAndPump(TForm* form);

// A control of class T owned by and put on parent, at its own default bounds or at r.
template <class T> T* Place(TWinControl* parent) {
    auto* c = new T(parent);
    c->SetParent(parent);
    return c;
}
template <class T> T* Place(TWinControl* parent, const TRect& r) {
    auto* c = new T(parent);
    c->SetBounds(r.left, r.top, r.Width(), r.Height());
    c->SetParent(parent);
    return c;
}

} // namespace vcl_test
