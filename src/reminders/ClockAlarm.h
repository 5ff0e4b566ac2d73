// The chime composer: decides when the clock chimes and turns a time of day
// into a sound list of recorded words or bell strokes. Every sound of the
// reminders goes through the one player it owns, task sounds too.
//
// How the bar uses it:
//   - at creation, after reading the settings and before the clock tick starts,
//     on the GUI thread (the player's window gets MCI's notifications there;
//     TBackSoundWindow is in reminders/BackSound_win.h):
//       alarm = std::make_unique<TClockAlarm>(std::make_unique<TBackSoundWindow>(),
//                                             DataDir + "Sound\\");
//       alarm->SetOptions(Alarm, HalfAlarm, AlarmType);   // section CLOCK
//     and SetOptions again whenever the options dialog has written them;
//   - every second of the tick, with that second's local time:
//       if (alarm->CheckChime(t) && AlarmType == kChimeMessage)
//           show "时钟报时：" + FormatLongTime(t) through the popup program;
//     (message chimes play nothing: the text is the chime);
//   - on the announce-time hotkey: alarm->AnnounceNow(now);
//   - task sounds: alarm->PlayList(list);
//   - destroying it (with the bar) silences whatever still sounds.
#pragma once

#include "core/DateTime.h"
#include "reminders/BackSound.h"

#include <memory>
#include <string>

namespace tempora {

// Chime types, the setting CLOCK/AlarmType.
enum : int {
    kChimeSpoken = 0,     // "语音报时": the time in recorded words
    kChimeOneBell = 1,    // "钟声报时(单音)": one hour bell
    kChimeHourBells = 2,  // "钟声报时(多音)": one stroke per hour
    kChimeMessage = 3,    // "消息报时": a text shown by the popup program
};

class TClockAlarm {
public:
    // `soundFolder` holds the recordings (T1.wav, To1.wav … Z2.wav); a
    // backslash is added when it does not end in one.
    TClockAlarm(std::unique_ptr<ISoundListPlayer> player, std::string soundFolder);
    TClockAlarm(const TClockAlarm&) = delete;
    TClockAlarm& operator=(const TClockAlarm&) = delete;

    void SetOptions(bool hourChime, bool halfHourChime, int chimeType);

    // True when a chime falls on `t`: second 0 of a whole hour with the hour
    // chime on, or of a half hour with the half-hour chime on. The chime is
    // played before returning (message chimes play nothing). Nothing is
    // remembered, so each tick in a due second chimes.
    bool CheckChime(TDateTime t);

    // The sound list for hour `h` (0–24) and minute `m` (0–59) in the given
    // chime type; spoken times say the minutes only `withMinutes` (the
    // half-hour chime says "thirty" instead). Empty for an empty sound folder,
    // an unknown type or a time out of range.
    std::string ComposeChime(int h, int m, int chimeType, bool withMinutes) const;

    // Speaks the hour and minute of `t`, whatever the chime type.
    void AnnounceNow(TDateTime t);

    // Hands a sound list to the player unchanged.
    void PlayList(const std::string& list);

private:
    bool hourChime_ = false;
    bool halfHourChime_ = false;
    int chimeType_ = kChimeSpoken;
    std::unique_ptr<ISoundListPlayer> player_;
    std::string soundFolder_;  // ends in a backslash unless empty
};

}  // namespace tempora
