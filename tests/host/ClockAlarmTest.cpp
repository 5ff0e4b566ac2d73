// The chime composer: when it chimes and which recordings it lists.
#include "reminders/ClockAlarm.h"
#include "calendar/Holiday.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace tempora;

namespace {

const std::string kFolder = "C:\\Tempora\\Sound\\";

class RecordingPlayer : public ISoundListPlayer {
public:
    explicit RecordingPlayer(std::vector<std::string>& lists) : lists_(lists) {}
    void Play(const std::string& list) override { lists_.push_back(list); }

private:
    std::vector<std::string>& lists_;
};

// The list with the sound folder taken off, as the examples write it.
std::string Names(std::string list) {
    for (size_t at; (at = list.find(kFolder)) != std::string::npos;)
        list.erase(at, kFolder.size());
    return list;
}

struct Alarm {
    std::vector<std::string> lists;
    TClockAlarm alarm;
    explicit Alarm(const std::string& folder = kFolder)
        : alarm(std::make_unique<RecordingPlayer>(lists), folder) {}
};

TDateTime At(int h, int m, int s) {
    return EncodeDateTime(2024, 2, 10, h, m, s);
}

}  // namespace

TEST(ClockAlarm, ComposesSpokenTimesAndBells) {
    struct Case {
        int h, m, type;
        bool withMinutes, halfHourChime;
        const char* expected;
    };
    const Case cases[] = {
        // Whole- and half-hour chimes, spoken.
        {15, 0, 0, false, true, "T1.wav*To3.wav*3.wav*H.wav"},
        {15, 30, 0, false, true, "T1.wav*To3.wav*3.wav*H.wav*30.wav*M.wav"},
        {15, 30, 0, false, false, "T1.wav*To3.wav*3.wav*H.wav"},
        {0, 0, 0, false, true, "T1.wav*To1.wav*0.wav*H.wav"},
        {24, 0, 0, false, true, "T1.wav*To1.wav*0.wav*H.wav"},
        {12, 0, 0, false, false, "T1.wav*To3.wav*12.wav*H.wav"},
        // Day parts change at 6, 12 and 18.
        {5, 0, 0, false, false, "T1.wav*To1.wav*5.wav*H.wav"},
        {6, 0, 0, false, false, "T1.wav*To2.wav*6.wav*H.wav"},
        {11, 0, 0, false, false, "T1.wav*To2.wav*11.wav*H.wav"},
        {17, 0, 0, false, false, "T1.wav*To3.wav*5.wav*H.wav"},
        {18, 0, 0, false, false, "T1.wav*To4.wav*6.wav*H.wav"},
        // Announced times with minutes.
        {8, 2, 0, true, false, "T1.wav*To2.wav*8.wav*H.wav*0.wav*2A.wav*M.wav"},
        {0, 45, 0, true, false, "T1.wav*To1.wav*0.wav*H.wav*4.wav*10.wav*5.wav*M.wav"},
        {14, 20, 0, true, false, "T1.wav*To3.wav*2.wav*H.wav*2A.wav*10.wav*M.wav"},
        {13, 30, 0, true, true, "T1.wav*To3.wav*1.wav*H.wav*3.wav*10.wav*M.wav"},
        {10, 10, 0, true, false, "T1.wav*To2.wav*10.wav*H.wav*10.wav*M.wav"},
        {11, 59, 0, true, false, "T1.wav*To2.wav*11.wav*H.wav*5.wav*10.wav*9.wav*M.wav"},
        {23, 0, 0, true, false, "T1.wav*To4.wav*11.wav*H.wav*0.wav*0.wav*M.wav"},
        {23, 59, 0, true, false, "T1.wav*To4.wav*11.wav*H.wav*5.wav*10.wav*9.wav*M.wav"},
        {7, 9, 0, true, false, "T1.wav*To2.wav*7.wav*H.wav*0.wav*9.wav*M.wav"},
        {7, 12, 0, true, false, "T1.wav*To2.wav*7.wav*H.wav*12.wav*M.wav"},
        {7, 13, 0, true, false, "T1.wav*To2.wav*7.wav*H.wav*10.wav*3.wav*M.wav"},
        {7, 22, 0, true, false, "T1.wav*To2.wav*7.wav*H.wav*2A.wav*10.wav*2A.wav*M.wav"},
        {24, 5, 0, true, false, "T1.wav*To1.wav*0.wav*H.wav*0.wav*5.wav*M.wav"},
        // Bells.
        {21, 0, 2, false, false, "Z1.wav*Z1.wav*Z1.wav*Z1.wav*Z1.wav*Z1.wav*Z1.wav*Z1.wav*Z1.wav"},
        {21, 0, 1, false, false, "Z2.wav"},
        {21, 30, 1, false, true, "Z1.wav"},
        {21, 30, 2, false, true, "Z1.wav"},
        {0, 0, 2, false, false, "Z1.wav"},
        {24, 0, 2, false, false, "Z1.wav"},
        {12, 0, 2, false, false,
         "Z1.wav*Z1.wav*Z1.wav*Z1.wav*Z1.wav*Z1.wav*Z1.wav*Z1.wav*Z1.wav*Z1.wav*Z1.wav*Z1.wav"},
        {13, 0, 2, false, false, "Z1.wav"},
        // Message chimes and unknown types compose nothing; nor do times out of range.
        {12, 0, 3, false, false, ""},
        {12, 0, 4, false, false, ""},
        {12, 0, -1, true, false, ""},
        {25, 0, 0, true, false, ""},
        {-1, 0, 2, false, false, ""},
        {12, 60, 0, true, false, ""},
        {12, -1, 1, false, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.h << ":" << c.m << " type " << c.type
                                        << (c.withMinutes ? " with minutes" : "")
                                        << (c.halfHourChime ? " half-hour chime on" : ""));
        Alarm a;
        a.alarm.SetOptions(true, c.halfHourChime, 0);
        EXPECT_EQ(Names(a.alarm.ComposeChime(c.h, c.m, c.type, c.withMinutes)), c.expected);
    }
}

TEST(ClockAlarm, PathsAreTheSoundFolderWithOneBackslash) {
    Alarm with("C:\\Tempora\\Sound\\"), without("C:\\Tempora\\Sound"), none("");
    EXPECT_EQ(with.alarm.ComposeChime(21, 0, 1, false), "C:\\Tempora\\Sound\\Z2.wav");
    EXPECT_EQ(without.alarm.ComposeChime(21, 0, 1, false), "C:\\Tempora\\Sound\\Z2.wav");
    EXPECT_EQ(without.alarm.ComposeChime(8, 2, 0, true), with.alarm.ComposeChime(8, 2, 0, true));
    EXPECT_EQ(none.alarm.ComposeChime(21, 0, 1, false), "");
}

TEST(ClockAlarm, ChimesOnlyInSecondZeroOfDueMinutes) {
    struct Case {
        bool hourChime, halfHourChime;
        int type;
        int h, m, s;
        bool due;
        const char* played;  // nullptr: nothing played
    };
    const Case cases[] = {
        {false, false, 0, 12, 0, 0, false, nullptr},
        {false, false, 0, 12, 30, 0, false, nullptr},
        {false, true, 0, 12, 30, 0, true, "T1.wav*To3.wav*12.wav*H.wav*30.wav*M.wav"},
        {false, true, 0, 13, 0, 0, false, nullptr},
        {true, false, 0, 13, 0, 0, true, "T1.wav*To3.wav*1.wav*H.wav"},
        {true, false, 0, 13, 30, 0, false, nullptr},
        {true, true, 0, 12, 0, 1, false, nullptr},
        {true, true, 0, 12, 30, 59, false, nullptr},
        {true, true, 0, 12, 1, 0, false, nullptr},
        {true, true, 0, 0, 0, 0, true, "T1.wav*To1.wav*0.wav*H.wav"},
        {true, true, 1, 9, 0, 0, true, "Z2.wav"},
        {true, true, 2, 3, 0, 0, true, "Z1.wav*Z1.wav*Z1.wav"},
        {true, true, 2, 3, 30, 0, true, "Z1.wav"},
        {true, true, 3, 12, 0, 0, true, nullptr},  // the bar shows the message
        {true, true, 3, 12, 30, 0, true, nullptr},
        {true, true, 7, 12, 0, 0, true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.h << ":" << c.m << ":" << c.s << " type " << c.type
                                        << " hour " << c.hourChime << " half " << c.halfHourChime);
        Alarm a;
        a.alarm.SetOptions(c.hourChime, c.halfHourChime, c.type);
        EXPECT_EQ(a.alarm.CheckChime(At(c.h, c.m, c.s)), c.due);
        if (c.played) {
            ASSERT_EQ(a.lists.size(), 1u);
            EXPECT_EQ(Names(a.lists[0]), c.played);
        } else {
            EXPECT_TRUE(a.lists.empty());
        }
    }
}

TEST(ClockAlarm, CheckHasNoMemoryAndFollowsNewOptions) {
    Alarm a;
    a.alarm.SetOptions(true, false, 1);
    EXPECT_TRUE(a.alarm.CheckChime(At(9, 0, 0)));
    EXPECT_TRUE(a.alarm.CheckChime(At(9, 0, 0)));  // a repeated tick chimes again
    a.alarm.SetOptions(false, false, 1);
    EXPECT_FALSE(a.alarm.CheckChime(At(10, 0, 0)));
    EXPECT_EQ(a.lists.size(), 2u);
}

TEST(ClockAlarm, QuietHoursSilenceTheChimeAcrossMidnight) {
    const struct {
        bool on;
        const char *from, *to;
        int h, m;
        bool chimes;
    } cases[] = {
        {true, "22:00", "07:00", 23, 0, false}, {true, "22:00", "07:00", 6, 30, false},
        {true, "22:00", "07:00", 7, 0, true},   {true, "22:00", "07:00", 22, 0, false},
        {true, "22:00", "07:00", 21, 30, true}, {true, "22:00", "07:00", 0, 0, false},
        {false, "22:00", "07:00", 23, 0, true}, {true, "12:00", "14:00", 13, 30, false},
        {true, "12:00", "14:00", 23, 0, true},  {true, "8:00", "8:00", 8, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << "-" << c.to << " at " << c.h << ":" << c.m);
        Alarm a;
        a.alarm.SetOptions(true, true, kChimeMessage);
        a.alarm.SetQuietHours({c.on, ParseMinuteOfDay(c.from), ParseMinuteOfDay(c.to)});
        EXPECT_EQ(a.alarm.CheckChime(At(c.h, c.m, 0)), c.chimes);
    }
    // The hotkey still speaks in quiet hours: the user asked.
    Alarm a;
    a.alarm.SetQuietHours({true, 0, 23 * 60 + 59});
    a.alarm.AnnounceNow(At(3, 0, 0));
    EXPECT_EQ(a.lists.size(), 1u);
}

TEST(ClockAlarm, MinuteOfDayReadsOnlyAClockTime) {
    const struct {
        const char* text;
        int minute;
    } cases[] = {{"00:00", 0},   {"7:05", 425}, {"23:59", 1439}, {"24:00", -1},
                 {"12:60", -1},  {"12:5", -1},  {"", -1},        {"ab:cd", -1},
                 {"123:00", -1}, {" 7:00", -1}, {"-1:00", -1},   {"07:00x", -1}};
    for (const auto& c : cases)
        EXPECT_EQ(ParseMinuteOfDay(c.text), c.minute) << c.text;
    EXPECT_EQ(FormatMinuteOfDay(425), "07:05");
    EXPECT_EQ(FormatMinuteOfDay(22 * 60), "22:00");
}

TEST(ClockAlarm, AnnounceSpeaksMinutesWhateverTheChimeType) {
    Alarm a;
    a.alarm.SetOptions(false, false, 2);
    a.alarm.AnnounceNow(At(8, 2, 41));
    a.alarm.AnnounceNow(At(13, 30, 0));
    ASSERT_EQ(a.lists.size(), 2u);
    EXPECT_EQ(Names(a.lists[0]), "T1.wav*To2.wav*8.wav*H.wav*0.wav*2A.wav*M.wav");
    // An announced half hour says three, ten, not the chime's thirty.
    EXPECT_EQ(Names(a.lists[1]), "T1.wav*To3.wav*1.wav*H.wav*3.wav*10.wav*M.wav");

    Alarm none("");
    none.alarm.AnnounceNow(At(8, 2, 0));
    EXPECT_TRUE(none.lists.empty());
}

TEST(ClockAlarm, PlayListPassesTaskListsUnchanged) {
    Alarm a;
    a.alarm.PlayList("D:\\My Sounds\\闹钟.mp3*");
    ASSERT_EQ(a.lists.size(), 1u);
    EXPECT_EQ(a.lists[0], "D:\\My Sounds\\闹钟.mp3*");
}

TEST(ClockAlarm, QuietDaysOffSilenceHolidaysAndWeekendsButNotMakeUpDays) {
    THolidayList holidays;
    holidays.LoadFromLines({"2026-02-14|春节|0", "2026-02-16|春节|1"});
    const struct {
        bool daysOff;
        int d;  // of February 2026
        bool chimes;
    } cases[] = {
        {true, 13, true},   // Friday
        {true, 14, true},   // 班 Saturday
        {true, 15, false},  // Sunday
        {true, 16, false},  // 休 Monday
        {false, 16, true},  // the option off
        {false, 15, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "2026-02-" << c.d << (c.daysOff ? " quiet" : ""));
        Alarm a;
        a.alarm.SetOptions(true, false, kChimeMessage);
        a.alarm.SetHolidays(&holidays);
        TQuietHours quiet;
        quiet.daysOff = c.daysOff;
        a.alarm.SetQuietHours(quiet);
        EXPECT_EQ(a.alarm.CheckChime(EncodeDateTime(2026, 2, c.d, 9, 0, 0)), c.chimes);
    }
}
