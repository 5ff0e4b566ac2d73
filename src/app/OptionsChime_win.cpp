#include "app/OptionsPages_win.h"

#include "display/Dialog_win.h"

#include <commctrl.h>

#include <algorithm>

namespace tempora {

namespace {

constexpr DWORD kCheck = BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP;
const char* const kChimeTexts[] = {"语音报时", "钟声报时(单音)", "钟声报时(多音)", "消息报时"};

}  // namespace

void TOptionsChimePage::Build() {
    Add(WC_BUTTONW, "整点报时", kCheck, kX, 42, 110, 22, UiCheckBox3);
    Add(WC_BUTTONW, "半点报时", kCheck, kX + 120, 42, 110, 22, UiCheckBox4);
    AddGroup("报时类型", kX - 4, 68, kPageW - 16, 74);
    for (int i = 0; i < 4; ++i) {
        Add(WC_BUTTONW, kChimeTexts[i],
            i == 0 ? BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP : BS_AUTORADIOBUTTON,
            kX + 10 + (i % 2) * 170, 88 + (i / 2) * 26, 160, 22, UiRadioGroup1 + i);
    }
    AddGroup("报时热键", kX - 4, 150, kPageW - 16, 86);
    Add(WC_BUTTONW, "启用", kCheck, kX + 10, 174, 60, 22, UiCheckBox6);
    std::vector<const char*> mods, letters;
    for (const std::string& m : HotKeyModifierTexts())
        mods.push_back(m.c_str());
    for (const std::string& l : HotKeyLetterTexts())
        letters.push_back(l.c_str());
    AddCombo(UiComboBox1, kX + 80, 173, 150, mods);
    Add(WC_STATICW, "+", SS_CENTER | SS_CENTERIMAGE, kX + 232, 173, 16, 22, 0);
    AddCombo(UiComboBox2, kX + 250, 173, 60, letters);
    Add(WC_BUTTONW, "夜间免打扰", kCheck, kX, 250, 100, 22, UiCheckBox9);
    for (int i = 0; i < 2; ++i) {
        Add(WC_STATICW, i == 0 ? "从" : "到", SS_CENTER | SS_CENTERIMAGE, kX + 112 + i * 110, 250,
            20, 22, 0);
        const HWND picker =
            Add(DATETIMEPICK_CLASSW, "", DTS_TIMEFORMAT | DTS_UPDOWN | WS_TABSTOP | WS_GROUP,
                kX + 134 + i * 110, 249, 74, 24, UiTimePicker1 + i);
        SendMessageW(picker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"HH:mm"));
    }
    Add(WC_BUTTONW, "报日热键", kCheck, kX + 10, 202, 68, 22, UiDayKeyOn);
    AddCombo(UiDayKeyMods, kX + 80, 201, 150, mods);
    Add(WC_STATICW, "+", SS_CENTER | SS_CENTERIMAGE, kX + 232, 201, 16, 22, 0);
    AddCombo(UiDayKeyChar, kX + 250, 201, 60, letters);
    Add(WC_BUTTONW, "节假日不报时", kCheck, kX, 276, 130, 22, UiCheckBox10);
}

void TOptionsChimePage::Load(const TOptionsValues& v) {
    SetChecked(UiCheckBox3, v.alarm);
    SetChecked(UiCheckBox4, v.halfAlarm);
    for (int i = 0; i < 4; ++i)
        SetChecked(UiRadioGroup1 + i, i == v.alarmType);
    const auto select = [&](int id, const std::vector<std::string>& texts, const std::string& t) {
        const auto at = std::find(texts.begin(), texts.end(), t);
        SendMessageW(
            Item(id), CB_SETCURSEL,
            at == texts.end() ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(at - texts.begin()),
            0);
    };
    select(UiComboBox1, HotKeyModifierTexts(), v.hotKey1);
    select(UiComboBox2, HotKeyLetterTexts(), v.hotKey2);
    SetChecked(UiCheckBox6, v.hotKey);
    select(UiDayKeyMods, HotKeyModifierTexts(), v.dayHotKey1);
    select(UiDayKeyChar, HotKeyLetterTexts(), v.dayHotKey2);
    SetChecked(UiDayKeyOn, v.dayHotKey);
    SetChecked(UiCheckBox9, v.quiet.on);
    SetTimeOfDay(UiTimePicker1, v.quiet.startMinute);
    SetTimeOfDay(UiTimePicker2, v.quiet.endMinute);
    SetChecked(UiCheckBox10, v.quiet.daysOff);
}

void TOptionsChimePage::Gather(TOptionsValues& v) const {
    v.alarm = Checked(UiCheckBox3);
    v.halfAlarm = Checked(UiCheckBox4);
    v.alarmType = 0;
    for (int i = 0; i < 4; ++i) {
        if (Checked(UiRadioGroup1 + i))
            v.alarmType = i;
    }
    v.hotKey1 = ComboText(Item(UiComboBox1));
    v.hotKey2 = ComboText(Item(UiComboBox2));
    v.hotKey = Checked(UiCheckBox6);
    v.dayHotKey1 = ComboText(Item(UiDayKeyMods));
    v.dayHotKey2 = ComboText(Item(UiDayKeyChar));
    v.dayHotKey = Checked(UiDayKeyOn);
    v.quiet.on = Checked(UiCheckBox9);
    v.quiet.startMinute = TimeOfDay(UiTimePicker1);
    v.quiet.endMinute = TimeOfDay(UiTimePicker2);
    v.quiet.daysOff = Checked(UiCheckBox10);
}

void TOptionsChimePage::UpdateEnabling() {
    const bool chime = Checked(UiCheckBox3) || Checked(UiCheckBox4);
    for (int i = 0; i < 4; ++i)
        Enable(UiRadioGroup1 + i, chime);
    Enable(UiComboBox1, Checked(UiCheckBox6));
    Enable(UiComboBox2, Checked(UiCheckBox6));
    Enable(UiTimePicker1, Checked(UiCheckBox9));
    Enable(UiTimePicker2, Checked(UiCheckBox9));
    Enable(UiDayKeyMods, Checked(UiDayKeyOn));
    Enable(UiDayKeyChar, Checked(UiDayKeyOn));
}

void TOptionsChimePage::SetTimeOfDay(int id, int minute) {
    SYSTEMTIME st{};
    GetLocalTime(&st);
    st.wHour = static_cast<WORD>(minute / 60 % 24);
    st.wMinute = static_cast<WORD>(minute % 60);
    st.wSecond = 0;
    st.wMilliseconds = 0;
    SendMessageW(Item(id), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

int TOptionsChimePage::TimeOfDay(int id) const {
    SYSTEMTIME st{};
    if (SendMessageW(Item(id), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID)
        return id == UiTimePicker1 ? TQuietHours{}.startMinute : TQuietHours{}.endMinute;
    return st.wHour * 60 + st.wMinute;
}

}  // namespace tempora
