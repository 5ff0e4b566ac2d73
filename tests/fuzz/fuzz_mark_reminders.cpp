// Arbitrary bytes as MarkReminders.rec for a few marks, read the way
// LoadMarks reads it. Only listed marks get settings, every setting is in
// range and reminds or sets a rule, and the lines they save as read back to
// the same settings.
#include "calendar/CalendarMarks.h"
#include "calendar/MarkOccurrences.h"
#include "core/Encoding.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace tempora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    TFestivalList festivals;
    TCalendarMarks marks;
    marks.ReadMarks("00101=\r\n10815=\r\n11230=\r\n20520=\r\n00229=\r\n", festivals);
    marks.ReadReminders(bytes);

    for (const auto& [name, r] : marks.Reminders()) {
        if (marks.IndexOfName(name) < 0 || r == TMarkReminder{})
            std::abort();
        if (r.daysBefore < 0 || r.daysBefore > kMaxDaysBefore || r.minuteOfDay < 0 ||
            r.minuteOfDay >= 24 * 60) {
            std::abort();
        }
        // Whatever the settings, the dates stay inside the years asked for.
        for (TDateTime day : MarkDatesInYears(name, r.rule, 2023, 2024)) {
            const int year = DecodeDate(day).year;
            if (year < 2023 || year > 2024)
                std::abort();
        }
    }

    std::string saved;
    for (const std::string& line : MarkReminderLines(marks.Reminders()))
        saved += line + "\r\n";
    TCalendarMarks reread;
    reread.ReadMarks("00101=\r\n10815=\r\n11230=\r\n20520=\r\n00229=\r\n", festivals);
    reread.ReadReminders(Utf8ToGbk(saved));
    if (reread.Reminders() != marks.Reminders())
        std::abort();
    return 0;
}
