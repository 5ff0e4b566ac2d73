#include "TaskActions_win.h"

#include "core/Encoding.h"
#include "core/FileSys.h"

#include <shellapi.h>

#include <utility>

namespace tempora {

bool RunTaskFile(const std::string& path) {
    if (!FileExists(path))
        return false;
    const HINSTANCE result =
        ShellExecuteW(nullptr, L"open", Utf8ToWide(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

TTaskActions::TTaskActions(HWND bar, TPopupLink& popup, TClockAlarm& alarm,
                           std::function<void()> saveState, ExitWindowsFn exitWindows,
                           UINT countdownTickMs)
    : bar_(bar),
      popup_(popup),
      alarm_(alarm),
      saveState_(std::move(saveState)),
      exitWindows_(exitWindows),
      countdownTickMs_(countdownTickMs) {}

void TTaskActions::ShowMessage(const std::string& text) {
    if (popup_.EnsurePopup())
        popup_.SendPopupText(text);
}

void TTaskActions::PlaySounds(const std::string& list) {
    alarm_.PlayList(list);
}

void TTaskActions::RunFile(const std::string& path) {
    RunTaskFile(path);
}

bool TTaskActions::ConfirmShutdown() {
    return tempora::ConfirmShutdown(bar_, countdownTickMs_);
}

void TTaskActions::ShutdownComputer() {
    if (saveState_)
        saveState_();
    tempora::ShutdownComputer(exitWindows_);
}

}  // namespace tempora
