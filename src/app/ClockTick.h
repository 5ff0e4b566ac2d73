// The one-second tick: aligned to the wall clock's second boundaries, and
// every second handled exactly once, even when the timer fires late or a
// nested message loop runs a tick inside another.
#pragma once

#include <cstdint>

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

    // Milliseconds from nowMs until just past the next second boundary.
    static int64_t DelayToNextBoundary(int64_t nowMs);

    bool Started() const { return started_; }
    int64_t LastHandled() const { return last_; }

private:
    bool started_ = false;
    int64_t last_ = 0;
};

}  // namespace tempora
