// The hotkey that speaks the day: what the running program hands its player
// for a table of days, in the middle of quiet hours that last all day.
#include "AppFixture.h"

#include "reminders/BackSound.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace tempora {
namespace {

int64_t ChinaNoonMillis(int y, int m, int d) {
    return std::llround((EncodeDateTime(y, m, d, 12, 0, 0) - 25569.0) * 86400000.0) - 8 * 3600000LL;
}

class RecordingPlayer : public ISoundListPlayer {
public:
    explicit RecordingPlayer(std::vector<std::string>& played) : played_(played) {}
    void Play(const std::string& list) override { played_.push_back(list); }

private:
    std::vector<std::string>& played_;
};

class SpokenDayTest : public test::AppFixture {
protected:
    SpokenDayTest() : test::AppFixture("tempora-spokenday-") {}

    // The sound list of the words, as the chime composer lists recordings.
    std::string ListOf(const std::string& words) const {
        std::istringstream in(words);
        std::string list, word;
        while (in >> word)
            list += (list.empty() ? "" : "*") + Data() + "Sound\\" + word + ".wav";
        return list;
    }
    std::vector<std::string> played_;
};

TEST_F(SpokenDayTest, TheDayKeySpeaksDateWeekdayLunarDateTermAndFestival) {
    FakeClock& clock = UseClock(ChinaNoonMillis(2026, 12, 11));
    WriteIni(
        "[CLOCK]\r\nDayHotKey=1\r\nDayHotKey1=Alt + Ctrl\r\nDayHotKey2=D\r\n"
        "QuietHours=1\r\nQuietStart=00:00\r\nQuietEnd=23:59\r\n");
    AppOptions o = Options();
    o.makePlayer = [this] { return std::make_unique<RecordingPlayer>(played_); };
    TClockApp& app = StartApp(o, false);
    TClockHotKey& key = app.DayHotKey();
    ASSERT_NE(key.Id(), 0);
    EXPECT_EQ(key.Modifiers(), MOD_ALT | MOD_CONTROL);
    EXPECT_EQ(key.Key(), 'D');

    const struct {
        int y, m, d;
        const char* words;
    } cases[] = {
        // 今天是十二月十一日，星期五，农历十一月初三
        {2026, 12, 11, "JT 12 Yue 11 Ri XQ 5 NL 11 Yue Chu 3"},
        // 大雪, on 十月廿九
        {2026, 12, 7, "JT 12 Yue 7 Ri XQ 1 NL 10 Yue Nian 9 J22"},
        // 中秋节
        {2026, 9, 25, "JT 9 Yue 2A 10 5 Ri XQ 5 NL 8 Yue 10 5 FL0815"},
        // 闰六月初八, and 建军节
        {2025, 8, 1, "JT 8 Yue 1 Ri XQ 5 NL Run 6 Yue Chu 8 FG0801"},
        // 除夕 on 腊月廿九, a year without a thirtieth
        {2026, 2, 16, "JT 2A Yue 10 6 Ri XQ 1 NL La Yue Nian 9 FL0100"},
        // 母亲节, the second Sunday of May
        {2026, 5, 10, "JT 5 Yue 10 Ri XQ Ri NL 3 Yue Nian 4 FW0520"},
    };
    const HWND bar = app.Bar().Handle();
    for (const auto& c : cases) {
        clock.Set(ChinaNoonMillis(c.y, c.m, c.d));
        played_.clear();
        SendMessageW(bar, WM_HOTKEY, static_cast<WPARAM>(key.Id()),
                     MAKELPARAM(key.Modifiers(), key.Key()));
        ASSERT_EQ(played_.size(), 1u) << c.words;
        EXPECT_EQ(played_[0], ListOf(c.words));
    }
    // The announce-time key is another one: its message speaks no day.
    played_.clear();
    SendMessageW(bar, WM_HOTKEY, static_cast<WPARAM>(key.Id()), MAKELPARAM(MOD_ALT, 'D'));
    EXPECT_TRUE(played_.empty());
}

}  // namespace
}  // namespace tempora
