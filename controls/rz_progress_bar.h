#pragma once
// A progress bar counted in parts: a total and the parts completed so far.
#include "platform/stdctrls/bars.h"

class TRzProgressBar : public TProgressBar {
public:
    explicit TRzProgressBar(TComponent* AOwner);
    std::string ClassName() const override { return "TRzProgressBar"; }

    int TotalParts() const { return totalParts_; }
    // Starts over: the completed parts go back to 0, except while the control is read from a stream,
    // where the completed parts may come first.
    void SetTotalParts(int Value);
    int PartsComplete() const { return partsComplete_; }
    // Kept within 0..TotalParts.
    void SetPartsComplete(int Value);
    // Percent of the total completed (0 when there is no total).
    int Percent() const;

private:
    void ShowProgress();

    int totalParts_ = 0;
    int partsComplete_ = 0;
};
