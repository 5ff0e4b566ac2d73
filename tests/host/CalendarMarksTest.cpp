#include "calendar/CalendarMarks.h"
#include "core/ClockSource.h"
#include "core/Encoding.h"
#include "core/FileSys.h"
#include "core/Text.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

using namespace tempora;
using tempora::test::TempDir;

namespace {

using Lines = std::vector<std::string>;

// Noon, China time, on the given day.
int64_t UtcMillisAt(int y, int m, int d) {
    return static_cast<int64_t>(std::llround((EncodeDate(y, m, d) - 25569.0) * 86400000.0)) +
           4 * 3600000LL;
}

class CalendarMarks : public ::testing::Test {
protected:
    void SetUp() override { ClockSource::Install(&clock); }
    void TearDown() override { ClockSource::Install(nullptr); }

    void Today(int y, int m, int d) { clock.Set(UtcMillisAt(y, m, d)); }
    std::string DataDir() const { return dir.File(""); }
    std::string MarksFile() const { return dir.File("Marks.rec"); }
    void WriteRaw(const std::string& bytes) const {
        ASSERT_TRUE(WriteFileAtomic(MarksFile(), bytes));
    }
    std::string ReadRaw() const {
        std::string bytes;
        ReadFileBytes(MarksFile(), bytes);
        return bytes;
    }
    // Loads the lines as the program writes them.
    void Load(const Lines& lines) {
        std::string text;
        for (const std::string& line : lines)
            text += line + "\r\n";
        WriteRaw(Utf8ToGbk(text));
        marks.LoadMarks(DataDir(), festivals);
    }

    FakeClock clock{UtcMillisAt(2026, 3, 10)};
    TempDir dir;
    TFestivalList festivals;
    TCalendarMarks marks;
};

}  // namespace

TEST_F(CalendarMarks, MarksTextJoinsGregorianAndLunarNotesAndIgnoresTheLeapFlag) {
    Load({"00210=气象日", "10101=春节", "10415=月圆", "00605="});
    struct Case {
        int y, m, d;
        const char* text;
    } cases[] = {
        {2024, 2, 10, "气象日  *春节"},  // both: lunar 1st of the 1st month 2024
        {2025, 1, 29, "*春节"},          // lunar only: no blanks before the star
        {2025, 2, 10, "气象日"},
        {2020, 5, 7, "*月圆"},  // month 4 day 15 ...
        {2020, 6, 6, "*月圆"},  // ... and the same day of the leap fourth month
        {2024, 6, 5, ""},       // an empty note flags the day but says nothing
        {2024, 6, 6, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(FormatDateTime("yyyy-mm-dd", EncodeDate(c.y, c.m, c.d)));
        EXPECT_EQ(marks.MarksTextOf(EncodeDate(c.y, c.m, c.d)), c.text);
    }
    EXPECT_EQ(festivals.LunarMarkColorOf({2020, 4, 15, true}), kMarkColor);
    EXPECT_EQ(festivals.MarkColorOf(EncodeDate(2024, 6, 5)), kMarkColor);
    EXPECT_EQ(festivals.MarkColorOf(EncodeDate(2024, 6, 6)), kNoColor);
    EXPECT_EQ(marks.MarkNoteOf(0, "0210"), "气象日");
    EXPECT_EQ(marks.MarkNoteOf(1, "0101"), "春节");
    EXPECT_EQ(marks.MarkNoteOf(2, "0101"), "");
    EXPECT_EQ(marks.MarkNoteOf(0, "0101"), "");
    EXPECT_EQ(marks.MarksTextOf(std::nan("")), "");
}

TEST_F(CalendarMarks, LunarDayThirtyOfAShortMonthShowsOnNoDayThatYear) {
    int shortMonth = 0, longMonth = 0;
    for (int m = 1; m <= 12; ++m)
        (LunarMonthDays(2024, m) == 29 ? shortMonth : longMonth) = m;
    ASSERT_NE(shortMonth, 0);
    ASSERT_NE(longMonth, 0);
    Load({"1" + ZeroPad(shortMonth, 2) + "30=短", "1" + ZeroPad(longMonth, 2) + "30=长"});
    const TDateTime first = LunarToSolar({2024, 1, 1, false});
    const TDateTime next = LunarToSolar({2025, 1, 1, false});
    int shortDays = 0, longDays = 0;
    for (TDateTime day = first; day < next; day += 1) {
        const std::string text = marks.MarksTextOf(day);
        shortDays += text == "*短";
        longDays += text == "*长";
    }
    EXPECT_EQ(shortDays, 0);
    EXPECT_GE(longDays, 1);
}

TEST_F(CalendarMarks, LoadRegistersEachTypeInItsOwnList) {
    marks.SetMarkColor(0x123456);
    Load({"00501=劳动节", "10815=中秋", "20526=周规则", "30101=将来", "x0601=儿童节"});
    EXPECT_EQ(marks.Lines(),
              (Lines{"00501=劳动节", "10815=中秋", "20526=周规则", "30101=将来", "00601=儿童节"}));
    const auto keys = [](const TColorStringList& list) {
        Lines out;
        for (const auto& line : list.Lines()) {
            out.push_back(line.text);
            EXPECT_EQ(line.color, 0x123456);
        }
        return out;
    };
    EXPECT_EQ(keys(festivals.SolarMarks()), (Lines{"0501", "0601"}));
    EXPECT_EQ(keys(festivals.LunarMarks()), (Lines{"0815"}));
    EXPECT_EQ(keys(festivals.WeekMarks()), (Lines{"0526"}));
    EXPECT_EQ(marks.MarkNoteOf(0, "0601"), "儿童节");

    // Loading again replaces the marks, in the list and on the calendar.
    Load({"00101=元旦"});
    EXPECT_EQ(keys(festivals.SolarMarks()), (Lines{"0101"}));
    EXPECT_TRUE(festivals.LunarMarks().Lines().empty());
    EXPECT_TRUE(festivals.WeekMarks().Lines().empty());
    std::filesystem::remove(MarksFile());
    marks.LoadMarks(DataDir(), festivals);
    EXPECT_TRUE(marks.Lines().empty());
    EXPECT_TRUE(festivals.SolarMarks().Lines().empty());
}

TEST_F(CalendarMarks, DamagedFileKeepsItsMarksAndDropsTheRest) {
    const std::string longNote(70, 'x');
    const std::string gbk = Utf8ToGbk(
        "00101=元旦\r\n"
        "\r\n"
        "01A1B=bad key\r\n"
        "00230=二月三十\r\n"
        "no equals sign\r\n"
        "00101=second of a name\r\n"
        "0010=short name\r\n"
        "00102 =blank in the name\r\n"
        "01301=month 13\r\n"
        "00100=day 0\r\n"
        "00132=day 32\r\n"
        "20577=weekday 7\r\n"
        "20516=\r\n"
        "10131=农历三十一\r\n"
        "\t00103=leading tab\r"
        "10202=一二三四五六七八九十一二三四五六七八九十一二三四五六\n"
        "00303=tab\there\r\n"
        "00404=" +
        longNote + "\r\n");
    // Binary junk, a NUL byte and a GBK byte with no partner in the middle.
    const std::string junk = std::string("\x00\x01\xFF\xFE\x81", 5) + "\r\n" +
                             std::string("00505=a\x00z", 9) + "\r\n" + "00606=\x81" + "\r\n";
    WriteRaw(gbk + junk);
    marks.LoadMarks(DataDir(), festivals);
    const Lines& lines = marks.Lines();
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 7),
              (Lines{"00101=元旦", "00230=二月三十", "20516=", "10131=农历三十一",
                     "10202=一二三四五六七八九十一二三四五六七八九十一二三四五", "00303=tab here",
                     "00404=" + std::string(50, 'x')}));
    EXPECT_EQ(lines[7], "00505=a z");
    EXPECT_EQ(lines[8].substr(0, 6), "00606=");
    EXPECT_TRUE(IsValidUtf8(lines[8]));
}

TEST_F(CalendarMarks, FileSavedAsUtf8ReadsAsUtf8) {
    for (const std::string bom : {"", "\xEF\xBB\xBF"}) {
        SCOPED_TRACE(bom.empty() ? "no BOM" : "BOM");
        WriteRaw(bom + "00101=元旦\r\n10815=中秋\r\n");
        marks.LoadMarks(DataDir(), festivals);
        EXPECT_EQ(marks.Lines(), (Lines{"00101=元旦", "10815=中秋"}));
    }
    // Saving writes the program's own GBK.
    ASSERT_TRUE(marks.SaveMarks(DataDir()));
    EXPECT_EQ(ReadRaw(), Utf8ToGbk("00101=元旦\r\n10815=中秋\r\n"));
    // GBK whose bytes happen to be well-formed UTF-8 (一 is D2 BB, U+04BB) stays GBK.
    const std::string gbk = Utf8ToGbk("00101=一时\r\n");
    ASSERT_TRUE(IsValidUtf8(gbk));
    WriteRaw(gbk);
    marks.LoadMarks(DataDir(), festivals);
    EXPECT_EQ(marks.Lines(), (Lines{"00101=一时"}));
}

TEST_F(CalendarMarks, SaveWritesSortedGbkLinesAndAFailedSaveKeepsBoth) {
    marks.PutMark(festivals, "10815", "中秋");
    marks.PutMark(festivals, "00501", "劳动节");
    marks.PutMark(festivals, "00301", "");
    ASSERT_TRUE(marks.SaveMarks(DataDir()));
    EXPECT_EQ(marks.Lines(), (Lines{"00301=", "00501=劳动节", "10815=中秋"}));
    const std::string saved = ReadRaw();
    EXPECT_EQ(saved, Utf8ToGbk("00301=\r\n00501=劳动节\r\n10815=中秋\r\n"));

    // The temporary file cannot be made: the old file and the marks in memory stay.
    std::filesystem::create_directory(MarksFile() + ".tmp~");
    marks.PutMark(festivals, "00101", "元旦");
    EXPECT_FALSE(marks.SaveMarks(DataDir()));
    EXPECT_EQ(ReadRaw(), saved);
    EXPECT_EQ(marks.MarkNoteOf(0, "0101"), "元旦");
    EXPECT_EQ(festivals.SolarMarkColorOf(EncodeDate(2026, 1, 1)), kMarkColor);
    std::filesystem::remove(MarksFile() + ".tmp~");
    ASSERT_TRUE(marks.SaveMarks(DataDir()));
    TCalendarMarks again;
    TFestivalList other;
    again.LoadMarks(DataDir(), other);
    EXPECT_EQ(again.Lines(), (Lines{"00101=元旦", "00301=", "00501=劳动节", "10815=中秋"}));
}

TEST_F(CalendarMarks, PutMarkReplacesByNameAndRefusesBadNames) {
    Load({"00501=劳动节"});
    EXPECT_EQ(marks.PutMark(festivals, "00501", "五一"), 0);
    EXPECT_EQ(marks.PutMark(festivals, "10101", "春\t节" + std::string(60, 'x')), 1);
    EXPECT_EQ(marks.Lines(), (Lines{"00501=五一", "10101=春 节" + std::string(45, 'x')}));
    for (const char* bad : {"0050", "0A501", "01301", "00132", "-0501", ""}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(marks.PutMark(festivals, bad, "x"), -1);
    }
    EXPECT_EQ(marks.Lines().size(), 2u);
    EXPECT_EQ(festivals.SolarMarks().Count(), 1u);
}

// A Gregorian day that no year has could never show its mark: neither a new
// mark nor an edit may name one. Lunar months keep day 30 (some years have it).
TEST_F(CalendarMarks, AGregorianDayThatNoYearHasIsRefused) {
    const struct {
        const char* name;
        bool taken;
    } cases[] = {{"00230", false}, {"00231", false}, {"00431", false},
                 {"01131", false}, {"00229", true},  {"00131", true},
                 {"01231", true},  {"10230", true},  {"20251", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Load({"00101=元旦"});
        EXPECT_EQ(IsPossibleMarkDay(c.name), c.taken);
        EXPECT_EQ(marks.PutMark(festivals, c.name, "x") >= 0, c.taken);
        Load({"00101=元旦"});
        EXPECT_EQ(marks.EditMarkAt(festivals, 0, c.name, "x") >= 0, c.taken);
        EXPECT_EQ(marks.Lines().size(), 1u);
        EXPECT_EQ(marks.Lines()[0] == "00101=元旦", !c.taken);
    }
}

TEST_F(CalendarMarks, EditMarkMovesTheMarkAndTakesThePlaceOfOneWithItsNewName) {
    Load({"00101=元旦", "00501=劳动节", "10815=中秋"});
    // The lunar 0815 mark becomes Gregorian 0501, which has a line already.
    EXPECT_EQ(marks.EditMarkAt(festivals, 2, "00501", "五一"), 1);
    EXPECT_EQ(marks.Lines(), (Lines{"00101=元旦", "00501=五一"}));
    EXPECT_TRUE(festivals.LunarMarks().Lines().empty());
    EXPECT_EQ(festivals.SolarMarks().Count(), 2u);
    // A plain edit of the note keeps the place and the flag.
    EXPECT_EQ(marks.EditMarkAt(festivals, 0, "00101", "新年"), 0);
    EXPECT_EQ(marks.Lines()[0], "00101=新年");
    EXPECT_EQ(festivals.SolarMarkColorOf(EncodeDate(2026, 1, 1)), kMarkColor);
    EXPECT_EQ(marks.EditMarkAt(festivals, 5, "00101", "x"), -1);
    EXPECT_EQ(marks.EditMarkAt(festivals, 0, "0A101", "x"), -1);
    EXPECT_EQ(marks.Lines(), (Lines{"00101=新年", "00501=五一"}));

    marks.DeleteMarkAt(festivals, 0);
    EXPECT_EQ(marks.Lines(), (Lines{"00501=五一"}));
    EXPECT_EQ(festivals.SolarMarkColorOf(EncodeDate(2026, 1, 1)), kNoColor);
}

TEST_F(CalendarMarks, DeletingTheGregorianMarkOfADayLeavesItsLunarMark) {
    Load({"00210=气象日", "10101=春节"});
    const TDateTime day = EncodeDate(2024, 2, 10);  // lunar 0101 as well
    marks.DeleteMark(festivals, "00210");
    EXPECT_EQ(marks.Lines(), (Lines{"10101=春节"}));
    EXPECT_EQ(marks.MarksTextOf(day), "*春节");
    EXPECT_EQ(festivals.MarkColorOf(day), kMarkColor);
    EXPECT_EQ(festivals.SolarMarkColorOf(day), kNoColor);
    marks.DeleteMark(festivals, "10101");
    EXPECT_EQ(festivals.MarkColorOf(day), kNoColor);
    EXPECT_TRUE(marks.Lines().empty());
}

TEST_F(CalendarMarks, LunarKeyOfUsesTheCurrentYearAndRefusesDaysItLacks) {
    struct Case {
        int year;
        const char* solar;
        const char* lunar;  // null: no such day that year
    } cases[] = {
        {2024, "0210", "0101"},  {2026, "0217", "0101"},  {2024, "0229", "0120"},
        {2026, "0229", nullptr}, {2024, "0230", nullptr}, {2024, "1301", nullptr},
        {2024, "0100", nullptr}, {2024, "-101", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.year) + " " + c.solar);
        Today(c.year, 6, 1);
        const std::optional<std::string> key = LunarKeyOf(c.solar);
        if (c.lunar) {
            EXPECT_EQ(key, std::optional<std::string>(c.lunar));
        } else {
            EXPECT_FALSE(key.has_value());
        }
    }
    // A part that is no number reads as 1.
    Today(2024, 6, 1);
    EXPECT_EQ(LunarKeyOf("AB10"), LunarKeyOf("0110"));
    EXPECT_EQ(LunarKeyOf("02"), LunarKeyOf("0201"));
    EXPECT_EQ(LunarKeyOf(""), LunarKeyOf("0101"));
}

TEST_F(CalendarMarks, SolarKeyOfTakesTodaysLunarYearAndMonthKind) {
    int shortMonth = 0;
    for (int m = 1; m <= 12 && !shortMonth; ++m)
        shortMonth = LunarMonthDays(2024, m) == 29 ? m : 0;
    ASSERT_NE(shortMonth, 0);
    struct Case {
        int y, m, d;  // today
        std::string lunar, solar;
    } cases[] = {
        {2024, 3, 10, "0101", "0210"},
        {2024, 3, 10, "0115", "0224"},
        {2024, 3, 10, ZeroPad(shortMonth, 2) + "30", "0101"},
        {2024, 3, 10, "1301", "0101"},
        // Today in the leap second month of 2023: only that month exists.
        {2023, 4, 1, "0215", "0405"},
        {2023, 4, 1, "0301", "0101"},
        {2023, 5, 1, "0301", "0420"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.y) + "-" + std::to_string(c.m) + " " + c.lunar);
        Today(c.y, c.m, c.d);
        EXPECT_EQ(SolarKeyOf(c.lunar), c.solar);
    }
}

TEST(CalendarMarkText, CutToGbkBytesNeverSplitsACharacter) {
    struct Case {
        const char* text;
        size_t max;
        const char* cut;
    } cases[] = {
        {"ab中文", 3, "ab"},      {"ab中文", 4, "ab中"}, {"ab中文", 6, "ab中文"},
        {"ab中文", 50, "ab中文"}, {"中", 1, ""},         {"", 5, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " " + std::to_string(c.max));
        EXPECT_EQ(CutToGbkBytes(c.text, c.max), c.cut);
    }
}
