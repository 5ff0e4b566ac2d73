#include "UnitEditMark_win.h"

#include "core/Encoding.h"
#include "core/Text.h"

#include <commctrl.h>

#include <algorithm>

namespace tempora {

namespace {

constexpr int kRowY = 44, kNoteY = 78, kButtonY = 116;
constexpr int kLabelH = 20, kComboH = 200, kEditH = 22, kButtonW = 80, kButtonH = 26;

constexpr DWORD kLabelStyle = SS_LEFT | SS_CENTERIMAGE;
constexpr DWORD kComboStyle = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;

void SelectText(HWND combo, std::string_view text) {
    const LRESULT i = text.empty()
                          ? CB_ERR
                          : SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(Utf8ToWide(text).c_str()));
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
}

int Selection(HWND combo) {
    return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
}

}  // namespace

bool TFrmEditMark::Create(HWND owner, std::string_view name, std::string_view note) {
    if (!CreateDialogWindow(owner, kClassName, "标记", kWidth, kHeight))
        return false;
    AddControl(L"STATIC", "日期", kLabelStyle, 22, kRowY, 30, kLabelH, DateLabelId);
    const HWND calendar =
        AddControl(WC_COMBOBOXW, "", kComboStyle, 54, kRowY, 62, kComboH, CalendarBoxId);
    const HWND month =
        AddControl(WC_COMBOBOXW, "", kComboStyle, 124, kRowY, 48, kComboH, MonthBoxId);
    AddControl(L"STATIC", "月", kLabelStyle, 176, kRowY, 16, kLabelH, MonthLabelId);
    const HWND day = AddControl(WC_COMBOBOXW, "", kComboStyle, 196, kRowY, 48, kComboH, DayBoxId);
    AddControl(L"STATIC", "日", kLabelStyle, 248, kRowY, 16, kLabelH, DayLabelId);
    AddControl(L"STATIC", "备注", kLabelStyle, 22, kNoteY + 1, 30, kLabelH, NoteLabelId);
    const HWND edit = AddControl(WC_EDITW, "", WS_TABSTOP | ES_AUTOHSCROLL, 54, kNoteY, 210, kEditH,
                                 NoteEditId, WS_EX_CLIENTEDGE);
    AddControl(L"STATIC", MarkNoteCounterText(""), kLabelStyle, 22, kButtonY + 3, 76, kLabelH,
               NoteCounterId);
    AddControl(WC_BUTTONW, "确定(&O)", WS_TABSTOP | BS_DEFPUSHBUTTON, 100, kButtonY, kButtonW,
               kButtonH, IDOK);
    AddControl(WC_BUTTONW, "取消(&C)", WS_TABSTOP | BS_PUSHBUTTON, 186, kButtonY, kButtonW,
               kButtonH, IDCANCEL);

    for (const wchar_t* kind : {L"公历", L"农历"})
        SendMessageW(calendar, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kind));
    for (int i = 1; i <= 31; ++i) {
        const std::wstring text = Utf8ToWide(ZeroPad(i, 2));
        if (i <= 12)
            SendMessageW(month, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageW(day, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    // A GBK-byte limit is kept on every change; this one stops typing early.
    SendMessageW(edit, EM_LIMITTEXT, kMarkNoteMaxBytes, 0);

    const int type = name.empty() ? -1 : name[0] - '0';
    calendar_ = type == 0 || type == 1 ? type : -1;
    SendMessageW(calendar, CB_SETCURSEL, static_cast<WPARAM>(calendar_), 0);
    SelectKey(name.size() > 1 ? name.substr(1) : std::string_view());
    settingNote_ = true;
    lastNote_ = Utf8ToWide(CutToGbkBytes(note, kMarkNoteMaxBytes));
    SetWindowTextW(edit, lastNote_.c_str());
    settingNote_ = false;
    ShowCounter();
    ShowNoteOfDay();
    return true;
}

void TFrmEditMark::SelectKey(std::string_view key) {
    SelectText(Item(MonthBoxId), key.substr(0, std::min<size_t>(key.size(), 2)));
    SelectText(Item(DayBoxId), key.size() > 2 ? key.substr(2, 2) : std::string_view());
}

void TFrmEditMark::ShowCounter() {
    SetWindowTextW(Item(NoteCounterId),
                   Utf8ToWide(MarkNoteCounterText(WideToUtf8(lastNote_))).c_str());
}

void TFrmEditMark::ShowNoteOfDay() {
    const std::string note = marks_.MarkNoteOf(
        Selection(Item(CalendarBoxId)), ComboText(Item(MonthBoxId)) + ComboText(Item(DayBoxId)));
    if (note.empty())
        return;
    settingNote_ = true;
    lastNote_ = Utf8ToWide(note);
    SetWindowTextW(Item(NoteEditId), lastNote_.c_str());
    settingNote_ = false;
    ShowCounter();
}

void TFrmEditMark::CalendarChanged() {
    const int to = Selection(Item(CalendarBoxId));
    const std::string key = ComboText(Item(MonthBoxId)) + ComboText(Item(DayBoxId));
    if (to == 1) {
        const std::optional<std::string> lunar = LunarKeyOf(key);
        if (!lunar) {
            // The box goes back first, so the dialog shows its old values behind the warning.
            SendMessageW(Item(CalendarBoxId), CB_SETCURSEL, static_cast<WPARAM>(calendar_), 0);
            ShowInvalidDate(Handle(), key);
            return;
        }
        SelectKey(*lunar);
    } else if (to == 0) {
        SelectKey(SolarKeyOf(key));
    }
    calendar_ = to;
    ShowNoteOfDay();
}

void TFrmEditMark::NoteChanged() {
    if (settingNote_)
        return;
    const HWND edit = Item(NoteEditId);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    if (GbkLength(WideToUtf8(text)) <= kMarkNoteMaxBytes) {
        lastNote_ = std::move(text);
        ShowCounter();
        return;
    }
    // What was typed or pasted does not fit: the field keeps its last text.
    DWORD caret = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&caret), 0);
    const size_t grown = text.size() - lastNote_.size();
    caret = caret >= grown ? static_cast<DWORD>(caret - grown) : 0;
    settingNote_ = true;
    SetWindowTextW(edit, lastNote_.c_str());
    settingNote_ = false;
    SendMessageW(edit, EM_SETSEL, caret, caret);
    MessageBeep(MB_OK);
}

void TFrmEditMark::Command(int id, int code) {
    if (id == NoteEditId && code == EN_CHANGE)
        NoteChanged();
    else if (code == CBN_SELCHANGE && id == CalendarBoxId)
        CalendarChanged();
    else if (code == CBN_SELCHANGE && (id == MonthBoxId || id == DayBoxId))
        ShowNoteOfDay();
}

bool TFrmEditMark::Accept() {
    for (int id : {CalendarBoxId, MonthBoxId, DayBoxId}) {
        if (Selection(Item(id)) < 0) {
            MessageBeep(MB_ICONWARNING);
            SetFocus(Item(id));
            return false;
        }
    }
    const std::string month = ComboText(Item(MonthBoxId)), day = ComboText(Item(DayBoxId));
    const std::string name = std::to_string(Selection(Item(CalendarBoxId))) + month + day;
    if (!IsPossibleMarkDay(name)) {
        // Saved, it would never show: no year has that Gregorian day.
        const std::string text = "日期无效：公历没有" + month + "月" + day +
                                 "日，这个标记永远不会显示。\n\n请选择存在的日期。";
        MessageBoxW(Handle(), Utf8ToWide(text).c_str(), L"警告", MB_OK | MB_ICONWARNING);
        SetFocus(Item(DayBoxId));
        return false;
    }
    name_ = name;
    note_ = CutToGbkBytes(WindowTextOf(Item(NoteEditId)), kMarkNoteMaxBytes);
    return true;
}

bool RunEditMark(HWND owner, const TCalendarMarks& marks, std::string& name, std::string& note) {
    TFrmEditMark form(marks);
    if (!form.Create(owner, name, note) || form.ShowModal() != IDOK)
        return false;
    name = form.Name();
    note = form.Note();
    return true;
}

bool MarkDay(HWND owner, TCalendarMarks& marks, TFestivalList& festivals, TDateTime day) {
    std::string name = "0" + FormatMMDD(day), note;
    if (!RunEditMark(owner, marks, name, note))
        return false;
    return marks.PutMark(festivals, name, note) >= 0;
}

}  // namespace tempora
