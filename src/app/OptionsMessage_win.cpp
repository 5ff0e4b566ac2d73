#include "app/OptionsPages_win.h"

#include <commctrl.h>

#include <string>

namespace tempora {

void TOptionsMessagePage::Build() {
    constexpr DWORD kRadioFirst = BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP;
    constexpr DWORD kLabel = SS_LEFT | SS_CENTERIMAGE;
    AddGroup("消息窗口关闭方式", kX - 4, 40, kPageW - 16, 82);
    Add(WC_BUTTONW, "手动关闭", kRadioFirst, kX + 10, 60, 100, 22, UiRadioButton1);
    Add(WC_BUTTONW, "自动关闭", BS_AUTORADIOBUTTON, kX + 10, 88, 100, 22, UiRadioButton2);
    Add(WC_STATICW, "停留时间(秒)", kLabel, kX + 130, 88, 90, 22, 0);
    AddSpin(UiSpinEdit1, kX + 224, 88, setting::MsgAutoSec.lo, setting::MsgAutoSec.hi);
    AddGroup("日历标记消息", kX - 4, 130, kPageW - 16, 82);
    Add(WC_BUTTONW, "不显示", kRadioFirst, kX + 10, 150, 100, 22, UiRadioButton3);
    Add(WC_BUTTONW, "启动时显示", BS_AUTORADIOBUTTON, kX + 130, 150, 110, 22, UiRadioButton4);
    Add(WC_BUTTONW, "循环显示", BS_AUTORADIOBUTTON, kX + 10, 178, 100, 22, UiRadioButton5);
    Add(WC_STATICW, "间隔时间(分)", kLabel, kX + 130, 178, 90, 22, 0);
    AddSpin(UiSpinEdit2, kX + 224, 178, setting::CalendarStep.lo, setting::CalendarStep.hi);
    Add(WC_STATICW, "消息窗口透明度", kLabel, kX, 230, 100, 24, 0);
    AddTrack(UiTrackBar2, kX + 100, 228, 200, setting::MsgAlpha);
    Add(WC_STATICW, "", kLabel, kX + 306, 230, 50, 24, Label7);
}

void TOptionsMessagePage::Load(const TOptionsValues& v) {
    SetChecked(UiRadioButton2, v.msgAuto);
    SetChecked(UiRadioButton1, !v.msgAuto);
    SetSpinValue(UiSpinEdit1, v.autoSec);
    SendMessageW(Item(UiTrackBar2), TBM_SETPOS, TRUE, v.msgAlpha);
    SetChecked(UiRadioButton3, v.calendarLX == 0);
    SetChecked(UiRadioButton4, v.calendarLX == 1);
    SetChecked(UiRadioButton5, v.calendarLX == 2);
    SetSpinValue(UiSpinEdit2, v.calendarStep);
    TrackBarMoved(Item(UiTrackBar2));
}

void TOptionsMessagePage::Gather(TOptionsValues& v) const {
    v.msgAuto = Checked(UiRadioButton2);
    v.autoSec = SpinValue(UiSpinEdit1);
    v.msgAlpha = static_cast<int>(SendMessageW(Item(UiTrackBar2), TBM_GETPOS, 0, 0));
    v.calendarLX = Checked(UiRadioButton4) ? 1 : Checked(UiRadioButton5) ? 2 : 0;
    v.calendarStep = SpinValue(UiSpinEdit2);
}

void TOptionsMessagePage::UpdateEnabling() {
    Enable(UiSpinEdit1, Checked(UiRadioButton2));
    Enable(UiSpinEdit1 + kSpinButton, Checked(UiRadioButton2));
    Enable(UiSpinEdit2, Checked(UiRadioButton5));
    Enable(UiSpinEdit2 + kSpinButton, Checked(UiRadioButton5));
}

void TOptionsMessagePage::TrackBarMoved(HWND bar) {
    // The popups' transparency is only written; none shows while the dialog does.
    if (GetDlgCtrlID(bar) != UiTrackBar2)
        return;
    const int pos = static_cast<int>(SendMessageW(bar, TBM_GETPOS, 0, 0));
    SetWindowTextW(Item(Label7), (std::to_wstring(TransparencyPercent(pos)) + L"%").c_str());
}

}  // namespace tempora
