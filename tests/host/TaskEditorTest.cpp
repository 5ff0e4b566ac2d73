// The model behind the task dialogs: War.lst as a tree and back, moving
// actions, the schedule fields and their lists, the message byte counter.
#include "reminders/TaskEditor.h"
#include "TempDir.h"
#include "core/Encoding.h"
#include "core/FileSys.h"
#include "core/LineFile.h"
#include "reminders/TaskList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

using namespace tempora;
using tempora::test::TempDir;

namespace {

using Lines = std::vector<std::string>;

TTaskTree TwoTasks() {
    return {
        {kImgTaskOn, "08时00分", {{kImgSound, "播放 (a.wav)"}, {kImgMessage, "消息 (起床)"}}},
        {kImgTaskOff, "12时", {{kImgRun, "执行 (关机)"}}},
    };
}

}  // namespace

TEST(TaskEditor, TreeComesFromTheLinesAndWritesThemBack) {
    const Lines file = {
        "*012时30分",   "2播放 (C:\\a (1).wav)", "3消息 (开会了)", "*12009年01月01日00时",
        "4执行 (关机)",
        "*0",  // an empty schedule is a task all the same
    };
    const TTaskTree tree = TaskTreeFromLines(file);
    ASSERT_EQ(tree.size(), 3u);
    EXPECT_EQ(tree[0].image, kImgTaskOn);
    EXPECT_EQ(tree[0].text, "12时30分");
    EXPECT_EQ(tree[0].actions[0], (TActionNode{kImgSound, "播放 (C:\\a (1).wav)"}));
    EXPECT_EQ(tree[1].image, kImgTaskOff);
    EXPECT_TRUE(tree[2].text.empty());
    EXPECT_EQ(TaskTreeLines(tree), file);
    // What the scheduler reads from the written lines is what it read before.
    EXPECT_EQ(ParseTaskLines(TaskTreeLines(tree)), ParseTaskLines(file));
}

TEST(TaskEditor, DamagedLinesLoadAsTheSchedulerReadsThem) {
    struct Case {
        const char* name;
        Lines file;
        Lines written;
    } cases[] = {
        {"action before the first task and blank lines are dropped",
         {"2播放 (x.wav)", "", "*008时", "", "3消息 (a)"},
         {"*008时", "3消息 (a)"}},
        {"a line not starting with a digit is dropped", {"*008时", "消息 (a)"}, {"*008时"}},
        {"a state that is no digit becomes enabled", {"*x08时"}, {"*008时"}},
        {"a multi-byte state is one character", {"*停08时"}, {"*008时"}},
        {"a bare star is an enabled task without schedule", {"*"}, {"*0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TaskTreeLines(TaskTreeFromLines(c.file)), c.written);
        for (const std::string& line : TaskTreeLines(TaskTreeFromLines(c.file)))
            EXPECT_TRUE(IsValidUtf8(line)) << line;
    }
}

TEST(TaskEditor, SaveReplacesTheFileWithGbkLinesAndReportsAFailure) {
    TempDir dir;
    const std::string path = dir.File("War.lst");
    ASSERT_TRUE(WriteFileAtomic(path, "old\r\n"));
    ASSERT_TRUE(SaveTaskTree(path, TwoTasks()));
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(path, bytes));
    EXPECT_EQ(bytes, Utf8ToGbk("*008时00分\r\n2播放 (a.wav)\r\n3消息 (起床)\r\n*112时\r\n"
                               "4执行 (关机)\r\n"));
    EXPECT_EQ(std::vector<std::string>{"War.lst"}, ListFiles(dir.File(""), ""));

    EXPECT_FALSE(SaveTaskTree(dir.File("missing/War.lst"), TTaskTree{}));
    Lines lines;
    ASSERT_TRUE(ReadLineFile(path, lines));
    EXPECT_EQ(lines, TaskTreeLines(TwoTasks()));
}

TEST(TaskEditor, MoveActionInsertsBeforeTheTarget) {
    struct Case {
        const char* name;
        size_t fromTask, fromAction, toTask, toAction;
        bool moved;
        Lines result;
    } cases[] = {
        {"into another task",
         0,
         0,
         1,
         0,
         true,
         {"*008时00分", "3消息 (起床)", "*112时", "2播放 (a.wav)", "4执行 (关机)"}},
        {"down within a task",
         0,
         0,
         0,
         1,
         true,
         {"*008时00分", "2播放 (a.wav)", "3消息 (起床)", "*112时", "4执行 (关机)"}},
        {"up within a task",
         0,
         1,
         0,
         0,
         true,
         {"*008时00分", "3消息 (起床)", "2播放 (a.wav)", "*112时", "4执行 (关机)"}},
        {"onto itself", 0, 1, 0, 1, false, TaskTreeLines(TwoTasks())},
        {"from beyond the actions", 1, 1, 0, 0, false, TaskTreeLines(TwoTasks())},
        {"to beyond the tasks", 0, 0, 2, 0, false, TaskTreeLines(TwoTasks())},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTaskTree tree = TwoTasks();
        EXPECT_EQ(MoveAction(tree, c.fromTask, c.fromAction, c.toTask, c.toAction), c.moved);
        EXPECT_EQ(TaskTreeLines(tree), c.result);
    }
}

TEST(TaskEditor, ActionTextAndPayload) {
    EXPECT_EQ(ActionText(kImgSound, "C:\\a (1).wav"), "播放 (C:\\a (1).wav)");
    EXPECT_EQ(ActionText(kImgMessage, "开会"), "消息 (开会)");
    EXPECT_EQ(ActionText(kImgRun, "关机"), "执行 (关机)");
    EXPECT_EQ(ActionPayload("播放 (C:\\a (1).wav)"), "C:\\a (1).wav");
    EXPECT_EQ(ActionPayload("消息 ()"), "");
    EXPECT_EQ(ActionPayload("消息 ("), "");
    EXPECT_EQ(ActionPayload("no parenthesis"), "");
}

TEST(TaskEditor, ScheduleSplitsIntoItsFieldsAndIsRebuilt) {
    struct Case {
        const char* text;
        ScheduleFields fields;
        const char* rebuilt;
    } cases[] = {
        {"2009年01月01日00时00分00秒",
         {"2009", "01", "01", "00", "00", "00"},
         "2009年01月01日00时00分00秒"},
        {"12时30分", {"", "", "", "12", "30", ""}, "12时30分"},
        {"30秒", {"", "", "", "", "", "30"}, "30秒"},
        {"", {}, ""},
        {"08时junk", {"", "", "", "08", "", ""}, "08时"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(SplitSchedule(c.text), c.fields);
        EXPECT_EQ(BuildSchedule(SplitSchedule(c.text)), c.rebuilt);
    }
}

TEST(TaskEditor, ListsOfferTheirRangeWithAnEmptyEntryFirst) {
    const auto years = ScheduleChoices(0, 2026);
    ASSERT_EQ(years.size(), 13u);
    EXPECT_EQ(years.front(), "");
    EXPECT_EQ(years[1], "2026");
    EXPECT_EQ(years.back(), "2037");
    const struct {
        size_t field;
        size_t count;
        const char* first;
        const char* last;
    } ranges[] = {{1, 12, "01", "12"},
                  {2, 31, "01", "31"},
                  {3, 24, "00", "23"},
                  {4, 60, "00", "59"},
                  {5, 60, "00", "59"}};
    for (const auto& r : ranges) {
        SCOPED_TRACE(r.field);
        const auto list = ScheduleChoices(r.field, 2026);
        ASSERT_EQ(list.size(), r.count + 1);
        EXPECT_EQ(list[0], "");
        EXPECT_EQ(list[1], r.first);
        EXPECT_EQ(list.back(), r.last);
    }
}

TEST(TaskEditor, ListsHoldTheTasksOwnValueSoAnEditKeepsIt) {
    struct Case {
        size_t field;
        const char* own;
        size_t at;  // its position in the list
    } cases[] = {
        {0, "2009", 1},   // a past year comes before the current one
        {0, "2050", 13},  // a far one after the last
        {0, "2030", 5},   // one offered anyway is not doubled
        {1, "5", 6},      // "5" written by hand sorts after 05
        {0, "abc", 13},   // what is no number goes last
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.own);
        const auto list = ScheduleChoices(c.field, 2026, c.own);
        ASSERT_LT(c.at, list.size());
        EXPECT_EQ(list[c.at], c.own);
        EXPECT_EQ(std::count(list.begin(), list.end(), c.own), 1);
    }

    // The editor selects each field's own entry; changing the minute then
    // rebuilds the text with the past year still in it, so the one-time task
    // does not become a yearly one.
    const std::string text = "2009年5月01日08时00分";
    ScheduleFields fields = SplitSchedule(text);
    for (size_t i = 0; i < fields.size(); ++i) {
        const auto list = ScheduleChoices(i, 2026, fields[i]);
        ASSERT_NE(std::find(list.begin(), list.end(), fields[i]), list.end()) << i;
    }
    fields[4] = "30";
    const std::string edited = BuildSchedule(fields);
    EXPECT_EQ(edited, "2009年5月01日08时30分");
    const auto parsed = ParseTaskLines({"*0" + edited});
    ASSERT_EQ(parsed.size(), 1u);
    EXPECT_EQ(parsed[0].year, 2009);
    EXPECT_EQ(parsed[0].month, 5);
}

TEST(TaskEditor, MessageCountsGbkBytesAndIsStoredAsOneLine) {
    EXPECT_EQ(MessageCounterText(""), "0/200字节");
    // Two Chinese characters are four bytes, the line break two more.
    EXPECT_EQ(MessageCounterText("开会\r\nab"), "8/200字节");
    EXPECT_EQ(JoinMessageLines("开会\r\n带上\r\n资料"), "开会带上资料");
    EXPECT_EQ(JoinMessageLines("one line"), "one line");
}

TEST(TaskEditor, DayRuleShowsAfterTheScheduleAndKeepsItsOwnLine) {
    const Lines file = {"*008时00分", kWorkingDaysLine, "3消息 (上班)", "*109时",
                        kDaysOffLine, "2播放 (a.wav)",  "*010时",       "3消息 (每天)"};
    const TTaskTree tree = TaskTreeFromLines(file);
    ASSERT_EQ(tree.size(), 3u);
    EXPECT_EQ(tree[0].text, "08时00分 仅工作日");
    EXPECT_EQ(tree[1].text, "09时 仅休息日");
    EXPECT_EQ(tree[2].text, "10时");
    EXPECT_EQ(tree[0].actions.size(), 1u);
    EXPECT_EQ(TaskTreeLines(tree), file);
    const struct {
        std::string text, schedule;
        DayRule rule;
    } cases[] = {
        {"08时00分 仅工作日", "08时00分", DayRule::WorkingDays},
        {"2027年01月 仅休息日", "2027年01月", DayRule::DaysOff},
        {"10时", "10时", DayRule::Any},
        {"仅工作日", "仅工作日", DayRule::Any},  // no blank before: part of a damaged schedule
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(NodeDayRule(c.text), c.rule);
        EXPECT_EQ(NodeSchedule(c.text), c.schedule);
        if (c.rule != DayRule::Any) {
            EXPECT_EQ(TaskNodeText(c.schedule, c.rule), c.text);
        }
    }
    // The schedule's fields come from the schedule alone: the 日 of the
    // words is no day field.
    EXPECT_EQ(SplitSchedule(NodeSchedule(tree[0].text)),
              (ScheduleFields{"", "", "", "08", "00", ""}));
}
