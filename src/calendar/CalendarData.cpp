#include "calendar/CalendarData.h"

#include "core/FileSys.h"

namespace tempora {

TCalendarData::TCalendarData() {
    festivals_.LoadWindowTables();
}

bool TCalendarData::Load(const std::string& dataDir) {
    std::string folder = dataDir;
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\')
        folder += kPathSep;
    marks_.LoadMarks(folder, festivals_);
    return holidays_.LoadFromFile(folder + kHolidayFileName);
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
