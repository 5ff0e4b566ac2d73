#include "ClockSource.h"

#include <windows.h>

namespace tempora {

namespace {
// FILETIME counts 100 ns units since 1601-01-01.
constexpr int64_t kFileTimeToUnixMs = 11644473600000LL;

class WinClock final : public ClockSource {
public:
    int64_t UtcMillis() const override {
        FILETIME ft;
        GetSystemTimeAsFileTime(&ft);
        const int64_t units = (static_cast<int64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
        return units / 10000 - kFileTimeToUnixMs;
    }
    int LocalOffsetMinutes(int64_t utcMillis) const override {
        const int64_t units = (utcMillis + kFileTimeToUnixMs) * 10000;
        FILETIME utc{static_cast<DWORD>(units), static_cast<DWORD>(units >> 32)};
        FILETIME local;
        if (!FileTimeToLocalFileTime(&utc, &local))
            return 0;
        const int64_t l = (static_cast<int64_t>(local.dwHighDateTime) << 32) | local.dwLowDateTime;
        return static_cast<int>((l - units) / 600000000LL);
    }
};
}  // namespace

const ClockSource& SystemClock() {
    static const WinClock clock;
    return clock;
}

}  // namespace tempora
