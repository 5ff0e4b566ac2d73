// The one-second tick: aligned to the wall clock's second boundaries, and
// every second handled exactly once, even when the timer fires late or a
// nested message loop runs a tick inside another. TClockHeart hands each
// second to the program's per-second work; the window only arms its timer.
#pragma once

#include "core/DateTime.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tempora {

class TSecondTicker {
public:
    // Seconds further back than this are not replayed: the clock was changed
    // or the machine slept.
    static constexpr int64_t kMaxCatchUp = 60;
    // The timer aims this far past the boundary, so that it never lands just
    // before it because of the platform timer's granularity.
    static constexpr int64_t kAimPastBoundaryMs = 2;

    // Takes the next second to handle at wall-clock time nowMs (milliseconds
    // since 1970 UTC) and marks it handled before the caller runs anything;
    // false when every second up to now is handled. The first call, and the
    // first after a jump of more than kMaxCatchUp seconds either way, yields
    // just the current second. A clock moved back by up to kMaxCatchUp
    // seconds yields nothing until it passes the last handled second again.
    bool NextSecond(int64_t nowMs, int64_t& second);
    // The same, also giving the first second passed over to reach `second`:
    // after a jump of more than kMaxCatchUp seconds forward the seconds
    // [skippedFrom, second) were never handled; otherwise skippedFrom equals
    // `second`.
    bool NextSecond(int64_t nowMs, int64_t& second, int64_t& skippedFrom);

    // Milliseconds from nowMs until just past the next second boundary.
    static int64_t DelayToNextBoundary(int64_t nowMs);

    bool Started() const { return started_; }
    int64_t LastHandled() const { return last_; }

private:
    bool started_ = false;
    int64_t last_ = 0;
};

class ClockSource;

// The program's heartbeat: on each tick it shows the present time, then hands
// every second the ticker yields to the per-second handlers, in the order
// they were added (timed tasks before the chime, so that a task's sound is
// not cut by the chime of the same second).
class TClockHeart {
public:
    using SecondHandler = std::function<void(TDateTime localSecond)>;

    void AddSecondHandler(SecondHandler handler) { handlers_.push_back(std::move(handler)); }
    // Called first on every tick with the local time to show.
    std::function<void(TDateTime localNow)> OnShow;
    // One line per tick when set: "<utc ms> <first second> <last second>",
    // or "<utc ms> - -" when the tick handled no second.
    std::function<void(const std::string& line)> OnTrace;
    // Called once per forward jump of the clock (more than kMaxCatchUp
    // seconds: sleep, hibernation, a clock set forward) with the local
    // seconds since 1970 that were passed over, [localFrom, localTo), after
    // the handlers of the second the clock jumped to. A clock moved back
    // calls nothing.
    std::function<void(int64_t localFrom, int64_t localTo)> OnSkipped;

    // One tick at the clock's present; returns the milliseconds to wait for
    // the next one. A handler may run a nested message loop that ticks
    // again: that tick goes on with the next second, up to its own present,
    // and this one hands out nothing more.
    int64_t Tick(const ClockSource& clock);

private:
    TSecondTicker ticker_;
    std::vector<SecondHandler> handlers_;
};

}  // namespace tempora
