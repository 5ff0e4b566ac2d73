// Timed tasks that fell due while the clock did not tick: the machine slept,
// or the clock was set forward. They are not run late (a shutdown hours after
// its time would catch the user unawares) but reported once in the popup.
#pragma once

#include "reminders/TaskList.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tempora {

// Of a longer gap only its last day is looked at.
inline constexpr int64_t kMissedSpanSeconds = 24 * 3600;

// Indexes, in list order, of the tasks that would have run at some second of
// [fromLocal, toLocal) (local seconds since 1970-01-01 00:00): in each second
// only the first due task runs, as in the scheduler. Of a span longer than
// kMissedSpanSeconds only its last kMissedSpanSeconds count; an empty or
// reversed span gives nothing. Day rules go by `holidays` as in the scheduler.
std::vector<size_t> FindMissedTasks(const std::vector<TTaskRec>& tasks, int64_t fromLocal,
                                    int64_t toLocal, const IHolidayDays* holidays = nullptr);

// The popup text for those tasks: "错过的定时任务：", then per task a line
// with its schedule and its actions as the task list shows them
// ("播放 (…)", "消息 (…)", "执行 (…)"), lines broken by CR LF. Empty when no
// task is given.
std::string MissedTasksText(const std::vector<TTaskRec>& tasks, const std::vector<size_t>& missed);

}  // namespace tempora
