// The world-time dialog on real windows, at a fake instant: the shipped
// cities, selection by the controls' own notifications, the time label.
#include "AppFixture.h"
#include "app/ClockApp_win.h"
#include "core/ClockSource.h"
#include "core/Encoding.h"
#include "core/FileSys.h"
#include "display/MyWindow_win.h"
#include "timesvc/UnitWorldTime_win.h"
#include "win/DataDir_win.h"

#include "WinTestUtil.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace tempora;

namespace {

std::string Text(HWND hwnd) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return WideToUtf8(text);
}

bool Shown(HWND hwnd) {
    return (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

std::string CellText(HWND list, int row, int column) {
    wchar_t text[128] = {};
    ListView_GetItemText(list, row, column, text, 128);
    return WideToUtf8(text);
}

// As the user does it: the drop-down list's choice, then its notification.
void ChooseCountry(const TFrmWorldTime& form, const std::string& name) {
    const HWND combo = form.UiComboBox1();
    const LRESULT index = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(Utf8ToWide(name).c_str()));
    ASSERT_NE(index, CB_ERR) << name;
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(TFrmWorldTime::UiComboBox1Id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

void ChooseCity(const TFrmWorldTime& form, const std::string& name) {
    const HWND list = form.UiListView1();
    for (int row = 0; row < ListView_GetItemCount(list); ++row) {
        if (CellText(list, row, 0) == name) {
            ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED,
                                  LVIS_SELECTED | LVIS_FOCUSED);
            return;
        }
    }
    ADD_FAILURE() << "no city " << name;
}

class WorldTimeWin : public ::testing::Test {
protected:
    // 2026-07-01 12:00:00 UTC: summer in New York, winter in Sydney.
    void SetUp() override { ClockSource::Install(&clock_); }
    void TearDown() override { ClockSource::Install(nullptr); }

    FakeClock clock_{1782907200000LL, 480};
};

}  // namespace

TEST_F(WorldTimeWin, ChoosingACountryAndACityShowsTheCityTime) {
    TFrmWorldTime form;
    ASSERT_TRUE(form.Create(nullptr, ProgramDir()));
    form.Show();
    const HWND w = form.Handle();
    EXPECT_EQ(Text(w), "城市时间查询");
    EXPECT_NE(DressedPicture(w), nullptr);
    EXPECT_FALSE(GetWindowLongPtrW(w, GWL_STYLE) & WS_CAPTION);
    EXPECT_EQ(Text(form.UiButton1()), "关闭(&C)");

    // The first country and its first city, chosen on opening.
    const int countries = static_cast<int>(form.Countries().size());
    ASSERT_GT(countries, 50);
    EXPECT_EQ(SendMessageW(form.UiComboBox1(), CB_GETCOUNT, 0, 0), countries);
    EXPECT_EQ(SendMessageW(form.UiComboBox1(), CB_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(form.PanelVisible());
    EXPECT_EQ(Text(form.Label(3)), "中国 - 北京 Beijing");
    EXPECT_EQ(Text(form.Label(4)), "2026年07月01日 20:00:00 ");
    EXPECT_EQ(Text(form.Label(5)), "时区: UTC/GMT +8 小时 (东八区)");
    EXPECT_EQ(Text(form.Label(6)), "位置: 北纬 39°54', 东经 116°23'");
    EXPECT_FALSE(Shown(form.Label(7)));
    EXPECT_FALSE(Shown(form.Label(8)));

    ChooseCountry(form, "美国");
    const HWND list = form.UiListView1();
    ASSERT_GT(ListView_GetItemCount(list), 5);
    EXPECT_EQ(CellText(list, 0, 0), "纽约");
    EXPECT_EQ(CellText(list, 0, 1), "New York");
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 0);
    EXPECT_EQ(Text(form.Label(4)), "2026年07月01日 08:00:00 (夏时制)");
    EXPECT_TRUE(Shown(form.Label(7)));
    EXPECT_EQ(Text(form.Label(7)), "夏时制开始日期: 2026年03月08日 02:00");
    EXPECT_EQ(Text(form.Label(8)), "夏时制结束日期: 2026年11月01日 01:00");

    ChooseCity(form, "檀香山");
    EXPECT_EQ(Text(form.Label(3)), "美国 - 檀香山 Honolulu");
    EXPECT_EQ(Text(form.Label(4)), "2026年07月01日 02:00:00 ");
    EXPECT_FALSE(Shown(form.Label(7)));

    // The clock moves on; the owner's per-second call shows it.
    ChooseCountry(form, "澳大利亚");
    ChooseCity(form, "阿德莱德");
    clock_.Advance(61000);
    form.RefreshTime();
    EXPECT_EQ(Text(form.Label(4)), "2026年07月01日 21:31:01 ");
    EXPECT_EQ(Text(form.Label(7)), "夏时制开始日期: 2026年10月04日 02:00");
    EXPECT_EQ(Text(form.Label(8)), "夏时制结束日期: 2026年04月05日 02:00");

    // No city chosen, no panel.
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    test::WaitFor([&] { return !form.PanelVisible(); }, 2000);
    EXPECT_FALSE(form.PanelVisible());
    EXPECT_EQ(form.CityIndex(), -1);

    // Escape in the list closes the dialog.
    SetFocus(list);
    SendMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(test::WaitFor([&] { return form.Handle() == nullptr; }, 2000));
}

// The difference to Beijing time as it is now: daylight saving counts, and
// so do fractional offsets.
TEST_F(WorldTimeWin, ThePanelTellsTheDifferenceToBeijingTime) {
    TFrmWorldTime form;
    ASSERT_TRUE(form.Create(nullptr, ProgramDir()));
    form.Show();
    EXPECT_TRUE(Shown(form.Label(9)));
    EXPECT_EQ(Text(form.Label(9)), "与北京时间相同");
    const struct {
        const char* country;
        const char* city;
        const char* difference;
    } cases[] = {
        {"美国", "纽约", "比北京时间慢 12 小时"},               // UTC-5, in daylight saving
        {"美国", "檀香山", "比北京时间慢 18 小时"},             // UTC-10, none
        {"澳大利亚", "悉尼", "比北京时间快 2 小时"},            // UTC+10, its winter
        {"澳大利亚", "阿德莱德", "比北京时间快 1 小时 30 分"},  // UTC+9.5
        {"尼泊尔", "加德满都", "比北京时间慢 2 小时 15 分"},    // UTC+5.75
    };
    for (const auto& c : cases) {
        ChooseCountry(form, c.country);
        ChooseCity(form, c.city);
        EXPECT_EQ(Text(form.Label(9)), c.difference) << c.city;
    }
    EXPECT_EQ(BeijingDifferenceText(8 * 60 + 30), "比北京时间快 30 分");
    ListView_SetItemState(form.UiListView1(), -1, 0, LVIS_SELECTED);
    test::WaitFor([&] { return !form.PanelVisible(); }, 2000);
    EXPECT_FALSE(Shown(form.Label(9)));
}

TEST_F(WorldTimeWin, MissingOrDamagedListStillOpens) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "tempora-worldtime-win";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string data = dir.string() + "\\";
    {
        TFrmWorldTime form;
        ASSERT_TRUE(form.Create(nullptr, data));
        form.Show();
        EXPECT_EQ(SendMessageW(form.UiComboBox1(), CB_GETCOUNT, 0, 0), 0);
        EXPECT_EQ(ListView_GetItemCount(form.UiListView1()), 0);
        EXPECT_FALSE(form.PanelVisible());
        form.RefreshTime();
    }
    // Junk, then one good city after a line with an impossible rule.
    ASSERT_TRUE(WriteFileAtomic(data + "TimeZone.lst",
                                std::string("\xFF\x00\x81|\x81\r\n", 7) +
                                    Utf8ToGbk("1|法国|Nice|尼斯|z|p|3/Sun9 2:00|10/SunL 2:00\r\n"
                                              "-3|巴西|Recife|累西腓|UTC/GMT -3 小时\r\n")));
    TFrmWorldTime form;
    ASSERT_TRUE(form.Create(nullptr, data));
    form.Show();
    ASSERT_EQ(SendMessageW(form.UiComboBox1(), CB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(Text(form.Label(3)), "巴西 - 累西腓 Recife");
    EXPECT_EQ(Text(form.Label(4)), "2026年07月01日 09:00:00 ");
    fs::remove_all(dir);
}

TEST_F(WorldTimeWin, TheBarsItemOpensOneDialogThatTheClockRefreshes) {
    const test::TempDataDir dir("tempora-worldtime-");
    dir.CopyShipped("TimeZone.lst");
    test::AppRun run;
    {
        struct SilentPlayer : ISoundListPlayer {
            void Play(const std::string&) override {}
        };
        AppOptions o;
        o.programDir = o.dataDir = dir.Dir();
        o.makePlayer = [] { return std::make_unique<SilentPlayer>(); };
        TClockApp& app = run.Start(o, false);
        EXPECT_EQ(GetMenuState(app.MainMenu(), PM_WorldTime, MF_BYCOMMAND) & MF_GRAYED, 0u);
        EXPECT_EQ(GetMenuState(app.TrayMenu(), PM_WorldTime, MF_BYCOMMAND) & MF_GRAYED, 0u);

        ASSERT_TRUE(app.RunCommand(PM_WorldTime));
        TFrmWorldTime* form = app.WorldTime();
        ASSERT_NE(form, nullptr);
        const HWND first = form->Handle();
        ASSERT_TRUE(IsWindowVisible(first));
        EXPECT_EQ(GetWindow(first, GW_OWNER), app.Bar().Handle());
        EXPECT_EQ(Text(form->Label(4)), "2026年07月01日 20:00:00 ");

        // A second click brings the same dialog to the front.
        SetForegroundWindow(app.Bar().Handle());
        ASSERT_TRUE(app.RunCommand(PM_WorldTime));
        EXPECT_EQ(app.WorldTime()->Handle(), first);
        EXPECT_EQ(GetForegroundWindow(), first);

        // The clock's second moves the label.
        clock_.Advance(1000);
        app.Bar().TickNow();
        EXPECT_EQ(Text(form->Label(4)), "2026年07月01日 20:00:01 ");

        // Closed, it opens anew.
        SendMessageW(form->UiButton1(), BM_CLICK, 0, 0);
        EXPECT_TRUE(test::WaitFor([&] { return app.WorldTime()->Handle() == nullptr; }, 2000));
        app.Bar().TickNow();
        ASSERT_TRUE(app.RunCommand(PM_WorldTime));
        EXPECT_TRUE(IsWindowVisible(app.WorldTime()->Handle()));
    }
}
