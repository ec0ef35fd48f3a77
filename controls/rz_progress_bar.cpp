#include "controls/rz_progress_bar.h"

#include <algorithm>
#include <cstdint>

TRzProgressBar::TRzProgressBar(TComponent* AOwner) : TProgressBar(AOwner) {
    SetSmooth(true);
}

void TRzProgressBar::SetTotalParts(int Value) {
    totalParts_ = std::max(Value, 0);
    if (ComponentState().Contains(csLoading))
        partsComplete_ = std::min(partsComplete_, totalParts_);
    else
        partsComplete_ = 0;
    ShowProgress();
}

void TRzProgressBar::SetPartsComplete(int Value) {
    partsComplete_ = std::clamp(Value, 0, totalParts_);
    ShowProgress();
}

int TRzProgressBar::Percent() const {
    if (totalParts_ == 0) return 0;
    return static_cast<int>(int64_t{partsComplete_} * 100 / totalParts_);
}

void TRzProgressBar::ShowProgress() {
    SetPosition(Percent());
}
