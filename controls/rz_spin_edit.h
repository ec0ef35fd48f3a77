#pragma once
// An edit for a number, with up and down buttons and the arrow keys stepping it by Increment
// within Min..Max.
#include <memory>
#include <string>

#include "controls/frame_link.h"
#include "platform/stdctrls/edit.h"

namespace rz {
class EditButtons;
}

class TRzSpinEdit : public TRzFramed<TCustomEdit> {
public:
    explicit TRzSpinEdit(TComponent* AOwner);
    ~TRzSpinEdit() override;
    std::string ClassName() const override { return "TRzSpinEdit"; }

    // Kept within Min..Max and rounded to Decimals places; the text shows it.
    long double Value() const { return value_; }
    void SetValue(long double Value);
    long double Min() const { return min_; }
    void SetMin(long double Value);
    long double Max() const { return max_; }
    void SetMax(long double Value);
    // Places after the decimal point, shown and kept (none with IntegersOnly).
    int Decimals() const { return decimals_; }
    void SetDecimals(int Value);
    long double Increment() const { return increment_; }
    void SetIncrement(long double Value) { increment_ = Value; }
    bool IntegersOnly() const { return integersOnly_; }
    void SetIntegersOnly(bool Value);
    // Whether the number may be typed; the buttons and arrow keys work either way.
    bool AllowKeyEdit() const { return allowKeyEdit_; }
    void SetAllowKeyEdit(bool Value) { allowKeyEdit_ = Value; }

    // What the up and down buttons do.
    void IncValue(long double Amount);
    void DecValue(long double Amount) { IncValue(-Amount); }
    void WndProc(TMessage& Message) override;

protected:
    void CreateWnd() override;
    void Change() override;
    void DoExit() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

private:
    int Places() const { return integersOnly_ ? 0 : decimals_; }
    long double Fit(long double Value) const;
    std::string FormatValue(long double Value) const;
    void ShowValue();

    std::unique_ptr<rz::EditButtons> buttons_;
    long double value_ = 0;
    long double min_ = 0;
    long double max_ = 100;
    long double increment_ = 1;
    int decimals_ = 0;
    bool integersOnly_ = true;
    bool allowKeyEdit_ = true;
    // The text is being written from the value: it is no new number typed.
    bool showing_ = false;
};
