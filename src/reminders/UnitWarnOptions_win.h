// The task list "定时任务": every task of War.lst with its actions in a tree
// (enabled tasks expanded, stopped ones collapsed), the buttons 添加 (dropping
// down 新定时任务, 声音, 消息, 执行命令), 修改 and 删除, right-click menus,
// dragging actions onto other actions, and 确定(&O) / 取消(&C). The tree is
// the only model: OK writes War.lst from it node by node, replacing the file
// atomically; when that fails the dialog says so and stays open with nothing
// lost. Closing any other way discards the changes.
#pragma once

#include <windows.h>

#include <string>

#include "reminders/TaskDialog_win.h"
#include "reminders/TaskTree_win.h"

namespace tempora {

class TFrmWarnOptions : public TTaskTreeDialog {
public:
    static constexpr int kWidth = 470, kHeight = 340;  // the client area
    static constexpr wchar_t kClassName[] = L"TFrmWarnOptions";
    enum : int {
        TreeId = 101,
        AddButtonId,  // 添加
        EditButtonId = CmdEdit,
        DeleteButtonId = CmdDelete,
    };

    explicit TFrmWarnOptions(std::string dataDir)
        : TTaskTreeDialog(TreeId), dataDir_(std::move(dataDir)) {}

    // Loads War.lst of the data folder into the tree; a missing file gives an
    // empty one. False when the file is there but cannot be read, so that an
    // empty tree is never saved over it.
    bool Create(HWND owner);
    const std::string& Path() const { return path_; }

protected:
    void Command(int id, int code) override;
    bool Accept() override;
    HWND FirstFocus() const override { return Tree(); }

private:
    HTREEITEM Selected() const;
    void UpdateButtons() override;
    void NewTask();
    void EditSelected();
    void DeleteSelected();
    void ShowAddMenu();
    void ShowNodeMenu(HTREEITEM item, POINT screenAt) override;

    std::string dataDir_, path_;
};

// Runs the task list over `owner`; true when it closed with OK and War.lst
// was written. While a list is open, another call brings it to the front and
// gives false.
bool ShowTaskList(HWND owner, const std::string& dataDir);

}  // namespace tempora
