// Arbitrary bytes offered as a holiday file from outside (an import or a
// download). A refused file leaves the list it was to fill as it was and
// names a line that exists; a taken one holds only whole years, and written
// out and checked again it gives the same years. Merging it twice into the
// same list changes nothing the second time.
#include "calendar/Holiday.h"
#include "core/LineFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

using namespace tempora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    THolidayList base;
    base.LoadFromLines({"@2026|甲|2025-11-04", "2026-01-01|元旦|1", "2026-05-01|劳动节|1",
                        "2026-10-01|国庆节|1", "2026-02-14|春节|0"});
    THolidayList list = base;
    const THolidayCheck check = CheckHolidayFile(bytes, list);
    if (!check.ok) {
        if (list.Years() != base.Years() || check.message.empty() ||
            check.line > SplitLines(bytes).size() + 1) {
            std::abort();
        }
        if (check.line != 0 &&
            check.message.rfind("第 " + std::to_string(check.line) + " 行：", 0) != 0) {
            std::abort();
        }
        return 0;
    }
    if (list.Years().empty() || list.CoveredYears().size() != list.Years().size())
        std::abort();

    std::string again = "\xEF\xBB\xBF";
    for (const std::string& line : list.Lines())
        again += line + "\n";
    THolidayList reread;
    if (!CheckHolidayFile(again, reread).ok || reread.Years() != list.Years())
        std::abort();

    THolidayList merged = base;
    merged.Merge(list);
    if (!merged.PlanMerge(list).empty())
        std::abort();
    return 0;
}
