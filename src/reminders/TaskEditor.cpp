#include "reminders/TaskEditor.h"

#include "core/Encoding.h"
#include "core/LineFile.h"
#include "reminders/TaskList.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace tempora {

const std::array<const char*, 6> kScheduleUnits = {"年", "月", "日", "时", "分", "秒"};

namespace {
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string TwoDigits(int v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}
constexpr std::string_view kWorkingDaysWords = " 仅工作日";
constexpr std::string_view kDaysOffWords = " 仅休息日";

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}
}  // namespace

std::string TaskNodeText(const std::string& schedule, DayRule rule) {
    switch (rule) {
        case DayRule::WorkingDays:
            return schedule + std::string(kWorkingDaysWords);
        case DayRule::DaysOff:
            return schedule + std::string(kDaysOffWords);
        case DayRule::Any:
            break;
    }
    return schedule;
}

DayRule NodeDayRule(const std::string& text) {
    return EndsWith(text, kWorkingDaysWords) ? DayRule::WorkingDays
           : EndsWith(text, kDaysOffWords)   ? DayRule::DaysOff
                                             : DayRule::Any;
}

std::string NodeSchedule(const std::string& text) {
    // Both words have the same length.
    return NodeDayRule(text) == DayRule::Any ? text
                                             : text.substr(0, text.size() - kDaysOffWords.size());
}

TTaskTree TaskTreeFromLines(const std::vector<std::string>& utf8Lines) {
    TTaskTree tree;
    for (const std::string& line : utf8Lines) {
        if (line.empty())
            continue;
        if (line[0] == '*') {
            TTaskNode task;
            task.image = line.size() > 1 && IsDigit(line[1]) ? line[1] - '0' : kImgTaskOn;
            // The state is one character, which a damaged file may make a
            // multi-byte one; the schedule starts after all of its bytes.
            size_t start = 2;
            while (start < line.size() && (static_cast<unsigned char>(line[start]) & 0xC0) == 0x80)
                ++start;
            task.text = line.size() > start ? line.substr(start) : std::string();
            tree.push_back(std::move(task));
        } else if (!tree.empty() && (line == kWorkingDaysLine || line == kDaysOffLine)) {
            tree.back().text =
                TaskNodeText(NodeSchedule(tree.back().text),
                             line == kWorkingDaysLine ? DayRule::WorkingDays : DayRule::DaysOff);
        } else if (!tree.empty() && IsDigit(line[0])) {
            tree.back().actions.push_back({line[0] - '0', line.substr(1)});
        }
    }
    return tree;
}

std::vector<std::string> TaskTreeLines(const TTaskTree& tree) {
    std::vector<std::string> lines;
    for (const TTaskNode& task : tree) {
        lines.push_back("*" + std::to_string(task.image) + NodeSchedule(task.text));
        const DayRule rule = NodeDayRule(task.text);
        if (rule != DayRule::Any)
            lines.push_back(rule == DayRule::WorkingDays ? kWorkingDaysLine : kDaysOffLine);
        for (const TActionNode& act : task.actions)
            lines.push_back(std::to_string(act.image) + act.text);
    }
    return lines;
}

bool SaveTaskTree(const std::string& path, const TTaskTree& tree) {
    return WriteLineFile(path, TaskTreeLines(tree));
}

std::string ActionText(int image, const std::string& payload) {
    const char* prefix = image == kImgSound ? "播放 (" : image == kImgMessage ? "消息 (" : "执行 (";
    return prefix + payload + ")";
}

std::string ActionPayload(const std::string& text) {
    const size_t open = text.find('(');
    if (open == std::string::npos || open + 1 >= text.size())
        return {};
    return text.substr(open + 1, text.size() - open - 2);
}

bool MoveAction(TTaskTree& tree, size_t fromTask, size_t fromAction, size_t toTask,
                size_t toAction) {
    if (fromTask >= tree.size() || toTask >= tree.size() ||
        fromAction >= tree[fromTask].actions.size() || toAction >= tree[toTask].actions.size() ||
        (fromTask == toTask && fromAction == toAction))
        return false;
    TActionNode moved = tree[fromTask].actions[fromAction];
    auto& from = tree[fromTask].actions;
    from.erase(from.begin() + static_cast<std::ptrdiff_t>(fromAction));
    // Within one task the target shifts up when the moved node was above it.
    if (fromTask == toTask && fromAction < toAction)
        --toAction;
    auto& to = tree[toTask].actions;
    to.insert(to.begin() + static_cast<std::ptrdiff_t>(toAction), std::move(moved));
    return true;
}

ScheduleFields SplitSchedule(const std::string& text) {
    ScheduleFields fields;
    std::string rest = text;
    for (size_t i = 0; i < kScheduleUnits.size(); ++i) {
        const std::string unit = kScheduleUnits[i];
        const size_t at = rest.find(unit);
        if (at == std::string::npos)
            continue;
        fields[i] = rest.substr(0, at);
        rest = rest.substr(at + unit.size());
    }
    return fields;
}

std::string BuildSchedule(const ScheduleFields& fields) {
    std::string text;
    for (size_t i = 0; i < fields.size(); ++i)
        if (!fields[i].empty())
            text += fields[i] + kScheduleUnits[i];
    return text;
}

std::vector<std::string> ScheduleChoices(size_t field, int currentYear, const std::string& own) {
    static constexpr int kFirst[6] = {0, 1, 1, 0, 0, 0};
    static constexpr int kLast[6] = {0, 12, 31, 23, 59, 59};
    std::vector<std::string> list{""};
    if (field == 0) {
        for (int y = currentYear; y < currentYear + 12; ++y)
            list.push_back(std::to_string(y));
    } else if (field < 6) {
        for (int v = kFirst[field]; v <= kLast[field]; ++v)
            list.push_back(TwoDigits(v));
    }
    if (own.empty() || std::find(list.begin(), list.end(), own) != list.end())
        return list;
    const auto number = [](const std::string& s) {
        return !s.empty() && s.size() <= 9 && std::all_of(s.begin(), s.end(), IsDigit);
    };
    auto at = list.end();
    if (number(own)) {
        // The offered entries are all numbers: the first larger one follows it.
        const int value = std::stoi(own);
        at = std::find_if(list.begin() + 1, list.end(),
                          [&](const std::string& s) { return std::stoi(s) > value; });
    }
    list.insert(at, own);
    return list;
}

std::string MessageCounterText(const std::string& utf8Text) {
    return std::to_string(GbkLength(utf8Text)) + "/" + std::to_string(kMessageLimitBytes) + "字节";
}

std::string JoinMessageLines(const std::string& utf8Text) {
    std::string out;
    for (char c : utf8Text)
        if (c != '\r' && c != '\n')
            out += c;
    return out;
}

}  // namespace tempora
