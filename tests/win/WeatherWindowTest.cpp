#include "AppFixture.h"
#include "app/ClockApp_win.h"
#include "core/ClockSource.h"
#include "core/DateTime.h"
#include "core/FileSys.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace tempora;
namespace fs = std::filesystem;

namespace {

const int64_t kNoon =
    static_cast<int64_t>(ToUnixSeconds(EncodeDateTime(2026, 12, 10, 4, 0, 0))) * 1000;

// The weather view of the real program, on a data folder of its own.
class WeatherWindowTest : public test::AppFixture {
protected:
    WeatherWindowTest() : test::AppFixture("tempora-weather-") { UseClock(kNoon, 480); }
    TClockApp& Start(const std::string& ini, TWeatherOptions weather = {}) {
        WriteIni(ini);
        AppOptions o = Options();
        o.weather = weather;
        return StartApp(o);
    }
};

}  // namespace

TEST_F(WeatherWindowTest, WithoutAHostTheViewSaysSoAndOffersRetry) {
    TClockApp& app = Start("[SKIN]\r\n");
    EXPECT_TRUE(app.RunCommand(PM_Weather));
    TFrmWeather* w = app.WeatherView();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(app.CurrentView(), kViewWeather);
    EXPECT_EQ(w->State(), TFrmWeather::TState::NoHost);
    EXPECT_NE(w->Message().find(L"Host"), std::wstring::npos);
    EXPECT_TRUE(IsWindowVisible(w->RetryButton()));
    EXPECT_EQ(w->Width(), 332);
    EXPECT_EQ(w->Height(), 160);

    // Retry after the host is set reads it again.
    ASSERT_TRUE(WriteFileAtomic(Data() + "skin.ini", "[WEB]\r\nHost=example.com/evil\r\n"));
    SendMessageW(w->Handle(), WM_COMMAND, MAKEWPARAM(100, BN_CLICKED),
                 reinterpret_cast<LPARAM>(w->RetryButton()));
    EXPECT_EQ(w->State(), TFrmWeather::TState::BadHost);
    EXPECT_NE(w->Message().find(L"example.com/evil"), std::wstring::npos);
}

TEST_F(WeatherWindowTest, WithoutABrowserComponentTheViewSaysSo) {
    TWeatherOptions noBrowser;
    noBrowser.useBrowser = false;
    TClockApp& app = Start("[WEB]\r\nHost=127.0.0.1:9\r\n", noBrowser);
    app.RunCommand(PM_Weather);
    ASSERT_NE(app.WeatherView(), nullptr);
    EXPECT_EQ(app.WeatherView()->State(), TFrmWeather::TState::NoBrowser);
    EXPECT_TRUE(IsWindowVisible(app.WeatherView()->RetryButton()));
}

TEST_F(WeatherWindowTest, APageThatNeverLoadsEndsInTheMessage) {
    // Nothing listens on port 9: whether the browser reports the failure or
    // stays silent, the view ends in its message, never blank.
    TWeatherOptions quick;
    quick.loadTimeoutMs = 1500;
    // No view of its own after start-up (DefWin 0) closes the weather view meanwhile.
    TClockApp& app = Start("[WEB]\r\nHost=127.0.0.1:9\r\n[BAR]\r\nDefWin=0\r\n", quick);
    app.RunCommand(PM_Weather);
    ASSERT_NE(app.WeatherView(), nullptr);
    PumpFor(3000);
    ASSERT_NE(app.WeatherView(), nullptr);
    const TFrmWeather::TState s = app.WeatherView()->State();
    EXPECT_TRUE(s == TFrmWeather::TState::PageFailed || s == TFrmWeather::TState::NoBrowser)
        << static_cast<int>(s);
    EXPECT_FALSE(app.WeatherView()->Message().empty());
}

TEST_F(WeatherWindowTest, SwitchingAndClosingFreeTheView) {
    TClockApp& app = Start("[SKIN]\r\n");
    app.RunCommand(PM_Weather);
    ASSERT_NE(app.WeatherView(), nullptr);
    const HWND w = app.WeatherView()->Handle();
    app.RunCommand(PM_Calendar);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(app.WeatherView(), nullptr);
    EXPECT_EQ(app.CurrentView(), kViewCalendar);
    // The calendar's "切换到 → 天气" comes back to it.
    MenuHandle menu = app.Calendar().BuildMarkMenu(false);
    EXPECT_EQ(GetMenuState(menu.Get(), TFrmCalendar::PM_TianQi, MF_BYCOMMAND) & MF_GRAYED, 0u);
    app.Calendar().RunCommand(TFrmCalendar::PM_TianQi);
    ASSERT_NE(app.WeatherView(), nullptr);
    EXPECT_EQ(app.CurrentView(), kViewWeather);
    app.WeatherView()->RunCommand(TFrmWeather::PM_Close);
    EXPECT_EQ(app.WeatherView(), nullptr);
    EXPECT_EQ(app.CurrentView(), kViewNone);
}

// The browser goes nowhere but the weather host; a web link the user clicks
// elsewhere goes to the user's own browser, never into the view.
TEST_F(WeatherWindowTest, TheBrowserStaysOnTheWeatherHost) {
    TClockApp& app = Start("[WEB]\r\nHost=127.0.0.1:8080\r\n", TWeatherOptions{20000, false});
    app.RunCommand(PM_Weather);
    TFrmWeather* view = app.WeatherView();
    ASSERT_NE(view, nullptr);
    std::vector<std::string> opened;
    view->OnOpenLink = [&](const std::string& url) { opened.push_back(url); };
    // The cursor away from the page: nothing counts as the user's click.
    SetCursorPos(0, 0);
    EXPECT_TRUE(view->AllowNavigation("http://127.0.0.1:8080/Weather_Tempora.htm"));
    for (const char* elsewhere :
         {"http://127.0.0.1:9090/", "http://evil.test/", "file:///C:/Windows/win.ini"})
        EXPECT_FALSE(view->AllowNavigation(elsewhere)) << elsewhere;
    EXPECT_TRUE(opened.empty());
}
