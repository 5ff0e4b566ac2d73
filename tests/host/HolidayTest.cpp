#include "calendar/Holiday.h"
#include "core/FileSys.h"
#include "core/LineFile.h"

#include <limits>

#include "TempDir.h"
#include <gtest/gtest.h>

using namespace tempora;

namespace {

const HolidayInfo kNone{};

HolidayInfo Off(const char* name) {
    return {name, HolidayKind::DayOff};
}
HolidayInfo Work(const char* name) {
    return {name, HolidayKind::WorkDay};
}

}  // namespace

TEST(Holiday, ParsesGoodLinesAndSkipsDamagedOnes) {
    THolidayList list;
    const size_t read = list.LoadFromLines({
        "# 注释|行|1", "", "2024-02-10|春节|1",
        " 2024-02-04 | 春节 | 0 ",  // blanks around fields are fine
        "2024-02-11|春节|2",        // kind other than 0 or 1
        "2024-02-12|春节",          // too few fields
        "2024-02-13|春节|1|x",      // too many
        "2024-2-14|春节|1",         // not yyyy-mm-dd
        "2024-02-30|春节|1",        // no such day
        "2024-02-15||1",            // no name
        "2024-02-16 00:00:00|春节|1", "+024-02-17|春节|1", "2024-05-01|劳动节|0",
        "2024-05-01|劳动节|1",  // a later line replaces an earlier one
    });
    EXPECT_EQ(read, 3u);
    EXPECT_EQ(list.Of(EncodeDate(2024, 2, 10)), Off("春节"));
    EXPECT_EQ(list.Of(EncodeDateTime(2024, 2, 10, 18, 30, 0)), Off("春节"));
    EXPECT_EQ(list.Of(EncodeDate(2024, 2, 4)), Work("春节"));
    EXPECT_EQ(list.Of(EncodeDate(2024, 5, 1)), Off("劳动节"));
    for (int day = 11; day <= 17; ++day)
        EXPECT_EQ(list.Of(EncodeDate(2024, 2, day)), kNone);
    EXPECT_EQ(list.Of(std::numeric_limits<double>::quiet_NaN()), kNone);
    EXPECT_EQ(list.Of(1e300), kNone);
}

TEST(Holiday, ShippedListCoversTheNoticesOf2002To2026) {
    THolidayList list;
    ASSERT_TRUE(list.LoadFromFile(std::string(TEMPORA_SOURCE_DIR) + "/data/Holiday.lst"));
    EXPECT_EQ(list.Count(), 860u);  // every day of the source table
    struct Case {
        int y, m, d;
        HolidayInfo info;
    } cases[] = {
        {2002, 1, 1, Off("元旦节")},
        {2001, 12, 29, Work("元旦节")},
        {2015, 9, 3, Off("抗战胜利日")},
        {2020, 10, 1, Off("国庆中秋")},
        {2024, 2, 10, Off("春节")},
        {2024, 2, 4, Work("春节")},
        {2024, 2, 19, kNone},
        {2026, 10, 10, Work("国庆节")},
        {2027, 1, 1, kNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(FormatDateTime("yyyy-mm-dd", EncodeDate(c.y, c.m, c.d)));
        EXPECT_EQ(list.Of(EncodeDate(c.y, c.m, c.d)), c.info);
    }
}
