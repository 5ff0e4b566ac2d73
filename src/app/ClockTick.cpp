#include "ClockTick.h"

namespace tempora {

namespace {
int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}
}  // namespace

bool TSecondTicker::NextSecond(int64_t nowMs, int64_t& second) {
    const int64_t now = FloorDiv(nowMs, 1000);
    if (!started_ || now - last_ > kMaxCatchUp || last_ - now > kMaxCatchUp) {
        started_ = true;
        last_ = now;
        second = now;
        return true;
    }
    if (now <= last_)
        return false;
    second = ++last_;
    return true;
}

int64_t TSecondTicker::DelayToNextBoundary(int64_t nowMs) {
    const int64_t intoSecond = nowMs - FloorDiv(nowMs, 1000) * 1000;
    return 1000 - intoSecond + kAimPastBoundaryMs;
}

}  // namespace tempora
