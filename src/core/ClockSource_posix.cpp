#include "ClockSource.h"

#include <chrono>
#include <ctime>

namespace tempora {

namespace {
class PosixClock final : public ClockSource {
public:
    int64_t UtcMillis() const override {
        using namespace std::chrono;
        return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    }
    int LocalOffsetMinutes(int64_t utcMillis) const override {
        const time_t secs = static_cast<time_t>(utcMillis / 1000);
        tm local{};
        localtime_r(&secs, &local);
        return static_cast<int>(local.tm_gmtoff / 60);
    }
};
}  // namespace

const ClockSource& SystemClock() {
    static const PosixClock clock;
    return clock;
}

}  // namespace tempora
