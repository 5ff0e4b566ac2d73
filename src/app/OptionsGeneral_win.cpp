#include "app/OptionsPages_win.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

namespace tempora {

namespace {

constexpr DWORD kCheck = BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP;
// In the order of TStartView.
const char* const kViewTexts[] = {"精简", "时钟", "日历", "天气"};
// The bar's scale: the monitor's, or a percentage of it.
const char* const kScaleTexts[] = {"自动", "100%", "125%", "150%", "175%", "200%"};
constexpr int kScalePercents[] = {0, 100, 125, 150, 175, 200};

}  // namespace

void TOptionsGeneralPage::Build() {
    Add(WC_BUTTONW, "Windows启动时运行", kCheck, kX, 50, 240, 22, UiCheckBox1);
    Add(WC_BUTTONW, "随系统启动时最小化", kCheck, kX, 78, 240, 22, UiCheckBox8);
    Add(WC_BUTTONW, "总在最前面", kCheck, kX, 106, 240, 22, UiCheckBox2);
    Add(WC_STATICW, "运行时默认界面", SS_LEFT | SS_CENTERIMAGE, kX, 142, 100, 22, 0);
    AddCombo(UiComboBox3, kX + 104, 142, 100, kViewTexts);
    // Kept for the setting it stores; the bar has no cycling date line to switch.
    Add(WC_BUTTONW, "日期 - 公历农历循环显示", kCheck, kX, 178, 240, 22, UiCheckBox7);
    // In the row of the check above, which never shows.
    Add(WC_STATICW, "缩放", SS_LEFT | SS_CENTERIMAGE, kX, 178, 100, 22, 0);
    AddCombo(UiComboBoxScale, kX + 104, 178, 100, kScaleTexts);
}

void TOptionsGeneralPage::Load(const TOptionsValues& v) {
    loading_ = true;
    SetChecked(UiCheckBox1, AutoStartOn(ThisProgramPath(), host_.AutoStartPlace()));
    SetChecked(UiCheckBox2, v.onTop);
    SetChecked(UiCheckBox8, v.onStartHide);
    SendMessageW(Item(UiComboBox3), CB_SETCURSEL, static_cast<WPARAM>(v.defWin), 0);
    SetChecked(UiCheckBox7, v.dateLoop);
    barScale_ = v.barScale;
    const auto* at = std::find(std::begin(kScalePercents), std::end(kScalePercents), v.barScale);
    SendMessageW(Item(UiComboBoxScale), CB_SETCURSEL,
                 at == std::end(kScalePercents) ? static_cast<WPARAM>(-1)
                                                : static_cast<WPARAM>(at - kScalePercents),
                 0);
    loading_ = false;
}

void TOptionsGeneralPage::Gather(TOptionsValues& v) const {
    v.onTop = Checked(UiCheckBox2);
    v.onStartHide = Checked(UiCheckBox8);
    const LRESULT view = SendMessageW(Item(UiComboBox3), CB_GETCURSEL, 0, 0);
    v.defWin = view >= 0 && view <= 3 ? static_cast<TStartView>(view) : TStartView::Clock;
    v.dateLoop = Checked(UiCheckBox7);
    const LRESULT scale = SendMessageW(Item(UiComboBoxScale), CB_GETCURSEL, 0, 0);
    v.barScale = scale >= 0 && scale < static_cast<LRESULT>(std::size(kScalePercents))
                     ? kScalePercents[scale]
                     : barScale_;
}

void TOptionsGeneralPage::Command(int id, int code) {
    if (code != BN_CLICKED || loading_)
        return;
    if (id == UiCheckBox1)
        autoStartChanged_ = true;
    else if (id == UiCheckBox2)
        host_.ApplyStayOnTop(Checked(UiCheckBox2));
}

void TOptionsGeneralPage::SaveAutoStart() {
    if (!autoStartChanged_)
        return;
    autoStartChanged_ = false;
    const TAutoStartPlace& place = host_.AutoStartPlace();
    if (Checked(UiCheckBox1)) {
        const std::wstring exe = ThisProgramPath();
        if (exe.empty() || !SetAutoStartOn(exe, place))
            Tell(L"无法写入启动项，Windows启动时不会运行本程序。", L"提示", MB_ICONINFORMATION);
        return;
    }
    switch (SetAutoStartOff(place)) {
        case TAutoStartOff::Done:
            break;
        case TAutoStartOff::MachineValueKept:
            Tell(
                L"已取消当前用户的启动项，但还有一个为所有用户设置的启动项。\n"
                L"删除它需要管理员权限：请以管理员身份运行本程序后再取消一次。",
                L"提示", MB_ICONINFORMATION);
            break;
        case TAutoStartOff::Failed:
            Tell(L"无法删除启动项，Windows启动时仍会运行本程序。", L"提示", MB_ICONINFORMATION);
            break;
    }
}

}  // namespace tempora
