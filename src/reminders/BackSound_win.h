// The sound player on Windows: MCI command strings through mciSendStringW,
// with each playback's end reported by MM_MCINOTIFY to a hidden window.
#pragma once

#include "core/Handles_win.h"
#include "win/Window_win.h"
#include "reminders/BackSound.h"

#include <functional>
#include <string>

namespace tempora {

// Real MCI. The window is message-only: it exists only to receive MCI's
// notifications and so never takes part in the bar's painting or z-order.
class TMciWindow : public TWindow, public IMciCommands {
public:
    TMciWindow();

    // Called with the notification code and the device id of each
    // MM_MCINOTIFY.
    std::function<void(unsigned code, unsigned device)> OnNotify;
    // Called on each WM_TIMER of the window.
    std::function<void()> onTimer;

    std::string PlayablePath(const std::string& path) override;
    unsigned Send(const std::string& command) override;
    unsigned Query(const std::string& command, std::string& reply) override;
    unsigned DeviceId(const std::string& name) override;
    void DropNotifications() override;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

// The one player of the program, as the chime composer owns it. While an item
// plays, a one-second timer on its own window checks the item's deadline, so
// a device that never reports holds nothing up and the owner has nothing to
// call. Destroying it stops whatever still sounds.
class TBackSoundWindow : public ISoundListPlayer {
public:
    TBackSoundWindow();
    ~TBackSoundWindow() override;

    void Play(const std::string& list) override;
    bool Busy() const { return player_.Busy(); }
    HWND Handle() const { return mci_.Handle(); }

private:
    // Runs the deadline timer exactly while an item plays.
    void FollowPlayer();

    TMciWindow mci_;
    TBackSound player_;
    bool timerOn_ = false;
};

}  // namespace tempora
