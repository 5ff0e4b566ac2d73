// Network time: the server list and the record of the last synchronisation,
// the two reply formats (the 32-bit time protocol over TCP and SNTP over
// UDP), the arithmetic that turns a reply into the current time, the rule
// that refuses an implausible reply, and the rhythm of attempts. The sockets
// and the thread live in SyncTime_win.
#pragma once

#include "core/DateTime.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace tempora {

// One line of TimeHost.lst: a plain host name or address asks the 32-bit
// time protocol (TCP port 37); "ntp://host" asks SNTP (UDP port 123). Either
// may end in ":port", an IPv6 address then standing in brackets.
struct TimeHost {
    enum class Protocol { Time, Sntp };
    Protocol protocol = Protocol::Time;
    std::string name;  // without brackets
    uint16_t port = 37;
    bool operator==(const TimeHost&) const = default;
};

// The hosts of the lines that name one; blank lines and lines that are no
// host name (other characters than ASCII letters, digits, '-', '.', '_' and,
// in an address, ':') are skipped. A UTF-8 byte-order mark is ignored.
std::vector<TimeHost> ParseTimeHosts(const std::vector<std::string>& lines);
// TimeHost.lst read whole; a missing or unreadable file gives no host.
std::vector<TimeHost> LoadTimeHosts(const std::string& path);
// A host of the list, uniformly at random (the only one when there is one).
// The list must not be empty.
const TimeHost& ChooseHost(const std::vector<TimeHost>& hosts, std::mt19937& random);

// TimeCheck.lst holds one line, the local time of the last success as
// "yyyy-mm-dd hh:mm:ss"; it is replaced atomically.
bool WriteTimeCheck(const std::string& path, TDateTime local);
// The recorded line, or nothing when the file is missing or its first line
// is no such time.
std::optional<std::string> ReadTimeCheck(const std::string& path);

// The 32-bit time protocol: four bytes, big-endian seconds since 1900-01-01
// UTC. Values below 2^31 belong to the era that begins 2036-02-07 06:28:16
// UTC, so the count keeps working after it wraps. Anything but four bytes is
// no reply.
std::optional<int64_t> DecodeTimeReply(std::string_view bytes);  // Unix milliseconds
// The server's time when the reply arrived: it stamped the reply about half
// the round trip (from the established connection to the reply) earlier.
int64_t TimeReplyNow(int64_t replyUnixMs, int64_t roundTripMs);

// NTP timestamps: 32.32 fixed-point seconds since 1900, eras chosen as above.
uint64_t UnixMsToNtp(int64_t unixMs);
int64_t NtpToUnixMs(uint64_t ntp);

inline constexpr size_t kSntpPacketSize = 48;
// A client request (version 4, mode 3) carrying `transmit` as its transmit
// time; a server copies it into the reply's originate time.
std::array<uint8_t, kSntpPacketSize> BuildSntpRequest(uint64_t transmit);

enum class SntpVerdict {
    Ok,
    BadLength,       // shorter than a header, or not whole 32-bit words
    BadMode,         // not a server's reply (mode 4) of version 3 or 4
    Unsynchronised,  // leap indicator 3, or stratum 16 and above
    KissOfDeath,     // stratum 0: the server declines to serve
    BadOrigin,       // not the answer to the request we sent
    NoTimes,         // receive or transmit time missing
};
struct SntpTimes {
    uint64_t receive = 0, transmit = 0;  // the server's T2 and T3
};
// Checks a reply against the request that carried `sentTransmit`.
SntpVerdict DecodeSntpReply(std::string_view bytes, uint64_t sentTransmit, SntpTimes& times);
// The server's time at T4, from the four timestamps in Unix milliseconds:
// T4 plus the clock offset ((T2 - T1) + (T3 - T4)) / 2.
int64_t SntpNow(int64_t t1, int64_t t2, int64_t t3, int64_t t4);

// A reply that would move a clock that already reads a plausible date
// (2020 or later) by more than a day is taken for a fault, not the time.
bool IsSuspectTime(int64_t clockUnixMs, int64_t serverUnixMs);

// When the next attempt comes: up to kMaxAttempts attempts kRetryMs apart,
// then the interval, whether the attempts succeeded or not.
class TSyncSchedule {
public:
    static constexpr int kMaxAttempts = 60;
    // The wait after an attempt: the retry wait after a failure while
    // attempts remain, otherwise that wait (after the last failure) and the
    // interval. A success or the last failure starts the next round.
    int64_t AfterAttempt(bool succeeded, int64_t retryMs, int64_t intervalMs);

private:
    int failures_ = 0;
};

// The interval of `hours` (clamped to 1 ... 1000) in milliseconds.
int64_t StepHoursToMs(int hours);

// How an attempt ended.
enum class SyncStatus {
    Done,
    NoHost,    // empty or unusable TimeHost.lst
    NetError,  // not resolved, refused, broken, timed out, a bad reply
    Suspect,   // the reply was refused by IsSuspectTime
    Refused,   // the system did not let us set the clock
    Stopped,   // the attempt was stopped from outside
};

struct SyncResult {
    SyncStatus status = SyncStatus::NoHost;
    std::string stamp;  // the recorded time when Done
};

// The network half of an attempt: asks `host` and gives the server's time
// (Unix milliseconds) as of its return, or the reason it has none (NetError
// or Stopped).
using TimeAsker = std::function<SyncStatus(const TimeHost& host, int64_t& serverNow)>;
// Sets the computer's clock to a UTC time; false when the system refuses.
using ClockSetter = std::function<bool(int64_t unixMs)>;

// One attempt: asks the hosts in turn, from a randomly chosen one, until one
// gives a time that is not suspect (a host that fails or gives a suspect time
// passes the turn on; Stopped ends the attempt), sets the clock to it and,
// when `checkFile` is not empty, records the local time in it. Without an
// answer the status is the last host's failure.
// Nothing is written unless the clock was set. The clock source gives "now".
SyncResult RunSyncAttempt(const std::vector<TimeHost>& hosts, std::mt19937& random,
                          const TimeAsker& ask, const ClockSetter& setClock,
                          const std::string& checkFile);

// Texts of the options dialog's time page.
inline constexpr char kCheckingText[] = "正在校正…";
inline constexpr char kNeedAdminText[] = "校正失败：需要管理员权限";
inline constexpr char kNoHostText[] = "校正失败：没有可用的时间服务器";
inline constexpr char kNetErrorText[] = "校正失败：无法连接时间服务器";
inline constexpr char kSuspectText[] = "校正失败：服务器的时间不可信";
std::string LastCheckText(const std::string& stamp);  // "最后校正于: " + stamp
// The label after "立即校正": the new time on success, why it failed
// otherwise; an attempt stopped from outside leaves the label as it was.
std::string CheckLabelAfter(const SyncResult& result, const std::string& labelBefore);

}  // namespace tempora
