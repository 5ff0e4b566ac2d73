#include "reminders/ClockAlarm.h"

#include <cstdio>
#include <utility>
#include <vector>

namespace tempora {

TClockAlarm::TClockAlarm(std::unique_ptr<ISoundListPlayer> player, std::string soundFolder)
    : player_(std::move(player)), soundFolder_(std::move(soundFolder)) {
    if (!soundFolder_.empty() && soundFolder_.back() != '\\')
        soundFolder_ += '\\';
}

void TClockAlarm::SetOptions(bool hourChime, bool halfHourChime, int chimeType) {
    hourChime_ = hourChime;
    halfHourChime_ = halfHourChime;
    chimeType_ = chimeType;
}

bool TQuietHours::Silences(int minuteOfDay) const {
    if (!on || startMinute == endMinute)
        return false;
    if (startMinute < endMinute)
        return minuteOfDay >= startMinute && minuteOfDay < endMinute;
    return minuteOfDay >= startMinute || minuteOfDay < endMinute;
}

int ParseMinuteOfDay(std::string_view text) {
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon < 1 || colon > 2 || text.size() != colon + 3)
        return -1;
    int value[2] = {0, 0};
    const std::string_view parts[2] = {text.substr(0, colon), text.substr(colon + 1)};
    for (int i = 0; i < 2; ++i) {
        for (char c : parts[i]) {
            if (c < '0' || c > '9')
                return -1;
            value[i] = value[i] * 10 + (c - '0');
        }
    }
    if (value[0] > 23 || value[1] > 59)
        return -1;
    return value[0] * 60 + value[1];
}

std::string FormatMinuteOfDay(int minute) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", (minute / 60) % 24, minute % 60);
    return text;
}

bool TClockAlarm::CheckChime(TDateTime t) {
    const TimeParts parts = DecodeTime(t);
    if (parts.second != 0)
        return false;
    const bool due = (hourChime_ && parts.minute == 0) || (halfHourChime_ && parts.minute == 30);
    if (!due || quiet_.Silences(parts.hour * 60 + parts.minute) ||
        (quiet_.daysOff && !IsWorkingDay(t, holidays_)))
        return false;
    const std::string list = ComposeChime(parts.hour, parts.minute, chimeType_, false);
    if (!list.empty())
        player_->Play(list);
    return true;
}

std::string TClockAlarm::ComposeChime(int h, int m, int chimeType, bool withMinutes) const {
    if (soundFolder_.empty() || h < 0 || h > 24 || m < 0 || m > 59)
        return {};
    if (h == 24)
        h = 0;

    std::vector<std::string> files;
    const auto add = [&](std::string name) { files.push_back(std::move(name)); };
    const auto number = [&](int n) { add(std::to_string(n) + ".wav"); };
    // A minute digit two takes the second form of the word.
    const auto minuteDigit = [&](int d) {
        if (d == 2)
            add("2A.wav");
        else
            number(d);
    };

    switch (chimeType) {
        case kChimeSpoken: {
            static const char* const kDayParts[] = {"To1.wav", "To2.wav", "To3.wav", "To4.wav"};
            add("T1.wav");
            add(kDayParts[h / 6]);
            number(h <= 12 ? h : h - 12);
            add("H.wav");
            if (withMinutes) {
                if (m <= 9) {
                    number(0);
                    minuteDigit(m);
                } else if (m <= 12) {
                    number(m);
                } else {
                    const int tens = m / 10, units = m % 10;
                    if (tens != 1)
                        minuteDigit(tens);
                    number(10);
                    if (units != 0)
                        minuteDigit(units);
                }
                add("M.wav");
            } else if (halfHourChime_ && m == 30) {
                add("30.wav");
                add("M.wav");
            }
            break;
        }
        case kChimeOneBell:
        case kChimeHourBells:
            if (m == 30 || chimeType == kChimeOneBell) {
                add(m == 30 ? "Z1.wav" : "Z2.wav");
            } else {
                const int strokes = h == 0 ? 1 : (h <= 12 ? h : h - 12);
                for (int i = 0; i < strokes; ++i)
                    add("Z1.wav");
            }
            break;
        default:
            break;
    }

    std::string list;
    for (const std::string& name : files) {
        if (!list.empty())
            list += '*';
        list += soundFolder_ + name;
    }
    return list;
}

void TClockAlarm::AnnounceNow(TDateTime t) {
    const TimeParts parts = DecodeTime(t);
    const std::string list = ComposeChime(parts.hour, parts.minute, kChimeSpoken, true);
    if (!list.empty())
        player_->Play(list);
}

std::string TClockAlarm::ComposeWords(const std::vector<std::string>& words) const {
    std::string list;
    if (soundFolder_.empty())
        return list;
    for (const std::string& word : words)
        list += (list.empty() ? "" : "*") + soundFolder_ + word + ".wav";
    return list;
}

void TClockAlarm::SpeakWords(const std::vector<std::string>& words) {
    const std::string list = ComposeWords(words);
    if (!list.empty())
        player_->Play(list);
}

void TClockAlarm::PlayList(const std::string& list) {
    player_->Play(list);
}

}  // namespace tempora
