#include "TempDir.h"
#include "core/ClockSource.h"
#include "core/DateTime.h"
#include "core/FileSys.h"
#include "timesvc/SyncTime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

using namespace tempora;
using tempora::test::TempDir;

namespace {

int64_t UnixMs(int y, int mo, int d, int h, int mi, int s) {
    return std::llround(ToUnixSeconds(EncodeDateTime(y, mo, d, h, mi, s))) * 1000;
}

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s.push_back(static_cast<char>(v));
    return s;
}

constexpr auto kTime = TimeHost::Protocol::Time;
constexpr auto kSntp = TimeHost::Protocol::Sntp;

TEST(SyncTimeHosts, LinesNameHostsOfEitherProtocol) {
    const std::vector<std::string> lines = {
        "\xEF\xBB\xBFtime.example.org",  // saved as UTF-8 with a byte-order mark
        "  10.0.0.5\t",
        "",
        "NTP://ntp.example.cn",
        "ntp://127.0.0.1:12345",
        "127.0.0.1:3737",
        "[::1]:3737",
        "ntp://[fe80::1]",
        "ntp://2001:db8::5",
        "时间.example",  // no name a resolver would take
        "host name",
        "ntp://",
        "host:0",
        "host:65536",
        "host:12x",
        "[::1",
        "[::1]x",
        "[host.example]",
        "\x01\x02\xff\xfe",
        "ntp://bad/path",
    };
    const std::vector<TimeHost> expected = {
        {kTime, "time.example.org", 37}, {kTime, "10.0.0.5", 37},
        {kSntp, "ntp.example.cn", 123},  {kSntp, "127.0.0.1", 12345},
        {kTime, "127.0.0.1", 3737},      {kTime, "::1", 3737},
        {kSntp, "fe80::1", 123},         {kSntp, "2001:db8::5", 123},
    };
    EXPECT_EQ(ParseTimeHosts(lines), expected);
}

TEST(SyncTimeHosts, MissingBinaryAndShippedFiles) {
    TempDir dir;
    EXPECT_TRUE(LoadTimeHosts(dir.File("none.lst")).empty());
    ASSERT_TRUE(WriteFileAtomic(dir.File("bin.lst"), std::string("\0\x80\xff\r\n\x1b[0m", 8)));
    EXPECT_TRUE(LoadTimeHosts(dir.File("bin.lst")).empty());

    // Every line of the shipped list names an SNTP server.
    const std::string shipped = std::string(TEMPORA_SOURCE_DIR) + "/data/TimeHost.lst";
    std::string raw;
    ASSERT_TRUE(ReadFileBytes(shipped, raw));
    const std::vector<TimeHost> hosts = LoadTimeHosts(shipped);
    ASSERT_FALSE(hosts.empty());
    EXPECT_EQ(hosts.size(), static_cast<size_t>(std::count(raw.begin(), raw.end(), '\n')));
    for (const TimeHost& h : hosts)
        EXPECT_EQ(h.protocol, kSntp) << h.name;
}

TEST(SyncTimeHosts, ChoiceCoversEveryHost) {
    std::mt19937 random(7);
    const std::vector<TimeHost> one = {{kTime, "a", 37}};
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(&ChooseHost(one, random), &one[0]);
    const std::vector<TimeHost> four = {
        {kTime, "a", 37}, {kTime, "b", 37}, {kTime, "c", 37}, {kSntp, "d", 123}};
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i)
        seen.insert(ChooseHost(four, random).name);
    EXPECT_EQ(seen.size(), 4u);
}

TEST(SyncTimeCheckFile, WrittenAsOneStampLineAndReadBack) {
    TempDir dir;
    const std::string path = dir.File("TimeCheck.lst");
    EXPECT_FALSE(ReadTimeCheck(path));
    ASSERT_TRUE(WriteTimeCheck(path, EncodeDateTime(2009, 3, 1, 8, 0, 5)));
    std::string raw;
    ASSERT_TRUE(ReadFileBytes(path, raw));
    EXPECT_EQ(raw, "2009-03-01 08:00:05\r\n");
    EXPECT_EQ(ReadTimeCheck(path), "2009-03-01 08:00:05");

    for (const std::string& bad :
         {std::string(), std::string("\r\n2009-03-01 08:00:05"), std::string("2009-03-01"),
          std::string("2009-13-01 08:00:05"), std::string("\xff\xfe\x00\x01", 4)}) {
        ASSERT_TRUE(WriteFileAtomic(path, bad));
        EXPECT_FALSE(ReadTimeCheck(path)) << bad;
    }
}

TEST(SyncTimeProtocol, RepliesCountFromTheirEra) {
    struct Case {
        std::string bytes;
        int64_t unixMs;
    };
    const Case cases[] = {
        {Bytes({0x83, 0xAA, 0x7E, 0x80}), 0},                              // 1970-01-01
        {Bytes({0x8E, 0xF3, 0x05, 0x00}), UnixMs(1976, 1, 1, 0, 0, 0)},    // RFC example
        {Bytes({0xFF, 0xFF, 0xFF, 0xFF}), UnixMs(2036, 2, 7, 6, 28, 15)},  // last of era 0
        {Bytes({0x00, 0x00, 0x00, 0x00}), UnixMs(2036, 2, 7, 6, 28, 16)},  // first of era 1
        {Bytes({0x00, 0x00, 0x00, 0x3C}), UnixMs(2036, 2, 7, 6, 29, 16)},
        {Bytes({0x7F, 0xFF, 0xFF, 0xFF}), UnixMs(2104, 2, 26, 9, 42, 23)},  // last of era 1
        {Bytes({0x80, 0x00, 0x00, 0x00}), UnixMs(1968, 1, 20, 3, 14, 8)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeTimeReply(c.bytes), c.unixMs);
    for (const std::string& bad : {std::string(), Bytes({0x83}), Bytes({0x83, 0xAA, 0x7E}),
                                   Bytes({0x83, 0xAA, 0x7E, 0x80, 0x00})}) {
        EXPECT_FALSE(DecodeTimeReply(bad));
    }
    // The reply was stamped half the round trip before it arrived.
    EXPECT_EQ(TimeReplyNow(1000000, 300), 1000150);
    EXPECT_EQ(TimeReplyNow(1000000, 0), 1000000);
    EXPECT_EQ(TimeReplyNow(1000000, -40), 1000000);
}

TEST(SyncTimeNtp, TimestampsAndRequest) {
    // 2026-12-10 16:00:00.250 UTC, both eras, and the fractions' rounding.
    for (int64_t ms : {UnixMs(2026, 12, 10, 16, 0, 0) + 250, int64_t{0},
                       UnixMs(2036, 2, 7, 6, 28, 16) + 999, UnixMs(2040, 1, 1, 0, 0, 0) + 1}) {
        EXPECT_EQ(NtpToUnixMs(UnixMsToNtp(ms)), ms);
    }
    EXPECT_EQ(UnixMsToNtp(0), 0x83AA7E8000000000ull);
    EXPECT_EQ(UnixMsToNtp(500), 0x83AA7E8080000000ull);
    EXPECT_EQ(UnixMsToNtp(UnixMs(2036, 2, 7, 6, 28, 16)), 0ull);
    EXPECT_EQ(NtpToUnixMs(0x0000000100000000ull), UnixMs(2036, 2, 7, 6, 28, 17));

    const auto request = BuildSntpRequest(0x0123456789ABCDEFull);
    EXPECT_EQ(request[0], 0x23);  // version 4, client
    const uint8_t transmit[] = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
    EXPECT_TRUE(std::equal(transmit, transmit + 8, request.begin() + 40));
    EXPECT_TRUE(
        std::all_of(request.begin() + 1, request.begin() + 40, [](uint8_t b) { return b == 0; }));
}

std::string Reply(uint64_t originate, uint64_t receive, uint64_t transmit, int first = 0x24,
                  int stratum = 2) {
    std::string r(kSntpPacketSize, '\0');
    r[0] = static_cast<char>(first);
    r[1] = static_cast<char>(stratum);
    const auto put = [&](size_t at, uint64_t v) {
        for (int i = 0; i < 8; ++i)
            r[at + i] = static_cast<char>(v >> (56 - 8 * i));
    };
    put(24, originate);
    put(32, receive);
    put(40, transmit);
    return r;
}

TEST(SyncTimeNtp, RepliesAreCheckedAgainstTheRequest) {
    const uint64_t sent = 0xEB00000012345678ull, t2 = 0xEB00000100000000ull,
                   t3 = 0xEB00000180000000ull;
    struct Case {
        std::string reply;
        SntpVerdict verdict;
    };
    const std::string good = Reply(sent, t2, t3);
    const Case cases[] = {
        {good, SntpVerdict::Ok},
        {Reply(sent, t2, t3, 0x1C, 1), SntpVerdict::Ok},    // version 3, stratum 1
        {Reply(sent, t2, t3, 0x64, 15), SntpVerdict::Ok},   // leap second ahead
        {good + std::string(20, '\x07'), SntpVerdict::Ok},  // key id and digest follow
        {good.substr(0, 47), SntpVerdict::BadLength},
        {good + "\x01\x02", SntpVerdict::BadLength},
        {std::string(), SntpVerdict::BadLength},
        {Reply(sent, t2, t3, 0x23), SntpVerdict::BadMode},  // a client's packet
        {Reply(sent, t2, t3, 0x25), SntpVerdict::BadMode},  // broadcast
        {Reply(sent, t2, t3, 0x2C), SntpVerdict::BadMode},  // version 5
        {Reply(sent, t2, t3, 0x14), SntpVerdict::BadMode},  // version 2
        {Reply(sent, t2, t3, 0xE4), SntpVerdict::Unsynchronised},
        {Reply(sent, t2, t3, 0x24, 16), SntpVerdict::Unsynchronised},
        {Reply(sent, t2, t3, 0xE4, 0), SntpVerdict::KissOfDeath},
        {Reply(sent + 1, t2, t3), SntpVerdict::BadOrigin},
        {Reply(0, t2, t3), SntpVerdict::BadOrigin},
        {Reply(sent, 0, t3), SntpVerdict::NoTimes},
        {Reply(sent, t2, 0), SntpVerdict::NoTimes},
    };
    for (const Case& c : cases) {
        SntpTimes times;
        EXPECT_EQ(DecodeSntpReply(c.reply, sent, times), c.verdict)
            << testing::PrintToString(c.reply);
        if (c.verdict == SntpVerdict::Ok) {
            EXPECT_EQ(times.receive, t2);
            EXPECT_EQ(times.transmit, t3);
        }
    }
}

TEST(SyncTimeNtp, OffsetFromTheFourTimestamps) {
    // The server runs 5 s ahead; 40 ms each way, 10 ms in the server.
    const int64_t t1 = 1000000;
    EXPECT_EQ(SntpNow(t1, t1 + 40 + 5000, t1 + 50 + 5000, t1 + 90), t1 + 90 + 5000);
    // Slow on the way out, quick on the way back: half the asymmetry is the error.
    EXPECT_EQ(SntpNow(t1, t1 + 100, t1 + 100, t1 + 120), t1 + 120 + 40);
    EXPECT_EQ(SntpNow(t1, t1 - 3601000, t1 - 3601000, t1), t1 - 3601000);
}

TEST(SyncTimeRules, SuspectRepliesOnlyAgainstAPlausibleClock) {
    const int64_t now = UnixMs(2026, 12, 10, 16, 0, 0), day = 86400000;
    EXPECT_FALSE(IsSuspectTime(now, now + day));
    EXPECT_FALSE(IsSuspectTime(now, now - day));
    EXPECT_TRUE(IsSuspectTime(now, now + day + 1));
    EXPECT_TRUE(IsSuspectTime(now, now - day - 1));
    EXPECT_TRUE(IsSuspectTime(UnixMs(2020, 1, 1, 0, 0, 0), 0));
    // A clock that lost its date (a flat battery) takes whatever the server says.
    EXPECT_FALSE(IsSuspectTime(UnixMs(2019, 12, 31, 23, 59, 59), now));
    EXPECT_FALSE(IsSuspectTime(0, now));
}

TEST(SyncTimeRules, SixtyAttemptsThenTheInterval) {
    TSyncSchedule schedule;
    for (int i = 1; i < TSyncSchedule::kMaxAttempts; ++i)
        ASSERT_EQ(schedule.AfterAttempt(false, 10, 1000), 10) << i;
    EXPECT_EQ(schedule.AfterAttempt(false, 10, 1000), 1010);
    // The next round starts afresh; a success ends it early.
    EXPECT_EQ(schedule.AfterAttempt(false, 10, 1000), 10);
    EXPECT_EQ(schedule.AfterAttempt(true, 10, 1000), 1000);
    for (int i = 1; i < TSyncSchedule::kMaxAttempts; ++i)
        ASSERT_EQ(schedule.AfterAttempt(false, 10, 2000), 10) << i;

    EXPECT_EQ(StepHoursToMs(1), 3600000);
    EXPECT_EQ(StepHoursToMs(1000), 3600000000LL);  // beyond 32 bits of milliseconds
    EXPECT_EQ(StepHoursToMs(0), 3600000);
    EXPECT_EQ(StepHoursToMs(-5), 3600000);
    EXPECT_EQ(StepHoursToMs(5000), 3600000000LL);
}

class SyncAttemptTest : public ::testing::Test {
protected:
    SyncAttemptTest() : clock_(UnixMs(2026, 12, 10, 8, 0, 0), 480) {
        ClockSource::Install(&clock_);
    }
    ~SyncAttemptTest() override { ClockSource::Install(nullptr); }

    SyncResult Run(SyncStatus asked, int64_t serverNow, bool setterAgrees,
                   std::vector<TimeHost> hosts = {{kSntp, "ntp.example", 123}}) {
        setTo_.clear();
        return RunSyncAttempt(
            hosts, random_,
            [&](const TimeHost& host, int64_t& now) {
                asked_.push_back(host.name);
                now = serverNow;
                return asked;
            },
            [&](int64_t ms) {
                setTo_.push_back(ms);
                return setterAgrees;
            },
            check_);
    }

    FakeClock clock_;
    std::mt19937 random_{1};
    TempDir dir_;
    std::string check_ = dir_.File("TimeCheck.lst");
    std::vector<std::string> asked_;
    std::vector<int64_t> setTo_;
};

TEST_F(SyncAttemptTest, SuccessSetsTheClockAndRecordsTheLocalTime) {
    const int64_t server = clock_.UtcMillis() + 3000;
    const SyncResult r = Run(SyncStatus::Done, server, true);
    EXPECT_EQ(r.status, SyncStatus::Done);
    EXPECT_EQ(setTo_, std::vector<int64_t>{server});
    EXPECT_EQ(r.stamp, "2026-12-10 16:00:00");
    EXPECT_EQ(ReadTimeCheck(check_), r.stamp);
    EXPECT_EQ(asked_, std::vector<std::string>{"ntp.example"});

    // Without a check file nothing is recorded, the clock is still set.
    check_.clear();
    RemoveFile(dir_.File("TimeCheck.lst"));
    EXPECT_EQ(Run(SyncStatus::Done, server, true).status, SyncStatus::Done);
    EXPECT_EQ(setTo_.size(), 1u);
    EXPECT_FALSE(FileExists(dir_.File("TimeCheck.lst")));
}

TEST_F(SyncAttemptTest, FailuresLeaveClockAndRecordAlone) {
    const int64_t now = clock_.UtcMillis();
    struct Case {
        SyncStatus asked;
        int64_t server;
        bool setterAgrees;
        std::vector<TimeHost> hosts;
        SyncStatus status;
        size_t setCalls;
    };
    const std::vector<TimeHost> one = {{kTime, "h", 37}};
    const Case cases[] = {
        {SyncStatus::Done, now, true, {}, SyncStatus::NoHost, 0},
        {SyncStatus::NetError, now, true, one, SyncStatus::NetError, 0},
        {SyncStatus::Stopped, now, true, one, SyncStatus::Stopped, 0},
        {SyncStatus::Done, now + 2 * 86400000LL, true, one, SyncStatus::Suspect, 0},
        {SyncStatus::Done, now - 86400001LL, true, one, SyncStatus::Suspect, 0},
        {SyncStatus::Done, now + 5000, false, one, SyncStatus::Refused, 1},
    };
    for (const Case& c : cases) {
        const SyncResult r = Run(c.asked, c.server, c.setterAgrees, c.hosts);
        EXPECT_EQ(r.status, c.status);
        EXPECT_TRUE(r.stamp.empty());
        EXPECT_EQ(setTo_.size(), c.setCalls);
        EXPECT_FALSE(FileExists(check_));
    }
}

TEST(SyncTimeTexts, LabelAfterCheckNow) {
    const std::string before = LastCheckText("2009-03-01 08:00:05");
    EXPECT_EQ(before, "最后校正于: 2009-03-01 08:00:05");
    EXPECT_EQ(CheckLabelAfter({SyncStatus::Done, "2026-12-10 16:00:00"}, before),
              "最后校正于: 2026-12-10 16:00:00");
    EXPECT_EQ(CheckLabelAfter({SyncStatus::Refused, {}}, before), "校正失败：需要管理员权限");
    EXPECT_EQ(CheckLabelAfter({SyncStatus::NoHost, {}}, before), "校正失败：没有可用的时间服务器");
    EXPECT_EQ(CheckLabelAfter({SyncStatus::NetError, {}}, before), "校正失败：无法连接时间服务器");
    EXPECT_EQ(CheckLabelAfter({SyncStatus::Suspect, {}}, before), "校正失败：服务器的时间不可信");
    // Stopped from outside (the dialog closing): nothing to tell.
    EXPECT_EQ(CheckLabelAfter({SyncStatus::Stopped, {}}, before), before);
}

}  // namespace
