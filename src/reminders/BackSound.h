// The background sound player: plays a sound list, full file paths joined by
// "*", one file after another through MCI command strings. MCI reports the end
// of each playback by a notification, and that notification starts the next
// file.
//
// The list logic lives here, free of Windows, so that it runs against any
// IMciCommands; BackSound_win.h puts it on a hidden window and real MCI.
#pragma once

#include <string>

namespace tempora {

// Whatever plays sound lists; the chime composer and the task scheduler see
// the player only through this.
class ISoundListPlayer {
public:
    virtual ~ISoundListPlayer() = default;
    virtual void Play(const std::string& list) = 0;
};

// Notification codes of MCI (the wParam of MM_MCINOTIFY).
enum : unsigned {
    kMciNotifySuccessful = 1,
    kMciNotifySuperseded = 2,
    kMciNotifyAborted = 4,
    kMciNotifyFailure = 8,
};

// The multimedia command interface as the player needs it.
class IMciCommands {
public:
    virtual ~IMciCommands() = default;
    // The form of an existing file's path that MCI opens reliably (on Windows
    // the short 8.3 form, which MCI opens even where the long name holds
    // characters outside the ANSI code page); empty when the file is missing.
    virtual std::string PlayablePath(const std::string& path) = 0;
    // Sends a UTF-8 command string and returns MCI's error code, 0 on success.
    // A command ending in " notify" later reports its end through
    // TBackSound::OnNotify.
    virtual unsigned Send(const std::string& command) = 0;
    // Throws away notifications reported but not yet delivered: after
    // "close all" they belong to devices that are gone.
    virtual void DropNotifications() = 0;
};

class TBackSound : public ISoundListPlayer {
public:
    explicit TBackSound(IMciCommands& mci) : mci_(mci) {}
    TBackSound(const TBackSound&) = delete;
    TBackSound& operator=(const TBackSound&) = delete;

    // Starts the list unless items of an earlier list still wait: such a
    // request is dropped, not queued. Otherwise whatever still sounds (the
    // last item of the earlier list) is stopped by "close all" once a
    // playable item is found. Empty items and missing files are skipped, and
    // so is a file that MCI refuses to open or play.
    void Play(const std::string& list) override;
    // MM_MCINOTIFY: the item playing has ended, so start the next playable
    // one. Aborted and superseded notifications do not count: they come from
    // a device stopped by "close all" or replayed, and would skip an item of
    // the list now playing.
    void OnNotify(unsigned code);
    // Stops whatever sounds and forgets the waiting items.
    void Silence();

    // Items wait behind the one playing; a Play now would be dropped.
    bool Busy() const { return !pending_.empty(); }
    const std::string& Pending() const { return pending_; }

private:
    std::string TakeNextItem();
    // Starts the first playable item of the pending list, if any.
    void StartNext(bool closeAllFirst);

    IMciCommands& mci_;
    std::string pending_;  // items not yet started, joined by "*"
};

}  // namespace tempora
