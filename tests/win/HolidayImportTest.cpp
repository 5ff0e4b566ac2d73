// "导入假日安排…" of the calendar view's menu on a real window: the file
// dialog, the confirmation that lists the new years, the badges and hints
// that follow, and a refused file that leaves everything as it was.
#include "calendar/UnitCalendar_win.h"

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "AppFixture.h"
#include "DialogScript.h"
#include "WinTestUtil.h"
#include "core/ClockSource.h"
#include "core/Encoding.h"
#include "core/FileSys.h"

using namespace tempora;
using namespace tempora::test;

namespace {

// The file name box of the common file dialog.
constexpr int kFileNameBox = 0x47c;

class Owner : public TWindow {
public:
    bool Make() {
        return CreateWin(L"TemporaHolidayImportTestOwner", L"owner", WS_POPUP, 0, 0, 0, 10, 10);
    }
};

std::string Gbk(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines)
        bytes += Utf8ToGbk(line) + "\r\n";
    return bytes;
}

// The text of a message box.
std::string BoxText(HWND box) {
    wchar_t text[1024] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 1024);
    return WideToUtf8(text);
}

class HolidayImport : public ::testing::Test {
protected:
    void SetUp() override {
        ClockSource::Install(&clock_);
        ASSERT_TRUE(owner_.Make());
        dir_.Write(kHolidayFileName, Gbk({"@2026", "2026-01-01|元旦|1", "2026-05-01|劳动节|1",
                                          "2026-10-01|国庆节|1"}));
        ASSERT_TRUE(data_.Load(dir_.Dir()));
        ASSERT_TRUE(calendar_.Create(owner_.Handle()));
    }
    void TearDown() override { ClockSource::Install(nullptr); }

    // Chooses `file` in the file dialog the menu item opens, then answers
    // the message box that follows with `answer`; returns that box's text.
    std::string Import(const std::string& file, int answer) {
        std::string told;
        const Script script({
            {[] {
                 const HWND w = FindWindowW(L"#32770", L"导入假日安排");
                 return w && GetDlgItem(w, kFileNameBox) ? w : nullptr;
             },
             [&](HWND dialog) {
                 SetDlgItemTextW(dialog, kFileNameBox, Utf8ToWide(dir_.File(file)).c_str());
                 Press(dialog, IDOK);
             }},
            {[answer] {
                 const HWND w = FindWindowW(L"#32770", L"导入假日安排");
                 return w && GetDlgItem(w, answer) && !GetDlgItem(w, kFileNameBox) ? w : nullptr;
             },
             [&, answer](HWND box) {
                 told = BoxText(box);
                 Press(box, answer);
             }},
        });
        calendar_.RunCommand(TFrmCalendar::PM_ImportHolidays);
        EXPECT_EQ(script.Left(), 0u);
        return told;
    }

    FakeClock clock_{std::llround(ToUnixSeconds(EncodeDateTime(2026, 12, 11, 4, 0, 0)) * 1000.0)};
    Owner owner_;
    TempDataDir dir_{"tempora-holidays-"};
    TCalendarData data_;
    TFrmCalendar calendar_{dir_.Dir(), data_};
};

const std::vector<std::string> k2027 = {"@2027|国办发明电〔2026〕5号|2026-11-05",
                                        "2027-01-01|元旦|1",
                                        "2027-02-06|春节|1",
                                        "2027-02-13|春节|0",
                                        "2027-05-01|劳动节|1",
                                        "2027-10-01|国庆节|1"};

}  // namespace

TEST_F(HolidayImport, AnImportedYearShowsItsBadgesAndItsSource) {
    dir_.Write("2027.lst", Gbk(k2027));
    const TDateTime festival = EncodeDate(2027, 2, 6), makeUp = EncodeDate(2027, 2, 13);
    EXPECT_EQ(calendar_.Grid().HolidayAt(festival).kind, HolidayKind::None);
    EXPECT_NE(calendar_.Grid().HintTextOf(festival).find("2027年放假安排尚未收录"),
              std::string::npos);

    // 否 in the confirmation takes nothing.
    EXPECT_NE(Import("2027.lst", IDNO).find("2027年：新增，休 4 天，班 1 天"), std::string::npos);
    EXPECT_FALSE(data_.Holidays().Covers(2027));
    EXPECT_FALSE(FileExists(dir_.File(kHolidayUpdatesFileName)));

    Import("2027.lst", IDYES);
    calendar_.Grid().SetDate(festival);
    EXPECT_EQ(calendar_.Grid().HolidayAt(festival).kind, HolidayKind::DayOff);
    EXPECT_EQ(calendar_.Grid().HolidayAt(makeUp).kind, HolidayKind::WorkDay);
    const std::string hint = calendar_.Grid().HintTextOf(festival);
    EXPECT_NE(hint.find("来源= 国办发明电〔2026〕5号 2026-11-05"), std::string::npos) << hint;
    EXPECT_EQ(calendar_.Grid().HintTextOf(EncodeDate(2027, 3, 10)).find("尚未收录"),
              std::string::npos);
    // Kept in the user's data: loaded again, the year is there.
    TCalendarData again;
    ASSERT_TRUE(again.Load(dir_.Dir()));
    EXPECT_TRUE(again.Holidays().Covers(2027));
}

TEST_F(HolidayImport, ABadFileIsRefusedWholeNamingItsLine) {
    std::vector<std::string> bad = k2027;
    bad[2] = "2027-02-30|春节|1";
    dir_.Write("bad.lst", Gbk(bad));
    const std::string told = Import("bad.lst", IDOK);
    EXPECT_NE(told.find("第 3 行：日期不存在"), std::string::npos) << told;
    EXPECT_FALSE(data_.Holidays().Covers(2027));
    EXPECT_EQ(data_.HolidayOf(EncodeDate(2027, 1, 1)).kind, HolidayKind::None);
    EXPECT_FALSE(FileExists(dir_.File(kHolidayUpdatesFileName)));
}
