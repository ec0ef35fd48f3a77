#pragma once
// Framed single-line edits, memos, and an edit with a button at its right end. Writing Text fires
// OnChange.
#include <memory>
#include <string>

#include "controls/frame_link.h"
#include "platform/stdctrls/edit.h"

class THintWindow;
namespace rz {
class EditButtons;
}

class TRzEdit : public TRzFramed<TEdit> {
public:
    explicit TRzEdit(TComponent* AOwner) : TRzFramed<TEdit>(AOwner) {}
    std::string ClassName() const override { return "TRzEdit"; }
};

class TRzMemo : public TRzFramed<TMemo> {
public:
    explicit TRzMemo(TComponent* AOwner) : TRzFramed<TMemo>(AOwner) {}
    std::string ClassName() const override { return "TRzMemo"; }
    // Moves the caret and scrolls it into view.
    void SetSelStart(int Value);
};

class TRzButtonEdit : public TRzFramed<TEdit> {
public:
    explicit TRzButtonEdit(TComponent* AOwner);
    ~TRzButtonEdit() override;
    std::string ClassName() const override { return "TRzButtonEdit"; }

    // Shown while the pointer rests on the button.
    const std::string& ButtonHint() const { return buttonHint_; }
    void SetButtonHint(const std::string& Value) { buttonHint_ = Value; }
    bool ButtonVisible() const { return buttonVisible_; }
    void SetButtonVisible(bool Value);
    // Presses the button as the user would.
    void ButtonClick();
    void WndProc(TMessage& Message) override;

    TNotifyEvent OnButtonClick;

private:
    void ShowButtonHint(bool Show);

    std::unique_ptr<rz::EditButtons> buttons_;
    std::unique_ptr<THintWindow> hint_;
    std::string buttonHint_;
    bool buttonVisible_ = true;
};
