// The chime composer: decides when the clock chimes and turns a time of day
// into a sound list of recorded words or bell strokes. Every sound of the
// reminders goes through the one player it owns, task sounds too.
//
// It lives on the GUI thread, whose player window gets MCI's notifications.
// CheckChime takes every second of the clock; a message chime
// (kChimeMessage) plays nothing: the caller shows the text instead. Going
// away silences whatever still sounds.
#pragma once

#include "core/DateTime.h"
#include "core/WorkingDay.h"
#include "reminders/BackSound.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tempora {

// Chime types, the setting CLOCK/AlarmType.
enum : int {
    kChimeSpoken = 0,     // "语音报时": the time in recorded words
    kChimeOneBell = 1,    // "钟声报时(单音)": one hour bell
    kChimeHourBells = 2,  // "钟声报时(多音)": one stroke per hour
    kChimeMessage = 3,    // "消息报时": a text shown by the popup program
};

// Hours in which no chime sounds or shows (CLOCK/QuietHours, QuietStart,
// QuietEnd). The span runs from startMinute up to, not including, endMinute
// (minutes of the day), across midnight when it starts later than it ends;
// equal ends silence nothing. Timed tasks and the spoken-time hotkey are not
// affected: the user asked for those.
struct TQuietHours {
    bool on = false;
    int startMinute = 22 * 60;
    int endMinute = 7 * 60;
    // "节假日不报时" (CLOCK/HolidayQuiet): no chime on a day that is not a
    // working day (core/WorkingDay.h), whatever the hours.
    bool daysOff = false;

    bool Silences(int minuteOfDay) const;
};

// "HH:MM" (0:00 … 23:59, one or two digits for the hour) as minutes of the
// day; -1 for anything else.
int ParseMinuteOfDay(std::string_view text);
// Minutes of the day as "HH:MM".
std::string FormatMinuteOfDay(int minute);

class TClockAlarm {
public:
    // `soundFolder` holds the recordings (T1.wav, To1.wav … Z2.wav); a
    // backslash is added when it does not end in one.
    TClockAlarm(std::unique_ptr<ISoundListPlayer> player, std::string soundFolder);
    TClockAlarm(const TClockAlarm&) = delete;
    TClockAlarm& operator=(const TClockAlarm&) = delete;

    void SetOptions(bool hourChime, bool halfHourChime, int chimeType);
    void SetQuietHours(const TQuietHours& quiet) { quiet_ = quiet; }
    // The holidays that tell days off; null knows none (weekends only). The
    // list must outlive this.
    void SetHolidays(const IHolidayDays* holidays) { holidays_ = holidays; }

    // True when a chime falls on `t`: second 0 of a whole hour with the hour
    // chime on, or of a half hour with the half-hour chime on, outside the
    // quiet hours and, with quiet days off, on a working day. The chime is
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

    // The sound list of recordings in the sound folder, by file name without
    // ".wav", in order; empty for an empty folder or no words.
    std::string ComposeWords(const std::vector<std::string>& words) const;
    // Speaks those words now, whatever the quiet hours: the user asked.
    void SpeakWords(const std::vector<std::string>& words);

    // Hands a sound list to the player unchanged.
    void PlayList(const std::string& list);

private:
    bool hourChime_ = false;
    bool halfHourChime_ = false;
    int chimeType_ = kChimeSpoken;
    TQuietHours quiet_;
    const IHolidayDays* holidays_ = nullptr;
    std::unique_ptr<ISoundListPlayer> player_;
    std::string soundFolder_;  // ends in a backslash unless empty
};

}  // namespace tempora
