// The task editor "添加任务" / "编辑任务": six drop-down lists for year,
// month, day, hour, minute and second (each with an empty first entry; Escape
// or Delete in a list chooses it), and a tree of the one task node, whose
// text is the schedule rebuilt from the lists on every change, with its
// actions. 添加 drops down 声音, 消息 and 执行命令 while the task node is
// selected; 修改 and 删除 act on the selected action. A list under them
// limits the task to working days or days off. OK needs a schedule and at
// least one action.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "reminders/TaskDialog_win.h"
#include "reminders/TaskEditor.h"
#include "reminders/TaskTree_win.h"

namespace tempora {

class TFrmEditTask : public TTaskTreeDialog {
public:
    static constexpr int kWidth = 470, kHeight = 330;  // the client area
    static constexpr wchar_t kClassName[] = L"TFrmEditTask";
    enum : int {
        YearBoxId = 101,  // .. SecondBoxId, in schedule order
        MonthBoxId,
        DayBoxId,
        HourBoxId,
        MinuteBoxId,
        SecondBoxId,
        TreeId,
        AddButtonId,  // 添加
        EditButtonId = CmdEdit,
        DeleteButtonId = CmdDelete,
        DayRuleBoxId = 120,  // 每天, 仅工作日, 仅休息日
    };

    explicit TFrmEditTask(std::string dataDir)
        : TTaskTreeDialog(TreeId), dataDir_(std::move(dataDir)) {}

    // `currentYear` starts the year list.
    bool Create(HWND owner, bool adding, const TTaskNode& task, int currentYear);
    // The task after OK.
    const TTaskNode& Task() const { return task_; }
    HTREEITEM TaskItem() const { return taskItem_; }

protected:
    void Command(int id, int code) override;
    bool Accept() override;
    HWND FirstFocus() const override { return Item(YearBoxId); }
    bool PreTranslate(const MSG& msg) override;

private:
    HTREEITEM Selected() const;
    void UpdateButtons() override;
    void RebuildSchedule();
    DayRule ChosenDayRule() const;
    void DeleteAction();
    void ShowAddMenu();
    void ShowNodeMenu(HTREEITEM item, POINT screenAt) override;

    std::string dataDir_;
    HTREEITEM taskItem_ = nullptr;
    TTaskNode task_;
};

// Runs the editor over `owner` on a copy of `task`; on OK, true with the
// result in `task`.
bool EditTask(HWND owner, bool adding, TTaskNode& task, const std::string& dataDir);

}  // namespace tempora
