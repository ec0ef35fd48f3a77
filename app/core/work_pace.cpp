#include "app/core/work_pace.h"

#include <utility>

TWorkPace::TWorkPace(std::function<void()> ProcessMessages, std::function<void()> Unpainted,
                     std::function<Clock::time_point()> Now)
    : processMessages_(std::move(ProcessMessages)), unpainted_(std::move(Unpainted)), now_(std::move(Now)) {}

bool TWorkPace::Due() const {
    return !started_ || Now() - turned_ >= kTurnEvery;
}

TWorkPace::Clock::duration TWorkPace::UntilDue() const {
    if (!started_) return Clock::duration::zero();
    const Clock::duration left = turned_ + kTurnEvery - Now();
    return left > Clock::duration::zero() ? left : Clock::duration::zero();
}

bool TWorkPace::Turn() {
    const Clock::time_point at = Now();
    if (started_ && at - turned_ < kTurnEvery) return false;
    Run(at, !started_ || !unpainted_ || at - painted_ >= kPaintEvery);
    return true;
}

void TWorkPace::TurnNow() {
    Run(Now(), true);
}

void TWorkPace::Restart() {
    started_ = false;
}

void TWorkPace::Run(Clock::time_point At, bool Paint) {
    // The times are taken before the loop runs: a handler that runs long does not push the next turn away.
    started_ = true;
    turned_ = At;
    ++turns_;
    if (OnTurn) OnTurn();
    if (Paint) {
        painted_ = At;
        ++paints_;
        if (processMessages_) processMessages_();
    } else {
        unpainted_();
    }
}
