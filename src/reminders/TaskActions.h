// What a timed task can do, as the scheduler (TaskList.h) sees it. The bar
// hands the scheduler one ITaskActions; on Windows that is TTaskActions
// (TaskActions_win.h), made from the popup link, the chime composer's player,
// the shell and the shutdown countdown. Tests hand it a recorder.
#pragma once

#include <string>

namespace tempora {

class ITaskActions {
public:
    virtual ~ITaskActions() = default;
    // A message action: shown by the popup program, or dropped when the popup
    // program cannot be started.
    virtual void ShowMessage(const std::string& text) = 0;
    // All sounds of one task, full paths each followed by "*", in file order;
    // handed out after the task's other actions have run.
    virtual void PlaySounds(const std::string& list) = 0;
    // A run action other than shutdown: opens the file through the shell when
    // a file of that name exists, else does nothing.
    virtual void RunFile(const std::string& path) = 0;
    // A shutdown action: shows the ten-second countdown and answers true when
    // the user confirmed it or it ran out, false when cancelled.
    virtual bool ConfirmShutdown() = 0;
    // Saves what the program keeps at exit, then asks the system to switch the
    // computer off. Called only after ConfirmShutdown answered true.
    virtual void ShutdownComputer() = 0;
};

}  // namespace tempora
