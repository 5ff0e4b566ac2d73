#include "timesvc/SyncTime.h"

#include "core/ClockSource.h"
#include "core/FileSys.h"
#include "core/LineFile.h"

#include <algorithm>
#include <cstdlib>

namespace tempora {

namespace {

constexpr int64_t kSecondsFrom1900To1970 = 2208988800LL;
constexpr int64_t kEra = 1LL << 32;
constexpr int64_t kDayMs = 86400000LL;
constexpr int64_t kPlausibleSince = 1577836800000LL;  // 2020-01-01 00:00 UTC

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char c = s[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i])
            return false;
    }
    return true;
}

bool ParsePort(std::string_view text, uint16_t& port) {
    if (text.empty() || text.size() > 5)
        return false;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > 65535)
        return false;
    port = static_cast<uint16_t>(value);
    return true;
}

bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_';
}

bool IsHostName(std::string_view name) {
    return !name.empty() && name.size() <= 253 && std::all_of(name.begin(), name.end(), IsNameChar);
}

bool IsIpv6Address(std::string_view name) {
    return name.find(':') != std::string_view::npos && name.size() <= 45 &&
           std::all_of(name.begin(), name.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') ||
                      c == ':' || c == '.';
           });
}

std::optional<TimeHost> ParseHostLine(std::string_view line) {
    line = Trim(line);
    TimeHost host;
    if (StartsWithNoCase(line, "ntp://")) {
        host.protocol = TimeHost::Protocol::Sntp;
        host.port = 123;
        line.remove_prefix(6);
    }
    std::string_view name = line;
    if (!line.empty() && line.front() == '[') {
        const size_t close = line.find(']');
        if (close == std::string_view::npos)
            return std::nullopt;
        name = line.substr(1, close - 1);
        const std::string_view rest = line.substr(close + 1);
        if (!rest.empty() && (rest.front() != ':' || !ParsePort(rest.substr(1), host.port)))
            return std::nullopt;
        if (!IsIpv6Address(name))
            return std::nullopt;
    } else if (std::count(line.begin(), line.end(), ':') > 1) {
        if (!IsIpv6Address(name))
            return std::nullopt;
    } else {
        const size_t colon = line.find(':');
        if (colon != std::string_view::npos) {
            name = line.substr(0, colon);
            if (!ParsePort(line.substr(colon + 1), host.port))
                return std::nullopt;
        }
        if (!IsHostName(name))
            return std::nullopt;
    }
    host.name = std::string(name);
    return host;
}

uint32_t ReadBigEndian32(std::string_view bytes, size_t at) {
    return (static_cast<uint32_t>(static_cast<uint8_t>(bytes[at])) << 24) |
           (static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 2])) << 8) |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3]));
}

uint64_t ReadBigEndian64(std::string_view bytes, size_t at) {
    return (static_cast<uint64_t>(ReadBigEndian32(bytes, at)) << 32) |
           ReadBigEndian32(bytes, at + 4);
}

// Seconds since 1900 of a 32-bit count: the top bit set means the era that
// began in 1900, clear the one that begins in 2036.
int64_t SecondsSince1900(uint32_t count) {
    return count >= 0x80000000u ? count : count + kEra;
}

int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

std::vector<TimeHost> ParseTimeHosts(const std::vector<std::string>& lines) {
    std::vector<TimeHost> hosts;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        if (i == 0 && line.starts_with("\xEF\xBB\xBF"))
            line.remove_prefix(3);
        if (auto host = ParseHostLine(line))
            hosts.push_back(std::move(*host));
    }
    return hosts;
}

std::vector<TimeHost> LoadTimeHosts(const std::string& path) {
    // Host names are ASCII, which GBK leaves as it is; any other byte makes
    // its line no host, so the raw bytes serve.
    std::string raw;
    if (!ReadFileBytes(path, raw))
        return {};
    return ParseTimeHosts(SplitLines(raw));
}

const TimeHost& ChooseHost(const std::vector<TimeHost>& hosts, std::mt19937& random) {
    if (hosts.size() == 1)
        return hosts.front();
    std::uniform_int_distribution<size_t> pick(0, hosts.size() - 1);
    return hosts[pick(random)];
}

bool WriteTimeCheck(const std::string& path, TDateTime local) {
    return WriteLineFile(path, {FormatStamp(local)});
}

std::optional<std::string> ReadTimeCheck(const std::string& path) {
    std::vector<std::string> lines;
    if (!ReadLineFile(path, lines) || lines.empty())
        return std::nullopt;
    const std::string line(Trim(lines.front()));
    TDateTime t;
    if (line.size() != 19 || !ParseStamp(line, t))
        return std::nullopt;
    return FormatStamp(t);
}

std::optional<int64_t> DecodeTimeReply(std::string_view bytes) {
    if (bytes.size() != 4)
        return std::nullopt;
    return (SecondsSince1900(ReadBigEndian32(bytes, 0)) - kSecondsFrom1900To1970) * 1000;
}

int64_t TimeReplyNow(int64_t replyUnixMs, int64_t roundTripMs) {
    return replyUnixMs + std::max<int64_t>(roundTripMs, 0) / 2;
}

uint64_t UnixMsToNtp(int64_t unixMs) {
    const int64_t seconds = FloorDiv(unixMs, 1000);
    const int64_t ms = unixMs - seconds * 1000;
    const uint64_t count = static_cast<uint64_t>(seconds + kSecondsFrom1900To1970) & 0xFFFFFFFFu;
    // Rounded up, so that NtpToUnixMs, which truncates, gives the same millisecond.
    const uint64_t fraction = ((static_cast<uint64_t>(ms) << 32) + 999) / 1000;
    return (count << 32) | fraction;
}

int64_t NtpToUnixMs(uint64_t ntp) {
    const int64_t seconds = SecondsSince1900(static_cast<uint32_t>(ntp >> 32));
    const int64_t ms = static_cast<int64_t>(((ntp & 0xFFFFFFFFu) * 1000) >> 32);
    return (seconds - kSecondsFrom1900To1970) * 1000 + ms;
}

std::array<uint8_t, kSntpPacketSize> BuildSntpRequest(uint64_t transmit) {
    std::array<uint8_t, kSntpPacketSize> packet{};
    packet[0] = (4 << 3) | 3;  // no leap warning, version 4, client
    for (int i = 0; i < 8; ++i)
        packet[40 + i] = static_cast<uint8_t>(transmit >> (56 - 8 * i));
    return packet;
}

SntpVerdict DecodeSntpReply(std::string_view bytes, uint64_t sentTransmit, SntpTimes& times) {
    // Key identifiers, digests and extension fields may follow the header,
    // always in whole words.
    if (bytes.size() < kSntpPacketSize || bytes.size() % 4 != 0)
        return SntpVerdict::BadLength;
    const auto first = static_cast<uint8_t>(bytes[0]);
    const int leap = first >> 6, version = (first >> 3) & 7, mode = first & 7;
    const auto stratum = static_cast<uint8_t>(bytes[1]);
    if (mode != 4 || version < 3 || version > 4)
        return SntpVerdict::BadMode;
    if (stratum == 0)
        return SntpVerdict::KissOfDeath;
    if (leap == 3 || stratum >= 16)
        return SntpVerdict::Unsynchronised;
    if (ReadBigEndian64(bytes, 24) != sentTransmit)
        return SntpVerdict::BadOrigin;
    const SntpTimes read{ReadBigEndian64(bytes, 32), ReadBigEndian64(bytes, 40)};
    if (read.receive == 0 || read.transmit == 0)
        return SntpVerdict::NoTimes;
    times = read;
    return SntpVerdict::Ok;
}

int64_t SntpNow(int64_t t1, int64_t t2, int64_t t3, int64_t t4) {
    return t4 + FloorDiv((t2 - t1) + (t3 - t4), 2);
}

bool IsSuspectTime(int64_t clockUnixMs, int64_t serverUnixMs) {
    return clockUnixMs >= kPlausibleSince && std::llabs(serverUnixMs - clockUnixMs) > kDayMs;
}

int64_t TSyncSchedule::AfterAttempt(bool succeeded, int64_t retryMs, int64_t intervalMs) {
    if (succeeded) {
        failures_ = 0;
        return intervalMs;
    }
    if (++failures_ < kMaxAttempts)
        return retryMs;
    failures_ = 0;
    return retryMs + intervalMs;
}

int64_t StepHoursToMs(int hours) {
    return std::clamp(hours, 1, 1000) * 3600000LL;
}

SyncResult RunSyncAttempt(const std::vector<TimeHost>& hosts, std::mt19937& random,
                          const TimeAsker& ask, const ClockSetter& setClock,
                          const std::string& checkFile) {
    if (hosts.empty())
        return {SyncStatus::NoHost, {}};
    // One server that is down or wrong must not fail the attempt while others
    // answer: they are asked in turn, from a random one so that the load
    // spreads over the list.
    const size_t first = static_cast<size_t>(&ChooseHost(hosts, random) - hosts.data());
    int64_t serverNow = 0;
    SyncStatus failure = SyncStatus::NetError;
    bool answered = false;
    for (size_t i = 0; i < hosts.size() && !answered; ++i) {
        const SyncStatus asked = ask(hosts[(first + i) % hosts.size()], serverNow);
        if (asked == SyncStatus::Stopped)
            return {asked, {}};
        if (asked != SyncStatus::Done)
            failure = asked;
        else if (IsSuspectTime(ClockSource::Current().UtcMillis(), serverNow))
            failure = SyncStatus::Suspect;
        else
            answered = true;
    }
    if (!answered)
        return {failure, {}};
    if (!setClock(serverNow))
        return {SyncStatus::Refused, {}};
    const TDateTime local = ClockSource::Current().NowLocal();
    // The clock is set; a record that cannot be written loses only the record.
    if (!checkFile.empty())
        WriteTimeCheck(checkFile, local);
    return {SyncStatus::Done, FormatStamp(local)};
}

std::string LastCheckText(const std::string& stamp) {
    return "最后校正于: " + stamp;
}

std::string CheckLabelAfter(const SyncResult& result, const std::string& labelBefore) {
    switch (result.status) {
        case SyncStatus::Done:
            return LastCheckText(result.stamp);
        case SyncStatus::Refused:
            return kNeedAdminText;
        case SyncStatus::NoHost:
            return kNoHostText;
        case SyncStatus::NetError:
            return kNetErrorText;
        case SyncStatus::Suspect:
            return kSuspectText;
        case SyncStatus::Stopped:
            break;
    }
    return labelBefore;
}

}  // namespace tempora
