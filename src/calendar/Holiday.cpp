#include "Holiday.h"

#include "core/LineFile.h"
#include "core/Text.h"

#include <string_view>

namespace tempora {

namespace {

bool ParseLine(std::string_view line, int64_t& day, HolidayInfo& info) {
    const size_t bar1 = line.find('|');
    if (bar1 == std::string_view::npos)
        return false;
    const size_t bar2 = line.find('|', bar1 + 1);
    if (bar2 == std::string_view::npos || line.find('|', bar2 + 1) != std::string_view::npos) {
        return false;
    }
    const std::string date(Trim(line.substr(0, bar1)));
    const std::string_view name = Trim(line.substr(bar1 + 1, bar2 - bar1 - 1));
    const std::string_view kind = Trim(line.substr(bar2 + 1));
    TDateTime value = 0;
    if (date.size() != 10 || !ParseStamp(date, value) || name.empty())
        return false;
    if (kind == "1") {
        info.kind = HolidayKind::DayOff;
    } else if (kind == "0") {
        info.kind = HolidayKind::WorkDay;
    } else {
        return false;
    }
    info.name = std::string(name);
    day = DayNumber(value);
    return true;
}

}  // namespace

size_t THolidayList::LoadFromLines(const std::vector<std::string>& utf8Lines) {
    days_.clear();
    for (const std::string& raw : utf8Lines) {
        const std::string_view line = Trim(raw);
        if (line.empty() || line.front() == '#')
            continue;
        int64_t day = 0;
        HolidayInfo info;
        if (ParseLine(line, day, info))
            days_[day] = std::move(info);
    }
    return days_.size();
}

bool THolidayList::LoadFromFile(const std::string& path) {
    std::vector<std::string> lines;
    const bool read = ReadLineFile(path, lines);
    LoadFromLines(lines);
    return read;
}

HolidayInfo THolidayList::Of(TDateTime date) const {
    // Not finite or far outside the calendar: no day can match.
    if (!(date > -1e9 && date < 1e9))
        return {};
    const auto it = days_.find(DayNumber(date));
    return it == days_.end() ? HolidayInfo{} : it->second;
}

}  // namespace tempora
