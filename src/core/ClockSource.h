// The one source of "now". Production code asks ClockSource::Current(); tests
// install a fake so that they can run at any moment they like.
#pragma once

#include "DateTime.h"

#include <cstdint>

namespace tempora {

class ClockSource {
public:
    virtual ~ClockSource() = default;
    // Milliseconds since 1970-01-01 UTC.
    virtual int64_t UtcMillis() const = 0;
    // Offset of local time from UTC, in minutes, at the given UTC instant.
    virtual int LocalOffsetMinutes(int64_t utcMillis) const = 0;

    TDateTime NowLocal() const;
    TDateTime NowUtc() const;

    // The installed source; the system clock unless a test installed another.
    static const ClockSource& Current();
    // Installs a source (nullptr restores the system clock). Not thread-safe:
    // install before starting anything that reads the clock.
    static void Install(const ClockSource* source);
};

// A clock that stands still until moved; for tests and tools.
class FakeClock final : public ClockSource {
public:
    explicit FakeClock(int64_t utcMillis = 0, int offsetMinutes = 480)
        : millis_(utcMillis), offset_(offsetMinutes) {}
    int64_t UtcMillis() const override { return millis_; }
    int LocalOffsetMinutes(int64_t) const override { return offset_; }
    void Set(int64_t utcMillis) { millis_ = utcMillis; }
    void Advance(int64_t ms) { millis_ += ms; }
    void SetOffset(int minutes) { offset_ = minutes; }

private:
    int64_t millis_;
    int offset_;
};

}  // namespace tempora
