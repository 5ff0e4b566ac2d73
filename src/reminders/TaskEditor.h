// The model behind the task dialogs: War.lst as a tree of task nodes with
// their action nodes, the schedule text split into and rebuilt from its six
// fields, the year choices and the message editor's byte counter.
//
// A node's image is the digit War.lst stores for it: 0 enabled task, 1
// stopped task, 2 sound, 3 message, 4 run. The tree is the only model: the
// file is the tree written out node by node. A task's text is its schedule,
// followed by " 仅工作日" or " 仅休息日" for a task with a day rule, which
// the file keeps on a line of its own (reminders/TaskList.h).
#pragma once

#include "core/WorkingDay.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace tempora {

enum : int {
    kImgTaskOn = 0,
    kImgTaskOff = 1,
    kImgSound = 2,
    kImgMessage = 3,
    kImgRun = 4,
};

struct TActionNode {
    int image = kImgSound;
    std::string text;  // display text: prefix + "(" + payload + ")"
    bool operator==(const TActionNode&) const = default;
};

struct TTaskNode {
    int image = kImgTaskOn;
    std::string text;  // schedule text
    std::vector<TActionNode> actions;
    bool operator==(const TTaskNode&) const = default;
};

using TTaskTree = std::vector<TTaskNode>;

// The tree of War.lst's lines (UTF-8). A task line is "*", the state
// character and the schedule text; its image is the state when that is a
// digit, else 0. An action line is its image digit and its display text; a
// line that does not start with a digit, or comes before the first task, is
// skipped, but for the day rule lines. Blank lines are skipped.
TTaskTree TaskTreeFromLines(const std::vector<std::string>& utf8Lines);
// The lines War.lst holds for the tree: "*" + image + schedule per task, its
// day rule line when it has one, image + text per action, in display order.
std::vector<std::string> TaskTreeLines(const TTaskTree& tree);
// A task node's text: the schedule and the rule's words.
std::string TaskNodeText(const std::string& schedule, DayRule rule);
DayRule NodeDayRule(const std::string& text);
// The text less the rule's words.
std::string NodeSchedule(const std::string& text);

// Replaces the file atomically; false when it could not be written, in which
// case the file is left as it was.
bool SaveTaskTree(const std::string& path, const TTaskTree& tree);

// Display text of an action: "播放 (", "消息 (" or "执行 (" + payload + ")".
std::string ActionText(int image, const std::string& payload);
// The payload of a display text: after the first "(" up to the last
// character, exclusive; empty without "(".
std::string ActionPayload(const std::string& text);

// Moves the action at (fromTask, fromAction) to just before the action at
// (toTask, toAction), which may be in another task. False, and nothing
// changed, when either position is out of range or they are the same.
bool MoveAction(TTaskTree& tree, size_t fromTask, size_t fromAction, size_t toTask,
                size_t toAction);

// The six schedule fields, year to second; an empty string is an open field.
using ScheduleFields = std::array<std::string, 6>;
// The unit characters, year to second: 年 月 日 时 分 秒.
extern const std::array<const char*, 6> kScheduleUnits;

// Splits a schedule text at its unit characters, in order; a unit that does
// not occur leaves its field empty and the rest of the text unchanged.
ScheduleFields SplitSchedule(const std::string& text);
// Each non-empty field followed by its unit, year to second.
std::string BuildSchedule(const ScheduleFields& fields);

// The entries of a field's drop-down list, the empty entry first: the
// current year and the eleven after it, months 01-12, days 01-31, hours
// 00-23, minutes and seconds 00-59. The list also holds `own`, the edited
// task's value of that field, when it is not empty and not among them (a
// past year, "5" written by hand for "05"): among the numbers by value when
// it is one, else last. So changing one list never drops another field and
// turns a one-time task into a recurring one.
std::vector<std::string> ScheduleChoices(size_t field, int currentYear,
                                         const std::string& own = {});

// The message editor: limit in GBK bytes, the counter label for a text, and
// the stored single line (the memo's lines joined with nothing between).
inline constexpr size_t kMessageLimitBytes = 200;
std::string MessageCounterText(const std::string& utf8Text);
std::string JoinMessageLines(const std::string& utf8Text);

}  // namespace tempora
