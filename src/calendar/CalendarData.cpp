#include "calendar/CalendarData.h"

#include "core/FileSys.h"

namespace tempora {

TCalendarData::TCalendarData() {
    festivals_.LoadWindowTables();
}

namespace {

std::string WithSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\')
        folder += kPathSep;
    return folder;
}

}  // namespace

bool TCalendarData::Load(const std::string& dataDir, const std::string& shippedDir) {
    dataDir_ = WithSeparator(dataDir);
    marks_.LoadMarks(dataDir_, festivals_);
    holidays_.LoadFromFile(dataDir_ + kHolidayUpdatesFileName);
    THolidayList file;
    bool read = file.LoadFromFile(dataDir_ + kHolidayFileName);
    holidays_.Merge(file);
    const std::string shipped = WithSeparator(shippedDir);
    if (!shipped.empty() && shipped != dataDir_ && file.LoadFromFile(shipped + kHolidayFileName)) {
        holidays_.Merge(file);
        read = true;
    }
    return read;
}

std::string TCalendarData::HolidayNoteOf(TDateTime date) const {
    if (!IsCalendarDate(date))
        return {};
    if (const THolidayYear* notice = holidays_.YearOf(date)) {
        const std::string from = notice->source +
                                 (notice->source.empty() || notice->published.empty() ? "" : " ") +
                                 notice->published;
        return from.empty() ? std::string() : "来源= " + from;
    }
    const int year = DecodeDate(date).year;
    return holidays_.Covers(year) ? std::string() : "假日= " + HolidaysMissingText(year);
}

THolidayCheck TCalendarData::CheckUpdate(const std::string& bytes, THolidayList& incoming,
                                         std::vector<THolidayChange>& changes) const {
    const THolidayCheck check = CheckHolidayFile(bytes, incoming);
    changes = check.ok ? holidays_.PlanMerge(incoming) : std::vector<THolidayChange>{};
    return check;
}

bool TCalendarData::ApplyUpdate(const THolidayList& incoming,
                                const std::vector<THolidayChange>& changes) {
    THolidayList updates;
    updates.LoadFromFile(dataDir_ + kHolidayUpdatesFileName);
    updates.TakeYears(incoming, changes);
    if (!updates.SaveToFile(dataDir_ + kHolidayUpdatesFileName))
        return false;
    holidays_.TakeYears(incoming, changes);
    return true;
}

std::string HolidaysMissingText(int year) {
    return std::to_string(year) + "年放假安排尚未收录";
}

std::string TCalendarData::FestivalTextOf(TDateTime date) const {
    if (!IsCalendarDate(date))
        return {};
    return festivals_.FestivalTextOf(static_cast<TDateTime>(DayNumber(date))).text;
}

std::string TCalendarData::SolarMarkNoteOf(TDateTime date) const {
    if (!IsCalendarDate(date))
        return {};
    return marks_.MarkNoteOf(TFestivalList::ftSolar, FormatMMDD(date));
}

void TCalendarData::SetMarkColor(int32_t color) {
    if (color == marks_.MarkColor())
        return;
    for (const std::string& line : marks_.Lines())
        marks_.UnregisterMark(festivals_, std::string_view(line).substr(0, 5));
    marks_.SetMarkColor(color);
    for (const std::string& line : marks_.Lines())
        marks_.RegisterMark(festivals_, std::string_view(line).substr(0, 5));
}

}  // namespace tempora
