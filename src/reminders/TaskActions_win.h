// The actions of timed tasks on Windows: messages through the popup program,
// sounds through the chime composer's one player, files through the shell and
// the shutdown countdown. The bar makes one and hands it to its TTaskList
// (see TaskList.h for the calls).
#pragma once

#include <windows.h>

#include "reminders/ClockAlarm.h"
#include "reminders/PopupLink_win.h"
#include "reminders/TaskActions.h"
#include "reminders/UnitShutDown_win.h"

#include <functional>
#include <string>

namespace tempora {

// The run action: opens an existing file through the shell with the verb
// "open" (no parameters, no working folder, no owner, normal show state).
// A folder, a command line with arguments, an empty or missing name does
// nothing. True when the shell took the file.
bool RunTaskFile(const std::string& path);

class TTaskActions final : public ITaskActions {
public:
    // `bar` owns the countdown window; `saveState` saves what the program
    // keeps at exit and runs just before the power-off. Tests pass a recorder
    // as `exitWindows` and a short countdown step.
    TTaskActions(HWND bar, TPopupLink& popup, TClockAlarm& alarm, std::function<void()> saveState,
                 ExitWindowsFn exitWindows = ::ExitWindowsEx,
                 UINT countdownTickMs = TFrmShutDown::kTickMs);

    // EnsurePopup, then SendPopupText; dropped when the popup program is missing.
    void ShowMessage(const std::string& text) override;
    void PlaySounds(const std::string& list) override;
    void RunFile(const std::string& path) override;
    bool ConfirmShutdown() override;
    void ShutdownComputer() override;

private:
    HWND bar_;
    TPopupLink& popup_;
    TClockAlarm& alarm_;
    std::function<void()> saveState_;
    ExitWindowsFn exitWindows_;
    UINT countdownTickMs_;
};

}  // namespace tempora
