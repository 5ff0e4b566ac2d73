// Arbitrary bytes as Holiday.lst, decoded and split the way the file is read.
// Every day the list answers for must come from a line naming that date, with
// a non-empty UTF-8 name free of the field separator and of edge blanks; the
// list holds one entry per such date, and dates no line names answer nothing.
#include "calendar/Holiday.h"
#include "core/DateTime.h"
#include "core/Encoding.h"
#include "core/LineFile.h"
#include "core/Text.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <set>
#include <string>
#include <vector>

using namespace tempora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = SplitLines(GbkToUtf8(bytes));
    THolidayList list;
    const size_t count = list.LoadFromLines(lines);
    if (count != list.Count())
        std::abort();

    std::set<int64_t> answered;
    for (const std::string& raw : lines) {
        const std::string line(Trim(raw));
        TDateTime date = 0;
        if (line.size() < 10 || !ParseStamp(line.substr(0, 10), date))
            continue;
        const HolidayInfo info = list.Of(date);
        if (info.kind == HolidayKind::None) {
            if (!info.name.empty())
                std::abort();
            continue;
        }
        const std::string& name = info.name;
        if (name.empty() || !IsValidUtf8(name) || name.find('|') != std::string::npos ||
            Trim(name) != name) {
            std::abort();
        }
        // Any time of the same day gives the same answer.
        if (!(list.Of(date + 0.999) == info))
            std::abort();
        answered.insert(DayNumber(date));
    }
    if (answered.size() != count)
        std::abort();

    const double odd[] = {std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(), 1e300, -1e300};
    for (double t : odd) {
        if (list.Of(t).kind != HolidayKind::None)
            std::abort();
    }
    return 0;
}
