#include "UnitWarnOptions_win.h"

#include "core/Encoding.h"
#include "core/FileSys.h"
#include "core/LineFile.h"
#include "reminders/UnitEditTask_win.h"

namespace tempora {

namespace {

constexpr int kTreeY = 40, kTreeH = 284;

void Tell(HWND owner, const std::string& text) {
    MessageBoxW(owner, Utf8ToWide(text).c_str(), L"警告", MB_OK | MB_ICONWARNING);
}

}  // namespace

bool TFrmWarnOptions::Create(HWND owner) {
    path_ = dataDir_ + "War.lst";
    std::vector<std::string> lines;
    if (!ReadLineFile(path_, lines) && FileExists(path_)) {
        Tell(owner, "无法读取定时任务文件：\n" + path_ + "\n\n文件没有改动。");
        return false;
    }
    if (!CreateDialogWindow(owner, kClassName, "定时任务", kWidth, kHeight))
        return false;
    AddTreeWithButtons(kTreeY, kTreeH, AddButtonId);
    for (const TTaskNode& task : TaskTreeFromLines(lines))
        InsertTaskNode(Tree(), task);
    UpdateButtons();
    return true;
}

HTREEITEM TFrmWarnOptions::Selected() const {
    return reinterpret_cast<HTREEITEM>(SendMessageW(Tree(), TVM_GETNEXTITEM, TVGN_CARET, 0));
}

void TFrmWarnOptions::UpdateButtons() {
    const bool any = Selected() != nullptr;
    EnableWindow(Item(EditButtonId), any);
    EnableWindow(Item(DeleteButtonId), any);
}

void TFrmWarnOptions::NewTask() {
    TTaskNode task;
    if (!EditTask(Handle(), true, task, dataDir_))
        return;
    const HTREEITEM item = InsertTaskNode(Tree(), task);
    SendMessageW(Tree(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
    SendMessageW(Tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

void TFrmWarnOptions::EditSelected() {
    const HTREEITEM item = Selected();
    if (!item)
        return;
    if (!IsTaskNode(Tree(), item)) {
        EditActionNode(Handle(), Tree(), item, dataDir_);
        return;
    }
    TTaskNode task = ReadTaskNode(Tree(), item);
    if (EditTask(Handle(), false, task, dataDir_))
        ReplaceTaskNode(Tree(), item, task);
}

void TFrmWarnOptions::DeleteSelected() {
    const HTREEITEM item = Selected();
    if (!item)
        return;
    const std::string question =
        std::string("确实要删除选择的") + (IsTaskNode(Tree(), item) ? "任务" : "项目") + "吗？";
    if (MessageBoxW(Handle(), Utf8ToWide(question).c_str(), L"确认", MB_YESNO | MB_ICONQUESTION) ==
        IDYES) {
        SendMessageW(Tree(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
    }
}

void TFrmWarnOptions::ShowAddMenu() {
    RECT r;
    GetWindowRect(Item(AddButtonId), &r);
    // The action entries need a task to go to.
    const bool any = Selected() != nullptr;
    PopupMenu({{CmdNewTask, "新定时任务"},
               {0, ""},
               {CmdAddSound, "声音", any},
               {CmdAddMessage, "消息", any},
               {CmdAddRun, "执行命令", any}},
              {r.left, r.bottom});
}

void TFrmWarnOptions::ShowNodeMenu(HTREEITEM item, POINT screenAt) {
    if (!item) {
        PopupMenu({{CmdNewTask, "添加定时任务"}}, screenAt);
        return;
    }
    std::vector<MenuItem> items{{CmdEdit, "修改"}, {CmdDelete, "删除"}};
    if (IsTaskNode(Tree(), item)) {
        items.insert(items.end(),
                     {{0, ""},
                      {CmdToggle, NodeImage(Tree(), item) == kImgTaskOn ? "停止" : "启用"},
                      {0, ""},
                      {CmdAddSound, "添加声音"},
                      {CmdAddMessage, "添加消息"},
                      {CmdAddRun, "添加执行命令"}});
    }
    PopupMenu(items, screenAt);
}

void TFrmWarnOptions::Command(int id, int) {
    switch (id) {
        case AddButtonId:
            ShowAddMenu();
            break;
        case CmdNewTask:
            NewTask();
            break;
        case CmdAddSound:
        case CmdAddMessage:
        case CmdAddRun:
            AddActionNode(Handle(), Tree(), TaskOfNode(Tree(), Selected()),
                          id == CmdAddSound     ? kImgSound
                          : id == CmdAddMessage ? kImgMessage
                                                : kImgRun,
                          dataDir_);
            break;
        case CmdEdit:
            EditSelected();
            break;
        case CmdDelete:
            DeleteSelected();
            break;
        case CmdToggle:
            if (Selected() && IsTaskNode(Tree(), Selected()))
                ToggleTaskNode(Tree(), Selected());
            break;
        default:
            break;
    }
    UpdateButtons();
}

bool TFrmWarnOptions::Accept() {
    if (SaveTaskTree(path_, ReadTaskTree(Tree())))
        return true;
    Tell(Handle(), "无法保存定时任务文件：\n" + path_ +
                       "\n\n文件可能是只读的，或磁盘已满。原来的文件没有改动；"
                       "这里的修改仍在，可以再按“确定”重试，或按“取消”放弃。");
    return false;
}

bool ShowTaskList(HWND owner, const std::string& dataDir) {
    // The clock view's menu stays usable while the list is open; a second
    // list would write War.lst over the first one's changes.
    static HWND open = nullptr;
    if (open && IsWindow(open)) {
        SetForegroundWindow(open);
        return false;
    }
    TFrmWarnOptions form(dataDir);
    if (!form.Create(owner))
        return false;
    open = form.Handle();
    const bool ok = form.ShowModal() == IDOK;
    open = nullptr;
    return ok;
}

}  // namespace tempora
