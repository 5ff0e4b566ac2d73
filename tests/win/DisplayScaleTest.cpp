// The program on a display of 125, 150 and 200 %: the bar, the calendar, the
// clock and the options dialog take their 100 % size times the scale, and
// the dialog's texts fit their controls.
//
// The system reads the display's dpi (HKCU\Control Panel\Desktop\LogPixels)
// when a process starts, so DisplayScale.TheProgramTakesTheDisplaysScale
// sets it, runs this test program again for the DisplayScaleAtDpi tests, and
// puts the value back. Run alone, those tests skip.
#include "AppFixture.h"
#include "app/ClockApp_win.h"
#include "app/UnitOptions_win.h"
#include "core/Encoding.h"
#include "win/Dpi_win.h"
#include "WinTestUtil.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

using namespace tempora;
namespace fs = std::filesystem;

namespace {

// The dpi the run at a scale expects, handed over by its parent; 0 elsewhere.
constexpr wchar_t kDpiVariable[] = L"TEMPORA_TEST_DPI";
constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";

int ExpectedDpi() {
    wchar_t value[16] = {};
    return GetEnvironmentVariableW(kDpiVariable, value, 16) ? _wtoi(value) : 0;
}

// The display's dpi as the user's setting, from now until the object goes;
// the value before (or its absence) comes back then.
class TLogPixels {
public:
    explicit TLogPixels(DWORD dpi) {
        DWORD old = 0, size = sizeof old;
        if (RegGetValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", RRF_RT_REG_DWORD, nullptr,
                         &old, &size) == ERROR_SUCCESS)
            old_ = old;
        EXPECT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", REG_DWORD, &dpi,
                                  sizeof dpi),
                  ERROR_SUCCESS);
    }
    ~TLogPixels() {
        if (old_) {
            const DWORD old = *old_;
            RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", REG_DWORD, &old,
                            sizeof old);
        } else {
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels");
        }
    }
    TLogPixels(const TLogPixels&) = delete;
    TLogPixels& operator=(const TLogPixels&) = delete;

private:
    std::optional<DWORD> old_;
};

// Runs this program with `filter` and the expected dpi in its environment;
// its exit code (1 when a test failed), or -1 when it could not run or hung.
int RunSelf(int dpi, const std::wstring& filter) {
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(exe) + L"\" --gtest_filter=" + filter;
    SetEnvironmentVariableW(kDpiVariable, std::to_wstring(dpi).c_str());
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const bool started =
        CreateProcessW(exe, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableW(kDpiVariable, nullptr);
    if (!started)
        return -1;
    KernelHandle process(pi.hProcess), thread(pi.hThread);
    if (WaitForSingleObject(pi.hProcess, 120000) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 3);
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    return static_cast<int>(code);
}

SIZE SizeOf(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return {r.right - r.left, r.bottom - r.top};
}

// The size a window of w x h at 100 % has at `scale`, give or take two
// pixels of rounding in its parts.
void ExpectScaledSize(const char* what, HWND window, int w, int h, TScale scale) {
    const SIZE size = SizeOf(window);
    EXPECT_NEAR(size.cx, scale.Px(w), 2) << what;
    EXPECT_NEAR(size.cy, scale.Px(h), 2) << what;
}

}  // namespace

TEST(DisplayScale, TheProgramTakesTheDisplaysScale) {
    if (ExpectedDpi() != 0)
        GTEST_SKIP() << "the run at a scale";
    for (const int dpi : {120, 144, 192}) {
        const TLogPixels display(static_cast<DWORD>(dpi));
        EXPECT_EQ(RunSelf(dpi, L"DisplayScaleAtDpi.*"), 0) << dpi << " dpi";
    }
}

class DisplayScaleAtDpi : public test::AppFixture {
protected:
    DisplayScaleAtDpi() : test::AppFixture("tempora-scale-") {}
    void SetUp() override {
        if (ExpectedDpi() == 0)
            GTEST_SKIP() << "runs from DisplayScale.TheProgramTakesTheDisplaysScale";
        // What Main does first: without it the system would stretch a
        // 100 % program instead.
        EXPECT_NE(EnableDpiAwareness(), TDpiAwareness::Unaware);
        scale_ = TScale{ExpectedDpi()};
        const fs::path data = Folder().Path(), shipped = fs::path(TEMPORA_SOURCE_DIR) / "data";
        fs::create_directories(data / "Skin");
        fs::copy(shipped / "Clock", data / "Clock");
        fs::copy_file(shipped / "Skin" / "DarkGlass.sk", data / "Skin" / "DarkGlass.sk");
        fs::copy_file(shipped / "Frame.sk", data / "Frame.sk");
        WriteIni(
            "[SKIN]\r\nSkinFile=DarkGlass.sk\r\nWinFile=Frame.sk\r\nClockFile=Classic.cl\r\n"
            "[BAR]\r\nLeft=40\r\nTop=40\r\nDefWin=0\r\n");
    }

    TScale scale_;
};

TEST_F(DisplayScaleAtDpi, TheProgramSeesTheDisplaysDpi) {
    EXPECT_EQ(MonitorScale(nullptr), scale_);
}

TEST_F(DisplayScaleAtDpi, BarCalendarAndClockTakeTheScale) {
    TClockApp& app = StartApp();
    ExpectScaledSize("bar", app.Bar().Handle(), 332, 34, scale_);
    app.ShowView(kViewCalendar);
    ExpectScaledSize("calendar", app.Calendar().Handle(), 332, 390, scale_);
    app.ShowView(kViewClock);
    ASSERT_NE(app.ClockView(), nullptr);
    ExpectScaledSize("clock", app.ClockView()->Handle(), 260, 260, scale_);
}

TEST_F(DisplayScaleAtDpi, OptionsDialogTakesTheScaleAndItsTextsFit) {
    TClockApp& app = StartApp();
    TFrmOptions form(app);
    ASSERT_TRUE(form.Create(app.Bar().Handle(), TFrmOptions::TabSheet1));
    ShowWindow(form.Handle(), SW_SHOW);
    EXPECT_EQ(form.Scale(), scale_);
    ExpectScaledSize("options", form.Handle(), TFrmOptions::kWidth, TFrmOptions::kHeight, scale_);

    // The dialog's font is 宋体 9 pt at this dpi, and each caption of the
    // page that shows is no wider than its control (a check box less its box).
    const HWND close = GetDlgItem(form.Handle(), TFrmOptions::UiButton1);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(close, WM_GETFONT, 0, 0));
    LOGFONTW lf{};
    ASSERT_TRUE(GetObjectW(font, sizeof lf, &lf));
    EXPECT_EQ(lf.lfHeight, scale_.FontHeight(9));
    WindowDc screen(nullptr);
    SelectObjectScope selected(screen.Get(), font);
    int checked = 0;
    for (HWND child = GetWindow(form.Handle(), GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[32] = {}, text[128] = {};
        GetClassNameW(child, cls, 32);
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        const bool button = lstrcmpiW(cls, WC_BUTTONW) == 0 &&
                            (style & BS_TYPEMASK) != BS_GROUPBOX &&
                            (style & BS_TYPEMASK) != BS_OWNERDRAW;
        if (!IsWindowVisible(child) || (!button && lstrcmpiW(cls, WC_STATICW) != 0) ||
            !GetWindowTextW(child, text, 128)) {
            continue;
        }
        // "&C" shows as an underlined C.
        std::wstring shown;
        for (const wchar_t* c = text; *c; ++c) {
            if (*c != L'&')
                shown += *c;
        }
        SIZE extent{};
        GetTextExtentPoint32W(screen.Get(), shown.c_str(), static_cast<int>(shown.size()), &extent);
        RECT r{};
        GetClientRect(child, &r);
        const bool box = button && (style & BS_TYPEMASK) != BS_PUSHBUTTON &&
                         (style & BS_TYPEMASK) != BS_DEFPUSHBUTTON;
        EXPECT_LE(extent.cx + (box ? scale_.Px(20) : 0), r.right) << WideToUtf8(text);
        EXPECT_LE(extent.cy, r.bottom) << WideToUtf8(text);
        ++checked;
    }
    EXPECT_GT(checked, 0);
}
