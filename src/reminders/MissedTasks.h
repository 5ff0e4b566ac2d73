// Timed tasks that fell due while the clock did not tick: the machine slept,
// or the clock was set forward. They are not run late (a shutdown hours after
// its time would surprise the user) but reported once in the popup.
#pragma once

#include "reminders/TaskList.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tempora {

// Only the last day of a longer gap is looked at.
inline constexpr int64_t kMissedSpanSeconds = 24 * 3600;

// Indexes of the tasks that would have run at some second from firstLocal to
// lastLocal inclusive (local seconds since 1970, as the clock counts them),
// in list order. A second runs only its first due task, as the scheduler
// does. Of a span longer than a day only its last day counts; an empty or
// reversed span gives nothing.
std::vector<size_t> FindMissedTasks(const std::vector<TTaskRec>& tasks, int64_t firstLocal,
                                    int64_t lastLocal);

// The popup text: "错过的定时任务：" and a line per task with its schedule and
// its actions' display texts; empty when no task is given.
std::string MissedTasksText(const std::vector<TTaskRec>& tasks, const std::vector<size_t>& missed);

// The schedule text of a task record: each set field with its unit.
std::string TaskScheduleText(const TTaskRec& task);

}  // namespace tempora
