#include "UnitEditTask_win.h"

#include "core/ClockSource.h"
#include "core/DateTime.h"
#include "core/Encoding.h"

namespace tempora {

namespace {

constexpr int kRowY = 40, kTreeY = 74, kTreeH = 240;
constexpr DWORD kComboStyle = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;

bool IsScheduleBox(int id) {
    return id >= TFrmEditTask::YearBoxId && id <= TFrmEditTask::SecondBoxId;
}

}  // namespace

bool TFrmEditTask::Create(HWND owner, bool adding, const TTaskNode& task, int currentYear) {
    if (!CreateDialogWindow(owner, kClassName, adding ? "添加任务" : "编辑任务", kWidth, kHeight))
        return false;
    const ScheduleFields fields = SplitSchedule(NodeSchedule(task.text));
    int x = 16;
    for (size_t i = 0; i < fields.size(); ++i) {
        const int id = YearBoxId + static_cast<int>(i);
        const int w = i == 0 ? 62 : 44;
        const HWND combo = AddControl(WC_COMBOBOXW, "", kComboStyle, x, kRowY, w, 300, id);
        AddControl(L"STATIC", kScheduleUnits[i], SS_LEFT | SS_CENTERIMAGE, x + w + 3, kRowY + 1, 16,
                   20, -1);
        x += w + 28;
        // The list holds the field's own text; an open field selects nothing.
        int select = -1;
        const std::vector<std::string> entries = ScheduleChoices(i, currentYear, fields[i]);
        for (size_t e = 0; e < entries.size(); ++e) {
            SendMessageW(combo, CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(Utf8ToWide(entries[e]).c_str()));
            if (e > 0 && entries[e] == fields[i])
                select = static_cast<int>(e);
        }
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(select), 0);
    }
    AddTreeWithButtons(kTreeY, kTreeH, AddButtonId);
    // Under 删除, in the order of DayRule.
    const HWND rule =
        AddControl(WC_COMBOBOXW, "", kComboStyle, 372, kTreeY + 110, 82, 120, DayRuleBoxId);
    for (const wchar_t* entry : {L"每天", L"仅工作日", L"仅休息日"})
        SendMessageW(rule, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
    SendMessageW(rule, CB_SETCURSEL, static_cast<WPARAM>(NodeDayRule(task.text)), 0);

    taskItem_ = InsertTaskNode(Tree(), task);
    SendMessageW(Tree(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(taskItem_));
    SendMessageW(Tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(taskItem_));
    UpdateButtons();
    return true;
}

HTREEITEM TFrmEditTask::Selected() const {
    return reinterpret_cast<HTREEITEM>(SendMessageW(Tree(), TVM_GETNEXTITEM, TVGN_CARET, 0));
}

void TFrmEditTask::UpdateButtons() {
    const HTREEITEM item = Selected();
    const bool onTask = item && IsTaskNode(Tree(), item);
    EnableWindow(Item(AddButtonId), onTask);
    EnableWindow(Item(EditButtonId), item && !onTask);
    EnableWindow(Item(DeleteButtonId), item && !onTask);
}

void TFrmEditTask::RebuildSchedule() {
    ScheduleFields fields;
    for (size_t i = 0; i < fields.size(); ++i)
        fields[i] = ComboText(Item(YearBoxId + static_cast<int>(i)));
    SetNode(Tree(), taskItem_, TaskNodeText(BuildSchedule(fields), ChosenDayRule()),
            NodeImage(Tree(), taskItem_));
}

DayRule TFrmEditTask::ChosenDayRule() const {
    const LRESULT at = SendMessageW(Item(DayRuleBoxId), CB_GETCURSEL, 0, 0);
    return at == 1 ? DayRule::WorkingDays : at == 2 ? DayRule::DaysOff : DayRule::Any;
}

void TFrmEditTask::DeleteAction() {
    const HTREEITEM item = Selected();
    if (!item || IsTaskNode(Tree(), item))
        return;
    if (MessageBoxW(Handle(), L"确实要删除选择的项目？", L"确认", MB_YESNO | MB_ICONQUESTION) ==
        IDYES) {
        SendMessageW(Tree(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
        UpdateButtons();
    }
}

void TFrmEditTask::ShowAddMenu() {
    RECT r;
    GetWindowRect(Item(AddButtonId), &r);
    PopupMenu({{CmdAddSound, "声音"}, {CmdAddMessage, "消息"}, {CmdAddRun, "执行命令"}},
              {r.left, r.bottom});
}

void TFrmEditTask::ShowNodeMenu(HTREEITEM item, POINT screenAt) {
    if (!item)
        return;
    if (IsTaskNode(Tree(), item)) {
        PopupMenu({{CmdToggle, NodeImage(Tree(), item) == kImgTaskOn ? "停止" : "启用"},
                   {0, ""},
                   {CmdAddSound, "添加声音"},
                   {CmdAddMessage, "添加消息"},
                   {CmdAddRun, "添加执行命令"}},
                  screenAt);
    } else {
        PopupMenu({{CmdEdit, "修改"}, {CmdDelete, "删除"}, {0, ""}, {CmdAddRun, "添加执行命令"}},
                  screenAt);
    }
}

void TFrmEditTask::Command(int id, int code) {
    if (IsScheduleBox(id) || id == DayRuleBoxId) {
        if (code == CBN_SELCHANGE)
            RebuildSchedule();
        return;
    }
    switch (id) {
        case AddButtonId:
            ShowAddMenu();
            break;
        case CmdAddSound:
        case CmdAddMessage:
        case CmdAddRun:
            AddActionNode(Handle(), Tree(), taskItem_,
                          id == CmdAddSound     ? kImgSound
                          : id == CmdAddMessage ? kImgMessage
                                                : kImgRun,
                          dataDir_);
            break;
        case CmdEdit:
            if (Selected() && !IsTaskNode(Tree(), Selected()))
                EditActionNode(Handle(), Tree(), Selected(), dataDir_);
            break;
        case CmdDelete:
            DeleteAction();
            break;
        case CmdToggle:
            ToggleTaskNode(Tree(), taskItem_);
            break;
        default:
            break;
    }
    UpdateButtons();
}

bool TFrmEditTask::PreTranslate(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || (msg.wParam != VK_ESCAPE && msg.wParam != VK_DELETE))
        return false;
    const int id = GetDlgCtrlID(msg.hwnd);
    if (!IsScheduleBox(id) || GetParent(msg.hwnd) != Handle())
        return false;
    // Escape or Delete in a list chooses its empty entry rather than closing the dialog.
    SendMessageW(msg.hwnd, CB_SHOWDROPDOWN, FALSE, 0);
    SendMessageW(msg.hwnd, CB_SETCURSEL, 0, 0);
    RebuildSchedule();
    return true;
}

bool TFrmEditTask::Accept() {
    const TTaskNode task = ReadTaskNode(Tree(), taskItem_);
    if (NodeSchedule(task.text).empty()) {
        MessageBoxW(Handle(), L"请选择时间。", L"提示", MB_OK | MB_ICONINFORMATION);
        return false;
    }
    if (task.actions.empty()) {
        MessageBoxW(Handle(), L"请添加声音、消息或命令。", L"提示", MB_OK | MB_ICONINFORMATION);
        return false;
    }
    task_ = task;
    return true;
}

bool EditTask(HWND owner, bool adding, TTaskNode& task, const std::string& dataDir) {
    TFrmEditTask form(dataDir);
    const int year = DecodeDate(ClockSource::Current().NowLocal()).year;
    if (!form.Create(owner, adding, task, year) || form.ShowModal() != IDOK)
        return false;
    task = form.Task();
    return true;
}

}  // namespace tempora
