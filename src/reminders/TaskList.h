// Timed tasks ("定时任务"): the list file War.lst and the scheduler that, on
// every second of the clock tick, runs the first task due in that second.
//
// War.lst is GBK text with CR LF line ends, written by the task dialogs. A
// task line is "*", a state digit ("0" enabled, "1" stopped) and the
// schedule: the fields that are set, in the order year 年, month 月, day 日,
// hour 时, minute 分, second 秒, each a number followed by its unit
// ("12时30分", "2009年01月01日00时00分00秒"); an absent field matches any
// value, a field that is there but no number matches none. The action lines
// under a task line belong to it: a type digit and a
// display text prefix + "(" + payload + ")":
//     2播放 (C:\Sound\a.wav)      play a sound
//     3消息 (开会了)               show a message through the popup program
//     4执行 (D:\Docs\plan.doc)    open a file; "4执行 (关机)" shuts down
// The payload runs from the first "(" to the line's last character,
// exclusive, so a path may hold parentheses itself. A line "#仅工作日" or
// "#仅休息日" right under the task line limits the task to working days or
// days off (core/WorkingDay.h); older versions skip lines that start with
// neither "*" nor a digit, so they still run the task, on every day.
//
// Everything runs on the GUI thread. RunDueTask takes every second the clock
// hands out, the seconds a late tick catches up included.
//
// Actions wait in nested message loops (the popup program's start, the
// shutdown countdown), so RunDueTask is entered again by the ticks that come
// meanwhile. Each task remembers the second it last ran in, marked before its
// actions start, and a second whose task is still under way is not taken up
// again even after a reload: a task runs at most once for a second however
// the calls nest. The actions run from a copy, so a list reloaded by a nested
// handler cannot pull them from under the running task.
#pragma once

#include "core/DateTime.h"
#include "core/WorkingDay.h"
#include "reminders/TaskActions.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tempora {

// TActRec::type: the action digit less 2.
enum : int32_t {
    kActSound = 0,
    kActMessage = 1,
    kActRun = 2,
};

// The payload of the run action that shuts the computer down.
inline constexpr char kShutdownPayload[] = "关机";

// The lines under a task line that carry its day rule.
inline constexpr char kWorkingDaysLine[] = "#仅工作日";
inline constexpr char kDaysOffLine[] = "#仅休息日";

struct TActRec {
    int32_t type = kActSound;  // kActSound, kActMessage, kActRun; other values do nothing
    std::string text;          // the payload, UTF-8

    bool operator==(const TActRec&) const = default;
};

struct TTaskRec {
    bool enabled = false;
    // The values to match, -1 for any, -2 for a damaged field that matches none.
    int32_t year = -1, month = -1, day = -1, hour = -1, minute = -1, second = -1;
    DayRule dayRule = DayRule::Any;
    std::vector<TActRec> actions;  // in file order
    // The schedule as the line writes it, after the state digit: what the
    // task list shows for the task.
    std::string schedule;

    bool operator==(const TTaskRec&) const = default;
};

// The tasks of War.lst's lines (UTF-8, as ReadLineFile gives them), in file
// order. Blank lines, action lines before the first task line and action
// lines that do not start with a digit are skipped; a schedule field that is
// not a decimal integer (optionally signed, 32 bits) counts as open. A set
// hour with neither minute nor second means minute 0 and second 0; a set
// minute without a second means second 0, so that a task is due once per
// matching second.
std::vector<TTaskRec> ParseTaskLines(const std::vector<std::string>& utf8Lines);

// Whether the task would run at that local date and second if no task above
// it were due: enabled, each field open or equal, at least one of hour,
// minute and second set, and the day allowed by its day rule (`holidays`
// may be null: then weekdays count as working days).
bool IsDue(const TTaskRec& task, const DateParts& d, const TimeParts& t,
           const IHolidayDays* holidays);

class TTaskList {
public:
    explicit TTaskList(ITaskActions& actions) : actions_(actions) {}
    TTaskList(const TTaskList&) = delete;
    TTaskList& operator=(const TTaskList&) = delete;

    // Replaces the list with the tasks of the file; a missing or unreadable
    // file leaves it empty.
    void LoadTasks(const std::string& path);
    void SetTasks(std::vector<TTaskRec> tasks);
    const std::vector<TTaskRec>& Tasks() const { return tasks_; }
    // The holidays the day rules go by; null (the start) knows none. The
    // list must outlive this.
    void SetHolidays(const IHolidayDays* holidays) { holidays_ = holidays; }

    // Runs the first task, in list order, due at the second of `t` (local
    // time) as IsDue says. Its message and run actions
    // go out in order, then its sounds as one list; no other task is looked
    // at. A task that already ran for this second does not run again.
    void RunDueTask(TDateTime t);

private:
    void RunActions(const std::vector<TActRec>& actions);

    ITaskActions& actions_;
    std::vector<TTaskRec> tasks_;
    const IHolidayDays* holidays_ = nullptr;
    std::vector<int64_t> ranAt_;    // per task: the second it last ran in
    std::vector<int64_t> running_;  // seconds whose task's actions are under way
};

}  // namespace tempora
