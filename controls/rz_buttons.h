#pragma once
// Check boxes, radio buttons and picture buttons of the framed look. Writing Checked true fires
// OnClick, as the windows' state handlers rely on.
#include "platform/stdctrls/bit_btn.h"
#include "platform/stdctrls/buttons.h"

class TRzCheckBox : public TCheckBox {
public:
    explicit TRzCheckBox(TComponent* AOwner) : TCheckBox(AOwner) {}
    std::string ClassName() const override { return "TRzCheckBox"; }
};

class TRzRadioButton : public TRadioButton {
public:
    explicit TRzRadioButton(TComponent* AOwner) : TRadioButton(AOwner) {}
    std::string ClassName() const override { return "TRzRadioButton"; }
};

class TRzBitBtn : public TBitBtn {
public:
    explicit TRzBitBtn(TComponent* AOwner) : TBitBtn(AOwner) {}
    std::string ClassName() const override { return "TRzBitBtn"; }
};
