#include "core/DateTime.h"
#include "core/LocaleFormats.h"

#include <gtest/gtest.h>

#include <random>

using namespace tempora;

namespace {

// Every case leaves zh-CN's formats behind for the tests that follow.
class LocaleFormats : public ::testing::Test {
protected:
    void TearDown() override { ApplyLocalePictures("", "", "", ""); }
};

const TDateTime kMidnight = EncodeDateTime(2024, 12, 25, 0, 0, 5);
const TDateTime kMorning = EncodeDateTime(2024, 12, 25, 9, 7, 3);
const TDateTime kNoon = EncodeDateTime(2024, 12, 25, 12, 30, 0);
const TDateTime kAfternoon = EncodeDateTime(2024, 12, 25, 15, 4, 9);

}  // namespace

TEST_F(LocaleFormats, TimePicturesShowTheirClockAtEveryHalfOfTheDay) {
    struct Case {
        const char *picture, *am, *pm;
        const char *midnight, *morning, *noon, *afternoon;
    } cases[] = {
        {"HH:mm:ss", "", "", "00:00:05", "09:07:03", "12:30:00", "15:04:09"},
        {"H:mm:ss", "", "", "0:00:05", "9:07:03", "12:30:00", "15:04:09"},
        {"tt h:mm:ss", "上午", "下午", "上午 12:00:05", "上午 9:07:03", "下午 12:30:00",
         "下午 3:04:09"},
        {"h:mm:ss tt", "AM", "PM", "12:00:05 AM", "9:07:03 AM", "12:30:00 PM", "3:04:09 PM"},
        {"tthh:mm", "오전", "오후", "오전12:00", "오전09:07", "오후12:30", "오후03:04"},
        {"t h:mm", "a.m.", "p.m.", "a.m. 12:00", "a.m. 9:07", "p.m. 12:30", "p.m. 3:04"},
        {"H 'h' mm", "", "", "0 h 00", "9 h 07", "12 h 30", "15 h 04"},
        {"HH.mm.ss 'Uhr'", "", "", "00.00.05 Uhr", "09.07.03 Uhr", "12.30.00 Uhr", "15.04.09 Uhr"},
        {"H:mm 'o''clock' \"x\"", "", "", "0:00 o'clock \"x\"", "9:07 o'clock \"x\"",
         "12:30 o'clock \"x\"", "15:04 o'clock \"x\""},
        {"HH时mm分ss秒", "", "", "00时00分05秒", "09时07分03秒", "12时30分00秒", "15时04分09秒"},
        {"H:MM:ss dy 'ampm", "", "", "0:MM:05 dy ampm", "9:MM:03 dy ampm", "12:MM:00 dy ampm",
         "15:MM:09 dy ampm"},
        // An hour is never shown without its half of the day, nor a designator with 24 hours.
        {"hh:mm:ss", "AM", "PM", "00:00:05", "09:07:03", "12:30:00", "15:04:09"},
        {"tt H:mm", "AM", "PM", "AM 12:00", "AM 9:07", "PM 12:30", "PM 3:04"},
        {"Hh", "", "", "00", "99", "1212", "1515"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.picture);
        ApplyLocalePictures(c.picture, "", c.am, c.pm);
        EXPECT_EQ(FormatLongTime(kMidnight), c.midnight);
        EXPECT_EQ(FormatLongTime(kMorning), c.morning);
        EXPECT_EQ(FormatLongTime(kNoon), c.noon);
        EXPECT_EQ(FormatLongTime(kAfternoon), c.afternoon);
    }
}

TEST_F(LocaleFormats, DatePicturesShowDayMonthAndYear) {
    const TDateTime early = EncodeDate(2009, 3, 1);  // a Sunday
    const TDateTime late = EncodeDate(2024, 12, 25);
    struct Case {
        const char *picture, *early, *late;
    } cases[] = {
        {"yyyy/M/d", "2009/3/1", "2024/12/25"},
        {"d/MM/yyyy", "1/03/2009", "25/12/2024"},
        {"yyyy-MM-dd", "2009-03-01", "2024-12-25"},
        {"dd.MM.yy", "01.03.09", "25.12.24"},
        {"M/d/y", "3/1/09", "12/25/24"},
        {"yyyyy'年'M'月'd'日'", "2009年3月1日", "2024年12月25日"},
        {"ddd, MMM d yyyy", "周日, 3月 1 2009", "周三, 12月 25 2024"},
        {"dddd MMMM", "星期日 三月", "星期三 十二月"},
        {"gg yyyy/M/d", "公元 2009/3/1", "公元 2024/12/25"},
        {"d 'de' MMMM 'de' yyyy", "1 de 三月 de 2009", "25 de 十二月 de 2024"},
        {"yyyy/m/D hh", "2009/m/D hh", "2024/m/D hh"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.picture);
        ApplyLocalePictures("", c.picture, "", "");
        EXPECT_EQ(FormatShortDate(early), c.early);
        EXPECT_EQ(FormatShortDate(late), c.late);
    }
}

TEST_F(LocaleFormats, UnusablePicturesAndDesignatorsKeepTheDefaults) {
    const std::string huge(300, 'H');
    const char* const bad[] = {"",        "tt",     "gg",         "'HH:mm:ss yyyy'", "HH:mm\x01",
                               "yyyy\tM", "HH\x7f", "\xff\xfeHH", "M/d\xe5",         huge.c_str()};
    for (const char* picture : bad) {
        SCOPED_TRACE(picture);
        ApplyLocalePictures("HH:mm tt", "dd.MM.yy", "AM", "PM");
        ApplyLocalePictures(picture, picture, "AM", "PM");
        EXPECT_EQ(FormatLongTime(kAfternoon), "15:04:09");
        EXPECT_EQ(FormatShortDate(kAfternoon), "2024/12/25");
    }
    const std::string longName(65, 'x');
    const char* const badDesignators[][2] = {
        {"", "PM"}, {"AM", ""}, {"A\nM", "PM"}, {"AM", longName.c_str()}, {"\xc3", "PM"}};
    for (const auto& d : badDesignators) {
        SCOPED_TRACE(d[0]);
        ApplyLocalePictures("tt h:mm", "", d[0], d[1]);
        EXPECT_EQ(FormatLongTime(kMorning), "上午 9:07");
        EXPECT_EQ(FormatLongTime(kAfternoon), "下午 3:04");
    }
}

TEST_F(LocaleFormats, AnyPictureFormatsWithinBounds) {
    // Pictures made of the characters that mean something to either side.
    const std::string alphabet = "hHmMsStTdDyYgGnNzZaApP'\"\\: \x01\xe5\xb9\xb4";
    std::mt19937 rng(20240204);
    for (int round = 0; round < 3000; ++round) {
        std::string picture(rng() % 40, ' ');
        for (char& c : picture)
            c = alphabet[rng() % alphabet.size()];
        const std::string am(rng() % 20, 'a'), pm(rng() % 20, 'p');
        ApplyLocalePictures(picture, picture, am, pm);
        for (const TDateTime t : {kMidnight, kAfternoon, 1e300, -1e300}) {
            // Nothing in a picture grows by more than a long designator or a month name per byte.
            ASSERT_LE(FormatLongTime(t).size(), 20 * picture.size() + 16) << picture;
            ASSERT_LE(FormatShortDate(t).size(), 20 * picture.size() + 16) << picture;
        }
    }
}
