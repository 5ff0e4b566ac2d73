// The web features on the real bar, against tools/demo-server.py on
// 127.0.0.1 (started by each test as a Unix process beside Wine): the ad
// download into the date line and everything that must leave it alone, the
// target filter behind the clicks, the upgrade notice's three entries and
// the once-a-day version check, the About box and the start-page offer.
#include "AppFixture.h"
#include "app/ClockApp_win.h"
#include "WinTestUtil.h"
#include "core/ClockSource.h"
#include "core/Encoding.h"
#include "core/FileSys.h"
#include "core/LineFile.h"
#include "calendar/Holiday.h"
#include "display/MyWindow_win.h"
#include "web/UnitAbout_win.h"
#include "web/AdFile.h"
#include "web/UnitHomepage_win.h"
#include "web/UpgraderThread_win.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using namespace tempora;
using tempora::test::WaitFor;
namespace fs = std::filesystem;

namespace {

constexpr wchar_t kPython[] = L"Z:\\usr\\bin\\python3";
const TDateTime kStart = EncodeDateTime(2026, 12, 11, 9, 0, 0);  // local, UTC+8

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The demo server on a free port; it ends when the test object goes (or,
// should the test die, after two minutes by itself).
class DemoServer {
public:
    DemoServer(const std::string& unixDir, const std::string& winDir,
               const std::vector<std::string>& args) {
        const std::string ready = winDir + "server.ready";
        RemoveFile(ready);
        std::string cmd = "python3 " + std::string(TEMPORA_SOURCE_DIR) +
                          "/tools/demo-server.py 0 --lifetime 120 --ready-file " + unixDir +
                          "server.ready";
        for (const std::string& a : args)
            cmd += " " + a;
        std::wstring line = Utf8ToWide(cmd);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        // Wine runs a Unix program as a process of its own and gives no handle to it.
        if (!CreateProcessW(kPython, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                            &pi)) {
            return;
        }
        if (pi.hProcess)
            CloseHandle(pi.hProcess);
        if (pi.hThread)
            CloseHandle(pi.hThread);
        std::string text;
        for (int i = 0; i < 400 && !ReadFileBytes(ready, text); ++i)
            Sleep(50);
        port_ = atoi(text.c_str());
    }
    ~DemoServer() {
        if (!port_)
            return;
        THttpGet get;
        std::string reply;
        get.Fetch(Host(), "/quit", 64, {}, reply);
    }
    bool Ready() const { return port_ > 0; }
    std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }

private:
    int port_ = 0;
};

// Closes the first window of a class (and title) that shows while a modal
// loop of this thread runs, after handing it to `inspect`.
class ModalCloser {
public:
    ModalCloser(const wchar_t* cls, const wchar_t* title, int command,
                std::function<void(HWND)> inspect = {})
        : cls_(cls), title_(title), command_(command), inspect_(std::move(inspect)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 50, Tick);
    }
    ~ModalCloser() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    bool Seen() const { return seen_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        ModalCloser* self = current_;
        if (!self || self->seen_)
            return;
        const HWND w = FindWindowW(self->cls_, self->title_);
        if (w && IsWindowVisible(w)) {
            self->seen_ = true;
            if (self->inspect_)
                self->inspect_(w);
            PostMessageW(w, WM_COMMAND, static_cast<WPARAM>(self->command_), 0);
        } else if (++self->ticks_ > 200) {
            // Ten seconds without it: end the loop rather than hang the run.
            PostQuitMessage(0);
        }
    }

    static inline ModalCloser* current_ = nullptr;
    const wchar_t* cls_;
    const wchar_t* title_;
    int command_;
    std::function<void(HWND)> inspect_;
    UINT_PTR timer_ = 0;
    bool seen_ = false;
    int ticks_ = 0;
};

std::string TextOf(HWND w) {
    wchar_t text[512] = {};
    GetWindowTextW(w, text, 512);
    return WideToUtf8(text);
}

const char kOldAd[] = "7|5|2026-12-01 09:00:00\r\n*\r\n1\r\n旧广告\r\n\r\nhttp://127.0.0.1/old\r\n";
const char kNewSet[] =
    "8|5\r\n"
    "*\r\n1\r\n新广告一\r\n\r\nhttp://127.0.0.1/a\r\n"
    "*\r\n0\r\n不显示\r\n\r\nhttp://127.0.0.1/hidden\r\n"
    "*\r\n3\r\n设为主页\r\n\r\nhttp://127.0.0.1/\r\n"
    "$\r\n";

class WebTest : public test::AppFixture {
protected:
    // Under Z:, so that the server (a Unix process) finds the same files.
    WebTest()
        : test::AppFixture("tempora-web-", L"Z:\\tmp"),
          dir_(Data()),
          unixDir_("/tmp/tempora-web-" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                   "/"),
          clock_(UseClock(static_cast<int64_t>(ToUnixSeconds(kStart) * 1000) - 8 * 3600000LL)) {
        fs::create_directories(Utf8ToWide(dir_ + "Sup"));
    }

    void Write(const std::string& name, const std::string& utf8) {
        ASSERT_TRUE(WriteFileAtomic(dir_ + name, Utf8ToGbk(utf8)));
    }
    std::string Read(const std::string& name) const {
        std::string bytes;
        return ReadFileBytes(dir_ + name, bytes) ? bytes : "(none)";
    }
    void WriteIni(const std::string& host, const std::string& home = {}) {
        Write("skin.ini", "[WEB]\r\nHost=" + host + "\r\nHomePage=" + home + "\r\n");
    }
    DemoServer Serve(const std::vector<std::string>& args) { return {unixDir_, dir_, args}; }

    TClockApp& StartApp() {
        AppOptions o = Options();
        o.webFetch = {2000, 1500, 4000, {}};
        o.openDocument = [this](const std::string& address) {
            opened_.push_back(address);
            return true;
        };
        return AppFixture::StartApp(o, false);
    }
    // Starts the download and waits for its end and its messages.
    void CheckAndWait() {
        App().Web().CheckAdDownload();
        EXPECT_TRUE(WaitFor([&] { return !App().Web().AdDownloadRunning(); }, 20000));
        Pump();
    }
    // The date line's lines after the date.
    std::vector<std::string> AdLines() const {
        const std::vector<std::string>& lines = App().Bar().Face().FadeTextDate.Lines();
        return {lines.begin() + 1, lines.end()};
    }

    const std::string dir_, unixDir_;
    FakeClock& clock_;
    std::vector<std::string> opened_;
};

}  // namespace

TEST_F(WebTest, ANewAdSetReplacesTheStoredOneInTheDateLine) {
    Write("Sup\\Ad.his", kOldAd);
    Write("Sup\\mine.txt", "a file of the user's");
    Write("served.txt", kNewSet);
    const DemoServer server = Serve({"--ad", unixDir_ + "served.txt"});
    ASSERT_TRUE(server.Ready());
    WriteIni(server.Host());
    StartApp();
    EXPECT_EQ(AdLines(), std::vector<std::string>{"<FontAD>旧广告"});

    CheckAndWait();
    EXPECT_EQ(AdLines(), (std::vector<std::string>{"<FontAD>新广告一", "<FontAD>设为主页"}));
    std::vector<std::string> stored;
    ASSERT_TRUE(ReadLineFile(dir_ + "Sup\\Ad.his", stored));
    EXPECT_EQ(stored.front(), "8|5|2026-12-11 09:00:00");
    EXPECT_EQ(Read("Sup\\mine.txt"), "a file of the user's");
    // A start right after it reads the new set and does not download today.
    StartApp();
    EXPECT_EQ(AdLines().size(), 2u);
}

TEST_F(WebTest, ADownloadThatIsNotANewCompleteSetChangesNothing) {
    Write("Sup\\Ad.his", kOldAd);
    const std::string before = Read("Sup\\Ad.his");
    std::string noEnd = kNewSet;
    noEnd.resize(noEnd.size() - 3);
    std::string sameId = kNewSet;
    sameId[0] = '7';
    Write("same-id.txt", sameId);
    Write("no-end.txt", noEnd);
    Write("served.txt", kNewSet);
    const struct {
        const char* what;
        std::vector<std::string> args;
        const char* hostSuffix = "";
    } cases[] = {
        {"the stored id", {"--ad", unixDir_ + "same-id.txt"}},
        {"no end mark", {"--ad", unixDir_ + "no-end.txt"}},
        {"cut short", {"--ad", unixDir_ + "served.txt", "--ad-mode", "truncated"}},
        {"too slow", {"--ad", unixDir_ + "served.txt", "--ad-mode", "slow"}},
        {"endless", {"--ad", unixDir_ + "served.txt", "--ad-mode", "endless"}},
        {"server error", {"--ad", unixDir_ + "served.txt", "--ad-mode", "error"}},
        {"redirect to file:", {"--ad", unixDir_ + "served.txt", "--ad-mode", "redirect-file"}},
        {"a host with a path", {"--ad", unixDir_ + "served.txt"}, "/AD"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const DemoServer server = Serve(c.args);
        ASSERT_TRUE(server.Ready());
        WriteIni(server.Host() + c.hostSuffix);
        StartApp();
        CheckAndWait();
        EXPECT_EQ(Read("Sup\\Ad.his"), before);
        EXPECT_EQ(AdLines(), std::vector<std::string>{"<FontAD>旧广告"});
    }
}

TEST_F(WebTest, OnlyWebAddressesAreOpenedFromTheDateLine) {
    Write("Sup\\Ad.his",
          "7|5|2026-12-11 08:00:00\r\n"
          "*\r\n1\r\nfile\r\n\r\nfile:///C:/windows/win.ini\r\n"
          "*\r\n1\r\nprogram\r\n\r\nC:\\windows\\notepad.exe\r\n"
          "*\r\n1\r\nweb\r\n\r\nhttp://127.0.0.1/ok\r\n"
          "*\r\n3\r\nscript\r\n\r\njavascript:alert(1)\r\n");
    TClockApp& app = StartApp();
    ASSERT_EQ(app.Web().Ads().size(), 4u);
    for (int k = -1; k <= 6; ++k)
        app.OnDateLineClick(k);
    EXPECT_EQ(opened_, std::vector<std::string>{"http://127.0.0.1/ok"});

    // The bar's own click: whichever line shows when the button goes up.
    const HWND bar = app.Bar().Handle();
    const TSkinRect date = app.Bar().Face().Place(TBarPart::DateLine);
    const LPARAM at = MAKELPARAM(date.left + date.width / 2, date.top + date.height / 2);
    for (int line : {1, 3, 0}) {
        app.Bar().Face().FadeTextDate.ShowLine(line);
        SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(bar, WM_LBUTTONUP, 0, at);
    }
    EXPECT_EQ(opened_, (std::vector<std::string>{"http://127.0.0.1/ok", "http://127.0.0.1/ok"}));
}

TEST_F(WebTest, OtherProgramsRaiseTheNoticeByCopyDataOnly) {
    TClockApp& app = StartApp();
    const HWND bar = app.Bar().Handle();
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    const std::wstring helper = (fs::path(exe).parent_path() / L"SendUpgradeText.exe").wstring();
    const auto send = [&](const std::wstring& args) {
        std::wstring line = L"\"" + helper + L"\" " +
                            std::to_wstring(reinterpret_cast<uintptr_t>(bar)) + L" " + args;
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessW(helper.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &si, &pi)) {
            ADD_FAILURE() << "SendUpgradeText.exe did not start";
            return DWORD(-1);
        }
        // The helper's messages need this thread's loop to be answered.
        EXPECT_TRUE(
            WaitFor([&] { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }, 20000));
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        return code;
    };
    // A pointer from another process means nothing here, whatever the key.
    send(L"message 0");
    send(L"message " + std::to_wstring(app.Web().UpgradeMessageKey() + 2));
    EXPECT_EQ(send(L"oversize"), 0u);
    EXPECT_EQ(Read("Upgrade.his"), "(none)");
    EXPECT_EQ(send(L"copydata"), 1u);
    EXPECT_EQ(Read("Upgrade.his"), "2026-12-11 09:00:00\r\n");

    // Inside the program the text comes by pointer, with the key.
    RemoveFile(dir_ + "Upgrade.his");
    const std::string three = "3.7.8\r\nnew\r\nhttp://127.0.0.1/";
    SendMessageW(bar, kUpgradeTextMessage, 0, reinterpret_cast<LPARAM>(three.c_str()));
    SendMessageW(bar, kUpgradeTextMessage, app.Web().UpgradeMessageKey(),
                 reinterpret_cast<LPARAM>("3.7.8\r\nnew"));
    EXPECT_EQ(Read("Upgrade.his"), "(none)");
    SendMessageW(bar, kUpgradeTextMessage, app.Web().UpgradeMessageKey(),
                 reinterpret_cast<LPARAM>(three.c_str()));
    EXPECT_EQ(Read("Upgrade.his"), "2026-12-11 09:00:00\r\n");
    clock_.Advance(60000);
    SendMessageW(bar, kUpgradeCheckedMessage, 0, 0);
    EXPECT_EQ(Read("Upgrade.his"), "2026-12-11 09:01:00\r\n");
}

TEST_F(WebTest, ANewerVersionOnTheServerRaisesTheNoticeOnceADay) {
    // The ads are fresh: only the version is asked for.
    Write("Sup\\Ad.his", "7|5|2026-12-11 08:00:00\r\n");
    for (const char* version : {"3.7.7", "3.7"}) {
        const DemoServer same = Serve({"--upgrade", version});
        ASSERT_TRUE(same.Ready());
        WriteIni(same.Host());
        StartApp();
        CheckAndWait();
        EXPECT_EQ(Read("Upgrade.his"), "(none)") << version;
    }
    const DemoServer server = Serve({"--upgrade", "3.7.8"});
    ASSERT_TRUE(server.Ready());
    WriteIni(server.Host());
    StartApp();
    CheckAndWait();
    EXPECT_EQ(Read("Upgrade.his"), "2026-12-11 09:00:00\r\n");
    clock_.Advance(2 * 3600000);
    StartApp();
    CheckAndWait();
    EXPECT_EQ(Read("Upgrade.his"), "2026-12-11 09:00:00\r\n");
    clock_.Advance(24 * 3600000);
    StartApp();
    CheckAndWait();
    EXPECT_EQ(Read("Upgrade.his"), "2026-12-12 11:00:00\r\n");
    EXPECT_EQ(Read("Sup\\Ad.his"), Utf8ToGbk("7|5|2026-12-11 08:00:00\r\n"));
}

TEST_F(WebTest, HolidaysFromTheServerAddANewYearOnceADayAndABadFileChangesNothing) {
    Write("Sup\\Ad.his", "7|5|2026-12-11 08:00:00\r\n");  // fresh ads: not asked for
    const auto year = [](int y, const std::string& header, const std::string& extra) {
        const std::string n = std::to_string(y);
        return header + "\r\n" + n + "-01-01|元旦|1\r\n" + n + "-02-06|春节|1\r\n" + extra + n +
               "-05-01|劳动节|1\r\n" + n + "-10-01|国庆节|1\r\n";
    };
    Write("Holiday.lst", year(2026, "@2026", ""));
    Write("good.lst",
          year(2027, "@2027|国办发明电〔2026〕5号|2026-11-05", "2027-02-13|春节|0\r\n"));
    Write("bad.lst", year(2027, "@2027", "2027-02-13|春节|0\r\n2027-02-13|春节|1\r\n"));
    const auto covers2027 = [&] { return App().CalendarData().Holidays().Covers(2027); };
    const auto fetchAndWait = [&] {
        App().Web().CheckHolidayFetch();
        EXPECT_TRUE(WaitFor([&] { return !App().Web().AdDownloadRunning(); }, 20000));
        Pump();
    };

    // No host, no request.
    WriteIni("");
    StartApp();
    App().Web().CheckHolidayFetch();
    EXPECT_FALSE(App().Web().AdDownloadRunning());
    EXPECT_EQ(Read("Sup\\Holiday.his"), "(none)");
    {
        const DemoServer bad = Serve({"--holidays", unixDir_ + "bad.lst"});
        ASSERT_TRUE(bad.Ready());
        WriteIni(bad.Host());
        StartApp();
        fetchAndWait();
        EXPECT_FALSE(covers2027());
        EXPECT_EQ(Read(kHolidayUpdatesFileName), "(none)");
        EXPECT_EQ(Read("Holiday.lst"), Utf8ToGbk(year(2026, "@2026", "")));
    }
    const DemoServer good = Serve({"--holidays", unixDir_ + "good.lst"});
    ASSERT_TRUE(good.Ready());
    WriteIni(good.Host());
    StartApp();
    // Today's attempt was made: the next one comes tomorrow.
    fetchAndWait();
    EXPECT_FALSE(covers2027());
    clock_.Advance(24 * 3600000);
    fetchAndWait();
    EXPECT_TRUE(covers2027());
    EXPECT_EQ(App().Calendar().Grid().HolidayAt(EncodeDate(2027, 2, 6)).kind, HolidayKind::DayOff);
    EXPECT_EQ(App().Calendar().Grid().HolidayAt(EncodeDate(2027, 2, 13)).kind,
              HolidayKind::WorkDay);
    EXPECT_NE(Read(kHolidayUpdatesFileName), "(none)");
    EXPECT_EQ(Read("Sup\\Holiday.dl"), "(none)");
}

TEST_F(WebTest, AboutBoxAndHomePageItem) {
    WriteIni("", "http://127.0.0.1:8080/");
    TClockApp& app = StartApp();
    std::string version, home;
    bool dressed = false;
    {
        const ModalCloser closer(TFrmAbout::kClassName, nullptr, IDOK, [&](HWND w) {
            version = TextOf(GetDlgItem(w, TFrmAbout::Label1Id));
            home = TextOf(GetDlgItem(w, TFrmAbout::HomeLabelId));
            dressed = DressedPicture(w) != nullptr;
        });
        EXPECT_TRUE(app.RunCommand(PM_About));
        EXPECT_TRUE(closer.Seen());
    }
    EXPECT_EQ(version, "V3.7.7");
    EXPECT_EQ(home, "主页: http://127.0.0.1:8080/");
    EXPECT_TRUE(dressed);

    EXPECT_TRUE(app.RunCommand(PM_HomePage));
    EXPECT_EQ(opened_, std::vector<std::string>{"http://127.0.0.1:8080/"});
    // Without a usable home page the item says so.
    WriteIni("", "file:///C:/windows/win.ini");
    const ModalCloser told(L"#32770", L"提示", IDOK);
    EXPECT_TRUE(app.RunCommand(PM_HomePage));
    EXPECT_TRUE(told.Seen());
    EXPECT_EQ(opened_.size(), 1u);
}

TEST_F(WebTest, StartPageOfferWritesOnlyWhenAccepted) {
    const std::string saved = ReadStartPage();
    const std::string offered = "http://127.0.0.1/start";
    ASSERT_TRUE(WriteStartPage("about:blank"));
    Write("Sup\\Ad.his",
          "7|5|2026-12-11 08:00:00\r\n*\r\n3\r\n设为主页\r\n\r\n" + offered + "\r\n");
    TClockApp& app = StartApp();
    std::string current, offer;
    {
        const ModalCloser closer(TFormHomePage::kClassName, nullptr, IDCANCEL, [&](HWND w) {
            current = TextOf(GetDlgItem(w, TFormHomePage::UiURLLabel1Id));
            offer = TextOf(GetDlgItem(w, TFormHomePage::UiURLLabel2Id));
        });
        app.OnDateLineClick(1);
        EXPECT_TRUE(closer.Seen());
    }
    EXPECT_EQ(current, "当前主页: about:blank");
    EXPECT_EQ(offer, "修改为: " + offered);
    EXPECT_EQ(ReadStartPage(), "about:blank");
    {
        const ModalCloser closer(TFormHomePage::kClassName, nullptr, IDOK);
        app.OnDateLineClick(1);
        EXPECT_TRUE(closer.Seen());
    }
    EXPECT_EQ(ReadStartPage(), offered);
    {
        // Already the start page: only the thanks.
        const ModalCloser thanks(L"#32770", L"信息", IDOK);
        EXPECT_EQ(OfferHomePage(app.Bar().Handle(), offered, {}), TOfferResult::AlreadySet);
        EXPECT_TRUE(thanks.Seen());
    }
    EXPECT_EQ(OfferHomePage(app.Bar().Handle(), "file:///C:/x", {}), TOfferResult::NotWeb);
    WriteStartPage(saved);
}

TEST_F(WebTest, AStoppedDownloadClosesEachHandleBeforeItsParent) {
    const DemoServer server = Serve({"--ad-mode", "slow"});
    ASSERT_TRUE(server.Ready());
    // What each handle is, asked just before it closes.
    std::vector<DWORD> closed;
    TWebFetchOptions options{2000, 5000, 20000, {}};
    options.onClose = [&closed](HINTERNET h) {
        DWORD type = 0, size = sizeof type;
        InternetQueryOptionW(h, INTERNET_OPTION_HANDLE_TYPE, &type, &size);
        closed.push_back(type);
    };
    THttpGet get;
    std::string body;
    std::thread fetch(
        [&] { get.Fetch(server.Host(), std::string(kAdFilePath), 1 << 20, options, body); });
    // The reply trickles in a byte every half second: the fetch is under way.
    Sleep(1500);
    get.Stop();
    fetch.join();
    EXPECT_EQ(closed, (std::vector<DWORD>{INTERNET_HANDLE_TYPE_HTTP_REQUEST,
                                          INTERNET_HANDLE_TYPE_CONNECT_HTTP,
                                          INTERNET_HANDLE_TYPE_INTERNET}));
    EXPECT_TRUE(body.empty());
}
