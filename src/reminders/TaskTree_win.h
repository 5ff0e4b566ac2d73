// The tree views of the task dialogs: tasks at the first level, their
// actions at the second, each node's image being the digit War.lst stores
// for it (see TaskEditor.h). What the task list and the task editor do alike
// to these trees: reading them back, asking for an action's payload, adding,
// editing and moving action nodes, and the state toggle.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "reminders/TaskDialog_win.h"
#include "reminders/TaskEditor.h"

namespace tempora {

// The commands of the task dialogs' buttons and menus.
enum : int {
    CmdNewTask = 201,  // 新定时任务, 添加定时任务
    CmdAddSound,       // 声音, 添加声音
    CmdAddMessage,     // 消息, 添加消息
    CmdAddRun,         // 执行命令, 添加执行命令
    CmdEdit,           // 修改
    CmdDelete,         // 删除
    CmdToggle,         // 停止, 启用
};

// Makes a tree view for tasks in `parent` with the node pictures.
HWND CreateTaskTree(HWND parent, int id, int x, int y, int w, int h, HFONT font);

// A task node with its actions after `after` (TVI_LAST: at the end);
// expanded when it is enabled.
HTREEITEM InsertTaskNode(HWND tree, const TTaskNode& task, HTREEITEM after = TVI_LAST);
HTREEITEM InsertActionNode(HWND tree, HTREEITEM task, const TActionNode& action,
                           HTREEITEM after = TVI_LAST);
// Replaces a task node's text, image and actions.
void ReplaceTaskNode(HWND tree, HTREEITEM item, const TTaskNode& task);

std::string NodeText(HWND tree, HTREEITEM item);
int NodeImage(HWND tree, HTREEITEM item);
void SetNode(HWND tree, HTREEITEM item, const std::string& text, int image);
bool IsTaskNode(HWND tree, HTREEITEM item);
// The task a node belongs to: itself for a task node.
HTREEITEM TaskOfNode(HWND tree, HTREEITEM item);
TTaskNode ReadTaskNode(HWND tree, HTREEITEM task);
// Every node, in display order.
TTaskTree ReadTaskTree(HWND tree);
// The node under a point of the tree's client area, or null.
HTREEITEM NodeAt(HWND tree, POINT client);

// Swaps a task node's image between enabled and stopped.
void ToggleTaskNode(HWND tree, HTREEITEM task);

// Asks for the payload of an action of `image`: a sound file in the file
// dialog "选择声音文件" (starting in the data folder's MySound\), a message in
// the message editor, a command in the run-action editor. `payload` holds the
// current one when editing. False when the user cancelled.
bool AskActionPayload(HWND owner, int image, bool adding, const std::string& dataDir,
                      std::string& payload);
// Asks for a new action of `image` and appends it to `task`, expanded and
// with the new node selected; null when the user cancelled.
HTREEITEM AddActionNode(HWND owner, HWND tree, HTREEITEM task, int image,
                        const std::string& dataDir);
// Asks for an action node's payload again and shows the new one.
bool EditActionNode(HWND owner, HWND tree, HTREEITEM action, const std::string& dataDir);

// Moves action node `from` to just before action node `target`, which may
// belong to another task, and selects it there; null, and nothing moved,
// unless both are action nodes and differ.
HTREEITEM MoveActionNode(HWND tree, HTREEITEM from, HTREEITEM target);

// Dragging an action node onto another with the mouse: the dialog holds the
// capture while it lasts and forwards its mouse messages.
class TActionDrag {
public:
    // Starts with `item` when that is an action node.
    void Begin(HWND dialog, HWND tree, HTREEITEM item);
    bool Active() const { return item_ != nullptr; }
    // The mouse at a point of the dialog's client area: highlights the node a
    // drop there would go before.
    void Move(HWND dialog, POINT client);
    // Drops at a point of the dialog's client area; true when an action moved.
    bool Drop(HWND dialog, POINT client);
    void Cancel();

private:
    HTREEITEM TargetAt(HWND dialog, POINT client) const;

    HWND tree_ = nullptr;
    HTREEITEM item_ = nullptr;
};

// A task dialog built around a task tree: its selection, right click and the
// dragging of actions are handled alike.
class TTaskTreeDialog : public TTaskDialog {
public:
    HWND Tree() const { return Item(treeId_); }

protected:
    explicit TTaskTreeDialog(int treeId) : treeId_(treeId) {}
    // The tree at the left from `top` down `height` pixels, and beside it the
    // buttons 添加 (`addId`), 修改, 删除, and 确定/取消 level with its bottom.
    void AddTreeWithButtons(int top, int height, int addId);
    // After the selection or the tree changed.
    virtual void UpdateButtons() = 0;
    // A right click at `screenAt` on `item` (null: beside every node), which
    // is selected first.
    virtual void ShowNodeMenu(HTREEITEM item, POINT screenAt) = 0;

    LRESULT Notify(NMHDR* hdr) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    int treeId_;
    TActionDrag drag_;
};

}  // namespace tempora
