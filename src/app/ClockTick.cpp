#include "app/ClockTick.h"

#include "core/ClockSource.h"
#include "core/Text.h"

namespace tempora {

bool TSecondTicker::NextSecond(int64_t nowMs, int64_t& second) {
    int64_t skippedFrom;
    return NextSecond(nowMs, second, skippedFrom);
}

bool TSecondTicker::NextSecond(int64_t nowMs, int64_t& second, int64_t& skippedFrom) {
    const int64_t now = FloorDiv(nowMs, 1000);
    if (!started_ || now - last_ > kMaxCatchUp || last_ - now > kMaxCatchUp) {
        skippedFrom = started_ && now > last_ ? last_ + 1 : now;
        started_ = true;
        last_ = now;
        second = now;
        return true;
    }
    if (now <= last_)
        return false;
    second = ++last_;
    skippedFrom = second;
    return true;
}

int64_t TSecondTicker::DelayToNextBoundary(int64_t nowMs) {
    const int64_t intoSecond = nowMs - FloorDiv(nowMs, 1000) * 1000;
    return 1000 - intoSecond + kAimPastBoundaryMs;
}

int64_t TClockHeart::Tick(const ClockSource& clock) {
    const int64_t nowMs = clock.UtcMillis();
    const auto localSeconds = [&](int64_t utcSecond) {
        return utcSecond + clock.LocalOffsetMinutes(utcSecond * 1000) * 60LL;
    };
    const auto local = [&](int64_t utcSecond) {
        return FromUnixSeconds(static_cast<double>(localSeconds(utcSecond)));
    };
    if (OnShow)
        OnShow(local(FloorDiv(nowMs, 1000)));
    int64_t second, skippedFrom, first = -1, last = -1;
    while (ticker_.NextSecond(nowMs, second, skippedFrom)) {
        if (first < 0)
            first = second;
        last = second;
        // Copied by index: a handler may add another while it runs.
        for (size_t i = 0; i < handlers_.size(); ++i)
            handlers_[i](local(second));
        if (skippedFrom < second && OnSkipped)
            OnSkipped(localSeconds(skippedFrom), localSeconds(second));
        // A tick nested in the handlers went on to its own present; this
        // tick's present is then behind it, and more than a minute behind
        // after a long nested loop would look like the clock set back.
        if (ticker_.LastHandled() != second)
            break;
    }
    if (OnTrace) {
        OnTrace(first < 0 ? std::to_string(nowMs) + " - -"
                          : std::to_string(nowMs) + " " + std::to_string(first) + " " +
                                std::to_string(last));
    }
    return TSecondTicker::DelayToNextBoundary(clock.UtcMillis());
}

}  // namespace tempora
