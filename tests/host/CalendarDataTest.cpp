#include "calendar/CalendarData.h"
#include "core/Encoding.h"
#include "core/FileSys.h"
#include "core/LineFile.h"

#include "TempDir.h"
#include <gtest/gtest.h>

using namespace tempora;

namespace {

HolidayInfo Off(const char* name) {
    return {name, HolidayKind::DayOff};
}
HolidayInfo Work(const char* name) {
    return {name, HolidayKind::WorkDay};
}

}  // namespace

TEST(CalendarData, LoadsHolidaysAndMarksFromTheDataFolderAndMissingFilesMeanNone) {
    test::TempDir dir;
    ASSERT_TRUE(WriteLineFile(dir.File(kHolidayFileName),
                              {"2030-01-01|元旦|1", "\xff\xfe|损坏|1", "2030-01-02|元旦|0"}));
    ASSERT_TRUE(WriteFileAtomic(dir.File(kMarksFileName), Utf8ToGbk("00102=上班\r\n")));
    // The folder with or without a closing separator.
    for (const std::string& folder :
         {dir.Path().string(), dir.Path().string() + std::string(1, kPathSep)}) {
        TCalendarData data;
        EXPECT_TRUE(data.Load(folder));
        EXPECT_EQ(data.HolidayOf(EncodeDate(2030, 1, 1)), Off("元旦"));
        EXPECT_EQ(data.HolidayOf(EncodeDate(2030, 1, 2)), Work("元旦"));
        EXPECT_EQ(data.SolarMarkNoteOf(EncodeDateTime(2030, 1, 2, 18, 0, 0)), "上班");
        EXPECT_EQ(data.MarksTextOf(EncodeDate(2030, 1, 2)), "上班");
        EXPECT_GE(data.Festivals().MarkColorOf(EncodeDate(2031, 1, 2)), 0);
    }
    // Loading another folder replaces both.
    TCalendarData data;
    ASSERT_TRUE(data.Load(dir.Path().string()));
    EXPECT_FALSE(data.Load(dir.File("missing")));
    EXPECT_EQ(data.HolidayOf(EncodeDate(2030, 1, 1)), HolidayInfo{});
    EXPECT_EQ(data.SolarMarkNoteOf(EncodeDate(2030, 1, 2)), "");
    EXPECT_EQ(data.Festivals().MarkColorOf(EncodeDate(2030, 1, 2)), kNoColor);
}

// The calendar window changes the marks through the shared object: every
// reader sees the change at once, in the skin's mark colour.
TEST(CalendarData, AMarkChangedThroughTheModelReachesEveryReader) {
    TCalendarData data;
    const TDateTime day = EncodeDate(2026, 2, 14);
    EXPECT_EQ(data.FestivalTextOf(day), "西方情人节");
    ASSERT_GE(data.Marks().PutMark(data.Festivals(), "00214", "买花"), 0);
    EXPECT_EQ(data.SolarMarkNoteOf(day), "买花");
    EXPECT_EQ(data.Festivals().MarkColorOf(day), kMarkColor);
    data.SetMarkColor(0x123456);
    EXPECT_EQ(data.Festivals().MarkColorOf(day), 0x123456);
    data.Marks().DeleteMark(data.Festivals(), "00214");
    EXPECT_EQ(data.SolarMarkNoteOf(day), "");
    EXPECT_EQ(data.Festivals().MarkColorOf(day), kNoColor);
    // Moments the calendar cannot hold have no texts.
    EXPECT_EQ(data.SolarMarkNoteOf(1e300), "");
    EXPECT_EQ(data.FestivalTextOf(-1e300), "");
}
