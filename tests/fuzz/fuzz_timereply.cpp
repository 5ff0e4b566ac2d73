// Arbitrary bytes as a time-protocol reply, as an SNTP reply (to a request
// whose transmit time is the bytes' own originate field, so that the later
// checks are reached) and as TimeHost.lst. What is accepted must be what the
// formats allow, and the times must convert back to the bytes they came from.
#include "core/LineFile.h"
#include "timesvc/SyncTime.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace tempora;

namespace {

uint64_t BigEndian(std::string_view bytes, size_t at, int count) {
    uint64_t v = 0;
    for (int i = 0; i < count; ++i)
        v = (v << 8) | static_cast<uint8_t>(bytes[at + i]);
    return v;
}

// 1968-01-20 03:14:08 to 2104-02-26 09:42:23 UTC, the span of two eras.
bool InEras(int64_t unixMs) {
    return unixMs >= -61505152000LL && unixMs <= 4233462143999LL;
}

void CheckTimeReply(std::string_view bytes) {
    const auto ms = DecodeTimeReply(bytes);
    if (ms.has_value() != (bytes.size() == 4))
        std::abort();
    if (ms &&
        (!InEras(*ms) || *ms % 1000 != 0 || (UnixMsToNtp(*ms) >> 32) != BigEndian(bytes, 0, 4)))
        std::abort();
}

void CheckSntpReply(std::string_view bytes) {
    const uint64_t sent = bytes.size() >= 32 ? BigEndian(bytes, 24, 8) : 0x0123456789ABCDEFull;
    SntpTimes times;
    if (DecodeSntpReply(bytes, sent, times) != SntpVerdict::Ok)
        return;
    const auto first = static_cast<uint8_t>(bytes[0]), stratum = static_cast<uint8_t>(bytes[1]);
    const int version = (first >> 3) & 7;
    if (bytes.size() < kSntpPacketSize || bytes.size() % 4 != 0 || (first & 7) != 4 ||
        version < 3 || version > 4 || (first >> 6) == 3 || stratum == 0 || stratum >= 16 ||
        times.receive != BigEndian(bytes, 32, 8) || times.transmit != BigEndian(bytes, 40, 8) ||
        times.receive == 0 || times.transmit == 0) {
        std::abort();
    }
    const int64_t t2 = NtpToUnixMs(times.receive), t3 = NtpToUnixMs(times.transmit);
    if (!InEras(t2) || !InEras(t3))
        std::abort();
    if (NtpToUnixMs(UnixMsToNtp(t2)) != t2 || NtpToUnixMs(UnixMsToNtp(t3)) != t3)
        std::abort();
    // Symmetric delays leave the server's own time.
    if (SntpNow(t2 - 40, t2, t3, t3 + 40) != t3 + 40)
        std::abort();
}

void CheckHostList(std::string_view bytes) {
    for (const TimeHost& h : ParseTimeHosts(SplitLines(std::string(bytes)))) {
        if (h.name.empty() || h.port == 0)
            std::abort();
        for (char c : h.name) {
            if (static_cast<unsigned char>(c) <= ' ' || static_cast<unsigned char>(c) >= 0x7F ||
                c == '[' || c == ']' || c == '/')
                std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckTimeReply(bytes);
    CheckSntpReply(bytes);
    CheckHostList(bytes);
    return 0;
}
