// Arbitrary bytes as TimeZone.lst, read the way the world-time dialog reads
// the file. Every country and city must have a name, every text be whole
// UTF-8 without control characters and within its length, neighbouring
// countries differ, every rule name a real day and time, and each city's
// time stay within its offset (and the daylight hour) of UTC.
#include "core/DateTime.h"
#include "core/Encoding.h"
#include "core/Text.h"
#include "timesvc/WorldTime.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

using namespace tempora;

namespace {

void CheckText(const std::string& text) {
    if (!IsValidUtf8(text) || TrimBlanks(text).size() != text.size())
        std::abort();
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); i += Utf8SequenceLength(text, i)) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F)
            std::abort();
        ++chars;
    }
    if (chars > kMaxZoneFieldChars)
        std::abort();
}

void CheckRule(const TDstRule& r) {
    if (!r.IsSet())
        return;
    const bool dayOk = r.weekday == 0 ? r.day >= 1 && r.day <= DaysInMonth(2000, r.month)
                                      : r.weekday <= 7 && r.week >= 1 &&
                                            r.week <= TDstRule::kLastWeek && r.day == 0;
    if (r.month < 1 || r.month > 12 || !dayOk || r.hour < 0 || r.hour > 23 || r.minute < 0 ||
        r.minute > 59) {
        std::abort();
    }
    for (const int year : {2026, 2027, 2028}) {
        const DateParts d = DecodeDate(DstRuleInstant(r, year));
        if (d.year != year || d.month != r.month)
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<TCountryData> countries = ParseTimeZoneText(bytes);
    const TDateTime instants[] = {EncodeDateTime(2026, 1, 1, 0, 0, 0),
                                  EncodeDateTime(2026, 7, 1, 12, 30, 0),
                                  EncodeDateTime(2027, 12, 31, 23, 59, 59)};
    for (size_t i = 0; i < countries.size(); ++i) {
        const TCountryData& country = countries[i];
        CheckText(country.name);
        if (country.name.empty() || country.cities.empty() ||
            (i > 0 && countries[i - 1].name == country.name)) {
            std::abort();
        }
        for (const TCityData& city : country.cities) {
            CheckText(city.name);
            CheckText(city.otherName);
            CheckText(city.zoneText);
            CheckText(city.positionText);
            if (city.name.empty() || !(std::fabs(city.utcOffset) <= kMaxUtcOffset))
                std::abort();
            CheckRule(city.dstStart);
            CheckRule(city.dstEnd);
            for (const TDateTime utc : instants) {
                const TCityTime t = CityTimeAt(city, utc);
                const double minutes = std::round((t.local - utc) * 1440);
                const int expected = OffsetMinutes(city.utcOffset) + (t.daylight ? 60 : 0);
                if (minutes != expected || (t.daylight && !city.HasDaylightSaving()))
                    std::abort();
                const TCityLabels labels = CityLabels(country.name, city, utc);
                if (!IsValidUtf8(labels.title) || !IsValidUtf8(labels.time))
                    std::abort();
            }
        }
    }
    return 0;
}
