// Network time against servers this test runs on 127.0.0.1: the time
// protocol over TCP and SNTP over UDP, with well-behaved and broken servers.
// The clock setter only records, and the clock source is a fake.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "AppFixture.h"
#include "WinTestUtil.h"
#include "app/ClockApp_win.h"
#include "core/ClockSource.h"
#include "core/DateTime.h"
#include "core/FileSys.h"
#include "timesvc/SyncTime.h"
#include "timesvc/SyncTime_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace tempora;
using tempora::test::WaitFor;

namespace {

int64_t UnixMs(int y, int mo, int d, int h, int mi, int s) {
    return std::llround(ToUnixSeconds(EncodeDateTime(y, mo, d, h, mi, s))) * 1000;
}

int64_t SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The four bytes of the time protocol for a Unix time.
std::string TimeBytes(int64_t unixMs) {
    const auto count = static_cast<uint32_t>(unixMs / 1000 + 2208988800LL);
    return {static_cast<char>(count >> 24), static_cast<char>(count >> 16),
            static_cast<char>(count >> 8), static_cast<char>(count)};
}

// A server's SNTP answer to `request`, both times set to `serverMs`; the
// edit, when given, spoils it.
std::string SntpAnswer(const std::string& request, int64_t serverMs,
                       const std::function<void(std::string&)>& edit = {}) {
    std::string r(kSntpPacketSize, '\0');
    r[0] = 0x24;  // version 4, server
    r[1] = 2;
    if (request.size() >= kSntpPacketSize)
        r.replace(24, 8, request, 40, 8);
    const uint64_t t = UnixMsToNtp(serverMs);
    for (int i = 0; i < 8; ++i)
        r[32 + i] = r[40 + i] = static_cast<char>(t >> (56 - 8 * i));
    if (edit)
        edit(r);
    return r;
}

// A server on 127.0.0.1. Over TCP it answers each connection with the reply
// to an empty request and closes it, unless told to hold it open; over UDP
// it answers each datagram, an empty reply meaning none.
class LocalServer {
public:
    using Reply = std::function<std::string(const std::string& request)>;
    LocalServer(bool udp, Reply reply, int delayMs = 0, bool hold = false)
        : udp_(udp), reply_(std::move(reply)), delayMs_(delayMs), hold_(hold) {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        s_ = socket(AF_INET, udp ? SOCK_DGRAM : SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(s_, reinterpret_cast<sockaddr*>(&a), sizeof(a));
        if (!udp)
            listen(s_, 8);
        int len = sizeof(a);
        getsockname(s_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { Run(); });
    }
    ~LocalServer() {
        stop_ = true;
        thread_.join();
        closesocket(s_);
        WSACleanup();
    }
    uint16_t Port() const { return port_; }
    int Requests() const { return requests_; }

private:
    void Pause() {
        const int64_t until = SteadyMs() + delayMs_;
        while (!stop_ && SteadyMs() < until)
            Sleep(5);
    }
    void Run() {
        std::vector<SOCKET> held;
        while (!stop_) {
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(s_, &readable);
            timeval tick{0, 10000};
            if (select(0, &readable, nullptr, nullptr, &tick) <= 0)
                continue;
            if (udp_) {
                char buf[512];
                sockaddr_in from{};
                int fromLen = sizeof(from);
                const int n =
                    recvfrom(s_, buf, sizeof(buf), 0, reinterpret_cast<sockaddr*>(&from), &fromLen);
                if (n < 0)
                    continue;
                ++requests_;
                const std::string reply = reply_(std::string(buf, static_cast<size_t>(n)));
                Pause();
                if (!reply.empty()) {
                    sendto(s_, reply.data(), static_cast<int>(reply.size()), 0,
                           reinterpret_cast<sockaddr*>(&from), fromLen);
                }
                continue;
            }
            const SOCKET c = accept(s_, nullptr, nullptr);
            if (c == INVALID_SOCKET)
                continue;
            ++requests_;
            const std::string reply = reply_({});
            Pause();
            send(c, reply.data(), static_cast<int>(reply.size()), 0);
            if (hold_)
                held.push_back(c);
            else
                closesocket(c);
        }
        for (SOCKET c : held)
            closesocket(c);
    }

    bool udp_;
    Reply reply_;
    int delayMs_;
    bool hold_;
    SOCKET s_ = INVALID_SOCKET;
    uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> requests_{0};
    std::thread thread_;
};

// A port of 127.0.0.1 where nobody listens.
uint16_t FreePort(bool udp) {
    LocalServer probe(udp, [](const std::string&) { return std::string(); });
    return probe.Port();
}

constexpr UINT kCheckDone = WM_APP + 51;

// The window that CheckNow reports to, counting the reports.
class Sink {
public:
    Sink() {
        static const ATOM registered = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = Proc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"TemporaSyncTimeSink";
            return RegisterClassW(&wc);
        }();
        (void)registered;
        hwnd_ = CreateWindowExW(0, L"TemporaSyncTimeSink", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Sink() { DestroyWindow(hwnd_); }
    Sink(const Sink&) = delete;
    Sink& operator=(const Sink&) = delete;
    HWND Handle() const { return hwnd_; }
    int Reports() const { return reports_; }

private:
    static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == kCheckDone) {
            if (auto* self = reinterpret_cast<Sink*>(GetWindowLongPtrW(w, GWLP_USERDATA)))
                ++self->reports_;
            return 0;
        }
        return DefWindowProcW(w, msg, wp, lp);
    }
    HWND hwnd_;
    int reports_ = 0;
};

const int64_t kNow = UnixMs(2026, 12, 10, 8, 0, 0);  // 16:00:00 local, UTC+8

class SyncTimeWinTest : public ::testing::Test {
protected:
    SyncTimeWinTest() : clock_(kNow, 480) { ClockSource::Install(&clock_); }
    ~SyncTimeWinTest() override { ClockSource::Install(nullptr); }

    std::string File(const char* name) const { return dir_.File(name); }
    std::string HostFile() const { return File("TimeHost.lst"); }
    std::string CheckFile() const { return File("TimeCheck.lst"); }
    void Hosts(const std::string& text) { ASSERT_TRUE(WriteFileAtomic(HostFile(), text)); }
    static std::string Line(const char* scheme, uint16_t port) {
        return std::string(scheme) + "127.0.0.1:" + std::to_string(port) + "\r\n";
    }

    // Quick time-outs and retries; a setter that records.
    TSyncOptions Options() {
        TSyncOptions o;
        o.setClock = [this](int64_t ms) {
            const std::lock_guard lock(mutex_);
            set_.push_back(ms);
            return setterAgrees_.load();
        };
        o.retryMs = 50;
        o.connectTimeoutMs = 500;
        o.readTimeoutMs = 500;
        return o;
    }
    std::vector<int64_t> SetTo() {
        const std::lock_guard lock(mutex_);
        return set_;
    }

    // One "立即校正" with the host file as it is, the window's thread pumping.
    SyncResult CheckOnce(TSyncOptions options) {
        Sink sink;
        TSyncTimeDir dir(HostFile(), CheckFile(), std::move(options));
        EXPECT_TRUE(dir.CheckNow(sink.Handle(), kCheckDone));
        EXPECT_TRUE(WaitFor([&] { return sink.Reports() == 1; }, 5000));
        EXPECT_FALSE(dir.Busy());
        return dir.Result();
    }

    FakeClock clock_;
    test::TempDataDir dir_{"tempora-sync-"};
    std::mutex mutex_;
    std::vector<int64_t> set_;
    std::atomic<bool> setterAgrees_{true};
};

TEST_F(SyncTimeWinTest, TimeProtocolOffTheWindowThreadWithHalfTheRoundTrip) {
    const int64_t server = kNow + 3 * 3600000;
    LocalServer time(
        false, [&](const std::string&) { return TimeBytes(server); }, 400);
    Hosts(Line("", time.Port()));

    Sink sink;
    TSyncTimeDir dir(HostFile(), CheckFile(), Options());
    const int64_t start = SteadyMs();
    ASSERT_TRUE(dir.CheckNow(sink.Handle(), kCheckDone));
    // The window's thread goes on at once while the server takes its time.
    EXPECT_LT(SteadyMs() - start, 100);
    EXPECT_TRUE(dir.Busy());
    EXPECT_FALSE(dir.CheckNow(sink.Handle(), kCheckDone));
    ASSERT_TRUE(WaitFor([&] { return sink.Reports() == 1; }, 5000));
    EXPECT_GE(SteadyMs() - start, 400);

    const SyncResult r = dir.Result();
    EXPECT_EQ(r.status, SyncStatus::Done);
    EXPECT_EQ(r.stamp, "2026-12-10 16:00:00");
    EXPECT_EQ(ReadTimeCheck(CheckFile()), r.stamp);
    EXPECT_EQ(CheckLabelAfter(r, ""), "最后校正于: 2026-12-10 16:00:00");
    const std::vector<int64_t> set = SetTo();
    ASSERT_EQ(set.size(), 1u);
    EXPECT_GE(set[0] - server, 190);
    EXPECT_LE(set[0] - server, 320);

    // The checker serves again once its check has ended.
    ASSERT_TRUE(dir.CheckNow(sink.Handle(), kCheckDone));
    ASSERT_TRUE(WaitFor([&] { return sink.Reports() == 2; }, 5000));
    EXPECT_EQ(time.Requests(), 2);
}

// "立即校正" with a list whose other servers are down or a day off: every
// check still sets the clock, from the one server that answers well,
// whichever the list is started from.
TEST_F(SyncTimeWinTest, EachCheckAsksTheServersInTurnUntilOneAnswersWell) {
    uint16_t closed = 0;
    {
        LocalServer gone(false, [](const std::string&) { return std::string(); });
        closed = gone.Port();
    }
    LocalServer wrong(false, [](const std::string&) { return TimeBytes(kNow + 2 * 86400000LL); });
    LocalServer good(false, [](const std::string&) { return TimeBytes(kNow + 7000); });
    Hosts(Line("", closed) + Line("", wrong.Port()) + Line("", good.Port()));
    for (int check = 0; check < 6; ++check) {
        const SyncResult r = CheckOnce(Options());
        EXPECT_EQ(r.status, SyncStatus::Done) << check;
    }
    const std::vector<int64_t> set = SetTo();
    ASSERT_EQ(set.size(), 6u);
    for (const int64_t to : set) {
        EXPECT_GE(to - kNow, 7000);
        EXPECT_LE(to - kNow, 7500);
    }
    EXPECT_EQ(good.Requests(), 6);

    // None answers well: the attempt fails and nothing is set.
    Hosts(Line("", closed) + Line("", wrong.Port()));
    const SyncResult r = CheckOnce(Options());
    EXPECT_NE(r.status, SyncStatus::Done);
    EXPECT_EQ(SetTo().size(), 6u);
}

TEST_F(SyncTimeWinTest, TimeProtocolAfter2036) {
    clock_.Set(UnixMs(2036, 2, 8, 0, 0, 0));
    LocalServer time(false, [](const std::string&) { return std::string("\0\0\x10\0", 4); });
    Hosts(Line("", time.Port()));
    EXPECT_EQ(CheckOnce(Options()).status, SyncStatus::Done);
    const std::vector<int64_t> set = SetTo();
    ASSERT_EQ(set.size(), 1u);
    const int64_t expected = UnixMs(2036, 2, 7, 6, 28, 16) + 4096 * 1000;
    EXPECT_GE(set[0], expected);
    EXPECT_LE(set[0], expected + 100);
}

TEST_F(SyncTimeWinTest, SntpOffsetFromTheFourTimestamps) {
    // The server runs 5 s ahead and answers after 300 ms: T4 - T1 is the
    // whole round trip, which the exchange halves.
    LocalServer ntp(
        true, [](const std::string& request) { return SntpAnswer(request, kNow + 5000); }, 300);
    Hosts("ntp://127.0.0.1:" + std::to_string(ntp.Port()) + "\r\n");
    const SyncResult r = CheckOnce(Options());
    EXPECT_EQ(r.status, SyncStatus::Done);
    EXPECT_TRUE(FileExists(CheckFile()));
    const std::vector<int64_t> set = SetTo();
    ASSERT_EQ(set.size(), 1u);
    EXPECT_GE(set[0] - kNow, 5000 + 140);
    EXPECT_LE(set[0] - kNow, 5000 + 260);
}

TEST_F(SyncTimeWinTest, BadServersAndListsFailWithoutTouchingAnything) {
    const auto edited = [](std::function<void(std::string&)> edit) {
        return [edit](const std::string& request) { return SntpAnswer(request, kNow, edit); };
    };
    const auto tcp = [](std::string bytes) {
        return [bytes](const std::string&) { return bytes; };
    };
    struct Case {
        const char* what;
        bool udp;
        LocalServer::Reply reply;
        int delayMs;
        bool hold;
        SyncStatus status;
    };
    const Case cases[] = {
        {"closes at once", false, tcp(""), 0, false, SyncStatus::NetError},
        {"three bytes", false, tcp(std::string("\xEB\x0F\x00", 3)), 0, false, SyncStatus::NetError},
        {"three bytes, then silence", false, tcp(std::string("\xEB\x0F\x00", 3)), 0, true,
         SyncStatus::NetError},
        {"never answers", false, tcp(""), 0, true, SyncStatus::NetError},
        {"answers late", false, tcp(TimeBytes(kNow)), 800, false, SyncStatus::NetError},
        {"garbage", false, tcp(std::string("\0\0\0\x01", 4)), 0, false, SyncStatus::Suspect},
        {"SNTP short", true, edited([](std::string& r) { r.resize(47); }), 0, false,
         SyncStatus::NetError},
        {"SNTP client mode", true, edited([](std::string& r) { r[0] = 0x23; }), 0, false,
         SyncStatus::NetError},
        {"SNTP other origin", true, edited([](std::string& r) { r[31] ^= 1; }), 0, false,
         SyncStatus::NetError},
        {"SNTP stratum 0", true, edited([](std::string& r) { r[1] = 0; }), 0, false,
         SyncStatus::NetError},
        {"SNTP unsynchronised", true, edited([](std::string& r) { r[0] = '\xE4'; }), 0, false,
         SyncStatus::NetError},
        {"SNTP a day and more off", true,
         [](const std::string& request) { return SntpAnswer(request, kNow + 90000000); }, 0, false,
         SyncStatus::Suspect},
        {"SNTP silent", true, [](const std::string&) { return std::string(); }, 0, false,
         SyncStatus::NetError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LocalServer server(c.udp, c.reply, c.delayMs, c.hold);
        Hosts(Line(c.udp ? "ntp://" : "", server.Port()));
        EXPECT_EQ(CheckOnce(Options()).status, c.status);
        EXPECT_EQ(server.Requests(), 1);
        EXPECT_TRUE(SetTo().empty());
        EXPECT_FALSE(FileExists(CheckFile()));
    }

    for (bool udp : {false, true}) {
        SCOPED_TRACE(udp ? "no SNTP server" : "refused");
        Hosts(Line(udp ? "ntp://" : "", FreePort(udp)));
        EXPECT_EQ(CheckOnce(Options()).status, SyncStatus::NetError);
    }
    {
        SCOPED_TRACE("not resolved");
        Hosts("time.example\r\n");
        TSyncOptions o = Options();
        o.resolve = [](const std::string&) { return std::vector<std::string>(); };
        EXPECT_EQ(CheckOnce(std::move(o)).status, SyncStatus::NetError);
    }
    const std::string lists[] = {"", std::string("\0\x80\xff\r\n\x01\x02", 7),
                                 "\xEF\xBB\xBF\xE6\x97\xB6\xE9\x97\xB4.example\r\n"};
    for (const std::string& list : lists) {
        SCOPED_TRACE(testing::PrintToString(list));
        Hosts(list);
        EXPECT_EQ(CheckOnce(Options()).status, SyncStatus::NoHost);
    }
    RemoveFile(HostFile());
    EXPECT_EQ(CheckOnce(Options()).status, SyncStatus::NoHost);
    EXPECT_TRUE(SetTo().empty());
    EXPECT_FALSE(FileExists(CheckFile()));
}

TEST_F(SyncTimeWinTest, RefusedClockChangeIsAFailure) {
    setterAgrees_ = false;
    LocalServer time(false, [](const std::string&) { return TimeBytes(kNow + 60000); });
    Hosts(Line("", time.Port()));
    const SyncResult r = CheckOnce(Options());
    EXPECT_EQ(r.status, SyncStatus::Refused);
    EXPECT_EQ(SetTo().size(), 1u);
    EXPECT_FALSE(FileExists(CheckFile()));
    EXPECT_EQ(CheckLabelAfter(r, "最后校正于: 2009-03-01 08:00:05"), "校正失败：需要管理员权限");
}

TEST_F(SyncTimeWinTest, ThreadRetriesThenWaitsForTheInterval) {
    // The first two connections close at once, the third gets the time.
    std::atomic<int> calls{0};
    LocalServer time(false, [&](const std::string&) {
        return ++calls <= 2 ? std::string() : TimeBytes(kNow + 1000);
    });
    Hosts(Line("", time.Port()));
    TSyncTime sync(CheckFile(), HostFile(), 1, Options());
    ASSERT_TRUE(WaitFor([&] { return FileExists(CheckFile()); }, 5000));
    EXPECT_EQ(time.Requests(), 3);
    sync.SetStepHours(2);
    Sleep(300);
    EXPECT_EQ(time.Requests(), 3);
    EXPECT_EQ(SetTo().size(), 1u);
}

TEST_F(SyncTimeWinTest, StopsAtOnceInEveryWait) {
    const auto stopTakes = [](auto& owner) {
        const int64_t start = SteadyMs();
        owner.reset();
        return SteadyMs() - start;
    };
    TSyncOptions slow = Options();
    slow.connectTimeoutMs = slow.readTimeoutMs = 20000;
    slow.retryMs = 20000;
    {
        SCOPED_TRACE("waiting for a reply");
        LocalServer silent(
            false, [](const std::string&) { return std::string(); }, 0, true);
        Hosts(Line("", silent.Port()));
        auto sync = std::make_unique<TSyncTime>(CheckFile(), HostFile(), 1, slow);
        ASSERT_TRUE(WaitFor([&] { return silent.Requests() == 1; }, 5000));
        Sleep(50);
        EXPECT_LT(stopTakes(sync), 100);
    }
    {
        SCOPED_TRACE("waiting for an SNTP reply");
        LocalServer silent(true, [](const std::string&) { return std::string(); });
        Hosts("ntp://127.0.0.1:" + std::to_string(silent.Port()));
        auto sync = std::make_unique<TSyncTime>(CheckFile(), HostFile(), 1, slow);
        ASSERT_TRUE(WaitFor([&] { return silent.Requests() == 1; }, 5000));
        Sleep(50);
        EXPECT_LT(stopTakes(sync), 100);
    }
    {
        SCOPED_TRACE("waiting to retry");
        Hosts("");
        auto sync = std::make_unique<TSyncTime>(CheckFile(), HostFile(), 1, slow);
        Sleep(50);
        EXPECT_LT(stopTakes(sync), 100);
    }
    {
        SCOPED_TRACE("waiting for the interval");
        LocalServer time(false, [](const std::string&) { return TimeBytes(kNow); });
        Hosts(Line("", time.Port()));
        auto sync = std::make_unique<TSyncTime>(CheckFile(), HostFile(), 1, slow);
        ASSERT_TRUE(WaitFor([&] { return FileExists(CheckFile()); }, 5000));
        EXPECT_LT(stopTakes(sync), 100);
    }
    {
        SCOPED_TRACE("looking up the name");
        // A lookup that hangs until the test lets it go.
        const auto release =
            std::make_shared<KernelHandle>(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        const auto entered = std::make_shared<std::atomic<bool>>(false);
        TSyncOptions o = slow;
        o.resolve = [release, entered](const std::string&) {
            *entered = true;
            WaitForSingleObject(release->Get(), INFINITE);
            return std::vector<std::string>{"127.0.0.1"};
        };
        Hosts("time.example\r\n");
        Sink sink;
        auto dir = std::make_unique<TSyncTimeDir>(HostFile(), CheckFile(), o);
        ASSERT_TRUE(dir->CheckNow(sink.Handle(), kCheckDone));
        ASSERT_TRUE(WaitFor([&] { return entered->load(); }, 5000));
        EXPECT_LT(stopTakes(dir), 100);
        SetEvent(release->Get());
    }
    // Only the attempt that got its reply set the clock.
    EXPECT_EQ(SetTo().size(), 1u);
}

TEST_F(SyncTimeWinTest, BarRunsTheThreadAsTheSettingsSay) {
    LocalServer time(false, [](const std::string&) { return TimeBytes(kNow + 2000); });
    Hosts(Line("", time.Port()));
    const std::string ini = File("skin.ini");
    ASSERT_TRUE(WriteFileAtomic(ini, "[TIME]\r\nAutoChcek=1\r\nStepHour=3\r\n"));

    AppOptions o;
    o.programDir = o.dataDir = dir_.Dir();
    o.timeSync = Options();
    test::AppRun run;
    TClockApp& app = run.Start(o, false);
    // The first attempt comes at once.
    ASSERT_TRUE(WaitFor([&] { return FileExists(CheckFile()); }, 5000));
    EXPECT_TRUE(app.TimeSyncRunning());
    EXPECT_EQ(time.Requests(), 1);

    // Off ends the thread; on again starts a new one, which attempts at once.
    ASSERT_TRUE(WriteFileAtomic(ini, "[TIME]\r\nAutoChcek=0\r\n"));
    app.ReadSettings(false);
    app.UpdateTimeSync();
    EXPECT_FALSE(app.TimeSyncRunning());
    ASSERT_TRUE(WriteFileAtomic(ini, "[TIME]\r\nAutoChcek=1\r\nStepHour=5\r\n"));
    app.ReadSettings(false);
    app.UpdateTimeSync();
    ASSERT_TRUE(WaitFor([&] { return time.Requests() == 2; }, 5000));
    // A new interval retunes the running thread without a new attempt.
    ASSERT_TRUE(WriteFileAtomic(ini, "[TIME]\r\nAutoChcek=1\r\nStepHour=1\r\n"));
    app.ReadSettings(false);
    app.UpdateTimeSync();
    Sleep(200);
    EXPECT_EQ(time.Requests(), 2);

    // The bar takes the thread with it.
    DestroyWindow(app.Bar().Handle());
    EXPECT_FALSE(app.TimeSyncRunning());
    EXPECT_EQ(SetTo().size(), 2u);
}

}  // namespace
