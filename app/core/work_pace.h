#pragma once
// The pace of long work on the GUI thread (a scan, a crawl, writing the site map). The message loop runs
// at most once every few milliseconds, so input is still answered at once but the work is not slowed by
// turning it for every file, folder or node; and what the work shows is painted at most 30 times a
// second, so painting does not pace the work either.
#include <chrono>
#include <functional>
#include <utility>

class TWorkPace {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kTurnEvery{5};
    static constexpr std::chrono::milliseconds kPaintEvery{33};

    // ProcessMessages runs the message loop with painting; Unpainted without it (input, timers and posted
    // messages only; given nothing, every turn paints). Now is the clock (tests give their own).
    explicit TWorkPace(std::function<void()> ProcessMessages, std::function<void()> Unpainted = {},
                       std::function<Clock::time_point()> Now = {});

    // Where the work may let the message loop run: it runs when kTurnEvery has passed since it last ran,
    // painting when kPaintEvery has passed since it last painted. True when it ran.
    bool Turn();
    // The loop runs now, painting: a step whose order of events asks for it, or the end of the work.
    void TurnNow();
    // True when a turn would run now: the moment to put fresh progress into labels the turn may paint.
    bool Due() const;
    // How long until a turn is due (zero when one is): how long a wait for other work may sleep.
    Clock::duration UntilDue() const;
    // A new piece of work: the next Turn runs at once.
    void Restart();
    void SetClock(std::function<Clock::time_point()> Now) { now_ = std::move(Now); }

    // Runs before every turn of the loop: what the work keeps back for the window (lines of a log) goes
    // to it now, so that the window takes it in few large pieces rather than one per item.
    std::function<void()> OnTurn;

    // How often the loop ran, and how often it painted.
    long Turns() const { return turns_; }
    long Paints() const { return paints_; }

private:
    Clock::time_point Now() const { return now_ ? now_() : Clock::now(); }
    void Run(Clock::time_point At, bool Paint);

    std::function<void()> processMessages_;
    std::function<void()> unpainted_;
    std::function<Clock::time_point()> now_;
    bool started_ = false;
    Clock::time_point turned_{};
    Clock::time_point painted_{};
    long turns_ = 0;
    long paints_ = 0;
};
