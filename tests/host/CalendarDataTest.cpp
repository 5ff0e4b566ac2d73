#include "calendar/CalendarData.h"
#include "core/Encoding.h"
#include "core/FileSys.h"
#include "core/LineFile.h"

#include <filesystem>

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

namespace {

// A whole year: the three fixed days off and the lines given.
std::vector<std::string> Year(int year, const std::string& header,
                              std::vector<std::string> extra = {}) {
    const std::string y = std::to_string(year);
    std::vector<std::string> lines = {y + "-01-01|元旦|1", y + "-05-01|劳动节|1",
                                      y + "-10-01|国庆节|1"};
    if (!header.empty())
        lines.insert(lines.begin(), header);
    lines.insert(lines.end(), extra.begin(), extra.end());
    return lines;
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

TEST(CalendarData, HolidaysCombineTheUsersYearsWithTheShippedOnes) {
    test::TempDir dir;
    const std::string user = dir.File("user"), shipped = dir.File("shipped");
    ASSERT_TRUE(MakeDirectory(user) && MakeDirectory(shipped));
    const auto at = [](const std::string& folder, const char* name) {
        return folder + kPathSep + name;
    };
    // The user's copy from an older release, 2030 extended by hand; the new
    // release brings 2031 and a 2030 of its own; the user imported 2032 from
    // a notice of 2031-11-01.
    ASSERT_TRUE(WriteLineFile(at(user, kHolidayFileName), Year(2030, "", {"2030-03-08|妇女节|1"})));
    ASSERT_TRUE(WriteLineFile(
        at(shipped, kHolidayFileName),
        Year(2030, "@2030") + Year(2031, "@2031") + Year(2032, "@2032", {"2032-02-02|春节|1"})));
    ASSERT_TRUE(WriteLineFile(at(user, kHolidayUpdatesFileName),
                              Year(2032, "@2032|甲|2031-11-01", {"2032-02-03|春节|1"})));
    TCalendarData data;
    ASSERT_TRUE(data.Load(user, shipped));
    EXPECT_EQ(data.HolidayOf(EncodeDate(2030, 3, 8)), Off("妇女节"));
    EXPECT_TRUE(data.Holidays().Covers(2031));
    EXPECT_EQ(data.HolidayOf(EncodeDate(2032, 2, 3)), Off("春节"));
    EXPECT_EQ(data.HolidayOf(EncodeDate(2032, 2, 2)).kind, HolidayKind::None);
    EXPECT_EQ(data.HolidayNoteOf(EncodeDate(2032, 2, 3)), "来源= 甲 2031-11-01");
    EXPECT_EQ(data.HolidayNoteOf(EncodeDate(2031, 5, 1)), "");
    EXPECT_EQ(data.HolidayNoteOf(EncodeDate(2033, 6, 1)), "假日= 2033年放假安排尚未收录");
    EXPECT_EQ(data.HolidayNoteOf(EncodeDate(2031, 6, 1)), "");

    // A later release that carries a later notice of 2032 wins over the import.
    ASSERT_TRUE(WriteLineFile(at(shipped, kHolidayFileName),
                              Year(2032, "@2032|乙|2031-12-01", {"2032-02-02|春节|1"})));
    ASSERT_TRUE(data.Load(user, shipped));
    EXPECT_EQ(data.HolidayOf(EncodeDate(2032, 2, 2)), Off("春节"));
    EXPECT_EQ(data.HolidayOf(EncodeDate(2032, 2, 3)).kind, HolidayKind::None);
}

TEST(CalendarData, AnUpdateGoesIntoTheUsersFileAtomicallyAndOutlivesANewRelease) {
    test::TempDir dir;
    const std::vector<std::string> shipped = Year(2030, "@2030");
    ASSERT_TRUE(WriteLineFile(dir.File(kHolidayFileName), shipped));
    TCalendarData data;
    ASSERT_TRUE(data.Load(dir.Path().string()));

    std::string bytes;
    for (const std::string& line : Year(2031, "@2031|丙|2030-11-02", {"2031-02-15|春节|0"}) +
                                       Year(2030, "@2030|丙|2029-11-02", {"2030-02-03|春节|1"}))
        bytes += Utf8ToGbk(line) + "\r\n";
    THolidayList incoming;
    std::vector<THolidayChange> changes;
    ASSERT_TRUE(data.CheckUpdate(bytes, incoming, changes).ok);
    EXPECT_EQ(changes, (std::vector<THolidayChange>{{2030, true}, {2031, false}}));
    EXPECT_EQ(DescribeChanges(incoming, changes),
              "2030年：更新，休 4 天，班 0 天（丙 2029-11-02）\r\n"
              "2031年：新增，休 3 天，班 1 天（丙 2030-11-02）");

    // The updates file cannot be written (a folder has its name): nothing changes.
    ASSERT_TRUE(MakeDirectory(dir.File(kHolidayUpdatesFileName)));
    EXPECT_FALSE(data.ApplyUpdate(incoming, changes));
    EXPECT_FALSE(data.Holidays().Covers(2031));
    std::filesystem::remove(dir.Path() / kHolidayUpdatesFileName);

    ASSERT_TRUE(data.ApplyUpdate(incoming, changes));
    EXPECT_EQ(data.HolidayOf(EncodeDate(2031, 2, 15)), Work("春节"));
    EXPECT_EQ(data.HolidayOf(EncodeDate(2030, 2, 3)), Off("春节"));
    // The shipped file is left alone; a release that replaces it with its own
    // (older) years loses nothing of the update.
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadLineFile(dir.File(kHolidayFileName), lines));
    EXPECT_EQ(lines, shipped);
    TCalendarData again;
    ASSERT_TRUE(again.Load(dir.Path().string()));
    EXPECT_EQ(again.Holidays().Years(), data.Holidays().Years());
}
