#include <winsock2.h>

#include "AppFixture.h"
#include "app/ClockApp_win.h"
#include "app/UnitOptions_win.h"
#include "core/Handles_win.h"
#include "win/PictureBlit_win.h"
#include "WinTestUtil.h"
#include "core/ClockSource.h"
#include "core/DateTime.h"
#include "core/Encoding.h"
#include "core/FileSys.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

using namespace tempora;
using tempora::test::WaitFor;
namespace fs = std::filesystem;

namespace {

// Sound lists the chime composer hands out, instead of playing them.
class RecordingPlayer : public ISoundListPlayer {
public:
    std::vector<std::string>* played = nullptr;
    void Play(const std::string& list) override { played->push_back(list); }
};

std::string TextOf(HWND w) {
    wchar_t text[512] = {};
    GetWindowTextW(w, text, 512);
    return WideToUtf8(text);
}

// Runs `run` while a timer calls `during` once the options dialog shows;
// `during` ends the dialog itself.
void WhileOptionsShow(const std::function<void()>& run,
                      const std::function<void(TFrmOptions&)>& during) {
    static const std::function<void(TFrmOptions&)>* current = nullptr;
    current = &during;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        TFrmOptions* form = TFrmOptions::Current();
        if (!form || !current || !IsWindowVisible(form->Handle()))
            return;
        KillTimer(nullptr, id);
        const auto* todo = current;
        current = nullptr;
        (*todo)(*form);
    });
    run();
    KillTimer(nullptr, timer);
    current = nullptr;
}

// Answers the message box with `title` that shows while `run` runs, and
// gives its text ("" when none showed).
std::string AnswerBox(const wchar_t* title, const std::function<void()>& run) {
    static std::string seen;
    static const wchar_t* wanted = nullptr;
    seen.clear();
    wanted = title;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        const HWND box = FindWindowW(L"#32770", wanted);
        if (!box || !IsWindowVisible(box) || !seen.empty())
            return;
        seen = "?";
        EnumChildWindows(
            box,
            [](HWND child, LPARAM) -> BOOL {
                wchar_t cls[16] = {};
                GetClassNameW(child, cls, 16);
                if (std::wstring(cls) == L"Static" && !TextOf(child).empty())
                    seen = TextOf(child);
                return TRUE;
            },
            0);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    run();
    KillTimer(nullptr, timer);
    return seen;
}

// A time server on 127.0.0.1 that answers one connection with the time
// protocol's four bytes for `unixSeconds`.
class OneTimeServer {
public:
    explicit OneTimeServer(int64_t unixSeconds) {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        s_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(s_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(s_, 1);
        int len = sizeof a;
        getsockname(s_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        const uint32_t since1900 = static_cast<uint32_t>(unixSeconds + 2208988800LL);
        thread_ = std::thread([this, since1900] {
            const SOCKET c = accept(s_, nullptr, nullptr);
            if (c == INVALID_SOCKET)
                return;
            const char reply[4] = {static_cast<char>(since1900 >> 24),
                                   static_cast<char>(since1900 >> 16),
                                   static_cast<char>(since1900 >> 8), static_cast<char>(since1900)};
            send(c, reply, 4, 0);
            closesocket(c);
        });
    }
    ~OneTimeServer() {
        closesocket(s_);  // ends an accept still waiting
        thread_.join();
        WSACleanup();
    }
    uint16_t Port() const { return port_; }

private:
    SOCKET s_ = INVALID_SOCKET;
    uint16_t port_ = 0;
    std::thread thread_;
};

// A data folder of its own with the shipped skins and clock styles; the
// program's clock stands still.
class OptionsDialogTest : public test::AppFixture {
protected:
    OptionsDialogTest()
        : test::AppFixture("tempora-options-"),
          clock_(UseClock(
              static_cast<int64_t>(ToUnixSeconds(EncodeDateTime(2026, 12, 10, 9, 15, 0))) * 1000,
              480)) {
        for (const char* folder : {"Skin", "Clock"}) {
            fs::create_directories(dir_ / folder);
            for (const auto& f :
                 fs::directory_iterator(fs::path(TEMPORA_SOURCE_DIR) / "data" / folder))
                fs::copy_file(f.path(), dir_ / folder / f.path().filename());
        }
    }
    void TearDown() override {
        form_.reset();
        StopApp();
        if (autoStart_.userRoot != HKEY_CURRENT_USER) {
            RegCloseKey(autoStart_.userRoot);
            RegCloseKey(autoStart_.machineRoot);
            RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TemporaTest");
        }
        SetFileAttributesW(Utf8ToWide(Ini()).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::string Ini() const { return Data() + "skin.ini"; }
    TClockApp& Start(const std::string& ini) {
        EXPECT_TRUE(WriteFileAtomic(Ini(), "[BAR]\r\nDefWin=0\r\n" + ini));
        AppOptions o = Options();
        o.makePlayer = [this] {
            auto p = std::make_unique<RecordingPlayer>();
            p->played = &played_;
            return p;
        };
        // The clock is never set; the time server is the test's own.
        o.timeSync.setClock = [this](int64_t) { return clockSetAllowed_; };
        o.autoStart.userRoot = RegKey(L"Software\\TemporaTest\\User");
        o.autoStart.machineRoot = RegKey(L"Software\\TemporaTest\\Machine");
        o.autoStart.runKey = L"Run";
        autoStart_ = o.autoStart;
        return StartApp(o);
    }
    // The dialog made as the menus make it, without its modal loop, so that
    // the test drives its controls.
    TFrmOptions& Open(int page) {
        form_ = std::make_unique<TFrmOptions>(App());
        EXPECT_TRUE(form_->Create(App().Bar().Handle(), page));
        ShowWindow(form_->Handle(), SW_SHOW);
        return *form_;
    }
    HWND Item(int id) const { return GetDlgItem(form_->Handle(), id); }
    void Click(int id) { SendMessageW(Item(id), BM_CLICK, 0, 0); }
    void MoveTrack(int id, int pos) {
        SendMessageW(Item(id), TBM_SETPOS, TRUE, pos);
        SendMessageW(form_->Handle(), WM_HSCROLL, TB_THUMBPOSITION,
                     reinterpret_cast<LPARAM>(Item(id)));
    }
    static std::string ListSelection(HWND list) {
        const int sel = ListView_GetNextItem(list, -1, LVNI_SELECTED);
        if (sel < 0)
            return {};
        wchar_t text[MAX_PATH] = {};
        ListView_GetItemText(list, sel, 0, text, MAX_PATH);
        return WideToUtf8(text);
    }
    void SelectListItem(int id, const std::string& caption) {
        const HWND list = Item(id);
        for (int i = 0; i < ListView_GetItemCount(list); ++i) {
            wchar_t text[MAX_PATH] = {};
            ListView_GetItemText(list, i, 0, text, MAX_PATH);
            if (WideToUtf8(text) == caption) {
                ListView_SetItemState(list, i, LVIS_SELECTED | LVIS_FOCUSED,
                                      LVIS_SELECTED | LVIS_FOCUSED);
                return;
            }
        }
        ADD_FAILURE() << "no item " << caption;
    }
    static HKEY RegKey(const wchar_t* path) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        return key;
    }
    static bool RunValueExists(HKEY root) {
        return RegGetValueW(root, L"Run", L"Tempora", RRF_RT_REG_SZ, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS;
    }
    // The program's clock at local time hh:mm:ss of the fixture's day (UTC+8).
    void SetLocalTime(int h, int m, int s) {
        const double utc = ToUnixSeconds(EncodeDateTime(2026, 12, 10, h, m, s));
        clock_.Set((std::llround(utc) - 8 * 3600) * 1000);
    }
    std::string IniText() const {
        std::string text;
        ReadFileBytes(Ini(), text);
        return GbkToUtf8(text);
    }

    const fs::path& dir_ = Folder().Path();
    FakeClock& clock_;
    std::unique_ptr<TFrmOptions> form_;
    std::vector<std::string> played_;
    TAutoStartPlace autoStart_;
    bool clockSetAllowed_ = true;
};

TEST_F(OptionsDialogTest, MenuItemsOpenTheirPageAndTheSkinPageShowsTheCurrentSkin) {
    TClockApp& app = Start("[SKIN]\r\nSkinFile=RicePaper.sk\r\n");
    const struct {
        UINT command;
        int page;
    } items[] = {
        {PM_OptionsNor, TFrmOptions::TabSheet1},  {PM_OptionsBS, TFrmOptions::TabSheet6},
        {PM_OptionsSkin, TFrmOptions::TabSheet2}, {PM_OptionsClock, TFrmOptions::TabSheet3},
        {PM_OptionsMsg, TFrmOptions::TabSheet4},  {PM_OptionsTime, TFrmOptions::TabSheet5},
    };
    for (const auto& item : items) {
        int page = -1;
        bool barEnabled = true;
        std::string selected;
        HWND focus = nullptr, list = nullptr;
        WhileOptionsShow([&] { EXPECT_TRUE(app.RunCommand(item.command)); },
                         [&](TFrmOptions& form) {
                             page = form.CurrentPage();
                             barEnabled = IsWindowEnabled(app.Bar().Handle());
                             list = GetDlgItem(form.Handle(), TFrmOptions::UiListView1);
                             selected = ListSelection(list);
                             focus = GetFocus();
                             PostMessageW(form.Handle(), WM_CLOSE, 0, 0);
                         });
        EXPECT_EQ(page, item.page) << item.command;
        EXPECT_FALSE(barEnabled) << "the dialog is modal";
        EXPECT_EQ(TFrmOptions::Current(), nullptr);
        if (item.page == TFrmOptions::TabSheet2) {
            EXPECT_EQ(selected, "RicePaper.sk");
            EXPECT_EQ(focus, list);
        }
    }
}

TEST_F(OptionsDialogTest, SkinPreviewShowsThePackagesLookAndApplyDressesTheBar) {
    TClockApp& app = Start("[SKIN]\r\nSkinFile=RicePaper.sk\r\n");
    TFrmOptions& form = Open(TFrmOptions::TabSheet2);
    EXPECT_EQ(form.ChosenSkin(), Data() + "Skin\\RicePaper.sk");

    SelectListItem(TFrmOptions::UiListView1, "DarkGlass.sk");
    TBarSkin dark;
    ASSERT_EQ(ReadBarSkin(Data(), Data() + "Skin\\DarkGlass.sk", dark), TSkinResult::Applied);
    const Bitmap& preview = form.SkinPreview();
    ASSERT_EQ(preview.Width(), 332);
    EXPECT_EQ(preview.At(61, 4), dark.ledBorderColor & 0xFFFFFF);
    EXPECT_EQ(preview.At(100, 17), dark.ledBkColor & 0xFFFFFF);
    EXPECT_EQ(preview.At(2, 17), dark.background.At(2, 17));
    EXPECT_TRUE(IsWindowEnabled(Item(TFrmOptions::UiButton3)));

    const Bitmap before = app.Bar().Face().Picture();
    Click(TFrmOptions::UiButton3);
    EXPECT_EQ(TIniFile(Ini()).ReadString("SKIN", "SkinFile", ""), "DarkGlass.sk");
    EXPECT_EQ(app.Settings().skinFile, "DarkGlass.sk");
    EXPECT_FALSE(app.Bar().Face().Picture() == before);
}

TEST_F(OptionsDialogTest, ClockStylePreviewFitsItsBoxAndApplyRedressesTheOpenClock) {
    TClockApp& app = Start("[SKIN]\r\nClockFile=Classic.cl\r\n");
    app.ShowView(kViewClock);
    ASSERT_NE(app.ClockView(), nullptr);
    const Bitmap face = app.ClockView()->Face().Picture();
    TFrmOptions& form = Open(TFrmOptions::TabSheet3);
    EXPECT_EQ(form.ChosenClock(), Data() + "Clock\\Classic.cl");

    SelectListItem(TFrmOptions::UiListView2, "Midnight.cl");
    TClockSkin midnight;
    ASSERT_EQ(ReadClockSkin(Data(), Data() + "Clock\\Midnight.cl", midnight), TSkinResult::Applied);
    EXPECT_EQ((TPreviewSize{form.ClockPreview().Width(), form.ClockPreview().Height()}),
              ClockPreviewSize(midnight.face.Width(), midnight.face.Height()));
    Click(TFrmOptions::UiButton2);
    EXPECT_EQ(TIniFile(Ini()).ReadString("SKIN", "ClockFile", ""), "Midnight.cl");
    EXPECT_EQ(app.Settings().clockFile, "Midnight.cl");
    EXPECT_FALSE(app.ClockView()->Face().Picture() == face);
}

TEST_F(OptionsDialogTest, APackageOfAnotherVersionCannotBeApplied) {
    // RicePaper as it is, but marked 1.1.
    std::string file, keys;
    ASSERT_TRUE(ReadFileBytes(Data() + "Skin\\RicePaper.sk", file));
    std::string_view k, picture;
    ASSERT_TRUE(SplitSkinPackage(file, k, picture));
    keys = std::string(k);
    const size_t at = keys.find("SkinVer=1.0");
    ASSERT_NE(at, std::string::npos);
    keys.replace(at, 11, "SkinVer=1.1");
    ASSERT_TRUE(WriteFileAtomic(Data() + "Skin\\Future.sk", MakeSkinPackage(keys, picture)));

    Start("[SKIN]\r\nSkinFile=RicePaper.sk\r\n");
    TFrmOptions& form = Open(TFrmOptions::TabSheet2);
    const std::string box =
        AnswerBox(L"警告", [&] { SelectListItem(TFrmOptions::UiListView1, "Future.sk"); });
    EXPECT_EQ(box, "无法识别的文件版本！");
    EXPECT_TRUE(form.ChosenSkin().empty());
    EXPECT_FALSE(IsWindowEnabled(Item(TFrmOptions::UiButton3)));
    EXPECT_TRUE(form.SkinPreview().Empty());
    SendMessageW(form.Handle(), WM_COMMAND, TFrmOptions::UiButton3, 0);
    EXPECT_EQ(TIniFile(Ini()).ReadString("SKIN", "SkinFile", ""), "RicePaper.sk");
}

TEST_F(OptionsDialogTest, TransparencyShowsItsPercentageAndTheBarFollowsAtOnce) {
    TClockApp& app = Start("");
    Open(TFrmOptions::TabSheet2);
    const struct {
        int pos;
        const char* label;
    } cases[] = {{55, "80%"}, {200, "22%"}, {255, "0%"}};
    for (const auto& c : cases) {
        MoveTrack(TFrmOptions::UiTrackBar1, c.pos);
        EXPECT_EQ(TextOf(Item(TFrmOptions::Label3)), c.label);
        EXPECT_EQ(app.Bar().Alpha(), c.pos);
        MoveTrack(TFrmOptions::UiTrackBar2, c.pos);
        EXPECT_EQ(TextOf(Item(TFrmOptions::Label7)), c.label);
    }
    // The message popups' transparency is only written.
    MoveTrack(TFrmOptions::UiTrackBar1, 150);
    MoveTrack(TFrmOptions::UiTrackBar2, 90);
    EXPECT_EQ(app.Bar().Alpha(), 150);
    ASSERT_TRUE(form_->SaveOptions());
    const TIniFile ini(Ini());
    EXPECT_EQ(ini.ReadInteger("BAR", "Tr", 0), 150);
    EXPECT_EQ(ini.ReadInteger("MSG", "Tran", 0), 90);
}

TEST_F(OptionsDialogTest, PlainTextWritesTheFontAndLedWritesOnlyItsChoice) {
    TClockApp& app = Start("");
    Open(TFrmOptions::TabSheet3);
    EXPECT_TRUE(SendMessageW(Item(TFrmOptions::UiRadioButton6), BM_GETCHECK, 0, 0) == BST_CHECKED);
    EXPECT_FALSE(IsWindowEnabled(Item(TFrmOptions::UiButton5)));

    Click(TFrmOptions::UiRadioButton7);
    EXPECT_FALSE(app.Bar().Face().DigitsVisible());
    EXPECT_TRUE(IsWindowEnabled(Item(TFrmOptions::UiButton5)));
    form_->ChooseTimeFont({"宋体", 24, 0x0000FF, true, true, false, true});
    ASSERT_TRUE(form_->SaveOptions());
    {
        const TIniFile ini(Ini());
        EXPECT_EQ(ini.ReadString("LED", "LEDFont", ""), "0");
        EXPECT_EQ(ini.ReadString("LED", "FontName", ""), "宋体");
        EXPECT_EQ(ini.ReadInteger("LED", "FontSize", 0), 24);
        EXPECT_EQ(ini.ReadInteger("LED", "FontColor", 0), 255);
        EXPECT_EQ(ini.ReadString("LED", "FontBold", ""), "1");
        EXPECT_EQ(ini.ReadString("LED", "FontItalic", ""), "1");
        EXPECT_EQ(ini.ReadString("LED", "FontUnderline", ""), "0");
        EXPECT_EQ(ini.ReadString("LED", "FontStrikeOut", ""), "1");
    }

    // A fresh file: the LED choice writes LEDFont alone.
    ASSERT_TRUE(WriteFileAtomic(Ini(), "[BAR]\r\nDefWin=0\r\n"));
    Click(TFrmOptions::UiRadioButton6);
    EXPECT_TRUE(app.Bar().Face().DigitsVisible());
    ASSERT_TRUE(form_->SaveOptions());
    const TIniFile ini(Ini());
    EXPECT_EQ(ini.ReadString("LED", "LEDFont", ""), "1");
    for (const char* key : {"FontName", "FontSize", "FontColor", "FontBold", "FontItalic",
                            "FontUnderline", "FontStrikeOut"})
        EXPECT_FALSE(ini.ValueExists("LED", key)) << key;
}

TEST_F(OptionsDialogTest, OnlyAChangedHotKeyIsRegisteredAnew) {
    TClockApp& app = Start("[CLOCK]\r\nHotKey=1\r\nHotKey1=Ctrl + Shift\r\nHotKey2=T\r\n");
    const int id = app.HotKey().Id();
    ASSERT_NE(id, 0);
    ASSERT_EQ(app.HotKey().Key(), 'T');

    Open(TFrmOptions::TabSheet6);
    EXPECT_TRUE(IsWindowEnabled(Item(TFrmOptions::UiComboBox2)));
    EXPECT_EQ(ComboText(Item(TFrmOptions::UiComboBox1)), "Ctrl + Shift");
    ASSERT_TRUE(form_->SaveOptions());
    EXPECT_EQ(app.HotKey().Id(), id);
    EXPECT_EQ(app.HotKey().Key(), 'T');

    SendMessageW(Item(TFrmOptions::UiComboBox2), CB_SETCURSEL, 'U' - 'A', 0);
    ASSERT_TRUE(form_->SaveOptions());
    EXPECT_NE(app.HotKey().Id(), 0);
    EXPECT_EQ(app.HotKey().Key(), 'U');
    EXPECT_EQ(app.HotKey().Modifiers(), MOD_CONTROL | MOD_SHIFT);
    EXPECT_EQ(TIniFile(Ini()).ReadString("CLOCK", "HotKey2", ""), "U");

    Click(TFrmOptions::UiCheckBox6);
    EXPECT_FALSE(IsWindowEnabled(Item(TFrmOptions::UiComboBox2)));
    ASSERT_TRUE(form_->SaveOptions());
    EXPECT_EQ(app.HotKey().Id(), 0);
    EXPECT_EQ(TIniFile(Ini()).ReadString("CLOCK", "HotKey", ""), "0");
}

TEST_F(OptionsDialogTest, CyclingMarkMessagesStartTheRepeatTimer) {
    TClockApp& app = Start("");
    Open(TFrmOptions::TabSheet4);
    EXPECT_FALSE(IsWindowEnabled(Item(TFrmOptions::UiSpinEdit2)));
    Click(TFrmOptions::UiRadioButton5);
    EXPECT_TRUE(IsWindowEnabled(Item(TFrmOptions::UiSpinEdit2)));
    SetWindowTextW(Item(TFrmOptions::UiSpinEdit2), L"10");
    ASSERT_TRUE(form_->SaveOptions());
    EXPECT_EQ(app.Settings().markMode, 2);
    EXPECT_EQ(app.Settings().markStepMinutes, 10);
    EXPECT_EQ(TIniFile(Ini()).ReadInteger("MSG", "CalendarLX", 0), 2);
    EXPECT_EQ(TIniFile(Ini()).ReadInteger("MSG", "CalendarStep", 0), 10);
    // The timer runs (killing it succeeds); put it back as it was.
    EXPECT_TRUE(KillTimer(app.Bar().Handle(), TClockApp::TimerWarStep));

    Click(TFrmOptions::UiRadioButton4);
    ASSERT_TRUE(form_->SaveOptions());
    EXPECT_EQ(app.Settings().markMode, 1);
    EXPECT_FALSE(KillTimer(app.Bar().Handle(), TClockApp::TimerWarStep));
}

TEST_F(OptionsDialogTest, AReadOnlySettingsFileIsReportedAndTheDialogStaysOpen) {
    TClockApp& app = Start("[CLOCK]\r\nAlarm=0\r\n");
    const std::string before = IniText();
    int result = 0;
    bool stayedOpen = false;
    std::string box;
    WhileOptionsShow(
        [&] {
            ASSERT_TRUE(SetFileAttributesW(Utf8ToWide(Ini()).c_str(), FILE_ATTRIBUTE_READONLY));
            ShowOptions(app, TFrmOptions::TabSheet6);
            result = 1;
        },
        [&](TFrmOptions& form) {
            SendMessageW(GetDlgItem(form.Handle(), TFrmOptions::UiCheckBox3), BM_CLICK, 0, 0);
            box = AnswerBox(L"警告", [&] { SendMessageW(form.Handle(), WM_CLOSE, 0, 0); });
            stayedOpen = TFrmOptions::Current() == &form && IsWindowVisible(form.Handle());
            // Writable again: closing now saves and ends the dialog.
            SetFileAttributesW(Utf8ToWide(Ini()).c_str(), FILE_ATTRIBUTE_NORMAL);
            EXPECT_EQ(IniText(), before);
            PostMessageW(form.Handle(), WM_CLOSE, 0, 0);
        });
    EXPECT_EQ(result, 1);
    EXPECT_NE(box.find("无法保存设置"), std::string::npos) << box;
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(TIniFile(Ini()).ReadBool("CLOCK", "Alarm", false));
    EXPECT_TRUE(app.Settings().alarm);
}

TEST_F(OptionsDialogTest, QuietHoursAreWrittenAndSilenceTheChimeAtOnce) {
    TClockApp& app = Start("[CLOCK]\r\nAlarm=1\r\nHalfAlarm=1\r\n");
    Open(TFrmOptions::TabSheet6);
    // Off by default, 22:00 to 07:00, the times greyed while it is off.
    EXPECT_FALSE(IsWindowEnabled(Item(TFrmOptions::UiTimePicker1)));
    const auto pickerMinute = [&](int id) {
        SYSTEMTIME st{};
        SendMessageW(Item(id), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
        return st.wHour * 60 + st.wMinute;
    };
    EXPECT_EQ(pickerMinute(TFrmOptions::UiTimePicker1), 22 * 60);
    EXPECT_EQ(pickerMinute(TFrmOptions::UiTimePicker2), 7 * 60);

    Click(TFrmOptions::UiCheckBox9);
    EXPECT_TRUE(IsWindowEnabled(Item(TFrmOptions::UiTimePicker1)));
    SYSTEMTIME st{};
    GetLocalTime(&st);
    st.wHour = 21;
    st.wMinute = 30;
    SendMessageW(Item(TFrmOptions::UiTimePicker1), DTM_SETSYSTEMTIME, GDT_VALID,
                 reinterpret_cast<LPARAM>(&st));
    ASSERT_TRUE(form_->SaveOptions());
    const TIniFile ini(Ini());
    EXPECT_EQ(ini.ReadString("CLOCK", "QuietHours", ""), "1");
    EXPECT_EQ(ini.ReadString("CLOCK", "QuietStart", ""), "21:30");
    EXPECT_EQ(ini.ReadString("CLOCK", "QuietEnd", ""), "07:00");
    EXPECT_TRUE(app.Settings().quiet.on);

    // The span runs across midnight up to, not including, its end.
    const struct {
        int h, m;
        bool chimes;
    } cases[] = {{21, 0, true}, {21, 30, false}, {23, 0, false}, {6, 30, false}, {7, 0, true}};
    for (const auto& c : cases) {
        played_.clear();
        SetLocalTime(c.h, c.m, 0);
        clock_.Advance(-1000);
        app.Bar().TickNow();
        clock_.Advance(1000);
        app.Bar().TickNow();
        EXPECT_EQ(!played_.empty(), c.chimes) << c.h << ":" << c.m;
    }
}

TEST_F(OptionsDialogTest, AutoStartIsTheUsersOwnEntry) {
    Start("");
    Open(TFrmOptions::TabSheet1);
    EXPECT_FALSE(SendMessageW(Item(TFrmOptions::UiCheckBox1), BM_GETCHECK, 0, 0) == BST_CHECKED);
    Click(TFrmOptions::UiCheckBox1);
    ASSERT_TRUE(form_->SaveOptions());
    EXPECT_TRUE(RunValueExists(autoStart_.userRoot));
    EXPECT_FALSE(RunValueExists(autoStart_.machineRoot));
    form_.reset();

    // An older installation's machine-wide entry shows as on; turning it off
    // removes both where that is allowed.
    const std::wstring command = AutoStartCommand(ThisProgramPath());
    ASSERT_EQ(RegSetKeyValueW(autoStart_.machineRoot, L"Run", L"Tempora", REG_SZ, command.c_str(),
                              static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    Open(TFrmOptions::TabSheet1);
    EXPECT_TRUE(SendMessageW(Item(TFrmOptions::UiCheckBox1), BM_GETCHECK, 0, 0) == BST_CHECKED);
    Click(TFrmOptions::UiCheckBox1);
    ASSERT_TRUE(form_->SaveOptions());
    EXPECT_FALSE(RunValueExists(autoStart_.userRoot));
    EXPECT_FALSE(RunValueExists(autoStart_.machineRoot));
}

TEST_F(OptionsDialogTest, CheckNowShowsTheTimeOfTheLastCorrection) {
    OneTimeServer server(clock_.UtcMillis() / 1000);
    ASSERT_TRUE(WriteFileAtomic(Data() + "TimeHost.lst",
                                "127.0.0.1:" + std::to_string(server.Port()) + "\r\n"));
    ASSERT_TRUE(WriteFileAtomic(Data() + "TimeCheck.lst", "2026-12-01 08:00:05\r\n"));
    Start("");
    Open(TFrmOptions::TabSheet5);
    EXPECT_EQ(TextOf(Item(TFrmOptions::Label13)), "最后校正于: 2026-12-01 08:00:05");
    Click(TFrmOptions::UiButton4);
    EXPECT_FALSE(IsWindowEnabled(Item(TFrmOptions::UiButton4)));
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(Item(TFrmOptions::UiButton4)); }, 5000));
    std::string recorded;
    ASSERT_TRUE(ReadFileBytes(Data() + "TimeCheck.lst", recorded));
    EXPECT_EQ(recorded.substr(0, 11), "2026-12-10 ");
    EXPECT_EQ(TextOf(Item(TFrmOptions::Label13)), "最后校正于: " + recorded.substr(0, 19));
}

TEST_F(OptionsDialogTest, ACheckThatFailsSaysWhy) {
    const struct {
        bool server, clockSetAllowed;
        const char* label;
    } cases[] = {
        {false, true, "校正失败：没有可用的时间服务器"},
        {true, false, "校正失败：需要管理员权限"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        OneTimeServer server(clock_.UtcMillis() / 1000);
        fs::remove(dir_ / "TimeHost.lst");
        if (c.server) {
            ASSERT_TRUE(WriteFileAtomic(Data() + "TimeHost.lst",
                                        "127.0.0.1:" + std::to_string(server.Port()) + "\r\n"));
        }
        clockSetAllowed_ = c.clockSetAllowed;
        Start("");
        Open(TFrmOptions::TabSheet5);
        Click(TFrmOptions::UiButton4);
        ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(Item(TFrmOptions::UiButton4)); }, 5000));
        EXPECT_EQ(TextOf(Item(TFrmOptions::Label13)), c.label);
        EXPECT_FALSE(FileExists(Data() + "TimeCheck.lst"));
        form_.reset();
        StopApp();
    }
}

// An uninstaller or taskkill closes the bar while the dialog shows: the
// dialog goes with its owner, and what it showed is what skin.ini keeps.
TEST_F(OptionsDialogTest, ClosingTheBarUnderTheDialogKeepsWhatTheDialogShowed) {
    TClockApp& app = Start(
        "Tr=180\r\nOnTop=1\r\n"
        "[CLOCK]\r\nAlarm=1\r\nHalfAlarm=1\r\nAlarmType=2\r\nHotKey=1\r\n"
        "HotKey1=Ctrl + Shift\r\nHotKey2=T\r\n"
        "[MSG]\r\nAuto=0\r\nAutoSec=30\r\nTran=150\r\nCalendarLX=2\r\nCalendarStep=10\r\n"
        "[TIME]\r\nAutoChcek=1\r\nStepHour=6\r\n");
    const HWND bar = app.Bar().Handle();
    WhileOptionsShow([&] { app.RunCommand(PM_OptionsBS); },
                     [&](TFrmOptions& form) {
                         // One change the dialog shows but never saved.
                         SendMessageW(GetDlgItem(form.Handle(), TFrmOptions::UiCheckBox9), BM_CLICK,
                                      0, 0);
                         PostMessageW(bar, WM_CLOSE, 0, 0);
                     });
    EXPECT_FALSE(IsWindow(bar));
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);

    const TIniFile ini(Ini());
    const struct {
        const char *section, *key, *value;
    } kept[] = {
        {"BAR", "Tr", "180"},          {"BAR", "OnTop", "1"},
        {"BAR", "DefWin", "0"},        {"CLOCK", "Alarm", "1"},
        {"CLOCK", "HalfAlarm", "1"},   {"CLOCK", "AlarmType", "2"},
        {"CLOCK", "HotKey", "1"},      {"CLOCK", "HotKey1", "Ctrl + Shift"},
        {"CLOCK", "HotKey2", "T"},     {"CLOCK", "QuietHours", "1"},
        {"MSG", "Auto", "0"},          {"MSG", "AutoSec", "30"},
        {"MSG", "Tran", "150"},        {"MSG", "CalendarLX", "2"},
        {"MSG", "CalendarStep", "10"}, {"TIME", "AutoChcek", "1"},
        {"TIME", "StepHour", "6"},
    };
    for (const auto& k : kept)
        EXPECT_EQ(ini.ReadString(k.section, k.key, "<none>"), k.value) << k.section << "/" << k.key;
}

// A group box paints its inside with the dialog's background: not black, and
// not what the page visited before left on the screen.
TEST_F(OptionsDialogTest, GroupBoxesShowTheDialogsBackgroundInside) {
    Start("[SKIN]\r\nSkinFile=RicePaper.sk\r\n");
    for (int first : {TFrmOptions::TabSheet6, TFrmOptions::TabSheet2}) {
        SCOPED_TRACE(first);
        TFrmOptions& form = Open(first);
        form.SelectPage(TFrmOptions::TabSheet6);
        UpdateWindow(form.Handle());
        WaitFor([] { return false; }, 100);
        // The frame "报时类型" is the page's first child at its place.
        POINT at{TFrmOptions::kX + 346, 108};
        const HWND box = ChildWindowFromPointEx(form.Handle(), at, CWP_SKIPINVISIBLE);
        ASSERT_NE(box, nullptr);
        ASSERT_EQ(TextOf(box), "报时类型");
        MapWindowPoints(form.Handle(), box, &at, 1);
        const Bitmap expected = BackgroundUnder(form.Handle(), box);
        Bitmap shown;
        {
            WindowDc dc(box);
            ReadPicture(dc.Get(), 0, 0, expected.Width(), expected.Height(), shown);
        }
        int wrong = 0;
        for (int y = at.y - 30; y <= at.y + 30; ++y) {
            for (int x = at.x - 4; x <= at.x + 4; ++x)
                wrong += shown.At(x, y) != expected.At(x, y);
        }
        EXPECT_EQ(wrong, 0);
        form_.reset();
    }
}

}  // namespace
