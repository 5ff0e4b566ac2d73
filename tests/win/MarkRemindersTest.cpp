// Mark reminders in the running program: on a fake clock, a lunar mark's
// reminder reaches the real popup program at its time, and one due while
// the machine slept joins the missed report.
#include "AppFixture.h"

#include "core/Encoding.h"
#include "win/DataDir_win.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace tempora {
namespace {

// Milliseconds since 1970 UTC of a wall-clock time in China (UTC+8).
int64_t ChinaMillis(int y, int mo, int d, int h, int mi, int s) {
    return std::llround((EncodeDateTime(y, mo, d, h, mi, s) - 25569.0) * 86400000.0) -
           8 * 3600000LL;
}

std::string ShownText(HWND popup) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(popup)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(popup, text.data(), static_cast<int>(text.size()))));
    return WideToUtf8(text);
}

class MarkRemindersTest : public test::AppFixture {
protected:
    MarkRemindersTest() : test::AppFixture("tempora-markrem-") {}

    // 2026-09-25 is the fifteenth of the eighth lunar month.
    TClockApp& StartWithMoonFestival() {
        WriteIni("[MSG]\r\nCalendarLX=0\r\n");
        Folder().Write("Marks.rec", Utf8ToGbk("10815=中秋\r\n"));
        Folder().Write("MarkReminders.rec", "10815=1,2,0900,0,0\r\n");
        AppOptions o = Options();
        o.programDir = ProgramDir();
        TClockApp& app = StartApp(o, false);
        app.Bar().TickNow();
        return app;
    }
    bool PopupShows(const std::string& text, DWORD ms) {
        return test::WaitFor(
            [&] {
                const HWND popup = App().Popup().PopupHandle();
                return popup && IsWindowVisible(popup) && ShownText(popup) == text;
            },
            ms);
    }
};

TEST_F(MarkRemindersTest, ALunarMarkRemindsThroughThePopupAtItsTime) {
    FakeClock& clock = UseClock(ChinaMillis(2026, 9, 25, 8, 59, 58));
    TClockApp& app = StartWithMoonFestival();
    // Nothing before its time.
    clock.Advance(1000);
    app.Bar().TickNow();
    PumpFor(300);
    EXPECT_EQ(app.Popup().PopupHandle(), nullptr);

    clock.Advance(1000);
    app.Bar().TickNow();
    EXPECT_TRUE(PopupShows("日历标记：\r\n2026年09月25日 星期五 农历八月十五\r\n\r\n中秋", 10000));
}

TEST_F(MarkRemindersTest, AReminderDueWhileAsleepJoinsTheMissedReport) {
    // Asleep from the evening before the early reminder to the next noon.
    FakeClock& clock = UseClock(ChinaMillis(2026, 9, 22, 23, 0, 0));
    TClockApp& app = StartWithMoonFestival();
    clock.Set(ChinaMillis(2026, 9, 23, 12, 0, 0));
    app.Bar().TickNow();
    EXPECT_TRUE(
        PopupShows("错过的日历标记提醒：\r\n2026年09月25日 星期五 农历八月十五 中秋", 10000));
}

}  // namespace
}  // namespace tempora
