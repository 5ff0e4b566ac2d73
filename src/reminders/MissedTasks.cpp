#include "reminders/MissedTasks.h"

#include "core/Text.h"

#include <algorithm>

namespace tempora {

namespace {

// 1970-01-01 in the day count of CivilFromDays, which starts at 1899-12-30.
constexpr int64_t kUnixEpochDay = 25569;

// The display text of an action; empty for a type that does nothing when run.
std::string ActionDisplayText(const TActRec& action) {
    switch (action.type) {
        case kActSound:
            return "播放 (" + action.text + ")";
        case kActMessage:
            return "消息 (" + action.text + ")";
        case kActRun:
            return "执行 (" + action.text + ")";
        default:
            return {};
    }
}

}  // namespace

std::vector<size_t> FindMissedTasks(const std::vector<TTaskRec>& tasks, int64_t fromLocal,
                                    int64_t toLocal, const IHolidayDays* holidays) {
    std::vector<size_t> found;
    if (tasks.empty() || toLocal <= fromLocal)
        return found;
    fromLocal = std::max(fromLocal, toLocal - kMissedSpanSeconds);
    std::vector<bool> missed(tasks.size(), false);
    int64_t day = FloorDiv(fromLocal, 86400) - 1;
    DateParts date;
    for (int64_t s = fromLocal; s < toLocal; ++s) {
        const int64_t d = FloorDiv(s, 86400);
        if (d != day) {
            day = d;
            date = CivilFromDays(d + kUnixEpochDay);
        }
        const int64_t inDay = s - d * 86400;
        TimeParts time;
        time.hour = static_cast<int>(inDay / 3600);
        time.minute = static_cast<int>(inDay / 60 % 60);
        time.second = static_cast<int>(inDay % 60);
        for (size_t i = 0; i < tasks.size(); ++i) {
            if (IsDue(tasks[i], date, time, holidays)) {
                missed[i] = true;
                break;
            }
        }
    }
    for (size_t i = 0; i < tasks.size(); ++i)
        if (missed[i])
            found.push_back(i);
    return found;
}

std::string MissedTasksText(const std::vector<TTaskRec>& tasks, const std::vector<size_t>& missed) {
    std::string text;
    for (size_t i : missed) {
        if (i >= tasks.size())
            continue;
        text += "\r\n" + tasks[i].schedule;
        for (const TActRec& action : tasks[i].actions) {
            const std::string shown = ActionDisplayText(action);
            if (!shown.empty())
                text += " " + shown;
        }
    }
    return text.empty() ? text : "错过的定时任务：" + text;
}

}  // namespace tempora
