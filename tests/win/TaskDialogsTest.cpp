// The task dialogs on real windows: the task list, the task editor, the
// run-action editor and the message editor, driven through their controls
// from inside their own modal loops by a script of steps, each waiting for
// its window to show.
#include "AppFixture.h"
#include "app/ClockApp_win.h"
#include "reminders/UnitAct_win.h"
#include "reminders/UnitEditTask_win.h"
#include "reminders/UnitInputMsg_win.h"
#include "reminders/UnitWarnOptions_win.h"

#include <commctrl.h>

#include <cmath>
#include <cstring>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DialogScript.h"
#include "core/ClockSource.h"
#include "core/DateTime.h"
#include "core/Encoding.h"
#include "core/FileSys.h"
#include "core/LineFile.h"
#include "win/Window_win.h"

using namespace tempora;
using namespace tempora::test;

namespace {

using Lines = std::vector<std::string>;

std::string Text(HWND w) {
    return WindowTextOf(w);
}
std::string BoxText(HWND box) {
    return Text(GetDlgItem(box, 0xFFFF));
}
// Types over the whole text of an edit control, as a paste does.
void Type(HWND edit, const wchar_t* text) {
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
}
bool Enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

HTREEITEM NextNode(HWND tree, HTREEITEM item, UINT how) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
}
// The task node `task`, or its action `action` when that is not negative.
HTREEITEM Node(HWND tree, int task, int action = -1) {
    HTREEITEM item = NextNode(tree, nullptr, TVGN_ROOT);
    for (int i = 0; item && i < task; ++i)
        item = NextNode(tree, item, TVGN_NEXT);
    if (action < 0 || !item)
        return item;
    item = NextNode(tree, item, TVGN_CHILD);
    for (int i = 0; item && i < action; ++i)
        item = NextNode(tree, item, TVGN_NEXT);
    return item;
}
void SelectNode(HWND tree, HTREEITEM item) {
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}
bool Expanded(HWND tree, HTREEITEM item) {
    return (SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) &
            TVIS_EXPANDED) != 0;
}
// Drags a node onto another with the mouse: the tree starts the drag, the
// dialog follows the captured mouse and drops where the button goes up.
void DragNode(HWND dialog, HWND tree, HTREEITEM from, HTREEITEM onto) {
    NMTREEVIEWW nm{};
    nm.hdr.hwndFrom = tree;
    nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(tree));
    nm.hdr.code = TVN_BEGINDRAGW;
    nm.itemNew.hItem = from;
    SendMessageW(dialog, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
    // TVM_GETITEMRECT takes the item in the rectangle it fills.
    RECT r{};
    std::memcpy(&r, &onto, sizeof onto);
    SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
    POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    MapWindowPoints(tree, dialog, &at, 1);
    SendMessageW(dialog, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    SendMessageW(dialog, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

// A shown pop-up menu: its items' ids (0 for a separator) with "-" after a
// greyed one; reading it closes it.
std::function<HWND()> ShownMenu() {
    return [] { return FindWindowW(L"#32768", nullptr); };
}
std::vector<std::string> ReadMenu(HWND menuWindow) {
    const auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
    std::vector<std::string> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        const bool grey = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED;
        items.push_back(std::to_string(GetMenuItemID(menu, i)) + (grey ? "-" : ""));
    }
    EndMenu();
    return items;
}
// Right-clicks the tree at the middle of `item`, or below its last node.
void RightClick(HWND dialog, HWND tree, HTREEITEM item) {
    RECT r{};
    if (item) {
        std::memcpy(&r, &item, sizeof item);
        SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
    } else {
        GetClientRect(tree, &r);
        r.top = r.bottom - 12;
    }
    POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(tree, &at);
    SetCursorPos(at.x, at.y);
    static NMHDR click;
    click = {tree, static_cast<UINT_PTR>(GetDlgCtrlID(tree)), static_cast<UINT>(NM_RCLICK)};
    PostMessageW(dialog, WM_NOTIFY, click.idFrom, reinterpret_cast<LPARAM>(&click));
}

// Picks a file in the open-file dialog by typing its name.
void PickFile(HWND box, const std::wstring& name) {
    HWND field = GetDlgItem(box, 0x47C);  // the file name box
    if (!field)
        field = GetDlgItem(box, 0x480);
    SetWindowTextW(field, name.c_str());
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

class Owner : public TWindow {
public:
    bool Make() {
        return CreateWin(L"TemporaTaskDialogsTestOwner", L"owner", WS_POPUP, 0, 0, 0, 10, 10);
    }
};

// Noon, China time, on the given day.
int64_t UtcMillisAt(int y, int m, int d) {
    return static_cast<int64_t>(std::llround((EncodeDate(y, m, d) - 25569.0) * 86400000.0)) +
           4 * 3600000LL;
}

class TaskDialogs : public test::AppFixture {
protected:
    TaskDialogs() : test::AppFixture("tempora-tasks-") { UseClock(UtcMillisAt(2026, 3, 10)); }
    void SetUp() override {
        ASSERT_TRUE(owner.Make());
        std::filesystem::create_directories(Folder().Path() / "MySound");
        ASSERT_TRUE(WriteFileAtomic(dataDir + "MySound\\bell.wav", "RIFF"));
    }
    void TearDown() override {
        AppFixture::TearDown();
        SetFileAttributesW(Utf8ToWide(War()).c_str(), FILE_ATTRIBUTE_NORMAL);
    }

    std::string War() const { return dataDir + "War.lst"; }
    void Put(const Lines& lines) { ASSERT_TRUE(WriteLineFile(War(), lines)); }
    Lines Read() const {
        Lines lines;
        ReadLineFile(War(), lines);
        return lines;
    }
    std::string Bytes() const {
        std::string bytes;
        ReadFileBytes(War(), bytes);
        return bytes;
    }

    Owner owner;
    const std::string dataDir = Data();
};

const Lines kTwoTasks = {
    "*008时00分", "2播放 (a.wav)", "3消息 (起床)", "*012时", "4执行 (关机)", "3消息 (午饭)",
};

}  // namespace

TEST_F(TaskDialogs, AddsATaskWithASoundAndAMessage) {
    std::string schedule, soundNode, counter, editorTitle;
    bool addEnabledOnTask = false, editEnabledOnTask = true;
    Script script({
        {Dialog(TFrmWarnOptions::kClassName),
         [&](HWND w) {
             EXPECT_FALSE(Enabled(w, TFrmWarnOptions::EditButtonId));
             Press(w, CmdNewTask);
         }},
        {Dialog(TFrmEditTask::kClassName),
         [&](HWND w) {
             editorTitle = Text(w);
             const HWND tree = GetDlgItem(w, TFrmEditTask::TreeId);
             addEnabledOnTask = Enabled(w, TFrmEditTask::AddButtonId);
             editEnabledOnTask = Enabled(w, TFrmEditTask::EditButtonId);
             Choose(w, TFrmEditTask::HourBoxId, 9);     // 08
             Choose(w, TFrmEditTask::MinuteBoxId, 31);  // 30
             schedule = NodeText(tree, Node(tree, 0));
             Press(w, CmdAddSound);
         }},
        {Box(L"选择声音文件"), [&](HWND box) { PickFile(box, L"bell.wav"); }},
        {Dialog(TFrmEditTask::kClassName),
         [&](HWND w) {
             const HWND tree = GetDlgItem(w, TFrmEditTask::TreeId);
             soundNode = NodeText(tree, Node(tree, 0, 0));
             SelectNode(tree, Node(tree, 0));
             Press(w, CmdAddMessage);
         }},
        {Dialog(TFrmInputMsg::kClassName),
         [&](HWND w) {
             Type(GetDlgItem(w, TFrmInputMsg::Memo1Id), L"开会\r\n带资料");
             counter = Text(GetDlgItem(w, TFrmInputMsg::Label1Id));
             Press(w, IDOK);
         }},
        {Dialog(TFrmEditTask::kClassName), [](HWND w) { Press(w, IDOK); }},
        {Dialog(TFrmWarnOptions::kClassName), [](HWND w) { Press(w, IDOK); }},
    });
    EXPECT_TRUE(ShowTaskList(owner.Handle(), dataDir));
    EXPECT_EQ(script.Left(), 0u);
    EXPECT_EQ(editorTitle, "添加任务");
    EXPECT_TRUE(addEnabledOnTask);
    EXPECT_FALSE(editEnabledOnTask);
    EXPECT_EQ(schedule, "08时30分");
    // The sound dialog started in MySound\: the bare name was found there.
    const std::string sound = "播放 (" + dataDir + "MySound\\bell.wav)";
    EXPECT_EQ(soundNode, sound);
    EXPECT_EQ(counter, "12/200字节");
    EXPECT_EQ(Read(), (Lines{"*008时30分", "2" + sound, "3消息 (开会带资料)"}));
}

TEST_F(TaskDialogs, EditingTheMinuteKeepsAPastYear) {
    Put({"*02009年01月01日08时00分", "3消息 (元旦)", "*112时", "4执行 (关机)"});
    bool firstExpanded = false, secondExpanded = true;
    std::string year, title;
    Script script({
        {Dialog(TFrmWarnOptions::kClassName),
         [&](HWND w) {
             const HWND tree = GetDlgItem(w, TFrmWarnOptions::TreeId);
             firstExpanded = Expanded(tree, Node(tree, 0));
             secondExpanded = Expanded(tree, Node(tree, 1));
             SelectNode(tree, Node(tree, 0));
             Press(w, CmdEdit);
         }},
        {Dialog(TFrmEditTask::kClassName),
         [&](HWND w) {
             title = Text(w);
             year = Text(GetDlgItem(w, TFrmEditTask::YearBoxId));
             Choose(w, TFrmEditTask::MinuteBoxId, 16);  // 15
             Press(w, IDOK);
         }},
        {Dialog(TFrmWarnOptions::kClassName), [](HWND w) { Press(w, IDOK); }},
    });
    EXPECT_TRUE(ShowTaskList(owner.Handle(), dataDir));
    EXPECT_EQ(script.Left(), 0u);
    EXPECT_TRUE(firstExpanded);
    EXPECT_FALSE(secondExpanded);
    EXPECT_EQ(title, "编辑任务");
    EXPECT_EQ(year, "2009");
    EXPECT_EQ(Read(),
              (Lines{"*02009年01月01日08时15分", "3消息 (元旦)", "*112时", "4执行 (关机)"}));
}

TEST_F(TaskDialogs, DraggingAnActionMovesItAndTheFileIsTheTree) {
    Put(kTwoTasks);
    TTaskTree shown;
    Script script({
        {Dialog(TFrmWarnOptions::kClassName),
         [&](HWND w) {
             const HWND tree = GetDlgItem(w, TFrmWarnOptions::TreeId);
             // Onto a task: nothing moves.
             DragNode(w, tree, Node(tree, 0, 0), Node(tree, 1));
             // The sound of the first task goes before the second task's message.
             DragNode(w, tree, Node(tree, 0, 0), Node(tree, 1, 1));
             // The toggle stops the first task.
             SelectNode(tree, Node(tree, 0));
             SendMessageW(w, WM_COMMAND, CmdToggle, 0);
             shown = ReadTaskTree(tree);
             Press(w, IDOK);
         }},
    });
    EXPECT_TRUE(ShowTaskList(owner.Handle(), dataDir));
    EXPECT_EQ(script.Left(), 0u);
    const Lines expected = {"*108时00分",   "3消息 (起床)",  "*012时",
                            "4执行 (关机)", "2播放 (a.wav)", "3消息 (午饭)"};
    EXPECT_EQ(TaskTreeLines(shown), expected);
    EXPECT_EQ(Read(), expected);
}

TEST_F(TaskDialogs, DeletesWithYesAndCancelDiscardsEverything) {
    Put(kTwoTasks);
    const std::string before = Bytes();
    std::vector<std::string> questions;
    Script script({
        {Dialog(TFrmWarnOptions::kClassName),
         [&](HWND w) {
             const HWND tree = GetDlgItem(w, TFrmWarnOptions::TreeId);
             SelectNode(tree, Node(tree, 1, 0));
             Press(w, CmdDelete);
         }},
        {Box(L"确认"),
         [&](HWND box) {
             questions.push_back(BoxText(box));
             PostMessageW(box, WM_COMMAND, IDNO, 0);
         }},
        {Dialog(TFrmWarnOptions::kClassName),
         [&](HWND w) {
             const HWND tree = GetDlgItem(w, TFrmWarnOptions::TreeId);
             SelectNode(tree, Node(tree, 0));
             Press(w, CmdDelete);
         }},
        {Box(L"确认"),
         [&](HWND box) {
             questions.push_back(BoxText(box));
             PostMessageW(box, WM_COMMAND, IDYES, 0);
         }},
        {Dialog(TFrmWarnOptions::kClassName), [](HWND w) { Press(w, IDOK); }},
    });
    EXPECT_TRUE(ShowTaskList(owner.Handle(), dataDir));
    EXPECT_EQ(script.Left(), 0u);
    EXPECT_EQ(questions, (Lines{"确实要删除选择的项目吗？", "确实要删除选择的任务吗？"}));
    EXPECT_EQ(Read(), (Lines{"*012时", "4执行 (关机)", "3消息 (午饭)"}));

    // The same deletion, then 取消: the file stays byte for byte.
    Put(kTwoTasks);
    Script cancel({
        {Dialog(TFrmWarnOptions::kClassName),
         [&](HWND w) {
             const HWND tree = GetDlgItem(w, TFrmWarnOptions::TreeId);
             SelectNode(tree, Node(tree, 0));
             Press(w, CmdDelete);
         }},
        {Box(L"确认"), [&](HWND box) { PostMessageW(box, WM_COMMAND, IDYES, 0); }},
        {Dialog(TFrmWarnOptions::kClassName), [](HWND w) { Press(w, IDCANCEL); }},
    });
    EXPECT_FALSE(ShowTaskList(owner.Handle(), dataDir));
    EXPECT_EQ(cancel.Left(), 0u);
    EXPECT_EQ(Bytes(), before);
}

TEST_F(TaskDialogs, AReadOnlyFileIsToldAndNothingIsLost) {
    Put(kTwoTasks);
    const std::string before = Bytes();
    ASSERT_TRUE(SetFileAttributesW(Utf8ToWide(War()).c_str(), FILE_ATTRIBUTE_READONLY));
    std::string warning;
    size_t tasksAfterWarning = 0;
    Script script({
        {Dialog(TFrmWarnOptions::kClassName),
         [&](HWND w) {
             const HWND tree = GetDlgItem(w, TFrmWarnOptions::TreeId);
             SelectNode(tree, Node(tree, 0));
             SendMessageW(w, WM_COMMAND, CmdToggle, 0);
             Press(w, IDOK);
         }},
        {Box(L"警告"),
         [&](HWND box) {
             warning = BoxText(box);
             PostMessageW(box, WM_COMMAND, IDOK, 0);
         }},
        {Dialog(TFrmWarnOptions::kClassName),
         [&](HWND w) {
             // Still open, the change still there.
             const TTaskTree tree = ReadTaskTree(GetDlgItem(w, TFrmWarnOptions::TreeId));
             tasksAfterWarning = tree.size();
             EXPECT_EQ(tree[0].image, kImgTaskOff);
             Press(w, IDCANCEL);
         }},
    });
    EXPECT_FALSE(ShowTaskList(owner.Handle(), dataDir));
    EXPECT_EQ(script.Left(), 0u);
    EXPECT_NE(warning.find("无法保存定时任务文件"), std::string::npos) << warning;
    EXPECT_NE(warning.find(War()), std::string::npos) << warning;
    EXPECT_EQ(tasksAfterWarning, 2u);
    EXPECT_EQ(Bytes(), before);
}

TEST_F(TaskDialogs, TaskEditorChecksAndEmptiesItsLists) {
    struct Case {
        const char* name;
        TTaskNode task;
        std::function<void(HWND)> act;
        const char* box;  // the text of the box OK shows, or empty
    } cases[] = {
        {"no schedule", {kImgTaskOn, "", {{kImgMessage, "消息 (a)"}}}, {}, "请选择时间。"},
        {"no action", {kImgTaskOn, "08时", {}}, {}, "请添加声音、消息或命令。"},
        {"Escape in the hour list empties it",
         {kImgTaskOn, "08时", {{kImgMessage, "消息 (a)"}}},
         [](HWND w) {
             const HWND hour = GetDlgItem(w, TFrmEditTask::HourBoxId);
             SetFocus(hour);
             PostMessageW(hour, WM_KEYDOWN, VK_ESCAPE, 0);
         },
         "请选择时间。"},
        {"Delete in the minute list empties only that one",
         {kImgTaskOn, "08时30分", {{kImgMessage, "消息 (a)"}}},
         [](HWND w) {
             const HWND minute = GetDlgItem(w, TFrmEditTask::MinuteBoxId);
             SetFocus(minute);
             PostMessageW(minute, WM_KEYDOWN, VK_DELETE, 0);
         },
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string told;
        std::vector<Step> steps;
        steps.push_back({Dialog(TFrmEditTask::kClassName), [&](HWND w) {
                             if (c.act)
                                 c.act(w);
                             Press(w, IDOK);
                         }});
        if (*c.box) {
            steps.push_back({Box(L"提示"), [&](HWND box) {
                                 told = BoxText(box);
                                 PostMessageW(box, WM_COMMAND, IDOK, 0);
                             }});
            steps.push_back({Dialog(TFrmEditTask::kClassName), [](HWND w) { Press(w, IDCANCEL); }});
        }
        Script script(steps);
        TTaskNode task = c.task;
        EXPECT_EQ(EditTask(owner.Handle(), false, task, dataDir), !*c.box);
        EXPECT_EQ(script.Left(), 0u);
        EXPECT_EQ(told, c.box);
        if (!*c.box) {
            EXPECT_EQ(task.text, "08时");
        }
    }
}

TEST_F(TaskDialogs, RunActionEditorChecksItsChoice) {
    const std::string existing = dataDir + "MySound\\bell.wav";
    struct Case {
        const char* name;
        bool adding;
        std::string payload;
        std::function<void(HWND)> act;
        std::string box;     // the text OK shows first, or empty
        std::string result;  // the payload after OK
    } cases[] = {
        {"no choice", true, "", {}, "请选择一个执行项目", "关机"},
        {"a missing file", true, "",
         [](HWND w) {
             CheckDlgButton(w, TFrmAct::FileRadioId, BST_CHECKED);
             SetDlgItemTextW(w, TFrmAct::PathEditId, L"C:\\nowhere\\plan.doc");
         },
         "\"C:\\nowhere\\plan.doc\"\r\n文件不存在", "关机"},
        {"an existing file", true, "",
         [&](HWND w) {
             CheckDlgButton(w, TFrmAct::FileRadioId, BST_CHECKED);
             SetDlgItemTextW(w, TFrmAct::PathEditId, Utf8ToWide(existing).c_str());
         },
         "", existing},
        {"editing a shutdown", false, "关机", {}, "", "关机"},
        {"editing a file", false, existing, {}, "", existing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string told;
        bool shutdownChecked = false;
        std::vector<Step> steps;
        steps.push_back({Dialog(TFrmAct::kClassName), [&](HWND w) {
                             shutdownChecked = IsDlgButtonChecked(w, TFrmAct::ShutdownRadioId);
                             if (c.act)
                                 c.act(w);
                             Press(w, IDOK);
                         }});
        if (!c.box.empty()) {
            steps.push_back({Box(L"提示"), [&](HWND box) {
                                 told = BoxText(box);
                                 PostMessageW(box, WM_COMMAND, IDOK, 0);
                             }});
            steps.push_back({Dialog(TFrmAct::kClassName), [](HWND w) {
                                 CheckDlgButton(w, TFrmAct::FileRadioId, BST_UNCHECKED);
                                 CheckDlgButton(w, TFrmAct::ShutdownRadioId, BST_CHECKED);
                                 Press(w, IDOK);
                             }});
        }
        Script script(steps);
        std::string payload = c.payload;
        EXPECT_TRUE(EditRunAction(owner.Handle(), c.adding, payload));
        EXPECT_EQ(script.Left(), 0u);
        EXPECT_EQ(told, c.box);
        EXPECT_EQ(payload, c.result);
        EXPECT_EQ(shutdownChecked, !c.adding && c.payload == "关机");
    }
}

TEST_F(TaskDialogs, RunActionEditorEnablesThePathForAFileOnly) {
    TFrmAct form;
    ASSERT_TRUE(form.Create(owner.Handle(), false, "C:\\a (1).doc"));
    EXPECT_TRUE(IsDlgButtonChecked(form.Handle(), TFrmAct::FileRadioId));
    EXPECT_TRUE(IsWindowEnabled(form.Item(TFrmAct::PathEditId)));
    EXPECT_TRUE(IsWindowEnabled(form.Item(TFrmAct::BrowseButtonId)));
    EXPECT_EQ(form.PathHint(), "C:\\a (1).doc");
    CheckDlgButton(form.Handle(), TFrmAct::FileRadioId, BST_UNCHECKED);
    CheckDlgButton(form.Handle(), TFrmAct::ShutdownRadioId, BST_CHECKED);
    SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(TFrmAct::ShutdownRadioId, BN_CLICKED), 0);
    EXPECT_FALSE(IsWindowEnabled(form.Item(TFrmAct::PathEditId)));
    EXPECT_FALSE(IsWindowEnabled(form.Item(TFrmAct::BrowseButtonId)));
}

TEST_F(TaskDialogs, MessageEditorCountsBytesAndStopsAtTheLimit) {
    TFrmInputMsg form;
    ASSERT_TRUE(form.Create(owner.Handle(), true, ""));
    const HWND memo = form.Item(TFrmInputMsg::Memo1Id);
    const HWND counter = form.Item(TFrmInputMsg::Label1Id);
    EXPECT_EQ(Text(counter), "0/200字节");
    // 100 Chinese characters are the 200 bytes allowed; one more is refused.
    const std::wstring full(100, L'字');
    Type(memo, full.c_str());
    EXPECT_EQ(Text(counter), "200/200字节");
    Type(memo, (full + L"a").c_str());
    EXPECT_EQ(Text(memo), WideToUtf8(full));
    EXPECT_EQ(Text(counter), "200/200字节");

    // A longer message from the file shows whole and may only shrink.
    TFrmInputMsg edit;
    const std::string longer(210, 'x');
    ASSERT_TRUE(edit.Create(owner.Handle(), false, longer));
    EXPECT_EQ(Text(edit.Item(TFrmInputMsg::Label1Id)), "210/200字节");
    Type(edit.Item(TFrmInputMsg::Memo1Id), std::wstring(205, L'x').c_str());
    EXPECT_EQ(Text(edit.Item(TFrmInputMsg::Label1Id)), "205/200字节");
}

TEST_F(TaskDialogs, EscapeInTheMessageMemoCancels) {
    Script script({{Dialog(TFrmInputMsg::kClassName), [](HWND w) {
                        const HWND memo = GetDlgItem(w, TFrmInputMsg::Memo1Id);
                        Type(memo, L"changed");
                        PostMessageW(memo, WM_KEYDOWN, VK_ESCAPE, 0);
                    }}});
    std::string text = "开会";
    EXPECT_FALSE(EditMessage(owner.Handle(), false, text));
    EXPECT_EQ(script.Left(), 0u);
    EXPECT_EQ(text, "开会");
}

TEST_F(TaskDialogs, TheBarsMenuOpensTheListAndItsOkReloadsTheTasks) {
    Put({"*008时00分", "3消息 (开会)"});
    TClockApp& app = StartApp(Options(), false);
    app.PrepareMenu(app.MainMenu());
    EXPECT_EQ(GetMenuState(app.MainMenu(), PM_TaskOptions, MF_BYCOMMAND) & MF_GRAYED, 0u);
    ASSERT_EQ(app.Tasks().Tasks().size(), 1u);
    EXPECT_TRUE(app.Tasks().Tasks()[0].enabled);

    Script script({{Dialog(TFrmWarnOptions::kClassName), [](HWND w) {
                        const HWND tree = GetDlgItem(w, TFrmWarnOptions::TreeId);
                        SelectNode(tree, Node(tree, 0));
                        SendMessageW(w, WM_COMMAND, CmdToggle, 0);
                        Press(w, IDOK);
                    }}});
    EXPECT_TRUE(app.RunCommand(PM_TaskOptions));
    EXPECT_EQ(script.Left(), 0u);
    // The scheduler has the stopped task without a restart.
    ASSERT_EQ(app.Tasks().Tasks().size(), 1u);
    EXPECT_FALSE(app.Tasks().Tasks()[0].enabled);
    EXPECT_EQ(Read(), (Lines{"*108时00分", "3消息 (开会)"}));
}

TEST_F(TaskDialogs, MenusOfferWhatTheNodeUnderTheMouseAllows) {
    Put(kTwoTasks);
    const auto ids = [](std::initializer_list<std::string> list) {
        return std::vector<std::string>(list);
    };
    const std::string edit = std::to_string(CmdEdit), del = std::to_string(CmdDelete),
                      sound = std::to_string(CmdAddSound), msg = std::to_string(CmdAddMessage),
                      run = std::to_string(CmdAddRun), toggle = std::to_string(CmdToggle),
                      add = std::to_string(CmdNewTask);
    std::vector<std::vector<std::string>> seen;
    std::vector<std::string> selected;
    const auto tree = [](HWND w) { return GetDlgItem(w, TFrmWarnOptions::TreeId); };
    const auto read = [&](HWND menu) {
        seen.push_back(ReadMenu(menu));
        const HWND w = FindWindowW(TFrmWarnOptions::kClassName, nullptr);
        selected.push_back(NodeText(tree(w), reinterpret_cast<HTREEITEM>(SendMessageW(
                                                 tree(w), TVM_GETNEXTITEM, TVGN_CARET, 0))));
    };
    Script script({
        {Dialog(TFrmWarnOptions::kClassName),
         [&](HWND w) {
             SendMessageW(tree(w), TVM_SELECTITEM, TVGN_CARET, 0);
             Press(w, TFrmWarnOptions::AddButtonId);
         }},
        {ShownMenu(), read},
        {Dialog(TFrmWarnOptions::kClassName),
         [&](HWND w) {
             SelectNode(tree(w), Node(tree(w), 0, 1));
             RightClick(w, tree(w), Node(tree(w), 1));
         }},
        {ShownMenu(), read},
        {Dialog(TFrmWarnOptions::kClassName),
         [&](HWND w) { RightClick(w, tree(w), Node(tree(w), 0, 1)); }},
        {ShownMenu(), read},
        {Dialog(TFrmWarnOptions::kClassName), [&](HWND w) { RightClick(w, tree(w), nullptr); }},
        {ShownMenu(), read},
        {Dialog(TFrmWarnOptions::kClassName), [](HWND w) { Press(w, IDCANCEL); }},
    });
    EXPECT_FALSE(ShowTaskList(owner.Handle(), dataDir));
    EXPECT_EQ(script.Left(), 0u);
    ASSERT_EQ(seen.size(), 4u);
    // 添加 with nothing selected: a new task only.
    EXPECT_EQ(seen[0], ids({add, "0", sound + "-", msg + "-", run + "-"}));
    // A task: edit, delete, its state, and adding actions; the click selects it.
    EXPECT_EQ(seen[1], ids({edit, del, "0", toggle, "0", sound, msg, run}));
    EXPECT_EQ(selected[1], "12时");
    // An action: edit and delete.
    EXPECT_EQ(seen[2], ids({edit, del}));
    EXPECT_EQ(selected[2], "消息 (起床)");
    // Below the nodes: a new task; the selection stays.
    EXPECT_EQ(seen[3], ids({add}));
}

TEST_F(TaskDialogs, OneTaskListAtATime) {
    Put(kTwoTasks);
    // A second list, were one to open, is counted and cancelled.
    static HWND first = nullptr;
    static int seconds = 0;
    first = nullptr;
    seconds = 0;
    const UINT_PTR closer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        const HWND w = FindWindowW(TFrmWarnOptions::kClassName, nullptr);
        if (first && w && w != first && IsWindowVisible(w)) {
            ++seconds;
            PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
        }
    });
    Script script({
        {Dialog(TFrmWarnOptions::kClassName),
         [&](HWND w) {
             first = w;
             EXPECT_FALSE(ShowTaskList(owner.Handle(), dataDir));
             Press(w, IDOK);
         }},
    });
    EXPECT_TRUE(ShowTaskList(owner.Handle(), dataDir));
    KillTimer(nullptr, closer);
    EXPECT_EQ(script.Left(), 0u);
    EXPECT_EQ(seconds, 0);
    // Closed, it opens again.
    Script again({{Dialog(TFrmWarnOptions::kClassName), [](HWND w) { Press(w, IDOK); }}});
    EXPECT_TRUE(ShowTaskList(owner.Handle(), dataDir));
    EXPECT_EQ(again.Left(), 0u);
}

TEST_F(TaskDialogs, TaskEditorMenusAndItsStateToggle) {
    const std::string edit = std::to_string(CmdEdit), del = std::to_string(CmdDelete),
                      sound = std::to_string(CmdAddSound), msg = std::to_string(CmdAddMessage),
                      run = std::to_string(CmdAddRun), toggle = std::to_string(CmdToggle);
    std::vector<std::vector<std::string>> seen;
    bool addOnAction = true, editOnAction = false;
    const auto tree = [](HWND w) { return GetDlgItem(w, TFrmEditTask::TreeId); };
    Script script({
        {Dialog(TFrmEditTask::kClassName),
         [&](HWND w) { RightClick(w, tree(w), Node(tree(w), 0)); }},
        {ShownMenu(), [&](HWND menu) { seen.push_back(ReadMenu(menu)); }},
        {Dialog(TFrmEditTask::kClassName),
         [&](HWND w) {
             SendMessageW(w, WM_COMMAND, CmdToggle, 0);
             RightClick(w, tree(w), Node(tree(w), 0, 0));
         }},
        {ShownMenu(), [&](HWND menu) { seen.push_back(ReadMenu(menu)); }},
        {Dialog(TFrmEditTask::kClassName),
         [&](HWND w) {
             addOnAction = Enabled(w, TFrmEditTask::AddButtonId);
             editOnAction = Enabled(w, TFrmEditTask::EditButtonId);
             Press(w, IDOK);
         }},
    });
    TTaskNode task{kImgTaskOn, "08时", {{kImgMessage, "消息 (a)"}}};
    EXPECT_TRUE(EditTask(owner.Handle(), false, task, dataDir));
    EXPECT_EQ(script.Left(), 0u);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], (std::vector<std::string>{toggle, "0", sound, msg, run}));
    EXPECT_EQ(seen[1], (std::vector<std::string>{edit, del, "0", run}));
    EXPECT_FALSE(addOnAction);
    EXPECT_TRUE(editOnAction);
    EXPECT_EQ(task.image, kImgTaskOff);
}
