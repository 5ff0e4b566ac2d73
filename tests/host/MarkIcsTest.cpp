#include "calendar/MarkIcs.h"
#include "core/FileSys.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace tempora;

namespace {

TEST(MarkIcs, LinesFoldAt75OctetsBetweenCharacters) {
    const std::string a75(75, 'a'), a80(80, 'a');
    std::string han22, han25;
    for (int i = 0; i < 25; ++i)
        (i < 22 ? han22 : han25) += "中";  // three octets each
    struct Case {
        std::string line, folded;
    };
    const Case cases[] = {
        {"", "\r\n"},
        {a75, a75 + "\r\n"},
        {a80, a75 + "\r\n " + std::string(5, 'a') + "\r\n"},
        // 8 + 22 * 3 = 74 octets: the next character does not fit whole.
        {"SUMMARY:" + han22 + han25, "SUMMARY:" + han22 + "\r\n " + han25 + "\r\n"},
        // Continuations hold 74 octets after their blank.
        {std::string(75 + 74 + 1, 'b'),
         std::string(75, 'b') + "\r\n " + std::string(74, 'b') + "\r\n b\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IcsFoldLine(c.line), c.folded) << c.line;
}

TEST(MarkIcs, EscapesSeparatorsBackslashesAndLineBreaks) {
    EXPECT_EQ(IcsEscape("a,b;c\\d\r\ne\nf\rg:h"), "a\\,b\\;c\\\\d\\ne\\nf\\ng:h");
}

TEST(MarkIcs, OneAllDayEventPerDateWithTheRemindersAsAlarms) {
    TCalendarMarks marks;
    TFestivalList flags;
    marks.ReadMarks(
        "00101=元旦,聚会;带\\礼物\r\n"
        "10815=一二三四五六七八九十一二三四五六七八九十一二三四五\r\n"
        "10408=\r\n",
        flags);
    TMarkReminder r;
    r.onDay = true;
    r.daysBefore = 1;
    marks.SetReminder("00101", r);
    r = {};
    r.rule.leap = TLeapPolicy::LeapOnly;  // no leap fourth month in 2026
    marks.SetReminder("10408", r);

    const std::string ics = MarksIcsText(marks, 2026, 2026, EncodeDateTime(2026, 12, 11, 3, 4, 5));
    EXPECT_EQ(ics,
              "BEGIN:VCALENDAR\r\n"
              "VERSION:2.0\r\n"
              "PRODID:-//Tempora//Calendar marks//ZH\r\n"
              "CALSCALE:GREGORIAN\r\n"
              "BEGIN:VEVENT\r\n"
              "UID:00101-20260101@mark.tempora\r\n"
              "DTSTAMP:20261211T030405Z\r\n"
              "DTSTART;VALUE=DATE:20260101\r\n"
              "DTEND;VALUE=DATE:20260102\r\n"
              "SUMMARY:元旦\\,聚会\\;带\\\\礼物\r\n"
              "TRANSP:TRANSPARENT\r\n"
              "BEGIN:VALARM\r\n"
              "ACTION:DISPLAY\r\n"
              "DESCRIPTION:元旦\\,聚会\\;带\\\\礼物\r\n"
              "TRIGGER:PT9H\r\n"
              "END:VALARM\r\n"
              "BEGIN:VALARM\r\n"
              "ACTION:DISPLAY\r\n"
              "DESCRIPTION:元旦\\,聚会\\;带\\\\礼物\r\n"
              "TRIGGER:-PT15H\r\n"
              "END:VALARM\r\n"
              "END:VEVENT\r\n"
              "BEGIN:VEVENT\r\n"
              "UID:10815-20260925@mark.tempora\r\n"
              "DTSTAMP:20261211T030405Z\r\n"
              "DTSTART;VALUE=DATE:20260925\r\n"
              "DTEND;VALUE=DATE:20260926\r\n"
              "SUMMARY:一二三四五六七八九十一二三四五六七八九十一二\r\n"
              " 三四五\r\n"
              "DESCRIPTION:农历八月十五\r\n"
              "TRANSP:TRANSPARENT\r\n"
              "END:VEVENT\r\n"
              "END:VCALENDAR\r\n");
    // The same marks give the same UIDs in every export, whatever the stamp.
    const std::string later = MarksIcsText(marks, 2026, 2026, EncodeDateTime(2027, 1, 1, 0, 0, 0));
    EXPECT_EQ(later.substr(0, later.find("DTSTAMP")), ics.substr(0, ics.find("DTSTAMP")));
}

TEST(MarkIcs, AFolderThatCannotBeWrittenGetsNoFileAtAll) {
    test::TempDir dir;
    TCalendarMarks marks;
    TFestivalList flags;
    marks.ReadMarks("00101=元旦\r\n", flags);
    const TDateTime stamp = EncodeDate(2026, 12, 11);
    ASSERT_TRUE(WriteFileAtomic(dir.File("file"), "x"));
    for (const std::string& path : {dir.File("missing/marks.ics"), dir.File("file/marks.ics")})
        EXPECT_FALSE(WriteMarksIcsFile(path, marks, 2026, 10, stamp)) << path;
    size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        entries += entry.path().filename() == "file" ? 0 : 1;
    EXPECT_EQ(entries, 0u);

    const std::string good = dir.File("marks.ics");
    ASSERT_TRUE(WriteMarksIcsFile(good, marks, 2026, 10, stamp));
    std::string text;
    ASSERT_TRUE(ReadFileBytes(good, text));
    EXPECT_EQ(text, MarksIcsText(marks, 2026, 2035, stamp));
    EXPECT_NE(text.find("UID:00101-20350101@"), std::string::npos);
}

}  // namespace
