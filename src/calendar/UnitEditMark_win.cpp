#include "UnitEditMark_win.h"

#include "core/ClockSource.h"
#include "core/Encoding.h"
#include "core/Text.h"

#include <commctrl.h>

#include <algorithm>

namespace tempora {

namespace {

constexpr int kRowY = 44, kNoteY = 78, kRemindY = 112, kTimeY = 142, kLeapY = 172, kShortY = 202,
              kButtonY = 232, kNextX = 284, kNextW = 176;
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

void AddItems(HWND combo, std::initializer_list<const char*> items) {
    for (const char* item : items)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToWide(item).c_str()));
}

void AddNumbers(HWND combo, int from, int to) {
    for (int i = from; i <= to; ++i)
        AddItems(combo, {ZeroPad(i, 2).c_str()});
}

bool Checked(HWND button) {
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace

bool TFrmEditMark::Create(HWND owner, std::string_view name, std::string_view note,
                          const TMarkReminder& reminder) {
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
    AddReminderControls();
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
    ShowReminder(reminder);
    return true;
}

void TFrmEditMark::AddReminderControls() {
    constexpr DWORD kCheckStyle = WS_TABSTOP | BS_AUTOCHECKBOX;
    AddControl(WC_BUTTONW, "当天提醒", kCheckStyle, 22, kRemindY, 80, kLabelH, OnDayCheckId);
    AddControl(WC_BUTTONW, "提前", kCheckStyle, 110, kRemindY, 50, kLabelH, BeforeCheckId);
    AddNumbers(AddControl(WC_COMBOBOXW, "", kComboStyle, 160, kRemindY, 48, kComboH, BeforeBoxId),
               1, kMaxDaysBefore);
    AddControl(L"STATIC", "天提醒", kLabelStyle, 212, kRemindY, 52, kLabelH, BeforeLabelId);
    AddControl(L"STATIC", "时间", kLabelStyle, 22, kTimeY, 30, kLabelH, TimeLabelId);
    AddNumbers(AddControl(WC_COMBOBOXW, "", kComboStyle, 54, kTimeY, 48, kComboH, HourBoxId), 0,
               23);
    AddControl(L"STATIC", ":", kLabelStyle | SS_CENTER, 104, kTimeY, 10, kLabelH, TimeColonId);
    AddNumbers(AddControl(WC_COMBOBOXW, "", kComboStyle, 116, kTimeY, 48, kComboH, MinuteBoxId), 0,
               59);
    AddControl(L"STATIC", "闰月", kLabelStyle, 22, kLeapY, 30, kLabelH, LeapLabelId);
    AddItems(AddControl(WC_COMBOBOXW, "", kComboStyle, 54, kLeapY, 210, kComboH, LeapBoxId),
             {"只在正常月", "正常月和闰月", "只在闰月"});
    AddControl(L"STATIC", "无此日", kLabelStyle, 22, kShortY, 44, kLabelH, ShortLabelId);
    AddItems(AddControl(WC_COMBOBOXW, "", kComboStyle, 70, kShortY, 194, kComboH, ShortBoxId),
             {"改在当月最后一天", "当年跳过"});
    AddControl(L"STATIC", "今后十次：", kLabelStyle, kNextX, kRowY, kNextW, kLabelH, NextLabelId);
    AddControl(WC_LISTBOXW, "", WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOSEL, kNextX, kRowY + 22,
               kNextW, kButtonY + kButtonH - kRowY - 22, NextListId, WS_EX_CLIENTEDGE);
}

void TFrmEditMark::ShowReminder(const TMarkReminder& r) {
    SendMessageW(Item(OnDayCheckId), BM_SETCHECK, r.onDay ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageW(Item(BeforeCheckId), BM_SETCHECK, r.daysBefore > 0 ? BST_CHECKED : BST_UNCHECKED,
                 0);
    SendMessageW(Item(BeforeBoxId), CB_SETCURSEL,
                 static_cast<WPARAM>(std::clamp(r.daysBefore, 1, kMaxDaysBefore) - 1), 0);
    SendMessageW(Item(HourBoxId), CB_SETCURSEL, static_cast<WPARAM>(r.minuteOfDay / 60), 0);
    SendMessageW(Item(MinuteBoxId), CB_SETCURSEL, static_cast<WPARAM>(r.minuteOfDay % 60), 0);
    SendMessageW(Item(LeapBoxId), CB_SETCURSEL, static_cast<WPARAM>(r.rule.leap), 0);
    SendMessageW(Item(ShortBoxId), CB_SETCURSEL, static_cast<WPARAM>(r.rule.shortMonth), 0);
    UpdateReminderControls();
}

TMarkReminder TFrmEditMark::ReminderShown() const {
    TMarkReminder r;
    r.onDay = Checked(Item(OnDayCheckId));
    r.daysBefore = Checked(Item(BeforeCheckId)) ? Selection(Item(BeforeBoxId)) + 1 : 0;
    r.minuteOfDay = Selection(Item(HourBoxId)) * 60 + Selection(Item(MinuteBoxId));
    r.rule.leap = static_cast<TLeapPolicy>(Selection(Item(LeapBoxId)));
    r.rule.shortMonth = static_cast<TShortMonthRule>(Selection(Item(ShortBoxId)));
    return r;
}

void TFrmEditMark::UpdateReminderControls() {
    const TMarkReminder r = ReminderShown();
    EnableWindow(Item(BeforeBoxId), r.daysBefore > 0);
    for (int id : {TimeLabelId, HourBoxId, TimeColonId, MinuteBoxId})
        EnableWindow(Item(id), r.Reminds());
    const int calendar = Selection(Item(CalendarBoxId));
    for (int id : {LeapLabelId, LeapBoxId})
        EnableWindow(Item(id), calendar == TFestivalList::ftLunar);

    const HWND list = Item(NextListId);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    if (calendar < 0 || Selection(Item(MonthBoxId)) < 0 || Selection(Item(DayBoxId)) < 0)
        return;
    const std::string name =
        std::to_string(calendar) + ComboText(Item(MonthBoxId)) + ComboText(Item(DayBoxId));
    for (TDateTime day : NextMarkDates(name, r.rule, ClockSource::Current().NowLocal(), 10)) {
        SendMessageW(list, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(Utf8ToWide(FormatChineseDate(day)).c_str()));
    }
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
    UpdateReminderControls();
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
    if ((code == BN_CLICKED && (id == OnDayCheckId || id == BeforeCheckId)) ||
        (code == CBN_SELCHANGE && id != CalendarBoxId))
        UpdateReminderControls();
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
    reminder_ = ReminderShown();
    return true;
}

bool RunEditMark(HWND owner, const TCalendarMarks& marks, std::string& name, std::string& note,
                 TMarkReminder* reminder) {
    TFrmEditMark form(marks);
    if (!form.Create(owner, name, note, reminder ? *reminder : TMarkReminder{}) ||
        form.ShowModal() != IDOK) {
        return false;
    }
    name = form.Name();
    note = form.Note();
    if (reminder)
        *reminder = form.Reminder();
    return true;
}

bool MarkDay(HWND owner, TCalendarMarks& marks, TFestivalList& festivals, TDateTime day) {
    std::string name = "0" + FormatMMDD(day), note;
    TMarkReminder reminder = marks.ReminderOf(name);
    if (!RunEditMark(owner, marks, name, note, &reminder) ||
        marks.PutMark(festivals, name, note) < 0) {
        return false;
    }
    marks.SetReminder(name, reminder);
    return true;
}

}  // namespace tempora
