// The background sound player: plays a sound list, full file paths joined by
// "*", one file after another through MCI command strings. MCI reports the end
// of each playback by a notification, and that notification starts the next
// file.
//
// A device may accept "play ... notify" and then never report. So that such a
// device cannot keep the player busy for good (and every later chime and task
// sound dropped), each item also gets a deadline, measured on the installed
// ClockSource: its length as MCI states it plus kLengthMarginMs, or
// kUnknownLengthMs when the device cannot state a length. The owner calls
// CheckDeadline regularly while Playing() holds (TBackSoundWindow runs a
// one-second timer on its own window for it; nobody else has to).
//
// The list logic lives here, free of Windows, so that it runs against any
// IMciCommands; BackSound_win.h puts it on a hidden window and real MCI.
#pragma once

#include <cstdint>
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
    // As Send, for a command that answers with text ("status ... length").
    virtual unsigned Query(const std::string& command, std::string& reply) = 0;
    // The id that notifications carry for the open device of that name (a
    // file's path as it was opened, unquoted); 0 when no such device is open.
    virtual unsigned DeviceId(const std::string& name) = 0;
    // Throws away notifications reported but not yet delivered: after
    // "close all" they belong to devices that are gone.
    virtual void DropNotifications() = 0;
};

class TBackSound : public ISoundListPlayer {
public:
    // Slack over a stated length: the device's start-up and the owner's
    // one-second check both come on top of the sound itself.
    static constexpr int64_t kLengthMarginMs = 3000;
    // For a device that plays but cannot say for how long. The recordings
    // this program plays are spoken words, bell strokes and short alerts of
    // a few seconds, and every file device of MCI states a length anyway; so
    // 30 s cuts nothing real, while a silent device holds up a chime of eight
    // items for minutes, not for the rest of the session.
    static constexpr int64_t kUnknownLengthMs = 30000;

    explicit TBackSound(IMciCommands& mci) : mci_(mci) {}
    TBackSound(const TBackSound&) = delete;
    TBackSound& operator=(const TBackSound&) = delete;

    // Starts the list unless items of an earlier list still wait: such a
    // request is dropped, not queued (an item past its deadline has ended by
    // then, though). Otherwise whatever still sounds (the last item of the
    // earlier list) is stopped by "close all" once a playable item is found.
    // Empty items and missing files are skipped, and so is a file that MCI
    // refuses to open or play.
    void Play(const std::string& list) override;
    // MM_MCINOTIFY from `device`: the item playing has ended, so start the
    // next playable one. Aborted and superseded notifications do not count:
    // they come from a device stopped by "close all" or replayed, and would
    // skip an item of the list now playing. Nor does one from any device but
    // the item's own, where MCI could name that: it comes late from an item
    // already given up.
    void OnNotify(unsigned code, unsigned device);
    // An item past its deadline is closed and counts as finished: the next
    // one starts. A clock set back meanwhile restarts the count, so that the
    // item is not held for the size of the jump.
    void CheckDeadline();
    // Stops whatever sounds and forgets the waiting items.
    void Silence();

    // Items wait behind the one playing; a Play now would be dropped.
    bool Busy() const { return !pending_.empty(); }
    // An item has started and its end is still awaited.
    bool Playing() const { return playing_; }
    const std::string& Pending() const { return pending_; }

private:
    std::string TakeNextItem();
    // Starts the first playable item of the pending list, if any.
    void StartNext(bool closeAllFirst);
    // How long the device just opened as `device` may take to report.
    int64_t AllowedMs(const std::string& device);

    IMciCommands& mci_;
    std::string pending_;  // items not yet started, joined by "*"
    bool playing_ = false;
    std::string device_;  // the playing item's device, quoted as commands name it
    unsigned deviceId_ = 0;
    int64_t startedMs_ = 0;
    int64_t allowedMs_ = 0;
};

}  // namespace tempora
