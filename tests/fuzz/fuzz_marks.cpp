// Arbitrary bytes as Marks.rec, read the way LoadMarks reads the file. Every
// line kept must be a mark with a clean note, no name twice, each Gregorian,
// lunar and weekday mark flagged in its list and nothing else flagged; the
// file the marks save as reads back to the same names.
#include "calendar/CalendarMarks.h"
#include "core/Encoding.h"

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

using namespace tempora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    TFestivalList festivals;
    TCalendarMarks marks;
    marks.ReadMarks(bytes, festivals);

    std::set<std::string> names;
    size_t flagged = 0;
    for (const std::string& line : marks.Lines()) {
        const std::string name = line.substr(0, 5);
        const std::string note = line.size() > 6 ? line.substr(6) : std::string();
        if (line.size() < 6 || line[5] != '=' || !IsMarkName(name) || !names.insert(name).second)
            std::abort();
        if (!IsValidUtf8(note) || GbkLength(note) > kMarkNoteMaxBytes)
            std::abort();
        for (char c : note) {
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                std::abort();
        }
        const TColorStringList* list = name[0] == '0'   ? &festivals.SolarMarks()
                                       : name[0] == '1' ? &festivals.LunarMarks()
                                       : name[0] == '2' ? &festivals.WeekMarks()
                                                        : nullptr;
        if (list != nullptr) {
            ++flagged;
            if (list->IndexOf(name.substr(1)) < 0)
                std::abort();
        }
    }
    if (flagged != festivals.SolarMarks().Count() + festivals.LunarMarks().Count() +
                       festivals.WeekMarks().Count()) {
        std::abort();
    }

    // Saved as the program saves it (sorted, GBK, CR LF) and read again.
    marks.Sort();
    std::string saved;
    for (const std::string& line : marks.Lines())
        saved += line + "\r\n";
    TFestivalList again;
    TCalendarMarks reread;
    reread.ReadMarks(Utf8ToGbk(saved), again);
    std::set<std::string> names2;
    for (const std::string& line : reread.Lines())
        names2.insert(line.substr(0, 5));
    if (names2 != names)
        std::abort();
    return 0;
}
