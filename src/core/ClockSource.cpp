#include "ClockSource.h"

namespace tempora {

const ClockSource& SystemClock();  // defined by the platform back-end

namespace {
const ClockSource* g_installed = nullptr;
}

TDateTime ClockSource::NowUtc() const {
    return FromUnixSeconds(UtcMillis() / 1000.0);
}

TDateTime ClockSource::NowLocal() const {
    const int64_t ms = UtcMillis();
    return FromUnixSeconds((ms + LocalOffsetMinutes(ms) * 60000LL) / 1000.0);
}

const ClockSource& ClockSource::Current() {
    return g_installed ? *g_installed : SystemClock();
}

void ClockSource::Install(const ClockSource* source) {
    g_installed = source;
}

}  // namespace tempora
