#include "UnitMark_win.h"

#include "core/ClockSource.h"
#include "core/Encoding.h"
#include "calendar/UnitEditMark_win.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace tempora {

namespace {

constexpr int kListX = 22, kListY = 58, kListW = 290, kListH = 222;
constexpr int kButtonX = 326, kButtonW = 76, kButtonH = 26, kButtonStep = 34;

}  // namespace

std::string MarkItemText(std::string_view line) {
    const std::string_view name = line.substr(0, line.find('='));
    const std::string_view note = line.find('=') == std::string_view::npos
                                      ? std::string_view()
                                      : line.substr(line.find('=') + 1);
    const std::string key(name.size() > 1 ? name.substr(1) : std::string_view());
    return std::string(name.starts_with('0') ? "公历" : "农历") + "\t" + key.substr(0, 2) + "月" +
           (key.size() > 2 ? key.substr(2, 2) : std::string()) + "日\t" + std::string(note);
}

bool TFrmMark::Create(HWND owner) {
    if (!CreateDialogWindow(owner, kClassName, "日历标记", kWidth, kHeight))
        return false;
    AddControl(L"STATIC", "所有标记", SS_LEFT, kListX, 40, 120, 16, Label1Id);
    const HWND list = AddControl(WC_LISTBOXW, "",
                                 WS_TABSTOP | WS_VSCROLL | LBS_EXTENDEDSEL | LBS_USETABSTOPS |
                                     LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                                 kListX, kListY, kListW, kListH, ListBox1Id, WS_EX_CLIENTEDGE);
    // In quarters of the font's mean character width: after "公历" and after "01月01日".
    const INT stops[] = {26, 70};
    SendMessageW(list, LB_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(stops));
    const struct {
        const char* text;
        int id;
        int y;
    } buttons[] = {
        {"添加(&A)", AddButtonId, kListY},
        {"修改(&E)", EditButtonId, kListY + kButtonStep},
        {"删除(&D)", DeleteButtonId, kListY + 2 * kButtonStep},
        {"关闭(&C)", IDCANCEL, kListY + kListH - kButtonH},
    };
    for (const auto& b : buttons) {
        AddControl(WC_BUTTONW, b.text, WS_TABSTOP | BS_PUSHBUTTON, kButtonX, b.y, kButtonW,
                   kButtonH, b.id);
    }
    marks_.Sort();
    ShowLines(-1);
    return true;
}

void TFrmMark::ShowLines(int select) {
    const HWND list = Item(ListBox1Id);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& line : marks_.Lines()) {
        SendMessageW(list, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(Utf8ToWide(MarkItemText(line)).c_str()));
    }
    if (select >= 0) {
        SendMessageW(list, LB_SETSEL, TRUE, select);
        SendMessageW(list, LB_SETCARETINDEX, static_cast<WPARAM>(select), FALSE);
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    UpdateButtons();
}

void TFrmMark::UpdateButtons() {
    const bool any = SendMessageW(Item(ListBox1Id), LB_GETSELCOUNT, 0, 0) > 0;
    EnableWindow(Item(EditButtonId), any);
    EnableWindow(Item(DeleteButtonId), any);
}

void TFrmMark::AddClick() {
    std::string name = "0" + FormatMMDD(ClockSource::Current().NowLocal()), note;
    TMarkReminder reminder;
    if (!RunEditMark(Handle(), marks_, name, note, &reminder))
        return;
    const int index = marks_.PutMark(festivals_, name, note);
    marks_.SetReminder(name, reminder);
    ShowLines(index);
}

void TFrmMark::EditClick() {
    const HWND list = Item(ListBox1Id);
    // The focused item when it is selected, else the first selected one.
    int index = static_cast<int>(SendMessageW(list, LB_GETCARETINDEX, 0, 0));
    if (index < 0 || SendMessageW(list, LB_GETSEL, static_cast<WPARAM>(index), 0) <= 0) {
        int first = -1;
        if (SendMessageW(list, LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(&first)) != 1)
            return;
        index = first;
    }
    if (index < 0 || static_cast<size_t>(index) >= marks_.Lines().size())
        return;
    const std::string& line = marks_.Lines()[static_cast<size_t>(index)];
    std::string name = line.substr(0, 5), note = line.substr(6);
    TMarkReminder reminder = marks_.ReminderOf(name);
    if (!RunEditMark(Handle(), marks_, name, note, &reminder))
        return;
    const int edited = marks_.EditMarkAt(festivals_, static_cast<size_t>(index), name, note);
    if (edited >= 0)
        marks_.SetReminder(name, reminder);
    ShowLines(edited);
}

void TFrmMark::DeleteClick() {
    const HWND list = Item(ListBox1Id);
    const LRESULT count = SendMessageW(list, LB_GETSELCOUNT, 0, 0);
    if (count <= 0)
        return;
    if (MessageBoxW(Handle(), L"确实要删除选择的标记吗？", L"确认", MB_YESNO | MB_ICONQUESTION) !=
        IDYES) {
        return;
    }
    std::vector<int> selected(static_cast<size_t>(count));
    const LRESULT got = SendMessageW(list, LB_GETSELITEMS, static_cast<WPARAM>(count),
                                     reinterpret_cast<LPARAM>(selected.data()));
    selected.resize(static_cast<size_t>(got < 0 ? 0 : got));
    std::sort(selected.begin(), selected.end());
    // From the last to the first, so that the indices still to come stay valid.
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        marks_.DeleteMarkAt(festivals_, static_cast<size_t>(*it));
        SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(*it), 0);
    }
    UpdateButtons();
}

void TFrmMark::Command(int id, int code) {
    switch (id) {
        case ListBox1Id:
            if (code == LBN_SELCHANGE)
                UpdateButtons();
            break;
        case AddButtonId:
            AddClick();
            break;
        case EditButtonId:
            EditClick();
            break;
        case DeleteButtonId:
            DeleteClick();
            break;
        default:
            break;
    }
}

void RunAllMarks(HWND owner, TCalendarMarks& marks, TFestivalList& festivals) {
    TFrmMark form(marks, festivals);
    if (form.Create(owner))
        form.ShowModal();
}

}  // namespace tempora
