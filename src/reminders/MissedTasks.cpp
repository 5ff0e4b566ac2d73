#include "reminders/MissedTasks.h"

#include "core/DateTime.h"
#include "core/Text.h"
#include "reminders/TaskEditor.h"

#include <algorithm>
#include <cstdio>

namespace tempora {

namespace {
// 1970-01-01 in the day count of CivilFromDays, which starts at 1899-12-30.
constexpr int64_t kUnixEpochDay = 25569;
}  // namespace

std::vector<size_t> FindMissedTasks(const std::vector<TTaskRec>& tasks, int64_t firstLocal,
                                    int64_t lastLocal) {
    std::vector<size_t> found;
    if (tasks.empty() || lastLocal < firstLocal)
        return found;
    firstLocal = std::max(firstLocal, lastLocal - kMissedSpanSeconds + 1);
    std::vector<bool> missed(tasks.size(), false);
    int64_t day = INT64_MIN;
    DateParts date;
    for (int64_t s = firstLocal; s <= lastLocal; ++s) {
        const int64_t d = FloorDiv(s, 86400);
        if (d != day) {
            day = d;
            date = CivilFromDays(d + kUnixEpochDay);
        }
        const int64_t inDay = s - d * 86400;
        const TimeParts time{static_cast<int>(inDay / 3600), static_cast<int>(inDay / 60 % 60),
                             static_cast<int>(inDay % 60)};
        for (size_t i = 0; i < tasks.size(); ++i) {
            if (IsDue(tasks[i], date, time)) {
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

std::string TaskScheduleText(const TTaskRec& task) {
    const int32_t values[6] = {task.year, task.month,  task.day,
                               task.hour, task.minute, task.second};
    ScheduleFields fields;
    for (size_t i = 0; i < 6; ++i) {
        if (values[i] < 0)
            continue;
        char buf[16];
        std::snprintf(buf, sizeof buf, i == 0 ? "%04d" : "%02d", static_cast<int>(values[i]));
        fields[i] = buf;
    }
    return BuildSchedule(fields);
}

std::string MissedTasksText(const std::vector<TTaskRec>& tasks, const std::vector<size_t>& missed) {
    if (missed.empty())
        return {};
    std::string text = "错过的定时任务：";
    for (size_t i : missed) {
        if (i >= tasks.size())
            continue;
        text += "\r\n" + TaskScheduleText(tasks[i]);
        for (const TActRec& act : tasks[i].actions)
            text += " " + ActionText(act.type + kImgSound, act.text);
    }
    return text;
}

}  // namespace tempora
