#include "app/OptionsPages_win.h"

#include "core/Encoding.h"
#include "core/LineFile.h"
#include "display/Dialog_win.h"
#include "timesvc/SyncTime.h"

#include <commctrl.h>

namespace tempora {

TOptionsTimePage::~TOptionsTimePage() {
    // The check in progress ends before the window it reports to.
    timeCheck_.reset();
}

void TOptionsTimePage::Build() {
    constexpr DWORD kLabel = SS_LEFT | SS_CENTERIMAGE;
    Add(WC_BUTTONW, "自动网络校时", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, kX, 50, 200, 22,
        UiCheckBox5);
    Add(WC_STATICW, "每", kLabel, kX + 18, 82, 20, 22, 0);
    AddSpin(UiSpinEdit3, kX + 40, 82, setting::StepHour.lo, setting::StepHour.hi);
    Add(WC_STATICW, "小时校正一次", kLabel, kX + 116, 82, 100, 22, 0);
    Add(WC_BUTTONW, "立即校正", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, kX, 122, 96, 28, UiButton4);
    Add(WC_STATICW, "最后校正于:", kLabel, kX, 164, kPageW - 30, 22, Label13);
}

void TOptionsTimePage::Load(const TOptionsValues& v) {
    SetChecked(UiCheckBox5, v.autoCheck);
    SetSpinValue(UiSpinEdit3, v.stepHour);
    std::vector<std::string> lines;
    if (ReadLineFile(host_.DataDir() + "TimeCheck.lst", lines) && !lines.empty())
        SetWindowTextW(Item(Label13), Utf8ToWide(LastCheckText(lines.front())).c_str());
}

void TOptionsTimePage::Gather(TOptionsValues& v) const {
    v.autoCheck = Checked(UiCheckBox5);
    v.stepHour = SpinValue(UiSpinEdit3);
}

void TOptionsTimePage::Command(int id, int code) {
    if (id != UiButton4 || code != BN_CLICKED)
        return;
    if (!timeCheck_) {
        const std::string& dataDir = host_.DataDir();
        timeCheck_ = std::make_unique<TSyncTimeDir>(
            dataDir + "TimeHost.lst", dataDir + "TimeCheck.lst", host_.TimeSyncOptions());
    }
    if (timeCheck_->CheckNow(dialog_, kTimeCheckedMessage))
        Enable(UiButton4, false);
}

void TOptionsTimePage::UpdateEnabling() {
    Enable(UiSpinEdit3, Checked(UiCheckBox5));
    Enable(UiSpinEdit3 + kSpinButton, Checked(UiCheckBox5));
}

void TOptionsTimePage::TimeChecked() {
    Enable(UiButton4, true);
    if (!timeCheck_)
        return;
    const SyncResult r = timeCheck_->Result();
    // The host list is read when the checker is made: a new one next time
    // sees an edited TimeHost.lst.
    timeCheck_.reset();
    const std::string label = WindowTextOf(Item(Label13));
    SetWindowTextW(Item(Label13), Utf8ToWide(CheckLabelAfter(r, label)).c_str());
}

}  // namespace tempora
