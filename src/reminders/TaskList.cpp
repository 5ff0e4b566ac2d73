#include "TaskList.h"

#include "core/LineFile.h"
#include "core/Text.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace tempora {

namespace {

// Where the last character of a non-empty text starts.
size_t LastCharStart(std::string_view s) {
    size_t start = 0;
    for (size_t i = 0; i < s.size(); i += Utf8SequenceLength(s, i))
        start = i;
    return start;
}

// A field that is there but no number: it matches no value, so a damaged
// line never fires (rather than firing every hour, or every day, as an
// absent field would).
constexpr int32_t kDamagedField = -2;

// A decimal integer with an optional sign that fits 32 bits; kDamagedField
// for anything else.
int32_t FieldValue(std::string_view text) {
    int64_t value = 0;
    if (!ParseInt(text, value) || value < INT32_MIN || value > INT32_MAX)
        return kDamagedField;
    return static_cast<int32_t>(value);
}

TTaskRec ParseTaskLine(std::string_view line) {
    TTaskRec task;
    const size_t stateEnd = 1 + Utf8SequenceLength(line, 1);
    task.enabled = line.substr(1, stateEnd - 1) == "0";
    std::string_view rest = line.substr(stateEnd);
    task.schedule = rest;
    static constexpr std::string_view kUnits[] = {"年", "月", "日", "时", "分", "秒"};
    int32_t* const fields[] = {&task.year, &task.month,  &task.day,
                               &task.hour, &task.minute, &task.second};
    for (size_t k = 0; k < std::size(kUnits); ++k) {
        const size_t at = rest.find(kUnits[k]);
        if (at == std::string_view::npos)
            continue;
        *fields[k] = FieldValue(rest.substr(0, at));
        rest.remove_prefix(at + kUnits[k].size());
    }
    if (task.hour != -1 && task.minute == -1 && task.second == -1) {
        task.minute = 0;
        task.second = 0;
    }
    if (task.minute != -1 && task.second == -1)
        task.second = 0;
    return task;
}

bool Matches(int32_t field, int value) {
    return field == -1 || field == value;
}

constexpr int64_t kNever = INT64_MIN;

}  // namespace

bool IsDue(const TTaskRec& task, const DateParts& d, const TimeParts& t,
           const IHolidayDays* holidays) {
    return task.enabled && Matches(task.year, d.year) && Matches(task.month, d.month) &&
           Matches(task.day, d.day) && Matches(task.hour, t.hour) &&
           Matches(task.minute, t.minute) && Matches(task.second, t.second) &&
           (task.hour != -1 || task.minute != -1 || task.second != -1) &&
           (task.dayRule == DayRule::Any ||
            DayRuleAllows(task.dayRule, EncodeDate(d.year, d.month, d.day), holidays));
}

std::vector<TTaskRec> ParseTaskLines(const std::vector<std::string>& utf8Lines) {
    std::vector<TTaskRec> tasks;
    for (const std::string& text : utf8Lines) {
        const std::string_view line = text;
        if (line.empty())
            continue;
        if (line[0] == '*') {
            tasks.push_back(ParseTaskLine(line));
            continue;
        }
        if (!tasks.empty() && (line == kWorkingDaysLine || line == kDaysOffLine)) {
            tasks.back().dayRule =
                line == kWorkingDaysLine ? DayRule::WorkingDays : DayRule::DaysOff;
            continue;
        }
        if (tasks.empty() || line[0] < '0' || line[0] > '9')
            continue;
        TActRec action;
        action.type = line[0] - '0' - 2;
        const size_t open = line.find('(');
        if (open != std::string_view::npos) {
            const size_t last = LastCharStart(line);
            if (last > open + 1)
                action.text = line.substr(open + 1, last - open - 1);
        }
        tasks.back().actions.push_back(std::move(action));
    }
    return tasks;
}

void TTaskList::LoadTasks(const std::string& path) {
    std::vector<std::string> lines;
    ReadLineFile(path, lines);  // leaves no lines when the file cannot be read
    SetTasks(ParseTaskLines(lines));
}

void TTaskList::SetTasks(std::vector<TTaskRec> tasks) {
    tasks_ = std::move(tasks);
    ranAt_.assign(tasks_.size(), kNever);
}

void TTaskList::RunDueTask(TDateTime t) {
    const DateParts date = DecodeDate(t);
    const TimeParts time = DecodeTime(t);
    const int64_t second = DaysFromCivil(date.year, date.month, date.day) * 86400 +
                           time.hour * 3600 + time.minute * 60 + time.second;
    if (std::find(running_.begin(), running_.end(), second) != running_.end())
        return;
    for (size_t i = 0; i < tasks_.size(); ++i) {
        if (!IsDue(tasks_[i], date, time, holidays_))
            continue;
        if (ranAt_[i] == second)
            return;
        ranAt_[i] = second;
        const std::vector<TActRec> actions = tasks_[i].actions;
        running_.push_back(second);
        struct Done {
            std::vector<int64_t>& running;
            ~Done() { running.pop_back(); }
        } done{running_};
        RunActions(actions);
        return;
    }
}

void TTaskList::RunActions(const std::vector<TActRec>& actions) {
    std::string sounds;
    for (const TActRec& action : actions) {
        switch (action.type) {
            case kActSound:
                sounds += action.text;
                sounds += '*';
                break;
            case kActMessage:
                actions_.ShowMessage(action.text);
                break;
            case kActRun:
                if (action.text == kShutdownPayload) {
                    if (actions_.ConfirmShutdown())
                        actions_.ShutdownComputer();
                } else {
                    actions_.RunFile(action.text);
                }
                break;
            default:
                break;
        }
    }
    if (!sounds.empty())
        actions_.PlaySounds(sounds);
}

}  // namespace tempora
