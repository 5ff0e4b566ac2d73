// China's public holidays: days off and the make-up working days around them,
// as announced year by year. They come from Holiday.lst in the data directory
// (GBK, one "yyyy-mm-dd|name|1" line per day off, "|0" for a working day), so
// that next year's notice can be added by hand.
#pragma once

#include "core/DateTime.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tempora {

enum class HolidayKind { None, DayOff, WorkDay };

struct HolidayInfo {
    std::string name;
    HolidayKind kind = HolidayKind::None;
    bool operator==(const HolidayInfo&) const = default;
};

class THolidayList {
public:
    // Lines that do not parse (and blank or "#" lines) are skipped; a later
    // line for the same date replaces an earlier one. Returns the days read.
    size_t LoadFromLines(const std::vector<std::string>& utf8Lines);
    // false, leaving the list empty, when the file cannot be read.
    bool LoadFromFile(const std::string& path);
    // Kind None and an empty name for a day that is not listed.
    HolidayInfo Of(TDateTime date) const;
    size_t Count() const { return days_.size(); }

private:
    std::map<int64_t, HolidayInfo> days_;
};

inline constexpr const char* kHolidayFileName = "Holiday.lst";

}  // namespace tempora
